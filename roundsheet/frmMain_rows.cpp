// The rows of the round sheet: the look-up of a call, turns, marks, and the commands that act on
// the participants.

#include "geo/Locator.h"
#include "hamlist/frmAmateur.h"
#include "platform/WebLauncher.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace roundsheet {

namespace {

// The background of the row whose station has the turn.
const QColor kTurnColour(255, 255, 192);

void setBackground(QWidget *widget, const QColor &color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
}

}  // namespace

void frmMain::connectRows() {
    for (int i = 0; i < kRows; ++i) {
        connect(Text1[i], &QLineEdit::textChanged, this, [this, i] { Text1_Change(i); });
        connect(Text1[i], &platform::TextBox::keyReleased, this,
                [this, i](int key, Qt::KeyboardModifiers modifiers) {
                    Text1_KeyUp(i, key, modifiers);
                });
        connect(Text2[i], &platform::TextBox::doubleClicked, this,
                [this, i] { Text2_DblClick(i); });
        connect(Text3[i], &QLineEdit::textChanged, this, [this, i] { Text3_Change(i); });
        connect(Text3[i], &platform::TextBox::lostFocus, this, [this, i] { Text3_LostFocus(i); });
        for (platform::TextBox *box : {Text2[i], Text4[i], Text5[i]}) {
            connect(box, &platform::TextBox::lostFocus, this, [this, i] { emptyCallRule(i); });
        }
        connect(cmdBeurt[i], &QPushButton::clicked, this, [this, i] { cmdBeurt_Click(i); });
        connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
        connect(Check2[i], &QCheckBox::toggled, this, [this, i] { Check2_Click(i); });
    }
    connect(Command1, &QToolButton::clicked, this, &frmMain::Command1_Click);
    Command1->installEventFilter(this);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(tmrToeVoeg, &platform::Timer::timeout, this, &frmMain::tmrToeVoeg_Timer);
    connect(rondestarten, &QAction::triggered, this, &frmMain::rondestarten_Click);
    connect(verwijderronde, &QAction::triggered, this, &frmMain::verwijderronde_Click);
}

// The look-up of a row's call in the ham list: name, QTH, topic and distance follow the call.
// The row's stored distance follows too: the distance boxes are emptied whenever a round is
// shown, so an emptied box must still count as the row's new distance when its call changes.
void frmMain::Text1_Change(int index) {
    if (!Data1->isLoading()) {
        Data1->markEdited(Text5[index]);
        txtTijd[index]->clear();  // a call typed or cleared by hand was not placed with Enter
    }
    const QString text = Text1[index]->text();
    if (text.isEmpty()) {
        for (platform::TextBox *box : {Text2[index], Text3[index], Text4[index], Text5[index]}) {
            box->clear();
        }
        return;
    }
    const QString call = text.trimmed().toUpper();
    if (call != text) {
        Text1[index]->setText(call);  // runs this look-up again with the clean call
        return;
    }

    const std::optional<storage::Ham> ham = lookUpHam(call);
    if (Data1->isLoading()) {
        showingLookUp(ham);
        return;
    }
    if (!ham) {
        for (platform::TextBox *box : {Text2[index], Text3[index], Text4[index]}) {
            box->clear();
        }
        return;
    }
    Text2[index]->setText(ham->naam);
    Text3[index]->setText(ham->qth);
    txtLoc[1]->setText(ham->grid.trimmed());
    Text4[index]->setText(ham->byzonderheden);
    if (call == QStringLiteral("QX9ZZA")) {
        Text4[index]->setText(QStringLiteral("Maker van deze app."));
    }

    // A distance needs two valid locators. Without them the row gets no distance rather than
    // the one of the station looked up before; while a stored round is being shown nobody is
    // asked to correct a locator.
    const bool valid = geo::LocatorCalculator::IsValidLocator(txtLoc[0]->text().toUpper()) &&
                       geo::LocatorCalculator::IsValidLocator(txtLoc[1]->text().toUpper());
    if (!valid) {
        if (!Data1->isLoading()) {
            cmdCalc_Click();
        }
        Text5[index]->clear();
        return;
    }
    cmdCalc_Click();
    Text5[index]->setText(labDistance->text());
}

