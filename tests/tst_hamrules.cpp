#include "CoreTestMain.h"

#include "hamlist/HamRules.h"

#include <QObject>
#include <QString>

#include <limits>

namespace {

QString applyForm(const QString &form, const QString &input) {
    if (form == QLatin1String("upperTrimmed")) {
        return hamlist::upperTrimmed(input);
    }
    if (form == QLatin1String("postcodeForm")) {
        return hamlist::postcodeForm(input);
    }
    if (form == QLatin1String("gridForm")) {
        return hamlist::gridForm(input);
    }
    if (form == QLatin1String("shortGridForm")) {
        return hamlist::shortGridForm(input);
    }
    if (form == QLatin1String("countryForm")) {
        return hamlist::countryForm(input);
    }
    if (form == QLatin1String("emailForm")) {
        return hamlist::emailForm(input);
    }
    qFatal("unknown form %s", qPrintable(form));
}

}  // namespace

class HamRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldForms_data();
    void fieldForms();
    void gridTooShort_data();
    void gridTooShort();
    void emailText_data();
    void emailText();
    void hitLine_data();
    void hitLine();
    void hitLinePositionRoundTrip();
    void hitLinePositionOfLine_data();
    void hitLinePositionOfLine();
    void searchCriterion_data();
    void searchCriterion();
};

void HamRulesTest::fieldForms_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QString upper = QStringLiteral("upperTrimmed");
    QTest::newRow("upper: call") << upper << "pa3abc"
                                 << "PA3ABC";
    QTest::newRow("upper: blanks at both ends") << upper << "  pa3abc  "
                                                << "PA3ABC";
    QTest::newRow("upper: tab and newline") << upper << "\tj. de vries\n"
                                            << "J. DE VRIES";
    QTest::newRow("upper: inner blanks kept") << upper << " den  haag "
                                              << "DEN  HAAG";
    QTest::newRow("upper: accented") << upper << "'s-gravenzandé"
                                     << "'S-GRAVENZANDÉ";
    QTest::newRow("upper: empty") << upper << ""
                                  << "";
    QTest::newRow("upper: only blanks") << upper << "   "
                                        << "";

    const QString postcode = QStringLiteral("postcodeForm");
    QTest::newRow("postcode: no blank") << postcode << "1234ab"
                                        << "1234 AB";
    QTest::newRow("postcode: already formed") << postcode << "1234 AB"
                                              << "1234 AB";
    QTest::newRow("postcode: blanks at the ends") << postcode << "  1234ab  "
                                                  << "1234 AB";
    QTest::newRow("postcode: two characters") << postcode << "12"
                                              << "12 12";
    QTest::newRow("postcode: one character") << postcode << "x"
                                             << "X X";
    QTest::newRow("postcode: empty") << postcode << ""
                                     << " ";
    QTest::newRow("postcode: only blanks") << postcode << "    "
                                           << " ";
    QTest::newRow("postcode: too long") << postcode << "1234abc"
                                        << "1234 BC";

    const QString grid = QStringLiteral("gridForm");
    QTest::newRow("grid: lower case") << grid << "jo22ab"
                                      << "JO22ab";
    QTest::newRow("grid: upper case") << grid << "JO22AB"
                                      << "JO22ab";
    QTest::newRow("grid: eight characters") << grid << "JO22AB12"
                                            << "JO2212";
    QTest::newRow("grid: blanks at the ends") << grid << " jo22ab "
                                              << "JO22ab";
    QTest::newRow("grid: four characters") << grid << "jo22"
                                           << "JO2222";
    QTest::newRow("grid: empty") << grid << ""
                                 << "";
    // Only a to z change case: a sign whose case mapping is an ASCII letter, or several
    // characters, stays as typed, so the grid does not turn into a locator it was not.
    QTest::newRow("grid: sharp s")
        << grid << QStringLiteral("jo22\u00DFb") << QStringLiteral("JO22\u00DFb");
    QTest::newRow("grid: sharp s in the square")
        << grid << QStringLiteral("jo\u00DF2ab") << QStringLiteral("JO\u00DF2ab");
    QTest::newRow("grid: ligature ff")
        << grid << QStringLiteral("jo22\uFB00") << QStringLiteral("JO222\uFB00");
    QTest::newRow("grid: Kelvin sign")
        << grid << QStringLiteral("jo22a\u212A") << QStringLiteral("JO22a\u212A");
    QTest::newRow("grid: capital I with dot")
        << grid << QStringLiteral("jo22a\u0130") << QStringLiteral("JO22a\u0130");
    QTest::newRow("grid: dotless i")
        << grid << QStringLiteral("\u0131o22ab") << QStringLiteral("\u0131O22ab");
    QTest::newRow("grid: long s") << grid << QStringLiteral("jo22\u017Fb")
                                  << QStringLiteral("JO22\u017Fb");
    QTest::newRow("grid: full width") << grid << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12ab")
                                      << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12ab");
    const QString shortGrid = QStringLiteral("shortGridForm");
    QTest::newRow("short grid: upper, trimmed") << shortGrid << " jo22a "
                                                << "JO22A";
    QTest::newRow("short grid: sharp s")
        << shortGrid << QStringLiteral("jo2\u00DF") << QStringLiteral("JO2\u00DF");

    const QString country = QStringLiteral("countryForm");
    QTest::newRow("country: empty") << country << ""
                                    << "Nederland";
    QTest::newRow("country: only blanks") << country << "   "
                                          << "Nederland";
    QTest::newRow("country: typed in") << country << "nederland"
                                       << "NEDERLAND";
    QTest::newRow("country: trimmed") << country << " belgië "
                                      << "BELGIË";

    const QString email = QStringLiteral("emailForm");
    QTest::newRow("email: mixed case") << email << " Jan@Example.NL "
                                       << "jan@example.nl";
    QTest::newRow("email: already formed") << email << "pa3abc@amsat.org"
                                           << "pa3abc@amsat.org";
    QTest::newRow("email: empty") << email << ""
                                  << "";
}

