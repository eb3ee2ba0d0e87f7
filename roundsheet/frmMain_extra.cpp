// The menu "Extra": the round's times, the ADIF export of rounds, attendance, and the ham list
// in and out of a spreadsheet.

#include "extra/frmImport.h"
#include "extra/frmLive.h"
#include "extra/frmPeriode.h"
#include "extra/frmStatistieken.h"
#include "hamio/HamImport.h"
#include "hamlist/frmAmateur.h"
#include "logbook/Adif.h"
#include "platform/FileChooser.h"
#include "platform/WholeFile.h"
#include "roundsheet/frmMain.h"
#include "stats/Attendance.h"
#include "storage/Database.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>

namespace roundsheet {

namespace {

// A ham list file larger than this is no ham list.
constexpr qint64 kMaxImportBytes = 256 * 1024 * 1024;

// Writes the whole file or nothing: an earlier file of that name stays until the new one is
// complete. *message says in Dutch why not.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *message) {
    QString reason;
    if (!platform::writeWholeFile(path, bytes, &reason)) {
        *message = QStringLiteral("%1 kan niet worden geschreven: %2.").arg(path, reason);
        return false;
    }
    return true;
}

// The chosen path, or nothing when the user cancelled or chose a file of the database itself,
// which is then said: such a file is never opened or written but through the database.
std::optional<QString> usable(frmMain &main, const platform::FileChooser &files,
                              const std::optional<QString> &chosen, const QString &title) {
    if (!chosen) {
        return std::nullopt;
    }
    const QString refusal = files.refusal(*chosen);
    if (!refusal.isEmpty()) {
        main.services().messages.show(&main, refusal, platform::MessageStyle::OkCritical, title);
        return std::nullopt;
    }
    return chosen;
}

}  // namespace

void frmMain::setFileChooser(platform::FileChooser *files) {
    files_ = files;
    if (files_) {
        files_->keepOut(
            QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName)));
    }
}

void frmMain::createExtras() {
    QMenu *extra = menuBar()->addMenu(QStringLiteral("Extra"));
    extra->setObjectName(QStringLiteral("extra"));
    adifronde = extra->addAction(QStringLiteral("Ronde exporteren naar ADIF…"));
    adifperiode = extra->addAction(QStringLiteral("Rondes van een periode exporteren naar ADIF…"));
    extra->addSeparator();
    statistieken = extra->addAction(QStringLiteral("Statistieken"));
    livelijst = extra->addAction(QStringLiteral("Live lijst delen…"));
    extra->addSeparator();
    hamexport = extra->addAction(QStringLiteral("HAM-lijst exporteren…"));
    hamimport = extra->addAction(QStringLiteral("HAM-lijst importeren…"));
    connect(adifronde, &QAction::triggered, this, &frmMain::adifronde_Click);
    connect(adifperiode, &QAction::triggered, this, &frmMain::adifperiode_Click);
    connect(statistieken, &QAction::triggered, this, &frmMain::statistieken_Click);
    connect(hamexport, &QAction::triggered, this, &frmMain::hamexport_Click);
    connect(hamimport, &QAction::triggered, this, &frmMain::hamimport_Click);
    connect(livelijst, &QAction::triggered, this, &frmMain::livelijst_Click);
}

// --- sharing the round as a live page ---

void frmMain::setSharingFactory(live::LiveShare::Factory factory) {
    delete liveWindow_;
    share_ = std::make_unique<live::LiveShare>(sheet_, std::move(factory));
    connect(share_.get(), &live::LiveShare::sharingChanged, this, &frmMain::showSharing);
}

extra::frmLive *frmMain::liveWindow() const {
    return liveWindow_;
}

