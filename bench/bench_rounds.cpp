// Timings of the round sheet on a data file of realistic size (see BenchData.h), where every row
// of a stored round holds the call of a ham of the list: adding a participant (the call looked up
// and the row filled with name, QTH, topic and distance), and moving to the next stored round,
// whose 30 calls are all looked up while the round is loaded.
//
// The main window is made, started (its start-up timers stopped right away, so no start dialog
// comes up) and shown; the ham list behind the look-ups exists before anything is timed. Windows
// are deleted without being closed: closing writes the settings files and the round. Adding
// participants works on a copy of the data file, in a new round that is never stored.
//
// Run (headless: the program selects the offscreen platform itself):
//   bench_rounds

#include "MainControls.h"
#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "bench/BenchReport.h"
#include "geo/Locator.h"
#include "hamlist/frmAmateur.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/Database.h"
#include "storage/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPixmap>
#include <QPointer>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using benchdata::kHamCount;
using benchdata::kRoundCount;
using roundsheet::frmMain;

// The club's own locator, line 5 of the basis settings file.
const QString kGridHome = QStringLiteral("JO22ab");
// The ham added to the round (0-based position in the list); one with a remark, so that the
// topic column gets a text too.
constexpr int kAddedHamFrom = 77777;

// ---------------------------------------------------------------------------------------------
// Test data

struct Fixture {
    QTemporaryDir dir;
    QString browseFolder;  // the stored rounds are only read
    QString addFolder;     // a copy: participants are added to a new round there
    std::vector<benchdata::Ham> hams;
    std::unordered_set<QString> calls;
    int addedHam = -1;

    Fixture() {
        if (!dir.isValid()) {
            benchdata::fail(QStringLiteral("no temporary folder"));
        }
        QElapsedTimer timer;
        timer.start();
        browseFolder = benchdata::makeDataFolder(dir.path(), QStringLiteral("browse"), &hams);
        const QDir root(dir.path());
        root.mkdir(QStringLiteral("add"));
        addFolder = root.filePath(QStringLiteral("add"));
        const QString fileName = QLatin1String(storage::Database::kFileName);
        const QString databasePath = QDir(browseFolder).filePath(fileName);
        if (!QFile::copy(databasePath, QDir(addFolder).filePath(fileName))) {
            benchdata::fail(QStringLiteral("cannot copy the data file"));
        }
        for (const QString &folder : {browseFolder, addFolder}) {
            benchdata::writeStationSettings(folder, kGridHome);
        }
        for (const benchdata::Ham &h : hams) {
            calls.insert(QString::fromStdString(h.call));
            if (!geo::LocatorCalculator::IsValidLocator(QString::fromStdString(h.grid))) {
                benchdata::fail(QStringLiteral("ham %1 has no valid locator")
                                    .arg(QString::fromStdString(h.call)));
            }
        }
        for (int i = kAddedHamFrom; i < kHamCount && addedHam < 0; ++i) {
            if (!hams[size_t(i)].particulars.empty()) {
                addedHam = i;
            }
        }
        if (addedHam < 0) {
            benchdata::fail(QStringLiteral("no ham with a remark to add"));
        }
        std::fprintf(stderr,
                     "bench_rounds: data folders in %s: %d hams, %d rounds, %.1f MB, %lld ms\n",
                     qPrintable(dir.path()), kHamCount, kRoundCount,
                     double(QFileInfo(databasePath).size()) / 1e6, qint64(timer.elapsed()));
    }

    QString text(int position, std::string benchdata::Ham::*field) const {
        return QString::fromStdString(hams[size_t(position)].*field);
    }
};

const Fixture &benchFixture() {
    static const Fixture f;
    return f;
}

struct FakeServices {
    platform::fakes::FakeMessageBoxes messages;
    platform::fakes::FakeClock clock;
    platform::fakes::FakeWebLauncher web;
    platform::fakes::ManualTimers timers;

    roundsheet::Services services() { return {messages, clock, web, timers}; }
};

// Events left behind (the hourglass reset, deferred deletes, paints), so that they do not pile up
// over the iterations.
void dropLeftovers() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Made, started without its timers, shown and painted once; stands on the first stored round,
// its ham list made by the look-ups of that round.
std::unique_ptr<frmMain> startMainWindow(const QString &dataFolder, FakeServices &fakes) {
    auto window = std::make_unique<frmMain>(dataFolder, fakes.services());
    window->load();
    for (platform::Timer *timer : {window->startupTimer, window->tmrRonde, window->Timer1}) {
        timer->stop();
    }
    hamlist::frmAmateur *hams = window->amateurWindow();
    hams->opstarttimer->stop();
    hams->Timer1->stop();
    window->show();
    const QPixmap painted = window->grab();
    dropLeftovers();
    return window;
}

QString messagesShown(const FakeServices &fakes) {
    if (fakes.messages.shown().isEmpty()) {
        return {};
    }
    return QStringLiteral("a message box came up: %1").arg(fakes.messages.shown().constLast().text);
}

