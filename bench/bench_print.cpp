// The PDF export of a full round against a bare PDF of the same weight.
//
// BM_ExportRound: the main window with 30 filled rows, every station with its turns; from the
// menu action "Ronde Exporteren naar PDF" to the file written and closed, on the program's own
// printer surface, the file chooser answered by its test double.
// BM_BarePdf: a QPrinter PDF of one page with the same logo and 30 lines of text, nothing else.
//
// Run (headless: the program selects the offscreen platform itself):
//   bench_print

#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "bench/BenchReport.h"
#include "platform/QtPrinterSurface.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeFileChooser.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "print/KeptPrinter.h"
#include "print/RoundPrinting.h"
#include "roundsheet/frmMain.h"
#include "MainControls.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using roundsheet::frmMain;

struct Fixture {
    QTemporaryDir dir;
    platform::fakes::FakeClock clock;
    platform::fakes::FakeMessageBoxes messages;
    platform::fakes::FakeWebLauncher web;
    platform::fakes::ManualTimers timers;
    platform::fakes::FakeFileChooser files;
    std::unique_ptr<print::KeptPrinter> keptPrinter;
    std::unique_ptr<platform::QtPrinterSurface> printer;
    std::unique_ptr<frmMain> window;

    QString exported() const { return QDir(dir.path()).filePath(QStringLiteral("ronde.pdf")); }
    QString bare() const { return QDir(dir.path()).filePath(QStringLiteral("kaal.pdf")); }

    Fixture() {
        if (!dir.isValid()) {
            benchdata::fail(QStringLiteral("no temporary folder"));
        }
        benchdata::writeStationSettings(dir.path(), QStringLiteral("JO22ab"));
        clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        keptPrinter = std::make_unique<print::KeptPrinter>(storage::Settings(dir.path()));
        printer = std::make_unique<platform::QtPrinterSurface>(files, keptPrinter.get());
        window = std::make_unique<frmMain>(dir.path(),
                                           roundsheet::Services{messages, clock, web, timers});
        window->setPrinterSurface(printer.get());
        window->load();
        window->startupTimer->stop();
        window->tmrRonde->stop();
        window->Timer1->stop();
        for (int i = 0; i < frmMain::kRows; ++i) {
            fixture::ui(*window).Text1[i]->setText(QStringLiteral("PD%1ABC").arg(i + 10));
            fixture::ui(*window).Text2[i]->setText(QStringLiteral("Deelnemer %1").arg(i + 1));
            fixture::ui(*window).Text3[i]->setText(QStringLiteral("ZOETERMEER"));
            fixture::ui(*window).Text5[i]->setText(QString::number(12 * i + 3));
            for (int turn = 0; turn <= i % 5; ++turn) {
                window->sheet().giveTurn(i);
            }
        }
    }
};

// Made in main and gone before the application is.
std::unique_ptr<Fixture> theFixture;

Fixture &benchFixture() {
    return *theFixture;
}

void BM_ExportRound(benchmark::State &state) {
    Fixture &f = benchFixture();
    for (auto _ : state) {
        f.messages.clear();
        f.files.queueAnswer(f.exported());
        QElapsedTimer timer;
        timer.start();
        f.window->rondeexporteren->trigger();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (f.messages.shown().size() != 1 ||
            f.messages.shown()[0].text != QStringLiteral("Ronde succesvol opgeslagen")) {
            state.SkipWithError("the round was not exported");
            break;
        }
    }
    state.counters["bytes"] = double(QFileInfo(f.exported()).size());
}

void BM_BarePdf(benchmark::State &state) {
    Fixture &f = benchFixture();
    const QImage logo = print::roundLogo();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(f.bare());
        QPainter painter(&printer);
        const double dot = printer.resolution() / 1440.0;
        painter.drawImage(QRectF(600 * dot, 700 * dot, 1450 * dot, 1450 * dot), logo);
        painter.setFont(QFont(QStringLiteral("Verdana"), 11));
        for (int i = 0; i < frmMain::kRows; ++i) {
            painter.drawText(QPointF(780 * dot, (3600 + 350 * i) * dot),
                             QStringLiteral("PD%1ABC   Deelnemer %2   ZOETERMEER   %3 Km")
                                 .arg(i + 10)
                                 .arg(i + 1)
                                 .arg(12 * i + 3));
        }
        painter.end();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    state.counters["bytes"] = double(QFileInfo(f.bare()).size());
}

void configure(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(7)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(BM_ExportRound)->Apply(configure);
BENCHMARK(BM_BarePdf)->Apply(configure);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    theFixture = std::make_unique<Fixture>();
    benchreport::TargetReporter reporter({
        {"BM_ExportRound", "PDF export of a full round, menu to file closed", 0},
        {"BM_BarePdf", "bare QPrinter PDF: the logo and 30 lines", 0},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double exported = reporter.median("BM_ExportRound");
    const double bare = reporter.median("BM_BarePdf");
    if (exported > 0 && bare > 0) {
        const qint64 bytes = QFileInfo(benchFixture().exported()).size();
        std::printf(
            "\nratio export / bare: %.2f (target <= 2)\nexported file: %lld bytes "
            "(target <= 102400)\n",
            exported / bare, static_cast<long long>(bytes));
    }
    benchmark::Shutdown();
    theFixture.reset();
    return 0;
}
