#include "platform/Module.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QStringList modulePaths(const QString &programFolder, const QString &installedRelative,
                        const QString &fileName) {
    const QDir folder(programFolder);
    return {folder.filePath(fileName),
            QDir::cleanPath(folder.filePath(installedRelative + QLatin1Char('/') + fileName))};
}

bool loadModule(QLibrary &library, const QStringList &paths, const char *interfaceSymbol,
                int version, QString *reason) {
    using Interface = int (*)();
    QStringList failures;
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        library.setFileName(path);
        if (!library.load()) {
            failures << library.errorString();
            continue;
        }
        const auto interface = reinterpret_cast<Interface>(library.resolve(interfaceSymbol));
        if (!interface || interface() != version) {
            failures << QStringLiteral("%1 hoort niet bij deze versie van Kringbaas")
                            .arg(QDir::toNativeSeparators(path));
            library.unload();
            continue;
        }
        return true;
    }
    *reason = failures.isEmpty() ? QStringLiteral("ontbreekt")
                                 : QStringLiteral("kan niet worden geladen (%1)")
                                       .arg(failures.join(QStringLiteral("; ")));
    return false;
}

}  // namespace platform
