#include "hamlist/frmAmateur.h"

#include "hamlist/HamRules.h"
#include "hamlist/frmMessage.h"
#include "hamlist/frmMultiFound.h"
#include "platform/Twips.h"
#include "storage/Database.h"
#include "storage/Schema.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace hamlist {

using platform::twips;
using platform::twipsRect;

namespace {

constexpr int kClientWidth = 6435;
constexpr int kClientHeight = 7185;

enum Field {
    kCall,
    kName,
    kAddress,
    kPostcode,
    kQth,
    kGrid,
    kCountry,
    kPhone,
    kEmail,
    kParticulars
};

// A key that would change a box's text.
bool editsText(const QKeyEvent *key) {
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        return true;
    }
    const bool shortcut =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return !shortcut && !key->text().isEmpty() && key->text().at(0).isPrint();
}

}  // namespace

// A field's form may be longer than what it was made of (ß is SS in upper case), and a
// participant handed over may have a longer name than one typed here: the box takes it whole
// rather than cutting it at its length, which limits typing only.
void frmAmateur::putWhole(QLineEdit *box, const QString &text) {
    if (text.size() > box->maxLength()) {
        box->setMaxLength(int(std::min<qsizetype>(text.size(), 32767)));
    }
    box->setText(text);
}

frmAmateur::frmAmateur(const QString &dataFolder, platform::Services services, QWidget *owner)
    : QDialog(owner),
      settings_(dataFolder),
      services_(services),
      messages_(services.messages),
      web_(services.web) {
    setObjectName(QStringLiteral("frmAmateur"));
    // Closing destroys the window; the next use makes it anew.
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();

    Data1->setDatabaseName(
        QDir(dataFolder).filePath(QString::fromLatin1(storage::Database::kFileName)));
    Data1->setRecordSource(QStringLiteral("qrz"));
    for (int i = 0; i < kFields - 1; ++i) {
        Data1->bind(txtFields[i], storage::qrzTable().fields[i]);
        connect(txtFields[i], &QLineEdit::textChanged, this, &frmAmateur::txtFields_Change);
        connect(txtFields[i], &platform::TextBox::lostFocus, this,
                [this, i] { txtFields_LostFocus(i); });
        connect(txtFields[i], &platform::TextBox::doubleClicked, this,
                &frmAmateur::txtFields_DblClick);
        txtFields[i]->installEventFilter(this);
    }
    Data1->bind(particulars_, storage::qrzTable().fields[kParticulars]);
    connect(particulars_, &storage::HiddenField::textChanged, this, &frmAmateur::showParticulars);
    connect(particulars_, &storage::HiddenField::textChanged, this, &frmAmateur::txtFields_Change);
    connect(txtBijzonderheden, &QPlainTextEdit::textChanged, this, &frmAmateur::particularsTyped);
    txtBijzonderheden->installEventFilter(this);
    txtBijzonderheden->viewport()->installEventFilter(this);
    txtZoek->installEventFilter(this);

    connect(Data1, &storage::RecordControl::Validate, this, &frmAmateur::Data1_Validate);
    connect(Data1, &storage::RecordControl::Reposition, this, &frmAmateur::Data1_Reposition);
    connect(Data1, &storage::RecordControl::Error, this, &frmAmateur::Data1_Error);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAmateur::cmdAdd_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmAmateur::cmdUpdate_Click);
    connect(cmdMap, &QPushButton::clicked, this, &frmAmateur::cmdMap_Click);
    connect(Command2, &QPushButton::clicked, this, &frmAmateur::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmAmateur::Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAmateur::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &frmAmateur::Command4_Click);
    connect(txtZoek, &QLineEdit::textChanged, this, &frmAmateur::txtZoek_Change);
    txtZoek->setTypedUpperCase(true);
    Combo1->installEventFilter(this);
    connect(delham, &QAction::triggered, this, &frmAmateur::delham_Click);
    connect(startmetgedeeltecall, &QAction::triggered, this,
            &frmAmateur::startmetgedeeltecall_Click);
    connect(Timer1, &platform::Timer::timeout, this, &frmAmateur::Timer1_Timer);
    connect(opstarttimer, &platform::Timer::timeout, this, &frmAmateur::opstarttimer_Timer);
    connect(tmrKlik, &platform::Timer::timeout, this, &frmAmateur::tmrKlik_Timer);

    load();
}

