// The rows of the round sheet: the look-up of a call, turns, marks, and the commands that act on
// the participants.

#include "geo/Locator.h"
#include "hamlist/frmAmateur.h"
#include "platform/WebLauncher.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/RecordControl.h"

#include <utility>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QTimer>
#include <QToolButton>

namespace roundsheet {

namespace {

// The background of the row whose station has the turn.
const QColor kTurnColour(255, 255, 192);

// The row's colour goes into a text box's base and a turn button's face (see TurnButtonStyle);
// a control that shows it already is left alone.
void setBackground(QWidget *widget, const QColor &color) {
    const QPalette::ColorRole role =
        qobject_cast<QPushButton *>(widget) ? QPalette::Button : QPalette::Base;
    if (widget->palette().color(role) == color) {
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

}  // namespace

// The desktop's style only tints a button's face with the button colour (paler, with a
// gradient); a turn button shows its row's colour plainly, a little darker while pressed, in a
// frame of the style's own shade, with the keyboard focus marked inside it.
void TurnButtonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const {
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QColor face = option->palette.color(QPalette::Button);
    const bool down = option->state & (State_Sunken | State_On);
    painter->save();
    painter->fillRect(option->rect, down ? face.darker(115) : face);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(option->palette.color(QPalette::Mid));
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    // The keyboard's place shows as the style's highlight inside the frame.
    if (option->state & State_HasFocus) {
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
        painter->drawRect(option->rect.adjusted(2, 2, -2, -2));
    }
    painter->restore();
}

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
        for (roundmodel::Column column :
             {roundmodel::Column::Name, roundmodel::Column::Topic, roundmodel::Column::Distance}) {
            platform::TextBox *box = boxOf(i, column);
            connect(box, &QLineEdit::textChanged, this,
                    [this, i, column](const QString &text) { sheet_.setCell(i, column, text); });
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

platform::TextBox *frmMain::boxOf(roundmodel::Field field) const {
    using roundmodel::Field;
    switch (field) {
        case Field::ClubCall:
            return txtGroepsCall;
        case Field::Location:
            return txtLocatie;
        case Field::Frequency:
            return txtFrequentie;
        case Field::Unit:
            return txtBand;
        case Field::GridHome:
            return txtGridHome;
        case Field::RoundNumber:
            return txtRondeNR;
        case Field::ControllerCall:
            return txtKringbaasCall;
        case Field::ControllerName:
            return txtKringbaasNaam;
        case Field::Date:
            return txtDatum;
        case Field::Progress:
            break;
    }
    return nullptr;
}

platform::TextBox *frmMain::boxOf(int index, roundmodel::Column column) const {
    switch (column) {
        case roundmodel::Column::Call:
            return Text1[index];
        case roundmodel::Column::Name:
            return Text2[index];
        case roundmodel::Column::Qth:
            return Text3[index];
        case roundmodel::Column::Topic:
            return Text4[index];
        case roundmodel::Column::Distance:
            break;
    }
    return Text5[index];
}

namespace {

// A value longer than a text box holds (a ham's particulars of a megabyte, an imported name) is
// shown in part, read-only, with a word on why: the sheet keeps it whole, and nothing typed into
// the box can cut it. The box is as it was again once it shows a value whole.
QString partShown(QLineEdit *box, const QString &value) {
    const char *const partly = "kbPartlyShown";
    const char *const before = "kbBefore";  // read-only and description before
    const bool part = value.size() > box->maxLength();
    const bool wasPart = box->property(partly).toBool();
    if (!part) {
        if (wasPart) {
            const QVariantList was = box->property(before).toList();
            box->setProperty(partly, false);
            box->setReadOnly(was.value(0).toBool());
            box->setAccessibleDescription(was.value(1).toString());
            box->setToolTip(QString());
        }
        return value;
    }
    if (!wasPart) {
        box->setProperty(partly, true);
        box->setProperty(before, QVariantList{box->isReadOnly(), box->accessibleDescription()});
        box->setReadOnly(true);
    }
    const storage::PartShown shown = storage::partOfLongText(value, box->maxLength());
    box->setToolTip(shown.note);
    box->setAccessibleDescription(shown.note);
    return shown.text;
}

// Shows a value of the sheet without handing it back as an edit; a box being typed in keeps its
// cursor where it was (a stored round shown puts it at the end, as any new text does).
void showValue(QLineEdit *box, const QString &value, bool showingRound) {
    const QString shown = partShown(box, value);
    if (box->text() == shown) {
        return;
    }
    const QSignalBlocker blocker(box);
    const bool typing = box->hasFocus() && !showingRound;
    const int cursor = box->cursorPosition();
    box->setText(shown);
    if (typing) {
        box->setCursorPosition(cursor);
    }
}

}  // namespace

void frmMain::connectSheet() {
    using roundmodel::Field;
    using roundmodel::RoundSheet;
    for (Field field :
         {Field::ClubCall, Field::Location, Field::Frequency, Field::Unit, Field::GridHome,
          Field::RoundNumber, Field::ControllerCall, Field::ControllerName, Field::Date}) {
        connect(boxOf(field), &QLineEdit::textChanged, this,
                [this, field](const QString &text) { sheet_.setText(field, text); });
    }
    connect(&sheet_, &RoundSheet::textChanged, this, &frmMain::showText);
    connect(&sheet_, &RoundSheet::cellChanged, this, &frmMain::showCell);
    connect(&sheet_, &RoundSheet::awayChanged, this,
            [this](int i) { showMark(Check1[i], sheet_.row(i).away, i, Check2[i]); });
    connect(&sheet_, &RoundSheet::listeningChanged, this,
            [this](int i) { showMark(Check2[i], sheet_.row(i).listening, i, Check1[i]); });
    connect(&sheet_, &RoundSheet::turnChanged, this, &frmMain::showTurn);
    connect(&sheet_, &RoundSheet::addingChanged, this, &frmMain::showAdding);
    connect(&sheet_, &RoundSheet::hamLookedUp, this, &frmMain::calculatorShows);
    connect(&sheet_, &RoundSheet::roundShown, this, &frmMain::roundShown);
    connect(&sheet_, &RoundSheet::stored, this, &frmMain::showPosition);
    connect(txtLoc[0], &QLineEdit::textChanged, &sheet_, &RoundSheet::setHomeLocator);
}

void frmMain::showText(roundmodel::Field field) {
    if (field == roundmodel::Field::Progress) {
        Label5->setText(sheet_.text(field));
    } else {
        showValue(boxOf(field), sheet_.text(field), sheet_.isShowing());
    }
}

void frmMain::showCell(int index, roundmodel::Column column) {
    showValue(boxOf(index, column), sheet_.cell(index, column), sheet_.isShowing());
}

// A mark set or cleared freezes or frees its row: its boxes, its turn button and the other mark.
void frmMain::showMark(QCheckBox *mark, bool on, int index, QCheckBox *otherMark) {
    {
        const QSignalBlocker blocker(mark);
        mark->setChecked(on);
    }
    freezeRow(index, otherMark, on);
}

// The turn button counts its row's turns; the row whose station has the turn is highlighted,
// and no row when nobody has it (its station was marked away or listening).
void frmMain::showTurn(int, int row) {
    for (int i = 0; i < kRows; ++i) {
        setRowBackground(i, rowColour());
    }
    if (row < 0) {
        return;
    }
    QPushButton *button = cmdBeurt[row];
    button->setText(sheet_.turnCaption(row));
    button->setAccessibleName(button->text());
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    setRowBackground(row, kTurnColour);
}

// The colour of the text boxes, which every row has while its station does not have the turn.
QColor frmMain::rowColour() const {
    return palette().color(QPalette::Base);
}

// Adding participants follows the sheet at once: the button, "wis" with it, and the call boxes,
// which take no text while no call can be placed.
void frmMain::showAdding(bool allowed) {
    Command1->setEnabled(allowed);
    if (!allowed) {
        for (platform::TextBox *call : Text1) {
            call->setReadOnly(true);
        }
    }
}

void frmMain::showPosition() {
    Data1->setCaption(sheet_.positionCaption());
}

// The calculator shows the locator of the ham a call was looked up to and, for a call placed
// while the round is led, its distance (or says that a locator is not valid).
void frmMain::calculatorShows(const QString &locator, bool showing) {
    txtLoc[1]->setText(locator);
    if (!showing) {
        cmdCalc_Click();
    }
}

// While a round is being shown only the calculator keeps what the look-ups leave in it: the
// last ham's locator, and the distance of the last one whose locator was valid, worked out once
// when the round stands.
void frmMain::roundShown(const QString &lastValidLocator) {
    if (!lastValidLocator.isEmpty()) {
        const QString shown = txtLoc[1]->text();
        txtLoc[1]->setText(lastValidLocator);
        cmdCalc_Click();
        txtLoc[1]->setText(shown);
    }
    Data1_Reposition();
}

// A call typed or cleared in its box goes to the sheet, which looks it up.
void frmMain::Text1_Change(int index) {
    sheet_.setCell(index, roundmodel::Column::Call, Text1[index]->text());
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
    const QString &name = sheet_.cell(index, roundmodel::Column::Name);
    if (name.isEmpty()) {
        return;
    }
    hamlist::frmAmateur *hams = amateurWindow();
    hams->setParticipant(index, sheet_.cell(index, roundmodel::Column::Call), name);
    hams->exec();
}

// A QTH is upper case, also while it is typed: the box shows the sheet's form even when the
// sheet already held it.
void frmMain::Text3_Change(int index) {
    sheet_.setCell(index, roundmodel::Column::Qth, Text3[index]->text());
    showCell(index, roundmodel::Column::Qth);
}

void frmMain::Text3_LostFocus(int index) {
    sheet_.setCell(index, roundmodel::Column::Qth,
                   sheet_.cell(index, roundmodel::Column::Qth).toUpper());
    emptyCallRule(index);
}

// A row without a call keeps no other data.
void frmMain::emptyCallRule(int index) {
    sheet_.applyEmptyCallRule(index);
}

void frmMain::setRowBackground(int index, const QColor &color) {
    for (QWidget *w :
         std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index], Text4[index],
                                          Text5[index], cmdBeurt[index]}) {
        setBackground(w, color);
    }
}

void frmMain::cmdBeurt_Click(int index) {
    sheet_.giveTurn(index);
}

// Away and listening freeze a row: its boxes, its turn button and the other mark.
void frmMain::freezeRow(int index, QCheckBox *otherMark, bool frozen) {
    for (QWidget *w : std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index],
                                                       Text4[index], otherMark, cmdBeurt[index]}) {
        w->setEnabled(!frozen);
    }
    if (frozen) {
        const QColor window = rowColour();
        for (QWidget *w : std::initializer_list<QWidget *>{Text1[index], Text2[index], Text3[index],
                                                           Text4[index]}) {
            setBackground(w, window);
        }
    }
}

