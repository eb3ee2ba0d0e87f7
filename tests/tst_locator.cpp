#include "CoreTestMain.h"

#include "geo/Locator.h"

#include <QLocale>
#include <QObject>
#include <QString>

#include <cmath>
#include <limits>

using geo::LocatorCalculator;

namespace {

// The main window's π.
const double kPi = 4 * std::atan(1.0);

const QLocale kDutch(QLocale::Dutch, QLocale::Netherlands);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

double distanceBetween(const QString &from, const QString &to) {
    const LocatorCalculator calc(kPi);
    const LocatorCalculator::Point a = LocatorCalculator::LocatorToLatLong(from);
    const LocatorCalculator::Point b = LocatorCalculator::LocatorToLatLong(to);
    const double latitude[2] = {a.latitude, b.latitude};
    const double longitude[2] = {a.longitude, b.longitude};
    return calc.GreatCircleDistance(latitude, longitude);
}

// The same sphere (111.2 km per degree of arc), by the haversine formula, which stays accurate
// for short and for nearly antipodal distances.
double haversine(const QString &from, const QString &to) {
    const LocatorCalculator::Point a = LocatorCalculator::LocatorToLatLong(from);
    const LocatorCalculator::Point b = LocatorCalculator::LocatorToLatLong(to);
    const double toRad = kPi / 180;
    const double dLat = (b.latitude - a.latitude) * toRad;
    const double dLon = (b.longitude - a.longitude) * toRad;
    const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(a.latitude * toRad) *
                                                           std::cos(b.latitude * toRad) *
                                                           std::pow(std::sin(dLon / 2), 2);
    const double arc = 2 * std::asin(std::sqrt(h));
    return arc * 180 / kPi * 111.2;
}

}  // namespace

class LocatorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void validation_data();
    void validation();
    void typedTextIsJudgedAsTyped_data();
    void typedTextIsJudgedAsTyped();
    void conversion_data();
    void conversion();
    void coordinateText_data();
    void coordinateText();
    void distanceText_data();
    void distanceText();
    void distanceBetweenLocators_data();
    void distanceBetweenLocators();
    void distanceMatchesHaversine_data();
    void distanceMatchesHaversine();
    void arcCos_data();
    void arcCos();
    void gridHomeForm_data();
    void gridHomeForm();
    void bandUnitForm_data();
    void bandUnitForm();
    void invalidLocatorText();
};

void LocatorTest::validation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("typed lower case, upper-cased") << QStringLiteral("jo22ab").toUpper() << true;
    QTest::newRow("upper case") << "JO22AB" << true;
    QTest::newRow("first and last letters") << "AA00AA" << true;
    QTest::newRow("last field letters S-X accepted") << "XX99XX" << true;
    QTest::newRow("longer text judged on six") << "JO22AB12" << true;
    QTest::newRow("trailing blank after six") << "JO22AB " << true;
    // The letters a to x pass as they are, so lower case passes the check itself.
    QTest::newRow("lower case letters") << "jo22ab" << true;
    QTest::newRow("mixed case") << "Jo22aB" << true;

    QTest::newRow("empty") << "" << false;
    QTest::newRow("one letter") << "J" << false;
    QTest::newRow("square only") << "JO22" << false;
    QTest::newRow("five characters") << "JO22A" << false;
    QTest::newRow("leading blank not trimmed") << " JO22AB" << false;
    QTest::newRow("field letter Y") << "JY22AB" << false;
    QTest::newRow("first letter Y") << "YO22AB" << false;
    QTest::newRow("first before A") << "@O22AB" << false;
    QTest::newRow("digit in first place") << "1O22AB" << false;
    QTest::newRow("letter in fourth place") << "JO2AAB" << false;
    QTest::newRow("letter in third place") << "JOA2AB" << false;
    QTest::newRow("blank among digits") << "JO2 AB" << false;
    QTest::newRow("just before 0") << "JO/2AB" << false;
    QTest::newRow("just after 9") << "JO2:AB" << false;
    QTest::newRow("full-width digit") << QStringLiteral("JO\uFF122AB") << false;
    QTest::newRow("subsquare Z") << "JO22AZ" << false;
    QTest::newRow("subsquare Y") << "JO22AY" << false;
    QTest::newRow("subsquare z") << "JO22az" << false;
    QTest::newRow("subsquare @") << "JO22A@" << false;
    QTest::newRow("subsquare [") << "JO22A[" << false;
    QTest::newRow("subsquare digit") << "JO22A0" << false;
    QTest::newRow("fifth a digit") << "JO2200" << false;
    // ß has no single upper-case letter; it must not count as "SS".
    QTest::newRow("sharp s") << QStringLiteral("JO22\u00DFB") << false;
}

