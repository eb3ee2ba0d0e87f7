#include "notes/frmNotities.h"

#include "platform/Controls.h"
#include "platform/Twips.h"
#include "storage/Database.h"
#include "storage/Schema.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace notes {

using platform::twips;
using platform::twipsRect;

namespace {

constexpr int kClientWidth = 12285;
constexpr int kClientHeight = 3990;
constexpr int kAgendaTab = frmNotities::kNotes - 1;

// The ten tabs share one row in equal widths, so all of them show whatever the font.
class EvenTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        if (count() > 0 && parentWidget()) {
            size.setWidth(parentWidget()->width() / count());
        }
        return size;
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

class NoteTabs : public QTabWidget {
public:
    explicit NoteTabs(QWidget *parent) : QTabWidget(parent) {
        setTabBar(new EvenTabBar(this));
        // Little room beside the captions, as a tab of a tenth of the row needs.
        tabBar()->setStyleSheet(QStringLiteral(
            "QTabBar::tab { padding: 4px 1px; border: 1px solid palette(mid);"
            " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
            " background: palette(button); }"
            "QTabBar::tab:selected { background: palette(window); }"
            "QTabBar::tab:!selected { margin-top: 2px; }"));
    }
};

}  // namespace

frmNotities::frmNotities(const QString &dataFolder, platform::Services services, QWidget *owner)
    : QDialog(owner), services_(services) {
    setObjectName(QStringLiteral("frmNotities"));
    createControls();

    Data1->setDatabaseName(
        QDir(dataFolder).filePath(QString::fromLatin1(storage::Database::kFileName)));
    Data1->setRecordSource(QStringLiteral("notes"));
    for (int n = 1; n <= kNotes; ++n) {
        Data1->bind(txtNot[size_t(n)], storage::notesTable().fields[n - 1]);
    }
    // The window has no handler for the record control's errors: the store's own message shows.
    Data1->setDefaultErrorReport([this](const QString &description) {
        services_.messages.show(this, description, platform::MessageStyle::OkCritical);
    });

    connect(SSTab1, &QTabWidget::currentChanged, this, &frmNotities::SSTab1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmNotities::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmNotities::Command1_Click);
    connect(Timer1, &platform::Timer::timeout, this, &frmNotities::Timer1_Timer);
    connect(tmrOpstart, &platform::Timer::timeout, this, &frmNotities::tmrOpstart_Timer);

    // Loading the window: the first notes record shows until tmrOpstart moves to the last one.
    Timer1->start();
    tmrOpstart->start();
    Data1->open();
}

// A window that goes without being closed still stores its edits.
frmNotities::~frmNotities() {
    if (!closed_) {
        Data1->close();
    }
}