frmAmateur::~frmAmateur() {
    restoreMouse();
}

void frmAmateur::createControls() {
    setWindowTitle(QStringLiteral("HAM Lijst  (verzameling regelmatige/nieuwe) ronde bezoekers"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setFont(platform::verdana(9));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    QMenu *opties = menuBar->addMenu(QStringLiteral("Opties"));
    delham = opties->addAction(QStringLiteral("Maak van onderliggende HAM Gehakt!"));
    startmetgedeeltecall =
        opties->addAction(QStringLiteral("Altijd opstarten met : zoeken op gedeelte van Call"));
    startmetgedeeltecall->setCheckable(true);

    auto *client = new QWidget(this);
    client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    layout->addWidget(client, 0, Qt::AlignLeft | Qt::AlignTop);

    lblMessage = new QLabel(client);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(twipsRect(2160, 0, 3375, 360));
    lblMessage->setAlignment(Qt::AlignCenter);
    lblMessage->setFont(platform::verdana(9, true));
    QPalette darkRed = lblMessage->palette();
    darkRed.setColor(QPalette::WindowText, QColor(192, 0, 0));
    lblMessage->setPalette(darkRed);

    static const char *const labels[kFields] = {
        "Call:", "Naam:", "Adres",     "Postcode",    "Qth:",
        "Grid:", "Land:", "Telefoon:", "E-mailadres", "Bijzonderheden:"};
    for (int i = 0; i < kFields; ++i) {
        const int top = 240 + 360 * i;
        const int width = (i == kCall || i == kAddress || i == kEmail) ? 3615 : 4215;
        QWidget *box = nullptr;
        if (i < kParticulars) {
            auto *text = new platform::TextBox(client);
            if (i != kAddress && i != kPostcode && i != kEmail) {
                text->setMaxLength(50);
            }
            text->setGeometry(twipsRect(2040, top, width, 360));
            txtFields[i] = text;
            box = text;
        } else {
            txtBijzonderheden = new QPlainTextEdit(client);
            txtBijzonderheden->setGeometry(twipsRect(2040, top, width, 720));
            txtBijzonderheden->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            txtBijzonderheden->setTabChangesFocus(true);
            box = txtBijzonderheden;
        }
        box->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        auto *label = new QLabel(QString::fromUtf8(labels[i]), client);
        label->setGeometry(twipsRect(120, top, 1815, 360));
        label->setBuddy(box);
        box->setAccessibleName(label->text().remove(QLatin1Char(':')));
    }
    QFont bold = txtFields[kName]->font();
    bold.setBold(true);
    txtFields[kName]->setFont(bold);
    txtFields[kCall]->setCursor(Qt::PointingHandCursor);
    particulars_ = new storage::HiddenField(this);

    auto smallButton = [client](const QString &caption, int top, const char *accessible) {
        auto *button = new QPushButton(caption, client);
        button->setGeometry(twipsRect(5650, top, 600, 300));
        button->setFont(platform::verdana(8.25));
        button->setAccessibleName(QString::fromLatin1(accessible));
        return button;
    };
    Command2 = smallButton(QStringLiteral("copy"), 270, "Call kopiëren");
    cmdMap = smallButton(QStringLiteral("map"), 980, "Adres op de kaart");
    Command3 = smallButton(QStringLiteral("copy"), 3150, "E-mailadres kopiëren");
    Command2->setAccessibleName(QStringLiteral("Call kopiëren"));
    Command3->setAccessibleName(QStringLiteral("E-mailadres kopiëren"));

    cmdUpdate = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                QStringLiteral("&Opslaan"), client);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    cmdUpdate->setGeometry(twipsRect(4080, 4320, 1095, 900));
    cmdAdd = new QPushButton(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("&Nieuw"),
                             client);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setGeometry(twipsRect(5280, 4320, 975, 900));
    cmdUpdate->setAccessibleName(QStringLiteral("Opslaan"));
    cmdAdd->setAccessibleName(QStringLiteral("Nieuw"));

    Frame1 = new QGroupBox(QStringLiteral("Vul eerst zoekitem in:"), client);
    Frame1->setGeometry(twipsRect(120, 5400, 6255, 1215));
    Frame1->setFont(platform::verdana(8.25));
    auto *searchLabel = new QLabel(QStringLiteral("Zoek Item:"), Frame1);
    searchLabel->setGeometry(twipsRect(120, 240, 1215, 255));
    txtZoek = new platform::TextBox(Frame1);
    txtZoek->setObjectName(QStringLiteral("txtZoek"));
    txtZoek->setGeometry(twipsRect(120, 480, 2175, 330));
    searchLabel->setBuddy(txtZoek);
    txtZoek->setAccessibleName(QStringLiteral("Zoek Item"));
    Command4 = new QPushButton(QStringLiteral("wis"), Frame1);
    Command4->setGeometry(twipsRect(2280, 480, 495, 300));
    Command4->setAccessibleName(QStringLiteral("Zoektekst wissen"));
    auto *searchInLabel = new QLabel(QStringLiteral("Doorzoek:"), Frame1);
    searchInLabel->setGeometry(twipsRect(3240, 240, 975, 255));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twipsRect(3240, 480, 1815, 330));
    for (const char *entry : kSearchEntries) {
        Combo1->addItem(QString::fromUtf8(entry));
    }
    searchInLabel->setBuddy(Combo1);
    Combo1->setAccessibleName(QStringLiteral("Doorzoek"));
    Check1 = new QCheckBox(QStringLiteral("op deel van Call zoeken"), Frame1);
    Check1->setGeometry(twipsRect(120, 840, 2775, 255));
    Check1->setAccessibleName(Check1->text());
    Command1 = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                               QStringLiteral("&Zoek"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(5160, 240, 975, 780));
    Command1->setAccessibleName(QStringLiteral("Zoek"));
    for (QWidget *w : std::initializer_list<QWidget *>{searchLabel, txtZoek, searchInLabel, Combo1,
                                                       Check1, Command1}) {
        w->setFont(platform::verdana(9));
    }

    // The participant context: never shown.
    Check2 = new QCheckBox(client);
    txtZcall = new QLineEdit(client);
    txtZnaam = new QLineEdit(client);
    txtX = new QLineEdit(client);
    for (QWidget *hidden : std::initializer_list<QWidget *>{Check2, txtZcall, txtZnaam, txtX}) {
        hidden->setVisible(false);
    }

    Data1 = new storage::RecordControl(client);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setGeometry(twipsRect(0, 6795, 6435, 390));

    auto timer = [this](const char *name, int interval) {
        return services_.timers.make(this, name, interval, true);
    };
    Timer1 = timer("Timer1", 2000);
    opstarttimer = timer("opstarttimer", 300);
    tmrKlik = timer("tmrKlik", 500);

    // The tab order runs through the ten fields.
    for (int i = 0; i + 1 < kFields; ++i) {
        setTabOrder(field(i), field(i + 1));
    }
    resize(sizeHint());
}

