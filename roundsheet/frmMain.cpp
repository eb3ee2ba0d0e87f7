#include "roundsheet/frmMain.h"

#include "geo/Locator.h"
#include "hamlist/frmAmateur.h"
#include "roundmodel/DateTexts.h"
#include "storage/Database.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace roundsheet {

frmMain::frmMain(QString dataFolder, Services services, QWidget *parent)
    : QMainWindow(parent),
      dataFolder_(std::move(dataFolder)),
      services_(services),
      settings_(dataFolder_),
      hamLookup_(QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName))) {
    setObjectName(QStringLiteral("frmMain"));
    // What the line over the progress bar says before a round begins.
    sheet_.setText(roundmodel::Field::Progress, QStringLiteral("Voortgang geplande tijd"));
    createControls();
    connectTiming();

    Data1->attach(sheet_.records());
    sheet_.setHamLookUp([this](const QString &call) { return lookUpHam(call); });
    for (int i = 0; i < kRows; ++i) {
        connect(Text1[i], &platform::TextBox::doubleClicked, this,
                [this, i] { Text1_DblClick(i); });
    }
    createExtras();
    connect(&sheet_, &roundmodel::RoundSheet::leaving, this, &frmMain::Data1_Validate);
    connect(Data1, &storage::RecordControl::Error, this, &frmMain::Data1_Error);

    connect(startupTimer, &platform::Timer::timeout, this, &frmMain::startupTimer_Timer);
    connect(tmrRonde, &platform::Timer::timeout, this, &frmMain::tmrRonde_Timer);
    connect(cmdCalc, &QPushButton::clicked, this, &frmMain::cmdCalc_Click);
    connect(txtGridHome, &platform::TextBox::lostFocus, this, &frmMain::txtGridHome_LostFocus);
    connect(txtBand, &platform::TextBox::lostFocus, this, &frmMain::txtBand_LostFocus);
    connect(whatsapp, &QAction::triggered, this, &frmMain::whatsapp_Click);
    connect(jitsy, &QAction::triggered, this, &frmMain::jitsy_Click);
    connect(exitprog, &QAction::triggered, this, &frmMain::exitprog_Click);
    connect(hamlijst, &QAction::triggered, this, &frmMain::hamlijst_Click);
    connect(rondeuitprinten, &QAction::triggered, this, &frmMain::rondeuitprinten_Click);
    connect(rondeexporteren, &QAction::triggered, this, &frmMain::rondeexporteren_Click);
    connect(printerselect, &QAction::triggered, this, &frmMain::printerselect_Click);
    connect(help, &QAction::triggered, this, &frmMain::help_Click);
    connectRows();
    connectSheet();

    // The menu's shortcuts win over the text boxes' own keys in this window (Ctrl+X closes the
    // program, not cuts; cutting stays on Shift+Delete and the context menu).
    for (QLineEdit *box : findChildren<QLineEdit *>()) {
        box->installEventFilter(this);
    }
}

bool frmMain::isMenuShortcut(const QKeyEvent *key) const {
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *action :
         {exitprog, rondestarten, verwijderronde, rondeuitprinten, rondeexporteren}) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

// Centred on the screen when first shown; a screen smaller than the window keeps its title bar
// in view.
void frmMain::showEvent(QShowEvent *event) {
    if (!centred_ && screen()) {
        centred_ = true;
        const QRect available = screen()->availableGeometry();
        const QRect frame = frameGeometry();
        QPoint topLeft = available.center() - QPoint(frame.width() / 2, frame.height() / 2);
        topLeft.setX(std::max(topLeft.x(), available.left()));
        topLeft.setY(std::max(topLeft.y(), available.top()));
        move(topLeft);
    }
    QMainWindow::showEvent(event);
}

// The ham list window goes first, while this window is whole: its destroyed notification
// reaches a handler here.
frmMain::~frmMain() {
    delete amateur_;
    // The controls go while the sheet they show is still here.
    delete takeCentralWidget();
}

