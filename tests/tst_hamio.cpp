#include "FullDisk.h"
#include "TestMain.h"

#include "extra/frmImport.h"
#include "hamio/Csv.h"
#include "hamio/HamImport.h"
#include "storage/Database.h"
#include "storage/HamLookup.h"
#include "storage/Sql.h"
#include "storage/TableCursor.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <numeric>

#include <sqlite3.h>

using hamio::StoredHam;
using storage::Ham;

namespace {

Ham ham(const QString &call, const QString &naam = {}, const QString &byzonderheden = {}) {
    Ham h;
    h.call = call;
    h.name = naam;
    h.country = QStringLiteral("Nederland");
    h.particulars = byzonderheden;
    return h;
}

// A database whose ham list holds these hams (instead of the blank first record).
QString databaseWith(const QTemporaryDir &dir, const std::vector<Ham> &hams) {
    const QString path = dir.filePath(QString::fromLatin1(storage::Database::kFileName));
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("qrz"), &error);
    std::vector<int> all(Ham::kFields);
    std::iota(all.begin(), all.end(), 0);
    table->write(0, all, hams.front().toRecord(), &error);
    for (size_t i = 1; i < hams.size(); ++i) {
        table->append(all, hams[i].toRecord(), &error);
    }
    return path;
}

std::vector<Ham> stored(const QString &path) {
    std::vector<StoredHam> hams;
    QString error;
    hamio::readHams(path, &hams, &error);
    std::vector<Ham> plain;
    for (const StoredHam &h : hams) {
        plain.push_back(h.ham);
    }
    return plain;
}

// What a plan does with the rows of a file, one line each: refused rows with their line, new
// hams in the given form, changed hams by call, and, when asked, one line per unchanged ham.
QStringList outcomesOf(const hamio::ImportPlan &plan,
                       const std::function<QString(const Ham &)> &added, bool withUnchanged) {
    QStringList outcomes;
    for (const hamio::RejectedRow &rejected : plan.rejected) {
        outcomes << QStringLiteral("regel %1: %2").arg(rejected.line).arg(rejected.reason);
    }
    for (const Ham &ham : plan.added) {
        outcomes << QStringLiteral("nieuw: ") + added(ham);
    }
    for (const hamio::ChangedHam &changed : plan.changed) {
        outcomes << QStringLiteral("gewijzigd: %1").arg(changed.after.call);
    }
    for (int i = 0; withUnchanged && i < plan.unchanged; ++i) {
        outcomes << QStringLiteral("ongewijzigd");
    }
    return outcomes;
}

QString callOf(const Ham &ham) {
    return ham.call;
}

}  // namespace

class HamIoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void csvLines_data();
    void csvLines();
    void formulaFieldsAreMarked_data();
    void formulaFieldsAreMarked();
    void roundTripOfHostileText();
    void roundTripKeepsWhatTheListHolds_data();
    void roundTripKeepsWhatTheListHolds();
    void utf16AndUtf32Files_data();
    void utf16AndUtf32Files();
    void unmarkedUtf16AndUtf32Said_data();
    void unmarkedUtf16AndUtf32Said();
    void invisibleCharactersInRows_data();
    void invisibleCharactersInRows();
    void callsFromAFileArePrintableAscii_data();
    void callsFromAFileArePrintableAscii();
    void knownCallsAsTheLookUpFindsThem_data();
    void knownCallsAsTheLookUpFindsThem();
    void importIntoLockedListChangesNothing();
    void emptyListReadWithoutWriting();
    void longParticularsImportWhole();
    void readsOtherSpreadsheets_data();
    void readsOtherSpreadsheets();
    void headerNames_data();
    void headerNames();
    void planWithBadRows();
    void cancelledImportChangesNothing();
    void importWritesAll();
    void largeImport();
};

void HamIoTest::csvLines_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("plain") << QStringList{"PA3ABC", "JAN"} << QByteArray("PA3ABC;JAN\r\n");
    QTest::newRow("separator") << QStringList{"a;b", ""} << QByteArray("\"a;b\";\r\n");
    QTest::newRow("quote") << QStringList{"de \"baas\""} << QByteArray("\"de \"\"baas\"\"\"\r\n");
    QTest::newRow("line break") << QStringList{"r1\nr2"} << QByteArray("\"r1\nr2\"\r\n");
    QTest::newRow("blank at the end") << QStringList{"x "} << QByteArray("\"x \"\r\n");
    QTest::newRow("comma needs nothing") << QStringList{"1,5"} << QByteArray("1,5\r\n");
    QTest::newRow("U+FEFF first") << QStringList{"PA3ABC", QStringLiteral("\uFEFFx")}
                                  << QByteArray("PA3ABC;\"\xEF\xBB\xBFx\"\r\n");
}

