#include "startup/DataFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace startup {

bool canWriteIn(const QString &folder) {
    if (folder.isEmpty() || !QDir(folder).exists()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kringbaas-XXXXXX")));
    return probe.open();  // removed again when probe goes
}

QString chooseDataFolder(const QString &programFolder, const QString &userFolder,
                         const std::function<bool(const QString &)> &writable) {
    return writable(programFolder) ? programFolder : userFolder;
}

QString userDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Kringbaas"));
}

bool prepareFolder(const QString &folder) {
    return !folder.isEmpty() && QDir().mkpath(folder) && canWriteIn(folder);
}

}  // namespace startup