void frmNotities::createControls() {
    setWindowTitle(QStringLiteral("Notities"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setFont(platform::verdana(9));

    SSTab1 = new NoteTabs(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(twipsRect(120, 120, 12015, 3255));
    SSTab1->tabBar()->setFont(platform::verdana(9, true));
    SSTab1->setUsesScrollButtons(false);
    SSTab1->tabBar()->setElideMode(Qt::ElideNone);
    for (int n = 1; n <= kNotes; ++n) {
        auto *page = new QWidget;
        auto *note = new QPlainTextEdit(page);
        note->setObjectName(QStringLiteral("txtNot_%1").arg(n));
        note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        note->setTabChangesFocus(true);
        const QString caption =
            n < kNotes ? QStringLiteral("Notitie %1").arg(n) : QStringLiteral("Agenda");
        note->setAccessibleName(caption);
        txtNot[size_t(n)] = note;
        SSTab1->addTab(page, caption);
    }
    // The boxes stand 600 twips below the top of the tab control, whose tabs take part of that.
    const int top = std::max(0, twips(600) - SSTab1->tabBar()->sizeHint().height());
    for (int n = 1; n <= kNotes; ++n) {
        txtNot[size_t(n)]->setGeometry(twips(120), top, twips(11775), twips(2295));
    }
    SSTab1->setCurrentIndex(kAgendaTab);

    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(120, 3480, 4935, 375));
    Command2 = new QPushButton(QStringLiteral("Wis"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twipsRect(8760, 3480, 1455, 375));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(10440, 3480, 1695, 375));
    for (QPushButton *button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setAccessibleName(button->text());
    }

    // No navigation bar: notes records are not browsed by hand.
    Data1 = new storage::RecordControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setGeometry(twipsRect(5520, 3480, 2895, 495));
    Data1->setVisible(false);

    Timer1 = services_.timers.make(this, "Timer1", 300, true);
    tmrOpstart = services_.timers.make(this, "tmrOpstart", 444, true);

    // "OK" first, then the tabs with their notes, then "Wis".
    setTabOrder(Command1, SSTab1);
    setTabOrder(SSTab1, Command2);
}

int frmNotities::currentNote() const {
    return SSTab1->currentIndex() + 1;
}

// The first note gets the focus, on its own tab so that what is typed shows where it goes.
void frmNotities::Timer1_Timer() {
    Timer1->stop();
    SSTab1->setCurrentIndex(0);
    txtNot[1]->setFocus();
}

// What was typed before this moment went into the first record and is stored there by the move.
void frmNotities::tmrOpstart_Timer() {
    tmrOpstart->stop();
    Data1->Recordset().MoveLast();
}

void frmNotities::SSTab1_Click(int) {
    Label1->setText(QStringLiteral("Je werkt in tabblad ") + QString::number(currentNote()));
}

void frmNotities::Command2_Click() {
    const int n = currentNote();
    const platform::MessageAnswer answer = services_.messages.show(
        this,
        QStringLiteral("Je gaat notitie ") + QString::number(n) + QStringLiteral(" verwijderen"),
        platform::MessageStyle::OkCancelInformation, QStringLiteral("Verwijder deelnotitie"));
    if (answer != platform::MessageAnswer::Ok) {
        return;
    }
    txtNot[size_t(n)]->setPlainText(QStringLiteral(" "));
    if (!storeNotes()) {
        tellNotStored();
    }
    txtNot[size_t(n)]->setFocus();
}

void frmNotities::Command1_Click() {
    for (int n = 1; n <= kNotes; ++n) {
        if (txtNot[size_t(n)]->toPlainText().isEmpty()) {
            txtNot[size_t(n)]->setPlainText(QStringLiteral(" "));
        }
    }
    // Notes that could not be stored stay on screen.
    if (!storeNotes()) {
        tellNotStored();
        return;
    }
    close();
}

bool frmNotities::storeNotes() {
    storage::Recordset &rs = Data1->Recordset();
    if (!rs.MoveFirst()) {
        return false;
    }
    rs.MoveLast();
    return true;
}

QString frmNotities::notStoredText() const {
    return QStringLiteral("De notities zijn niet opgeslagen.\n") + Data1->lastError().description;
}

void frmNotities::tellNotStored() {
    services_.messages.show(this, notStoredText(), platform::MessageStyle::OkCritical);
}

void frmNotities::closeWithOwner() {
    closingWithOwner_ = true;
    close();
}

void frmNotities::closeEvent(QCloseEvent *event) {
    if (!closed_) {
        // The user may keep the window, and so the notes that could not be stored; when the
        // program ends they go.
        const bool stored = storeNotes();
        if (!stored && closingWithOwner_) {
            tellNotStored();
        } else if (!stored) {
            const platform::MessageAnswer answer = services_.messages.show(
                this,
                notStoredText() +
                    QStringLiteral("\n\nVenster toch sluiten? De tekst die niet is opgeslagen "
                                   "gaat dan verloren."),
                platform::MessageStyle::OkCancelExclamation, QStringLiteral("Notities"));
            if (answer != platform::MessageAnswer::Ok) {
                event->ignore();
                return;
            }
        }
        closed_ = true;
        // Text that could not be stored is let go without a second attempt and message.
        if (stored) {
            Data1->close();
        }
    }
    event->accept();
    QDialog::closeEvent(event);
}

// Escape does not close the window: it is closed by "OK" or its close button, storing the notes.
void frmNotities::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace notes
