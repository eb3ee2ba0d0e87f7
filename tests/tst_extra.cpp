#include "TestMain.h"

#include "extra/ParticipantsChart.h"
#include "extra/frmStatistieken.h"
#include "startup/CommandLine.h"
#include "startup/DataFolder.h"
#include "stats/Attendance.h"
#include "storage/Database.h"
#include "storage/Records.h"
#include "storage/Schema.h"
#include "storage/TableCursor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <numeric>

namespace {

stats::RoundCalls round(int number, const QDate &date, const QStringList &calls) {
    return {number, date, calls};
}

// Four rounds: PA3ABC at all, PD1XYZ at the first and the last, PE2AA once, one round without a
// day.
std::vector<stats::RoundCalls> fixture() {
    return {round(1, QDate(2026, 1, 8), {"PA3ABC", "PD1XYZ"}),
            round(2, QDate(2026, 2, 5), {"PA3ABC", "PE2AA"}), round(3, QDate(), {"PA3ABC"}),
            round(4, QDate(2026, 3, 5), {"PA3ABC", "PD1XYZ"})};
}

}  // namespace

class ExtraTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void attendance();
    void regulars_data();
    void regulars();
    void roundDates_data();
    void roundDates();
    void readFromDatabase();
    void countScale_data();
    void countScale();
    void statisticsWindow();
    void commandLine_data();
    void commandLine();
    void dataFolder();
};

void ExtraTest::attendance() {
    const stats::Attendance a(fixture());
    QCOMPARE(a.hams().size(), size_t(3));
    const stats::HamAttendance &first = a.hams()[0];
    QCOMPARE(first.call, QStringLiteral("PA3ABC"));
    QCOMPARE(first.rounds, 4);
    QCOMPARE(first.firstRound, 1);
    QCOMPARE(first.lastRound, 4);
    QCOMPARE(first.lastDate, QDate(2026, 3, 5));
    QCOMPARE(a.hams()[1].call, QStringLiteral("PD1XYZ"));
    QCOMPARE(a.hams()[1].rounds, 2);
    QCOMPARE(a.hams()[1].firstDate, QDate(2026, 1, 8));
    QCOMPARE(a.hams()[2].call, QStringLiteral("PE2AA"));
}

void ExtraTest::regulars_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("ranked");
    QTest::newRow("all") << QDate(2026, 1, 1) << QDate(2026, 12, 31)
                         << QStringList{"PA3ABC 3", "PD1XYZ 2", "PE2AA 1"};
    QTest::newRow("edges included")
        << QDate(2026, 2, 5) << QDate(2026, 3, 5) << QStringList{"PA3ABC 2", "PD1XYZ 1", "PE2AA 1"};
    QTest::newRow("empty period") << QDate(2025, 1, 1) << QDate(2025, 12, 31) << QStringList{};
}

void ExtraTest::regulars() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, ranked);
    QStringList got;
    for (const stats::Regular &r : stats::Attendance(fixture()).regulars(from, to)) {
        got << QStringLiteral("%1 %2").arg(r.call).arg(r.rounds);
    }
    QCOMPARE(got, ranked);
}

void ExtraTest::roundDates_data() {
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDate>("date");
    QTest::newRow("Dutch") << "donderdag 10 december 2026" << QDateTime() << QDate(2026, 12, 10);
    QTest::newRow("English locale")
        << "Thursday 10 December 2026" << QDateTime() << QDate(2026, 12, 10);
    QTest::newRow("begin time when no date")
        << "" << QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC) << QDate(2026, 5, 1);
    QTest::newRow("nothing") << "geen datum" << QDateTime() << QDate();
    QTest::newRow("no such day") << "maandag 31 februari 2026" << QDateTime() << QDate();
}

void ExtraTest::roundDates() {
    QFETCH(QString, datum);
    QFETCH(QDateTime, begin);
    QFETCH(QDate, date);
    QCOMPARE(stats::RoundDates(QLocale(QLocale::English)).dateOf(datum, begin), date);
}

