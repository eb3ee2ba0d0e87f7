#include "storage/StartCheck.h"

#include "storage/Backups.h"
#include "storage/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>

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

std::unique_ptr<Database> openDatabaseAtStart(const QString &databasePath, StorageError *error) {
    auto db = Database::open(databasePath, error, &rondeTable(), true);
    if (!db || !db->checkUsable(error)) {
        return nullptr;
    }
    return db;
}

DailyBackupJob::DailyBackupJob(QString databasePath, QDate day)
    : databasePath_(std::move(databasePath)), day_(day) {}

DailyBackupJob::~DailyBackupJob() {
    wait();
}

void DailyBackupJob::start(QObject *context,
                           std::function<void(const StorageError &failure)> failed) {
    wait();
    QPointer<QObject> reportTo(context);
    thread_ = std::thread([path = databasePath_, day = day_, reportTo, failed = std::move(failed)] {
        bool made = false;
        StorageError failure;
        if (Backups::makeDaily(path, day, &made, &failure)) {
            return;
        }
        // The application outlives the job; whether the context is still there is asked in its
        // own thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [reportTo, failed, failure] {
                if (reportTo) {
                    failed(failure);
                }
            },
            Qt::QueuedConnection);
    });
}

void DailyBackupJob::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace storage