void LocatorTest::validation() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(LocatorCalculator::IsValidLocator(text), valid);
}

// A locator is judged on the characters as they were typed, one by one. Letters whose case
// mapping gives another length (ß gives SS, the ligature ﬀ gives FF, ŉ gives ʼN) or an ASCII
// letter (the dotless ı gives I, the long ſ gives S, İ gives i, the Kelvin sign gives k) are no
// locator letters; neither are full-width letters and digits. The club locator's form keeps them
// as they are, so it does not make a locator of them either.
void LocatorTest::typedTextIsJudgedAsTyped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("form");  // the club locator's form

    QTest::newRow("sharp s") << QStringLiteral("JO22\u00DFb") << false
                             << QStringLiteral("JO22\u00DFb");
    QTest::newRow("sharp s, capital")
        << QStringLiteral("JO22\u1E9EB") << false << QStringLiteral("JO22\u1E9Eb");
    QTest::newRow("sharp s in the field")
        << QStringLiteral("\u00DFO22ab") << false << QStringLiteral("\u00DFO22ab");
    QTest::newRow("ligature ff") << QStringLiteral("JO22\uFB00") << false
                                 << QStringLiteral("JO222\uFB00");
    QTest::newRow("n with apostrophe")
        << QStringLiteral("JO22a\u0149") << false << QStringLiteral("JO22a\u0149");
    QTest::newRow("dotless i") << QStringLiteral("JO22a\u0131") << false
                               << QStringLiteral("JO22a\u0131");
    QTest::newRow("dotless i in the field")
        << QStringLiteral("\u0131O22ab") << false << QStringLiteral("\u0131O22ab");
    QTest::newRow("capital I with dot")
        << QStringLiteral("JO22a\u0130") << false << QStringLiteral("JO22a\u0130");
    QTest::newRow("long s") << QStringLiteral("JO22\u017Fb") << false
                            << QStringLiteral("JO22\u017Fb");
    QTest::newRow("Kelvin sign") << QStringLiteral("JO22a\u212A") << false
                                 << QStringLiteral("JO22a\u212A");
    QTest::newRow("Kelvin sign in the field")
        << QStringLiteral("\u212AO22ab") << false << QStringLiteral("\u212AO22ab");
    QTest::newRow("Angstrom sign")
        << QStringLiteral("JO22a\u212B") << false << QStringLiteral("JO22a\u212B");
    QTest::newRow("final sigma") << QStringLiteral("JO22a\u03C2") << false
                                 << QStringLiteral("JO22a\u03C2");
    QTest::newRow("Greek capital iota")
        << QStringLiteral("JO22a\u0399") << false << QStringLiteral("JO22a\u0399");
    QTest::newRow("full width") << QStringLiteral("\uFF2A\uFF2F\uFF12\uFF12\uFF21\uFF22") << false
                                << QStringLiteral("\uFF2A\uFF2F\uFF12\uFF12\uFF21\uFF22");
    QTest::newRow("full width, lower case")
        << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12\uFF41\uFF42") << false
        << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12\uFF41\uFF42");
    QTest::newRow("full-width digits")
        << QStringLiteral("JO\uFF12\uFF12ab") << false << QStringLiteral("JO\uFF12\uFF12ab");
    QTest::newRow("mathematical bold A")
        << QStringLiteral("JO22a\U0001D400") << false << QStringLiteral("JO22\U0001D400");

    QTest::newRow("lower case") << "jo22ab" << true << "JO22ab";
    QTest::newRow("upper case") << "JO22AB" << true << "JO22ab";
    QTest::newRow("mixed case") << "jO22Ab" << true << "JO22ab";
    QTest::newRow("last letters") << "xx99xx" << true << "XX99xx";
    QTest::newRow("blank after the sixth") << "jo22ab " << true << "JO22ab";
}

