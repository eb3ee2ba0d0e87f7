#include "TestMain.h"

#include "extra/frmStatistieken.h"
#include "startup/CommandLine.h"
#include "startup/DataFolder.h"
#include "stats/Attendance.h"

#include <QChartView>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>

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
    big.chtDeelnemers->grab();
    qInfo("10,000 rounds: window made and its chart painted in %lld ms", timer.elapsed());

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