// ---------------------------------------------------------------------------------------------
// Benchmarks

// 4: a participant added, from Enter in the call entry box to the row filled.
void BM_AddParticipant(benchmark::State &state) {
    const Fixture &f = benchFixture();
    FakeServices fakes;
    std::unique_ptr<frmMain> window = startMainWindow(f.addFolder, fakes);
    // The latest round, then a new one as the start dialog begins it: every row free.
    window->tmrRonde_Timer();
    fixture::ui(*window).Data1->Recordset().AddNew();
    dropLeftovers();
    if (fixture::ui(*window).txtLoc[0]->text() != kGridHome) {
        state.SkipWithError("the club locator is not the one of the settings file");
        return;
    }
    for (const platform::TextBox *row : fixture::ui(*window).Text1) {
        if (!row->text().isEmpty()) {
            state.SkipWithError("the new round has a participant already");
            return;
        }
    }
    using H = benchdata::Ham;
    const QString call = f.text(f.addedHam, &H::call);
    for (auto _ : state) {
        QPointer<roundsheet::frmToevoegen> entry = new roundsheet::frmToevoegen(*window);
        entry->Text1->setText(call);
        QElapsedTimer timer;
        timer.start();
        entry->Text1_Enter();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        window->tmrToeVoeg->stop();

        QString wrong = messagesShown(fakes);
        if (wrong.isEmpty() &&
            (fixture::ui(*window).Text1[0]->text() != call ||
             fixture::ui(*window).Text2[0]->text() != f.text(f.addedHam, &H::name) ||
             fixture::ui(*window).Text3[0]->text() != f.text(f.addedHam, &H::qth) ||
             fixture::ui(*window).Text4[0]->text() != f.text(f.addedHam, &H::particulars) ||
             fixture::ui(*window).Text5[0]->text().isEmpty())) {
            wrong = QStringLiteral("the row holds %1 / %2 / %3 / %4 / %5")
                        .arg(fixture::ui(*window).Text1[0]->text(),
                             fixture::ui(*window).Text2[0]->text(),
                             fixture::ui(*window).Text3[0]->text(),
                             fixture::ui(*window).Text4[0]->text(),
                             fixture::ui(*window).Text5[0]->text());
        }
        fixture::ui(*window).Text1[0]->clear();
        dropLeftovers();
        delete entry.data();
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
    }
}

// 5: the move to the next stored round, its 30 look-ups included.
void BM_NextRound(benchmark::State &state) {
    const Fixture &f = benchFixture();
    FakeServices fakes;
    std::unique_ptr<frmMain> window = startMainWindow(f.browseFolder, fakes);
    storage::Recordset &rounds = window->sheet().records();
    int lookedUp = 0;
    QObject::connect(&window->sheet(), &roundmodel::RoundSheet::hamLookedUp, window.get(),
                     [&lookedUp] { ++lookedUp; });
    for (auto _ : state) {
        if (rounds.AbsolutePosition() >= rounds.RecordCount() - 1) {
            rounds.MoveFirst();
            dropLeftovers();
        }
        const int from = rounds.AbsolutePosition();
        QStringList before;
        for (int row = 0; row < frmMain::kRows; ++row) {
            before << window->sheet().cell(row, roundmodel::Column::Call);
        }
        lookedUp = 0;
        QElapsedTimer timer;
        timer.start();
        rounds.MoveNext();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);

        QString wrong = messagesShown(fakes);
        if (wrong.isEmpty() && rounds.AbsolutePosition() != from + 1) {
            wrong = QStringLiteral("the move from round %1 ended on %2")
                        .arg(from + 1)
                        .arg(rounds.AbsolutePosition() + 1);
        }
        int changed = 0;
        for (int row = 0; wrong.isEmpty() && row < frmMain::kRows; ++row) {
            const QString shown = fixture::ui(*window).Text1[row]->text();
            if (!f.calls.contains(shown)) {
                wrong = QStringLiteral("row %1 of round %2 holds %3, not a ham of the list")
                            .arg(row + 1)
                            .arg(from + 2)
                            .arg(shown);
            }
            changed += shown != before[row] ? 1 : 0;
        }
        // Every call that differs from the one its row showed was looked up and found.
        if (wrong.isEmpty() && lookedUp != changed) {
            wrong = QStringLiteral("%1 look-ups for %2 changed calls").arg(lookedUp).arg(changed);
        }
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        dropLeftovers();
    }
    rounds.MoveFirst();
    dropLeftovers();
    state.counters["lookups"] = frmMain::kRows;
}

void configure(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(7)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(BM_AddParticipant)->Apply(configure);
BENCHMARK(BM_NextRound)->Apply(configure);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    benchFixture();  // made before any timing, with its report on stderr
    benchreport::TargetReporter reporter({
        {"BM_AddParticipant", "Enter in the call box to the row filled (1 look-up)", 2},
        {"BM_NextRound", "next stored round, 30 look-ups", 10},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