void HamIoTest::csvLines() {
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(hamio::csvLine(fields), line);
}

// A field a spreadsheet would take for a formula gets the text mark; the reader takes the mark
// off again, so each field comes back exactly as it went out.
void HamIoTest::formulaFieldsAreMarked_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("sum") << "=1+1" << QByteArray("'=1+1\r\n");
    QTest::newRow("telephone") << "+31 6 12345678" << QByteArray("'+31 6 12345678\r\n");
    QTest::newRow("at") << "@SUM(1+1)" << QByteArray("'@SUM(1+1)\r\n");
    QTest::newRow("minus") << "-5" << QByteArray("'-5\r\n");
    QTest::newRow("command") << "+cmd|' /C calc'!A0" << QByteArray("'+cmd|' /C calc'!A0\r\n");
    QTest::newRow("hyperlink, quoted")
        << "=HYPERLINK(\"http://x.nl\";\"klik\")"
        << QByteArray("\"'=HYPERLINK(\"\"http://x.nl\"\";\"\"klik\"\")\"\r\n");
    QTest::newRow("tab") << "\tTAB" << QByteArray("'\tTAB\r\n");
    QTest::newRow("carriage return") << "\rCR" << QByteArray("\"'\rCR\"\r\n");
    QTest::newRow("sign alone") << "=" << QByteArray("'=\r\n");
    QTest::newRow("mark before a letter") << "'t Gooi" << QByteArray("'t Gooi\r\n");
    QTest::newRow("mark alone") << "'" << QByteArray("'\r\n");
    QTest::newRow("typed mark before a sign") << "'=x" << QByteArray("''=x\r\n");
    QTest::newRow("two typed marks") << "''+1" << QByteArray("'''+1\r\n");
    QTest::newRow("sign inside") << "PA3ABC=1" << QByteArray("PA3ABC=1\r\n");
}

void HamIoTest::formulaFieldsAreMarked() {
    QFETCH(QString, field);
    QFETCH(QByteArray, line);
    QCOMPARE(hamio::csvLine({field}), line);
    const hamio::CsvTable table =
        hamio::readCsv(hamio::csvFile({{"Call", "Telefoon"}, {field, field}}));
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(2));
    QCOMPARE(table.records[1].fields, QStringList({field, field}));
}

// Export, then import of the export: every ham comes back unchanged, however its texts look.
void HamIoTest::roundTripOfHostileText() {
    std::vector<StoredHam> hams;
    const QStringList texts = {
        QStringLiteral("\"quoted\"; and ;semi;colons;"),
        QStringLiteral("regel 1\nregel 2\r\nregel 3\r"),
        QStringLiteral("Hélène Čapek, Zoë, Straße"),
        QStringLiteral("73 \U0001F4FB \U0001F600"),
        QStringLiteral("  blanks at both ends  "),
        QStringLiteral("=1+1"),
        QStringLiteral("+31 6 12345678"),
        QStringLiteral("'=x"),
        QStringLiteral("'t Gooi"),
        QStringLiteral("\tmet een tab vooraan"),
        QString(),
    };
    for (int i = 0; i < texts.size(); ++i) {
        Ham h = ham(QStringLiteral("PA%1ABC").arg(i), QStringLiteral("NAAM %1").arg(i), texts[i]);
        h.address = texts[(i + 1) % texts.size()];
        h.phone = texts[(i + 2) % texts.size()];
        hams.push_back({i + 1, h});
    }
    const QByteArray csv = hamio::hamListCsv(hams);
    QVERIFY(
        csv.startsWith("\xEF\xBB\xBF"
                       "Call;Naam;Adres;Postcode;Qth;Grid;Land;Telefoon;"
                       "E-mailadres;Bijzonderheden\r\n"));
    const hamio::CsvTable table = hamio::readCsv(csv);
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.separator, QLatin1Char(';'));
    QCOMPARE(table.records.size(), hams.size() + 1);
    for (size_t i = 0; i < hams.size(); ++i) {
        QCOMPARE(table.records[i + 1].fields.size(), qsizetype(Ham::kFields));
        for (int f = 0; f < Ham::kFields; ++f) {
            QCOMPARE(table.records[i + 1].fields[f], hams[i].ham.field(f));
        }
    }
    const hamio::ImportPlan plan = hamio::planImport(csv, hams);
    QVERIFY(plan.error.isEmpty());
    QCOMPARE(plan.unchanged, int(hams.size()));
    QVERIFY(plan.added.empty());
    QVERIFY(plan.changed.empty());
    QVERIFY(plan.rejected.empty());
}

