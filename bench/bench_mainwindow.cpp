// Timings of the main window's start on a data file of realistic size (see BenchData.h): the
// window made, its start-up sequence run (settings files read, the stored rounds opened and the
// first one shown), the one-shot move to the latest round and the first paint. Beside it a bare
// main window with the same widgets, texts and menus at the same places but no data behind them,
// made and painted the same way: the difference between the two is what the program itself adds
// to what Qt costs for a window of this size.
//
// The start-up sequence starts timers; they are stopped right after it so that their fixed waits
// are left out, and the move the round timer would make is called directly. The first paint is
// forced with grab(), which renders the whole widget tree synchronously on any platform. Windows
// are deleted without being closed: closing writes the settings files and the round.
//
// The two window starts also report their steps as counters, in ms per start: new_ms (the
// constructor), load_ms (the start-up sequence), move_ms (the move to the latest round), show_ms
// and paint_ms. The summary after the table gives the ratio of the medians of the two starts. The
// program prints the console table itself; --benchmark_out=FILE --benchmark_out_format=json
// writes the results to a file as well.
//
// Run (headless: the program selects the offscreen platform itself):
//   bench_mainwindow

#include "bench/BenchData.h"
#include "bench/BenchMain.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"
#include "storage/Settings.h"
#include "MainControls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using roundsheet::frmMain;

// ---------------------------------------------------------------------------------------------
// The main window as the program starts it

// What every window gets from its maker here: boxes that are recorded instead of shown, a clock
// that stands still, a browser that is never started.
struct FakeServices {
    platform::fakes::FakeMessageBoxes messages;
    platform::fakes::FakeClock clock;
    platform::fakes::FakeWebLauncher web;
    platform::fakes::ManualTimers timers;

    roundsheet::Services services() { return {messages, clock, web, timers}; }
};

void stopTimers(frmMain &window) {
    for (platform::Timer *timer : {window.startupTimer, window.tmrRonde, window.Timer1}) {
        timer->stop();
    }
}

// Time spent in each step of a window start, summed over the iterations and reported per
// iteration as counters (new_ms, load_ms, ...).
class StepClock {
public:
    void start() {
        timer_.start();
        last_ = 0;
    }
    void step(const char *name) {
        const qint64 now = timer_.nsecsElapsed();
        sums_[name] += now - last_;
        last_ = now;
    }
    double seconds() const { return double(last_) / 1e9; }  // up to the last step

    void report(benchmark::State &state) const {
        for (const auto &[name, nanoseconds] : sums_) {
            state.counters[name + "_ms"] =
                benchmark::Counter(double(nanoseconds) / 1e6, benchmark::Counter::kAvgIterations);
        }
    }

private:
    QElapsedTimer timer_;
    qint64 last_ = 0;
    std::map<std::string, qint64> sums_;
};

// Made, started, moved to the latest round, shown and painted once.
std::unique_ptr<frmMain> startMainWindow(const QString &dataFolder, FakeServices &fakes,
                                         QPixmap *painted, StepClock *clock) {
    auto window = std::make_unique<frmMain>(dataFolder, fakes.services());
    clock->step("new");
    window->load();
    stopTimers(*window);
    clock->step("load");
    window->tmrRonde_Timer();
    clock->step("move");
    window->show();
    clock->step("show");
    *painted = window->grab();
    clock->step("paint");
    return window;
}

