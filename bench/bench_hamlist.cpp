// Timings of the ham list window on a data file of realistic size (see BenchData.h): its search
// and the look-up by call that the other windows run through its record control. The window is
// made on the heap and never shown.
//
// A search with more than one hit ends in the modal hit list (frmMultiFound::exec). Here that
// list is closed again as soon as its event loop runs: a zero-interval timer, running only
// around the search, rejects the hit list (or any other modal window) the first time it fires.
// The time of the search is taken up to the moment the hit list is shown, that is with the list
// filled and nothing of the modal loop included; what the loop up to its end adds is reported
// as the counter exec_ms. A search that never shows the hit list counts as failed.
//
// BM_HamLookupFirst makes a fresh window for every repetition: the window's construction (the
// table opened) and its first look-up. The first of them in the process, on a cold start, is
// printed after the table as well.
//
// Run (headless: the program selects the offscreen platform itself):
//   bench_hamlist

#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "bench/BenchReport.h"
#include "hamlist/frmAmateur.h"
#include "hamlist/frmMultiFound.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "storage/Database.h"
#include "storage/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using benchdata::kHamCount;
using hamlist::frmAmateur;

constexpr int kNameEntry = 1;  // "Naam" in the field list
constexpr int kCallEntry = 0;  // "Call"
// The name search: about one name in a hundred contains it.
const QString kNameText = QStringLiteral("QU");
// The ham the exact call search looks for (0-based position in the list), near the end.
constexpr int kExactTarget = 99950;
// The hams the look-ups alternate between, spread over the table.
constexpr std::array kLookupTargets = {1234, 33333, 66666, 99876};

// ---------------------------------------------------------------------------------------------
// Test data

struct Fixture {
    QTemporaryDir dir;
    QString dataFolder;
    std::vector<benchdata::Ham> hams;
    int nameHits = 0;  // hams whose name contains kNameText

    Fixture() {
        if (!dir.isValid()) {
            benchdata::fail(QStringLiteral("no temporary folder"));
        }
        QElapsedTimer timer;
        timer.start();
        dataFolder = benchdata::makeDataFolder(dir.path(), QStringLiteral("data"), &hams);
        const QString databasePath =
            QDir(dataFolder).filePath(QLatin1String(storage::Database::kFileName));
        // The window starts with partial-call search off.
        if (!storage::Settings(dataFolder).writePrtcall(false)) {
            benchdata::fail(QStringLiteral("cannot write the settings files"));
        }
        for (const benchdata::Ham &h : hams) {
            if (QString::fromStdString(h.name).contains(kNameText, Qt::CaseInsensitive)) {
                ++nameHits;
            }
        }
        std::fprintf(stderr,
                     "bench_hamlist: data folder %s: %d hams, %.1f MB, made in %lld ms; %d names "
                     "contain \"%s\"\n",
                     qPrintable(dataFolder), kHamCount,
                     double(QFileInfo(databasePath).size()) / 1e6, qint64(timer.elapsed()),
                     nameHits, qPrintable(kNameText));
    }

    QString text(int position, std::string benchdata::Ham::*field) const {
        return QString::fromStdString(hams[size_t(position)].*field);
    }
};

const Fixture &fixture() {
    static const Fixture f;
    return f;
}

struct Fakes {
    platform::fakes::FakeMessageBoxes messages;
    platform::fakes::FakeWebLauncher web;
    platform::fakes::FakeClock clock;
    platform::fakes::ManualTimers timers;
    platform::Services services() { return {messages, clock, web, timers}; }
};

// The window as another window makes it: hidden, its start-up move to the last ham and its
// message timer left out.
std::unique_ptr<frmAmateur> makeHamList(Fakes &fakes) {
    auto window = std::make_unique<frmAmateur>(fixture().dataFolder, fakes.services());
    window->opstarttimer->stop();
    window->Timer1->stop();
    return window;
}

// Events left behind (the hourglass reset, paints of the hit list), so that they do not pile up
// over the iterations.
void dropLeftovers() {
    QCoreApplication::processEvents();
}