void HamIoTest::roundTripKeepsWhatTheListHolds_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");

    const QString bom(QChar(0xFEFF));
    QTest::newRow("call in lower case") << 0 << "pa3abc";
    QTest::newRow("call in mixed case") << 0 << "Pa3AbC/p";
    QTest::newRow("call with blanks at the ends") << 0 << " PA3ABC ";
    QTest::newRow("call of another ham in lower case") << 0 << "pa1aa";
    QTest::newRow("call outside ASCII, lower case") << 0 << QStringLiteral("pa\u00F8abc");
    QTest::newRow("call starting with a byte order mark") << 0 << bom + "PA3ABC";
    QTest::newRow("name in lower case") << 1 << "jan";
    QTest::newRow("name starting with a byte order mark") << 1 << bom + "JAN";
    QTest::newRow("address only a byte order mark") << 2 << bom;
    QTest::newRow("postcode unformed") << 3 << "1234ab";
    QTest::newRow("grid in other case") << 5 << "jo22AB";
    QTest::newRow("country empty") << 6 << "";
    QTest::newRow("e-mail in capitals") << 8 << "JAN@VOORBEELD.NL";
    QTest::newRow("particulars starting with a byte order mark") << 9 << bom + "Komt elke week";
    QTest::newRow("particulars two byte order marks") << 9 << bom + bom;
    QTest::newRow("particulars byte order mark and formula") << 9 << bom + "=1+1";
    QTest::newRow("particulars zero-width space first") << 9 << QStringLiteral("\u200Bx");
}

// A list as another program left it goes out and comes back in: every field comes back as the
// list holds it, so nothing is new, changed or rejected, and the file holds each value exactly.
void HamIoTest::roundTripKeepsWhatTheListHolds() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QTemporaryDir dir;
    Ham awkward = ham(QStringLiteral("PD1XYZ"), QStringLiteral("PIET"));
    awkward.field(field) = value;
    const QString path = databaseWith(dir, {ham(QStringLiteral("PA1AA"), "ANNA"), awkward});
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    QCOMPARE(current.size(), size_t(2));
    QCOMPARE(current[1].ham.field(field), value);

    const QByteArray csv = hamio::hamListCsv(current);
    const hamio::CsvTable table = hamio::readCsv(csv);
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(3));
    QCOMPARE(table.records[2].fields.value(field), value);

    const hamio::ImportPlan plan = hamio::planImport(csv, current);
    QVERIFY(plan.error.isEmpty());
    QCOMPARE(outcomesOf(plan, callOf, false), QStringList());
    QCOMPARE(plan.unchanged, 2);
}

void HamIoTest::readsOtherSpreadsheets_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("naam");

    QTest::newRow("comma, LF, no mark")
        << QByteArray("call,name\nPA3ABC,\"Jan, de\"\n") << "Jan, de";
    QTest::newRow("tab") << QByteArray("Call\tNaam\r\nPA3ABC\tJan\r\n") << "Jan";
    QTest::newRow("Windows-1252") << QByteArray("Call;Naam\r\nPA3ABC;Zo\xEB\r\n") << "Zoë";
    QTest::newRow("empty lines skipped")
        << QByteArray("Call;Naam\r\n\r\nPA3ABC;Jan\r\n\r\n") << "Jan";
}

void HamIoTest::readsOtherSpreadsheets() {
    QFETCH(QByteArray, csv);
    QFETCH(QString, naam);
    const hamio::CsvTable table = hamio::readCsv(csv);
    QCOMPARE(table.records.size(), size_t(2));
    QCOMPARE(table.records[1].fields.value(1), naam);
}