// Why a started window is not fit to be timed (or deleted without writing into the data file);
// empty when it is.
QString whatIsWrong(const frmMain &window, const FakeServices &fakes) {
    const storage::Recordset &rs = fixture::ui(window).Data1->Recordset();
    if (rs.AbsolutePosition() != benchdata::kRoundCount - 1 ||
        fixture::ui(window).txtRondeNR->text() != QString::number(benchdata::kRoundCount)) {
        return QStringLiteral("the window stands on round %1 (%2), not on the latest")
            .arg(rs.AbsolutePosition() + 1)
            .arg(fixture::ui(window).txtRondeNR->text());
    }
    if (fixture::ui(window).Data1->DataChanged()) {
        return QStringLiteral("the shown round counts as changed");
    }
    if (!fakes.messages.shown().isEmpty()) {
        return QStringLiteral("a message box came up: %1")
            .arg(fakes.messages.shown().constFirst().text);
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// The bare window: what a real main window holds, taken once, rebuilt with plain Qt widgets

enum class Kind {
    Widget,
    LineEdit,
    Label,
    PushButton,
    ToolButton,
    CheckBox,
    GroupBox,
    ProgressBar
};

const std::map<std::string, Kind> kKinds = {
    {"QWidget", Kind::Widget},         {"QLineEdit", Kind::LineEdit},
    {"QLabel", Kind::Label},           {"QPushButton", Kind::PushButton},
    {"QToolButton", Kind::ToolButton}, {"QCheckBox", Kind::CheckBox},
    {"QGroupBox", Kind::GroupBox},     {"QProgressBar", Kind::ProgressBar},
};

// The Qt class a widget is, or derives from (platform::TextBox is a QLineEdit, the record
// control a QWidget).
const char *qtClassName(const QObject *object) {
    for (const QMetaObject *meta = object->metaObject(); meta; meta = meta->superClass()) {
        const char *name = meta->className();
        if (name[0] == 'Q' && !std::strchr(name, ':')) {
            return name;
        }
    }
    return "";
}

// Which of the style's standard icons this is; -1 when none. The bare window makes such an
// icon anew, as the main window does, rather than share the one already loaded.
int standardIconOf(const QWidget *widget, const QIcon &icon) {
    if (icon.isNull()) {
        return -1;
    }
    const QSize size = icon.availableSizes().value(0, QSize(16, 16));
    const QImage wanted = icon.pixmap(size).toImage();
    for (int sp = 0; sp < int(QStyle::NStandardPixmap); ++sp) {
        const QIcon candidate = widget->style()->standardIcon(QStyle::StandardPixmap(sp));
        if (!candidate.isNull() && candidate.availableSizes() == icon.availableSizes() &&
            candidate.pixmap(size).toImage() == wanted) {
            return sp;
        }
    }
    return -1;
}

struct WidgetShape {
    Kind kind = Kind::Widget;
    int parent = -1;  // index of the parent's shape; -1: the window (only the central widget)
    QRect geometry;
    QSize minimum;
    QSize maximum;
    bool hidden = false;
    std::optional<QFont> font;
    std::optional<QCursor> cursor;
    QString text;
    bool checked = false;
    Qt::Alignment alignment;
    QIcon icon;
    int standardIcon = -1;  // the style's standard icon it is, if any
    QSize iconSize;
    Qt::ToolButtonStyle toolButtonStyle = Qt::ToolButtonIconOnly;
    QFrame::Shape frameShape = QFrame::NoFrame;
    QFrame::Shadow frameShadow = QFrame::Plain;
    bool autoFillBackground = false;
    QPalette::ColorRole backgroundRole = QPalette::Window;
    bool textVisible = true;
    int minimumValue = 0;
    int maximumValue = 100;
    int value = -1;
};

struct ActionShape {
    QString text;
    QKeySequence shortcut;
    bool separator = false;
    bool checkable = false;
    bool checked = false;
};

// An entry of the menu bar: a menu with its actions, or an action of its own.
struct MenuShape {
    QString title;
    bool isMenu = false;
    std::vector<ActionShape> actions;
};

struct WindowShape {
    QString title;
    std::optional<QFont> font;
    QSize size;
    std::vector<WidgetShape> widgets;  // the central widget first; parents before children
    std::vector<MenuShape> menus;
    std::map<std::string, int> counts;  // widgets per Qt class, the menu bar's included
    QStringList hiddenWindows;          // made by the main window but not shown: left out
};

ActionShape actionShape(const QAction *action) {
    return {action->text(), action->shortcut(), action->isSeparator(), action->isCheckable(),
            action->isChecked()};
}

void takeMenus(const QMenuBar *bar, WindowShape *shape) {
    ++shape->counts["QMenuBar"];
    for (QAction *entry : bar->actions()) {
        MenuShape menu{entry->text(), false, {}};
        if (const QMenu *popup = entry->menu()) {
            ++shape->counts["QMenu"];
            menu.isMenu = true;
            for (const QAction *action : popup->actions()) {
                menu.actions.push_back(actionShape(action));
            }
        } else {
            menu.actions.push_back(actionShape(entry));
        }
        shape->menus.push_back(std::move(menu));
    }
}

void takeWidget(const QWidget *widget, int parent, WindowShape *shape) {
    const char *className = qtClassName(widget);
    const auto kind = kKinds.find(className);
    if (kind == kKinds.end()) {
        benchdata::fail(QStringLiteral("the bare window has no counterpart for %1 %2")
                            .arg(QLatin1String(className), widget->objectName()));
    }
    ++shape->counts[className];

    WidgetShape s;
    s.kind = kind->second;
    s.parent = parent;
    s.geometry = widget->geometry();
    s.minimum = widget->minimumSize();
    s.maximum = widget->maximumSize();
    s.hidden = widget->isHidden();
    if (widget->testAttribute(Qt::WA_SetFont)) {
        s.font = widget->font();
    }
    if (widget->testAttribute(Qt::WA_SetCursor)) {
        s.cursor = widget->cursor();
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        s.text = edit->text();
    } else if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        s.text = label->text();
        s.alignment = label->alignment();
        s.frameShape = label->frameShape();
        s.frameShadow = label->frameShadow();
        s.autoFillBackground = label->autoFillBackground();
        s.backgroundRole = label->backgroundRole();
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        s.text = button->text();
        s.checked = button->isChecked();
        s.icon = button->icon();
        s.standardIcon = standardIconOf(widget, s.icon);
        if (!s.icon.isNull() && s.standardIcon < 0) {
            std::fprintf(stderr, "bench_mainwindow: the icon of %s is shared, not made anew\n",
                         qPrintable(widget->objectName()));
        }
        s.iconSize = button->iconSize();
        if (const auto *tool = qobject_cast<const QToolButton *>(widget)) {
            s.toolButtonStyle = tool->toolButtonStyle();
        }
    } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        s.text = group->title();
    } else if (const auto *bar = qobject_cast<const QProgressBar *>(widget)) {
        s.textVisible = bar->isTextVisible();
        s.minimumValue = bar->minimum();
        s.maximumValue = bar->maximum();
        s.value = bar->value();
    }
    const int index = int(shape->widgets.size());
    shape->widgets.push_back(std::move(s));

    for (const QObject *child : widget->children()) {
        if (child->isWidgetType()) {
            takeWidget(static_cast<const QWidget *>(child), index, shape);
        }
    }
}