// Closes the modal hit list as soon as its event loop runs; runs only around a search.
class ModalCloser {
public:
    explicit ModalCloser(frmAmateur &window) : window_(window) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { closeModal(); });
    }
    void arm() { timer_.start(); }
    void disarm() { timer_.stop(); }

private:
    void closeModal() {
        if (hamlist::frmMultiFound *hits = window_.multiFound(); hits && hits->isVisible()) {
            hits->reject();
        } else if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            modal->reject();
        }
    }

    frmAmateur &window_;
    QTimer timer_;
};

// Takes the time at which the hit list is shown, on the clock of the running search.
class ShowStamp : public QObject {
public:
    void start() {
        clock_.start();
        shownAt_ = -1;
    }
    qint64 elapsed() const { return clock_.nsecsElapsed(); }
    qint64 shownAt() const { return shownAt_; }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && shownAt_ < 0) {
            shownAt_ = clock_.nsecsElapsed();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer clock_;
    qint64 shownAt_ = -1;
};

// One press of "&Zoek" with the closer armed; true when no modal window is left open.
bool search(frmAmateur &window, ModalCloser &closer) {
    closer.arm();
    window.Command1_Click();
    closer.disarm();
    return !window.multiFound() || !window.multiFound()->isVisible();
}

void setSearch(frmAmateur &window, int entry, const QString &text) {
    window.Combo1->setCurrentIndex(entry);
    window.Check1->setChecked(false);
    window.txtZoek->setText(text);
}

// ---------------------------------------------------------------------------------------------
// Benchmarks

// 1: the naam search for "QU" (contains), from "&Zoek" to the filled hit list being shown.
void BM_HamSearchNaam(benchmark::State &state) {
    const Fixture &f = fixture();
    Fakes fakes;
    const std::unique_ptr<frmAmateur> window = makeHamList(fakes);
    ModalCloser closer(*window);
    setSearch(*window, kNameEntry, kNameText);
    // The first search makes the hit list window and shows it for the first time.
    if (!search(*window, closer) || !window->multiFound()) {
        state.SkipWithError("the first search left no closed hit list");
        return;
    }
    dropLeftovers();
    ShowStamp stamp;
    window->multiFound()->installEventFilter(&stamp);
    qint64 execNanoseconds = 0;
    for (auto _ : state) {
        setSearch(*window, kNameEntry, kNameText);
        stamp.start();
        const bool closed = search(*window, closer);
        const qint64 total = stamp.elapsed();
        if (!closed || stamp.shownAt() < 0) {
            state.SkipWithError(closed ? "the hit list was not shown" : "the hit list stays open");
            break;
        }
        state.SetIterationTime(double(stamp.shownAt()) / 1e9);
        execNanoseconds += total - stamp.shownAt();
        const int count = window->multiFound()->List1->count();
        if (count != f.nameHits || !fakes.messages.shown().isEmpty()) {
            state.SkipWithError(
                qPrintable(QStringLiteral("%1 hits listed, %2 expected; %3 message boxes")
                               .arg(count)
                               .arg(f.nameHits)
                               .arg(fakes.messages.shown().size())));
            break;
        }
        dropLeftovers();
    }
    state.counters["hits"] = f.nameHits;
    state.counters["exec_ms"] =
        benchmark::Counter(double(execNanoseconds) / 1e6, benchmark::Counter::kAvgIterations);
}

// 2: the exact call search, the call typed in lower case.
void BM_HamSearchCall(benchmark::State &state) {
    const Fixture &f = fixture();
    Fakes fakes;
    const std::unique_ptr<frmAmateur> window = makeHamList(fakes);
    ModalCloser closer(*window);
    const QString call = f.text(kExactTarget, &benchdata::Ham::call);
    for (auto _ : state) {
        setSearch(*window, kCallEntry, call.toLower());
        QElapsedTimer timer;
        timer.start();
        const bool closed = search(*window, closer);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        const bool listed = window->multiFound() && window->multiFound()->List1->count() != 0;
        if (!closed || listed || window->Data1->Recordset().AbsolutePosition() != kExactTarget ||
            window->txtFields[0]->text() != call || !fakes.messages.shown().isEmpty()) {
            state.SkipWithError(
                qPrintable(QStringLiteral("the search for %1 stands on %2 (position %3)")
                               .arg(call.toLower(), window->txtFields[0]->text())
                               .arg(window->Data1->Recordset().AbsolutePosition())));
            break;
        }
        dropLeftovers();
    }
}