// A file with a byte order mark of UTF-16 or UTF-32 is read in that encoding.
void HamIoTest::utf16AndUtf32Files_data() {
    QTest::addColumn<int>("encoding");
    QTest::newRow("UTF-16 LE") << int(QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 BE") << int(QStringConverter::Utf16BE);
    QTest::newRow("UTF-32 LE") << int(QStringConverter::Utf32LE);
    QTest::newRow("UTF-32 BE") << int(QStringConverter::Utf32BE);
}

void HamIoTest::utf16AndUtf32Files() {
    QFETCH(int, encoding);
    QStringEncoder encoder(QStringConverter::Encoding(encoding), QStringConverter::Flag::WriteBom);
    const QByteArray csv = encoder.encode(
        QStringLiteral("Call;Naam;Bijzonderheden\r\npa3abc;Zoë;73 € \U0001F4FB\r\n"));
    const hamio::CsvTable table = hamio::readCsv(csv);
    QVERIFY(table.error.isEmpty());
    QCOMPARE(table.records.size(), size_t(2));
    QCOMPARE(table.records[1].fields,
             QStringList({"pa3abc", "Zoë", QStringLiteral("73 € \U0001F4FB")}));
    const hamio::ImportPlan plan = hamio::planImport(csv, {});
    QVERIFY(plan.rejected.empty());
    QCOMPARE(plan.added.size(), size_t(1));
    QCOMPARE(plan.added[0].call, QStringLiteral("PA3ABC"));
    QCOMPARE(plan.added[0].name, QStringLiteral("ZOË"));

    // Cut off in the middle of a character: said, not guessed.
    QVERIFY(!hamio::readCsv(csv.chopped(1)).error.isEmpty());
    QVERIFY(!hamio::planImport(csv.chopped(1), {}).error.isEmpty());
}

void HamIoTest::unmarkedUtf16AndUtf32Said_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-16 LE") << int(QStringConverter::Utf16LE) << "UTF-16";
    QTest::newRow("UTF-16 BE") << int(QStringConverter::Utf16BE) << "UTF-16";
    QTest::newRow("UTF-32 LE") << int(QStringConverter::Utf32LE) << "UTF-32";
    QTest::newRow("UTF-32 BE") << int(QStringConverter::Utf32BE) << "UTF-32";
}

// Without its byte order mark such a file is said once to be what it looks like, instead of
// every line being refused for its NUL bytes.
void HamIoTest::unmarkedUtf16AndUtf32Said() {
    QFETCH(int, encoding);
    QFETCH(QString, name);
    QStringEncoder encoder{QStringConverter::Encoding(encoding)};
    QString text = QStringLiteral("Call;Naam;Bijzonderheden\r\n");
    for (int i = 0; i < 50; ++i) {
        text += QStringLiteral("PA%1ABC;Zoë;73 € \U0001F4FB\r\n").arg(i);
    }
    const QByteArray csv = encoder.encode(text);
    QVERIFY(!csv.startsWith("\xFF\xFE") && !csv.startsWith("\xFE\xFF"));
    const QString said =
        QStringLiteral(
            "Het bestand lijkt %1-tekst zonder byte order mark (BOM) en is zo niet te "
            "lezen. Sla het op als CSV in UTF-8 en importeer het opnieuw.")
            .arg(name);
    QCOMPARE(hamio::readCsv(csv).error, said);
    const hamio::ImportPlan plan = hamio::planImport(csv, {});
    QCOMPARE(plan.error, said);
    QVERIFY(plan.rejected.empty() && plan.added.empty());
    // A short file too, down to one character in UTF-16.
    QCOMPARE(hamio::readCsv(encoder.encode(QStringLiteral("Call"))).error, said);
}

// Control and format characters (NUL, BEL, ESC, a zero-width space, a byte order mark) never
// become part of a call: anywhere in a call they reject the row; at the ends of another field
// that is trimmed they go with the blanks.
void HamIoTest::invisibleCharactersInRows_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("NUL as call") << QByteArrayLiteral("\0;leeg;")
                                 << "regel 2: de call bevat een onzichtbaar teken (U+0000)";
    QTest::newRow("NUL, BEL and blanks as call")
        << QByteArrayLiteral(" \0\a ;leeg;")
        << "regel 2: de call bevat een onzichtbaar teken (U+0000)";
    QTest::newRow("BEL inside, ESC at the end")
        << QByteArray("PA2\aCC\x1b;x;") << "regel 2: de call bevat een onzichtbaar teken (U+0007)";
    QTest::newRow("NUL inside") << QByteArrayLiteral("PA2\0CC;x;")
                                << "regel 2: de call bevat een onzichtbaar teken (U+0000)";
    QTest::newRow("zero-width space inside")
        << QByteArray(
               "PA1\xE2\x80\x8B"
               "ABC;x;")
        << "regel 2: de call bevat een onzichtbaar teken (U+200B)";
    QTest::newRow("line break inside")
        << QByteArray("\"PA1\nABC\";x;") << "regel 2: de call bevat een onzichtbaar teken (U+000A)";
    QTest::newRow("zero-width space before a known call")
        << QByteArray("\xE2\x80\x8BPA1ABC;JAN;")
        << "regel 2: de call bevat een onzichtbaar teken (U+200B)";
    QTest::newRow("byte order mark before a known call")
        << QByteArray("\xEF\xBB\xBFPA1ABC;JAN;")
        << "regel 2: de call bevat een onzichtbaar teken (U+FEFF)";
    QTest::newRow("blank and soft hyphen before a known call")
        << QByteArray(" \xC2\xAD pa1abc\x1b;JAN;")
        << "regel 2: de call bevat een onzichtbaar teken (U+00AD)";
    QTest::newRow("blanks and tab around a known call")
        << QByteArray(" pa1abc\t;JAN;") << "ongewijzigd";
    QTest::newRow("ends of other fields")
        << QByteArrayLiteral("PE2EE\t;\x1bpiet\0;\a amsterdam\xE2\x80\x8B")
        << "nieuw: PE2EE|PIET|AMSTERDAM";
    QTest::newRow("inside other fields kept") << QByteArray("PE2FF;jan\xE2\x80\x8Bpiet;x")
                                              << QStringLiteral("nieuw: PE2FF|JAN\u200BPIET|X");
}