// The stored rounds as attendance reads them: calls folded as the sheet shows them (blanks
// around, case), once per round, in any script; the day from the date text, else from the begin
// time; blank rounds count as rounds.
void ExtraTest::readFromDatabase() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(storage::Database::kFileName));
    struct Stored {
        const char *date;
        QDateTime begin;
        QStringList calls;
    };
    const std::vector<Stored> stored = {
        {"donderdag 8 januari 2026", {}, {"PA3ABC", " pd1xyz ", "\tPA3ABC"}},
        {"", QDateTime(QDate(2026, 2, 5), QTime(19, 0), Qt::UTC), {"pa3abc", "ON4ØZ", "on4øz"}},
        {"geen datum", {}, {}},
        {"donderdag 5 maart 2026", {}, {"  ", "PD1XYZ", "Pd1Xyz/P", "PA3ABC"}},
    };
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
    QVERIFY2(table, qPrintable(error.description));
    std::vector<int> all(size_t(storage::rondeTable().fields.size()));
    std::iota(all.begin(), all.end(), 0);
    for (size_t r = 0; r < stored.size(); ++r) {
        storage::Round round;
        round.date = QString::fromUtf8(stored[r].date);
        round.beginTime = stored[r].begin;
        for (qsizetype i = 0; i < stored[r].calls.size(); ++i) {
            // Rows with gaps, as a sheet with removed participants has them.
            round.participants[size_t(i * 2)].call = stored[r].calls[i];
        }
        QVERIFY(r == 0 ? table->write(0, all, round.toRecord(), &error)
                       : table->append(all, round.toRecord(), &error));
    }
    table.reset();

    stats::Attendance attendance;
    QString message;
    QVERIFY2(stats::readAttendance(path, QLocale(QLocale::Dutch), &attendance, &message),
             qPrintable(message));
    QStringList rounds;
    for (const stats::RoundDay &round : attendance.rounds()) {
        rounds << QStringLiteral("%1 %2 %3")
                      .arg(round.number)
                      .arg(round.date.toString(Qt::ISODate))
                      .arg(round.participants);
    }
    QCOMPARE(rounds, (QStringList{"1 2026-01-08 2", "2 2026-02-05 2", "3  0", "4 2026-03-05 3"}));
    QStringList hams;
    for (const stats::HamAttendance &ham : attendance.hams()) {
        hams << QStringLiteral("%1 %2 %3-%4")
                    .arg(ham.call)
                    .arg(ham.rounds)
                    .arg(ham.firstRound)
                    .arg(ham.lastRound);
    }
    QCOMPARE(hams, (QStringList{"PA3ABC 3 1-4", "PD1XYZ 2 1-4", "ON4ØZ 1 2-2", "PD1XYZ/P 1 4-4"}));

    QVERIFY(!stats::readAttendance(dir.filePath(QStringLiteral("geen/map/db.mdb")),
                                   QLocale(QLocale::Dutch), &attendance, &message));
    QVERIFY(!message.isEmpty());
}

void ExtraTest::countScale_data() {
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("step");
    QTest::newRow("nobody") << 0 << 1 << 1;
    QTest::newRow("one") << 1 << 1 << 1;
    QTest::newRow("seven") << 7 << 8 << 2;
    QTest::newRow("a full sheet") << 30 << 30 << 10;
    QTest::newRow("just over a step") << 31 << 40 << 10;
    QTest::newRow("hundreds") << 480 << 500 << 100;
}

void ExtraTest::countScale() {
    QFETCH(int, most);
    QFETCH(int, top);
    QFETCH(int, step);
    const extra::CountScale scale = extra::countScale(most);
    QCOMPARE(scale.top, top);
    QCOMPARE(scale.step, step);
}