WindowShape takeShape(const QMainWindow &window) {
    WindowShape shape;
    shape.title = window.windowTitle();
    if (window.testAttribute(Qt::WA_SetFont)) {
        shape.font = window.font();
    }
    shape.size = window.size();
    for (const QObject *child : window.children()) {
        if (!child->isWidgetType()) {
            continue;
        }
        const auto *widget = static_cast<const QWidget *>(child);
        if (widget == window.centralWidget()) {
            takeWidget(widget, -1, &shape);
        } else if (const auto *bar = qobject_cast<const QMenuBar *>(widget)) {
            takeMenus(bar, &shape);
        } else if (widget->isWindow() && widget->isHidden()) {
            // A window of its own that the start made but does not show: its making is part of
            // what the program adds, and nothing of it is painted.
            shape.hiddenWindows << QStringLiteral("%1 (%2 widgets)")
                                       .arg(QLatin1String(widget->metaObject()->className()))
                                       .arg(widget->findChildren<QWidget *>().size() + 1);
        } else if (!widget->objectName().startsWith(QLatin1String("qt_"))) {
            benchdata::fail(QStringLiteral("the bare window has no place for %1 %2")
                                .arg(QLatin1String(qtClassName(widget)), widget->objectName()));
        }
    }
    return shape;
}

QWidget *makeWidget(const WidgetShape &s, QWidget *parent) {
    QWidget *widget = nullptr;
    switch (s.kind) {
        case Kind::Widget:
            widget = new QWidget(parent);
            break;
        case Kind::LineEdit:
            widget = new QLineEdit(s.text, parent);
            break;
        case Kind::Label: {
            auto *label = new QLabel(s.text, parent);
            label->setAlignment(s.alignment);
            if (s.frameShape != QFrame::NoFrame) {
                label->setFrameShape(s.frameShape);
                label->setFrameShadow(s.frameShadow);
            }
            if (s.autoFillBackground) {
                label->setAutoFillBackground(true);
                label->setBackgroundRole(s.backgroundRole);
            }
            widget = label;
            break;
        }
        case Kind::PushButton:
            widget = new QPushButton(s.text, parent);
            break;
        case Kind::ToolButton: {
            auto *button = new QToolButton(parent);
            button->setText(s.text);
            button->setToolButtonStyle(s.toolButtonStyle);
            widget = button;
            break;
        }
        case Kind::CheckBox: {
            auto *box = new QCheckBox(s.text, parent);
            box->setChecked(s.checked);
            widget = box;
            break;
        }
        case Kind::GroupBox:
            widget = new QGroupBox(s.text, parent);
            break;
        case Kind::ProgressBar: {
            auto *bar = new QProgressBar(parent);
            bar->setRange(s.minimumValue, s.maximumValue);
            bar->setValue(s.value);
            bar->setTextVisible(s.textVisible);
            widget = bar;
            break;
        }
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget); button && !s.icon.isNull()) {
        button->setIcon(s.standardIcon >= 0
                            ? button->style()->standardIcon(QStyle::StandardPixmap(s.standardIcon))
                            : s.icon);
        button->setIconSize(s.iconSize);
    }
    if (s.font) {
        widget->setFont(*s.font);
    }
    if (s.cursor) {
        widget->setCursor(*s.cursor);
    }
    widget->setMinimumSize(s.minimum);
    widget->setMaximumSize(s.maximum);
    widget->setGeometry(s.geometry);
    if (s.hidden) {
        widget->setVisible(false);
    }
    return widget;
}

