#include "storage/Criterion.h"

#include "storage/CaseFold.h"

#include <QChar>
#include <QList>

namespace storage {

namespace {

using Token = LikePattern::Token;

bool matchesOne(const Token &token, char32_t c) {
    switch (token.kind) {
        case Token::Kind::Literal:
            return token.ch == c;
        case Token::Kind::AnyOne:
            return true;
        case Token::Kind::Digit:
            return c >= U'0' && c <= U'9';
        case Token::Kind::Set: {
            bool inSet = false;
            for (const auto &[first, last] : token.ranges) {
                if (c >= first && c <= last) {
                    inSet = true;
                    break;
                }
            }
            return inSet != token.negated;
        }
        case Token::Kind::AnyRun:
            break;
    }
    return false;
}

// Reads the list of "[...]" starting just after the '['. Returns the position after the closing
// ']', or -1 when the list cannot be formed.
qsizetype compileSet(const QList<uint> &pattern, qsizetype pos, Token &token) {
    token.kind = Token::Kind::Set;
    const qsizetype n = pattern.size();
    if (pos < n && pattern[pos] == U'!') {
        token.negated = true;
        ++pos;
    }
    qsizetype close = pos;
    while (close < n && pattern[close] != U']') {
        ++close;
    }
    if (close == n || close == pos) {
        return -1;  // unmatched '[' or an empty list
    }
    for (qsizetype i = pos; i < close;) {
        const char32_t c = pattern[i];
        // A hyphen first or last in the list stands for itself, as does one that follows a range
        // ("[a-c-e]").
        const bool range = !(i == pos && c == U'-') && i + 2 < close && pattern[i + 1] == U'-';
        if (range) {
            const char32_t first = foldChar(c);
            const char32_t last = foldChar(pattern[i + 2]);
            if (first > last) {
                return -1;
            }
            token.ranges.emplace_back(first, last);
            i += 3;
        } else {
            const char32_t f = foldChar(c);
            token.ranges.emplace_back(f, f);
            ++i;
        }
    }
    return close + 1;
}

bool isBlank(QChar c) {
    return c.isSpace();
}

bool isIdentifierChar(QChar c) {
    return c == u'_' || c.isLetterOrNumber();
}

}  // namespace

std::optional<LikePattern> LikePattern::compile(QStringView pattern) {
    const QList<uint> cps = pattern.toUcs4();
    LikePattern result;
    const qsizetype n = cps.size();
    for (qsizetype i = 0; i < n;) {
        const char32_t c = cps[i];
        Token token;
        switch (c) {
            case U'*':
                ++i;
                // Runs of stars mean the same as one; keeping one keeps the matcher simple.
                if (!result.tokens_.empty() && result.tokens_.back().kind == Token::Kind::AnyRun) {
                    continue;
                }
                token.kind = Token::Kind::AnyRun;
                break;
            case U'?':
                ++i;
                token.kind = Token::Kind::AnyOne;
                break;
            case U'#':
                ++i;
                token.kind = Token::Kind::Digit;
                break;
            case U'[':
                i = compileSet(cps, i + 1, token);
                if (i < 0) {
                    return std::nullopt;
                }
                break;
            default:
                ++i;
                token.kind = Token::Kind::Literal;
                token.ch = foldChar(c);
                break;
        }
        result.tokens_.push_back(std::move(token));
    }
    return result;
}

bool LikePattern::matches(QStringView text) const {
    thread_local std::u32string folded;
    foldText(text, folded);
    return matchFolded(folded);
}

bool LikePattern::matchesUtf8(std::string_view utf8) const {
    thread_local std::u32string folded;
    foldUtf8(utf8, folded);
    return matchFolded(folded);
}

// Every token but '*' takes exactly one character. On a mismatch the last '*' seen takes one
// character more and matching resumes after it; earlier stars never need to be revisited, which
// keeps the work at most text length times pattern length.
bool LikePattern::matchFolded(const std::u32string &text) const {
    constexpr size_t kNone = static_cast<size_t>(-1);
    const size_t n = text.size();
    const size_t m = tokens_.size();
    size_t t = 0;
    size_t p = 0;
    size_t afterStar = kNone;
    size_t starText = 0;
    while (t < n) {
        if (p < m && tokens_[p].kind == Token::Kind::AnyRun) {
            afterStar = ++p;
            starText = t;
        } else if (p < m && matchesOne(tokens_[p], text[t])) {
            ++p;
            ++t;
        } else if (afterStar != kNone) {
            p = afterStar;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < m && tokens_[p].kind == Token::Kind::AnyRun) {
        ++p;
    }
    return p == m;
}

QString quotedValue(const QString &value) {
    QString quoted = value;
    return quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
}

std::optional<Criterion> Criterion::parse(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    const qsizetype fieldStart = i;
    while (i < n && isIdentifierChar(text[i])) {
        ++i;
    }
    if (i == fieldStart) {
        return std::nullopt;
    }
    Criterion result;
    result.field_ = text.sliced(fieldStart, i - fieldStart).toString();

    const qsizetype blanksStart = i;
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i < n && text[i] == u'=') {
        result.kind_ = Kind::Equal;
        ++i;
    } else if (i > blanksStart && text.sliced(i).startsWith(u"LIKE", Qt::CaseInsensitive)) {
        result.kind_ = Kind::Like;
        i += 4;
    } else {
        return std::nullopt;
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i == n || text[i] != u'\'') {
        return std::nullopt;
    }
    // Inside the quotes, two quotes in a row stand for one quote of the value.
    ++i;
    QString value;
    for (;; ++i) {
        if (i == n) {
            return std::nullopt;  // no closing quote
        }
        if (text[i] == u'\'') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                value += u'\'';
                ++i;
                continue;
            }
            break;
        }
        value += text[i];
    }
    ++i;
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;  // text after the closing quote, e.g. a quote inside the value
    }

    result.value_ = value;
    if (result.kind_ == Kind::Equal) {
        foldText(value, result.foldedValue_);
    } else {
        result.pattern_ = LikePattern::compile(value);
        if (!result.pattern_) {
            return std::nullopt;
        }
    }
    return result;
}

bool Criterion::matches(QStringView fieldText) const {
    if (fieldText.isEmpty()) {
        return false;
    }
    if (kind_ == Kind::Like) {
        return pattern_->matches(fieldText);
    }
    thread_local std::u32string folded;
    foldText(fieldText, folded);
    return folded == foldedValue_;
}

bool Criterion::matchesUtf8(std::string_view utf8) const {
    if (utf8.empty()) {
        return false;
    }
    if (kind_ == Kind::Like) {
        return pattern_->matchesUtf8(utf8);
    }
    thread_local std::u32string folded;
    foldUtf8(utf8, folded);
    return folded == foldedValue_;
}

}  // namespace storage
