// The rules of leading a round, on the round sheet alone: no window, no message box, Qt Core
// only. The window suites keep a few end-to-end paths over the same rules.

#include "CoreTestMain.h"

#include "geo/Locator.h"
#include "roundmodel/RoundSheet.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using roundmodel::Column;
using roundmodel::Field;
using roundmodel::RoundMode;
using roundmodel::RoundSheet;

namespace {

const QString kHome = QStringLiteral("JO22AB");

// A small ham list: calls with their name, QTH, locator and particulars.
const QMap<QString, storage::Ham> &hams() {
    static const QMap<QString, storage::Ham> list = [] {
        QMap<QString, storage::Ham> m;
        auto add = [&m](const char *call, const char *name, const char *qth, const char *grid,
                        const char *particulars) {
            storage::Ham ham;
            ham.call = QString::fromLatin1(call);
            ham.name = QString::fromLatin1(name);
            ham.qth = QString::fromLatin1(qth);
            ham.grid = QString::fromLatin1(grid);
            ham.particulars = QString::fromLatin1(particulars);
            m.insert(ham.call, ham);
        };
        add("PA3ABC", "Henk", "Gouda", "JO22IA", "kringbaas");
        add("PD1XYZ", "Els", "Delft", " JO22DA ", "");
        add("PE1BAD", "Bram", "Lisse", "XX99", "geen locator");
        add("QX9ZZA", "Maker", "Ergens", "JO22AB", "wordt vervangen");
        return m;
    }();
    return list;
}

std::optional<storage::Ham> lookUpHam(const QString &call) {
    const auto it = hams().find(call);
    return it == hams().end() ? std::nullopt : std::optional(*it);
}

QDateTime utc(int hour, int minute, int second = 0, int ms = 0) {
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute, second, ms), QTimeZone::utc());
}

// The stored rounds as the table holds them, read past the sheet.
QList<storage::Round> storedRounds(const QString &path) {
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
    QList<storage::Round> rounds;
    for (int i = 0; table && i < table->count(); ++i) {
        storage::RecordValues values;
        if (table->read(i, &values, &error)) {
            rounds << storage::Round::fromRecord(values);
        }
    }
    return rounds;
}

}  // namespace

class RoundSheetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<RoundSheet> sheet_;

    QString database() const {
        return QDir(dir_->path()).filePath(QString::fromLatin1(storage::Database::kFileName));
    }

    // A sheet over an empty table, with the ham list above and the home locator set.
    RoundSheet &openSheet() {
        sheet_ = std::make_unique<RoundSheet>();
        sheet_->setHamLookUp(&lookUpHam);
        sheet_->setHomeLocator(kHome);
        sheet_->setText(Field::GridHome, kHome);
        if (!sheet_->open(database())) {
            qFatal("%s", qPrintable(sheet_->lastError().description));
        }
        return *sheet_;
    }

    // A new round begun by PA3ABC, as the start dialog begins one.
    RoundSheet &leading(const QString &planned = QStringLiteral("45")) {
        RoundSheet &sheet = openSheet();
        beginNewRound(sheet, planned);
        return sheet;
    }

    static void beginNewRound(RoundSheet &sheet, const QString &planned = QStringLiteral("45")) {
        if (!sheet.addNew()) {
            qFatal("no new round");
        }
        sheet.setMode(RoundMode::On);
        sheet.begin(QStringLiteral("PA3ABC"), QStringLiteral("Henk"), planned,
                    QDateTime(QDate(2026, 12, 10), QTime(20, 15, 30)),
                    QLocale(QLocale::Dutch, QLocale::Netherlands));
        sheet.setBeginTime(utc(19, 15, 30, 250));
    }

    static QStringList calls(const RoundSheet &sheet) {
        QStringList list;
        for (int i = 0; i < RoundSheet::kRows; ++i) {
            list << sheet.cell(i, Column::Call);
        }
        return list;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void cleanup() {
        sheet_.reset();
        dir_.reset();
    }

    // A whole round, from the start dialog's Yes to the round read back after the program was
    // closed and opened again.
    void leadsAWholeRound() {
        RoundSheet &sheet = leading();
        // A new database holds one blank round; this one comes after it.
        QCOMPARE(sheet.text(Field::RoundNumber), QStringLiteral("2"));
        QVERIFY(sheet.store());
        clockedPlace(sheet, QStringLiteral("pd1xyz"), utc(19, 17, 5));
        clockedPlace(sheet, QStringLiteral("PD9NEW"), utc(19, 18, 0));
        sheet.giveTurn(1);
        sheet.giveTurn(2);
        sheet.giveTurn(1);
        sheet.setAway(2, true);
        sheet.setListening(1, true);
        sheet.setCell(2, Column::Topic, QStringLiteral("mobiel"));
        QVERIFY(sheet.storePending());
        QVERIFY(sheet.close());

        RoundSheet &again = openSheet();
        again.showLatest();
        QCOMPARE(again.positionCaption(), QStringLiteral("Ronde : 2 van de 2"));
        const storage::Round stored = storedRounds(database()).constLast();
        storage::Round expected = stored;  // shown again without its distances
        for (storage::Participant &p : expected.participants) {
            p.distance.clear();
        }
        QCOMPARE(again.round(), expected);
        QCOMPARE(stored.controllerCall, QStringLiteral("PA3ABC"));
        QCOMPARE(stored.controllerName, QStringLiteral("Henk"));
        QCOMPARE(stored.date, QStringLiteral("donderdag 10 december 2026"));
        QCOMPARE(stored.beginTime, utc(19, 15, 30));  // to the second
        QCOMPARE(calls(again).mid(0, 4), QStringList({"PA3ABC", "PD1XYZ", "PD9NEW", ""}));
        QCOMPARE(stored.participants[0].topic, QStringLiteral("Kringbaas"));
        QCOMPARE(stored.participants[1].name, QStringLiteral("Els"));
        QCOMPARE(stored.participants[1].qth, QStringLiteral("DELFT"));
        QCOMPARE(stored.participants[1].distance,
                 geo::distanceBetween(kHome, QStringLiteral("JO22DA")));
        QVERIFY(stored.participants[1].listening);
        QCOMPARE(stored.participants[1].placedAt, utc(19, 17, 5));
        QCOMPARE(stored.participants[2].topic, QStringLiteral("mobiel"));
        QCOMPARE(stored.participants[2].placedAt, utc(19, 18, 0));
        // Turns and the away mark belong to the round being led, not to the stored round.
        QCOMPARE(again.row(1).turns, 0);
        QVERIFY(!again.row(2).away);
        // Shown again, a stored round shows no distances.
        QCOMPARE(again.cell(1, Column::Distance), QString());
    }

    // --- placing calls -----------------------------------------------------------------------

    void placing_data() {
        QTest::addColumn<int>("filled");  // rows 0.. taken by other calls
        QTest::addColumn<int>("hole");    // a row among them emptied again; -1 for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<RoundSheet::Placing>("result");
        QTest::addColumn<int>("row");  // where the call lands; -1 for nowhere
        QTest::addColumn<QString>("call");
        using P = RoundSheet::Placing;
        QTest::newRow("first free row") << 2 << -1 << "PD1XYZ" << P::Placed << 2 << "PD1XYZ";
        QTest::newRow("pasted in lower case, with blanks")
            << 2 << -1 << "  pd1xyz " << P::Placed << 2 << "PD1XYZ";
        QTest::newRow("a hole is filled first") << 5 << 1 << "PD1XYZ" << P::Placed << 1 << "PD1XYZ";
        QTest::newRow("already on the sheet") << 3 << -1 << "pd0aa1" << P::Duplicate << -1 << "";
        QTest::newRow("blanks are no duplicate of the empty rows")
            << 3 << -1 << "   " << P::Placed << 3 << "";
        QTest::newRow("full") << 30 << -1 << "PD1XYZ" << P::Full << -1 << "";
        QTest::newRow("full, blanks") << 30 << -1 << " " << P::Full << -1 << "";
        QTest::newRow("full, a duplicate") << 30 << -1 << "PD0AA29" << P::Duplicate << -1 << "";
        QTest::newRow("the last row") << 29 << -1 << "PD1XYZ" << P::Placed << 29 << "PD1XYZ";
    }
    void placing() {
        QFETCH(int, filled);
        QFETCH(int, hole);
        QFETCH(QString, typed);
        QFETCH(int, row);
        QFETCH(QString, call);
        RoundSheet &sheet = openSheet();
        for (int i = 0; i < filled; ++i) {
            QCOMPARE(sheet.placeCall(QStringLiteral("PD0AA%1").arg(i), utc(19, 0)),
                     RoundSheet::Placing::Placed);
        }
        if (hole >= 0) {
            sheet.setCell(hole, Column::Call, QString());
        }
        QStringList expected = calls(sheet);
        QTEST(sheet.placeCall(typed, utc(19, 30, 5, 700)), "result");
        if (row >= 0) {
            expected[row] = call;
            // Only a call is placed at a time; to the second, as it is stored.
            QCOMPARE(sheet.row(row).placedAt, call.isEmpty() ? QDateTime() : utc(19, 30, 5));
        }
        QCOMPARE(calls(sheet), expected);
    }

    // --- the look-up of a placed call ----------------------------------------------------------

    void lookUp_data() {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("row");     // name, QTH, topic, distance
        QTest::addColumn<QString>("calculator");  // the locator handed to the calculator
        const QString d = geo::distanceBetween(kHome, QStringLiteral("JO22IA"));
        QTest::newRow("known") << kHome << "PA3ABC" << QStringList{"Henk", "GOUDA", "kringbaas", d}
                               << "JO22IA";
        QTest::newRow("locator with blanks")
            << kHome << "PD1XYZ"
            << QStringList{"Els", "DELFT", "",
                           geo::distanceBetween(kHome, QStringLiteral("JO22DA"))}
            << "JO22DA";
        QTest::newRow("ham without a valid locator")
            << kHome << "PE1BAD" << QStringList{"Bram", "LISSE", "geen locator", ""} << "XX99";
        QTest::newRow("home without a valid locator")
            << "JO2"
            << "PA3ABC" << QStringList{"Henk", "GOUDA", "kringbaas", ""} << "JO22IA";
        QTest::newRow("the maker") << kHome << "QX9ZZA"
                                   << QStringList{"Maker", "ERGENS", "Maker van deze app.",
                                                  geo::distanceBetween(kHome, kHome)}
                                   << "JO22AB";
        QTest::newRow("unknown") << kHome << "PD9UNK" << QStringList{"", "", "", ""} << "";
    }
    void lookUp() {
        QFETCH(QString, home);
        QFETCH(QString, call);
        QFETCH(QStringList, row);
        QFETCH(QString, calculator);
        RoundSheet &sheet = openSheet();
        sheet.setHomeLocator(home);
        QSignalSpy looked(&sheet, &RoundSheet::hamLookedUp);
        QCOMPARE(sheet.placeCall(call, utc(19, 0)), RoundSheet::Placing::Placed);
        const QStringList shown{sheet.cell(0, Column::Name), sheet.cell(0, Column::Qth),
                                sheet.cell(0, Column::Topic), sheet.cell(0, Column::Distance)};
        QCOMPARE(shown, row);
        QCOMPARE(looked.size(), calculator.isEmpty() ? 0 : 1);
        if (!calculator.isEmpty()) {
            QCOMPARE(looked[0][0].toString(), calculator);
            QCOMPARE(looked[0][1].toBool(), false);  // leading a round: the calculator computes
        }
    }

    // A QTH is upper case however it comes in; a row without a call keeps nothing else.
    void rowTexts() {
        RoundSheet &sheet = openSheet();
        sheet.setCell(3, Column::Qth, QStringLiteral("den haag"));
        QCOMPARE(sheet.cell(3, Column::Qth), QStringLiteral("DEN HAAG"));
        sheet.setCell(3, Column::Name, QStringLiteral("Piet"));
        sheet.applyEmptyCallRule(3);
        QCOMPARE(sheet.cell(3, Column::Qth), QString());
        QCOMPARE(sheet.cell(3, Column::Name), QString());

        sheet.placeCall(QStringLiteral("PA3ABC"), utc(19, 0));
        sheet.setCell(0, Column::Name, QStringLiteral("Henk B."));
        sheet.applyEmptyCallRule(0);
        QCOMPARE(sheet.cell(0, Column::Name), QStringLiteral("Henk B."));
        // Out of the sheet: nothing.
        sheet.setCell(30, Column::Call, QStringLiteral("PA3ABC"));
        sheet.setCell(-1, Column::Call, QStringLiteral("PA3ABC"));
        sheet.giveTurn(30);
        sheet.setAway(-1, true);
        QCOMPARE(calls(sheet).count(QStringLiteral("PA3ABC")), 1);
    }

    // --- turns -----------------------------------------------------------------------------------

    // A station marked away or listening has the turn no more: the sheet's highlight, the live
    // page and the print-out all read turnRow. Clearing the mark does not give it back; a mark
    // on another row leaves the turn where it is.
    void markedStationLosesTheTurn_data() {
        QTest::addColumn<bool>("listening");
        QTest::newRow("Weg") << false;
        QTest::newRow("Luisteren") << true;
    }
    void markedStationLosesTheTurn() {
        QFETCH(bool, listening);
        RoundSheet &sheet = openSheet();
        sheet.placeCall(QStringLiteral("PA3ABC"), utc(19, 0));
        sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 0));
        auto mark = [&](int row, bool on) {
            listening ? sheet.setListening(row, on) : sheet.setAway(row, on);
        };
        sheet.giveTurn(1);
        QSignalSpy moved(&sheet, &RoundSheet::turnChanged);
        mark(0, true);
        QCOMPARE(sheet.turnRow(), 1);
        QCOMPARE(moved.size(), 0);
        mark(0, false);
        mark(1, true);
        QCOMPARE(sheet.turnRow(), -1);
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved[0][0].toInt(), 1);
        QCOMPARE(moved[0][1].toInt(), -1);
        mark(1, false);
        QCOMPARE(sheet.turnRow(), -1);
        QCOMPARE(sheet.turnCaption(1), QStringLiteral("Beurt  1"));  // the count stays
        sheet.giveTurn(0);
        QCOMPARE(sheet.turnRow(), 0);
    }

    // Browsing a stored round whose marks differ takes no turn away from the round being led:
    // the marks shown are that round's, not the controller's.
    void browsingKeepsTheTurn() {
        RoundSheet &sheet = leading();  // the controller in row 1
        QVERIFY(sheet.store());
        QCOMPARE(sheet.placeCall(QStringLiteral("PD2AAA"), utc(19, 0)),
                 RoundSheet::Placing::Placed);
        sheet.setListening(1, true);  // stored with the round, shown as it is browsed
        QVERIFY(sheet.store());
        QVERIFY(sheet.addNew());
        sheet.setMode(RoundMode::On);
        for (const char *call : {"PD1XYZ", "PD3BBB"}) {
            QCOMPARE(sheet.placeCall(QString::fromLatin1(call), utc(19, 5)),
                     RoundSheet::Placing::Placed);
        }
        QVERIFY(sheet.store());
        sheet.giveTurn(1);
        QVERIFY(sheet.records().MovePrevious());
        QVERIFY(sheet.row(1).listening);
        QCOMPARE(sheet.turnRow(), 1);
        QVERIFY(sheet.records().MoveLast());
        QVERIFY(sheet.showsLedRound());
        QCOMPARE(sheet.turnRow(), 1);
    }

    void turns_data() {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("printed");  // the last two characters, as the print-out reads
        QTest::newRow("none") << 0 << "Beurt"
                              << "rt";
        QTest::newRow("1") << 1 << "Beurt  1"
                           << " 1";
        QTest::newRow("3") << 3 << "Beurt  3"
                           << " 3";
        QTest::newRow("100") << 100 << "Beurt  100"
                             << "00";
        QTest::newRow("105") << 105 << "Beurt  105"
                             << "05";
        QTest::newRow("999") << 999 << "Beurt  999"
                             << "99";
        QTest::newRow("1000") << 1000 << "Beurt  1000"
                              << "00";
        // The count is read back from its last three characters: after 1000 comes 1.
        QTest::newRow("1001") << 1001 << "Beurt  1"
                              << " 1";
    }
    void turns() {
        QFETCH(int, clicks);
        RoundSheet &sheet = openSheet();
        sheet.placeCall(QStringLiteral("PA3ABC"), utc(19, 0));
        for (int i = 0; i < clicks; ++i) {
            sheet.giveTurn(0);
        }
        QTEST(sheet.turnCaption(0), "caption");
        QTEST(sheet.turnCaption(0).right(2), "printed");
        QCOMPARE(sheet.turnRow(), clicks > 0 ? 0 : -1);
    }

    void turnMovesAndSkipsEmptyRows() {
        RoundSheet &sheet = openSheet();
        sheet.placeCall(QStringLiteral("PA3ABC"), utc(19, 0));
        sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 0));
        QSignalSpy moved(&sheet, &RoundSheet::turnChanged);
        sheet.giveTurn(5);  // no call
        QCOMPARE(moved.size(), 0);
        QCOMPARE(sheet.turnCaption(5), QStringLiteral("Beurt"));
        sheet.giveTurn(0);
        sheet.giveTurn(1);
        QCOMPARE(moved.size(), 2);
        QCOMPARE(moved[1][0].toInt(), 0);
        QCOMPARE(moved[1][1].toInt(), 1);
        QCOMPARE(sheet.turnRow(), 1);
        // Wiping the sheet keeps the counts, as the buttons keep their captions.
        sheet.wipe();
        QCOMPARE(sheet.turnCaption(0), QStringLiteral("Beurt  1"));
    }

    // --- clearing --------------------------------------------------------------------------------

    void clearing_data() {
        QTest::addColumn<bool>("wholeSheet");
        QTest::newRow("a call typed away") << false;
        QTest::newRow("wis") << true;
    }
    void clearing() {
        QFETCH(bool, wholeSheet);
        RoundSheet &sheet = leading();
        sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 20));
        QVERIFY(sheet.store());
        if (wholeSheet) {
            sheet.wipe();
        } else {
            sheet.setCell(1, Column::Call, QString());
        }
        for (Column column :
             {Column::Call, Column::Name, Column::Qth, Column::Topic, Column::Distance}) {
            QCOMPARE(sheet.cell(1, column), QString());
        }
        QVERIFY(!sheet.row(1).placedAt.isValid());
        QCOMPARE(sheet.cell(0, Column::Call), wholeSheet ? QString() : QStringLiteral("PA3ABC"));
        QVERIFY(sheet.storePending());
        const storage::Round stored = storedRounds(database()).constLast();
        QCOMPARE(stored.participants[1], storage::Participant{});
        QCOMPARE(stored.participants[1].call, QStringLiteral(""));  // emptied, not unknown
        QCOMPARE(stored.controllerCall, QStringLiteral("PA3ABC"));  // the controller stays
    }

    // --- marks
    // -------------------------------------------------------------------------------------

    void marks() {
        RoundSheet &sheet = leading();
        QVERIFY(sheet.store());
        QSignalSpy away(&sheet, &RoundSheet::awayChanged);
        QSignalSpy listening(&sheet, &RoundSheet::listeningChanged);
        sheet.setAway(0, true);
        sheet.setAway(0, true);  // no change
        QCOMPARE(away.size(), 1);
        QVERIFY(!sheet.isEdited());  // away is not stored
        sheet.setListening(0, true);
        QCOMPARE(listening.size(), 1);
        QVERIFY(sheet.isEdited());
        QVERIFY(sheet.storePending());
        QVERIFY(storedRounds(database()).constLast().participants[0].listening);
    }

    // --- the start of a round and its planned time
    // -------------------------------------------------

    void beginning_data() {
        QTest::addColumn<QString>("planned");
        QTest::addColumn<QString>("end");
        QTest::newRow("45") << "45"
                            << "21:00";
        QTest::newRow("past midnight") << "240"
                                       << "00:15";
        QTest::newRow("a half rounds to even") << "2.5"
                                               << "20:17";
        QTest::newRow("not a number") << "lang"
                                      << "20:15";
        QTest::newRow("none") << ""
                              << "20:15";
    }
    void beginning() {
        QFETCH(QString, planned);
        QFETCH(QString, end);
        RoundSheet &sheet = leading(planned);
        QCOMPARE(sheet.plannedTime(), planned);
        QCOMPARE(sheet.text(Field::Progress),
                 QStringLiteral("Ronde is gestart om 20:15 uur.   Verwachtte eindtijd %1 uur.")
                     .arg(end));
        QCOMPARE(sheet.beginTime(), utc(19, 15, 30));
        QCOMPARE(sheet.text(Field::ControllerCall), QStringLiteral("PA3ABC"));
        QCOMPARE(sheet.cell(0, Column::Call), QStringLiteral("PA3ABC"));
        QCOMPARE(sheet.cell(0, Column::Topic), QStringLiteral("Kringbaas"));
        QCOMPARE(sheet.cell(0, Column::Distance),
                 geo::distanceBetween(kHome, QStringLiteral("JO22IA")));
        QVERIFY(!sheet.row(0).placedAt.isValid());  // the controller is not placed
        QCOMPARE(sheet.mode(), RoundMode::On);
        QCOMPARE(roundmodel::modeWord(sheet.mode()), QStringLiteral("aan"));
    }

    // --- stored rounds -------------------------------------------------------------------------

    // Browsing the stored rounds changes none of them; a distance shown empty is no edit, but a
    // changed call takes its new distance (or none) into the stored round.
    void browsingAndStaleDistances() {
        RoundSheet &sheet = leading();
        sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 20));
        QVERIFY(sheet.store());
        QVERIFY(sheet.addNew());
        QCOMPARE(sheet.text(Field::RoundNumber), QStringLiteral("3"));
        sheet.placeCall(QStringLiteral("PA3ABC"), utc(19, 40));
        QVERIFY(sheet.store());
        const QList<storage::Round> before = storedRounds(database());
        QCOMPARE(before.size(), 3);
        QVERIFY(!before[1].participants[1].distance.isEmpty());

        QSignalSpy shown(&sheet, &RoundSheet::roundShown);
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(sheet.records().setAbsolutePosition(1));
            QCOMPARE(sheet.text(Field::RoundNumber), QStringLiteral("2"));
            QCOMPARE(sheet.cell(1, Column::Distance), QString());
            QVERIFY(!sheet.isEdited());
            QVERIFY(sheet.records().MoveLast());
        }
        QCOMPARE(storedRounds(database()), before);
        // The calculator gets the last valid locator of the calls looked up while showing: only
        // calls that differ from the ones the rows showed are looked up.
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.last()[0].toString(), QString());  // round 3 repeats round 2's call
        QVERIFY(sheet.records().setAbsolutePosition(1));
        QCOMPARE(shown.last()[0].toString(), QStringLiteral("JO22DA"));

        QVERIFY(sheet.records().setAbsolutePosition(1));
        sheet.setCell(1, Column::Call, QString());
        sheet.setCell(1, Column::Call, QStringLiteral("PD9UNK"));
        QVERIFY(sheet.records().MoveLast());
        const QList<storage::Round> after = storedRounds(database());
        QCOMPARE(after[1].participants[1].call, QStringLiteral("PD9UNK"));
        QCOMPARE(after[1].participants[1].distance, QStringLiteral(""));
        QCOMPARE(after[1].participants[0], before[1].participants[0]);
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[2], before[2]);
    }

    void removing() {
        RoundSheet &sheet = openSheet();  // the blank round of a new database
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::LastOne);
        QVERIFY(sheet.addNew());
        sheet.placeCall(QStringLiteral("PD1XYZ"), utc(20, 0));
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::LastOne);
        QCOMPARE(storedRounds(database()).size(), 1);
        QVERIFY(sheet.store());
        QCOMPARE(storedRounds(database()).size(), 2);
        // A pending new round that never began is dropped unstored, never stored by the move
        // that follows.
        QVERIFY(sheet.addNew());
        sheet.placeCall(QStringLiteral("PD2NEW"), utc(20, 5));
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::Removed);
        QCOMPARE(storedRounds(database()).size(), 2);
        QCOMPARE(sheet.cell(0, Column::Call), QStringLiteral("PD1XYZ"));
        // A round that began but is not stored yet (its store failed) is not dropped: the sheet
        // holds its only copy.
        beginNewRound(sheet);
        sheet.placeCall(QStringLiteral("PD2NEW"), utc(20, 5));
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::BeingLed);
        QCOMPARE(storedRounds(database()).size(), 2);
        QCOMPARE(sheet.cell(0, Column::Call), QStringLiteral("PA3ABC"));
        QCOMPARE(sheet.cell(1, Column::Call), QStringLiteral("PD2NEW"));
        QVERIFY(sheet.addingAllowed());
        // Browsed away from, it is stored; a stored round that is not led is deleted.
        QVERIFY(sheet.records().MoveFirst());
        QCOMPARE(storedRounds(database()).size(), 3);
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::Removed);
        QCOMPARE(storedRounds(database()).size(), 2);
        QCOMPARE(sheet.positionCaption(), QStringLiteral("Ronde : 2 van de 2"));
        QCOMPARE(sheet.cell(0, Column::Call), QStringLiteral("PA3ABC"));
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::BeingLed);
        QCOMPARE(storedRounds(database()).size(), 2);
        QCOMPARE(sheet.text(Field::RoundNumber), QStringLiteral("2"));
    }

    // While a round is led, calls go only into that round: whenever another stored round is
    // on screen nothing can be placed, and coming back to the round being led allows it again.
    // The round being led is never deleted; another stored round is, and the latest round shown
    // afterwards is the one being led.
    void callsGoOnlyIntoTheRoundBeingLed() {
        RoundSheet &sheet = leading();
        QVERIFY(sheet.addingAllowed());
        QVERIFY(sheet.store());  // as the window stores a round once it begins
        QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 20)),
                 RoundSheet::Placing::Placed);
        QVERIFY(sheet.store());
        QSignalSpy adding(&sheet, &RoundSheet::addingChanged);

        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::BeingLed);
        QCOMPARE(storedRounds(database()).size(), 2);
        QCOMPARE(sheet.placeCall(QStringLiteral("PE1BAD"), utc(19, 21)),
                 RoundSheet::Placing::Placed);
        QCOMPARE(sheet.positionCaption(), QStringLiteral("Ronde : 2 van de 2"));

        QVERIFY(sheet.records().MoveFirst());  // the blank round of the new database
        QVERIFY(!sheet.addingAllowed());
        QCOMPARE(adding.size(), 1);
        QCOMPARE(adding[0][0].toBool(), false);
        QCOMPARE(sheet.placeCall(QStringLiteral("PA3XYZ"), utc(19, 22)),
                 RoundSheet::Placing::NotAllowed);
        QCOMPARE(calls(sheet), QStringList(RoundSheet::kRows, QString()));
        QCOMPARE(sheet.mode(), RoundMode::On);  // the round is still led

        QVERIFY(sheet.records().MoveLast());
        QVERIFY(sheet.addingAllowed());
        QCOMPARE(adding.size(), 2);
        QCOMPARE(sheet.placeCall(QStringLiteral("PA3XYZ"), utc(19, 23)),
                 RoundSheet::Placing::Placed);
        QVERIFY(sheet.store());
        const QList<storage::Round> stored = storedRounds(database());
        QCOMPARE(stored.size(), 2);
        for (const storage::Participant &p : stored[0].participants) {
            QVERIFY(p.call.isEmpty());
        }
        QCOMPARE(stored[1].participants[1].call, QStringLiteral("PD1XYZ"));
        QCOMPARE(stored[1].participants[2].call, QStringLiteral("PE1BAD"));
        QCOMPARE(stored[1].participants[3].call, QStringLiteral("PA3XYZ"));

        // Another stored round is deleted as ever; the latest, shown then, is the one being led.
        QVERIFY(sheet.records().MoveFirst());
        QCOMPARE(sheet.removeShown(), RoundSheet::Removal::Removed);
        QCOMPARE(sheet.positionCaption(), QStringLiteral("Ronde : 1 van de 1"));
        QVERIFY(sheet.showsLedRound());
        QVERIFY(sheet.addingAllowed());
        QCOMPARE(storedRounds(database()).constFirst().controllerCall, QStringLiteral("PA3ABC"));
    }

    // A new round that is dropped before it ever began is led no more: the round shown then
    // takes no calls. Browsing (No) takes none either. A round that began but is not stored yet
    // (its store failed) is not dropped: it stays led and takes calls.
    void droppedOrBrowsedRoundTakesNoCalls_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("dropped") << "dropped";
        QTest::newRow("No") << "No";
        QTest::newRow("began, not stored") << "began";
    }
    void droppedOrBrowsedRoundTakesNoCalls() {
        QFETCH(QString, way);
        RoundSheet &sheet = leading();
        QVERIFY(sheet.store());
        if (way == QLatin1String("began")) {
            beginNewRound(sheet);
            QCOMPARE(sheet.removeShown(), RoundSheet::Removal::BeingLed);
            QCOMPARE(storedRounds(database()).size(), 2);
            QVERIFY(sheet.addingAllowed());
            QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 30)),
                     RoundSheet::Placing::Placed);
            QCOMPARE(sheet.cell(1, Column::Call), QStringLiteral("PD1XYZ"));
            return;
        }
        QVERIFY(sheet.addNew());
        sheet.setMode(RoundMode::On);
        QVERIFY(sheet.addingAllowed());
        if (way == QLatin1String("No")) {
            sheet.browseLatest();
        } else {
            QCOMPARE(sheet.removeShown(), RoundSheet::Removal::Removed);
        }
        QCOMPARE(sheet.positionCaption(), QStringLiteral("Ronde : 2 van de 2"));
        QVERIFY(!sheet.addingAllowed());
        QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 30)),
                 RoundSheet::Placing::NotAllowed);
        QCOMPARE(sheet.cell(1, Column::Call), QString());
    }

    // The round begins when its controller stands on the sheet: a question the look-up asks
    // (three minutes on screen) comes before the one reading of the clock that the line over
    // the bar, the date and the stored begin time all take.
    void beginTimeAfterTheLookUpsQuestion() {
        RoundSheet &sheet = openSheet();
        QVERIFY(sheet.addNew());
        QDateTime local(QDate(2026, 12, 10), QTime(23, 58, 30));
        QDateTime utcNow = utc(22, 58, 30);
        connect(&sheet, &RoundSheet::hamLookedUp, this, [&] {
            local = local.addSecs(180);
            utcNow = utcNow.addSecs(180);
        });
        int readings = 0;
        sheet.begin(
            QStringLiteral("PA3ABC"), QStringLiteral("Henk"), QStringLiteral("45"),
            [&] {
                ++readings;
                return RoundSheet::Moment{local, utcNow};
            },
            QLocale(QLocale::Dutch, QLocale::Netherlands));
        QCOMPARE(readings, 1);
        QCOMPARE(sheet.text(Field::Progress),
                 QStringLiteral("Ronde is gestart om 00:01 uur.   Verwachtte eindtijd 00:46 uur."));
        QCOMPARE(sheet.beginTime(), utc(23, 1, 30));
        QCOMPARE(sheet.text(Field::Date), QStringLiteral("vrijdag 11 december 2026"));
        QVERIFY(sheet.isEdited());
    }

    // No: the latest stored round is shown again and participants cannot be added.
    void browsingInsteadOfANewRound() {
        {
            RoundSheet &sheet = leading();
            QVERIFY(sheet.store());
        }
        RoundSheet &sheet = openSheet();
        sheet.showLatest();  // as the program does shortly after start
        QVERIFY(sheet.addNew());
        QCOMPARE(sheet.text(Field::RoundNumber), QStringLiteral("3"));
        QStringList numbers;
        connect(&sheet, &RoundSheet::textChanged, this, [&](Field field) {
            if (field == Field::RoundNumber) {
                numbers << sheet.text(field);
            }
        });
        sheet.browseLatest();
        QCOMPARE(numbers, QStringList({"", "1", "2"}));  // emptied, back, forth
        QCOMPARE(sheet.mode(), RoundMode::Off);
        QCOMPARE(sheet.text(Field::ControllerCall), QStringLiteral("PA3ABC"));
        QCOMPARE(storedRounds(database()).size(), 2);
    }

private:
    static void clockedPlace(RoundSheet &sheet, const QString &call, const QDateTime &at) {
        QCOMPARE(sheet.placeCall(call, at), RoundSheet::Placing::Placed);
    }
};

KB_CORE_TEST_MAIN(RoundSheetTest)
#include "tst_roundsheet.moc"
