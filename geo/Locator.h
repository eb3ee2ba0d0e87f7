#pragma once

#include <QLocale>
#include <QString>

namespace geo {

// Maidenhead locators and the distance between two of them. The main window computes π once
// (4·atan(1)) and hands it in; every degree/radian conversion and the arc cosine use it.
class LocatorCalculator {
public:
    explicit LocatorCalculator(double pi) : pi_(pi) {}

    // True when the first six characters are two letters A-X, two digits, two letters A-X, the
    // letters in either case. The text is judged as typed, character by character: nothing is
    // trimmed or case-mapped first, so no other character passes as a locator letter.
    static bool IsValidLocator(const QString &text);

    struct Point {
        double latitude = 0;
        double longitude = 0;
    };
    // The centre of the locator's subsquare; only for texts that passed IsValidLocator.
    static Point LocatorToLatLong(const QString &text);

    // The caption of a coordinate label: "ddd:mm:ss (###.#####)", the decimal part with the
    // locale's decimal separator.
    static QString coordinateText(double value, const QLocale &locale);
    static QString sexagesimalText(double value);
    static QString decimalText(double value, const QLocale &locale);

    // Spherical law of cosines; kilometres (111.2 per degree of arc).
    double GreatCircleDistance(const double latitude[2], const double longitude[2]) const;
    // Arc cosine in degrees; 0 where it cannot be taken.
    double ArcCos(double x) const;

    // The distance label's text: the distance rounded to the nearest whole number (a half to
    // the even neighbour), plus 1.
    static QString distanceText(double kilometres);

private:
    double pi_;
};

// The distance label's text between two locators that passed IsValidLocator, with π as
// 4·atan(1): the distance a row of the round sheet shows.
QString distanceBetween(const QString &from, const QString &to);

// A locator's letters in upper or lower case: only a to z change; every other character stays as
// it is, so the text keeps its length and no sign becomes a locator letter (the Kelvin sign is
// not made k, ß not SS, the dotless i not I).
QString locatorUpper(const QString &text);
QString locatorLower(const QString &text);

// The club locator field when it loses the focus: trimmed, the first four characters upper case
// and the last two lower case (jo22AB gives JO22ab, jo22 gives JO2222).
QString gridHomeForm(const QString &text);

// The frequency unit field when it loses the focus: "Mhz" when empty.
QString bandUnitForm(const QString &text);

// The message for an invalid locator: four lines joined by CR LF.
QString invalidLocatorText();
inline constexpr const char *kInvalidLocatorTitle = "GRID locatie onjuist ingevoerd";

}  // namespace geo
