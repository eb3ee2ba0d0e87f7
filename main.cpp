#include "live/LoadedSharing.h"
#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/LoadedPrinterSurface.h"
#include "platform/MessageBoxes.h"
#include "platform/WebLauncher.h"
#include "print/KeptPrinter.h"
#include "roundsheet/frmMain.h"
#include "startup/CommandLine.h"
#include "startup/DataFolder.h"
#include "storage/Database.h"
#include "storage/Settings.h"
#include "storage/StartCheck.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[]) {
    // --help and --version answer without a display.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(startup::helpText().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::fputs(startup::versionText().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kringbaas"));
    // What is left after Qt took its own options (-platform and the like).
    const startup::CommandLine commandLine =
        startup::parseCommandLine(QApplication::arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        std::fputs((commandLine.error + QStringLiteral("\n\n") + startup::helpText())
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    }

    // Standard buttons in Dutch (Ja, Nee, Annuleren), as on the desktops of the program's users.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Dutch), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }

    platform::QtMessageBoxes messages;
    platform::SystemClock clock;
    platform::DesktopWebLauncher web;
    platform::EventLoopTimers timers;

    // The program keeps its data beside its executable, or, installed where it cannot write, in
    // the user's data folder; --data names another. A database file that is not ours is left
    // alone: the user is told and the program stops before anything else happens.
    const QString dataFolder = commandLine.dataFolder.isEmpty()
                                   ? startup::chooseDataFolder(QApplication::applicationDirPath(),
                                                               startup::userDataFolder())
                                   : QDir(commandLine.dataFolder).absolutePath();
    if (!startup::prepareFolder(dataFolder)) {
        messages.show(nullptr,
                      QStringLiteral("In de map %1 kunnen de gegevens niet worden bewaard.")
                          .arg(QDir::toNativeSeparators(dataFolder)),
                      platform::MessageStyle::OkCritical);
        return 1;
    }
    // One running copy per data folder.
    storage::DataFolderLock folderLock(dataFolder);
    {
        storage::StorageError error;
        if (!folderLock.tryLock(&error)) {
            messages.show(nullptr, error.description, platform::MessageStyle::OkCritical);
            return 1;
        }
    }
    // A database the program cannot use (not ours, damaged, cannot be written) is left alone:
    // the user is told what is wrong with which file and the program stops before anything else
    // happens. A file another program holds locked may be tried again. The connection checked
    // here is the one the round sheet goes on with.
    const QString databasePath =
        QDir(dataFolder).filePath(QString::fromLatin1(storage::Database::kFileName));
    std::unique_ptr<storage::Database> database;
    for (;;) {
        storage::StorageError error;
        database = storage::openDatabaseAtStart(databasePath, &error);
        if (database) {
            break;
        }
        if (error.code != storage::StorageError::kLocked) {
            messages.show(nullptr, error.description, platform::MessageStyle::OkCritical);
            return 1;
        }
        if (messages.show(
                nullptr,
                error.description + QStringLiteral("\n\nOK: opnieuw proberen. Annuleren: Kringbaas "
                                                   "stoppen."),
                platform::MessageStyle::OkCancelExclamation) != platform::MessageAnswer::Ok) {
            return 1;
        }
    }

    // The printer chosen in Printer Setup is kept beside the program, as the other settings.
    platform::QtFileChooser files;
    const print::KeptPrinter keptPrinter{storage::Settings(dataFolder)};
    // Qt Print Support and CUPS are loaded when printing first needs them.
    platform::LoadedPrinterSurface printer(
        files, &keptPrinter,
        platform::LoadedPrinterSurface::modulePathsFor(QApplication::applicationDirPath(),
                                                       QStringLiteral(KRINGBAAS_MODULE_FOLDER)));

    // Qt's network and HTTP server are loaded when the round is first shared as a live page.
    live::LoadedSharing sharing(live::LoadedSharing::modulePathsFor(
        QApplication::applicationDirPath(), QStringLiteral(KRINGBAAS_MODULE_FOLDER)));

    roundsheet::frmMain window(dataFolder, {messages, clock, web, timers});
    window.setPrinterSurface(&printer);
    window.setFileChooser(&files);
    window.setSharingFactory([&sharing](QString *error) { return sharing.make(error); });
    window.load(std::move(database));
    window.show();
    // Sharing again, when the user chose so, once the event loop runs: after the window shows.
    QTimer::singleShot(0, &window, &roundsheet::frmMain::resumeSharing);

    // The copy of the day is made beside the window that shows; a failed copy is said then.
    storage::DailyBackupJob dailyBackup(databasePath, clock.localNow().date());
    dailyBackup.start(&window, [&messages, &window](const storage::StorageError &failure) {
        messages.show(&window, failure.description,
                      failure.code == storage::StorageError::kDamaged
                          ? platform::MessageStyle::OkCritical
                          : platform::MessageStyle::OkInformation);
    });
    return QApplication::exec();
}