void frmMain::livelijst_Click() {
    if (!share_) {
        services().messages.show(this, QStringLiteral("De live lijst kan niet worden gedeeld."),
                                 platform::MessageStyle::OkCritical, extra::frmLive::title());
        return;
    }
    if (!liveWindow_) {
        liveWindow_ = new extra::frmLive(*share_, settings_, services().messages, this);
        liveWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    liveWindow_->show();
    liveWindow_->raise();
    liveWindow_->activateWindow();
}

void frmMain::resumeSharing() {
    const storage::Settings::Live kept = settings_.readLive();
    if (!share_ || !kept.keepOn) {
        return;
    }
    share_->setOpenToAll(kept.openToAll);
    QString error;
    if (!share_->start(kept.port.value_or(0), &error)) {
        services().messages.show(this,
                                 QStringLiteral("De live lijst wordt niet gedeeld.\n%1").arg(error),
                                 platform::MessageStyle::OkInformation, extra::frmLive::title());
    }
}

// The title says that the round is shared, and where.
void frmMain::showSharing(bool on) {
    if (title_.isEmpty()) {
        title_ = windowTitle();
    }
    if (!on) {
        setWindowTitle(title_);
        return;
    }
    setWindowTitle(QStringLiteral("%1  -  live lijst gedeeld op %2")
                       .arg(title_, share_->addresses().value(0)));
}

namespace {

// Asks the mode of the contacts once per export, offering the last one (FM the first time);
// nothing when cancelled or not a mode of the list, which is then said. *note says when the mode
// could not be kept for the next export.
std::optional<QString> askMode(frmMain &main, QString *note) {
    QString last = main.settings().readAdifModus();
    if (!logbook::kModes.contains(last)) {
        last = QStringLiteral("FM");
    }
    const std::optional<QString> answer =
        main.services().messages.input(&main,
                                       QStringLiteral("Modus van de verbindingen (%1):")
                                           .arg(logbook::kModes.join(QStringLiteral(", "))),
                                       QStringLiteral("Exporteren naar ADIF"), last);
    if (!answer) {
        return std::nullopt;
    }
    const QString mode = answer->trimmed().toUpper();
    if (!logbook::kModes.contains(mode)) {
        main.services().messages.show(
            &main,
            QStringLiteral("Onbekende modus: %1\nKies een van: %2")
                .arg(answer->trimmed(), logbook::kModes.join(QStringLiteral(", "))),
            platform::MessageStyle::OkCritical, QStringLiteral("Exporteren naar ADIF"));
        return std::nullopt;
    }
    if (!main.settings().writeAdifModus(mode)) {
        *note = QStringLiteral(
            "De modus is niet bewaard voor de volgende export: het bestand adifmodus kan niet "
            "worden geschreven.");
    }
    return mode;
}

void exportAdif(frmMain &main, platform::FileChooser *files,
                const std::vector<logbook::NumberedRound> &rounds, const logbook::GridOf &gridOf,
                const QString &suggestedName) {
    const QString title = QStringLiteral("Exporteren naar ADIF");
    platform::MessageBoxes &messages = main.services().messages;
    if (!files) {
        return;
    }
    QString modeNote;
    const std::optional<QString> mode = askMode(main, &modeNote);
    if (!mode) {
        return;
    }
    using roundmodel::Field;
    const roundmodel::RoundSheet &sheet = main.sheet();
    const logbook::AdifStation station{sheet.text(Field::ClubCall), sheet.text(Field::Frequency),
                                       sheet.text(Field::Unit), *mode};
    const logbook::AdifLog log =
        logbook::writeAdif(rounds, station, gridOf, main.services().clock.utcNow());
    const QStringList notes =
        modeNote.isEmpty() ? log.problems : log.problems + QStringList{modeNote};
    const QString problems =
        notes.isEmpty() ? QString() : QStringLiteral("\n\n") + notes.join('\n');
    if (log.records == 0) {
        messages.show(&main,
                      QStringLiteral("Er zijn geen verbindingen om te exporteren.") + problems,
                      platform::MessageStyle::OkInformation, title);
        return;
    }
    const std::optional<QString> path =
        usable(main, *files,
               files->saveFileName(&main, title,
                                   QDir(platform::defaultSaveFolder()).filePath(suggestedName),
                                   QStringLiteral("ADIF-bestanden (*.adi)")),
               title);
    if (!path) {
        return;
    }
    QString error;
    if (!writeWhole(*path, log.bytes, &error)) {
        if (!modeNote.isEmpty()) {
            error += QStringLiteral("\n\n") + modeNote;
        }
        messages.show(&main, error, platform::MessageStyle::OkCritical, title);
        return;
    }
    messages.show(
        &main,
        QStringLiteral("%1 verbinding(en) geschreven naar %2").arg(log.records).arg(*path) +
            problems,
        platform::MessageStyle::OkInformation, title);
}

}  // namespace

// The grid the ham list holds for a call, looked up without moving the ham list.
logbook::GridOf frmMain::gridOfCall() {
    return [this](const QString &call) {
        const std::optional<storage::FoundHam> found = hamLookup_.find(call);
        return found ? found->ham.grid : QString();
    };
}

void frmMain::adifronde_Click() {
    const int number = sheet_.text(roundmodel::Field::RoundNumber).toInt();
    QString date = sheet_.beginTime().date().toString(Qt::ISODate);
    QString name = date.isEmpty() ? QStringLiteral("Ronde %1.adi").arg(number)
                                  : QStringLiteral("Ronde %1 %2.adi").arg(number).arg(date);
    exportAdif(*this, files_, {{number, round()}}, gridOfCall(), name);
}

void frmMain::adifperiode_Click() {
    if (!files_) {
        return;
    }
    const QDate today = services_.clock.localNow().date();
    extra::frmPeriode period(QStringLiteral("Rondes exporteren naar ADIF"), today.addMonths(-1),
                             today, this);
    if (period.exec() != QDialog::Accepted) {
        return;
    }
    if (sheet_.isEdited()) {
        storeRound();  // the round on screen as it stands
    }
    const QString path =
        QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName));
    storage::StorageError error;
    std::unique_ptr<storage::TableCursor> table =
        storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
    std::vector<logbook::NumberedRound> rounds;
    const stats::RoundDates dates(services_.clock.locale());
    for (int position = 0; table && position < table->count(); ++position) {
        storage::RecordValues values;
        if (!table->read(position, &values, &error)) {
            table.reset();
            break;
        }
        storage::Round stored = storage::Round::fromRecord(values);
        const QDate day = dates.dateOf(stored.date, stored.beginTime);
        if (day.isValid() && day >= period.from() && day <= period.to()) {
            rounds.push_back({position + 1, std::move(stored)});
        }
    }
    if (!table) {
        services_.messages.show(this, error.description, platform::MessageStyle::OkCritical,
                                QStringLiteral("Exporteren naar ADIF"));
        return;
    }
    exportAdif(*this, files_, rounds, gridOfCall(),
               QStringLiteral("Rondes %1 tot en met %2.adi")
                   .arg(period.from().toString(Qt::ISODate), period.to().toString(Qt::ISODate)));
}

