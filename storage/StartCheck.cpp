#include "storage/StartCheck.h"

#include "storage/Backups.h"
#include "storage/Schema.h"

#include <QDir>

namespace storage {

DataFolderLock::DataFolderLock(const QString &folder)
    : folder_(folder), lock_(QDir(folder).filePath(QString::fromLatin1(kFileName))) {
    // Never stale by age: a run may last all evening. A lock whose process is gone is stale.
    lock_.setStaleLockTime(0);
}

bool DataFolderLock::tryLock(StorageError *error) {
    if (lock_.tryLock(0)) {
        return true;
    }
    if (lock_.error() == QLockFile::LockFailedError) {
        *error = {StorageError::kLocked,
                  QStringLiteral("Kringbaas draait al met de gegevens in de map %1. "
                                 "Gebruik het venster van Kringbaas dat al open is.")
                      .arg(QDir::toNativeSeparators(folder_))};
    } else {
        *error = {StorageError::kReadOnly,
                  QStringLiteral("Kringbaas kan het bestand %1 niet aanmaken in de map %2. "
                                 "Rondes kunnen zo niet worden opgeslagen.")
                      .arg(QString::fromLatin1(kFileName), QDir::toNativeSeparators(folder_))};
    }
    return false;
}

StorageError checkDatabaseAtStart(const QString &databasePath, QDate today,
                                  StorageError *backupFailure) {
    StorageError error;
    {
        auto db = Database::open(databasePath, &error, &rondeTable());
        if (!db || !db->checkUsable(&error)) {
            return error;
        }
    }
    bool made = false;
    Backups::makeDaily(databasePath, today, &made, backupFailure);
    return {};
}

}  // namespace storage
