#include "platform/MessageBoxes.h"
#include "roundsheet/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kringbaas"));

    // Standard buttons in Dutch (Ja, Nee, Annuleren), as on the desktops of the program's users.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Dutch), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }

    // The program keeps its data beside its executable.
    platform::QtMessageBoxes messages;
    roundsheet::frmMain window(QApplication::applicationDirPath(), messages);
    if (!window.load()) {
        return 1;
    }
    window.show();
    return QApplication::exec();
}
