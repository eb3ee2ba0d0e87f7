// Timings of the record control on a data file of realistic size: a ham list of 100,000 records
// and 10,000 stored rounds with every one of their 183 fields filled. The windows' controls are
// bound as the windows bind them (the ham list window: nine line edits and a plain text edit for
// the remarks; the round sheet: a line edit per text field and a check box per listening mark),
// so every move includes the load into the controls. Widgets are never shown.
//
// Run headless:
//   QT_QPA_PLATFORM=offscreen bench_storage --benchmark_min_time=0.2

#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "storage/Database.h"
#include "storage/RecordControl.h"
#include "storage/Schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using benchdata::kHamCount;
using benchdata::kRareSubstring;
using benchdata::kRoundCount;

// The ham whose call the exact find looks for (0-based position in the list), and a neighbour
// so that consecutive finds really change the record shown.
constexpr int kExactTarget = 99990;
constexpr int kExactNeighbour = 99980;

// ---------------------------------------------------------------------------------------------
// Test data

// The data folder with its database file, made once per process.
struct Fixture {
    QTemporaryDir dir;
    QString readPath;           // shared by the benchmarks that do not write
    QString writePath;          // a copy for the benchmarks that add records
    std::string exactCall;      // the call of record kExactTarget, in lower case
    std::string neighbourCall;  // of record kExactNeighbour, in lower case
    int rareNames = 0;          // records whose naam contains kRareSubstring

    Fixture() {
        if (!dir.isValid()) {
            benchdata::fail(QStringLiteral("no temporary folder"));
        }
        QElapsedTimer timer;
        timer.start();
        std::vector<benchdata::Ham> hams;
        readPath = QDir(benchdata::makeDataFolder(dir.path(), QStringLiteral("read"), &hams))
                       .filePath(QLatin1String(storage::Database::kFileName));
        QDir(dir.path()).mkdir(QStringLiteral("write"));
        writePath =
            dir.filePath(QStringLiteral("write/") + QLatin1String(storage::Database::kFileName));

        for (const benchdata::Ham &h : hams) {
            rareNames += QString::fromStdString(h.name).contains(QLatin1String(kRareSubstring),
                                                                 Qt::CaseInsensitive);
        }
        exactCall = QString::fromStdString(hams[kExactTarget].call).toLower().toStdString();
        neighbourCall = QString::fromStdString(hams[kExactNeighbour].call).toLower().toStdString();
        if (!QFile::copy(readPath, writePath)) {
            benchdata::fail(QStringLiteral("cannot copy the database"));
        }
        std::fprintf(
            stderr, "bench_storage: data folder %s: %d hams, %d rounds, %.1f MB, made in %lld ms\n",
            qPrintable(dir.path()), kHamCount, kRoundCount,
            double(QFileInfo(readPath).size()) / 1e6, qint64(timer.elapsed()));
    }
};

const Fixture &fixture() {
    static const Fixture f;
    return f;
}

// ---------------------------------------------------------------------------------------------
// Windows as the program binds them

// The ham list window's data part: nine line edits and the remarks in a plain text edit.
struct HamWindow {
    QWidget window;
    storage::RecordControl *data = nullptr;
    std::vector<QLineEdit *> edits;

    explicit HamWindow(const QString &databasePath) {
        data = new storage::RecordControl(&window);
        data->setDatabaseName(databasePath);
        data->setRecordSource(QStringLiteral("qrz"));
        for (const QString &field : storage::qrzTable().fields) {
            if (field == QLatin1String("byzonderheden")) {
                data->bind(new QPlainTextEdit(&window), field);
            } else {
                auto *edit = new QLineEdit(&window);
                edits.push_back(edit);
                data->bind(edit, field);
            }
        }
    }
};

// The round sheet: a line edit per text field, a check box per listening mark.
struct RoundWindow {
    QWidget window;
    storage::RecordControl *data = nullptr;
    std::vector<QLineEdit *> edits;

    explicit RoundWindow(const QString &databasePath) {
        data = new storage::RecordControl(&window);
        data->setDatabaseName(databasePath);
        data->setRecordSource(QStringLiteral("ronde"));
        const storage::TableDef &table = storage::rondeTable();
        for (qsizetype f = 0; f < table.fields.size(); ++f) {
            if (table.isCheck[size_t(f)]) {
                data->bind(new QCheckBox(&window), table.fields[f]);
            } else {
                auto *edit = new QLineEdit(&window);
                edits.push_back(edit);
                data->bind(edit, table.fields[f]);
            }
        }
    }
};

bool openOrSkip(benchmark::State &state, storage::RecordControl &data) {
    if (!data.open()) {
        state.SkipWithError(qPrintable(data.lastError().description));
        return false;
    }
    return true;
}

void skip(benchmark::State &state, const storage::RecordControl &data, const char *what) {
    const QString message =
        QStringLiteral("%1: %2").arg(QLatin1String(what), data.lastError().description);
    state.SkipWithError(qPrintable(message));
}

// ---------------------------------------------------------------------------------------------
// Benchmarks