void LocatorTest::typedTextIsJudgedAsTyped() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(LocatorCalculator::IsValidLocator(text), valid);
    const QString form = geo::gridHomeForm(text);
    QTEST(form, "form");
    QCOMPARE(LocatorCalculator::IsValidLocator(form), valid);
}

void LocatorTest::conversion_data() {
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("latitudeLabel");
    QTest::addColumn<QString>("longitudeLabel");

    const double jo22abLat = 52.0625;
    const double jo22abLon = 4 + 1.0 / 24;
    QTest::newRow("JO22ab, C") << "JO22ab" << QLocale::c() << jo22abLat << jo22abLon
                               << "052:03:45 (52.0625)"
                               << "004:02:30 (4.04167)";
    QTest::newRow("JO22ab, English")
        << "JO22ab" << kEnglish << jo22abLat << jo22abLon << "052:03:45 (52.0625)"
        << "004:02:30 (4.04167)";
    QTest::newRow("JO22ab, Dutch")
        << "JO22ab" << kDutch << jo22abLat << jo22abLon << "052:03:45 (52,0625)"
        << "004:02:30 (4,04167)";
    QTest::newRow("jo22ab lower case")
        << "jo22ab" << kDutch << jo22abLat << jo22abLon << "052:03:45 (52,0625)"
        << "004:02:30 (4,04167)";
    QTest::newRow("JO22AB upper case")
        << "JO22AB" << kDutch << jo22abLat << jo22abLon << "052:03:45 (52,0625)"
        << "004:02:30 (4,04167)";
    QTest::newRow("longer text uses six")
        << "JO22AB12" << kDutch << jo22abLat << jo22abLon << "052:03:45 (52,0625)"
        << "004:02:30 (4,04167)";

    // The centre lies a hair below -0.125 in binary, and the seconds are cut, not rounded.
    QTest::newRow("IO91wm, between -1 and 0")
        << "IO91wm" << kDutch << 51.5 + 1.0 / 48 << -0.125 << "051:31:15 (51,52083)"
        << "0-1:52:29 (-,125)";
    QTest::newRow("DM04md, beyond -100") << "DM04md" << QLocale::c() << 34.125 + 1.0 / 48
                                         << -119 + 1.0 / 24 << "034:08:45 (34.14583)"
                                         << "-119:02:30 (-118.95833)";
    QTest::newRow("AA00AA, south-west corner")
        << "AA00AA" << kDutch << -90 + 1.0 / 48 << -180 + 1.0 / 24 << "-90:01:14 (-89,97917)"
        << "-180:02:29 (-179,95833)";
    QTest::newRow("XX99XX, beyond the globe")
        << "XX99XX" << kDutch << 149 + 23.0 / 24 + 1.0 / 48 << 298 + 23.0 / 12 + 1.0 / 24
        << "149:58:45 (149,97917)"
        << "299:57:30 (299,95833)";
}

void LocatorTest::conversion() {
    QFETCH(QString, locator);
    QFETCH(QLocale, locale);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, latitudeLabel);
    QFETCH(QString, longitudeLabel);

    const LocatorCalculator::Point point = LocatorCalculator::LocatorToLatLong(locator);
    QVERIFY2(std::abs(point.latitude - latitude) < 1e-9,
             qPrintable(QString::number(point.latitude, 'g', 17)));
    QVERIFY2(std::abs(point.longitude - longitude) < 1e-9,
             qPrintable(QString::number(point.longitude, 'g', 17)));
    QCOMPARE(LocatorCalculator::coordinateText(point.latitude, locale), latitudeLabel);
    QCOMPARE(LocatorCalculator::coordinateText(point.longitude, locale), longitudeLabel);
}