// The window shows the hams and the chart; a double-click hands the call on.
void ExtraTest::statisticsWindow() {
    std::vector<stats::RoundCalls> many;
    for (int i = 0; i < 10000; ++i) {
        QStringList calls;
        for (int c = 0; c < 5 + i % 25; ++c) {
            calls << QStringLiteral("PE%1").arg((i * 7 + c * 13) % 400);
        }
        many.push_back(round(i + 1, QDate(2000, 1, 1).addDays(i), calls));
    }
    QElapsedTimer timer;
    timer.start();
    extra::frmStatistieken big{stats::Attendance(std::move(many))};
    big.show();
    const QImage painted = big.chtDeelnemers->grab().toImage();
    qInfo("10,000 rounds: window made and its chart painted in %lld ms", timer.elapsed());
    QCOMPARE(big.chtDeelnemers->points().size(), size_t(10000));
    QCOMPARE(big.chtDeelnemers->points().front().participants, 5);
    QCOMPARE(big.chtDeelnemers->scale().top, 30);
    // The line is drawn: its colour stands in the plot.
    int lineColoured = 0;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QColor c = painted.pixelColor(x, y);
            lineColoured += c.blue() > 150 && c.red() < 120;
        }
    }
    QVERIFY(lineColoured > 500);

    extra::frmStatistieken window{stats::Attendance(fixture())};
    const QAbstractItemModel *model = window.grdHams->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Laatste ronde"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("PA3ABC"));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("4"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("1 (08-01-2026)"));
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("4 (05-03-2026)"));
    QCOMPARE(window.lstVaste->count(), 3);  // the year up to the last round
    QString opened;
    window.openHam = [&opened](const QString &call) { opened = call; };
    window.grdHams->doubleClicked(model->index(1, 2));
    QCOMPARE(opened, QStringLiteral("PD1XYZ"));
    window.lstVaste->itemDoubleClicked(window.lstVaste->item(2));
    QCOMPARE(opened, QStringLiteral("PE2AA"));
}

void ExtraTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<bool>("error");
    QTest::newRow("nothing") << QStringList{} << "" << false << false << false;
    QTest::newRow("--data MAP") << QStringList{"--data", "/tmp/x y"} << "/tmp/x y" << false << false
                                << false;
    QTest::newRow("--data=MAP") << QStringList{"--data=/tmp/z"} << "/tmp/z" << false << false
                                << false;
    QTest::newRow("--data without folder") << QStringList{"--data"} << "" << false << false << true;
    QTest::newRow("--help") << QStringList{"--help"} << "" << true << false << false;
    QTest::newRow("--version") << QStringList{"--version"} << "" << false << true << false;
    QTest::newRow("unknown") << QStringList{"--wis-alles"} << "" << false << false << true;
}

void ExtraTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, data);
    QFETCH(bool, help);
    QFETCH(bool, version);
    QFETCH(bool, error);
    const startup::CommandLine line = startup::parseCommandLine(arguments);
    QCOMPARE(line.dataFolder, data);
    QCOMPARE(line.help, help);
    QCOMPARE(line.version, version);
    QCOMPARE(!line.error.isEmpty(), error);
}

// A program folder the program can write in keeps the data; one it cannot (an installed program)
// sends it to the user's data folder.
void ExtraTest::dataFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(startup::canWriteIn(dir.path()));
    QCOMPARE(startup::chooseDataFolder(dir.path(), QStringLiteral("/user")), dir.path());
    QVERIFY(!startup::canWriteIn(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!startup::canWriteIn(QStringLiteral("/proc")));  // no one makes files there
    QCOMPARE(startup::chooseDataFolder(QStringLiteral("/proc"), QStringLiteral("/user")),
             QStringLiteral("/user"));
    // A folder without write permission; root writes anywhere, so there it proves nothing.
    const QString readOnly = dir.filePath(QStringLiteral("alleen-lezen"));
    QVERIFY(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    if (!startup::canWriteIn(readOnly)) {
        QCOMPARE(startup::chooseDataFolder(readOnly, QStringLiteral("/user")),
                 QStringLiteral("/user"));
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QDir(readOnly)
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());  // the probe leaves nothing behind

    const QString made = dir.filePath(QStringLiteral("nieuw/gegevens"));
    QVERIFY(startup::prepareFolder(made));
    QVERIFY(QDir(made).exists());
    QVERIFY(startup::userDataFolder().endsWith(QStringLiteral("/Kringbaas")));
}

KB_TEST_MAIN(ExtraTest)
#include "tst_extra.moc"