void frmMain::statistieken_Click() {
    if (sheet_.isEdited()) {
        storeRound();
    }
    stats::Attendance attendance;
    QString error;
    if (!stats::readAttendance(
            QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName)),
            services_.clock.locale(), &attendance, &error)) {
        services_.messages.show(this, error, platform::MessageStyle::OkCritical,
                                QStringLiteral("Statistieken"));
        return;
    }
    extra::frmStatistieken window(std::move(attendance), this);
    window.openHam = [this, &window](const QString &call) {
        if (!lookUpHam(call)) {
            services_.messages.show(
                &window, QStringLiteral("%1 staat niet in de HAM-lijst.").arg(call),
                platform::MessageStyle::OkInformation, QStringLiteral("Statistieken"));
            return;
        }
        hamlist::frmAmateur *hams = amateurWindow();
        hams->opstarttimer->stop();
        hams->Data1->Recordset().setBookmark(lastFoundHam_);
        hams->exec();
    };
    window.exec();
}

void frmMain::hamexport_Click() {
    const QString title = QStringLiteral("HAM-lijst exporteren");
    if (!files_) {
        return;
    }
    std::vector<hamio::StoredHam> hams;
    QString error;
    if (!hamio::readHams(
            QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName)), &hams,
            &error)) {
        services_.messages.show(this, error, platform::MessageStyle::OkCritical, title);
        return;
    }
    const std::optional<QString> path =
        usable(*this, *files_,
               files_->saveFileName(this, title,
                                    QDir(platform::defaultSaveFolder()).filePath("HAM-lijst.csv"),
                                    QStringLiteral("CSV-bestanden (*.csv)")),
               title);
    if (!path) {
        return;
    }
    if (!writeWhole(*path, hamio::hamListCsv(hams), &error)) {
        services_.messages.show(this, error, platform::MessageStyle::OkCritical, title);
        return;
    }
    services_.messages.show(
        this, QStringLiteral("%1 hams geschreven naar %2").arg(hams.size()).arg(*path),
        platform::MessageStyle::OkInformation, title);
}

void frmMain::hamimport_Click() {
    const QString title = QStringLiteral("HAM-lijst importeren");
    if (!files_) {
        return;
    }
    // Refused before it is opened: reading the database as a list would drop its locks.
    const std::optional<QString> path =
        usable(*this, *files_,
               files_->openFileName(this, title, platform::defaultSaveFolder(),
                                    QStringLiteral("CSV-bestanden (*.csv *.txt)")),
               title);
    if (!path) {
        return;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImportBytes) {
        services_.messages.show(
            this,
            QStringLiteral("%1 kan niet worden gelezen: %2")
                .arg(*path, file.isOpen() ? QStringLiteral("het bestand is te groot")
                                          : file.errorString()),
            platform::MessageStyle::OkCritical, title);
        return;
    }
    const QByteArray bytes = file.readAll();
    const QString database =
        QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName));
    std::vector<hamio::StoredHam> hams;
    QString error;
    if (!hamio::readHams(database, &hams, &error)) {
        services_.messages.show(this, error, platform::MessageStyle::OkCritical, title);
        return;
    }
    hamio::ImportPlan plan = hamio::planImport(bytes, hams);
    if (!plan.error.isEmpty()) {
        services_.messages.show(this, plan.error, platform::MessageStyle::OkCritical, title);
        return;
    }
    // The ham list window reads its table once when it is made; with the table changed under
    // it, it goes, and the next use makes it afresh.
    if (amateur_ && !amateur_->isVisible()) {
        delete amateur_;
    }
    extra::frmImport preview(database, std::move(plan), QFileInfo(*path).fileName(), this);
    preview.exec();
    if (preview.outcome() == extra::frmImport::Outcome::Failed) {
        services_.messages.show(this, preview.failure(), platform::MessageStyle::OkCritical, title);
    } else if (preview.outcome() == extra::frmImport::Outcome::Imported) {
        services_.messages.show(this, QStringLiteral("De HAM-lijst is bijgewerkt."),
                                platform::MessageStyle::OkInformation, title);
    }
}

}  // namespace roundsheet
