#include "geo/Locator.h"

#include <QChar>
#include <QStringList>

#include <cmath>

namespace geo {

namespace {

// A field or subsquare letter as typed: A to X, in either case. Nothing is case-mapped first:
// mapping would turn other characters into locator letters (the dotless i into I, the long s
// into S, the Kelvin sign into k) or into several of them (ß into SS), shifting the positions.
// A position past the end counts as the empty text, which sorts before "A".
bool isLocatorLetter(const QString &text, qsizetype index) {
    if (index >= text.size()) {
        return false;
    }
    const char16_t c = text.at(index).unicode();
    return (c >= u'A' && c <= u'X') || (c >= u'a' && c <= u'x');
}

bool isLocatorDigit(const QString &text, qsizetype index) {
    if (index >= text.size()) {
        return false;
    }
    const char16_t c = text.at(index).unicode();
    return c >= u'0' && c <= u'9';
}

// The letters a to z in upper case; every other character as it stands.
char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// The code of the character at a position (a to z read as A to Z) minus the code of base; a
// position past the end reads as code 0, so a text that skipped validation still gives a number.
int offsetAt(const QString &text, qsizetype index, char base) {
    const char16_t c = index < text.size() ? asciiUpper(text.at(index).unicode()) : 0;
    return int(c) - int(base);
}

// A whole number as decimal text, padded on the left with zeros to the given width.
QString padded(double whole, qsizetype width) {
    // Adding +0 turns a negative zero into a plain one, which prints without a sign.
    return QString::number(whole + 0.0, 'f', 0).rightJustified(width, QLatin1Char('0'));
}

}  // namespace

bool LocatorCalculator::IsValidLocator(const QString &text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const qsizetype index : {0, 1, 4, 5}) {
        if (!isLocatorLetter(text, index)) {
            return false;
        }
    }
    return isLocatorDigit(text, 2) && isLocatorDigit(text, 3);
}

LocatorCalculator::Point LocatorCalculator::LocatorToLatLong(const QString &text) {
    const int l1 = offsetAt(text, 0, 'A');
    const int l2 = offsetAt(text, 1, 'A');
    const int d3 = offsetAt(text, 2, '0');
    const int d4 = offsetAt(text, 3, '0');
    const int l5 = offsetAt(text, 4, 'A');
    const int l6 = offsetAt(text, 5, 'A');

    Point point;
    point.longitude = (l1 * 20 - 180 + d3 * 2) + l5 / 12.0;
    point.latitude = (l2 * 10 - 90 + d4) + l6 / 24.0;
    // From the subsquare's south-west corner to its centre.
    point.longitude += 2.5 / 60;
    point.latitude += 1.25 / 60;
    return point;
}

QString LocatorCalculator::coordinateText(double value, const QLocale &locale) {
    return sexagesimalText(value) + QStringLiteral(" (") + decimalText(value, locale) +
           QLatin1Char(')');
}

QString LocatorCalculator::sexagesimalText(double value) {
    // Every part is cut, not rounded: 3.999999 shows as 003:59:59.
    const double degrees = std::floor(value);
    const double minutes = (value - degrees) * 60;
    const double seconds = (minutes - std::floor(minutes)) * 60;
    return padded(degrees, 3) + QLatin1Char(':') + padded(std::floor(minutes), 2) +
           QLatin1Char(':') + padded(std::floor(seconds), 2);
}

QString LocatorCalculator::decimalText(double value, const QLocale &locale) {
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    // Fixed notation rounds to five decimals and carries into the whole part (3.999999 -> 4.00000).
    const QString digits = QString::number(std::fabs(value), 'f', 5);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = digits.left(point);
    QString fraction = digits.mid(point + 1);
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    if (whole == QLatin1String("0")) {
        whole.clear();
    }
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    return sign + whole + locale.decimalPoint() + fraction;
}

double LocatorCalculator::GreatCircleDistance(const double latitude[2],
                                              const double longitude[2]) const {
    const double lat0 = latitude[0] * pi_ / 180;
    const double lat1 = latitude[1] * pi_ / 180;
    const double lon0 = longitude[0] * pi_ / 180;
    const double lon1 = longitude[1] * pi_ / 180;
    const double x =
        std::cos(lat0) * std::cos(lat1) * std::cos(lon0 - lon1) + std::sin(lat1) * std::sin(lat0);
    return ArcCos(x) * 111.2;
}

double LocatorCalculator::ArcCos(double x) const {
    const double rest = 1 - x * x;
    // Also false for a NaN, and for an x just beyond ±1 from rounding.
    if (!(rest > 0)) {
        return 0;
    }
    return (std::atan(-x / std::sqrt(rest)) + 2 * std::atan(1.0)) * 180 / pi_;
}

QString LocatorCalculator::distanceText(double kilometres) {
    if (!std::isfinite(kilometres)) {
        return QString();
    }
    // Round half to even by hand, independent of the floating-point rounding mode; stays in
    // double so that no size of distance overflows an integer.
    const double below = std::floor(kilometres);
    const double fraction = kilometres - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0)) {
        rounded = below + 1;
    }
    return QString::number(rounded + 1 + 0.0, 'f', 0);
}

QString distanceBetween(const QString &from, const QString &to) {
    double latitude[2];
    double longitude[2];
    const QString locators[2] = {from, to};
    for (int i = 0; i < 2; ++i) {
        const LocatorCalculator::Point point = LocatorCalculator::LocatorToLatLong(locators[i]);
        latitude[i] = point.latitude;
        longitude[i] = point.longitude;
    }
    const LocatorCalculator calculator(4 * std::atan(1.0));
    return LocatorCalculator::distanceText(calculator.GreatCircleDistance(latitude, longitude));
}

QString locatorUpper(const QString &text) {
    QString result = text;
    for (QChar &c : result) {
        c = QChar(asciiUpper(c.unicode()));
    }
    return result;
}

QString locatorLower(const QString &text) {
    QString result = text;
    for (QChar &c : result) {
        c = QChar(asciiLower(c.unicode()));
    }
    return result;
}

QString gridHomeForm(const QString &text) {
    const QString t = text.trimmed();
    return locatorUpper(t.left(4)) + locatorLower(t.right(2));
}

QString bandUnitForm(const QString &text) {
    return text.isEmpty() ? QStringLiteral("Mhz") : text;
}

QString invalidLocatorText() {
    return QStringList{
        QStringLiteral("Onjuist Zender Locatie Formaat"),
        QStringLiteral("Moet zijn 6 Characters"),
        QStringLiteral("2 Letters (a tot x), 2 Nummers (0 tot 9), 2 Letters (a tot z)"),
        QStringLiteral("(Hoofdletter ongevoelig)"),
    }
        .join(QStringLiteral("\r\n"));
}

}  // namespace geo