void HamIoTest::invisibleCharactersInRows() {
    QFETCH(QByteArray, row);
    QFETCH(QString, outcome);
    const std::vector<StoredHam> current = {{1, ham("PA1ABC", "JAN")}};
    const hamio::ImportPlan plan = hamio::planImport("Call;Naam;Qth\r\n" + row + "\r\n", current);
    QVERIFY(plan.error.isEmpty());
    const QStringList outcomes = outcomesOf(
        plan,
        [](const Ham &added) {
            return QStringLiteral("%1|%2|%3").arg(added.call, added.name, added.qth);
        },
        true);
    QCOMPARE(outcomes, QStringList({outcome}));
}

void HamIoTest::callsFromAFileArePrintableAscii_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("outcome");

    const QString foreign = QStringLiteral(
        "de call bevat een teken dat niet in een call hoort (%1); een call bestaat uit letters "
        "A-Z, cijfers en leestekens");
    QTest::newRow("combining grapheme joiner")
        << QStringLiteral("PA3\u034FABC") << foreign.arg("U+034F");
    QTest::newRow("variation selector") << QStringLiteral("PA3ABC\uFE0F") << foreign.arg("U+FE0F");
    QTest::newRow("Hangul filler") << QStringLiteral("PA3\u3164ABC") << foreign.arg("U+3164");
    QTest::newRow("line separator") << QStringLiteral("PA3\u2028ABC") << foreign.arg("U+2028");
    QTest::newRow("letter with diaeresis")
        << QStringLiteral("PA3\u00C4BC") << foreign.arg("U+00C4");
    QTest::newRow("Cyrillic look-alike")
        << QStringLiteral("\u0420\u04103ABC") << foreign.arg("U+0420");
    QTest::newRow("full-width letters")
        << QStringLiteral("\uFF30\uFF213ABC") << foreign.arg("U+FF30");
    QTest::newRow("emoji") << QStringLiteral("PA3ABC\U0001F600") << foreign.arg("U+1F600");
    QTest::newRow("no-break space")
        << QStringLiteral("PA3\u00A0ABC") << "de call bevat een spatie (U+00A0)";
    QTest::newRow("blank") << "PA3 ABC"
                           << "de call bevat een spatie (U+0020)";
    QTest::newRow("zero-width space")
        << QStringLiteral("PA3\u200BABC") << "de call bevat een onzichtbaar teken (U+200B)";
    QTest::newRow("tab") << "PA3\tABC"
                         << "de call bevat een onzichtbaar teken (U+0009)";
    QTest::newRow("plain") << "PA3ABC"
                           << "nieuw: PA3ABC";
    QTest::newRow("portable, lower case") << "pa3abc/p"
                                          << "nieuw: PA3ABC/P";
    QTest::newRow("maritime mobile") << "ON4XYZ/MM"
                                     << "nieuw: ON4XYZ/MM";
    QTest::newRow("blanks at the ends") << "  PE1AAA "
                                        << "nieuw: PE1AAA";
}

// A call that comes from a file holds printable ASCII without blanks; any other character is
// refused with the line and its code, so that no look-alike of a call comes in.
void HamIoTest::callsFromAFileArePrintableAscii() {
    QFETCH(QString, call);
    QFETCH(QString, outcome);
    const QByteArray csv = hamio::csvFile({{"Call", "Naam"}, {"PD1XYZ", "PIET"}, {call, "JAN"}});
    const hamio::ImportPlan plan = hamio::planImport(csv, {});
    QVERIFY(plan.error.isEmpty());
    const QStringList outcomes = outcomesOf(plan, callOf, false);
    const QStringList expected = outcome.startsWith(QLatin1String("nieuw"))
                                     ? QStringList{"nieuw: PD1XYZ", outcome}
                                     : QStringList{"regel 3: " + outcome, "nieuw: PD1XYZ"};
    QCOMPARE(outcomes, expected);
}

