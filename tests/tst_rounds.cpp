#include "Fixture.h"
#include "TestMain.h"

#include "MainControls.h"
#include "hamlist/frmAmateur.h"
#include "platform/WebLauncher.h"
#include "roundmodel/DateTexts.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using platform::MessageAnswer;
using platform::MessageStyle;
using roundsheet::frmDialog;
using roundsheet::frmMain;
using roundsheet::frmToevoegen;

Q_DECLARE_METATYPE(platform::MessageAnswer)
Q_DECLARE_METATYPE(roundsheet::frmDialog::Outcome)

namespace {

const QColor kTurnColour(255, 255, 192);
const QString kDateText = QStringLiteral("donderdag 10 december 2026");

const char *outcomeName(frmDialog::Outcome outcome) {
    switch (outcome) {
        case frmDialog::Outcome::Open:
            return "Open";
        case frmDialog::Outcome::Browse:
            return "Browse";
        case frmDialog::Outcome::Abandoned:
            return "Abandoned";
        case frmDialog::Outcome::RoundBegun:
            return "RoundBegun";
        case frmDialog::Outcome::NotBegun:
            return "NotBegun";
    }
    return "?";
}

// A stored value as text that tells a field without value from an empty one.
QString describe(const QVariant &value) {
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        return text.isNull() ? QStringLiteral("<null>")
                             : QLatin1Char('"') + text + QLatin1Char('"');
    }
    if (!value.isValid()) {
        return QStringLiteral("<invalid>");
    }
    return QString::fromLatin1(value.typeName()) + QLatin1Char(':') + value.toString();
}

// Every record of a table, each as "field=value" entries.
QList<QStringList> storedRecords(const QString &folder, const char *table) {
    QList<QStringList> records;
    const storage::TableDef *def = storage::findTable(QString::fromLatin1(table));
    for (const storage::RecordValues &values : fixture::storedValues(folder, table)) {
        QStringList record;
        for (size_t f = 0; f < values.size(); ++f) {
            record << def->fields[qsizetype(f)] + QLatin1Char('=') + describe(values[f]);
        }
        records << record;
    }
    return records;
}

// One field of every round, described.
QStringList storedField(const QString &folder, const QString &field) {
    QStringList values;
    const int index = storage::rondeTable().fieldIndex(field);
    for (const storage::RecordValues &record : fixture::storedValues(folder, "ronde")) {
        values << describe(record[size_t(index)]);
    }
    return values;
}

