// The criterion parser and the pattern matcher against a plain reference: the input is a
// criterion text and a field text, separated by a zero byte. Whatever the parser accepts, the
// matcher must agree with a straightforward matcher that tries every way a star can stretch.

#include "storage/CaseFold.h"
#include "storage/Criterion.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The Access pattern rules, read again from the pattern text in the plainest way.
struct Item {
    enum Kind { Literal, Star, One, Digit, Set } kind = Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

bool compileReference(const std::u32string &p, std::vector<Item> &items) {
    for (size_t i = 0; i < p.size();) {
        Item item;
        if (p[i] == U'*') {
            item.kind = Item::Star;
            ++i;
        } else if (p[i] == U'?') {
            item.kind = Item::One;
            ++i;
        } else if (p[i] == U'#') {
            item.kind = Item::Digit;
            ++i;
        } else if (p[i] == U'[') {
            item.kind = Item::Set;
            size_t j = i + 1;
            if (j < p.size() && p[j] == U'!') {
                item.negated = true;
                ++j;
            }
            const size_t start = j;
            size_t close = j;
            while (close < p.size() && p[close] != U']') {
                ++close;
            }
            if (close == p.size() || close == start) {
                return false;
            }
            for (size_t k = start; k < close;) {
                const bool range =
                    !(k == start && p[k] == U'-') && k + 2 < close && p[k + 1] == U'-';
                if (range) {
                    const char32_t a = storage::foldChar(p[k]);
                    const char32_t b = storage::foldChar(p[k + 2]);
                    if (a > b) {
                        return false;
                    }
                    item.ranges.emplace_back(a, b);
                    k += 3;
                } else {
                    item.ranges.emplace_back(storage::foldChar(p[k]), storage::foldChar(p[k]));
                    ++k;
                }
            }
            i = close + 1;
        } else {
            item.ch = storage::foldChar(p[i]);
            ++i;
        }
        items.push_back(std::move(item));
    }
    return true;
}

bool one(const Item &item, char32_t c) {
    switch (item.kind) {
        case Item::Literal:
            return item.ch == c;
        case Item::One:
            return true;
        case Item::Digit:
            return c >= U'0' && c <= U'9';
        case Item::Set: {
            bool in = false;
            for (const auto &[a, b] : item.ranges) {
                in = in || (c >= a && c <= b);
            }
            return in != item.negated;
        }
        case Item::Star:
            break;
    }
    return false;
}

// match[i][j]: the items from i on match the text from j on.
bool referenceMatch(const std::vector<Item> &items, const std::u32string &text) {
    const size_t m = items.size();
    const size_t n = text.size();
    std::vector<std::vector<char>> match(m + 1, std::vector<char>(n + 1, 0));
    match[m][n] = 1;
    for (size_t i = m; i-- > 0;) {
        for (size_t j = n + 1; j-- > 0;) {
            if (items[i].kind == Item::Star) {
                match[i][j] = match[i + 1][j] || (j < n && match[i][j + 1]);
            } else {
                match[i][j] = j < n && one(items[i], text[j]) && match[i + 1][j + 1];
            }
        }
    }
    return match[0][0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    const size_t zero = input.find('\0');
    const QString criterionText = QString::fromUtf8(input.substr(0, zero));
    const QString field =
        zero == std::string::npos ? QString() : QString::fromUtf8(input.substr(zero + 1));
    const auto criterion = storage::Criterion::parse(criterionText);
    if (!criterion) {
        return 0;
    }
    const bool matched = criterion->matches(field);
    // The two ways in must agree.
    if (matched != criterion->matchesUtf8(field.toStdString())) {
        std::abort();
    }
    std::u32string folded;
    storage::foldText(field, folded);
    bool expected = false;
    if (criterion->kind() == storage::Criterion::Kind::Equal) {
        std::u32string value;
        storage::foldText(criterion->value(), value);
        expected = !field.isEmpty() && value == folded;
    } else {
        std::u32string raw;
        for (const uint c : criterion->value().toUcs4()) {
            raw += char32_t(c);
        }
        std::vector<Item> items;
        if (!compileReference(raw, items)) {
            std::abort();  // the parser accepted what cannot be formed
        }
        expected = !field.isEmpty() && referenceMatch(items, folded);
    }
    if (matched != expected) {
        std::abort();
    }
    return 0;
}