void HamRulesTest::fieldForms() {
    QFETCH(QString, form);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(applyForm(form, input), expected);
}

void HamRulesTest::gridTooShort_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tooShort");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("1") << "j" << true;
    QTest::newRow("2") << "jo" << true;
    QTest::newRow("3") << "jo2" << true;
    QTest::newRow("4") << "jo22" << true;
    QTest::newRow("5") << "jo22a" << true;
    QTest::newRow("6") << "jo22ab" << false;
    QTest::newRow("7") << "jo22abc" << false;
    QTest::newRow("one blank") << " " << true;
    QTest::newRow("five blanks") << "     " << true;
    QTest::newRow("six blanks") << "      " << false;
    QTest::newRow("5 with leading blanks") << "  jo2" << true;
    QTest::newRow("6 with leading blanks") << "  jo22" << false;
    QTest::newRow("7 with blanks at both ends") << " jo22a " << false;
}

void HamRulesTest::gridTooShort() {
    QFETCH(QString, text);
    QFETCH(bool, tooShort);
    QCOMPARE(hamlist::gridTooShort(text), tooShort);
}

void HamRulesTest::emailText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("ordinary") << "jan@example.nl" << true;
    QTest::newRow("upper case") << "JAN@EXAMPLE.NL" << true;
    QTest::newRow("two dots after the domain") << "a@b.c.d" << true;
    QTest::newRow("nothing before the at sign") << "@b.nl" << true;
    QTest::newRow("double dot before the at sign") << "a..b@c.nl" << true;
    QTest::newRow("second at sign") << "a@b@c.nl" << true;
    QTest::newRow("shortest accepted") << "@b.n" << true;
    QTest::newRow("dot at the end") << "ab@c.nl." << false;
    QTest::newRow("double dot after the at sign") << "a@b..nl" << false;
    QTest::newRow("triple dot after the at sign") << "a@b...nl" << false;
    QTest::newRow("double dot at the end") << "a@bc.." << false;
    QTest::newRow("only dot right after the at sign") << "a@.nl" << false;
    QTest::newRow("dot right after the at sign and later") << "a@.b.nl" << true;
    QTest::newRow("double dot right after the at sign") << "a@..nl" << true;
    QTest::newRow("dot only before the at sign") << "a.b@cnl" << false;
    QTest::newRow("no at sign") << "abc" << false;
    QTest::newRow("dot but no at sign") << "jan.example.nl" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no dot") << "a@b" << false;
    QTest::newRow("only an at sign") << "@" << false;
    QTest::newRow("at sign at the end") << "a@" << false;
    QTest::newRow("at sign and dot") << "@." << false;
    QTest::newRow("dot right after, one character") << "@.n" << false;
    QTest::newRow("one character then a dot") << "a@b." << false;
    QTest::newRow("only a dot") << "." << false;
}