void LocatorTest::coordinateText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << kDutch << "000:00:00 (,)";
    QTest::newRow("negative zero") << -0.0 << kDutch << "000:00:00 (,)";
    QTest::newRow("half, no whole part") << 0.5 << kDutch << "000:30:00 (,5)";
    QTest::newRow("whole keeps the comma") << 7.0 << kDutch << "007:00:00 (7,)";
    QTest::newRow("whole keeps the point") << 7.0 << QLocale::c() << "007:00:00 (7.)";
    QTest::newRow("negative whole") << -2.0 << kDutch << "0-2:00:00 (-2,)";
    QTest::newRow("exact -0.125") << -0.125 << kDutch << "0-1:52:30 (-,125)";
    QTest::newRow("small negative") << -0.04167 << kDutch << "0-1:57:29 (-,04167)";
    QTest::newRow("negative three digits") << -100.5 << kDutch << "-101:30:00 (-100,5)";
    QTest::newRow("five decimals, rounded") << 0.123456 << kDutch << "000:07:24 (,12346)";
    QTest::newRow("carry into whole part") << 3.999999 << kDutch << "003:59:59 (4,)";
    QTest::newRow("negative carry into whole part") << -0.999999 << kDutch << "0-1:00:00 (-1,)";
    QTest::newRow("carry to a new digit") << 59.99999999 << kDutch << "059:59:59 (60,)";
    QTest::newRow("no digit grouping") << 12345.678 << kEnglish << "12345:40:40 (12345.678)";
}

void LocatorTest::coordinateText() {
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(LocatorCalculator::coordinateText(value, locale), text);
}

void LocatorTest::distanceText_data() {
    QTest::addColumn<double>("kilometres");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "1";
    QTest::newRow("half to even 0") << 0.5 << "1";
    QTest::newRow("just below half") << 0.49 << "1";
    QTest::newRow("just above half") << 0.51 << "2";
    QTest::newRow("half to even 2, up") << 1.5 << "3";
    QTest::newRow("half to even 2, down") << 2.5 << "3";
    QTest::newRow("half to even 4") << 3.5 << "5";
    QTest::newRow("JO22ab-JO33AB") << 175.04 << "176";
    QTest::newRow("round up") << 175.6 << "177";
    QTest::newRow("half the globe") << 20015.5 << "20017";
    QTest::newRow("negative half") << -0.5 << "1";
    QTest::newRow("negative") << -2.5 << "-1";
    QTest::newRow("beyond int") << 3e9 << "3000000001";
    QTest::newRow("beyond 64-bit") << 1e20 << "100000000000000000000";
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "";
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "";
}

void LocatorTest::distanceText() {
    QFETCH(double, kilometres);
    QFETCH(QString, text);
    QCOMPARE(LocatorCalculator::distanceText(kilometres), text);
}

void LocatorTest::distanceBetweenLocators_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<double>("kilometres");
    QTest::addColumn<QString>("text");

    QTest::newRow("JO22ab-JO33AB") << "JO22ab"
                                   << "JO33AB" << 175.04 << "176";
    QTest::newRow("equal") << "JO22ab"
                           << "JO22ab" << 0.0 << "1";
    QTest::newRow("equal, other case") << "JO22AB"
                                       << "jo22ab" << 0.0 << "1";
    QTest::newRow("neighbouring subsquare") << "JO22ab"
                                            << "JO22ac" << 4.63 << "6";
}

void LocatorTest::distanceBetweenLocators() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(double, kilometres);
    QFETCH(QString, text);

    const double distance = distanceBetween(from, to);
    QVERIFY(!std::isnan(distance));
    QVERIFY2(std::abs(distance - kilometres) < 0.01,
             qPrintable(QString::number(distance, 'g', 17)));
    QCOMPARE(LocatorCalculator::distanceText(distance), text);
}

void LocatorTest::distanceMatchesHaversine_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");

    QTest::newRow("within Europe") << "JO22ab"
                                   << "JN58td";
    QTest::newRow("across the Atlantic") << "JO22ab"
                                         << "FN31pr";
    QTest::newRow("across the date line") << "RL22aa"
                                          << "AL22aa";
    QTest::newRow("to Australia") << "JO22ab"
                                  << "QF56od";
    QTest::newRow("nearly antipodal") << "JO22ab"
                                      << "AD26aw";
    QTest::newRow("south to north") << "GF15vc"
                                    << "KP20le";
}