void HamIoTest::knownCallsAsTheLookUpFindsThem_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("lower case in the list") << QByteArray("PA1ABC;JAN") << "gewijzigd: PA1ABC";
    QTest::newRow("as the list holds it") << QByteArray("pa1abc;JAN") << "ongewijzigd";
    // A call from a file is ASCII; one the list already holds comes back as it stands.
    QTest::newRow("letter outside ASCII, in other case")
        << QByteArray(
               "PA\xC3\x98"
               "ABC;JAN")
        << "regel 2: de call bevat een teken dat niet in een call hoort (U+00D8); een call "
           "bestaat uit letters A-Z, cijfers en leestekens";
    QTest::newRow("letter outside ASCII, as the list holds it") << QByteArray(
                                                                       "pa\xC3\xB8"
                                                                       "abc;JAN")
                                                                << "ongewijzigd";
    QTest::newRow("SS is not the sharp s") << QByteArray("PASS;JAN") << "nieuw: PASS|JAN";
}

// A row is the known ham that the exact look-up finds for its call, and no other: the same
// folded call, not merely the same capitals.
void HamIoTest::knownCallsAsTheLookUpFindsThem() {
    QFETCH(QByteArray, row);
    QFETCH(QString, outcome);
    // As another program left them.
    const std::vector<StoredHam> current = {{1, ham(QStringLiteral("pa1abc"), "JAN")},
                                            {2, ham(QStringLiteral("pa\u00F8abc"), "JAN")},
                                            {3, ham(QStringLiteral("PA\u00DF"), "JAN")}};
    const hamio::ImportPlan plan = hamio::planImport("Call;Naam\r\n" + row + "\r\n", current);
    QVERIFY(plan.error.isEmpty());
    const QStringList outcomes = outcomesOf(
        plan, [](const Ham &added) { return QStringLiteral("%1|%2").arg(added.call, added.name); },
        true);
    QCOMPARE(outcomes, QStringList({outcome}));
}

// Another program holds the write lock: the import says so and writes nothing.
void HamIoTest::importIntoLockedListChangesNothing() {
    QTemporaryDir dir;
    const QString path = databaseWith(dir, {ham("PA3ABC", "JAN")});
    const std::vector<Ham> before = stored(path);
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    const hamio::ImportPlan plan = hamio::planImport("Call;Naam\r\nPE2AA;Anna\r\n", current);

    sqlite3 *holder = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &holder, SQLITE_OPEN_READWRITE,
                             nullptr),
             SQLITE_OK);
    const int wait = storage::Database::lockWait();
    storage::Database::setLockWait(0);
    bool imported = true;
    {
        storage::Transaction lock(holder);
        QVERIFY(lock.isActive());
        imported = hamio::applyImport(path, plan, {}, &error);
    }
    storage::Database::setLockWait(wait);
    sqlite3_close_v2(holder);
    QVERIFY(!imported);
    QCOMPARE(error, QStringLiteral("De HAM-lijst kan niet worden bijgewerkt: de database is in "
                                   "gebruik door een ander programma"));
    QCOMPARE(stored(path), before);
}

// A fresh database whose ham list is empty is read (for an export) on a disk that takes no more:
// the list is read as empty and the file is not written to.
void HamIoTest::emptyListReadWithoutWriting() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(storage::Database::kFileName));
    storage::StorageError failure;
    const std::unique_ptr<storage::Database> holder = storage::Database::open(path, &failure);
    QVERIFY2(holder, qPrintable(failure.description));
    const auto hamCount = [&holder] {
        storage::Statement count(holder->handle(), QStringLiteral("SELECT count(*) FROM qrz"));
        return count.next() ? count.integer(0) : -1;
    };
    QCOMPARE(hamCount(), 0);
    std::vector<StoredHam> hams = {{1, ham("PA3ABC")}};
    QString error;
    bool read = false;
    {
        const fixture::FileSizeLimit full(0);
        QVERIFY(full.ok());
        read = hamio::readHams(path, &hams, &error);
    }
    QVERIFY2(read, qPrintable(error));
    QVERIFY(hams.empty());
    QCOMPARE(hamCount(), 0);
    QCOMPARE(hamio::hamListCsv(hams), hamio::csvFile({hamio::csvHeader()}));
}