// Creating the window: each step that fails is skipped.
void frmAmateur::load() {
    restoreMouse();
    opstarttimer->start();
    Combo1->setCurrentIndex(0);
    Command1->setEnabled(false);
    tmrKlik->stop();
    const bool partialCall = settings_.readPrtcall();
    startmetgedeeltecall->setChecked(partialCall);
    Check1->setChecked(partialCall);
    Data1->open();
    Timer1->start();
}

QWidget *frmAmateur::field(int index) const {
    if (index == kParticulars) {
        return txtBijzonderheden;
    }
    return index >= 0 && index < kParticulars ? txtFields[index] : nullptr;
}

QString frmAmateur::fieldText(int index) const {
    if (index == kParticulars) {
        return particulars_->text();
    }
    return index >= 0 && index < kParticulars ? txtFields[index]->text() : QString();
}

void frmAmateur::setFieldText(int index, const QString &text) {
    if (index == kParticulars) {
        particulars_->setText(text);
    } else if (index >= 0 && index < kParticulars) {
        txtFields[index]->setText(text);
    }
}

// Puts the particulars into their box: whole when they are short enough to edit, else their
// beginning, read-only, with a word on what is not shown.
void frmAmateur::showParticulars() {
    const QString &text = particulars_->text();
    const bool whole = text.size() <= kParticularsShown;
    QString shown = text;
    QString note;
    if (!whole) {
        qsizetype cut = kParticularsShown;
        if (text[cut - 1].isHighSurrogate()) {
            --cut;
        }
        shown = text.left(cut) + QStringLiteral("\u2026");
        note = QStringLiteral(
                   "Deze bijzonderheden zijn %1 tekens lang; hier staan de eerste %2. Ze "
                   "blijven bij opslaan heel bewaard, maar zijn hier niet te wijzigen.")
                   .arg(text.size())
                   .arg(cut);
    }
    const QScopedValueRollback<bool> setting(settingParticulars_, true);
    if (txtBijzonderheden->toPlainText() != shown) {
        txtBijzonderheden->setPlainText(shown);
    }
    txtBijzonderheden->setReadOnly(!whole);
    txtBijzonderheden->setToolTip(note);
    txtBijzonderheden->setAccessibleDescription(note);
}

