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
    Segment segment;
    for (size_t t = 0; t < result.tokens_.size(); ++t) {
        if (result.tokens_[t].kind == Token::Kind::AnyRun) {
            result.hasStar_ = true;
            segment.end = t;
            result.segments_.push_back(std::move(segment));
            segment = Segment();
            segment.begin = t + 1;
        } else {
            ++result.minLength_;
        }
    }
    segment.end = result.tokens_.size();
    result.segments_.push_back(std::move(segment));
    for (Segment &each : result.segments_) {
        result.prepare(each);
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

bool LikePattern::matchesAt(const Segment &segment, const std::u32string &text, size_t at) const {
    for (size_t t = segment.begin; t < segment.end; ++t) {
        if (!matchesOne(tokens_[t], text[at + t - segment.begin])) {
            return false;
        }
    }
    return true;
}

void LikePattern::prepare(Segment &segment) const {
    segment.literal = true;
    for (size_t t = segment.begin; t < segment.end; ++t) {
        segment.literal = segment.literal && tokens_[t].kind == Token::Kind::Literal;
    }
    if (!segment.literal || segment.size() == 0) {
        return;
    }
    const size_t k = segment.size();
    const auto at = [&](size_t i) { return tokens_[segment.begin + i].ch; };
    segment.failure.assign(k, 0);
    for (size_t i = 1, j = 0; i < k; ++i) {
        while (j > 0 && at(i) != at(j)) {
            j = segment.failure[j - 1];
        }
        if (at(i) == at(j)) {
            ++j;
        }
        segment.failure[i] = j;
    }
}

size_t LikePattern::findLiteral(const Segment &segment, const std::u32string &text, size_t from,
                                size_t to) const {
    const size_t k = segment.size();
    const Token *pattern = &tokens_[segment.begin];
    for (size_t i = from, j = 0; i < to; ++i) {
        while (j > 0 && text[i] != pattern[j].ch) {
            j = segment.failure[j - 1];
        }
        if (text[i] == pattern[j].ch && ++j == k) {
            return i + 1;
        }
    }
    return std::u32string::npos;
}

const std::vector<quint64> &LikePattern::maskFor(const Segment &segment, char32_t c) const {
    if (c < 256) {
        if (segment.latin1Masks.empty()) {
            segment.latin1Masks.resize(256);
        }
        if (!segment.latin1Masks[c].empty()) {
            return segment.latin1Masks[c];
        }
    } else if (auto it = segment.masks.find(c); it != segment.masks.end()) {
        return it->second;
    }
    std::vector<quint64> mask((segment.size() + 63) / 64, 0);
    for (size_t t = segment.begin; t < segment.end; ++t) {
        if (matchesOne(tokens_[t], c)) {
            const size_t bit = t - segment.begin;
            mask[bit / 64] |= quint64(1) << (bit % 64);
        }
    }
    if (c < 256) {
        return segment.latin1Masks[c] = std::move(mask);
    }
    return segment.masks.emplace(c, std::move(mask)).first->second;
}

// Shift-and: bit j of the state is set when the segment's first j + 1 tokens match the text
// ending at the current character.
size_t LikePattern::findIn(const Segment &segment, const std::u32string &text, size_t from,
                           size_t to) const {
    const size_t k = segment.size();
    if (k == 0) {
        return from;
    }
    if (to < from || to - from < k) {
        return std::u32string::npos;
    }
    if (segment.literal) {
        return findLiteral(segment, text, from, to);
    }
    if (k <= 64) {
        const quint64 lastBit = quint64(1) << (k - 1);
        quint64 state = 0;
        for (size_t i = from; i < to; ++i) {
            state = ((state << 1) | 1) & maskFor(segment, text[i])[0];
            if (state & lastBit) {
                return i + 1;
            }
        }
        return std::u32string::npos;
    }
    const size_t words = (k + 63) / 64;
    const size_t lastWord = (k - 1) / 64;
    const quint64 lastBit = quint64(1) << ((k - 1) % 64);
    thread_local std::vector<quint64> state;
    state.assign(words, 0);
    for (size_t i = from; i < to; ++i) {
        const std::vector<quint64> &mask = maskFor(segment, text[i]);
        quint64 carry = 1;  // a match may begin at every character
        for (size_t w = 0; w < words; ++w) {
            const quint64 next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[lastWord] & lastBit) {
            return i + 1;
        }
    }
    return std::u32string::npos;
}

// Between two stars every token takes exactly one character, so the pattern is its segments in
// order: the first at the start of the text, the last at its end, each one between them at its
// leftmost place after the one before (a later place never leaves more room for the rest).
bool LikePattern::matchFolded(const std::u32string &text) const {
    const size_t n = text.size();
    if (n < minLength_) {
        return false;
    }
    const Segment &first = segments_.front();
    if (!hasStar_) {
        return n == first.size() && matchesAt(first, text, 0);
    }
    const Segment &last = segments_.back();
    if (!matchesAt(first, text, 0) || !matchesAt(last, text, n - last.size())) {
        return false;
    }
    size_t pos = first.size();
    const size_t end = n - last.size();
    for (size_t s = 1; s + 1 < segments_.size(); ++s) {
        pos = findIn(segments_[s], text, pos, end);
        if (pos == std::u32string::npos) {
            return false;
        }
    }
    return pos <= end;
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