void HamIoTest::headerNames_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("field");
    QTest::newRow("Call") << "Call" << 0;
    QTest::newRow("callsign") << " Callsign " << 0;
    QTest::newRow("Name") << "NAME" << 1;
    QTest::newRow("Postal code") << "Postal code" << 3;
    QTest::newRow("Woonplaats") << "Woonplaats" << 4;
    QTest::newRow("Locator") << "locator" << 5;
    QTest::newRow("Country") << "Country" << 6;
    QTest::newRow("Phone") << "Phone" << 7;
    QTest::newRow("E-mail") << "E-mail" << 8;
    QTest::newRow("Bijzonderheden") << "Bijzonderheden" << 9;
    QTest::newRow("unknown") << "Leeftijd" << -1;
}

void HamIoTest::headerNames() {
    QFETCH(QString, header);
    QFETCH(int, field);
    QCOMPARE(hamio::fieldOfHeader(header), field);
}

// New, changed, unchanged and rejected rows, with the forms of the ham list window.
void HamIoTest::planWithBadRows() {
    std::vector<StoredHam> current = {{1, ham("PA3ABC", "JAN")}, {2, ham("PD1XYZ", "PIET")}};
    const QByteArray csv =
        "Roepnaam;Naam;Postcode;Grid;E-mail;Leeftijd\r\n"  // line 1
        "pa3abc ;jan;;;;40\r\n"                            // 2: unchanged
        "PD1XYZ;Pieter;1234ab;jo22ab;P@X.NL;50\r\n"        // 3: changed
        ";Niemand;;;;\r\n"                                 // 4: no call
        "PE2AA;Anna;;jo22;;\r\n"                           // 5: short grid
        "PE2BB;Bob;;;bob@voorbeeld;\r\n"                   // 6: e-mail
        "PE2CC;\"Cor\r\nnelis\";;;;\r\n"                   // 7-8: new
        "PE2CC;Cor;;;;\r\n"                                // 9: twice
        "PE2DD;Dirk;;;;;te veel\r\n";                      // 10: too many
    const hamio::ImportPlan plan = hamio::planImport(csv, current);
    QVERIFY(plan.error.isEmpty());
    QCOMPARE(plan.ignoredColumns, QStringList({"Leeftijd"}));
    QCOMPARE(plan.unchanged, 1);
    QCOMPARE(plan.changed.size(), size_t(1));
    QCOMPARE(plan.changed[0].bookmark, 2);
    QCOMPARE(plan.changed[0].after.name, QStringLiteral("PIETER"));
    QCOMPARE(plan.changed[0].after.postcode, QStringLiteral("1234 AB"));
    QCOMPARE(plan.changed[0].after.grid, QStringLiteral("JO22ab"));
    QCOMPARE(plan.changed[0].after.email, QStringLiteral("p@x.nl"));
    QCOMPARE(plan.added.size(), size_t(1));
    QCOMPARE(plan.added[0].call, QStringLiteral("PE2CC"));
    QCOMPARE(plan.added[0].name, QStringLiteral("COR\r\nNELIS"));
    QCOMPARE(plan.added[0].country, QStringLiteral("Nederland"));
    QStringList rejected;
    for (const hamio::RejectedRow &row : plan.rejected) {
        rejected << QStringLiteral("%1: %2").arg(row.line).arg(row.reason);
    }
    QCOMPARE(rejected, QStringList({
                           "4: geen call",
                           "5: Grid locatie moet uit 6 tekens bestaan (\"jo22\")",
                           "6: E-mailadres onjuist! (\"bob@voorbeeld\")",
                           "9: PE2CC staat al op regel 7",
                           "10: meer velden dan de kopregel",
                       }));

    QCOMPARE(hamio::planImport("Naam;Qth\r\nJan;X\r\n", current).error,
             QStringLiteral("De kopregel heeft geen kolom \"Call\"."));
    QVERIFY(!hamio::planImport("Call\r\n\"open\r\n", current).error.isEmpty());
}

