#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/QtPrinterSurface.h"
#include "platform/WebLauncher.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"

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

    // The program keeps its data beside its executable. A database file that is not ours is
    // left alone: the user is told and the program stops before anything else happens.
    const QString dataFolder = QApplication::applicationDirPath();
    {
        storage::StorageError error;
        if (!storage::Database::open(
                QDir(dataFolder).filePath(QString::fromLatin1(storage::Database::kFileName)),
                &error)) {
            messages.show(nullptr, error.description, platform::MessageStyle::OkCritical);
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
