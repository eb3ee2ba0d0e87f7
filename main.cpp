#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/QtPrinterSurface.h"
#include "platform/WebLauncher.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"
#include "storage/StartCheck.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kringbaas"));

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

    // The program keeps its data beside its executable, one running copy per folder.
    const QString dataFolder = QApplication::applicationDirPath();
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
    // happens. A file another program holds locked may be tried again.
    const QString databasePath =
        QDir(dataFolder).filePath(QString::fromLatin1(storage::Database::kFileName));
    for (;;) {
        storage::StorageError backupFailure;
        const storage::StorageError error =
            storage::checkDatabaseAtStart(databasePath, clock.localNow().date(), &backupFailure);
        if (!error) {
            if (backupFailure) {
                messages.show(nullptr, backupFailure.description,
                              platform::MessageStyle::OkInformation);
            }
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
    platform::QtPrinterSurface printer(files, QDir(dataFolder).filePath(QStringLiteral("printer")));

    roundsheet::frmMain window(dataFolder, {messages, clock, web, timers});
    window.setPrinterSurface(&printer);
    window.load();
    window.show();
    return QApplication::exec();
}