void frmMain::load(std::unique_ptr<storage::Database> database) {
    pi = 4 * std::atan(1.0);

    using roundmodel::Field;
    const QDate today = services_.clock.localNow().date();
    sheet_.setText(Field::Date, roundmodel::roundDateText(today, services_.clock.locale()));
    startupTimer->start();
    spraak->setChecked(settings_.readStem());
    tmrRonde->start();
    sheet_.setPlannedTime(settings_.readRondeTijd());

    const storage::Settings::Basis basis = settings_.readBasis();
    sheet_.setText(Field::ClubCall, basis.clubCall);
    sheet_.setText(Field::Location, basis.location);
    sheet_.setText(Field::Frequency, basis.frequency);
    sheet_.setText(Field::Unit, basis.unit);
    sheet_.setText(Field::GridHome, basis.gridHome);
    txtLoc[0]->setText(basis.gridHome.trimmed());

    placeRows();
    lblWeek->setText(QStringLiteral("Week ") + QString::number(roundmodel::weekNumber(today)));

    // The stored rounds replace what stands on the sheet; errors are said as the navigation
    // bar's (Data1_Error).
    const bool opened =
        database
            ? sheet_.open(std::move(database))
            : sheet_.open(
                  QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName)));
    if (!opened) {
        int response = 1;
        Data1_Error(sheet_.lastError().code, sheet_.lastError().description, &response);
    }
    Timer1->start();
}

void frmMain::startupTimer_Timer() {
    startupTimer->stop();
    // Not in the middle of loading a round, nor over another window that waits for an answer:
    // a little later.
    if (sheet_.isShowing() || QApplication::activeModalWidget()) {
        startupTimer->start();
        return;
    }
    showStartDialog();
}

void frmMain::tmrRonde_Timer() {
    tmrRonde->stop();
    sheet_.showLatest();
}

void frmMain::cmdCalc_Click() {
    const geo::LocatorCalculator calculator(pi);
    for (int i = 0; i < 2; ++i) {
        if (!geo::LocatorCalculator::IsValidLocator(txtLoc[i]->text())) {
            services_.messages.show(this, geo::invalidLocatorText(),
                                    platform::MessageStyle::OkCritical,
                                    QString::fromUtf8(geo::kInvalidLocatorTitle));
            txtLoc[i]->setFocus();
            return;
        }
    }
    const QLocale locale = services_.clock.locale();
    double latitude[2];
    double longitude[2];
    for (int i = 0; i < 2; ++i) {
        const auto point = geo::LocatorCalculator::LocatorToLatLong(txtLoc[i]->text());
        latitude[i] = point.latitude;
        longitude[i] = point.longitude;
        labLat[i]->setText(geo::LocatorCalculator::coordinateText(point.latitude, locale));
        labLong[i]->setText(geo::LocatorCalculator::coordinateText(point.longitude, locale));
    }
    labDistance->setText(
        geo::LocatorCalculator::distanceText(calculator.GreatCircleDistance(latitude, longitude)));
}

void frmMain::txtGridHome_LostFocus() {
    const QString form = geo::gridHomeForm(sheet_.text(roundmodel::Field::GridHome));
    sheet_.setText(roundmodel::Field::GridHome, form);
    txtLoc[0]->setText(form);
}

void frmMain::txtBand_LostFocus() {
    sheet_.setText(roundmodel::Field::Unit,
                   geo::bandUnitForm(sheet_.text(roundmodel::Field::Unit)));
}

void frmMain::Text1_DblClick(int index) {
    const QString &call = sheet_.cell(index, roundmodel::Column::Call);
    if (!call.isEmpty()) {
        services_.web.open(platform::webpages::qrzLookup(call));
    }
}

void frmMain::whatsapp_Click() {
    services_.web.open(platform::webpages::whatsApp());
}

void frmMain::jitsy_Click() {
    services_.web.open(platform::webpages::jitsiRoom());
}

void frmMain::exitprog_Click() {
    close();
}

hamlist::frmAmateur *frmMain::amateurWindow() {
    if (!amateur_) {
        amateur_ = new hamlist::frmAmateur(dataFolder_, services_, this);
        amateur_->participantName = [this](int row) {
            return row >= 0 && row < kRows ? sheet_.cell(row, roundmodel::Column::Name) : QString();
        };
        if (lastFoundHam_ != storage::kNoBookmark) {
            amateur_->opstarttimer->stop();
            amateur_->Data1->Recordset().setBookmark(lastFoundHam_);
        }
        // Closed, the window is gone with the record it stood on; the next one starts afresh.
        connect(amateur_, &QObject::destroyed, this,
                [this] { lastFoundHam_ = storage::kNoBookmark; });
    }
    return amateur_;
}

std::optional<storage::Ham> frmMain::lookUpHam(const QString &call) {
    // Through the rounds' connection to the same file while it is open.
    hamLookup_.useConnection(sheet_.records().connection());
    std::optional<storage::FoundHam> found = hamLookup_.find(call);
    if (!found) {
        return std::nullopt;
    }
    lastFoundHam_ = found->bookmark;
    return std::move(found->ham);
}