// Typing stops at 255 characters of particulars; a longer text that is already stored (or put
// there by the program) stays whole, and may still be shortened.
void frmAmateur::particularsTyped() {
    if (settingParticulars_) {
        return;
    }
    const QString text = txtBijzonderheden->toPlainText();
    const QString before = particulars_->text();
    if (text.size() <= kParticularsLimit || text.size() <= before.size()) {
        const QScopedValueRollback<bool> setting(settingParticulars_, true);
        particulars_->setText(text);
        return;
    }
    const int grown = int(text.size() - before.size());
    const int cursor = txtBijzonderheden->textCursor().position();
    {
        const QScopedValueRollback<bool> setting(settingParticulars_, true);
        txtBijzonderheden->setPlainText(before);
    }
    QTextCursor back = txtBijzonderheden->textCursor();
    back.setPosition(std::clamp(cursor - grown, 0, int(before.size())));
    txtBijzonderheden->setTextCursor(back);
}

void frmAmateur::opstarttimer_Timer() {
    opstarttimer->stop();
    Data1->Recordset().MoveLast();
}

void frmAmateur::Timer1_Timer() {
    lblMessage->clear();
    Timer1->stop();
}

void frmAmateur::cmdAdd_Click() {
    Data1->Recordset().AddNew();
    {
        // A default is no edit: a new record nobody typed into is not stored.
        const QSignalBlocker quiet(txtFields[kCountry]);
        txtFields[kCountry]->setText(QStringLiteral("Nederland"));
    }
    txtFields[kCall]->setFocus();
}

void frmAmateur::cmdUpdate_Click() {
    if (!Data1->UpdateRecord()) {
        Data1_Error(Data1->lastError().code, Data1->lastError().description, nullptr);
        return;
    }
    Data1->Recordset().setBookmark(Data1->Recordset().LastModified());
    Timer1->start();
    lblMessage->setText(QStringLiteral("opgeslagen!"));
}

