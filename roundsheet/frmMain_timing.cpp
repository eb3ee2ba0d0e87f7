// The clocks, the planned round time with its progress bar, the speech choice and the notes.

#include "notes/frmNotities.h"
#include "roundsheet/frmMain.h"
#include "timing/Clocks.h"
#include "timing/PlannedTime.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>

namespace roundsheet {

namespace {

void setTextColour(QLabel *label, const QColor &colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The colour of Label5 while the round time is paused.
const QColor kPausedColour(255, 0, 0);

}  // namespace

void frmMain::connectTiming() {
    connect(Timer1, &platform::Timer::timeout, this, &frmMain::Timer1_Timer);
    connect(tmrRondeTijd, &platform::Timer::timeout, this, &frmMain::tmrRondeTijd_Timer);
    // The round time runs exactly while its timer runs, whoever starts or stops it (the start
    // dialog starts it when a round begins). A running round time is no pause.
    connect(tmrRondeTijd, &platform::Timer::started, this, [this] {
        roundTime_.start(services_.clock.monotonicMs());
        setTextColour(Label5, palette().color(QPalette::ButtonText));
    });
    connect(tmrRondeTijd, &platform::Timer::stopped, this,
            [this] { roundTime_.stop(services_.clock.monotonicMs()); });
    connect(ProgressBar1, &platform::ClickProgressBar::clicked, this, &frmMain::ProgressBar1_Click);
    connect(rondetijd, &QAction::triggered, this, &frmMain::rondetijd_Click);
    connect(spraak, &QAction::triggered, this, &frmMain::spraak_Click);
    connect(Command2, &QToolButton::clicked, this, &frmMain::Command2_Click);
}

void frmMain::Timer1_Timer() {
    lblKlok->setText(timing::clockText(services_.clock.localNow().time()));
    lblUTC->setText(timing::clockText(services_.clock.utcNow().toUTC().time()));
    Command1->setEnabled(sheet_.addingAllowed());
}

// Only asks the bar to show the round time as the clock has it; the count does not depend on
// how often this runs.
void frmMain::tmrRondeTijd_Timer() {
    const qint64 now = services_.clock.monotonicMs();
    const timing::RoundTime::Look look = showRoundTime(now);
    if (look.step != timing::RoundTime::Step::TimeUp) {
        return;
    }
    // The warning does not open over another box (a pause message, the planned time's input
    // box, a question of another window): the next look after that box is answered gives it.
    QWidget *modal = QApplication::activeModalWidget();
    if (timingBoxShown_ || qobject_cast<QMessageBox *>(modal) ||
        qobject_cast<QInputDialog *>(modal)) {
        return;
    }
    // Stopped before the warning shows, so no second warning can come while it is on screen.
    roundTime_.timeUp(now, look.maximum);
    tmrRondeTijd->stop();
    timingMessage(QStringLiteral("Ronde tijd zit er op, brei er maar een eind aan!"));
}

// The bar's maximum is always above its minimum: a maximum of 0 would make Qt show a busy bar.
timing::RoundTime::Look frmMain::showRoundTime(qint64 nowMs) {
    const timing::RoundTime::Look look = roundTime_.look(sheet_.plannedTime(), nowMs);
    if (look.step == timing::RoundTime::Step::NoPlan) {
        ProgressBar1->setRange(0, 1);
        ProgressBar1->setValue(0);
    } else {
        ProgressBar1->setRange(0, int(look.maximum));
        ProgressBar1->setValue(int(look.value));
    }
    return look;
}

void frmMain::ProgressBar1_Click() {
    if (tmrRondeTijd->isActive()) {
        setTextColour(Label5, kPausedColour);
        tmrRondeTijd->stop();
        timingMessage(QStringLiteral("Tijd gepauzeerd"));
        return;
    }
    setTextColour(Label5, palette().color(QPalette::ButtonText));
    tmrRondeTijd->start();
    timingMessage(QStringLiteral("Tijd gaat verder"));
}

// Each step that fails is skipped.
void frmMain::rondetijd_Click() {
    const QString old = settings_.readRondeTijd();
    sheet_.setPlannedTime(old);
    timingBoxShown_ = true;
    const std::optional<QString> answer =
        services_.messages.input(this, QStringLiteral("Voer de geplande rondetijd in minuten in: "),
                                 QStringLiteral("Hoelang moet de ronde ongeveer duren"), old);
    timingBoxShown_ = false;
    if (!answer || answer->isEmpty()) {
        return;
    }
    const bool written = settings_.writeRondeTijd(*answer);
    sheet_.setPlannedTime(*answer);
    const int minutes = timing::roundedMinutes(*answer);
    sheet_.setText(roundmodel::Field::Progress,
                   sheet_.text(roundmodel::Field::Progress) +
                       timing::plannedEndText(services_.clock.localNow(), minutes));
    roundTime_.reset(services_.clock.monotonicMs());
    showRoundTime(services_.clock.monotonicMs());
    Timer1->start();
    // The planned time holds for this round all the same; the next round would read the old one.
    if (!written) {
        services_.messages.show(this,
                                QStringLiteral("De geplande rondetijd is niet bewaard: het "
                                               "bestand rondetijd kan niet worden geschreven."),
                                platform::MessageStyle::OkCritical);
    }
}

// The menu entry has already toggled its tick when this runs.
void frmMain::spraak_Click() {
    if (!settings_.writeStem(spraak->isChecked())) {
        services_.messages.show(this,
                                QStringLiteral("De keuze voor Spraak is niet bewaard: het bestand "
                                               "stem kan niet worden geschreven."),
                                platform::MessageStyle::OkCritical);
    }
    timingMessage(QStringLiteral("Moet nog gemaakt worden :)"));
}

platform::MessageAnswer frmMain::timingMessage(const QString &text) {
    timingBoxShown_ = true;
    const platform::MessageAnswer answer =
        services_.messages.show(this, text, platform::MessageStyle::OkOnly);
    timingBoxShown_ = false;
    return answer;
}

void frmMain::Command2_Click() {
    if (closing_ || notes_) {
        return;
    }
    notes::frmNotities notes(dataFolder_, services_, this);
    notes_ = &notes;
    notes.exec();
}

notes::frmNotities *frmMain::notesWindow() const {
    return notes_;
}

// At shutdown the notes window stores what it holds and goes.
void frmMain::closeNotes() {
    if (notes_) {
        notes_->closeWithOwner();
    }
}

}  // namespace roundsheet
