#include "startup/CommandLine.h"

namespace startup {

CommandLine parseCommandLine(const QStringList &arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            line.help = true;
        } else if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            line.version = true;
        } else if (arg == QLatin1String("--data") || arg.startsWith(QLatin1String("--data="))) {
            QString folder;
            if (arg == QLatin1String("--data")) {
                if (i + 1 >= arguments.size()) {
                    line.error = QStringLiteral("Na --data hoort de naam van een map.");
                    return line;
                }
                folder = arguments[++i];
            } else {
                folder = arg.mid(7);
            }
            if (folder.isEmpty()) {
                line.error = QStringLiteral("Na --data hoort de naam van een map.");
                return line;
            }
            line.dataFolder = folder;
        } else {
            line.error = QStringLiteral("Onbekende optie: %1").arg(arg);
            return line;
        }
    }
    return line;
}

QString helpText() {
    return QStringLiteral(
        "Gebruik: kringbaas [--data MAP]\n"
        "\n"
        "Kringbaas houdt de ronden van een amateurnet bij: de deelnemers, hun beurten,\n"
        "de HAM-lijst en de notities.\n"
        "\n"
        "Opties:\n"
        "  --data MAP   de map met de database en de instellingen; wordt gemaakt als\n"
        "               hij er nog niet is\n"
        "  --version    toont de versie\n"
        "  --help       toont deze tekst\n"
        "\n"
        "Zonder --data staan de gegevens naast het programma, en als die map niet\n"
        "beschrijfbaar is in ~/.local/share/Kringbaas.\n");
}

QString versionText() {
    return QStringLiteral("Kringbaas " KRINGBAAS_VERSION "\n");
}

}  // namespace startup
