#pragma once

#include "storage/Database.h"

#include <QDate>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <thread>

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
// write to it. Returns the connection it checked, which the round sheet goes on with, so that the
// file is opened once. nullptr and *error stop the start (a locked file may be tried again).
std::unique_ptr<Database> openDatabaseAtStart(const QString &databasePath, StorageError *error);

// The copy of the day (Backups::makeDaily), made once the window shows, on a thread of its own
// with its own connection: SQLite's online backup copies one consistent state of the file while
// the program goes on storing rounds. A failed copy is reported in the application's thread,
// through its event loop; the program can go on. The job must end before the application object:
// destroying it waits for a copy being made.
class DailyBackupJob {
public:
    DailyBackupJob(QString databasePath, QDate day);
    ~DailyBackupJob();
    DailyBackupJob(const DailyBackupJob &) = delete;
    DailyBackupJob &operator=(const DailyBackupJob &) = delete;

    // failed is called with what went wrong, unless context is gone by then.
    void start(QObject *context, std::function<void(const StorageError &failure)> failed);
    // Waits until the copy is made (or failed); its report still goes through the event loop.
    void wait();

private:
    QString databasePath_;
    QDate day_;
    std::thread thread_;
};

}  // namespace storage