void frmAmateur::delham_Click() {
    const platform::MessageAnswer answer =
        messages_.show(this,
                       QStringLiteral("Je gaat de info van ") + txtFields[kCall]->text() +
                           QStringLiteral(" verwijderen?"),
                       platform::MessageStyle::OkCancelCritical,
                       txtFields[kName]->text() + QStringLiteral(" vernietigen!"));
    if (answer == platform::MessageAnswer::Cancel) {
        return;
    }
    storage::Recordset &rs = Data1->Recordset();
    // A new ham that was never stored is dropped, not stored by the move that follows.
    if (rs.state() == storage::CursorState::PendingNew) {
        if (rs.CancelUpdate()) {
            rs.MoveLast();
        }
        return;
    }
    if (rs.RecordCount() <= 1) {
        messages_.show(
            this, QStringLiteral("Deze laatste kan je alleen maar wijzigen en niet verwijderen"),
            platform::MessageStyle::OkOnly);
        return;
    }
    if (!rs.Delete()) {
        return;
    }
    rs.MoveLast();
}

void frmAmateur::startmetgedeeltecall_Click() {
    // The action has already toggled its mark when this runs.
    const bool on = startmetgedeeltecall->isChecked();
    if (!settings_.writePrtcall(on)) {
        messages_.show(this,
                       QStringLiteral("De keuze voor zoeken op gedeelte van Call is niet bewaard: "
                                      "het bestand prtcall kan niet worden geschreven."),
                       platform::MessageStyle::OkCritical);
    }
    Check1->setChecked(on);
}

void frmAmateur::cmdMap_Click() {
    if (txtFields[kAddress]->text().isEmpty()) {
        return;
    }
    web_.open(platform::webpages::mapsPlace(txtFields[kAddress]->text(), txtFields[kQth]->text()));
}

void frmAmateur::txtFields_Change() {
    cmdAdd->setEnabled(true);
    cmdUpdate->setEnabled(true);
}

void frmAmateur::txtFields_LostFocus(int index) {
    if (closed_ || !isVisible()) {
        return;
    }
    normaliseField(index, true);
}

// Gives a field the form it is kept in. With `tell`, a grid that is too short is refused with
// its message and the focus goes back to it, and an e-mail address that fails its check is
// reported; without, the same forms are made silently (a record left while the field still has
// the focus, by a navigation button or by closing the window).
void frmAmateur::normaliseField(int index, bool tell) {
    platform::TextBox *box = txtFields[index];
    // A box that shows only part of a stored text too long for it is left alone; the record
    // keeps that text as it is.
    if (box->isReadOnly()) {
        return;
    }
    switch (index) {
        case kCall:
        case kName:
        case kQth:
            putWhole(box, upperTrimmed(box->text()));
            break;
        case kPostcode:
            putWhole(box, postcodeForm(box->text()));
            break;
        case kGrid:
            if (gridTooShort(box->text())) {
                box->setText(shortGridForm(box->text()));
                if (tell) {
                    messages_.show(this, QStringLiteral("Grid locatie moet uit 6 tekens bestaan"),
                                   platform::MessageStyle::OkOnly);
                    box->setFocus();
                }
                return;
            }
            box->setText(gridForm(box->text()));
            break;
        case kEmail:
            if (!box->text().isEmpty()) {
                putWhole(box, emailForm(box->text()));
                if (tell) {
                    isEmail(box->text());
                }
            }
            break;
        case kCountry:
            putWhole(box, countryForm(box->text()));
            break;
        default:
            break;
    }
}

// The field that still has the focus when its record is left has not had its form yet.
void frmAmateur::normaliseFocusedField() {
    for (int i = 0; i < kParticulars; ++i) {
        if (txtFields[i]->hasFocus()) {
            normaliseField(i, false);
        }
    }
}

