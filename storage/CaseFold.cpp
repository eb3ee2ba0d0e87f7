#include "storage/CaseFold.h"

#include <QChar>

namespace storage {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads UTF-8 one code point at a time. A malformed sequence yields one U+FFFD for its longest
// valid-looking start (the "maximal subpart"), after which reading resumes at the offending byte;
// overlong forms, surrogates and code points above U+10FFFF are malformed.
class Utf8Reader {
public:
    explicit Utf8Reader(std::string_view s)
        : p_(reinterpret_cast<const unsigned char *>(s.data())), end_(p_ + s.size()) {}

    bool atEnd() const { return p_ == end_; }

    // Precondition: !atEnd().
    char32_t next() {
        const unsigned lead = *p_++;
        if (lead < 0x80) {
            return lead;
        }
        int need = 0;
        char32_t c = 0;
        unsigned lo = 0x80;
        unsigned hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            c = lead & 0x0F;
            if (lead == 0xE0) {
                lo = 0xA0;  // no overlong forms
            } else if (lead == 0xED) {
                hi = 0x9F;  // no surrogates
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            c = lead & 0x07;
            if (lead == 0xF0) {
                lo = 0x90;  // no overlong forms
            } else if (lead == 0xF4) {
                hi = 0x8F;  // nothing above U+10FFFF
            }
        } else {
            return kReplacement;
        }
        for (; need > 0; --need) {
            if (p_ == end_ || *p_ < lo || *p_ > hi) {
                return kReplacement;  // the offending byte is read again as a lead byte
            }
            c = (c << 6) | (*p_++ & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        return c;
    }

private:
    const unsigned char *p_;
    const unsigned char *end_;
};

}  // namespace

char32_t foldChar(char32_t c) {
    if (c < 0x80) {
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    }
    if (c > 0x10FFFF) {
        return c;
    }
    return QChar::toCaseFolded(c);
}

void foldUtf8(std::string_view utf8, std::u32string &out) {
    out.clear();
    Utf8Reader reader(utf8);
    while (!reader.atEnd()) {
        out.push_back(foldChar(reader.next()));
    }
}

void foldText(QStringView text, std::u32string &out) {
    out.clear();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out.push_back(foldChar(u));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.push_back(foldChar(QChar::surrogateToUcs4(u, text[i + 1].unicode())));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            out.push_back(kReplacement);  // unpaired half, as the UTF-8 form of the text has it
        } else {
            out.push_back(foldChar(u));
        }
    }
}

QString foldedCall(QStringView call) {
    // Nearly every call is ASCII: its letters fold in place, as foldChar folds them.
    QString ascii(call.size(), Qt::Uninitialized);
    QChar *out = ascii.data();
    qsizetype i = 0;
    for (; i < call.size(); ++i) {
        const char16_t u = call[i].unicode();
        if (u >= 0x80) {
            break;
        }
        out[i] = QChar(char16_t(foldChar(u)));
    }
    if (i == call.size()) {
        return ascii;
    }
    std::u32string folded;
    foldText(call, folded);
    return QString::fromUcs4(folded.data(), qsizetype(folded.size()));
}

int compareFoldedUtf8(std::string_view a, std::string_view b) {
    Utf8Reader ra(a);
    Utf8Reader rb(b);
    while (!ra.atEnd() && !rb.atEnd()) {
        const char32_t ca = foldChar(ra.next());
        const char32_t cb = foldChar(rb.next());
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (ra.atEnd()) {
        return rb.atEnd() ? 0 : -1;
    }
    return 1;
}

}  // namespace storage