void HamRulesTest::emailText() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(hamlist::isEmailText(text), accepted);
}

void HamRulesTest::hitLine_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("qth");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ordinary") << 12 << "PA3ABC"
                              << "Jan de Vries"
                              << "UTRECHT"
                              << "0012 | PA3ABC  | Jan de Vries           | UTRECHT";
    QTest::newRow("short call") << 1 << "K1"
                                << "Joe"
                                << "BOSTON"
                                << "0001 | K1     | Joe                    | BOSTON";
    QTest::newRow("call of seven") << 2 << "PA3ABCD"
                                   << "Piet"
                                   << "EDE"
                                   << "0002 | PA3ABCD | Piet                   | EDE";
    QTest::newRow("long call cut") << 3 << "PA3ABC/MM"
                                   << "Piet"
                                   << "EDE"
                                   << "0003 | PA3ABC/ | Piet                   | EDE";
    QTest::newRow("empty call") << 4 << ""
                                << "Piet"
                                << "EDE"
                                << "0004 |      | Piet                   | EDE";
    QTest::newRow("empty name") << 5 << "PD0AA"
                                << ""
                                << "EDE"
                                << "0005 | PD0AA   |                       | EDE";
    QTest::newRow("name of 22") << 6 << "PD0AA"
                                << "Johannes van den Berge"
                                << "EDE"
                                << "0006 | PD0AA   | Johannes van den Berge | EDE";
    QTest::newRow("name of 30 cut") << 7 << "PD0AA"
                                    << "Hendrikus Johannes Wilhelminus"
                                    << "EDE"
                                    << "0007 | PD0AA   | Hendrikus Johannes Wil | EDE";
    QTest::newRow("qth upper-cased") << 8 << "PD0AA"
                                     << "Ans"
                                     << "den haag"
                                     << "0008 | PD0AA   | Ans                    | DEN HAAG";
    QTest::newRow("empty qth") << 9 << "PD0AA"
                               << "Ans"
                               << ""
                               << "0009 | PD0AA   | Ans                    | ";
    QTest::newRow("position 0") << 0 << "PD0AA"
                                << "Ans"
                                << "EDE"
                                << "0000 | PD0AA   | Ans                    | EDE";
    QTest::newRow("position 9999") << 9999 << "PD0AA"
                                   << "Ans"
                                   << "EDE"
                                   << "9999 | PD0AA   | Ans                    | EDE";
    QTest::newRow("position 10000") << 10000 << "PD0AA"
                                    << "Ans"
                                    << "EDE"
                                    << "10000 | PD0AA   | Ans                    | EDE";
    QTest::newRow("position 123456") << 123456 << "PD0AA"
                                     << "Ans"
                                     << "EDE"
                                     << "123456 | PD0AA   | Ans                    | EDE";
    QTest::newRow("negative position") << -5 << "PD0AA"
                                       << "Ans"
                                       << "EDE"
                                       << "-5 | PD0AA   | Ans                    | EDE";
}

void HamRulesTest::hitLine() {
    QFETCH(int, position);
    QFETCH(QString, call);
    QFETCH(QString, name);
    QFETCH(QString, qth);
    QFETCH(QString, expected);
    QCOMPARE(hamlist::hitLine(position, call, name, qth), expected);
}