QString quoted(const QString &text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The hams the look-ups find. Their QTHs are upper case already, as the sheet shows QTHs.
QList<fixture::Record> hams() {
    auto ham = [](const char *call, const char *naam, const char *qth, const char *grid,
                  const char *topic) {
        return fixture::Record{{"call", QString::fromUtf8(call)},
                               {"naam", QString::fromUtf8(naam)},
                               {"qth", QString::fromUtf8(qth)},
                               {"grid", QString::fromUtf8(grid)},
                               {"byzonderheden", QString::fromUtf8(topic)}};
    };
    return {ham("PA3ABC", "Henk", "DELFT", "JO33AB", "Antennes bouwen"),
            ham("PE1BAD", "Piet", "GOUDA", "JO2", "Fietsen"),
            ham("QX9ZZA", "Maker", "ZOETERMEER", "JO22AB", "iets anders")};
}

// Counts the times a window is hidden.
class HideCounter : public QObject {
public:
    explicit HideCounter(QWidget *window) : window_(window) { window->installEventFilter(this); }
    ~HideCounter() override {
        if (window_) {
            window_->removeEventFilter(this);
        }
    }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == window_ && event->type() == QEvent::Hide) {
            ++count;
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

// Escape in a call entry box, which closes it.
void escapeCallEntry(QWidget *window) {
    auto *box = qobject_cast<frmToevoegen *>(window);
    QVERIFY(box);
    QTest::keyClick(box->Text1, Qt::Key_Escape);
}

// Message boxes that stay on screen a while: each one answered moves the clock on.
class SlowAnswers : public platform::fakes::FakeMessageBoxes {
public:
    MessageAnswer show(QWidget *owner, const QString &text, MessageStyle style,
                       const QString &title = {}) override {
        if (clock) {
            clock->advanceSecs(secondsOnScreen);
        }
        return FakeMessageBoxes::show(owner, text, style, title);
    }
    platform::fakes::FakeClock *clock = nullptr;
    qint64 secondsOnScreen = 0;
};

// A call entry box answered by typing a call and Enter.
std::function<void(QWidget *)> typeCall(const QString &call) {
    return [call](QWidget *window) {
        auto *box = qobject_cast<frmToevoegen *>(window);
        QVERIFY(box);
        QTest::keyClicks(box->Text1, call);
        QTest::keyClick(box->Text1, Qt::Key_Return);
    };
}

// What a control shows as its background: a pixel of it as drawn, inside its frame near its
// right edge (text stands left in the boxes and in the middle of the buttons).
QString drawnColour(QWidget *control) {
    const QImage image = control->grab().toImage();
    return image.pixelColor(image.width() - 8, image.height() / 2).name();
}

}  // namespace

namespace QTest {
template <>
char *toString(const frmDialog::Outcome &outcome) {
    return qstrdup(outcomeName(outcome));
}
}  // namespace QTest

class RoundsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    std::unique_ptr<ModalAnswers> modals_;
    std::unique_ptr<frmDialog> dialog_;
    std::unique_ptr<frmMain> w_;

    QString folder() const { return dir_->path(); }
    QString file(const char *name) const { return QDir(folder()).filePath(QLatin1String(name)); }

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
        w_ = fixture::makeMainWindow(folder(), fakes_.services());
        return *w_;
    }

    // The main window on screen with the focus, for keys, clicks and focus changes.
    bool showWindow(QWidget &window) {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    // The start dialog as the main window makes it, its unload timer stopped.
    frmDialog &makeDialog(frmMain &main) {
        dialog_ = std::make_unique<frmDialog>(main);
        dialog_->tmrUnload->stop();
        return *dialog_;
    }

    // The start dialog answered Yes: a new round is pending.
    frmDialog &newRoundDialog(frmMain &main) {
        frmDialog &dlg = makeDialog(main);
        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        dlg.tmrUnload_Timer();
        return dlg;
    }

    // Rows 1..count hold unknown calls PD0A1, PD0A2, ...
    static void fillRows(frmMain &w, int count) {
        for (int i = 0; i < count; ++i) {
            fixture::ui(w).Text1[i]->setText(QStringLiteral("PD0A%1").arg(i + 1));
        }
    }

    static QStringList calls(const frmMain &w) {
        QStringList result;
        for (const platform::TextBox *box : fixture::ui(w).Text1) {
            result << box->text();
        }
        return result;
    }

    static QStringList rowTexts(const frmMain &w, int i) {
        return {fixture::ui(w).Text1[i]->text(), fixture::ui(w).Text2[i]->text(),
                fixture::ui(w).Text3[i]->text(), fixture::ui(w).Text4[i]->text(),
                fixture::ui(w).Text5[i]->text()};
    }

    static QList<QWidget *> frozenByMark(frmMain &w, int i, bool listening) {
        return {fixture::ui(w).Text1[i],
                fixture::ui(w).Text2[i],
                fixture::ui(w).Text3[i],
                fixture::ui(w).Text4[i],
                fixture::ui(w).cmdBeurt[i],
                listening ? static_cast<QWidget *>(fixture::ui(w).Check1[i])
                          : fixture::ui(w).Check2[i]};
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        fakes_.messages.clear();
        fakes_.web.clear();
        modals_ = std::make_unique<ModalAnswers>();
        writeFile("basis", "PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n");
        fixture::seedTable(folder(), "qrz", hams());
    }
    void cleanup() {
        dialog_.reset();
        if (w_) {
            w_->close();
        }
        w_.reset();
        const QStringList problems = modals_->problems();
        const qsizetype pending = modals_->pending();
        modals_.reset();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(pending, 0);
    }

    // --- the start dialog ------------------------------------------------------------------

    void startDialogAsksForANewRound() {
        frmMain &w = makeWindow();
        frmDialog dlg(w);
        QCOMPARE(dlg.objectName(), QStringLiteral("frmDialog"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Welkom Kringbaas"));
        QCOMPARE(dlg.OKButton->text(), QStringLiteral("Begin Ronde"));
        QVERIFY(!dlg.OKButton->isEnabled());
        QVERIFY(dlg.tmrUnload->isActive());
        dlg.tmrUnload->stop();

        fakes_.messages.queueAnswer(MessageAnswer::No);
        dlg.tmrUnload_Timer();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text, QStringLiteral("Een niewe ronde beginnen?"));
        QCOMPARE(fakes_.messages.shown()[0].title,
                 QStringLiteral("Kies nieuwe ronde of oud bekijken"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::YesNoQuestion);
    }

    void answerYesPreparesANewRound() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(10));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        fixture::ui(w).Command1->setEnabled(false);
        fixture::ui(w).Command3->setEnabled(false);
        frmDialog &dlg = makeDialog(w);
        QVERIFY(showWindow(dlg));
        dlg.Text1->setText(QStringLiteral("PA3ABC"));
        dlg.Text2->setText(QStringLiteral("Henk"));
        QVERIFY(dlg.OKButton->isEnabled());

        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        dlg.tmrUnload_Timer();

        QCOMPARE(fixture::ui(w).Data1->Recordset().state(), storage::CursorState::PendingNew);
        for (const platform::TextBox *box :
             {fixture::ui(w).txtKringbaasCall, fixture::ui(w).txtKringbaasNaam,
              fixture::ui(w).txtDatum}) {
            QCOMPARE(box->text(), QString());
        }
        for (int i = 0; i < frmMain::kRows; ++i) {
            QCOMPARE(rowTexts(w, i), QStringList({"", "", "", "", ""}));
            QVERIFY(!fixture::ui(w).Check2[i]->isChecked());
        }
        QVERIFY(fixture::ui(w).Command1->isEnabled());
        QVERIFY(fixture::ui(w).Command3->isEnabled());
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("11"));
        QCOMPARE(readFile("flag"), QByteArray("aan\r\n"));
        QCOMPARE(roundmodel::modeWord(w.sheet().mode()), QStringLiteral("aan"));
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::Open);
        QVERIFY(dlg.isVisible());
        QVERIFY(!dlg.OKButton->isEnabled());
    }

    // Answer No, or Yes followed by Escape in the call box: the latest round is shown again and
    // nothing is stored.
    void leavingWithoutARound_data() {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<frmDialog::Outcome>("outcome");
        QTest::newRow("No") << false << frmDialog::Outcome::Browse;
        QTest::newRow("Yes, then Escape") << true << frmDialog::Outcome::Abandoned;
    }
    void leavingWithoutARound() {
        QFETCH(bool, escape);
        QFETCH(frmDialog::Outcome, outcome);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(10));
        const QList<QStringList> seeded = storedRecords(folder(), "ronde");
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        frmDialog &dlg = makeDialog(w);
        fakes_.messages.queueAnswer(escape ? MessageAnswer::Yes : MessageAnswer::No);
        if (escape) {
            dlg.tmrUnload_Timer();
        }
        QStringList numbers;
        connect(&w.sheet(), &roundmodel::RoundSheet::textChanged, &dlg,
                [&numbers, &w](roundmodel::Field field) {
                    if (field == roundmodel::Field::RoundNumber) {
                        numbers << w.sheet().text(field);
                    }
                });
        if (escape) {
            QTest::keyClick(dlg.Text1, Qt::Key_Escape);
        } else {
            dlg.tmrUnload_Timer();
        }

        QCOMPARE(dlg.outcome(), outcome);
        QCOMPARE(numbers, QStringList({"", "9", "10"}));  // emptied, back, forth
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 10 van de 10"));
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA10"));
        QVERIFY(!fixture::ui(w).Command1->isEnabled());
        if (escape) {
            QVERIFY(!fixture::ui(w).Command3->isEnabled());
        }
        QCOMPARE(readFile("flag"), QByteArray("uit\r\n"));
        QCOMPARE(roundmodel::modeWord(w.sheet().mode()), QStringLiteral("uit"));
        QVERIFY(!dlg.isVisible());

        dialog_.reset();
        w.close();
        QCOMPARE(storedRecords(folder(), "ronde"), seeded);
    }

    void beginButtonNeedsCallAndName_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("nothing") << ""
                                 << "" << false;
        QTest::newRow("name only") << ""
                                   << "Henk" << false;
        QTest::newRow("call only") << "PA3ABC"
                                   << "" << false;
        QTest::newRow("two letters never") << "PA3ABC"
                                           << "Ab" << false;
        QTest::newRow("three letters") << "K"
                                       << "Abc" << true;
        QTest::newRow("blank call counts") << "   "
                                           << "Abc" << true;
        QTest::newRow("blank name counts") << "PA3ABC"
                                           << "   " << true;
    }
    void beginButtonNeedsCallAndName() {
        QFETCH(QString, call);
        QFETCH(QString, name);
        frmMain &w = makeWindow();
        frmDialog &dlg = newRoundDialog(w);
        dlg.Text1->setText(call);
        dlg.Text2->setText(name);
        QTEST(dlg.OKButton->isEnabled(), "enabled");
        // The order of typing does not matter.
        dlg.Text1->clear();
        dlg.Text2->clear();
        QVERIFY(!dlg.OKButton->isEnabled());
        dlg.Text2->setText(name);
        dlg.Text1->setText(call);
        QTEST(dlg.OKButton->isEnabled(), "enabled");
    }

    void callAndNameBoxKeys() {
        frmMain &w = makeWindow();
        frmDialog &dlg = newRoundDialog(w);
        QVERIFY(showWindow(dlg));
        dlg.Text1->setFocus();
        QTest::keyClicks(dlg.Text1, QStringLiteral("pd9zz"));
        QCOMPARE(dlg.Text1->text(), QStringLiteral("PD9ZZ"));

        fakes_.messages.clear();
        QTest::keyClick(dlg.Text1, Qt::Key_Return);
        QCOMPARE(dlg.focusWidget(), dlg.Text2);
        // Leaving the call box looked the call up; it is not in the list.
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text, QStringLiteral("Voer je naam in"));
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::Open);

        // Enter in the name box goes to the button only when it can be pressed.
        QTest::keyClicks(dlg.Text2, QStringLiteral("Ab"));
        QTest::keyClick(dlg.Text2, Qt::Key_Return);
        QCOMPARE(dlg.focusWidget(), dlg.Text2);
        QTest::keyClicks(dlg.Text2, QStringLiteral("e"));
        QVERIFY(dlg.OKButton->isEnabled());
        QTest::keyClick(dlg.Text2, Qt::Key_Return);
        QCOMPARE(dlg.focusWidget(), dlg.OKButton);
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::Open);
        // And Enter there begins the round, as a click does.
        QTest::keyClick(dlg.OKButton, Qt::Key_Return);
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::RoundBegun);
        QCOMPARE(fixture::ui(w).txtKringbaasNaam->text(), QStringLiteral("Abe"));
        w.Timer1->stop();
        w.tmrRondeTijd->stop();
    }

    void controllerCallIsLookedUp_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("name");
        QTest::addColumn<frmDialog::Outcome>("outcome");
        QTest::addColumn<QString>("message");
        QTest::newRow("known, typed lower case with blanks")
            << " pa3abc "
            << "PA3ABC"
            << "Henk" << frmDialog::Outcome::RoundBegun << "";
        QTest::newRow("unknown") << "PD9ZZ"
                                 << "PD9ZZ"
                                 << "" << frmDialog::Outcome::Open << "Voer je naam in";
        QTest::newRow("unknown, named by hand")
            << "PD9ZZ"
            << "PD9ZZ"
            << "Piet" << frmDialog::Outcome::RoundBegun << "Voer je naam in";
        QTest::newRow("quote in the call") << "O'NEIL"
                                           << "O'NEIL"
                                           << "" << frmDialog::Outcome::Open << "Voer je naam in";
    }
    void controllerCallIsLookedUp() {
        QFETCH(QString, typed);
        QFETCH(frmDialog::Outcome, outcome);
        QFETCH(QString, message);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(2));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        frmDialog &dlg = newRoundDialog(w);
        fakes_.messages.clear();
        const QString progressBefore = fixture::ui(w).Label5->text();
        // A distance left in the calculator by an earlier station.
        fixture::ui(w).txtLoc[1]->setText(QStringLiteral("JO33AB"));
        w.cmdCalc_Click();
        QCOMPARE(fixture::ui(w).labDistance->text(), QStringLiteral("176"));
        dlg.Text1->setText(typed);
        dlg.Text1_LostFocus();
        if (QByteArray(QTest::currentDataTag()) == "unknown, named by hand") {
            dlg.Text2->setText(QStringLiteral("Piet"));
            dlg.OKButton_Click();
            // The controller's row gets no distance that belongs to another station.
            QCOMPARE(fixture::ui(w).Text1[0]->text(), QStringLiteral("PD9ZZ"));
            QCOMPARE(fixture::ui(w).Text5[0]->text(), QString());
            QCOMPARE(fixture::ui(w).Text4[0]->text(), QStringLiteral("Kringbaas"));
        }

        QTEST(dlg.Text1->text(), "call");
        QTEST(dlg.Text2->text(), "name");
        QCOMPARE(dlg.outcome(), outcome);
        if (message.isEmpty()) {
            QCOMPARE(fakes_.messages.shown().size(), 0);
            QCOMPARE(fixture::ui(w).txtKringbaasNaam->text(), QStringLiteral("Henk"));
            QVERIFY(fixture::ui(w).Label5->text().startsWith(
                QStringLiteral("Ronde is gestart om 20:15")));
        } else if (outcome == frmDialog::Outcome::Open) {
            QCOMPARE(fakes_.messages.shown().size(), 1);
            QCOMPARE(fakes_.messages.shown()[0].text, message);
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkOnly);
            QCOMPARE(fixture::ui(w).Label5->text(), progressBefore);
            QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QString());
            QVERIFY(!w.Timer1->isActive());
        }
        w.Timer1->stop();
        w.tmrRondeTijd->stop();
    }

    void beginRound_data() {
        QTest::addColumn<QByteArray>("rondetijd");
        QTest::addColumn<QString>("planned");
        QTest::addColumn<QString>("end");
        // The bar's maximum: 59 ticks a second of the planned time; 1 (an empty bar) without one.
        QTest::addColumn<int>("barMaximum");
        QTest::newRow("45 minutes") << QByteArray("45\r\n") << "45"
                                    << "21:00" << 45 * 3540;
        QTest::newRow("letters") << QByteArray("lang\r\n") << "lang"
                                 << "20:15" << 1;
        QTest::newRow("past midnight") << QByteArray("240\r\n") << "240"
                                       << "00:15" << 240 * 3540;
        QTest::newRow("non-breaking space after")
            << QByteArray("2\xA0\r\n") << QString::fromUtf8("2\u00A0") << "20:17" << 2 * 3540;
        QTest::newRow("too short for the bar") << QByteArray("0.0001\r\n") << "0.0001"
                                               << "20:15" << 1;
    }
    void beginRound() {
        QFETCH(QByteArray, rondetijd);
        QFETCH(QString, end);
        writeFile("rondetijd", rondetijd);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        // The clocks and the round time are started by the round; what they do is theirs.
        for (platform::Timer *timer : {w.Timer1, w.tmrRondeTijd}) {
            connect(timer, &platform::Timer::timeout, this, [] {});
            timer->stop();
        }
        frmDialog &dlg = newRoundDialog(w);
        dlg.Text1->setText(QStringLiteral("  PA3ABC "));
        dlg.Text2->setText(QStringLiteral(" Henk "));
        fakes_.messages.clear();
        dlg.OKButton_Click();

        QCOMPARE(dlg.outcome(), frmDialog::Outcome::RoundBegun);
        QTEST(w.sheet().plannedTime(), "planned");
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA3ABC"));
        QCOMPARE(fixture::ui(w).txtKringbaasNaam->text(), QStringLiteral("Henk"));
        QCOMPARE(fixture::ui(w).txtDatum->text(), kDateText);
        QCOMPARE(rowTexts(w, 0), QStringList({"PA3ABC", "Henk", "DELFT", "Kringbaas", "176"}));
        QCOMPARE(fixture::ui(w).Label5->text(), QStringLiteral("Ronde is gestart om 20:15 uur.   "
                                                               "Verwachtte eindtijd %1 uur.")
                                                    .arg(end));
        QVERIFY(w.Timer1->isActive());
        QVERIFY(w.tmrRondeTijd->isActive());
        QCOMPARE(fakes_.messages.shown().size(), 0);
        w.tmrRondeTijd_Timer();
        QTEST(fixture::ui(w).ProgressBar1->maximum(), "barMaximum");
        QCOMPARE(fixture::ui(w).ProgressBar1->minimum(), 0);
        QCOMPARE(fixture::ui(w).ProgressBar1->value(), 0);
        w.Timer1->stop();
        w.tmrRondeTijd->stop();

        // The begun round is stored when the window closes.
        dialog_.reset();
        w.close();
        QCOMPARE(storedField(folder(), "rondecall"),
                 QStringList({quoted("PA1"), quoted("PA2"), quoted("PA3"), quoted("PA3ABC")}));
        QCOMPARE(storedField(folder(), "kringbaas").last(), quoted("Henk"));
        QCOMPARE(storedField(folder(), "datum").last(), quoted(kDateText));
        QCOMPARE(storedField(folder(), "call1").last(), quoted("PA3ABC"));
        QCOMPARE(storedField(folder(), "on1").last(), quoted("Kringbaas"));
    }

    // The whole start through the main window: the dialog runs modally, and a begun round goes
    // on to the call entry box.
    void startDialogFromTheMainWindow_data() {
        QTest::addColumn<bool>("begin");
        QTest::newRow("new round") << true;
        QTest::newRow("only looking") << false;
    }
    void startDialogFromTheMainWindow() {
        QFETCH(bool, begin);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        modals_->then(QStringLiteral("frmDialog"), [this, begin](QWidget *window) {
            auto *dlg = qobject_cast<frmDialog *>(window);
            QVERIFY(dlg);
            fakes_.messages.queueAnswer(begin ? MessageAnswer::Yes : MessageAnswer::No);
            HideCounter hides(dlg);
            dlg->tmrUnload_Timer();
            if (begin) {
                // The dialog stays on screen, modal, to take the call and the name: hiding it
                // even for a moment would end its modal run.
                QCOMPARE(hides.count, 0);
                QCOMPARE(QApplication::activeModalWidget(), dlg);
                dlg->Text1->setText(QStringLiteral("PA3ABC"));
                dlg->Text2->setText(QStringLiteral("Henk"));
                QVERIFY(dlg->OKButton->isEnabled());
                dlg->OKButton->click();
            }
        });
        if (begin) {
            modals_->then(QStringLiteral("frmToevoegen"), escapeCallEntry);
        }
        w.showStartDialog();

        QCOMPARE(modals_->pending(), 0);
        if (begin) {
            QCOMPARE(modals_->seen(), QStringList({"frmDialog", "frmToevoegen"}));
            QCOMPARE(fixture::ui(w).Label5->text(),
                     QStringLiteral("Ronde is gestart om 20:15 uur.   "
                                    "Verwachtte eindtijd 20:15 uur."));
            QVERIFY(fixture::ui(w).Command1->isEnabled());
        } else {
            QCOMPARE(modals_->seen(), QStringList({"frmDialog"}));
            QVERIFY(!fixture::ui(w).Command1->isEnabled());
            QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("3"));
        }
        QVERIFY(!w.tmrToeVoeg->isActive());
        w.Timer1->stop();
        w.tmrRondeTijd->stop();
    }

    void closeBoxIsRefused_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty call") << "" << QStringList{"vul wat in"};
        QTest::newRow("call typed") << "PA" << QStringList{};
    }
    void closeBoxIsRefused() {
        QFETCH(QString, call);
        QFETCH(QStringList, shown);
        frmMain &w = makeWindow();
        frmDialog &dlg = newRoundDialog(w);
        QVERIFY(showWindow(dlg));
        dlg.Text1->setText(call);
        fakes_.messages.clear();
        QVERIFY(!dlg.close());
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::Open);
        QStringList texts;
        for (const auto &box : fakes_.messages.shown()) {
            texts << box.text;
            QCOMPARE(box.style, MessageStyle::OkOnly);
        }
        QCOMPARE(texts, shown);
    }

    // --- the call entry box ----------------------------------------------------------------

    void addButtonNeedsTheStationGrid_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("locator") << "JO22ab" << false;
    }
    void addButtonNeedsTheStationGrid() {
        QFETCH(QString, grid);
        QFETCH(bool, blocked);
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        fixture::ui(w).txtGridHome->setText(grid);
        fixture::ui(w).Text2[5]->setFocus();
        if (!blocked) {
            modals_->then(QStringLiteral("frmToevoegen"), escapeCallEntry);
        }
        w.Command1_Click();

        QCOMPARE(modals_->pending(), 0);
        if (blocked) {
            QCOMPARE(modals_->seen(), QStringList());
            QCOMPARE(fakes_.messages.shown().size(), 1);
            const auto &box = fakes_.messages.shown()[0];
            QCOMPARE(box.title, QStringLiteral("Voer alsnog gridlocator in"));
            QCOMPARE(box.style, MessageStyle::OkCritical);
            QCOMPARE(box.text, QStringList({"Je hebt de zender GRID locatie niet ingevoerd",
                                            "Weet je jouw GRID niet? kijk dan hier :",
                                            platform::webpages::locatorFinderAddress()})
                                   .join(QLatin1Char('\n')));
            QCOMPARE(QApplication::focusWidget(), fixture::ui(w).txtGridHome);
        } else {
            QCOMPARE(modals_->seen(), QStringList({"frmToevoegen"}));
            QCOMPARE(fakes_.messages.shown().size(), 0);
        }
    }

    void enterPlacesTheCall_data() {
        QTest::addColumn<int>("filled");   // rows 1..filled hold PD0A1, PD0A2, ...
        QTest::addColumn<int>("cleared");  // a row emptied afterwards, -1 for none
        QTest::addColumn<bool>("timerRunning");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("row");  // where the call goes, -1 for nowhere
        QTest::addColumn<QString>("placed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("timer");

        QTest::newRow("empty sheet") << 0 << -1 << false << "PA3NEW" << 0 << "PA3NEW"
                                     << ""
                                     << "" << true << true;
        QTest::newRow("blanks around") << 3 << -1 << false << "  PA3NEW " << 3 << "PA3NEW"
                                       << ""
                                       << "" << true << true;
        QTest::newRow("first free row is a gap") << 20 << 11 << false << "PA3NEW" << 11 << "PA3NEW"
                                                 << ""
                                                 << "" << true << true;
        QTest::newRow("duplicate") << 5 << -1 << false << " PD0A3 " << -1 << ""
                                   << "PD0A3 doet al mee in deze ronde"
                                   << "Dubbele invoer" << false << false;
        // A call pasted in lower case is the same call as the one on the sheet.
        QTest::newRow("pasted lower case is a duplicate") << 5 << -1 << false << "pd0a3" << -1 << ""
                                                          << "PD0A3 doet al mee in deze ronde"
                                                          << "Dubbele invoer" << false << false;
        QTest::newRow("full") << 30 << -1 << true << "PA3NEW" << -1 << ""
                              << "De ronde is vol"
                              << "Kringbaas" << true << false;
        QTest::newRow("duplicate on a full sheet") << 30 << -1 << false << "PD0A30" << -1 << ""
                                                   << "PD0A30 doet al mee in deze ronde"
                                                   << "Dubbele invoer" << false << false;
        QTest::newRow("empty box") << 5 << -1 << false << "" << -1 << ""
                                   << ""
                                   << "" << true << true;
        // Blanks are no call: no duplicate of the empty rows, nothing placed.
        QTest::newRow("blanks only") << 5 << -1 << false << "   " << -1 << ""
                                     << ""
                                     << "" << true << true;
    }
    void enterPlacesTheCall() {
        QFETCH(int, filled);
        QFETCH(int, cleared);
        QFETCH(bool, timerRunning);
        QFETCH(QString, typed);
        QFETCH(int, row);
        QFETCH(QString, placed);
        QFETCH(QString, message);
        QFETCH(bool, closes);
        frmMain &w = makeWindow();
        fillRows(w, filled);
        if (cleared >= 0) {
            fixture::ui(w).Text1[cleared]->clear();
        }
        if (timerRunning) {
            w.tmrToeVoeg->start();
        }
        QStringList sheet = calls(w);
        fakes_.messages.clear();

        QPointer<frmToevoegen> box = new frmToevoegen(w);
        QCOMPARE(box->objectName(), QStringLiteral("frmToevoegen"));
        box->show();
        box->Text1->setText(typed);
        box->Text1_Enter();
        const bool timer = w.tmrToeVoeg->isActive();
        w.tmrToeVoeg->stop();

        if (row >= 0) {
            sheet[row] = placed;
        }
        QCOMPARE(calls(w), sheet);
        QTEST(timer, "timer");
        QCOMPARE(!box || !box->isVisible(), closes);
        if (!closes) {
            QCOMPARE(box->Text1->text(), QString());
        }
        if (message.isEmpty()) {
            QCOMPARE(fakes_.messages.shown().size(), 0);
        } else {
            QCOMPARE(fakes_.messages.shown().size(), 1);
            QCOMPARE(fakes_.messages.shown()[0].text, message);
            QTEST(fakes_.messages.shown()[0].title, "title");
            QCOMPARE(fakes_.messages.shown()[0].style, message.endsWith(QStringLiteral("vol"))
                                                           ? MessageStyle::OkOnly
                                                           : MessageStyle::OkCritical);
        }
    }

    void callEntryKeys() {
        frmMain &w = makeWindow();
        QPointer<frmToevoegen> box = new frmToevoegen(w);
        QVERIFY(showWindow(*box));
        QTest::keyClicks(box->Text1, QStringLiteral("pa3new"));
        QCOMPARE(box->Text1->text(), QStringLiteral("PA3NEW"));
        QTest::keyClick(box->Text1, Qt::Key_Return);
        QCOMPARE(fixture::ui(w).Text1[0]->text(), QStringLiteral("PA3NEW"));
        QVERIFY(w.tmrToeVoeg->isActive());
        QVERIFY(!box || !box->isVisible());

        // The timer brings a fresh, empty box.
        modals_->then(QStringLiteral("frmToevoegen"), [](QWidget *window) {
            auto *next = qobject_cast<frmToevoegen *>(window);
            QVERIFY(next);
            QCOMPARE(next->Text1->text(), QString());
            escapeCallEntry(window);
        });
        w.tmrToeVoeg_Timer();
        QVERIFY(!w.tmrToeVoeg->isActive());
        QCOMPARE(modals_->pending(), 0);
        QCOMPARE(calls(w).mid(0, 2), QStringList({"PA3NEW", ""}));
    }

    // --- the look-up of a row's call -------------------------------------------------------

    void rowLookUp_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("row");  // call, name, QTH, topic, distance
        QTest::addColumn<QString>("message");  // title of the box shown, empty for none

        QTest::newRow("known") << "PA3ABC"
                               << QStringList{"PA3ABC", "Henk", "DELFT", "Antennes bouwen", "176"}
                               << "";
        QTest::newRow("lower case with blanks")
            << " pa3abc " << QStringList{"PA3ABC", "Henk", "DELFT", "Antennes bouwen", "176"} << "";
        QTest::newRow("the maker")
            << "QX9ZZA" << QStringList{"QX9ZZA", "Maker", "ZOETERMEER", "Maker van deze app.", "1"}
            << "";
        QTest::newRow("unknown keeps the distance")
            << "PD0UNK" << QStringList{"PD0UNK", "", "", "", "99"} << "";
        QTest::newRow("invalid locator")
            << "PE1BAD" << QStringList{"PE1BAD", "Piet", "GOUDA", "Fietsen", ""}
            << "GRID locatie onjuist ingevoerd";
        QTest::newRow("quote") << "O'NEIL" << QStringList{"O'NEIL", "", "", "", "99"} << "";
    }
    void rowLookUp() {
        QFETCH(QString, call);
        QFETCH(QString, message);
        frmMain &w = makeWindow();
        QCOMPARE(fixture::ui(w).txtLoc[0]->text(), QStringLiteral("JO22ab"));
        // A station looked up before, with a distance of its own.
        fixture::ui(w).Text1[0]->setText(QStringLiteral("PA3ABC"));
        QCOMPARE(fixture::ui(w).Text5[0]->text(), QStringLiteral("176"));
        const int i = 3;
        fixture::ui(w).Text2[i]->setText(QStringLiteral("oud"));
        fixture::ui(w).Text3[i]->setText(QStringLiteral("OUD"));
        fixture::ui(w).Text4[i]->setText(QStringLiteral("oud"));
        fixture::ui(w).Text5[i]->setText(QStringLiteral("99"));
        fakes_.messages.clear();

        fixture::ui(w).Text1[i]->setText(call);
        QTEST(rowTexts(w, i), "row");
        if (message.isEmpty()) {
            QCOMPARE(fakes_.messages.shown().size(), 0);
        } else {
            QCOMPARE(fakes_.messages.shown().size(), 1);
            QCOMPARE(fakes_.messages.shown()[0].title, message);
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        }
    }

    // A QTH box shows upper case while it is typed in, also when the sheet already held that
    // QTH; leaving the box puts a stored lower-case QTH in upper case, an edit of the round.
    void qthBoxIsUpperCase() {
        fixture::seedTable(folder(), "ronde", {{{"call1", "PA3ABC"}, {"qth1", "gouda"}}});
        frmMain &w = makeWindow();
        platform::TextBox *qth = fixture::ui(w).Text3[0];
        QCOMPARE(qth->text(), QStringLiteral("gouda"));  // shown as stored
        w.Text3_LostFocus(0);
        QCOMPARE(qth->text(), QStringLiteral("GOUDA"));
        w.storeRound();
        QCOMPARE(storedField(folder(), "qth1").constLast(), quoted("GOUDA"));
        qth->setText(QStringLiteral("gouda"));  // pasted again over the whole text
        QCOMPARE(qth->text(), QStringLiteral("GOUDA"));
        QCOMPARE(w.sheet().cell(0, roundmodel::Column::Qth), QStringLiteral("GOUDA"));
    }

    // --- turns, marks, keys ----------------------------------------------------------------

    void turnCaptionCounts() {
        frmMain &w = makeWindow();
        QPushButton *turn = fixture::ui(w).cmdBeurt[4];
        const QString initial = turn->text();
        w.cmdBeurt_Click(4);  // no call in the row
        QCOMPARE(turn->text(), initial);
        QVERIFY(!turn->font().bold());

        fixture::ui(w).Text1[4]->setText(QStringLiteral("PD0UNK"));
        w.cmdBeurt_Click(4);
        QCOMPARE(turn->text(), QStringLiteral("Beurt  1"));
        QVERIFY(turn->font().bold());
        w.cmdBeurt_Click(4);
        QCOMPARE(turn->text(), QStringLiteral("Beurt  2"));
        // The count past 999 is the sheet's rule (tst_roundsheet).
    }

    void turnHighlightsItsRow() {
        frmMain &w = makeWindow();
        const QColor normal = w.palette().color(QPalette::Base);
        fillRows(w, 6);
        auto rowColours = [&w](int i) {
            return QList<QColor>{fixture::ui(w).Text1[i]->palette().color(QPalette::Base),
                                 fixture::ui(w).Text2[i]->palette().color(QPalette::Base),
                                 fixture::ui(w).Text3[i]->palette().color(QPalette::Base),
                                 fixture::ui(w).Text4[i]->palette().color(QPalette::Base),
                                 fixture::ui(w).Text5[i]->palette().color(QPalette::Base),
                                 fixture::ui(w).cmdBeurt[i]->palette().color(QPalette::Button)};
        };
        const QList<QColor> lit(6, kTurnColour);
        fixture::ui(w).cmdBeurt[2]->click();
        QCOMPARE(rowColours(2), lit);
        QVERIFY(rowColours(4) != lit);

        fixture::ui(w).cmdBeurt[4]->click();
        QCOMPARE(rowColours(4), lit);
        const QList<QColor> row3 = rowColours(2);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(row3[c], normal);
        }
        QVERIFY(row3[5] != kTurnColour);

        // A mark on the row with the turn: its station has the turn no more, so the whole row
        // loses the colour, distance and turn button included.
        fixture::ui(w).Check1[4]->setChecked(true);
        QCOMPARE(rowColours(4), QList<QColor>(6, normal));
    }

    void marksFreezeTheRow_data() {
        QTest::addColumn<bool>("listening");
        QTest::newRow("Weg") << false;
        QTest::newRow("Luisteren") << true;
    }
    void marksFreezeTheRow() {
        QFETCH(bool, listening);
        frmMain &w = makeWindow();
        fillRows(w, 3);
        const int i = 1;
        QCheckBox *mark = listening ? fixture::ui(w).Check2[i] : fixture::ui(w).Check1[i];
        mark->click();
        QVERIFY(mark->isChecked());
        for (QWidget *frozen : frozenByMark(w, i, listening)) {
            QVERIFY2(!frozen->isEnabled(), qPrintable(frozen->objectName()));
        }
        QVERIFY(mark->isEnabled());
        QVERIFY(fixture::ui(w).Text5[i]->isEnabled());
        QVERIFY(fixture::ui(w).Text1[i + 1]->isEnabled());  // only this row
        QVERIFY(fixture::ui(w).cmdBeurt[i + 1]->isEnabled());

        mark->click();
        QVERIFY(!mark->isChecked());
        for (QWidget *frozen : frozenByMark(w, i, listening)) {
            QVERIFY2(frozen->isEnabled(), qPrintable(frozen->objectName()));
        }
    }

    // A key typed in a call box empties the row; keys that type nothing do not.
    void keyInACallBox_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("Delete") << "delete" << true;
        QTest::newRow("letter") << "letter" << true;
        QTest::newRow("Ctrl+C") << "copy" << false;
        QTest::newRow("Tab into the box") << "tab" << false;
        QTest::newRow("Escape") << "escape" << true;
        QTest::newRow("arrow") << "arrow" << false;
        QTest::newRow("Home") << "home" << false;
        QTest::newRow("F5") << "f5" << false;
    }
    void keyInACallBox() {
        QFETCH(QString, how);
        QFETCH(bool, emptied);
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        const int i = 2;
        fixture::ui(w).Text1[i]->setText(QStringLiteral("PA3ABC"));
        const QStringList filled = rowTexts(w, i);
        QCOMPARE(filled[1], QStringLiteral("Henk"));

        if (how == QLatin1String("delete")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_Delete);
        } else if (how == QLatin1String("letter")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_X);
        } else if (how == QLatin1String("copy")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_C, Qt::ControlModifier);
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_Escape);
        } else if (how == QLatin1String("arrow")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_Right);
        } else if (how == QLatin1String("home")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_Home);
        } else if (how == QLatin1String("f5")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_F5);
        } else {
            // Tab is pressed in the widget before the call box and released in the call box.
            QWidget *before = fixture::ui(w).Text1[i];
            do {
                before = before->previousInFocusChain();
            } while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled() ||
                     !before->isVisible());
            before->setFocus();
            QTest::keyPress(before, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), fixture::ui(w).Text1[i]);
            QTest::keyRelease(fixture::ui(w).Text1[i], Qt::Key_Tab);
        }
        QCOMPARE(rowTexts(w, i), emptied ? QStringList({"", "", "", "", ""}) : filled);
    }

    // Before the question is answered the sheet shows a stored round: a call and a name typed
    // into the dialog then begin nothing and overwrite nothing.
    void nothingBeginsBeforeTheQuestion() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        const QStringList before = storedField(folder(), "rondecall");
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        frmDialog &dlg = makeDialog(w);
        dlg.Text1->setText(QStringLiteral("PA3ABC"));
        dlg.Text2->setText(QStringLiteral("Henk"));
        dlg.Text1_LostFocus();
        dlg.OKButton_Click();
        QCOMPARE(dlg.outcome(), frmDialog::Outcome::Open);
        QCOMPARE(fixture::ui(w).Text4[0]->text(), QString());
        QVERIFY(!fixture::ui(w).Data1->DataChanged());
        dialog_.reset();
        w.close();
        QCOMPARE(storedField(folder(), "rondecall"), before);
        QCOMPARE(storedField(folder(), "on1"), QStringList(3, QStringLiteral("<null>")));
    }

    // A round being led is in the table from its beginning and with every call placed, so a
    // crash mid-net loses nothing; the sheet keeps showing what it showed, distances included.
    void roundBeingLedIsStoredAsItGoes() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(2));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        frmDialog &dlg = newRoundDialog(w);
        dlg.Text1->setText(QStringLiteral("PA3ABC"));
        dlg.Text2->setText(QStringLiteral("Henk"));
        dlg.OKButton_Click();
        w.Timer1->stop();
        w.tmrRondeTijd->stop();
        QCOMPARE(storedField(folder(), "rondecall").size(), 3);
        QCOMPARE(storedField(folder(), "call1").last(), quoted("PA3ABC"));
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 3 van de 3"));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("3"));
        QCOMPARE(fixture::ui(w).Text5[0]->text(), QStringLiteral("176"));

        QPointer<frmToevoegen> box = new frmToevoegen(w);
        box->Text1->setText(QStringLiteral("QX9ZZA"));
        box->Text1_Enter();
        w.tmrToeVoeg->stop();
        QCOMPARE(storedField(folder(), "call2").last(), quoted("QX9ZZA"));
        QCOMPARE(storedField(folder(), "on2").last(), quoted("Maker van deze app."));
        QCOMPARE(storedField(folder(), "rondecall").size(), 3);
        QCOMPARE(fixture::ui(w).Text5[0]->text(), QStringLiteral("176"));
        delete box;
    }

    // Whenever a row's call changes, its stored distance becomes the row's new one: the distance
    // boxes are emptied whenever a round is shown, so an old distance must not stay behind.
    void storedDistanceFollowsTheCall_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("wis") << "wis";
        QTest::newRow("call cleared") << "cleared";
        QTest::newRow("unknown station placed") << "PD9UNK";
        QTest::newRow("station without a valid locator placed") << "PE1BAD";
    }
    void storedDistanceFollowsTheCall() {
        QFETCH(QString, change);
        fixture::seedTable(folder(), "ronde",
                           fixture::numberedRounds(1));  // call1 PD1ABC, weg1 101
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        fixture::ui(w).Command1->setEnabled(true);
        if (change == QLatin1String("wis")) {
            fakes_.messages.queueAnswer(MessageAnswer::Ok);
            w.Command3_Click();
        } else {
            w.Text1_KeyUp(0, Qt::Key_Delete, Qt::NoModifier);
            if (change != QLatin1String("cleared")) {
                QPointer<frmToevoegen> box = new frmToevoegen(w);
                box->Text1->setText(change);
                box->Text1_Enter();
                w.tmrToeVoeg->stop();
                delete box;
                QCOMPARE(fixture::ui(w).Text1[0]->text(), change);
            }
        }
        w.close();
        const QString weg = storedField(folder(), "weg1").constFirst();
        QVERIFY2(weg == quoted(QString()) || weg == QLatin1String("<null>"), qPrintable(weg));
    }

    // Look-ups need no ham list window; one opened afterwards stands on the ham the last
    // successful look-up found, and one opened after it was closed starts afresh.
    void hamListOpensOnTheLastFoundHam() {
        frmMain &w = makeWindow();
        fixture::ui(w).Text1[0]->setText(QStringLiteral("QX9ZZA"));
        fixture::ui(w).Text1[1]->setText(QStringLiteral("pa3abc"));
        fixture::ui(w).Text1[2]->setText(QStringLiteral("PD0NIET"));
        QCOMPARE(fixture::ui(w).Text2[1]->text(), QStringLiteral("Henk"));
        QVERIFY(!w.findChild<hamlist::frmAmateur *>());

        QPointer<hamlist::frmAmateur> hams = w.amateurWindow();
        QCOMPARE(hams->fieldText(0), QStringLiteral("PA3ABC"));
        QVERIFY(!hams->opstarttimer->isActive());
        hams->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!hams);

        hams = w.amateurWindow();
        QVERIFY(hams->opstarttimer->fire());
        QCOMPARE(hams->fieldText(0), QStringLiteral("QX9ZZA"));  // the last of the list
    }

    // Only one call entry box is open at a time: the reopening timer that finds one open (a
    // click on "Deelnemer Toevoegen" within its 222 ms) does nothing.
    void oneCallEntryBoxAtATime() {
        frmMain &w = makeWindow();
        w.tmrToeVoeg->start();
        modals_->then(QStringLiteral("frmToevoegen"), [&](QWidget *box) {
            QVERIFY(w.tmrToeVoeg->fire());
            escapeCallEntry(box);
        });
        w.Command1_Click();
        QCOMPARE(modals_->seen(), QStringList({"frmToevoegen"}));
    }

    // A click gives "Deelnemer Toevoegen" the focus, so leaving it sets the call boxes editable
    // or read-only.
    void addButtonTakesTheFocusFromAClick() {
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        fixture::ui(w).txtGridHome->clear();
        for (platform::TextBox *call : fixture::ui(w).Text1) {
            call->setReadOnly(true);
        }
        QTest::mouseClick(fixture::ui(w).Command1, Qt::LeftButton);
        QCOMPARE(fakes_.messages.shown().size(), 1);  // no club locator: the focus goes to it
        QVERIFY(fixture::ui(w).txtGridHome->hasFocus());
        QVERIFY(!fixture::ui(w).Text1[0]->isReadOnly());
        QVERIFY(!fixture::ui(w).Text1[29]->isReadOnly());
    }

    // A call is only ever placed by the program: a paste into a call box is refused and the
    // row stays as it was.
    void pasteIntoACallBoxIsRefused_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+V") << "ctrl+v";
        QTest::newRow("Shift+Insert") << "shift+insert";
        QTest::newRow("context menu") << "menu";
    }
    void pasteIntoACallBoxIsRefused() {
        QFETCH(QString, how);
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        const int i = 4;
        fixture::ui(w).Text1[i]->setText(QStringLiteral("PA3ABC"));
        const QStringList before = rowTexts(w, i);
        QGuiApplication::clipboard()->setText(QStringLiteral("PD9XYZ"));
        fixture::ui(w).Text1[i]->setFocus();
        fixture::ui(w).Text1[i]->setCursorPosition(6);
        if (how == QLatin1String("ctrl+v")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_V, Qt::ControlModifier);
        } else if (how == QLatin1String("shift+insert")) {
            QTest::keyClick(fixture::ui(w).Text1[i], Qt::Key_Insert, Qt::ShiftModifier);
        } else {
            fixture::ui(w).Text1[i]->selectAll();
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                        fixture::ui(w).Text1[i]->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(fixture::ui(w).Text1[i], &menuEvent);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            // The menu of a read-only box: copying only.
            QStringList offered;
            for (const QAction *action : menu->actions()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    offered
                        << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
                }
            }
            menu->close();
            QCOMPARE(offered, QStringList({"Copy"}));
        }
        QCOMPARE(rowTexts(w, i), before);
        QCOMPARE(before[1], QStringLiteral("Henk"));
    }

    // The menu's shortcuts work while a text box has the focus.
    void menuShortcutsWinOverTextBoxes() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        QVERIFY(showWindow(w));
        fixture::ui(w).Text4[2]->setFocus();
        QTest::keyClick(fixture::ui(w).Text4[2], Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 2 van de 2"));
        fixture::ui(w).Text2[0]->setFocus();
        fixture::ui(w).Text2[0]->selectAll();
        QTest::keyClick(fixture::ui(w).Text2[0], Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
        QCOMPARE(storedField(folder(), "rondecall"), QStringList({quoted("PA1"), quoted("PA2")}));
    }

    // Ctrl+D while a round is led, right after a call was placed and before the next call entry
    // box comes: the round being led stays, with its call, and the next call goes into it. An
    // earlier round shown with the navigation bar takes no calls (the box that was coming does
    // not come); deleting it shows the latest round, the one being led, which takes calls again.
    void ctrlDKeepsTheRoundBeingLed() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(2));
        const QList<QStringList> seeded = storedRecords(folder(), "ronde");
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        QVERIFY(showWindow(w));
        modals_->then(QStringLiteral("frmDialog"), [this](QWidget *window) {
            auto *dlg = qobject_cast<frmDialog *>(window);
            QVERIFY(dlg);
            fakes_.messages.queueAnswer(MessageAnswer::Yes);
            dlg->tmrUnload_Timer();
            dlg->Text1->setText(QStringLiteral("PA3ABC"));
            dlg->Text2->setText(QStringLiteral("Henk"));
            dlg->OKButton->click();
        });
        modals_->then(QStringLiteral("frmToevoegen"), typeCall(QStringLiteral("pd1xyz")));
        w.showStartDialog();
        QCOMPARE(modals_->pending(), 0);
        w.Timer1->stop();
        w.tmrRondeTijd->stop();
        QVERIFY(w.tmrToeVoeg->isActive());
        fakes_.messages.clear();

        QVERIFY(showWindow(w));
        fixture::ui(w).Text4[5]->setFocus();
        QTest::keyClick(fixture::ui(w).Text4[5], Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("Dit is de ronde die je nu leidt; die wordt niet verwijderd.\n"
                                "Een eerdere ronde verwijder je door die eerst te tonen."));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkInformation);
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 3 van de 3"));
        QVERIFY(fixture::ui(w).Command1->isEnabled());

        modals_->then(QStringLiteral("frmToevoegen"), typeCall(QStringLiteral("PE1BAD")));
        QVERIFY(w.tmrToeVoeg->fire());
        QCOMPARE(modals_->pending(), 0);
        QList<QStringList> stored = storedRecords(folder(), "ronde");
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.mid(0, 2), seeded);
        QCOMPARE(storedField(folder(), "call2").last(), quoted("PD1XYZ"));
        QCOMPARE(storedField(folder(), "call3").last(), quoted("PE1BAD"));

        // An earlier round on screen: no calls, and the box that was coming stays away.
        QVERIFY(w.tmrToeVoeg->isActive());
        QTest::mouseClick(fixture::ui(w).Data1->firstButton(), Qt::LeftButton);
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 1 van de 3"));
        QVERIFY(!fixture::ui(w).Command1->isEnabled());
        QVERIFY(fixture::ui(w).Text1[1]->isReadOnly());
        QVERIFY(w.tmrToeVoeg->fire());
        QCOMPARE(modals_->seen().size(), 3);  // the dialog and two call entry boxes
        QCOMPARE(storedRecords(folder(), "ronde").mid(0, 2), seeded);

        // Deleting it shows the round being led, which takes calls again.
        QVERIFY(showWindow(w));
        fixture::ui(w).Text4[5]->setFocus();
        QTest::keyClick(fixture::ui(w).Text4[5], Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 2 van de 2"));
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA3ABC"));
        QVERIFY(fixture::ui(w).Command1->isEnabled());
        modals_->then(QStringLiteral("frmToevoegen"), typeCall(QStringLiteral("QX9ZZA")));
        w.Command1_Click();
        w.tmrToeVoeg->stop();
        QCOMPARE(storedField(folder(), "rondecall"),
                 QStringList({quoted("PA2"), quoted("PA3ABC")}));
        QCOMPARE(storedField(folder(), "call4").last(), quoted("QX9ZZA"));
        QCOMPARE(storedRecords(folder(), "ronde").first(), seeded[1]);
    }

    // The controller's look-up asks a question (a locator that is not valid) that stays on screen
    // for three minutes: the round begins once it is answered, and the line over the bar says the
    // time that is stored as the round's begin.
    void roundBeginsAfterTheLookUpsQuestion() {
        fixture::FakesWith<SlowAnswers> slow;
        slow.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        slow.clock.setUtcNow(QDateTime(QDate(2026, 12, 10), QTime(19, 15, 0), QTimeZone::utc()));
        std::unique_ptr<frmMain> w = fixture::makeMainWindow(folder(), slow.services());
        w->tmrRonde_Timer();
        frmDialog dlg(*w);
        dlg.tmrUnload->stop();
        slow.messages.queueAnswer(MessageAnswer::Yes);
        dlg.tmrUnload_Timer();
        slow.messages.clock = &slow.clock;
        slow.messages.secondsOnScreen = 180;
        dlg.Text1->setText(QStringLiteral("PE1BAD"));  // locator JO2
        dlg.Text2->setText(QStringLiteral("Piet"));
        dlg.OKButton_Click();
        w->Timer1->stop();
        w->tmrRondeTijd->stop();

        QCOMPARE(slow.messages.shown().size(), 2);  // the question, and the locator's message
        QCOMPARE(fixture::ui(*w).Label5->text(),
                 QStringLiteral("Ronde is gestart om 20:18 uur.   Verwachtte eindtijd 20:18 uur."));
        const QDateTime begun(QDate(2026, 12, 10), QTime(19, 18, 0), QTimeZone::utc());
        QCOMPARE(w->sheet().beginTime(), begun);
        QCOMPARE(
            storage::Round::fromRecord(fixture::storedValues(folder(), "ronde").last()).beginTime,
            begun);
        w->close();
    }

    // Every row's text boxes and turn button have the text boxes' colour, also before the first
    // turn; the row whose station has the turn has the light yellow on all six, drawn as such. A
    // station marked away has the turn no more: its whole row goes back.
    void turnColours() {
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        fillRows(w, 3);
        const QString white = w.palette().color(QPalette::Base).name();
        const QString yellow = QColor(255, 255, 192).name();
        auto rowShows = [&](int i) {
            const auto &ui = fixture::ui(w);
            QStringList colours;
            for (QWidget *box : std::initializer_list<QWidget *>{
                     ui.Text1[i], ui.Text2[i], ui.Text3[i], ui.Text5[i], ui.Text4[i]}) {
                colours << box->palette().color(QPalette::Base).name() + QLatin1Char('/') +
                               drawnColour(box);
            }
            colours << ui.cmdBeurt[i]->palette().color(QPalette::Button).name() + QLatin1Char('/') +
                           drawnColour(ui.cmdBeurt[i]);
            return colours;
        };
        auto sheetShows = [&](int highlighted) {
            for (int i : {0, 1, 2, 3, 29}) {
                const QString colour = i == highlighted ? yellow : white;
                QCOMPARE(rowShows(i), QStringList(6, colour + QLatin1Char('/') + colour));
            }
        };
        sheetShows(-1);
        QTest::mouseClick(fixture::ui(w).cmdBeurt[1], Qt::LeftButton);
        sheetShows(1);
        QTest::mouseClick(fixture::ui(w).cmdBeurt[2], Qt::LeftButton);
        sheetShows(2);
        QTest::mouseClick(fixture::ui(w).Check1[2], Qt::LeftButton);
        QCOMPARE(w.sheet().turnRow(), -1);
        sheetShows(-1);
        QTest::mouseClick(fixture::ui(w).Check1[2], Qt::LeftButton);
        sheetShows(-1);
        QCOMPARE(fixture::ui(w).cmdBeurt[2]->text(), QStringLiteral("Beurt  1"));
    }

    // Deleting while a new round is begun but not stored drops that round; it does not store it.
    void deletingAnUnstoredRoundDropsIt() {
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        newRoundDialog(w);
        fixture::ui(w).Text1[3]->setText(QStringLiteral("PD0NEW"));
        dialog_.reset();
        w.verwijderronde_Click();
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 3 van de 3"));
        w.close();
        QCOMPARE(storedField(folder(), "rondecall"),
                 QStringList({quoted("PA1"), quoted("PA2"), quoted("PA3")}));
    }

    // Closing stops the timers first: the call entry box does not come back over a closing
    // program, not even while its farewell is shown.
    void closingOpensNothingMore() {
        writeFile("flag", "aan\r\n");
        frmMain &w = makeWindow();
        w.tmrToeVoeg->start();
        w.close();
        QVERIFY(!w.tmrToeVoeg->isActive());
        w.tmrToeVoeg_Timer();
        w.startupTimer_Timer();
        QCOMPARE(modals_->seen(), QStringList());
    }

    void rowWithoutCallKeepsNothing() {
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        const int i = 6;
        fixture::ui(w).Text2[i]->setText(QStringLiteral("Jan"));
        fixture::ui(w).Text3[i]->setText(QStringLiteral("X"));
        fixture::ui(w).Text5[i]->setText(QStringLiteral("12"));
        fixture::ui(w).Text4[i]->setFocus();
        QTest::keyClicks(fixture::ui(w).Text4[i], QStringLiteral("hallo"));
        QCOMPARE(fixture::ui(w).Text4[i]->text(), QStringLiteral("hallo"));
        fixture::ui(w).Text1[0]->setFocus();  // leaving the topic box
        QCOMPARE(rowTexts(w, i), QStringList({"", "", "", "", ""}));

        // A row with a call keeps what was typed.
        fixture::ui(w).Text1[i + 1]->setText(QStringLiteral("PD0UNK"));
        fixture::ui(w).Text4[i + 1]->setText(QStringLiteral("hallo"));
        w.emptyCallRule(i + 1);
        QCOMPARE(fixture::ui(w).Text4[i + 1]->text(), QStringLiteral("hallo"));
    }

    void qthIsShownUpperCase() {
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        fixture::ui(w).Text1[2]->setText(QStringLiteral("PD0UNK"));
        fixture::ui(w).Text3[2]->setFocus();
        QTest::keyClicks(fixture::ui(w).Text3[2], QStringLiteral("den haag"));
        QCOMPARE(fixture::ui(w).Text3[2]->text(), QStringLiteral("DEN HAAG"));
    }

    // A value longer than a text box holds (particulars of a megabyte become a row's topic) is
    // shown in part and read-only: a key typed in its box cuts nothing, and the round stores it
    // whole. A row showing short values again is editable again.
    void longValuesOnTheSheetStayWhole_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("editable");
        QTest::newRow("topic of 40000") << int(roundmodel::Column::Topic) << 40000 << false;
        QTest::newRow("topic of 32767") << int(roundmodel::Column::Topic) << 32767 << true;
        QTest::newRow("name of 33000") << int(roundmodel::Column::Name) << 33000 << false;
        QTest::newRow("qth of 50000") << int(roundmodel::Column::Qth) << 50000 << false;
    }
    void longValuesOnTheSheetStayWhole() {
        QFETCH(int, column);
        QFETCH(int, length);
        QFETCH(bool, editable);
        const auto col = roundmodel::Column(column);
        const char *const field = col == roundmodel::Column::Topic  ? "byzonderheden"
                                  : col == roundmodel::Column::Name ? "naam"
                                                                    : "qth";
        const QString value(length, QLatin1Char('K'));
        QList<fixture::Record> list = hams();
        list << fixture::Record{{"call", QStringLiteral("PA3LNG")}, {field, value}};
        fixture::seedTable(folder(), "qrz", list);
        fixture::seedTable(folder(), "ronde", {{{"call1", "PA3ABC"}}});
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        QLineEdit *box = col == roundmodel::Column::Topic  ? fixture::ui(w).Text4[1]
                         : col == roundmodel::Column::Name ? fixture::ui(w).Text2[1]
                                                           : fixture::ui(w).Text3[1];
        const QString description = box->accessibleDescription();
        fixture::ui(w).Text1[1]->setText(QStringLiteral("PA3LNG"));
        QCOMPARE(w.sheet().cell(1, col), value);
        QCOMPARE(box->isReadOnly(), !editable);
        QCOMPARE(box->toolTip().contains(QString::number(length)), !editable);

        box->setFocus();
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        const QString expected = editable ? value.chopped(1) : value;
        QCOMPARE(w.sheet().cell(1, col), expected);
        fixture::ui(w).Text1[2]->setFocus();
        w.storeRound();
        const char *const stored = col == roundmodel::Column::Topic  ? "on2"
                                   : col == roundmodel::Column::Name ? "naam2"
                                                                     : "qth2";
        QCOMPARE(storedField(folder(), QString::fromLatin1(stored)).constLast(), quoted(expected));

        fixture::ui(w).Text1[1]->setText(QStringLiteral("PA3ABC"));
        QVERIFY(!box->isReadOnly());
        QVERIFY(box->toolTip().isEmpty());
        QCOMPARE(box->accessibleDescription(), description);
    }

    void doubleClicks() {
        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        const int i = 3;
        fixture::ui(w).Text1[i]->setText(QStringLiteral("PA3ABC"));

        QTest::mouseDClick(fixture::ui(w).Text1[i], Qt::LeftButton);
        QCOMPARE(fakes_.web.opened(), QList<QUrl>{platform::webpages::qrzLookup("PA3ABC")});

        // An empty name box opens nothing.
        QTest::mouseDClick(fixture::ui(w).Text2[i + 1], Qt::LeftButton);
        QCOMPARE(modals_->seen(), QStringList());

        modals_->then(QStringLiteral("frmAmateur"), [i](QWidget *window) {
            auto *list = qobject_cast<hamlist::frmAmateur *>(window);
            QVERIFY(list);
            QVERIFY(list->Check2->isChecked());
            QCOMPARE(list->txtZnaam->text(), QStringLiteral("Henk"));
            QCOMPARE(list->txtZcall->text(), QStringLiteral("PA3ABC"));
            QCOMPARE(list->txtX->text(), QString::number(i));
            list->close();
        });
        QTest::mouseDClick(fixture::ui(w).Text2[i], Qt::LeftButton);
        QCOMPARE(modals_->pending(), 0);
        QCOMPARE(modals_->seen(), QStringList({"frmAmateur"}));

        // Once the closed list is gone, the next call is looked up in a fresh one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        fixture::ui(w).Text1[i + 1]->setText(QStringLiteral("QX9ZZA"));
        QCOMPARE(fixture::ui(w).Text2[i + 1]->text(), QStringLiteral("Maker"));
    }

    // --- stored rounds ---------------------------------------------------------------------

    void movingShowsTheRoundNumber() {
        QList<fixture::Record> rounds = fixture::numberedRounds(10);
        for (fixture::Record &round : rounds) {
            round[QStringLiteral("call2")] = QStringLiteral("PA3ABC");
            round[QStringLiteral("weg2")] = QStringLiteral("555");
        }
        fixture::seedTable(folder(), "ronde", rounds);
        frmMain &w = makeWindow();
        auto distancesEmpty = [&w] {
            for (const platform::TextBox *distance : fixture::ui(w).Text5) {
                if (!distance->text().isEmpty()) {
                    return false;
                }
            }
            return true;
        };
        QVERIFY(distancesEmpty());
        storage::Recordset &rs = fixture::ui(w).Data1->Recordset();
        QVERIFY(rs.setAbsolutePosition(2));
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 3 van de 10"));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("3"));
        QCOMPARE(fixture::ui(w).Text2[1]->text(), QString());  // the stored name, not the ham's
        QVERIFY(distancesEmpty());

        const std::vector<std::function<void()>> moves = {
            [&] { fixture::ui(w).Data1->nextButton()->click(); },
            [&] { fixture::ui(w).Data1->previousButton()->click(); },
            [&] { fixture::ui(w).Data1->lastButton()->click(); },
            [&] { fixture::ui(w).Data1->firstButton()->click(); },
            [&] { rs.MoveNext(); },
            [&] { rs.MoveLast(); },
            [&] { rs.MovePrevious(); },
            [&] { rs.MoveFirst(); },
        };
        for (const auto &move : moves) {
            fixture::ui(w).Text5[7]->setText(QStringLiteral("77"));
            move();
            QVERIFY(distancesEmpty());
        }
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 1 van de 10"));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("1"));
    }

    void wipeTheSheet_data() {
        QTest::addColumn<bool>("adding");  // Command1 enabled
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("wiped");
        QTest::newRow("not while adding is off") << false << MessageAnswer::Ok << false << false;
        QTest::newRow("Cancel") << true << MessageAnswer::Cancel << true << false;
        QTest::newRow("OK") << true << MessageAnswer::Ok << true << true;
    }
    void wipeTheSheet() {
        QFETCH(bool, adding);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, asked);
        QFETCH(bool, wiped);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(3));
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        for (int i = 0; i < frmMain::kRows; ++i) {
            fixture::ui(w).Text1[i]->setText(QStringLiteral("PD0A%1").arg(i + 1));
            fixture::ui(w).Text2[i]->setText(QStringLiteral("Naam"));
            fixture::ui(w).Text3[i]->setText(QStringLiteral("QTH"));
            fixture::ui(w).Text4[i]->setText(QStringLiteral("Onderwerp"));
            fixture::ui(w).Text5[i]->setText(QStringLiteral("12"));
        }
        w.cmdBeurt_Click(0);
        w.cmdBeurt_Click(29);
        fixture::ui(w).Command1->setEnabled(adding);
        if (asked) {
            fakes_.messages.queueAnswer(answer);
        }
        w.Command3_Click();

        QCOMPARE(fakes_.messages.shown().size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(fakes_.messages.shown()[0].text,
                     QStringLiteral("Hiermee verwijder je alle huidige ronde deelnemers"));
            QCOMPARE(fakes_.messages.shown()[0].title,
                     QStringLiteral("Verwijder alle deelnemers van ronde 3"));
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCancelExclamation);
        }
        for (int i = 0; i < frmMain::kRows; ++i) {
            const QStringList expected = wiped ? QStringList{"", "", "", "", ""}
                                               : QStringList{QStringLiteral("PD0A%1").arg(i + 1),
                                                             "Naam", "QTH", "Onderwerp", "12"};
            QCOMPARE(rowTexts(w, i), expected);
        }
        QCOMPARE(fixture::ui(w).cmdBeurt[0]->text(), QStringLiteral("Beurt  1"));
        QCOMPARE(fixture::ui(w).cmdBeurt[29]->text(), QStringLiteral("Beurt  1"));
    }

    void deleteARound_data() {
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("the only round")
            << 1 << 0 << "Ronde : 1 van de 1" << true << QStringList{quoted("PA1")};
        QStringList left;
        for (int n = 1; n <= 10; ++n) {
            if (n != 4) {
                left << quoted(QStringLiteral("PA%1").arg(n));
            }
        }
        QTest::newRow("round 4 of 10") << 10 << 3 << "Ronde : 9 van de 9" << false << left;
    }
    void deleteARound() {
        QFETCH(int, rounds);
        QFETCH(int, position);
        QFETCH(bool, refused);
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(rounds));
        frmMain &w = makeWindow();
        QVERIFY(fixture::ui(w).Data1->Recordset().setAbsolutePosition(position));
        w.verwijderronde->trigger();

        QTEST(fixture::ui(w).Data1->Caption(), "caption");
        if (refused) {
            QCOMPARE(fakes_.messages.shown().size(), 1);
            QCOMPARE(fakes_.messages.shown()[0].text,
                     QStringLiteral("Je hebt alle rondes inmiddels verwijderd!"));
            QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Ho maar..."));
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkInformation);
        } else {
            QCOMPARE(fakes_.messages.shown().size(), 0);
            QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("9"));
            QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA10"));
        }
        w.close();
        QTEST(storedField(folder(), "rondecall"), "stored");
    }

    void storedListeningMarkFreezesItsRow() {
        fixture::seedTable(
            folder(), "ronde",
            {fixture::Record{{"rondecall", "PA1"}, {"call3", "PD1XYZ"}, {"luis3", true}},
             fixture::Record{{"rondecall", "PA2"}, {"call3", "PD2XYZ"}, {"luis3", false}},
             fixture::Record{{"rondecall", "PA3"}, {"call3", "PD3XYZ"}, {"luis3", true}}});
        frmMain &w = makeWindow();
        const int i = 2;
        auto frozen = [&w, i] {
            QStringList state;
            for (QWidget *widget : frozenByMark(w, i, true)) {
                state << (widget->isEnabled() ? "on" : "off");
            }
            return state;
        };
        const QStringList off(6, QStringLiteral("off"));
        const QStringList on(6, QStringLiteral("on"));
        QVERIFY(fixture::ui(w).Check2[i]->isChecked());
        QCOMPARE(frozen(), off);
        fixture::ui(w).Data1->nextButton()->click();
        QVERIFY(!fixture::ui(w).Check2[i]->isChecked());
        QCOMPARE(frozen(), on);
        fixture::ui(w).Data1->nextButton()->click();
        QCOMPARE(frozen(), off);
        fixture::ui(w).Data1->Recordset().MoveFirst();
        QCOMPARE(frozen(), off);
        QVERIFY(fixture::ui(w).Data1->Recordset().MoveNext());
        QCOMPARE(frozen(), on);
    }

    // Looking at stored rounds must never change them: the look-ups that run for every call
    // shown (names, QTHs, topics, distances, a normalised call, an invalid locator) only show.
    void showingRoundsNeverChangesThem() {
        QList<fixture::Record> rounds;
        for (int n = 1; n <= 10; ++n) {
            const QString s = QString::number(n);
            fixture::Record round{{"rondecall", "PA" + s},
                                  {"datum", "maandag 0" + s + " januari 2024"},
                                  {"kringbaas", "Baas " + s}};
            auto row = [&round](int r, const QString &call, const QVariant &naam,
                                const QVariant &qth, const QVariant &on, const QVariant &weg) {
                const QString k = QString::number(r);
                round["call" + k] = call;
                if (naam.isValid()) {
                    round["naam" + k] = naam;
                }
                if (qth.isValid()) {
                    round["qth" + k] = qth;
                }
                if (on.isValid()) {
                    round["on" + k] = on;
                }
                if (weg.isValid()) {
                    round["weg" + k] = weg;
                }
            };
            // The rows move between rounds, so every move looks calls up again.
            const int shift = n % 3;
            row(1 + shift, "PA3ABC", "Opgeslagen " + s, "Rijswijk", "onderwerp " + s, "999");
            row(4 + shift, "PE1BAD", "Anders", "", QVariant(), "5");
            row(7 + shift, "PD0UNK", "Onbekend " + s, "ergens", "iets", "42");
            row(10 + shift, "QX9ZZA", "Niet de maker", QVariant(), "geen maker", "");
            row(13 + shift, " pa3abc ", "Klein", "kleine letters delft", QVariant(), QVariant());
            row(16 + shift, "", "Wees", "zonder call", "x", "3");
            row(19 + shift, "O'NEIL", "Ier", QVariant(), QVariant(), "7");
            round["luis" + QString::number(13 + shift)] = true;
            round["luis" + QString::number(1 + (n % 2))] = n % 2 == 0;
            rounds << round;
        }
        fixture::seedTable(folder(), "ronde", rounds);
        const QList<QStringList> seeded = storedRecords(folder(), "ronde");
        QCOMPARE(seeded.size(), 10);

        frmMain &w = makeWindow();
        QVERIFY(showWindow(w));
        storage::Recordset &rs = fixture::ui(w).Data1->Recordset();
        w.tmrRonde_Timer();
        for (int k = 0; k < 9; ++k) {
            fixture::ui(w).Data1->previousButton()->click();
        }
        for (int k = 0; k < 9; ++k) {
            fixture::ui(w).Data1->nextButton()->click();
        }
        fixture::ui(w).Data1->firstButton()->click();
        fixture::ui(w).Data1->lastButton()->click();
        for (int p = 9; p >= 0; --p) {
            QVERIFY(rs.setAbsolutePosition(p));
        }
        while (rs.state() == storage::CursorState::OnRecord) {
            rs.MoveNext();
        }
        rs.MovePrevious();
        rs.MoveFirst();
        rs.MoveLast();
        QVERIFY(rs.setAbsolutePosition(4));
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA5"));
        QCOMPARE(fixture::ui(w).Text1[14]->text(), QStringLiteral(" pa3abc "));  // shown as stored
        QCOMPARE(fixture::ui(w).Text3[14]->text(), QStringLiteral("kleine letters delft"));
        QCOMPARE(fixture::ui(w).Text2[2]->text(), QStringLiteral("Opgeslagen 5"));

        QCOMPARE(fakes_.messages.shown().size(), 0);
        w.close();  // stores the round on screen
        const QList<QStringList> after = storedRecords(folder(), "ronde");
        QCOMPARE(after.size(), seeded.size());
        for (int r = 0; r < seeded.size(); ++r) {
            QCOMPARE(after[r], seeded[r]);
        }
    }
};

KB_TEST_MAIN(RoundsTest)
#include "tst_rounds.moc"