void frmMain::hamlijst_Click() {
    amateurWindow()->exec();
}

// The hourglass shows only between leaving one round and arriving at the next; should no round
// arrive (a find without a hit, a failed move) it goes when the current event is done.
void frmMain::Data1_Validate() {
    if (!busy_) {
        busy_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(0, this, &frmMain::restoreMouse);
    }
}

void frmMain::restoreMouse() {
    if (busy_) {
        busy_ = false;
        QApplication::restoreOverrideCursor();
    }
}

// A stored round stands on the sheet: the hourglass goes, the calculator shows the distance of
// the last look-up with a valid locator, and the caption the position.
void frmMain::Data1_Reposition() {
    restoreMouse();
    showPosition();
}

// A move whose save step failed stays on the round with its edits; the user hears at once what
// went wrong with which file. While the program closes, closeEvent has asked already.
void frmMain::Data1_Error(int, const QString &description, int *response) {
    *response = 0;
    if (!closing_) {
        services_.messages.show(this, description, platform::MessageStyle::OkCritical);
    }
}

void frmMain::reportStoreFailure() {
    services_.messages.show(
        this,
        QStringLiteral("De ronde is niet opgeslagen.\n") + sheet_.lastError().description +
            QStringLiteral("\nDe ronde blijft op het scherm staan; Kringbaas "
                           "probeert het opnieuw bij de volgende opslag."),
        platform::MessageStyle::OkCritical, QStringLiteral("Ronde niet opgeslagen"));
}

// Stores the round on screen before the program closes. A round that cannot be stored is not
// given up without the user's word: try again, or close without it.
bool frmMain::storeBeforeClosing() {
    for (;;) {
        if (sheet_.storePending()) {
            return true;
        }
        const platform::MessageAnswer answer = services_.messages.show(
            this,
            QStringLiteral("De ronde is niet opgeslagen.\n") + sheet_.lastError().description +
                QStringLiteral("\n\nJa: opnieuw proberen. Nee: afsluiten zonder de ronde op "
                               "te slaan."),
            platform::MessageStyle::YesNoQuestion, QStringLiteral("Ronde niet opgeslagen"));
        if (answer != platform::MessageAnswer::Yes) {
            return false;
        }
    }
}

void frmMain::closeEvent(QCloseEvent *event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    // No timer opens a window on a closing program, not even while the farewell is shown.
    for (platform::Timer *timer : {startupTimer, Timer1, tmrRonde, tmrToeVoeg, tmrRondeTijd}) {
        timer->stop();
    }

    // Every step runs, whatever the one before it did; the farewell says the round is stored
    // only when it is.
    const bool storingNew = sheet_.records().state() == storage::CursorState::PendingNew;
    const bool stored = storeBeforeClosing();
    // A new round is stored after every other; the number on the sheet was counted before.
    const QString number = storingNew ? QString::number(sheet_.records().RecordCount())
                                      : sheet_.text(roundmodel::Field::RoundNumber);

    const QString greeting = roundmodel::closingGreeting(services_.clock.localNow().time().hour());
    if (stored && settings_.isFlagAan()) {
        services_.messages.show(this, QStringLiteral("Ronde is opgeslagen! ") + greeting,
                                platform::MessageStyle::OkInformation,
                                QStringLiteral("Afsluiten en opslaan van ronde ") + number);
    }

    // The close goes on either way; the user hears that the station fields are not kept.
    using roundmodel::Field;
    if (!settings_.writeBasis({sheet_.text(Field::ClubCall), sheet_.text(Field::Location),
                               sheet_.text(Field::Frequency), sheet_.text(Field::Unit),
                               sheet_.text(Field::GridHome)})) {
        services_.messages.show(this,
                                QStringLiteral("De zendergegevens zijn niet bewaard: het bestand "
                                               "basis kan niet worden geschreven."),
                                platform::MessageStyle::OkCritical);
    }

    if (amateur_) {
        amateur_->close();
    }
    closeNotes();
    hamLookup_.useConnection(nullptr);
    sheet_.close();
    restoreMouse();
    event->accept();
}

void frmMain::keyPressEvent(QKeyEvent *event) {
    // Escape reaches the window itself only when none of its controls has the focus.
    const QWidget *focus = QApplication::focusWidget();
    if (event->key() == Qt::Key_Escape && (!focus || focus == this || focus == centralWidget())) {
        event->accept();
        services_.messages.show(this, QStringLiteral("Ja"), platform::MessageStyle::OkOnly);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace roundsheet
