#include "timing/PlannedTime.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace timing {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The rounding is done on the digits as written, so a half is exactly a half however many
// digits follow it.
qint16 roundedWhole(bool negative, qint64 whole, int significant, int firstFraction,
                    bool restNonZero) {
    if (significant > 5) {
        return 0;
    }
    const bool up = firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 != 0));
    const qint64 rounded = (negative ? -1 : 1) * (whole + (up ? 1 : 0));
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max()) {
        return 0;
    }
    return static_cast<qint16>(rounded);
}

}  // namespace

std::optional<PlannedTime> PlannedTime::read(QStringView line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line[begin].isSpace()) {
        ++begin;
    }
    while (end > begin && line[end - 1].isSpace()) {
        --end;
    }
    const QStringView text = line.sliced(begin, end - begin);

    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string digits;

    // The whole part, without its leading zeros; more than five digits is out of range anyway.
    qint64 whole = 0;
    int wholeDigits = 0;
    int significant = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        ++wholeDigits;
        digits += char(text[i].unicode());
        const int d = text[i].unicode() - u'0';
        if (significant == 0 && d == 0) {
            continue;
        }
        if (++significant <= 6) {
            whole = whole * 10 + d;
        }
    }

    // The fraction only matters to the rounding by its first digit and whether anything non-zero
    // follows it.
    int firstFraction = 0;
    bool restNonZero = false;
    int fractionDigits = 0;
    if (i < text.size() && (text[i] == u'.' || text[i] == u',')) {
        ++i;
        digits += '.';
        for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
            digits += char(text[i].unicode());
            const int d = text[i].unicode() - u'0';
            if (fractionDigits == 0) {
                firstFraction = d;
            } else if (d != 0) {
                restNonZero = true;
            }
            ++fractionDigits;
        }
    }
    if (i != text.size() || wholeDigits + fractionDigits == 0) {
        return std::nullopt;
    }

    double value = 0;
    const auto [last, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    Q_UNUSED(last);
    if (ec == std::errc::result_out_of_range) {
        // Far too many digits for a double: too large when the whole part holds any, else too
        // small to tell from 0.
        value = significant > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    PlannedTime planned;
    planned.minutes = negative ? -value : value;
    planned.wholeMinutes = roundedWhole(negative, whole, significant, firstFraction, restNonZero);
    return planned;
}

qint16 roundedMinutes(QStringView text) {
    const std::optional<PlannedTime> planned = PlannedTime::read(text);
    return planned ? planned->wholeMinutes : 0;
}

}  // namespace timing