void addAction(QWidget *owner, const ActionShape &shape) {
    if (shape.separator) {
        auto *separator = new QAction(owner);
        separator->setSeparator(true);
        owner->addAction(separator);
        return;
    }
    auto *action = new QAction(shape.text, owner);
    action->setShortcut(shape.shortcut);
    action->setCheckable(shape.checkable);
    action->setChecked(shape.checked);
    owner->addAction(action);
}

// Built in the order the main window builds itself: font, controls, menus, fixed size.
std::unique_ptr<QMainWindow> buildBareWindow(const WindowShape &shape) {
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(shape.title);
    if (shape.font) {
        window->setFont(*shape.font);
    }
    std::vector<QWidget *> made;
    made.reserve(shape.widgets.size());
    for (const WidgetShape &s : shape.widgets) {
        QWidget *widget = makeWidget(s, s.parent < 0 ? window.get() : made[size_t(s.parent)]);
        if (s.parent < 0) {
            window->setCentralWidget(widget);
        }
        made.push_back(widget);
    }
    if (!shape.menus.empty()) {
        QMenuBar *bar = window->menuBar();
        for (const MenuShape &menu : shape.menus) {
            if (menu.isMenu) {
                QMenu *popup = bar->addMenu(menu.title);
                for (const ActionShape &action : menu.actions) {
                    addAction(popup, action);
                }
            } else {
                addAction(bar, menu.actions.front());
            }
        }
    }
    window->setFixedSize(shape.size);
    return window;
}

std::unique_ptr<QMainWindow> startBareWindow(const WindowShape &shape, QPixmap *painted,
                                             StepClock *clock) {
    auto window = buildBareWindow(shape);
    clock->step("new");
    window->show();
    clock->step("show");
    *painted = window->grab();
    clock->step("paint");
    return window;
}

// ---------------------------------------------------------------------------------------------
// Test data

// The data folder: the database file and the settings files the start-up sequence reads. And
// the shape of the main window as it stands after its start, for the bare window.
struct Fixture {
    QTemporaryDir dir;
    QString dataFolder;
    WindowShape shape;

    Fixture() {
        if (!dir.isValid()) {
            benchdata::fail(QStringLiteral("no temporary folder"));
        }
        QElapsedTimer timer;
        timer.start();
        dataFolder = benchdata::makeDataFolder(dir.path(), QStringLiteral("data"));
        const QString databasePath =
            QDir(dataFolder).filePath(QLatin1String(storage::Database::kFileName));
        benchdata::writeStationSettings(dataFolder, QStringLiteral("JO22nb"));
        std::fprintf(stderr,
                     "bench_mainwindow: data folder %s: %d rounds, %.1f MB, made in %lld ms\n",
                     qPrintable(dataFolder), benchdata::kRoundCount,
                     double(QFileInfo(databasePath).size()) / 1e6, qint64(timer.elapsed()));

        FakeServices fakes;
        QPixmap painted;
        StepClock clock;
        clock.start();
        const std::unique_ptr<frmMain> window =
            startMainWindow(dataFolder, fakes, &painted, &clock);
        const QString wrong = whatIsWrong(*window, fakes);
        if (!wrong.isEmpty()) {
            benchdata::fail(wrong);
        }
        shape = takeShape(*window);

        QStringList counts;
        int widgets = 0;
        for (const auto &[className, count] : shape.counts) {
            counts << QStringLiteral("%1 %2").arg(count).arg(QLatin1String(className.c_str()));
            widgets += count;
        }
        int actions = 0;
        for (const MenuShape &menu : shape.menus) {
            actions += int(menu.actions.size());
        }
        std::fprintf(stderr,
                     "bench_mainwindow: the main window holds %d widgets (%s), %d actions\n",
                     widgets, qPrintable(counts.join(QStringLiteral(", "))), actions);
        if (!shape.hiddenWindows.isEmpty()) {
            std::fprintf(stderr,
                         "bench_mainwindow: left out of the bare window, as not shown: %s\n",
                         qPrintable(shape.hiddenWindows.join(QStringLiteral(", "))));
        }
    }
};

const Fixture &fixture() {
    static const Fixture f;
    return f;
}

