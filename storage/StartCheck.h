#pragma once

#include "storage/Database.h"

#include <QDate>
#include <QLockFile>
#include <QString>

namespace storage {

// One program per data folder: two copies on one database would each overwrite what the other
// stored. The lock is a file in the folder that holds the id of the process; a lock left by a
// run that crashed is taken over, since its process is gone.
class DataFolderLock {
public:
    explicit DataFolderLock(const QString &folder);
    // False, with a Dutch description, when another copy of the program holds the folder.
    bool tryLock(StorageError *error);
    void unlock() { lock_.unlock(); }

    static constexpr const char *kFileName = "kringbaas.lock";

private:
    QString folder_;
    QLockFile lock_;
};

// What the program checks about its database before it shows a window: the file opens as ours
// (made when missing, upgraded when older), every table has every field, and the program can
// write to it. Then the copy of the day is made. An error stops the start (a locked file may be
// tried again); a failed copy is only reported (*backupFailure), the program can go on.
StorageError checkDatabaseAtStart(const QString &databasePath, QDate today,
                                  StorageError *backupFailure);

}  // namespace storage