// The preview shows the counts; "Annuleren" before or during the import leaves the list alone.
void HamIoTest::cancelledImportChangesNothing() {
    QTemporaryDir dir;
    const QString path = databaseWith(dir, {ham("PA3ABC", "JAN"), ham("PD1XYZ", "PIET")});
    const std::vector<Ham> before = stored(path);
    QByteArray csv = "Call;Naam\r\nPD1XYZ;Pieter\r\n;geen call\r\n";
    for (int i = 0; i < 2000; ++i) {
        csv += QStringLiteral("PE%1;Nieuw\r\n").arg(i).toLatin1();
    }
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    const hamio::ImportPlan plan = hamio::planImport(csv, current);

    {
        extra::frmImport preview(path, plan, QStringLiteral("hams.csv"));
        QCOMPARE(preview.lblNieuw->text(), QStringLiteral("2000"));
        QCOMPARE(preview.lblGewijzigd->text(), QStringLiteral("1"));
        QCOMPARE(preview.lblOngewijzigd->text(), QStringLiteral("0"));
        QCOMPARE(preview.lblAfgewezen->text(), QStringLiteral("1"));
        preview.cmdAnnuleren->click();
        QCOMPARE(preview.outcome(), extra::frmImport::Outcome::Cancelled);
    }
    QCOMPARE(stored(path), before);

    {
        // Pressed while the import runs: the progress hands back and the import rolls back.
        extra::frmImport preview(path, plan, QStringLiteral("hams.csv"));
        QTimer::singleShot(0, preview.cmdAnnuleren, &QPushButton::click);
        preview.cmdImporteren->click();
        QCOMPARE(preview.outcome(), extra::frmImport::Outcome::Cancelled);
    }
    QCOMPARE(stored(path), before);

    // Stopped by its caller, the import writes nothing either.
    QVERIFY(!hamio::applyImport(
        path, plan, [](int done, int) { return done < 1000; }, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(stored(path), before);
}

void HamIoTest::importWritesAll() {
    QTemporaryDir dir;
    const QString path = databaseWith(dir, {ham("PA3ABC", "JAN"), ham("PD1XYZ", "PIET")});
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    const hamio::ImportPlan plan =
        hamio::planImport("Call;Naam\r\npd1xyz;Pieter\r\nPE2AA;Anna\r\n", current);
    extra::frmImport preview(path, plan, QStringLiteral("hams.csv"));
    preview.cmdImporteren->click();
    QCOMPARE(preview.outcome(), extra::frmImport::Outcome::Imported);
    const std::vector<Ham> after = stored(path);
    QCOMPARE(after.size(), size_t(3));
    QCOMPARE(after[0], ham("PA3ABC", "JAN"));
    QCOMPARE(after[1], ham("PD1XYZ", "PIETER"));
    QCOMPARE(after[2], ham("PE2AA", "ANNA"));
    // Imported and changed hams are found by call, in any case of letters.
    storage::HamLookup lookUp(path);
    for (const char *call : {"pe2aa", "Pd1Xyz"}) {
        const auto found = lookUp.find(QString::fromLatin1(call));
        QVERIFY2(found, call);
        QCOMPARE(found->ham.call, QString::fromLatin1(call).toUpper());
    }
}

// Particulars of a million characters on one line are stored whole.
void HamIoTest::longParticularsImportWhole() {
    QTemporaryDir dir;
    const QString path = databaseWith(dir, {ham("PA3ABC", "JAN")});
    const QString particulars = QString(1000000, QLatin1Char('x')) + QStringLiteral("=+\t;\"");
    const QByteArray csv = hamio::hamListCsv({{1, ham("PE2AA", "ANNA", particulars)}});
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    const hamio::ImportPlan plan = hamio::planImport(csv, current);
    QCOMPARE(plan.added.size(), size_t(1));
    QVERIFY(hamio::applyImport(path, plan, {}, &error));
    QCOMPARE(stored(path).back().particulars, particulars);
}

// 100,000 rows from reading the file to the committed table; the time is reported.
void HamIoTest::largeImport() {
    QTemporaryDir dir;
    const QString path = databaseWith(dir, {ham("PA3ABC", "JAN")});
    std::vector<StoredHam> hams;
    for (int i = 0; i < 100000; ++i) {
        Ham h = ham(QStringLiteral("PE%1").arg(i), QStringLiteral("NAAM %1").arg(i),
                    QStringLiteral("regel 1\nregel; 2"));
        h.postcode = QStringLiteral("1234 AB");
        h.grid = QStringLiteral("JO22ab");
        h.email = QStringLiteral("pe%1@voorbeeld.nl").arg(i);
        hams.push_back({i + 1, h});
    }
    const QByteArray csv = hamio::hamListCsv(hams);
    QElapsedTimer timer;
    timer.start();
    std::vector<StoredHam> current;
    QString error;
    QVERIFY(hamio::readHams(path, &current, &error));
    const hamio::ImportPlan plan = hamio::planImport(csv, current);
    QCOMPARE(plan.added.size(), size_t(100000));
    QVERIFY(hamio::applyImport(
        path, plan, [](int, int) { return true; }, &error));
    qInfo("100,000 rows imported in %lld ms", timer.elapsed());
    QCOMPARE(stored(path).size(), size_t(100001));
}

KB_TEST_MAIN(HamIoTest)
#include "tst_hamio.moc"