void finishIteration(benchmark::State &state, const QElapsedTimer &timer) {
    state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
}

// Events left for the windows deleted, so that they do not pile up over the iterations.
void dropLeftovers() {
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------------------------------------
// Benchmarks

// A: the main window made, started, moved to the latest round and painted.
void BM_MainWindowStart(benchmark::State &state) {
    const Fixture &f = fixture();
    FakeServices fakes;
    StepClock clock;
    for (auto _ : state) {
        QPixmap painted;
        clock.start();
        std::unique_ptr<frmMain> window = startMainWindow(f.dataFolder, fakes, &painted, &clock);
        state.SetIterationTime(clock.seconds());
        const QString wrong = whatIsWrong(*window, fakes);
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        window.reset();
        dropLeftovers();
    }
    clock.report(state);
}

// B: the bare window with the same widgets made and painted.
void BM_BareWindowStart(benchmark::State &state) {
    const Fixture &f = fixture();
    StepClock clock;
    for (auto _ : state) {
        QPixmap painted;
        clock.start();
        std::unique_ptr<QMainWindow> window = startBareWindow(f.shape, &painted, &clock);
        state.SetIterationTime(clock.seconds());
        window.reset();
        dropLeftovers();
    }
    clock.report(state);
}

// Parts of A, each alone: the main window's constructor,
void BM_MainWindowConstruct(benchmark::State &state) {
    const Fixture &f = fixture();
    FakeServices fakes;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<frmMain>(f.dataFolder, fakes.services());
        finishIteration(state, timer);
        window.reset();
        dropLeftovers();
    }
}

// the bare window's build (the part of B before show and paint),
void BM_BareWindowBuild(benchmark::State &state) {
    const Fixture &f = fixture();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<QMainWindow> window = buildBareWindow(f.shape);
        finishIteration(state, timer);
        window.reset();
        dropLeftovers();
    }
}

// the start-up sequence, on a window made but not yet shown,
void BM_MainWindowLoad(benchmark::State &state) {
    const Fixture &f = fixture();
    FakeServices fakes;
    for (auto _ : state) {
        auto window = std::make_unique<frmMain>(f.dataFolder, fakes.services());
        QElapsedTimer timer;
        timer.start();
        window->load();
        finishIteration(state, timer);
        stopTimers(*window);
        if (fixture::ui(*window).Data1->Recordset().AbsolutePosition() != 0) {
            state.SkipWithError("the start-up sequence did not show the first round");
            break;
        }
        window.reset();
        dropLeftovers();
    }
}

// and the one-shot move to the latest round, on a started and shown window that is put back
// on the first round, where the start-up sequence leaves it, before every move.
void BM_MainWindowMoveToLatest(benchmark::State &state) {
    const Fixture &f = fixture();
    FakeServices fakes;
    QPixmap painted;
    StepClock clock;
    std::unique_ptr<frmMain> window = startMainWindow(f.dataFolder, fakes, &painted, &clock);
    for (auto _ : state) {
        fixture::ui(*window).Data1->Recordset().MoveFirst();
        dropLeftovers();
        QElapsedTimer timer;
        timer.start();
        window->tmrRonde_Timer();
        finishIteration(state, timer);
        const QString wrong = whatIsWrong(*window, fakes);
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
    }
}

void configure(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(7)->ReportAggregatesOnly(true);
}

// The console table, followed by the ratio of the medians of the two window starts.
class Reporter : public benchmark::ConsoleReporter {
public:
    // In colour only on a terminal, as the library's own table.
    Reporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred) {
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto main = medians_.find("BM_MainWindowStart");
        const auto bare = medians_.find("BM_BareWindowStart");
        if (main != medians_.end() && bare != medians_.end() && bare->second > 0) {
            std::fprintf(stdout,
                         "\nMain window start / bare window start (medians): %.2f ms / %.2f ms "
                         "= %.2f\n",
                         main->second, bare->second, main->second / bare->second);
            std::fflush(stdout);
        }
    }

private:
    std::map<std::string, double> medians_;
};

}  // namespace

BENCHMARK(BM_MainWindowStart)->Apply(configure);
BENCHMARK(BM_BareWindowStart)->Apply(configure);
BENCHMARK(BM_MainWindowConstruct)->Apply(configure);
BENCHMARK(BM_BareWindowBuild)->Apply(configure);
BENCHMARK(BM_MainWindowLoad)->Apply(configure);
BENCHMARK(BM_MainWindowMoveToLatest)->Apply(configure);

int main(int argc, char *argv[]) {
    const auto app = benchmain::start(argc, argv);
    if (!app) {
        return 1;
    }
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