// The window's load and unload: the table is opened, the first record loaded, then closed.
template <typename Window>
void openClose(benchmark::State &state) {
    Window w(fixture().readPath);
    double openSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!w.data->open()) {
            skip(state, *w.data, "open");
            break;
        }
        openSeconds += double(timer.nsecsElapsed()) / 1e9;
        if (!w.data->close()) {
            skip(state, *w.data, "close");
            break;
        }
    }
    // The open alone, in ms per iteration.
    state.counters["open_ms"] =
        benchmark::Counter(openSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void BM_OpenCloseQrz(benchmark::State &state) {
    openClose<HamWindow>(state);
}

void BM_OpenCloseRonde(benchmark::State &state) {
    openClose<RoundWindow>(state);
}

// The main window looks a call up as it is typed: in lower case, near the end of the list.
void BM_FindFirstExactCall(benchmark::State &state) {
    const Fixture &f = fixture();
    HamWindow w(f.readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    const QString criteria[] = {
        QStringLiteral("call ='%1'").arg(QString::fromStdString(f.exactCall)),
        QStringLiteral("call ='%1'").arg(QString::fromStdString(f.neighbourCall)),
    };
    const int expected[] = {kExactTarget, kExactNeighbour};
    int turn = 0;
    for (auto _ : state) {
        if (!w.data->Recordset().FindFirst(criteria[turn])) {
            skip(state, *w.data, "FindFirst");
            break;
        }
        if (w.data->Recordset().NoMatch() ||
            w.data->Recordset().AbsolutePosition() != expected[turn]) {
            state.SkipWithError("FindFirst found the wrong record");
            break;
        }
        turn ^= 1;
    }
    w.data->close();
}

// Every hit of a search on part of a name in turn, until there is none left.
void walkContains(benchmark::State &state, storage::RecordControl &data) {
    const QString criterion = QStringLiteral("naam LIKE'*%1*'").arg(QLatin1String(kRareSubstring));
    storage::Recordset &rs = data.Recordset();
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        bool ok = rs.FindFirst(criterion);
        while (ok && !rs.NoMatch()) {
            ++hits;
            ok = rs.FindNext(criterion);
        }
        if (!ok) {
            skip(state, data, "FindFirst/FindNext");
            break;
        }
    }
    if (hits != fixture().rareNames && !state.error_occurred()) {
        state.SkipWithError(
            qPrintable(QStringLiteral("%1 hits, %2 expected").arg(hits).arg(fixture().rareNames)));
    }
    state.counters["hits"] = hits;
}

void BM_FindContainsWalk(benchmark::State &state) {
    HamWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    walkContains(state, *w.data);
    w.data->close();
}

// The same walk with no control bound: what the table side costs without the loads.
void BM_FindContainsWalkUnbound(benchmark::State &state) {
    storage::RecordControl data;
    data.setDatabaseName(fixture().readPath);
    data.setRecordSource(QStringLiteral("qrz"));
    if (!openOrSkip(state, data)) {
        return;
    }
    walkContains(state, data);
    data.close();
}

// Leafing through the stored rounds, each with its 183 fields loaded into the sheet.
void BM_MoveNextRonde(benchmark::State &state) {
    RoundWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    const int last = rs.RecordCount() - 1;
    for (auto _ : state) {
        if (rs.AbsolutePosition() == last) {
            state.PauseTiming();
            rs.MoveFirst();
            state.ResumeTiming();
        }
        if (!rs.MoveNext() || rs.state() != storage::CursorState::OnRecord) {
            skip(state, *w.data, "MoveNext");
            break;
        }
    }
    w.data->close();
}

// A jump to a position in the middle of the ham list (as the list window's scroll bar does).
void BM_SetAbsolutePositionQrz(benchmark::State &state) {
    HamWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    const int middle = rs.RecordCount() / 2;
    int turn = 0;
    for (auto _ : state) {
        if (!rs.setAbsolutePosition(middle + turn)) {
            skip(state, *w.data, "setAbsolutePosition");
            break;
        }
        turn ^= 1;
    }
    w.data->close();
}

qint64 storedBytes(const QString &databasePath) {
    return QFileInfo(databasePath).size() + QFileInfo(databasePath + QStringLiteral("-wal")).size();
}

// A new round begun, one call typed into it, and stored by moving to the last record.
void BM_AddNewSaveRonde(benchmark::State &state) {
    const Fixture &f = fixture();
    RoundWindow w(f.writePath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    QLineEdit *firstCall = w.edits[3];  // call1, after rondecall, datum and kringbaas
    const int countBefore = rs.RecordCount();
    const qint64 bytesBefore = storedBytes(f.writePath);
    for (auto _ : state) {
        if (!rs.AddNew()) {
            skip(state, *w.data, "AddNew");
            break;
        }
        firstCall->setText(QStringLiteral("PA3ABC"));
        if (!rs.MoveLast()) {
            skip(state, *w.data, "MoveLast");
            break;
        }
    }
    const int added = rs.RecordCount() - countBefore;
    if (added != int(state.iterations()) && !state.error_occurred()) {
        state.SkipWithError("not every new round was stored");
    }
    w.data->close();
    // Data file and its log together; the log is reused after a checkpoint, so this is a rough
    // figure per stored round.
    state.counters["bytes_per_new"] =
        added > 0 ? double(storedBytes(f.writePath) - bytesBefore) / added : 0.0;
}

void configure(benchmark::internal::Benchmark *b, benchmark::TimeUnit unit) {
    b->Unit(unit)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
}

void inMilliseconds(benchmark::internal::Benchmark *b) {
    configure(b, benchmark::kMillisecond);
}

void inMicroseconds(benchmark::internal::Benchmark *b) {
    configure(b, benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_OpenCloseQrz)->Apply(inMilliseconds);
BENCHMARK(BM_OpenCloseRonde)->Apply(inMilliseconds);
BENCHMARK(BM_FindFirstExactCall)->Apply(inMicroseconds);
BENCHMARK(BM_FindContainsWalk)->Apply(inMilliseconds);
BENCHMARK(BM_FindContainsWalkUnbound)->Apply(inMilliseconds);
BENCHMARK(BM_MoveNextRonde)->Apply(inMicroseconds);
BENCHMARK(BM_SetAbsolutePositionQrz)->Apply(inMicroseconds);
BENCHMARK(BM_AddNewSaveRonde)->Apply(inMilliseconds);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
