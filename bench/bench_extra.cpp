// Timings of the menu "Extra" on a data file of realistic size (see BenchData.h): the statistics
// window on 10,000 stored rounds, from the menu's click to the first painted chart (reading the
// rounds, counting, filling the window and painting the chart), once with about 95,000 different
// calls on the sheets and once with a club's few hundred regulars, and the import of a ham list of
// 100,000 new hams from CSV, from reading the file to the committed table.
//
// Run (headless: the program selects the offscreen platform itself):
//   bench_extra

#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "bench/BenchReport.h"
#include "extra/ParticipantsChart.h"
#include "extra/frmStatistieken.h"
#include "hamio/HamImport.h"
#include "stats/Attendance.h"
#include "storage/Database.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRegulars = 300;

struct Fixture {
    QTemporaryDir root;
    QString roundsDatabase;    // 10,000 rounds, about 95,000 different calls
    QString regularsDatabase;  // 10,000 rounds of kRegulars hams
    QByteArray csv;            // 100,000 hams, none of them in the list of importDatabase
    QString emptyDatabase;     // a fresh file, copied for each import
};

Fixture &fixture() {
    static Fixture *f = [] {
        auto *made = new Fixture;
        std::vector<benchdata::Ham> hams;
        const QString folder = benchdata::makeDataFolder(made->root.path(), "rounds", &hams);
        made->roundsDatabase =
            QDir(folder).filePath(QString::fromLatin1(storage::Database::kFileName));
        made->regularsDatabase =
            QDir(benchdata::makeDataFolder(made->root.path(), "regulars", nullptr, kRegulars))
                .filePath(QString::fromLatin1(storage::Database::kFileName));
        std::vector<hamio::StoredHam> list;
        list.reserve(hams.size());
        for (const benchdata::Ham &h : hams) {
            storage::Ham ham;
            ham.call = QString::fromStdString(h.call) + QStringLiteral("X");
            ham.name = QString::fromStdString(h.name).toUpper();
            ham.address = QString::fromStdString(h.address);
            ham.postcode = QString::fromStdString(h.postcode);
            ham.qth = QString::fromStdString(h.qth).toUpper();
            ham.grid = QString::fromStdString(h.grid);
            ham.country = QString::fromStdString(h.country).toUpper();
            ham.phone = QString::fromStdString(h.phone);
            ham.particulars = QString::fromStdString(h.particulars);
            list.push_back({0, ham});
        }
        made->csv = hamio::hamListCsv(list);
        made->emptyDatabase = QDir(made->root.path()).filePath(QStringLiteral("leeg.mdb"));
        storage::StorageError error;
        if (!storage::Database::open(made->emptyDatabase, &error,
                                     storage::findTable(QStringLiteral("qrz")))) {
            benchdata::fail(error.description);
        }
        return made;
    }();
    return *f;
}

// From the menu's click to the painted chart; checks that every round is on the chart and that
// the hams counted are as many as the data has.
void statisticsFirstChart(benchmark::State &state, const QString &database, size_t fewestHams,
                          size_t mostHams) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        stats::Attendance attendance;
        QString error;
        if (!stats::readAttendance(database, QLocale(QLocale::Dutch), &attendance, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        extra::frmStatistieken window{std::move(attendance)};
        window.show();
        window.chtDeelnemers->grab();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        const size_t hams = window.grdHams->model()->rowCount();
        if (window.chtDeelnemers->points().size() != size_t(benchdata::kRoundCount) ||
            hams < fewestHams || hams > mostHams) {
            state.SkipWithError("the window does not show every round and every ham");
            break;
        }
    }
}

void BM_StatisticsFirstChart(benchmark::State &state) {
    statisticsFirstChart(state, fixture().roundsDatabase, 90000, size_t(benchdata::kHamCount));
}

void BM_StatisticsRegulars(benchmark::State &state) {
    statisticsFirstChart(state, fixture().regularsDatabase, kRegulars - 10, kRegulars);
}

void BM_Import100k(benchmark::State &state) {
    Fixture &f = fixture();
    const QString target = QDir(f.root.path()).filePath(QStringLiteral("import.mdb"));
    for (auto _ : state) {
        QFile::remove(target);
        QFile::copy(f.emptyDatabase, target);
        QFile csvFile(QDir(f.root.path()).filePath(QStringLiteral("hams.csv")));
        if (!csvFile.exists()) {
            csvFile.open(QIODevice::WriteOnly);
            csvFile.write(f.csv);
            csvFile.close();
        }
        QElapsedTimer timer;
        timer.start();
        csvFile.open(QIODevice::ReadOnly);
        const QByteArray bytes = csvFile.readAll();
        csvFile.close();
        std::vector<hamio::StoredHam> current;
        QString error;
        hamio::readHams(target, &current, &error);
        const hamio::ImportPlan plan = hamio::planImport(bytes, current);
        if (plan.added.size() != size_t(benchdata::kHamCount) ||
            !hamio::applyImport(
                target, plan, [](int, int) { return true; }, &error)) {
            state.SkipWithError("the import did not add every ham");
            break;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

void configure(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(BM_StatisticsFirstChart)->Apply(configure);
BENCHMARK(BM_StatisticsRegulars)->Apply(configure);
BENCHMARK(BM_Import100k)->Apply(configure)->Iterations(1);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    fixture();
    benchreport::TargetReporter reporter({
        {"BM_StatisticsFirstChart",
         "statistics of 10,000 rounds, 95,000 calls, menu to the painted chart", 200},
        {"BM_StatisticsRegulars",
         "statistics of 10,000 rounds, 300 regulars, menu to the painted chart", 60},
        {"BM_Import100k", "import of 100,000 hams from CSV, file to committed table", 5000},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