// While a round is being shown its stored values stand in the rows (the record control puts
// them back), so the look-up writes nothing there; only the calculator keeps what the look-ups
// leave in it: the last ham's locator, and the distance of the last one whose locator was
// valid, worked out once when the round stands.
void frmMain::showingLookUp(const std::optional<storage::Ham> &ham) {
    if (!ham) {
        return;
    }
    const QString grid = ham->grid.trimmed();
    txtLoc[1]->setText(grid);
    if (geo::LocatorCalculator::IsValidLocator(txtLoc[0]->text().toUpper()) &&
        geo::LocatorCalculator::IsValidLocator(grid.toUpper())) {
        calculatorLocator_ = grid;
    }
}

void frmMain::finishShowingLookUps() {
    if (calculatorLocator_.isEmpty()) {
        return;
    }
    const QString shown = txtLoc[1]->text();
    txtLoc[1]->setText(calculatorLocator_);
    calculatorLocator_.clear();
    cmdCalc_Click();
    txtLoc[1]->setText(shown);
}

// A key typed in a call box empties the row (a call is only ever placed by the program). Keys
// held with Ctrl, Alt or Meta are shortcuts, not typing, and a modifier alone types nothing.
void frmMain::Text1_KeyUp(int index, int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return;
    }
    // Keys that move the focus or the text cursor, or call a function of the desktop, type
    // nothing either: a participant is not wiped by looking along the sheet.
    if ((key >= Qt::Key_F1 && key <= Qt::Key_F35) ||
        (key >= Qt::Key_Home && key <= Qt::Key_PageDown)) {
        return;
    }
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Menu:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Insert:  // types nothing; with Shift it would paste, which is refused
            return;
        default:
            Text1[index]->clear();
    }
}

void frmMain::Text2_DblClick(int index) {
    if (Text2[index]->text().isEmpty()) {
        return;
    }
    hamlist::frmAmateur *hams = amateurWindow();
    hams->setParticipant(index, Text1[index]->text(), Text2[index]->text());
    hams->exec();
}

void frmMain::Text3_Change(int index) {
    platform::TextBox *box = Text3[index];
    const QString upper = box->text().toUpper();
    if (upper != box->text()) {
        const int cursor = box->cursorPosition();
        box->setText(upper);
        box->setCursorPosition(cursor);
    }
}

void frmMain::Text3_LostFocus(int index) {
    Text3[index]->setText(Text3[index]->text().toUpper());
    emptyCallRule(index);
}

// A row without a call keeps no other data.
void frmMain::emptyCallRule(int index) {
    if (Text1[index]->text().isEmpty()) {
        for (platform::TextBox *box : {Text2[index], Text3[index], Text4[index], Text5[index]}) {
            box->clear();
        }
    }
}

void frmMain::setRowBackground(int index, const QColor &color) {
    for (QWidget *w :
         std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index], Text4[index],
                                          Text5[index], cmdBeurt[index]}) {
        setBackground(w, color);
    }
}

storage::Round frmMain::round() const {
    storage::Round shown;
    shown.rondecall = txtKringbaasCall->text();
    shown.datum = txtDatum->text();
    shown.kringbaas = txtKringbaasNaam->text();
    shown.begintijd = storage::storedTime(txtBegintijd->text());
    for (int i = 0; i < kRows; ++i) {
        storage::Participant &p = shown.participants[size_t(i)];
        p.call = Text1[i]->text();
        p.naam = Text2[i]->text();
        p.qth = Text3[i]->text();
        p.on = Text4[i]->text();
        p.weg = Text5[i]->text();
        p.luis = Check2[i]->isChecked();
        p.tijd = storage::storedTime(txtTijd[i]->text());
    }
    return shown;
}

// The count lives in the caption; only its last three characters are read back.
int frmMain::turns(int row) const {
    return int(storage::Settings::leadingNumber(cmdBeurt[row]->text().right(3)));
}

void frmMain::cmdBeurt_Click(int index) {
    if (Text1[index]->text().isEmpty()) {
        return;
    }
    QPushButton *button = cmdBeurt[index];
    button->setText(QStringLiteral("Beurt  ") + QString::number(turns(index) + 1));
    button->setAccessibleName(button->text());
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);

    const QColor window = palette().color(QPalette::Base);
    for (int i = 0; i < kRows; ++i) {
        setRowBackground(i, window);
    }
    setRowBackground(index, kTurnColour);
}

