#include "roundsheet/frmDialog.h"

#include "platform/Twips.h"
#include "roundsheet/frmMain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace roundsheet {

using platform::twips;
using platform::twipsRect;

frmDialog::frmDialog(frmMain &main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(QStringLiteral("Welkom Kringbaas"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(twips(3885), twips(2280));
    setFont(platform::verdana(9));
    const QFont bold = platform::verdana(9, true);

    OKButton = new QPushButton(QStringLiteral("Begin Ronde"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(twipsRect(2040, 1800, 1575, 375));
    OKButton->setEnabled(false);
    Label2 = new QLabel(QStringLiteral("Voer je CALL in:"), this);
    Label2->setGeometry(twipsRect(240, 240, 3375, 255));
    Text1 = new platform::TextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(240, 480, 3375, 375));
    Text1->setFont(bold);
    Label1 = new QLabel(QStringLiteral("Voer je voornaam in:"), this);
    Label1->setGeometry(twipsRect(240, 1080, 3735, 255));
    Text2 = new platform::TextBox(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(twipsRect(240, 1320, 3375, 375));
    Text2->setFont(bold);
    Label2->setBuddy(Text1);
    Label1->setBuddy(Text2);
    Text1->setAccessibleName(QStringLiteral("Voer je CALL in"));
    Text2->setAccessibleName(QStringLiteral("Voer je voornaam in"));
    OKButton->setAccessibleName(OKButton->text());
    setTabOrder(OKButton, Text1);
    setTabOrder(Text1, Text2);

    tmrUnload = main_.services().timers.make(this, "tmrUnload", 500, true);

    connect(tmrUnload, &platform::Timer::timeout, this, &frmDialog::tmrUnload_Timer);
    connect(Text1, &QLineEdit::textChanged, this, &frmDialog::Text_Change);
    connect(Text2, &QLineEdit::textChanged, this, &frmDialog::Text_Change);
    Text1->setTypedUpperCase(true);
    connect(Text1, &platform::TextBox::lostFocus, this, &frmDialog::Text1_LostFocus);
    connect(Text2, &platform::TextBox::lostFocus, this, &frmDialog::Text2_LostFocus);
    connect(OKButton, &QPushButton::clicked, this, &frmDialog::OKButton_Click);
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);

    tmrUnload->start();
}

void frmDialog::tmrUnload_Timer() {
    tmrUnload->stop();
    OKButton->setEnabled(false);
    asking_ = true;
    const platform::MessageAnswer answer = main_.services().messages.show(
        this, QStringLiteral("Een niewe ronde beginnen?"), platform::MessageStyle::YesNoQuestion,
        QStringLiteral("Kies nieuwe ronde of oud bekijken"));
    asking_ = false;
    if (answer != platform::MessageAnswer::Yes) {
        browseStoredRounds(false);
        return;
    }
    // A new round: the dialog takes the controller's call and name. It keeps its frame: taking it
    // away would hide the dialog for a moment, and a hidden dialog ends its modal run.
    roundmodel::RoundSheet &sheet = main_.sheet();
    if (!sheet.addNew()) {
        notBegun();
        return;
    }
    newRound_ = true;
    main_.setAddingEnabled(true);
    main_.setWipeEnabled(true);
    main_.settings().writeFlag(roundmodel::modeWord(roundmodel::RoundMode::On));
    sheet.setMode(roundmodel::RoundMode::On);
    Text1->setFocus();
}

// Answer No, or Escape in the call box: show the latest stored round again (dropping a new round
// that nothing was typed into) and leave adding participants off.
void frmDialog::browseStoredRounds(bool abandon) {
    main_.sheet().browseLatest();
    main_.setAddingEnabled(false);
    main_.settings().writeFlag(roundmodel::modeWord(roundmodel::RoundMode::Off));
    if (abandon) {
        main_.setWipeEnabled(false);
    }
    finish(abandon ? Outcome::Abandoned : Outcome::Browse);
}

// The round on screen could not be stored first, so no new round begins: said with the reason.
// The round on screen stays as it is, edits included, and a round being led is led still;
// otherwise stored rounds are browsed, as after No.
void frmDialog::notBegun() {
    main_.services().messages.show(
        this,
        QStringLiteral("Er is geen nieuwe ronde begonnen: de ronde op het scherm kon niet "
                       "worden opgeslagen.\n") +
            main_.sheet().lastError().description +
            QStringLiteral("\nDe ronde blijft op het scherm staan. Probeer het later opnieuw "
                           "met Nieuwe Ronde Starten."),
        platform::MessageStyle::OkCritical, QStringLiteral("Geen nieuwe ronde"));
    roundmodel::RoundSheet &sheet = main_.sheet();
    if (sheet.mode() != roundmodel::RoundMode::On) {
        main_.setAddingEnabled(false);
        main_.settings().writeFlag(roundmodel::modeWord(roundmodel::RoundMode::Off));
        sheet.setMode(roundmodel::RoundMode::Off);
    }
    finish(Outcome::NotBegun);
}

void frmDialog::Text_Change() {
    OKButton->setEnabled(Text2->text().size() > 2 && !Text1->text().isEmpty());
}

void frmDialog::Text2_LostFocus() {
    Text2->setText(Text2->text().trimmed());
}

// The controller's call is looked up in the ham list; a known call begins the round at once.
void frmDialog::Text1_LostFocus() {
    // Before the question is answered with Yes there is no new round to begin.
    if (outcome_ != Outcome::Open || asking_ || !newRound_) {
        return;
    }
    const QString call = Text1->text().trimmed().toUpper();
    Text1->setText(call);
    const std::optional<storage::Ham> ham = main_.lookUpHam(call);
    if (!ham) {
        main_.services().messages.show(this, QStringLiteral("Voer je naam in"),
                                       platform::MessageStyle::OkOnly);
        activateWindow();
        return;
    }
    Text2->setText(ham->name);
    OKButton_Click();
}

// Begins the round: each step that fails is skipped.
void frmDialog::OKButton_Click() {
    // Only a new round is begun: before Yes the sheet shows a stored round, which this would
    // overwrite.
    if (outcome_ != Outcome::Open || !newRound_) {
        return;
    }
    main_.beginRound(Text1->text().trimmed(), Text2->text().trimmed());
    finish(Outcome::RoundBegun);
}

void frmDialog::finish(Outcome outcome) {
    outcome_ = outcome;
    tmrUnload->stop();
    done(outcome == Outcome::RoundBegun ? Accepted : Rejected);
}

bool frmDialog::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == Text1 && key->key() == Qt::Key_Escape) {
            browseStoredRounds(true);
            return true;
        }
        if (watched == Text1 && enter) {
            Text2->setFocus();
            return true;
        }
        if (watched == Text2 && enter && !Text2->text().isEmpty()) {
            if (OKButton->isEnabled()) {
                OKButton->setFocus();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Enter presses "Begin Ronde" when it has the focus; elsewhere Enter and Escape neither close
// the dialog nor press a button.
void frmDialog::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == OKButton && OKButton->isEnabled()) {
        OKButton->click();
        event->accept();
        return;
    }
    if (enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The user cannot close the dialog; only the dialog's own answers end it.
void frmDialog::closeEvent(QCloseEvent *event) {
    if (outcome_ != Outcome::Open) {
        event->accept();
        return;
    }
    event->ignore();
    if (Text1->text().isEmpty()) {
        main_.services().messages.show(this, QStringLiteral("vul wat in"),
                                       platform::MessageStyle::OkOnly);
    }
}

}  // namespace roundsheet
