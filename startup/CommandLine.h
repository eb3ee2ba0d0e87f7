#pragma once

#include <QString>
#include <QStringList>

namespace startup {

// What the command line asks: kringbaas [--help] [--version] [--data FOLDER].
struct CommandLine {
    bool help = false;
    bool version = false;
    QString dataFolder;  // empty: the program chooses
    QString error;       // Dutch; the line cannot be understood
};

// The arguments after the program's name.
CommandLine parseCommandLine(const QStringList &arguments);

QString helpText();
QString versionText();

}  // namespace startup