bool frmAmateur::isEmail(const QString &text) {
    if (isEmailText(text)) {
        return true;
    }
    messages_.show(this, QStringLiteral("E-mailadres onjuist!"), platform::MessageStyle::OkCritical,
                   QStringLiteral("Corrigeer e-mailadres svp"));
    return false;
}

void frmAmateur::txtFields_DblClick() {
    const QString call = txtFields[kCall]->text();
    if (!call.isEmpty()) {
        web_.open(platform::webpages::qrzLookup(call));
    }
}

void frmAmateur::Command2_Click() {
    copyToClipboard(kCall, 600);
}

void frmAmateur::Command3_Click() {
    copyToClipboard(kEmail, 3500);
}

void frmAmateur::copyToClipboard(int fieldIndex, int hintTopTwips) {
    const QString text = txtFields[fieldIndex]->text();
    if (text.isEmpty()) {
        return;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);

    auto *hint = new frmMessage(services_.timers, this);
    const QPoint corner = frameGeometry().topLeft();
    hint->move(corner.x() + twips(1800), corner.y() + twips(hintTopTwips));
    hint->exec();
}

void frmAmateur::setParticipant(int row, const QString &call, const QString &name) {
    txtX->setText(QString::number(row));
    tmrKlik->start();
    Check2->setChecked(true);
    txtZnaam->setText(name);
    txtZcall->setText(call);
}

void frmAmateur::Data1_Validate() {
    normaliseFocusedField();
    if (!busy_) {
        busy_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(0, this, &frmAmateur::restoreMouse);
    }
}

void frmAmateur::restoreMouse() {
    if (busy_) {
        busy_ = false;
        QApplication::restoreOverrideCursor();
    }
}

void frmAmateur::Data1_Reposition() {
    restoreMouse();
    const storage::Recordset &rs = Data1->Recordset();
    Data1->setCaption(QStringLiteral("Amateur : %1 van de %2")
                          .arg(rs.AbsolutePosition() + 1)
                          .arg(rs.RecordCount()));
}

void frmAmateur::Data1_Error(int, const QString &description, int *response) {
    messages_.show(this, QStringLiteral("Data error event hit err:") + description,
                   platform::MessageStyle::OkOnly);
    if (response) {
        *response = 0;
    }
}

bool frmAmateur::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == txtZoek) {
            Command1_Click();
            return true;
        }
        // A text too long to edit here says so when the user tries.
        auto *box = qobject_cast<QWidget *>(watched);
        if (box && box != txtZoek && !key->isAutoRepeat() && editsText(key) &&
            !box->toolTip().isEmpty() && box->property("readOnly").toBool()) {
            messages_.show(this, box->toolTip(), platform::MessageStyle::OkInformation);
            return true;
        }
        if (enter && watched == txtBijzonderheden) {
            cmdUpdate->setFocus();
            return true;
        }
        for (int i = 0; enter && i < kParticulars; ++i) {
            if (watched == txtFields[i]) {
                field(i + 1)->setFocus();
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               watched == txtBijzonderheden->viewport()) {
        txtFields_DblClick();
    } else if (event->type() == QEvent::FocusOut && watched == Combo1) {
        Combo1_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmAmateur::keyPressEvent(QKeyEvent *event) {
    // Keys reach the window itself only when none of its controls has the focus.
    const QWidget *focus = QApplication::focusWidget();
    if (focus && focus != this && isAncestorOf(focus)) {
        // Enter and Escape in a control do not close the window.
        if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
            event->key() == Qt::Key_Enter) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    event->accept();
}

void frmAmateur::closeEvent(QCloseEvent *event) {
    if (!closed_) {
        closed_ = true;
        normaliseFocusedField();
        txtZoek->clear();
        if (multiFound_) {
            multiFound_->close();
        }
        Data1->close();
        restoreMouse();
    }
    event->accept();
    QDialog::closeEvent(event);
}

}  // namespace hamlist