void HamRulesTest::hitLinePositionRoundTrip() {
    // Every number of digits, the carries from 9999 to 10000 and from 99999 to 100000, and steps
    // through the rest of the range.
    QList<int> positions = {0, 1, 9, 10, 99, 100, 999, 1000, 9999, 10000, 99999, 100000, 200000};
    for (int p = 0; p <= 200000; p += 1237) {
        positions << p;
    }
    const QStringList calls = {QStringLiteral("K1"), QStringLiteral("1A0KM"),
                               QStringLiteral("9999999999")};
    for (const int p : positions) {
        for (const QString &call : calls) {
            const QString line =
                hamlist::hitLine(p, call, QStringLiteral("12"), QStringLiteral("3"));
            QVERIFY2(hamlist::hitLinePosition(line) == p, qPrintable(line));
        }
    }
}

void HamRulesTest::hitLinePositionOfLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");

    QTest::newRow("leading zeros") << "0012 | PA3ABC  | Jan" << 12;
    QTest::newRow("five digits") << "12345 | PA3ABC  | Jan" << 12345;
    QTest::newRow("all zeros") << "0000 | K1" << 0;
    QTest::newRow("only digits") << "42" << 42;
    QTest::newRow("letter right after the digits") << "12a" << 12;
    QTest::newRow("largest int") << "2147483647 | K1" << std::numeric_limits<int>::max();
    QTest::newRow("one over the largest int") << "2147483648 | K1" << -1;
    QTest::newRow("far too many digits") << "99999999999999999999 | K1" << -1;
    QTest::newRow("many leading zeros") << "000000000000000000007" << 7;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("leading blank") << " 12 | K1" << -1;
    QTest::newRow("separator first") << "| 12" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("minus sign") << "-5 | K1" << -1;
    QTest::newRow("plus sign") << "+5 | K1" << -1;
    QTest::newRow("non-ASCII digit") << QStringLiteral("\u0663 | K1") << -1;
    QTest::newRow("full-width digit") << QStringLiteral("\uFF11\uFF12 | K1") << -1;
}

void HamRulesTest::hitLinePositionOfLine() {
    QFETCH(QString, line);
    QFETCH(int, position);
    QCOMPARE(hamlist::hitLinePosition(line), position);
}

void HamRulesTest::searchCriterion_data() {
    QTest::addColumn<int>("fieldIndex");
    QTest::addColumn<bool>("partialCall");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QString>("expected");

    QTest::newRow("call, exact") << 0 << false << "PA3ABC" << true << "call ='PA3ABC'";
    QTest::newRow("call, exact, empty") << 0 << false << "" << true << "call =''";
    QTest::newRow("call, partial") << 0 << true << "ABC" << false << "call LIKE'*ABC'";

    // The partial-call switch only matters for the call.
    const struct {
        int index;
        const char *field;
    } others[] = {{1, "naam"}, {2, "adres"},    {3, "postcode"}, {4, "qth"},          {5, "grid"},
                  {6, "land"}, {7, "telefoon"}, {8, "email"},    {9, "byzonderheden"}};
    for (const auto &other : others) {
        for (const bool partial : {false, true}) {
            QTest::addRow("%s, partial call %s", other.field, partial ? "on" : "off")
                << other.index << partial << "EDE" << false
                << QString::fromLatin1(other.field) + QStringLiteral(" LIKE'*EDE*'");
        }
    }

    QTest::newRow("index -1") << -1 << false << "EDE" << false << QString();
    QTest::newRow("index 10") << 10 << false << "EDE" << false << QString();
    QTest::newRow("index 10, partial") << 10 << true << "EDE" << false << QString();
}

void HamRulesTest::searchCriterion() {
    QFETCH(int, fieldIndex);
    QFETCH(bool, partialCall);
    QFETCH(QString, text);
    QFETCH(bool, exact);
    QFETCH(QString, expected);

    QCOMPARE(hamlist::isExactMode(fieldIndex, partialCall), exact);
    const QString criterion = hamlist::searchCriterion(fieldIndex, partialCall, text);
    QCOMPARE(criterion, expected);
    QCOMPARE(criterion.isEmpty(), expected.isEmpty());
}

KB_CORE_TEST_MAIN(HamRulesTest)
#include "tst_hamrules.moc"