// Away and listening freeze a row: its boxes, its turn button and the other mark.
void frmMain::freezeRow(int index, QCheckBox *otherMark, bool frozen) {
    for (QWidget *w : std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index],
                                                       Text4[index], otherMark, cmdBeurt[index]}) {
        w->setEnabled(!frozen);
    }
    if (frozen) {
        const QColor window = palette().color(QPalette::Base);
        for (QWidget *w : std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index],
                                                           Text4[index]}) {
            setBackground(w, window);
        }
    }
}

void frmMain::Check1_Click(int index) {
    freezeRow(index, Check2[index], Check1[index]->isChecked());
}

void frmMain::Check2_Click(int index) {
    freezeRow(index, Check1[index], Check2[index]->isChecked());
}

void frmMain::Command1_Click() {
    if (txtGridHome->text().isEmpty()) {
        services_.messages.show(this,
                                QStringLiteral("Je hebt de zender GRID locatie niet ingevoerd\n"
                                               "Weet je jouw GRID niet? kijk dan hier :\n") +
                                    platform::webpages::locatorFinderAddress(),
                                platform::MessageStyle::OkCritical,
                                QStringLiteral("Voer alsnog gridlocator in"));
        txtGridHome->setFocus();
        return;
    }
    showCallEntry();
}

// The call boxes can be typed in only while participants can be added.
void frmMain::Command1_LostFocus() {
    for (platform::TextBox *call : Text1) {
        call->setReadOnly(!Command1->isEnabled());
    }
}

// Only one call entry box is open at a time: a reopening that finds one open does nothing.
void frmMain::showCallEntry() {
    if (closing_ || callEntry_) {
        return;
    }
    callEntry_ = new frmToevoegen(*this);
    callEntry_->exec();
}

// The round on screen goes into the table at once, so that a round being led survives a crash
// or a power cut; the sheet keeps showing exactly what it shows.
void frmMain::storeRound() {
    storage::Recordset &rounds = Data1->Recordset();
    if (rounds.Store()) {
        const int number = rounds.AbsolutePosition() + 1;
        Data1->setCaption(
            QStringLiteral("Ronde : %1 van de %2").arg(number).arg(rounds.RecordCount()));
        txtRondeNR->setText(QString::number(number));
    } else {
        reportStoreFailure();
    }
}

void frmMain::tmrToeVoeg_Timer() {
    tmrToeVoeg->stop();
    showCallEntry();
}

void frmMain::showStartDialog() {
    if (closing_) {
        return;
    }
    frmDialog dialog(*this);
    dialog.exec();
    if (dialog.outcome() == frmDialog::Outcome::RoundBegun) {
        QCoreApplication::processEvents();
        showCallEntry();
    }
}

void frmMain::rondestarten_Click() {
    showStartDialog();
}

void frmMain::Command3_Click() {
    if (!Command1->isEnabled()) {
        return;
    }
    const platform::MessageAnswer answer = services_.messages.show(
        this, QStringLiteral("Hiermee verwijder je alle huidige ronde deelnemers"),
        platform::MessageStyle::OkCancelExclamation,
        QStringLiteral("Verwijder alle deelnemers van ronde ") + txtRondeNR->text());
    if (answer == platform::MessageAnswer::Cancel) {
        return;
    }
    for (int i = 0; i < kRows; ++i) {
        for (platform::TextBox *box : {Text1[i], Text2[i], Text3[i], Text4[i], Text5[i]}) {
            box->clear();
        }
    }
}

void frmMain::verwijderronde_Click() {
    storage::Recordset &rounds = Data1->Recordset();
    if (rounds.RecordCount() <= 1) {
        services_.messages.show(this, QStringLiteral("Je hebt alle rondes inmiddels verwijderd!"),
                                platform::MessageStyle::OkInformation,
                                QStringLiteral("Ho maar..."));
        return;
    }
    // A new round that is not stored yet is dropped rather than stored by the move that follows.
    if (rounds.state() == storage::CursorState::PendingNew) {
        rounds.CancelUpdate();
    } else {
        rounds.Delete();
    }
    rounds.MoveLast();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ShortcutOverride &&
        isMenuShortcut(static_cast<QKeyEvent *>(event))) {
        event->ignore();  // not the box's key: the shortcut runs
        return true;
    }
    if (watched == Command1) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            services_.messages.show(this, QStringLiteral("Escape gedrukt"),
                                    platform::MessageStyle::OkOnly);
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            Command1_LostFocus();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace roundsheet