struct LookedUp {
    QString name, qth, grid, particulars;
};

// What another window does to look a call up: to the first ham, find the call, read the fields.
bool lookUp(frmAmateur &window, const QString &call, LookedUp *found) {
    storage::Recordset &rs = window.Data1->Recordset();
    rs.MoveFirst();
    if (!rs.FindFirst(QStringLiteral("call ='") + call + QStringLiteral("'")) || rs.NoMatch()) {
        return false;
    }
    found->name = window.txtFields[1]->text();
    found->qth = window.txtFields[4]->text();
    found->grid = window.txtFields[5]->text();
    found->particulars = window.txtBijzonderheden->toPlainText();
    return true;
}

QString wrongLookUp(const Fixture &f, int position, bool ok, const LookedUp &found) {
    using H = benchdata::Ham;
    if (ok && found.name == f.text(position, &H::name) && found.qth == f.text(position, &H::qth) &&
        found.grid == f.text(position, &H::grid) &&
        found.particulars == f.text(position, &H::particulars)) {
        return {};
    }
    return QStringLiteral("the look-up of %1 read %2 / %3 / %4")
        .arg(f.text(position, &H::call), found.name, found.qth, found.grid);
}

// 3: the look-up by call on a window that exists, alternating between hams spread over the list.
void BM_HamLookup(benchmark::State &state) {
    const Fixture &f = fixture();
    Fakes fakes;
    const std::unique_ptr<frmAmateur> window = makeHamList(fakes);
    size_t next = 0;
    for (auto _ : state) {
        const int position = kLookupTargets[next++ % kLookupTargets.size()];
        const QString call = f.text(position, &benchdata::Ham::call);
        LookedUp found;
        QElapsedTimer timer;
        timer.start();
        const bool ok = lookUp(*window, call, &found);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        const QString wrong = wrongLookUp(f, position, ok, found);
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        dropLeftovers();
    }
}

double firstInProcessMs = -1;

// 3, first time: the window made (its table opened) and the first look-up.
void BM_HamLookupFirst(benchmark::State &state) {
    const Fixture &f = fixture();
    Fakes fakes;
    const int position = kLookupTargets[2];
    const QString call = f.text(position, &benchdata::Ham::call);
    for (auto _ : state) {
        LookedUp found;
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<frmAmateur>(f.dataFolder, fakes.services());
        const bool ok = lookUp(*window, call, &found);
        const qint64 nanoseconds = timer.nsecsElapsed();
        state.SetIterationTime(double(nanoseconds) / 1e9);
        if (firstInProcessMs < 0) {
            firstInProcessMs = double(nanoseconds) / 1e6;
        }
        window->opstarttimer->stop();
        window->Timer1->stop();
        const QString wrong = wrongLookUp(f, position, ok, found);
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        window.reset();
        dropLeftovers();
    }
}

void configure(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(7)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(BM_HamLookupFirst)->Apply(configure)->Iterations(1);
BENCHMARK(BM_HamSearchNaam)->Apply(configure);
BENCHMARK(BM_HamSearchCall)->Apply(configure);
BENCHMARK(BM_HamLookup)->Apply(configure);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    fixture();  // made before any timing, with its report on stderr
    benchreport::TargetReporter reporter({
        {"BM_HamSearchNaam", "naam contains \"QU\", Zoek to filled hit list", 50},
        {"BM_HamSearchCall", "exact call, lower case, near the end", 5},
        {"BM_HamLookup", "look-up by call on an existing window", 1},
        {"BM_HamLookupFirst", "window made + first look-up", 0},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (firstInProcessMs >= 0) {
        std::fprintf(stdout, "\nFirst look-up in the process (window made, cold): %.3f ms\n",
                     firstInProcessMs);
    }
    benchmark::Shutdown();
    return 0;
}