void frmMain::Check1_Click(int index) {
    sheet_.setAway(index, Check1[index]->isChecked());
}

void frmMain::Check2_Click(int index) {
    sheet_.setListening(index, Check2[index]->isChecked());
}

void frmMain::Command1_Click() {
    if (sheet_.text(roundmodel::Field::GridHome).isEmpty()) {
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
    if (closing_ || callEntry_ || !sheet_.addingAllowed()) {
        return;
    }
    callEntry_ = new frmToevoegen(*this);
    callEntry_->exec();
}

void frmMain::callPlaced(bool worthStoring) {
    if (worthStoring) {
        storeRound();
    }
    tmrToeVoeg->start();
}

void frmMain::endCallSeries() {
    tmrToeVoeg->stop();
}

// The round on screen goes into the table at once, so that a round being led survives a crash
// or a power cut; the sheet keeps showing exactly what it shows.
void frmMain::storeRound() {
    if (!sheet_.store()) {
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
        QStringLiteral("Verwijder alle deelnemers van ronde ") +
            sheet_.text(roundmodel::Field::RoundNumber));
    if (answer == platform::MessageAnswer::Cancel) {
        return;
    }
    sheet_.wipe();
}

void frmMain::verwijderronde_Click() {
    switch (sheet_.removeShown()) {
        case roundmodel::RoundSheet::Removal::LastOne:
            services_.messages.show(
                this, QStringLiteral("Je hebt alle rondes inmiddels verwijderd!"),
                platform::MessageStyle::OkInformation, QStringLiteral("Ho maar..."));
            break;
        case roundmodel::RoundSheet::Removal::BeingLed:
            services_.messages.show(
                this,
                QStringLiteral("Dit is de ronde die je nu leidt; die wordt niet verwijderd.\n"
                               "Een eerdere ronde verwijder je door die eerst te tonen."),
                platform::MessageStyle::OkInformation, QStringLiteral("Ho maar..."));
            break;
        case roundmodel::RoundSheet::Removal::Removed:
            break;
    }
}

void frmMain::setAddingEnabled(bool enabled) {
    Command1->setEnabled(enabled);
}

void frmMain::setWipeEnabled(bool enabled) {
    Command3->setEnabled(enabled);
}

// The round begins with this controller, as of the clock once it stands on the sheet (after any
// question its look-up asked); then the clocks run and the round is stored.
void frmMain::beginRound(const QString &controllerCall, const QString &controllerName) {
    const platform::Clock &clock = services_.clock;
    sheet_.begin(
        controllerCall, controllerName, settings_.readRondeTijd(),
        [&clock] {
            return roundmodel::RoundSheet::Moment{clock.localNow(), clock.utcNow()};
        },
        clock.locale());
    Timer1->start();
    tmrRondeTijd->start();
    storeRound();
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
