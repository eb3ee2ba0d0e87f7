#include "Fixture.h"
#include "TestMain.h"

#include "MainControls.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "timing/Clocks.h"
#include "timing/RoundTime.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>
#include <memory>
#include <optional>

using platform::MessageAnswer;
using platform::MessageStyle;
using roundsheet::frmMain;
using timing::RoundTime;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

const QString kTimeUp = QStringLiteral("Ronde tijd zit er op, brei er maar een eind aan!");
const QString kPaused = QStringLiteral("Tijd gepauzeerd");
const QString kResumed = QStringLiteral("Tijd gaat verder");
const QString kSpeech = QStringLiteral("Moet nog gemaakt worden :)");
const QColor kRed(255, 0, 0);

// Message boxes that can run something while a box is on screen, as a timer tick would.
class OnScreenMessageBoxes : public platform::fakes::FakeMessageBoxes {
public:
    std::function<void()> whileShown;

    MessageAnswer show(QWidget *owner, const QString &text, MessageStyle style,
                       const QString &title = {}) override {
        runWhileShown();
        return FakeMessageBoxes::show(owner, text, style, title);
    }
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title = {},
                                 const QString &defaultText = {}) override {
        runWhileShown();
        return FakeMessageBoxes::input(owner, prompt, title, defaultText);
    }

private:
    void runWhileShown() {
        if (whileShown) {
            const std::function<void()> run = std::exchange(whileShown, {});
            run();
        }
    }
};

}  // namespace

class TimingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::FakesWith<OnScreenMessageBoxes> fakes_;
    std::unique_ptr<frmMain> w_;

    QString file(const char *name) const {
        return QDir(dir_->path()).filePath(QLatin1String(name));
    }

    void writeFile(const char *name, const QByteArray &bytes) {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QByteArray readFile(const char *name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    frmMain &makeWindow() {
        w_ = std::make_unique<frmMain>(dir_->path(), fakes_.services());
        w_->load();
        // The start-up timers are driven by hand here; the clocks run.
        w_->startupTimer->stop();
        w_->tmrRonde->stop();
        return *w_;
    }

    // A window whose round began with the planned time in the file rondetijd, as the start
    // dialog begins it.
    frmMain &roundWithPlan(const QByteArray &rondetijd) {
        writeFile("rondetijd", rondetijd + "\r\n");
        frmMain &w = makeWindow();
        w.tmrRondeTijd->start();
        return w;
    }

    void advanceSecs(qint64 seconds) { fakes_.clock.advanceMs(seconds * 1000); }

    QStringList shownTexts() const {
        QStringList texts;
        for (const auto &box : fakes_.messages.shown()) {
            texts << box.text;
        }
        return texts;
    }

    // The boxes of the clocks and the round time all have an OK button only, no icon and the
    // application's title.
    void verifyPlainBoxes() const {
        for (const auto &box : fakes_.messages.shown()) {
            QCOMPARE(box.style, MessageStyle::OkOnly);
            QCOMPARE(box.title, QStringLiteral("Kringbaas"));
        }
    }

    static QColor label5Colour(const frmMain &w) {
        return fixture::ui(w).Label5->palette().color(QPalette::WindowText);
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        fakes_.clock.setUtcNow(QDateTime(QDate(2026, 12, 10), QTime(19, 15, 0), QTimeZone::utc()));
        fakes_.messages.clear();
        fakes_.messages.whileShown = {};
    }
    void cleanup() {
        if (w_) {
            w_->close();
        }
        w_.reset();
    }

    // --- the clocks and the add button -------------------------------------------------------

    void clockText_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("afternoon") << QTime(14, 3, 9) << "14:03:09";
        QTest::newRow("morning") << QTime(8, 5, 0) << "08:05:00";
        QTest::newRow("midnight") << QTime(0, 0, 0) << "00:00:00";
        QTest::newRow("last second") << QTime(23, 59, 59, 999) << "23:59:59";
    }
    void clockText() {
        QFETCH(QTime, time);
        QTEST(timing::clockText(time), "text");
    }

    void clocksShowLocalAndUtcTime() {
        frmMain &w = makeWindow();
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 100);
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(14, 3, 9)));
        fakes_.clock.setUtcNow(QDateTime(QDate(2026, 12, 10), QTime(8, 5, 0), QTimeZone::utc()));
        QVERIFY(w.Timer1->fire());
        QCOMPARE(fixture::ui(w).lblKlok->text(), QStringLiteral("14:03:09"));
        QCOMPARE(fixture::ui(w).lblUTC->text(), QStringLiteral("08:05:00"));
        // The clocks tick on; the week label stays as the start filled it.
        const QString week = fixture::ui(w).lblWeek->text();
        advanceSecs(61);
        QVERIFY(w.Timer1->fire());
        QCOMPARE(fixture::ui(w).lblKlok->text(), QStringLiteral("14:04:10"));
        QCOMPARE(fixture::ui(w).lblUTC->text(), QStringLiteral("08:06:01"));
        QCOMPARE(fixture::ui(w).lblWeek->text(), week);
        QVERIFY(w.Timer1->isActive());
    }

    // A screen reader reads what the window shows: the clocks, the week, the round number and the
    // round's times, each with what it is.
    void valuesAreReadByAScreenReader() {
        writeFile("rondetijd", "45\r\n");
        fixture::seedTable(dir_->path(), "ronde", fixture::numberedRounds(3));
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(14, 3, 9)));
        fakes_.clock.setUtcNow(QDateTime(QDate(2026, 12, 10), QTime(8, 5, 0), QTimeZone::utc()));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        QVERIFY(w.Timer1->fire());
        fixture::ui(w).txtRondeNR->setText(QStringLiteral("17"));
        fixture::ui(w).Label5->setText(
            QStringLiteral("Ronde is gestart om 14:03 uur.   "
                           "Verwachtte eindtijd 14:48 uur."));

        // Every node of the window's accessible tree, by what a screen reader reads as its name
        // and its value.
        struct Node {
            QString name, value, description;
            QStringList labelledBy;
        };
        QList<Node> nodes;
        std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
            Node seen{node->text(QAccessible::Name),
                      node->text(QAccessible::Value),
                      node->text(QAccessible::Description),
                      {}};
            for (const auto &[other, relation] : node->relations(QAccessible::Label)) {
                seen.labelledBy << other->text(QAccessible::Name);
            }
            nodes << seen;
            for (int i = 0; i < node->childCount(); ++i) {
                walk(node->child(i));
            }
        };
        const auto find = [&](const QString &shown) -> std::optional<Node> {
            nodes.clear();
            walk(QAccessible::queryAccessibleInterface(&w));
            for (const Node &node : nodes) {
                if (node.name == shown || node.value == shown) {
                    return node;
                }
            }
            return std::nullopt;
        };

        const std::optional<Node> local = find(QStringLiteral("14:03:09"));
        QVERIFY(local);
        QCOMPARE(local->description, QStringLiteral("Huidige Tijd"));
        QCOMPARE(local->labelledBy, QStringList{QStringLiteral("Huidige Tijd:")});
        const std::optional<Node> utc = find(QStringLiteral("08:05:00"));
        QVERIFY(utc);
        QCOMPARE(utc->labelledBy, QStringList{QStringLiteral("UTC Tijd : ")});
        QCOMPARE(fixture::ui(w).lblWeek->text(), QStringLiteral("Week 49"));
        QVERIFY(find(QStringLiteral("Week 49")));
        const std::optional<Node> round = find(QStringLiteral("17"));
        QVERIFY(round);
        QCOMPARE(round->name, QStringLiteral("Rondenummer"));
        QVERIFY(find(fixture::ui(w).Label5->text()));

        // The round caption, also after a move to another round.
        QVERIFY(find(QStringLiteral("Ronde : 3 van de 3")));
        fixture::ui(w).Data1->Recordset().setAbsolutePosition(1);
        QVERIFY(find(QStringLiteral("Ronde : 2 van de 3")));
        QVERIFY(!find(QStringLiteral("Ronde : 3 van de 3")));
    }

    void addButtonFollowsTheRoundMode_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("uit") << "uit" << false;
        QTest::newRow("Uit") << "Uit" << true;
        QTest::newRow("UIT") << "UIT" << true;
        QTest::newRow("uit with a blank") << "uit " << true;
        QTest::newRow("aan") << "aan" << true;
        QTest::newRow("initial Text6") << "Text6" << true;
        QTest::newRow("empty") << "" << true;
    }
    void addButtonFollowsTheRoundMode() {
        QFETCH(QString, mode);
        QFETCH(bool, enabled);
        QCOMPARE(timing::addButtonEnabled(mode), enabled);
        // The sheet holds one of three modes; the clock's tick shows the button as its word says.
        using roundmodel::RoundMode;
        for (RoundMode held : {RoundMode::NotChosen, RoundMode::On, RoundMode::Off}) {
            if (roundmodel::modeWord(held) != mode) {
                continue;
            }
            frmMain &w = makeWindow();
            w.sheet().setMode(held);
            fixture::ui(w).Command1->setEnabled(!enabled);
            QVERIFY(w.Timer1->fire());
            QCOMPARE(fixture::ui(w).Command1->isEnabled(), enabled);
        }
    }

    // The round time follows its timer through these reports: one per change, whoever starts or
    // stops it, for the program's timers and the tests' alike.
    void timerReportsItsStartsAndStops_data() {
        QTest::addColumn<bool>("byHand");
        QTest::newRow("event loop") << false;
        QTest::newRow("by hand") << true;
    }
    void timerReportsItsStartsAndStops() {
        QFETCH(bool, byHand);
        QObject owner;
        platform::EventLoopTimers eventLoop;
        platform::Timers &timers =
            byHand ? static_cast<platform::Timers &>(fakes_.timers) : eventLoop;
        platform::Timer *timer = timers.make(&owner, "tmrTest", 250, false);
        QStringList reports;
        QObject::connect(timer, &platform::Timer::started, &owner,
                         [&] { reports << QStringLiteral("started"); });
        QObject::connect(timer, &platform::Timer::stopped, &owner,
                         [&] { reports << QStringLiteral("stopped"); });
        QObject::connect(timer, &platform::Timer::timeout, &owner, [] {});
        timer->stop();
        timer->start();
        timer->start();
        timer->stop();
        timer->stop();
        timer->start();
        QCOMPARE(reports, (QStringList{"started", "stopped", "started"}));
        timer->stop();

        // A one-shot timer stops as it fires.
        platform::Timer *once = fakes_.timers.make(&owner, "tmrOnce", 100, true);
        int stops = 0;
        QObject::connect(once, &platform::Timer::stopped, &owner, [&] { ++stops; });
        QObject::connect(once, &platform::Timer::timeout, &owner,
                         [&] { QVERIFY(!once->isActive()); });
        once->start();
        QVERIFY(once->fire());
        QCOMPARE(stops, 1);
    }

    // --- the planned time ----------------------------------------------------------------------

    void maximumOfAPlannedTime_data() {
        QTest::addColumn<QString>("planned");
        QTest::addColumn<std::optional<double>>("maximum");
        QTest::newRow("1 minute") << "1" << std::optional<double>(3540);
        QTest::newRow("45 minutes") << "45" << std::optional<double>(45 * 3540);
        QTest::newRow("blanks around") << " 45 " << std::optional<double>(45 * 3540);
        QTest::newRow("decimal comma") << "1,5" << std::optional<double>(5310);
        QTest::newRow("decimal point") << "0.5" << std::optional<double>(1770);
        QTest::newRow("longest") << "32767" << std::optional<double>(32767.0 * 3540);
        QTest::newRow("non-breaking space")
            << QString::fromUtf8("2\u00A0") << std::optional<double>(2 * 3540);
        QTest::newRow("a few ticks") << "0.0009765625" << std::optional<double>(3.45703125);
        QTest::newRow("less than a tick") << "0.0001" << std::optional<double>();
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("blanks") << "   " << std::optional<double>();
        QTest::newRow("zero") << "0" << std::optional<double>();
        QTest::newRow("negative") << "-5" << std::optional<double>();
        QTest::newRow("text") << "drie kwartier" << std::optional<double>();
        QTest::newRow("number and text") << "45 min" << std::optional<double>();
        QTest::newRow("exponent") << "1e3" << std::optional<double>();
        QTest::newRow("too long") << "32768" << std::optional<double>();
        QTest::newRow("huge") << QString(400, QLatin1Char('9')) << std::optional<double>();
    }
    void maximumOfAPlannedTime() {
        QFETCH(QString, planned);
        QTEST(RoundTime::maximum(planned), "maximum");
    }

    // The count is running time times 59 per second, without pauses, however often it is read.
    void roundTimeCountsRunningTime() {
        RoundTime time;
        time.start(1000);
        QCOMPARE(time.count(1000), 0.0);
        QCOMPARE(time.count(11000), 590.0);
        time.start(11000);  // already running: nothing changes
        QCOMPARE(time.count(21000), 1180.0);
        time.stop(21000);
        QCOMPARE(time.count(621000), 1180.0);
        time.start(621000);
        QCOMPARE(time.count(622000), 1239.0);
        time.reset(622000);
        QCOMPARE(time.count(622000), 0.0);
        QCOMPARE(time.count(632000), 590.0);
        // A clock that went back adds nothing.
        time.reset(700000);
        QCOMPARE(time.count(600000), 0.0);
    }

    // A one-minute plan fills the bar in one minute of the clock, whatever the timer delivers:
    // half at 30 s, full with one warning at 60 s, nothing more after.
    void oneMinutePlanFillsInOneMinute() {
        frmMain &w = roundWithPlan("1");
        QVERIFY(w.tmrRondeTijd->isActive());
        QVERIFY(w.tmrRondeTijd->interval() >= 100);  // no wake-ups the screen does not need

        advanceSecs(30);
        // A busy event loop that delivers many ticks at once counts nothing extra.
        for (int i = 0; i < 100; ++i) {
            QVERIFY(w.tmrRondeTijd->fire());
        }
        QCOMPARE(fixture::ui(w).ProgressBar1->minimum(), 0);
        QCOMPARE(fixture::ui(w).ProgressBar1->maximum(), 3540);
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 1770);
        QVERIFY(fakes_.messages.shown().isEmpty());

        // A stalled event loop whose next tick comes late loses nothing either.
        fakes_.clock.advanceMs(29999);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 3539);
        QVERIFY(fakes_.messages.shown().isEmpty());

        fakes_.clock.advanceMs(1);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 3540);
        QCOMPARE(shownTexts(), QStringList{kTimeUp});
        verifyPlainBoxes();
        QVERIFY(!w.tmrRondeTijd->isActive());

        advanceSecs(600);
        QVERIFY(!w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 3540);
        QCOMPARE(fakes_.messages.shown().size(), 1);
    }

    // The timer is stopped before the warning shows: a tick while it is on screen does nothing.
    void noSecondWarningWhileTheFirstIsOnScreen() {
        frmMain &w = roundWithPlan("1");
        advanceSecs(60);
        int firedDuringWarning = -1;
        fakes_.messages.whileShown = [&] {
            advanceSecs(5);
            firedDuringWarning = int(w.tmrRondeTijd->fire());
        };
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(firedDuringWarning, 0);
        QCOMPARE(shownTexts(), QStringList{kTimeUp});
    }

    // The round's begin time, its round time and a participant's placed time count from when the
    // call stands on the sheet: the question its look-up asks (a locator that is not valid) and
    // the time the controller takes to answer it are not part of them.
    void timesCountFromAfterTheLookUpsQuestion() {
        writeFile("rondetijd", "1\r\n");
        fixture::seedTable(dir_->path(), "qrz",
                           {{{"call", "PE1BAD"}, {"naam", "Piet"}, {"grid", "XX99"}},
                            {{"call", "PD1BAD"}, {"naam", "Els"}, {"grid", "YY00"}}});
        frmMain &w = makeWindow();
        QVERIFY(w.sheet().addNew());
        const QDateTime asked = fakes_.clock.utcNow();
        fakes_.messages.whileShown = [this] { advanceSecs(20); };
        w.beginRound(QStringLiteral("PE1BAD"), QStringLiteral("Piet"));
        QCOMPARE(fakes_.messages.shown().size(), 1);  // the locator's question
        QCOMPARE(storage::storedTimeText(w.sheet().beginTime()),
                 storage::storedTimeText(asked.addSecs(20)));
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 0);

        fakes_.messages.whileShown = [this] { advanceSecs(15); };
        {
            roundsheet::frmToevoegen box(w);
            box.Text1->setText(QStringLiteral("PD1BAD"));
            box.Text1_Enter();
        }
        w.tmrToeVoeg->stop();
        QCOMPARE(fakes_.messages.shown().size(), 2);
        QCOMPARE(storage::storedTimeText(w.sheet().row(1).placedAt),
                 storage::storedTimeText(asked.addSecs(35)));
    }

    // A click pauses and the next resumes; a pause of ten minutes adds nothing.
    void pauseAndResume() {
        frmMain &w = roundWithPlan("1");
        advanceSecs(20);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 1180);

        advanceSecs(1);
        QTest::mouseClick(fixture::ui(w).ProgressBar1, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{kPaused});
        QVERIFY(!w.tmrRondeTijd->isActive());
        QCOMPARE(label5Colour(w), kRed);

        advanceSecs(600);
        QTest::mouseClick(fixture::ui(w).ProgressBar1, Qt::LeftButton);
        QCOMPARE(shownTexts(), (QStringList{kPaused, kResumed}));
        verifyPlainBoxes();
        QVERIFY(w.tmrRondeTijd->isActive());
        QCOMPARE(label5Colour(w), w.palette().color(QPalette::ButtonText));
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 21 * 59);

        advanceSecs(38);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fakes_.messages.shown().size(), 2);
        advanceSecs(1);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(shownTexts().last(), kTimeUp);
    }

    // A right click, or a press that ends beside the bar, is no click.
    void onlyALeftClickOnTheBarCounts() {
        frmMain &w = roundWithPlan("1");
        QTest::mouseClick(fixture::ui(w).ProgressBar1, Qt::RightButton);
        QTest::mousePress(fixture::ui(w).ProgressBar1, Qt::LeftButton);
        QTest::mouseRelease(fixture::ui(w).ProgressBar1, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(fakes_.messages.shown().isEmpty());
        QVERIFY(w.tmrRondeTijd->isActive());
    }

    // Without a round the timer stands still; a click on the bar starts it.
    void clickWithoutARoundStartsTheRoundTime() {
        writeFile("rondetijd", "1\r\n");
        frmMain &w = makeWindow();
        QVERIFY(!w.tmrRondeTijd->isActive());
        advanceSecs(600);
        w.ProgressBar1_Click();
        QCOMPARE(shownTexts(), QStringList{kResumed});
        QVERIFY(w.tmrRondeTijd->isActive());
        advanceSecs(6);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 6 * 59);
    }

    // After the warning a restart without a new planned time is up at once; the warning waits
    // until the box "Tijd gaat verder" is answered.
    void restartAfterTheWarningWarnsAgain() {
        frmMain &w = roundWithPlan("1");
        advanceSecs(60);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(shownTexts(), QStringList{kTimeUp});

        fakes_.messages.whileShown = [&] { QVERIFY(w.tmrRondeTijd->fire()); };
        w.ProgressBar1_Click();
        QCOMPARE(shownTexts(), (QStringList{kTimeUp, kResumed}));
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 3540);
        QVERIFY(w.tmrRondeTijd->isActive());

        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(shownTexts(), (QStringList{kTimeUp, kResumed, kTimeUp}));
        QVERIFY(!w.tmrRondeTijd->isActive());

        // A new round begun in the same run is up at once as well.
        w.tmrRondeTijd->start();
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fakes_.messages.shown().size(), 4);
    }

    // Without a usable planned time the bar stays empty and nothing is said; a planned time set
    // later counts from that moment.
    void noUsablePlanLeavesTheBarEmpty_data() {
        QTest::addColumn<QByteArray>("rondetijd");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("empty") << QByteArray("\r\n");
        QTest::newRow("zero") << QByteArray("0\r\n");
        QTest::newRow("negative") << QByteArray("-10\r\n");
        QTest::newRow("text") << QByteArray("lang\r\n");
    }
    void noUsablePlanLeavesTheBarEmpty() {
        QFETCH(QByteArray, rondetijd);
        if (!rondetijd.isNull()) {
            writeFile("rondetijd", rondetijd);
        }
        frmMain &w = makeWindow();
        w.tmrRondeTijd->start();
        advanceSecs(3 * 3600);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 0);
        QVERIFY(fixture::ui(w).ProgressBar1->maximum() > fixture::ui(w).ProgressBar1->minimum());
        QVERIFY(fakes_.messages.shown().isEmpty());
        QVERIFY(w.tmrRondeTijd->isActive());

        fakes_.messages.queueInput(QStringLiteral("1"));
        w.rondetijd_Click();
        advanceSecs(30);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 1770);
    }

    // The start dialog's begin of a round starts the round time at that moment. The count kept
    // from before goes on (only the menu sets it back), and a running round time is not shown as
    // paused.
    void roundBegunInTheStartDialog() {
        writeFile("rondetijd", "1\r\n");
        frmMain &w = makeWindow();
        w.ProgressBar1_Click();
        advanceSecs(10);
        w.ProgressBar1_Click();
        QCOMPARE(label5Colour(w), kRed);
        advanceSecs(600);

        roundsheet::frmDialog dialog(w);
        dialog.tmrUnload->stop();
        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        dialog.tmrUnload_Timer();
        dialog.Text1->setText(QStringLiteral("PA3ABC"));
        dialog.Text2->setText(QStringLiteral("Henk"));
        dialog.OKButton_Click();
        QCOMPARE(dialog.outcome(), roundsheet::frmDialog::Outcome::RoundBegun);
        QVERIFY(w.tmrRondeTijd->isActive());
        QCOMPARE(label5Colour(w), w.palette().color(QPalette::ButtonText));

        advanceSecs(30);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 40 * 59);
    }

    // --- the menu "Ronde Tijd" -----------------------------------------------------------------

    void plannedTimeMenu() {
        frmMain &w = roundWithPlan("45");
        const QString progress = QStringLiteral(
            "Ronde is gestart om 20:15 uur.   Verwachtte "
            "eindtijd 21:00 uur.");
        w.sheet().setText(roundmodel::Field::Progress, progress);
        advanceSecs(600);
        QVERIFY(w.tmrRondeTijd->fire());
        QVERIFY(fixture::ui(w).ProgressBar1->value() > 0);

        // 90 minutes at 20:25 from the menu.
        fakes_.messages.queueInput(QStringLiteral("90"));
        w.rondetijd->trigger();
        QCOMPARE(fakes_.messages.asked().size(), 1);
        const auto &asked = fakes_.messages.asked()[0];
        QCOMPARE(asked.prompt, QStringLiteral("Voer de geplande rondetijd in minuten in: "));
        QCOMPARE(asked.title, QStringLiteral("Hoelang moet de ronde ongeveer duren"));
        QCOMPARE(asked.defaultText, QStringLiteral("45"));
        QCOMPARE(readFile("rondetijd"), QByteArray("90\r\n"));
        QCOMPARE(w.sheet().plannedTime(), QStringLiteral("90"));
        QCOMPARE(fixture::ui(w).Label5->text(),
                 progress + QStringLiteral("  Geplande eindtijd 21:55 uur."));
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 0);
        QVERIFY(w.tmrRondeTijd->isActive());  // neither started nor stopped by the menu
        QVERIFY(w.Timer1->isActive());

        // The count starts again: after 45 of the 90 minutes the bar is half full.
        advanceSecs(45 * 60);
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->maximum(), 90 * 3540);
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 45 * 3540);

        // Used twice, two planned ends stand after each other; the old value is the default.
        fakes_.messages.queueInput(QStringLiteral("30"));
        w.rondetijd_Click();
        QCOMPARE(fakes_.messages.asked()[1].defaultText, QStringLiteral("90"));
        QCOMPARE(fixture::ui(w).Label5->text(),
                 progress + QStringLiteral("  Geplande eindtijd 21:55 uur.") +
                     QStringLiteral("  Geplande eindtijd 21:40 uur."));
        QVERIFY(fakes_.messages.shown().isEmpty());
    }

    // The end time said and the bar read the planned time alike; a time too short for one tick
    // of the bar is no plan: the bar stays empty (never Qt's busy bar) and no warning comes.
    void plannedEnd_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("appended");
        QTest::addColumn<std::optional<int>>("maximum");
        QTest::newRow("90 at 20:15")
            << QTime(20, 15) << "90"
            << "  Geplande eindtijd 21:45 uur." << std::optional<int>(90 * 3540);
        QTest::newRow("past midnight")
            << QTime(23, 30) << "45"
            << "  Geplande eindtijd 00:15 uur." << std::optional<int>(45 * 3540);
        QTest::newRow("half rounds to even")
            << QTime(20, 15) << "2,5"
            << "  Geplande eindtijd 20:17 uur." << std::optional<int>(8850);
        QTest::newRow("non-breaking space after")
            << QTime(20, 15) << QString::fromUtf8("90\u00A0") << "  Geplande eindtijd 21:45 uur."
            << std::optional<int>(90 * 3540);
        QTest::newRow("not a number") << QTime(20, 15) << "lang"
                                      << "  Geplande eindtijd 20:15 uur." << std::optional<int>();
        QTest::newRow("too short for the bar")
            << QTime(20, 15) << "0.0001"
            << "  Geplande eindtijd 20:15 uur." << std::optional<int>();
    }
    void plannedEnd() {
        QFETCH(QTime, now);
        QFETCH(QString, answer);
        QFETCH(QString, appended);
        QFETCH(std::optional<int>, maximum);
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), now));
        frmMain &w = makeWindow();
        const QString before = fixture::ui(w).Label5->text();
        fakes_.messages.queueInput(answer);
        w.rondetijd_Click();
        QCOMPARE(fixture::ui(w).Label5->text(), before + appended);
        QCOMPARE(readFile("rondetijd"), answer.toLatin1() + "\r\n");
        QCOMPARE(w.sheet().plannedTime(), answer);

        // The bar, at once and while the round time runs to past the planned end.
        for (int look = 0; look < 2; ++look) {
            QVERIFY(fixture::ui(w).ProgressBar1->maximum() >
                    fixture::ui(w).ProgressBar1->minimum());
            if (maximum) {
                QCOMPARE(fixture::ui(w).ProgressBar1->maximum(), *maximum);
            } else {
                QCOMPARE(fixture::ui(w).ProgressBar1->value(), 0);
                QVERIFY(fakes_.messages.shown().isEmpty());
            }
            w.tmrRondeTijd->start();
            advanceSecs(3600);
            w.tmrRondeTijd_Timer();
        }
        w.tmrRondeTijd->stop();
    }

    // Cancel, or an empty answer, changes nothing: not the file, not the text, not the count.
    void plannedTimeMenuCancelled_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::newRow("cancel") << std::optional<QString>();
        QTest::newRow("empty answer") << std::optional<QString>(QString());
    }
    void plannedTimeMenuCancelled() {
        QFETCH(std::optional<QString>, answer);
        frmMain &w = roundWithPlan("1");
        advanceSecs(30);
        QVERIFY(w.tmrRondeTijd->fire());
        const QString progress = fixture::ui(w).Label5->text();
        fakes_.messages.queueInput(answer);
        w.rondetijd_Click();
        QCOMPARE(fakes_.messages.asked().size(), 1);
        QCOMPARE(readFile("rondetijd"), QByteArray("1\r\n"));
        QCOMPARE(fixture::ui(w).Label5->text(), progress);
        QCOMPARE(w.sheet().plannedTime(), QStringLiteral("1"));
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 1770);
    }

    // The warning does not open over the input box; once it is answered the warning comes.
    void noWarningOverTheInputBox() {
        frmMain &w = roundWithPlan("1");
        advanceSecs(60);
        fakes_.messages.whileShown = [&] { QVERIFY(w.tmrRondeTijd->fire()); };
        fakes_.messages.queueInput(std::nullopt);
        w.rondetijd_Click();
        QVERIFY(fakes_.messages.shown().isEmpty());
        QVERIFY(w.tmrRondeTijd->fire());
        QCOMPARE(shownTexts(), QStringList{kTimeUp});
    }

    // A planned time that cannot be written still holds for this round, and the user hears of
    // it instead of believing it kept.
    void plannedTimeThatCannotBeWritten() {
        writeFile("rondetijd", "45\r\n");
        frmMain &w = makeWindow();
        QVERIFY(QFile::remove(file("rondetijd")));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("rondetijd")));
        fakes_.messages.queueInput(QStringLiteral("1"));
        w.rondetijd_Click();
        QCOMPARE(w.sheet().plannedTime(), QStringLiteral("1"));
        QVERIFY(fixture::ui(w).Label5->text().endsWith(
            QStringLiteral("  Geplande eindtijd 20:16 uur.")));
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("De geplande rondetijd is niet bewaard: het bestand rondetijd kan "
                                "niet worden geschreven."));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
    }

    // --- speech -------------------------------------------------------------------------------

    void speechToggleAlternates() {
        writeFile("stem", "1\r\n");
        frmMain &w = makeWindow();
        QVERIFY(w.spraak->isChecked());
        const QList<QByteArray> expected = {"0\r\n", "1\r\n", "0\r\n"};
        for (qsizetype i = 0; i < expected.size(); ++i) {
            w.spraak->trigger();
            QCOMPARE(readFile("stem"), expected[i]);
            QCOMPARE(w.spraak->isChecked(), expected[i] == "1\r\n");
            QCOMPARE(fakes_.messages.shown().size(), i + 1);
            QCOMPARE(fakes_.messages.shown().last().text, kSpeech);
        }
        verifyPlainBoxes();
    }

    // A tick that cannot be kept for the next start is said before the usual box.
    void speechTickThatCannotBeWritten() {
        frmMain &w = makeWindow();
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("stem")));
        w.spraak->trigger();
        QVERIFY(w.spraak->isChecked());
        QCOMPARE(fakes_.messages.shown().size(), 2);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("De keuze voor Spraak is niet bewaard: het bestand stem kan niet "
                                "worden geschreven."));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        QCOMPARE(fakes_.messages.shown()[1].text, kSpeech);
    }
};

KB_TEST_MAIN(TimingTest)
#include "tst_timing.moc"
