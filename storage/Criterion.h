#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace storage {

// A pattern after LIKE with the Access rules: '*' any run of characters (also none), '?' any one
// character, '#' one digit 0-9, "[list]" one character of the list, "[!list]" one character not
// in it, "a-z" inside a list a range; every other character stands for itself. Case-insensitive.
class LikePattern {
public:
    // Empty when the pattern cannot be formed (an unmatched '[', an empty list, a reversed range).
    static std::optional<LikePattern> compile(QStringView pattern);

    bool matches(QStringView text) const;
    // Text as SQLite hands it out; this is the hot path of a search over the whole ham list.
    bool matchesUtf8(std::string_view utf8) const;

    // Internal form, public for the matcher's helpers.
    struct Token {
        enum class Kind { Literal, AnyRun, AnyOne, Digit, Set };
        Kind kind = Kind::Literal;
        char32_t ch = 0;                                    // Literal, folded
        bool negated = false;                               // Set
        std::vector<std::pair<char32_t, char32_t>> ranges;  // Set, folded, inclusive
    };

private:
    // The tokens between two stars: each takes exactly one character. Found in a text with
    // bit-parallel matching (shift-and), one bit per token, so a search costs text length times
    // a 64th of the segment's length. The bit masks are made per character as texts meet them.
    struct Segment {
        size_t begin = 0;  // token indices
        size_t end = 0;
        size_t size() const { return end - begin; }
        // Literals only: found with Knuth-Morris-Pratt, in linear time. The failure table.
        bool literal = false;
        std::vector<size_t> failure;
        mutable std::unordered_map<char32_t, std::vector<quint64>> masks;
        mutable std::vector<std::vector<quint64>> latin1Masks;  // by character below 256
    };

    bool matchFolded(const std::u32string &text) const;
    bool matchesAt(const Segment &segment, const std::u32string &text, size_t at) const;
    // The end of the leftmost occurrence of the segment in text[from, to); none: npos.
    size_t findIn(const Segment &segment, const std::u32string &text, size_t from, size_t to) const;
    const std::vector<quint64> &maskFor(const Segment &segment, char32_t c) const;
    size_t findLiteral(const Segment &segment, const std::u32string &text, size_t from,
                       size_t to) const;
    void prepare(Segment &segment) const;

    std::vector<Token> tokens_;
    std::vector<Segment> segments_;  // split at the stars; first and last may be empty
    bool hasStar_ = false;
    size_t minLength_ = 0;  // tokens other than stars
};

// A value as it goes between the quotes of a criterion: a quote in it (O'Neill,
// 's-Hertogenbosch) is written twice.
QString quotedValue(const QString &value);

// One find criterion in the three forms the windows build:
//   equality:  field ='value'
//   pattern:   field LIKE'pattern'   (ends-with "*V", contains "*V*")
// The text is parsed, never handed to the database as query text. Field names compare
// case-insensitively; the caller checks that the field exists in its table.
class Criterion {
public:
    enum class Kind { Equal, Like };

    // Empty when the text is not one of the forms: a lone quote inside the value, a missing quote,
    // an unknown operator, text after the closing quote, or a pattern that cannot be formed.
    static std::optional<Criterion> parse(QStringView text);

    const QString &field() const { return field_; }
    Kind kind() const { return kind_; }
    // The value between the quotes, with doubled quotes made single.
    const QString &value() const { return value_; }

    // A field without a value (empty text) fulfils no criterion.
    bool matches(QStringView fieldText) const;
    bool matchesUtf8(std::string_view utf8) const;

private:
    Criterion() = default;
    QString field_;
    Kind kind_ = Kind::Equal;
    QString value_;
    std::u32string foldedValue_;          // Equal
    std::optional<LikePattern> pattern_;  // Like
};

}  // namespace storage