void LocatorTest::distanceMatchesHaversine() {
    QFETCH(QString, from);
    QFETCH(QString, to);

    const double expected = haversine(from, to);
    const double there = distanceBetween(from, to);
    const double back = distanceBetween(to, from);
    QVERIFY2(
        std::abs(there - expected) <= expected * 1e-6,
        qPrintable(QStringLiteral("%1 vs %2").arg(there, 0, 'g', 17).arg(expected, 0, 'g', 17)));
    QVERIFY(std::abs(back - there) <= there * 1e-12);
}

void LocatorTest::arcCos_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("degrees");

    QTest::newRow("0") << 0.0 << 90.0;
    QTest::newRow("0.5") << 0.5 << 60.0;
    QTest::newRow("-0.5") << -0.5 << 120.0;
    QTest::newRow("cos 1 degree") << std::cos(kPi / 180) << 1.0;
    QTest::newRow("cos 179 degrees") << std::cos(179 * kPi / 180) << 179.0;
    QTest::newRow("1") << 1.0 << 0.0;
    QTest::newRow("-1 reads as no angle") << -1.0 << 0.0;
    QTest::newRow("rounded above 1") << 1 + 1e-15 << 0.0;
    QTest::newRow("rounded below -1") << -1 - 1e-15 << 0.0;
    QTest::newRow("far above 1") << 2.0 << 0.0;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0.0;
}

void LocatorTest::arcCos() {
    QFETCH(double, x);
    QFETCH(double, degrees);

    const double angle = LocatorCalculator(kPi).ArcCos(x);
    QVERIFY(!std::isnan(angle));
    QVERIFY2(std::abs(angle - degrees) < 1e-9, qPrintable(QString::number(angle, 'g', 17)));
}

void LocatorTest::gridHomeForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("form");

    QTest::newRow("mixed case") << "jo22AB"
                                << "JO22ab";
    QTest::newRow("already in form") << "JO22ab"
                                     << "JO22ab";
    QTest::newRow("blanks around") << " jo22AB "
                                   << "JO22ab";
    QTest::newRow("tab and newline around") << "\tjo22AB\n"
                                            << "JO22ab";
    QTest::newRow("square only") << "jo22"
                                 << "JO2222";
    QTest::newRow("five characters") << "jo22a"
                                     << "JO222a";
    QTest::newRow("longer text") << "Jo22aB12"
                                 << "JO2212";
    QTest::newRow("three characters") << "jo2"
                                      << "JO2o2";
    QTest::newRow("one character") << "j"
                                   << "Jj";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("inner blank kept") << "jo 22ab"
                                      << "JO 2ab";
}

void LocatorTest::gridHomeForm() {
    QFETCH(QString, text);
    QFETCH(QString, form);
    QCOMPARE(geo::gridHomeForm(text), form);
}

void LocatorTest::bandUnitForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("form");

    QTest::newRow("empty") << ""
                           << "Mhz";
    QTest::newRow("null") << QString() << "Mhz";
    QTest::newRow("blank kept") << " "
                                << " ";
    QTest::newRow("unit kept") << "Mhz"
                               << "Mhz";
    QTest::newRow("other unit kept") << "kHz"
                                     << "kHz";
}

void LocatorTest::bandUnitForm() {
    QFETCH(QString, text);
    QFETCH(QString, form);
    QCOMPARE(geo::bandUnitForm(text), form);
}

void LocatorTest::invalidLocatorText() {
    QCOMPARE(geo::invalidLocatorText(),
             QStringLiteral("Onjuist Zender Locatie Formaat\r\n"
                            "Moet zijn 6 Characters\r\n"
                            "2 Letters (a tot x), 2 Nummers (0 tot 9), 2 Letters (a tot z)\r\n"
                            "(Hoofdletter ongevoelig)"));
}

KB_CORE_TEST_MAIN(LocatorTest)
#include "tst_locator.moc"
