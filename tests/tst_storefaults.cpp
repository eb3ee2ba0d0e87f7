// The store against faults a user's machine meets: a file or folder that cannot be written, a
// lock held by another program, a damaged or cut-short file, a second copy of the program, and
// the backups and the standard sqlite3 tool that a repair leans on. All on real database files.

#include "CoreTestMain.h"

#include "storage/Backups.h"
#include "storage/Database.h"
#include "storage/HamLookup.h"
#include "storage/Recordset.h"
#include "storage/Schema.h"
#include "storage/Sql.h"
#include "storage/StartCheck.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <set>

using storage::Backups;
using storage::CursorState;
using storage::DataAction;
using storage::Database;
using storage::RecordValues;
using storage::StorageError;

namespace {

// Shows the current record as values; edits mark their field changed.
class Buffer : public storage::RecordView {
public:
    RecordValues shown;
    std::set<int> changed;

    void edit(int field, const QString &value) {
        shown[size_t(field)] = value;
        changed.insert(field);
    }
    void showRecord(const RecordValues &values) override { shown = values; }
    void repositioned() override {}
    void validate(DataAction, bool) override {}
    std::vector<int> shownFields() const override {
        std::vector<int> all(shown.size());
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = int(i);
        }
        return all;
    }
    std::vector<int> changedFields() const override { return {changed.begin(), changed.end()}; }
    RecordValues shownValues() const override { return shown; }
    void clearChanged() override { changed.clear(); }
};

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using RawDb = std::unique_ptr<sqlite3, SqliteCloser>;

// Another program's connection to the file.
RawDb openRaw(const QString &path) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return RawDb(db);
}

bool exec(sqlite3 *db, const char *sql) {
    char *message = nullptr;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok) {
        qWarning("%s: %s", sql, message ? message : sqlite3_errmsg(db));
    }
    sqlite3_free(message);
    return ok;
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The database as the program leaves it: one round with a call, hams, closed.
bool makeDatabase(const QString &path) {
    StorageError error;
    auto db = Database::open(path, &error, &storage::rondeTable());
    if (!db) {
        qWarning("%s", qPrintable(error.description));
        return false;
    }
    db.reset();
    for (const storage::TableDef *t : {&storage::qrzTable(), &storage::notesTable()}) {
        if (!Database::open(path, &error, t)) {
            return false;
        }
    }
    return true;
}

// A database whose rounds fill many pages, with one page in the middle of the rounds
// overwritten: the header and the size are right, SQLite's integrity check finds the damage.
bool makeDamagedDatabase(const QString &path, const QList<QDate> &goodCopies) {
    if (!makeDatabase(path)) {
        return false;
    }
    {
        RawDb raw = openRaw(path);
        if (!exec(raw.get(),
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                  "INSERT INTO ronde (rondecall, datum, call1, naam1) "
                  "SELECT 'PI4R' || i, '1-1-2026', 'PA' || i, hex(randomblob(300)) FROM n;"
                  "PRAGMA journal_mode=DELETE;")) {
            return false;
        }
    }
    for (const QDate &day : goodCopies) {
        bool made = false;
        StorageError error;
        if (!Backups::makeDaily(path, day, &made, &error) || !made) {
            return false;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    const qint64 page = 4096;
    const qint64 pages = file.size() / page;
    return pages > 20 && file.seek(pages / 2 * page) &&
           file.write(QByteArray(int(page), char(0x55))) == page;
}

// Root may write anything; the checks of a read-only file or folder run as an ordinary user.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() == 0) {
            active_ = seteuid(65534) == 0;
        }
    }
    ~AsOrdinaryUser() {
        if (active_) {
            [[maybe_unused]] const int rc = seteuid(0);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool active_ = false;
};

// Whether a lock of this process on the file keeps another program from writing it. Only another
// process sees the locks (and opening the file here would drop them), so a child looks.
bool lockedForOtherPrograms(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open(name.constData(), O_RDWR);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        _exit(fd >= 0 && fcntl(fd, F_GETLK, &lock) == 0 ? (lock.l_type == F_UNLCK ? 0 : 1) : 2);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return false;
    }
    return WEXITSTATUS(status) == 1;
}

enum class Fault {
    ReadOnlyFile,
    ReadOnlyFolder,
    ColumnMissing,
    ColumnMissingInLog,
    SchemaPageDamagedBesideLog,
    ColumnMissingAfterCutOffWrite,
    HamFieldMissingWithoutLog,
    Truncated,
    LockedExclusively,
};

// Another program's connection that stores and ends without folding its log into the file (as a
// crash would leave it): the change stands in the -wal beside the database.
bool storeInLogOnly(const QString &path, const char *sql) {
    RawDb raw = openRaw(path);
    return raw &&
           sqlite3_db_config(raw.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) ==
               SQLITE_OK &&
           exec(raw.get(), "PRAGMA journal_mode=WAL") && exec(raw.get(), sql);
}

// The start as the program makes it: the check before the window, then, with the checked
// connection still open, the copy of the day (which the program makes beside the window).
StorageError startCheck(const QString &path, QDate day, StorageError *backupFailure) {
    StorageError error;
    const std::unique_ptr<Database> db = storage::openDatabaseAtStart(path, &error);
    if (!db) {
        return error;
    }
    bool made = false;
    Backups::makeDaily(path, day, &made, backupFailure);
    return {};
}

}  // namespace

Q_DECLARE_METATYPE(Fault)

// How a write transaction is used, and by whom the file is held meanwhile.
enum class Guarded {
    Committed,
    DroppedWithoutCommit,
    CommittedAfterRollback,
    CommitWhileAnotherReads,
    BeginWhileAnotherWrites,
    BeginInsideAnother,
};
Q_DECLARE_METATYPE(Guarded)

class StoreFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Database::setLockWait(0); }

    void faultFoundAtStart_data();
    void faultFoundAtStart();
    void storeUnderWriteLockFailsThenSucceeds();
    void storeIntoReadOnlyFileFails();
    void saveOfRecordDeletedElsewhereFails();
    void secondStartRefused();
    void lockOfCrashedRunTakenOver();
    void dailyBackupKeptAndRestored();
    void backupBeforeUpgrade();
    void sqliteToolReadsTheFile();
    void openingAgainKeepsTheLocks_data();
    void openingAgainKeepsTheLocks();
    void damagedDatabaseKeepsTheGoodCopies();
    void newestCopyIsTheLastWritten_data();
    void newestCopyIsTheLastWritten();
    void dailyCopyBesideTheWindow();
    void readingDamagedPageSaysDamaged();
    void fileMadeWritableAgainNamesTheRealReadOnlyFile();
    void sqliteFailureSaidInDutch_data();
    void sqliteFailureSaidInDutch();
    void lockedFileSaidInDutchInsideMessages();
    void transactionGuard_data();
    void transactionGuard();
    void statementBindsValuesAsData();
};

void StoreFaultsTest::faultFoundAtStart_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("read-only file")
        << Fault::ReadOnlyFile << StorageError::kReadOnly << "het bestand is alleen-lezen";
    QTest::newRow("read-only folder")
        << Fault::ReadOnlyFolder << StorageError::kReadOnly << "kan niet schrijven in de map";
    QTest::newRow("column missing") << Fault::ColumnMissing << StorageError::kDamaged
                                    << "in de tabel 'ronde' ontbreekt het veld 'call7'";
    // The change that lost the field is still in the log: refused, the file and its log stay.
    QTest::newRow("column missing, the change in the log")
        << Fault::ColumnMissingInLog << StorageError::kDamaged
        << "Kringbaas laat het bestand en het logbestand";
    QTest::newRow("schema page damaged, rounds in the log")
        << Fault::SchemaPageDamagedBesideLog << StorageError::kDamaged
        << "Kringbaas laat het bestand en het logbestand";
    // A write cut off halfway left its rollback journal: SQLite plays it back when the file is
    // first read, and the message says so instead of calling the file unchanged.
    QTest::newRow("column missing, a write cut off")
        << Fault::ColumnMissingAfterCutOffWrite << StorageError::kDamaged
        << "een half geschreven wijziging uit";
    // A file in the plain journal mode (a backup put back) would be turned to write-ahead
    // logging on opening: the check refuses it first.
    QTest::newRow("field of the ham list missing, journal mode of a backup")
        << Fault::HamFieldMissingWithoutLog << StorageError::kDamaged
        << "in de tabel 'qrz' ontbreekt het veld 'email'. Kringbaas laat het bestand ongewijzigd.";
    QTest::newRow("own file cut short")
        << Fault::Truncated << StorageError::kDamaged << "De nieuwste reservekopie is";
    QTest::newRow("own file locked by another program")
        << Fault::LockedExclusively << StorageError::kLocked << "vergrendeld door een ander";
}

// What is wrong is said in Dutch, naming the file; the file is never called foreign and is left
// exactly as it was.
void StoreFaultsTest::faultFoundAtStart() {
    QFETCH(Fault, fault);
    QFETCH(int, code);
    QFETCH(QString, says);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    StorageError backupFailure;
    QVERIFY(!startCheck(path, QDate(2026, 12, 1), &backupFailure));
    QVERIFY(!backupFailure);

    RawDb holder;
    switch (fault) {
        case Fault::ReadOnlyFile:
            QVERIFY(QFile::setPermissions(dir.path(), QFile::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(path,
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            break;
        case Fault::ReadOnlyFolder:
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
            QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
            break;
        case Fault::ColumnMissing: {
            RawDb raw = openRaw(path);
            QVERIFY(exec(raw.get(), "ALTER TABLE ronde DROP COLUMN call7"));
            break;
        }
        case Fault::ColumnMissingInLog:
            QVERIFY(storeInLogOnly(path, "ALTER TABLE ronde DROP COLUMN call7"));
            break;
        case Fault::SchemaPageDamagedBesideLog: {
            // A stored round waits in the log; the file's first page, the list of its tables,
            // is overwritten behind its header.
            QVERIFY(storeInLogOnly(path, "UPDATE ronde SET rondecall = 'PI4ZUD'"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(100));
            QCOMPARE(file.write(QByteArray(4096 - 100, char(0x55))), qint64(4096 - 100));
            break;
        }
        case Fault::HamFieldMissingWithoutLog: {
            RawDb raw = openRaw(path);
            QVERIFY(
                exec(raw.get(), "ALTER TABLE qrz DROP COLUMN email; PRAGMA journal_mode=DELETE"));
            break;
        }
        case Fault::ColumnMissingAfterCutOffWrite: {
            {
                RawDb raw = openRaw(path);
                QVERIFY(exec(raw.get(),
                             "ALTER TABLE ronde DROP COLUMN call7; "
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 300) INSERT INTO ronde (rondecall, naam1) "
                             "SELECT 'PI4R' || i, hex(randomblob(300)) FROM n; "
                             "PRAGMA journal_mode=DELETE;"));
            }
            // Another program changes every round and ends halfway, its pages partly written.
            const pid_t child = fork();
            if (child == 0) {
                RawDb raw = openRaw(path);
                const bool ok = exec(raw.get(),
                                     "PRAGMA cache_size=2; BEGIN; "
                                     "UPDATE ronde SET naam1 = hex(randomblob(300));");
                _exit(ok ? 0 : 1);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            QVERIFY(QFileInfo(path + QStringLiteral("-journal")).size() > 0);
            break;
        }
        case Fault::Truncated: {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.size() > 8192);
            QVERIFY(file.resize(file.size() / 2 / 4096 * 4096));
            break;
        }
        case Fault::LockedExclusively:
            holder = openRaw(path);
            QVERIFY(exec(holder.get(),
                         "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                         "UPDATE notes SET n1 = 'bezet';"));
            break;
    }
    const QString wal = path + QStringLiteral("-wal");
    const bool logBeside = QFileInfo::exists(wal);
    if (fault != Fault::LockedExclusively) {
        QCOMPARE(logBeside,
                 fault == Fault::ColumnMissingInLog || fault == Fault::SchemaPageDamagedBesideLog);
    }
    const QByteArray before = fileBytes(path);
    const QByteArray walBefore = fileBytes(wal);

    StorageError error;
    if (fault == Fault::ReadOnlyFile || fault == Fault::ReadOnlyFolder) {
        AsOrdinaryUser user;
        error = startCheck(path, QDate(2026, 12, 2), &backupFailure);
    } else {
        error = startCheck(path, QDate(2026, 12, 2), &backupFailure);
    }
    if (fault == Fault::ColumnMissingAfterCutOffWrite) {
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    } else if (fault != Fault::LockedExclusively) {
        // The file and its log as they were; at most an empty log where there was none.
        QVERIFY(fileBytes(path) == before);
        QVERIFY(!logBeside || QFileInfo::exists(wal));
        QVERIFY(fileBytes(wal) == walBefore);
    }
    QCOMPARE(error.code, code);
    QVERIFY2(error.description.contains(says), qPrintable(error.description));
    QVERIFY2(error.description.contains(QDir::toNativeSeparators(path)),
             qPrintable(error.description));
    QVERIFY(!error.description.contains(QLatin1String("geen database van Kringbaas")));
    // What the message says of the file is true of it.
    if (error.description.contains(QLatin1String("ongewijzigd"))) {
        QCOMPARE(error.description.contains(QLatin1String("logbestand")), logBeside);
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);

    if (fault == Fault::LockedExclusively) {
        // Released, the next try succeeds.
        QVERIFY(exec(holder.get(), "ROLLBACK"));
        holder.reset();
        error = startCheck(path, QDate(2026, 12, 2), &backupFailure);
        QVERIFY2(!error, qPrintable(error.description));
    }
}

// A round stored while another program holds the write lock fails and says which file is
// locked; the round stays pending, and the next store after the lock is gone stores it.
void StoreFaultsTest::storeUnderWriteLockFailsThenSucceeds() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));

    Buffer view;
    storage::Recordset rounds(view);
    QVERIFY(rounds.open(path, QStringLiteral("ronde")));
    QVERIFY(rounds.AddNew());
    view.edit(0, QStringLiteral("PI4ZUD"));

    RawDb other = openRaw(path);
    QVERIFY(exec(other.get(), "BEGIN IMMEDIATE"));
    QVERIFY(!rounds.Store());
    QCOMPARE(rounds.lastError().code, StorageError::kLocked);
    QVERIFY(rounds.lastError().description.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(rounds.state(), CursorState::PendingNew);
    QCOMPARE(rounds.RecordCount(), 1);
    QCOMPARE(view.shown[0].toString(), QStringLiteral("PI4ZUD"));

    QVERIFY(exec(other.get(), "ROLLBACK"));
    QVERIFY2(rounds.Store(), qPrintable(rounds.lastError().description));
    QCOMPARE(rounds.RecordCount(), 2);
    QCOMPARE(rounds.AbsolutePosition(), 1);

    // An edit of the stored round under the lock: kept, and stored by the next try.
    view.edit(1, QStringLiteral("maandag"));
    QVERIFY(exec(other.get(), "BEGIN IMMEDIATE"));
    QVERIFY(!rounds.Store());
    QVERIFY(exec(other.get(), "ROLLBACK"));
    QVERIFY(rounds.Store());
    sqlite3_stmt *stmt = nullptr;
    QCOMPARE(sqlite3_prepare_v2(other.get(), "SELECT rondecall, datum FROM ronde ORDER BY id", -1,
                                &stmt, nullptr),
             SQLITE_OK);
    QStringList stored;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        stored << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))) +
                      QLatin1Char('|') +
                      QString::fromUtf8(
                          reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
    }
    sqlite3_finalize(stmt);
    QCOMPARE(stored, QStringList({"|", "PI4ZUD|maandag"}));
}

// SQLite opens a file it may not write without saying so; the store says so.
void StoreFaultsTest::storeIntoReadOnlyFileFails() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    {
        // The log files stand beside the database as the program left them.
        RawDb raw = openRaw(path);
        QVERIFY(exec(raw.get(), "PRAGMA journal_mode=DELETE"));
    }
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);

    AsOrdinaryUser user;
    Buffer view;
    storage::Recordset rounds(view);
    if (!rounds.open(path, QStringLiteral("ronde"))) {
        QCOMPARE(rounds.lastError().code, StorageError::kReadOnly);
        return;
    }
    QVERIFY(rounds.AddNew());
    view.edit(0, QStringLiteral("PI4ZUD"));
    QVERIFY(!rounds.Store());
    QCOMPARE(rounds.lastError().code, StorageError::kReadOnly);
    QVERIFY(rounds.lastError().description.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(rounds.state(), CursorState::PendingNew);
}

// Another copy deleted the record; saving into it changes nothing and so is no success.
void StoreFaultsTest::saveOfRecordDeletedElsewhereFails() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));

    Buffer view;
    storage::Recordset hams(view);
    QVERIFY(hams.open(path, QStringLiteral("qrz")));
    RawDb other = openRaw(path);
    QVERIFY(exec(other.get(), "DELETE FROM qrz"));
    view.edit(0, QStringLiteral("PA3ABC"));
    QVERIFY(!hams.Update());
    QCOMPARE(hams.lastError().code, StorageError::kBadBookmark);
    QVERIFY(hams.lastError().description.contains(QStringLiteral("niets opgeslagen")));
    QVERIFY(!hams.Delete());
}

void StoreFaultsTest::secondStartRefused() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    storage::DataFolderLock first(dir.path());
    StorageError error;
    QVERIFY(first.tryLock(&error));

    storage::DataFolderLock second(dir.path());
    QVERIFY(!second.tryLock(&error));
    QCOMPARE(error.code, StorageError::kLocked);
    QVERIFY2(error.description.contains(QStringLiteral("Kringbaas draait al")) &&
                 error.description.contains(QDir::toNativeSeparators(dir.path())),
             qPrintable(error.description));

    first.unlock();
    QVERIFY(second.tryLock(&error));
}

// A run killed without a chance to clean up leaves its lock file; its process is gone, so the
// next start goes on.
void StoreFaultsTest::lockOfCrashedRunTakenOver() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());

    QFile lock(QDir(dir.path()).filePath(QLatin1String(storage::DataFolderLock::kFileName)));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() +
               '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
    lock.close();

    storage::DataFolderLock next(dir.path());
    StorageError error;
    QVERIFY2(next.tryLock(&error), qPrintable(error.description));
}

// The copy of the day is made once a day, the newest 14 are kept, and a copy put in place of
// the database brings its rounds back.
void StoreFaultsTest::dailyBackupKeptAndRestored() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    {
        RawDb raw = openRaw(path);
        QVERIFY(exec(raw.get(), "UPDATE ronde SET rondecall = 'PI4ZUD'"));
    }

    bool made = false;
    StorageError error;
    const QDate first(2026, 11, 1);
    QVERIFY(Backups::makeDaily(path, first, &made, &error));
    QVERIFY(made);
    QVERIFY(Backups::makeDaily(path, first, &made, &error));
    QVERIFY(!made);  // once a day
    for (int day = 1; day < 20; ++day) {
        QVERIFY2(Backups::makeDaily(path, first.addDays(day), &made, &error),
                 qPrintable(error.description));
    }
    const QStringList kept = Backups::list(path);
    QCOMPARE(kept.size(), Backups::kKept);
    QCOMPARE(kept.first(), Backups::dailyName(first.addDays(6)));
    QCOMPARE(kept.last(), Backups::dailyName(first.addDays(19)));
    const QString newest = Backups::newest(path);

    // The copy is a whole database by itself, checked by SQLite.
    {
        RawDb copy = openRaw(newest);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(copy.get(), "PRAGMA integrity_check", -1, &stmt, nullptr);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
                 QByteArray("ok"));
        sqlite3_finalize(stmt);
    }

    // Later the round is lost; the copy is put back as the README says.
    {
        RawDb raw = openRaw(path);
        QVERIFY(exec(raw.get(), "UPDATE ronde SET rondecall = 'weg'"));
    }
    QVERIFY(QFile::remove(path));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QVERIFY(QFile::copy(newest, path));
    QVERIFY(!startCheck(path, first.addDays(19), &error));
    Buffer view;
    storage::Recordset rounds(view);
    QVERIFY(rounds.open(path, QStringLiteral("ronde")));
    QCOMPARE(view.shown[0].toString(), QStringLiteral("PI4ZUD"));
}

// A file of an older version is copied before the upgrade changes it.
void StoreFaultsTest::backupBeforeUpgrade() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    {
        RawDb raw = openRaw(path);
        QVERIFY(exec(raw.get(), "PRAGMA user_version = 2"));
    }
    QVERIFY(Backups::list(path).isEmpty());
    StorageError error;
    QVERIFY(Database::open(path, &error));
    const QStringList copies = Backups::list(path);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(
        copies.first().endsWith(QStringLiteral("-voor-versie-%1.mdb").arg(storage::kSchemaVersion)),
        qPrintable(copies.first()));
    RawDb copy = openRaw(Backups::newest(path));
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(copy.get(), "PRAGMA user_version", -1, &stmt, nullptr);
    QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(stmt, 0), 2);
    sqlite3_finalize(stmt);
}

// Nothing of the program is needed to check, dump or query the file; the exact look-up of a
// call still ignores letter case through the index.
void StoreFaultsTest::sqliteToolReadsTheFile() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    QVERIFY2(!tool.isEmpty(), "the sqlite3 tool (Debian package sqlite3) is missing");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    {
        Buffer view;
        storage::Recordset hams(view);
        QVERIFY(hams.open(path, QStringLiteral("qrz")));
        view.edit(0, QStringLiteral("PA3ÉRIC"));
        QVERIFY(hams.Update());
    }
    storage::HamLookup lookup(path);
    const auto found = lookup.find(QStringLiteral("pa3éric"));
    QVERIFY(found);
    QCOMPARE(found->ham.call, QStringLiteral("PA3ÉRIC"));

    auto run = [&](const QString &command) {
        QProcess sqlite;
        sqlite.start(tool, {QStringLiteral("-bail"), path, command});
        sqlite.waitForFinished();
        [&] { QCOMPARE(sqlite.exitCode(), 0); }();
        return QString::fromUtf8(sqlite.readAllStandardOutput()) +
               QString::fromUtf8(sqlite.readAllStandardError());
    };
    QCOMPARE(run(QStringLiteral("PRAGMA integrity_check;")).trimmed(), QStringLiteral("ok"));
    const QString dump = run(QStringLiteral(".dump"));
    QVERIFY2(dump.contains(QLatin1String("CREATE TABLE")) &&
                 dump.contains(QLatin1String("COMMIT")) && !dump.contains(QLatin1String("kbfold")),
             qPrintable(dump.left(2000)));
    QCOMPARE(run(QStringLiteral("SELECT \"call\" FROM qrz WHERE callfold = 'pa3éric';")).trimmed(),
             QStringLiteral("PA3ÉRIC"));
    QCOMPARE(run(QStringLiteral("REINDEX; PRAGMA integrity_check;")).trimmed(),
             QStringLiteral("ok"));
}

enum class OpenPath { Table, StartCheck, HamLookup };
Q_DECLARE_METATYPE(OpenPath)

void StoreFaultsTest::openingAgainKeepsTheLocks_data() {
    QTest::addColumn<OpenPath>("openPath");
    QTest::newRow("another table (Notities, HAM-lijst)") << OpenPath::Table;
    QTest::newRow("start check with the copy of the day") << OpenPath::StartCheck;
    QTest::newRow("look-up of a call") << OpenPath::HamLookup;
}

// While the round is open, every other way the program opens the file leaves the locks of the
// round's connection in place: a check with the sqlite3 tool in between must not fold the log
// away and delete it under the program.
void StoreFaultsTest::openingAgainKeepsTheLocks() {
    QFETCH(OpenPath, openPath);
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    QVERIFY2(!tool.isEmpty(), "the sqlite3 tool (Debian package sqlite3) is missing");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));

    Buffer view;
    storage::Recordset rounds(view);
    QVERIFY(rounds.open(path, QStringLiteral("ronde")));
    view.edit(3, QStringLiteral("PD0XYZ"));
    QVERIFY(rounds.Update());
    QVERIFY(lockedForOtherPrograms(path));

    StorageError error;
    switch (openPath) {
        case OpenPath::Table: {
            Buffer notesView;
            storage::Recordset notes(notesView);
            QVERIFY(notes.open(path, QStringLiteral("notes")));
            break;
        }
        case OpenPath::StartCheck:
            QVERIFY(!startCheck(path, QDate(2026, 12, 3), &error));
            QVERIFY2(!error, qPrintable(error.description));
            QVERIFY(QFile::exists(Backups::newest(path)));
            break;
        case OpenPath::HamLookup: {
            storage::HamLookup lookup(path);
            QVERIFY(!lookup.find(QStringLiteral("PA3ABC")));
            QVERIFY2(!lookup.lastError(), qPrintable(lookup.lastError().description));
            break;
        }
    }
    QVERIFY(lockedForOtherPrograms(path));

    // The check the README suggests; the log stays, and what is stored after it survives.
    QProcess sqlite;
    sqlite.start(tool, {path, QStringLiteral("PRAGMA integrity_check;")});
    QVERIFY(sqlite.waitForFinished());
    QCOMPARE(sqlite.readAllStandardOutput().trimmed(), QByteArray("ok"));
    QVERIFY(QFile::exists(path + QStringLiteral("-wal")));
    view.edit(4, QStringLiteral("PA3ABC"));
    QVERIFY(rounds.Update());
    QVERIFY(lockedForOtherPrograms(path));
}

// A damaged database is said at start, naming the newest good copy; its own copy is not kept,
// and day after day the good copies stay.
void StoreFaultsTest::damagedDatabaseKeepsTheGoodCopies() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    const QDate first(2026, 11, 1);
    QVERIFY(makeDamagedDatabase(path, {first, first.addDays(1), first.addDays(2)}));
    const QStringList good = Backups::list(path);
    QCOMPARE(good.size(), 3);
    const QString newest = Backups::newest(path);

    for (int day = 3; day < 3 + Backups::kKept + 2; ++day) {
        StorageError backupFailure;
        const StorageError error = startCheck(path, first.addDays(day), &backupFailure);
        QVERIFY2(!error, qPrintable(error.description));
        QCOMPARE(backupFailure.code, StorageError::kDamaged);
        QVERIFY2(backupFailure.description.contains(QLatin1String("beschadigd")) &&
                     backupFailure.description.contains(QDir::toNativeSeparators(path)) &&
                     backupFailure.description.contains(QDir::toNativeSeparators(newest)),
                 qPrintable(backupFailure.description));
        QCOMPARE(Backups::list(path), good);
    }
    QCOMPARE(QDir(Backups::folderFor(path)).entryList(QDir::Files), good);
}

void StoreFaultsTest::newestCopyIsTheLastWritten_data() {
    QTest::addColumn<QDateTime>("written");  // when the copy named 2099-01-01 was written
    QTest::addColumn<bool>("isNewest");

    const QDateTime now = QDateTime::currentDateTime();
    // The machine's clock stood in 2099 for one start: name and time of writing both say 2099.
    QTest::newRow("clock ran ahead") << QDateTime(QDate(2099, 1, 1), QTime(12, 0)) << false;
    // Only the date the program was given was wrong; the file's time is the real one.
    QTest::newRow("written before the others") << now.addDays(-4) << false;
    QTest::newRow("written after the others") << now.addSecs(-3600) << true;
}

// The copy named as the newest good one is the one written last, whatever date its name
// carries; a copy written while the clock ran ahead counts as the oldest. Each goes in turn as
// new copies come, none stays for ever.
void StoreFaultsTest::newestCopyIsTheLastWritten() {
    QFETCH(QDateTime, written);
    QFETCH(bool, isNewest);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    const QDate first(2026, 11, 1);
    QVERIFY(makeDamagedDatabase(path, {first, first.addDays(1), first.addDays(2)}));
    const QDir folder(Backups::folderFor(path));
    const QString ahead = folder.filePath(Backups::dailyName(QDate(2099, 1, 1)));
    const QString lastDay = folder.filePath(Backups::dailyName(first.addDays(2)));
    QVERIFY(QFile::copy(lastDay, ahead));
    const auto setWritten = [](const QString &file, const QDateTime &when) {
        QFile copy(file);
        return copy.open(QIODevice::ReadWrite) &&
               copy.setFileTime(when, QFileDevice::FileModificationTime);
    };
    const QDateTime now = QDateTime::currentDateTime();
    for (int day = 0; day < 3; ++day) {
        QVERIFY(setWritten(folder.filePath(Backups::dailyName(first.addDays(day))),
                           now.addDays(day - 3)));
    }
    QVERIFY(setWritten(ahead, written));

    const QString newest = isNewest ? ahead : lastDay;
    QCOMPARE(Backups::newest(path), newest);
    StorageError backupFailure;
    QVERIFY(!startCheck(path, first.addDays(3), &backupFailure));
    QCOMPARE(backupFailure.code, StorageError::kDamaged);
    QVERIFY2(backupFailure.description.contains(QDir::toNativeSeparators(newest)) &&
                 !backupFailure.description.contains(
                     QDir::toNativeSeparators(isNewest ? lastDay : ahead)),
             qPrintable(backupFailure.description));

    // Restored from a good copy, the database is copied day after day, and the copy named 2099
    // goes in its turn.
    QVERIFY(QFile::remove(path));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QVERIFY(QFile::copy(lastDay, path));
    for (int day = 10; day < 10 + Backups::kKept; ++day) {
        bool made = false;
        StorageError error;
        QVERIFY2(Backups::makeDaily(path, first.addDays(day), &made, &error) && made,
                 qPrintable(error.description));
    }
    const QStringList kept = Backups::list(path);
    QCOMPARE(kept.size(), Backups::kKept);
    QVERIFY(!QFile::exists(ahead));
    QCOMPARE(kept.last(), Backups::dailyName(first.addDays(10 + Backups::kKept - 1)));
}

// The copy of the day is made on its own thread while the checked connection goes on storing;
// a failure is reported through the event loop, and not at all when the window is gone.
void StoreFaultsTest::dailyCopyBesideTheWindow() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    const QDate day(2026, 12, 11);
    {
        StorageError error;
        std::unique_ptr<Database> db = storage::openDatabaseAtStart(path, &error);
        QVERIFY2(db, qPrintable(error.description));
        Buffer view;
        storage::Recordset rounds(view);
        QVERIFY(rounds.open(std::move(db), QStringLiteral("ronde")));
        QObject window;
        QList<StorageError> reported;
        storage::DailyBackupJob job(path, day);
        job.start(&window, [&reported](const StorageError &failure) { reported << failure; });
        view.edit(3, QStringLiteral("PD0XYZ"));
        QVERIFY(rounds.Update());
        job.wait();
        QCoreApplication::processEvents();
        QVERIFY(reported.isEmpty());
        QVERIFY(QFile::exists(QDir(Backups::folderFor(path)).filePath(Backups::dailyName(day))));
        QCOMPARE(view.shown[3].toString(), QStringLiteral("PD0XYZ"));
    }

    // A damaged database: said once the copy is tried, as a damaged database.
    QTemporaryDir damagedDir;
    const QString damaged = damagedDir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDamagedDatabase(damaged, {day.addDays(-1)}));
    for (const bool windowStays : {true, false}) {
        auto window = std::make_unique<QObject>();
        QList<StorageError> reported;
        storage::DailyBackupJob job(damaged, day);
        job.start(window.get(), [&reported](const StorageError &failure) { reported << failure; });
        job.wait();
        if (!windowStays) {
            window.reset();
        }
        QCoreApplication::processEvents();
        if (windowStays) {
            QCOMPARE(reported.size(), 1);
            QCOMPARE(reported[0].code, StorageError::kDamaged);
        } else {
            QVERIFY(reported.isEmpty());
        }
    }
}

// Going to a round on a damaged page says the database is damaged, not only that reading failed.
void StoreFaultsTest::readingDamagedPageSaysDamaged() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDamagedDatabase(path, {QDate(2026, 11, 1)}));

    Buffer view;
    storage::Recordset rounds(view);
    bool failed = !rounds.open(path, QStringLiteral("ronde"));
    for (int i = 0; !failed && i < 400; ++i) {
        failed = !rounds.MoveNext() && rounds.lastError();
    }
    QVERIFY(failed);
    QCOMPARE(rounds.lastError().code, StorageError::kDamaged);
    QVERIFY2(rounds.lastError().description.contains(QLatin1String("beschadigd")) &&
                 rounds.lastError().description.contains(
                     QDir::toNativeSeparators(Backups::newest(path))),
             qPrintable(rounds.lastError().description));
}

// A start on a read-only database leaves its shared-memory file read-only behind; once the
// database is writable again, the start names the file that is still read-only instead of
// calling the database read-only.
void StoreFaultsTest::fileMadeWritableAgainNamesTheRealReadOnlyFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    const QString shm = path + QStringLiteral("-shm");
    StorageError backupFailure;
    {
        AsOrdinaryUser user;
        const StorageError error = startCheck(path, QDate(2026, 12, 1), &backupFailure);
        QCOMPARE(error.code, StorageError::kReadOnly);
        QVERIFY2(error.description.contains(QDir::toNativeSeparators(path)),
                 qPrintable(error.description));
    }
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
    AsOrdinaryUser user;
    const StorageError error = startCheck(path, QDate(2026, 12, 1), &backupFailure);
    if (!QFile::exists(shm) ||
        ::faccessat(AT_FDCWD, QFile::encodeName(shm).constData(), W_OK, AT_EACCESS) == 0) {
        QVERIFY2(!error, qPrintable(error.description));  // nothing read-only left behind
        return;
    }
    QCOMPARE(error.code, StorageError::kReadOnly);
    QVERIFY2(error.description.contains(QDir::toNativeSeparators(shm)) &&
                 !error.description.contains(
                     QStringLiteral("%1: het bestand is").arg(QDir::toNativeSeparators(path))),
             qPrintable(error.description));
}

void StoreFaultsTest::sqliteFailureSaidInDutch_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("busy") << SQLITE_BUSY << "in gebruik door een ander programma";
    QTest::newRow("locked") << SQLITE_LOCKED << "in gebruik door een ander programma";
    QTest::newRow("full") << SQLITE_FULL << "de schijf is vol";
    QTest::newRow("read-only") << SQLITE_READONLY << "alleen-lezen";
    QTest::newRow("read-only shared memory") << SQLITE_READONLY_CANTINIT << "alleen-lezen";
    QTest::newRow("disk error on write") << SQLITE_IOERR_WRITE << "de schijf gaf een fout";
    QTest::newRow("damaged") << SQLITE_CORRUPT << "beschadigd";
    QTest::newRow("not a database") << SQLITE_NOTADB << "beschadigd";
    QTest::newRow("cannot open") << SQLITE_CANTOPEN << "kan niet worden geopend";
    QTest::newRow("no permission") << SQLITE_PERM << "geen toegang";
}

// What SQLite reports is said in Dutch, both alone (inside another message) and as the store's
// own error text; SQLite's English does not stand in it.
void StoreFaultsTest::sqliteFailureSaidInDutch() {
    QFETCH(int, code);
    QFETCH(QString, says);
    const QString english = QString::fromUtf8(sqlite3_errstr(code));
    const QString alone = Database::describe(code);
    QVERIFY2(alone.contains(says) && !alone.contains(english), qPrintable(alone));
    const StorageError error = Database::errorFor(QStringLiteral("/data/kringbaasbase.mdb"), code);
    QVERIFY2(!error.description.contains(english), qPrintable(error.description));
    QVERIFY2(error.description.contains(QLatin1String("/data/kringbaasbase.mdb")),
             qPrintable(error.description));
}

// The ham import and the statistics put the connection's last failure inside their messages.
void StoreFaultsTest::lockedFileSaidInDutchInsideMessages() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(makeDatabase(path));
    RawDb holder = openRaw(path);
    QVERIFY(exec(holder.get(), "BEGIN IMMEDIATE; UPDATE notes SET n1 = 'bezet';"));
    StorageError error;
    auto db = Database::open(path, &error, &storage::notesTable());
    QVERIFY2(db, qPrintable(error.description));
    QVERIFY(sqlite3_exec(db->handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK);
    QVERIFY2(db->lastMessage().contains(QLatin1String("in gebruik door een ander programma")) &&
                 !db->lastMessage().contains(QLatin1String("database is locked")),
             qPrintable(db->lastMessage()));
}

void StoreFaultsTest::transactionGuard_data() {
    QTest::addColumn<Guarded>("use");
    QTest::addColumn<bool>("begins");
    QTest::addColumn<bool>("commits");
    QTest::addColumn<int>("failure");         // the primary code the guard reports; 0: none
    QTest::addColumn<QStringList>("stored");  // as another connection reads the table after

    QTest::newRow("committed") << Guarded::Committed << true << true << SQLITE_OK
                               << QStringList{"binnen"};
    QTest::newRow("dropped without commit: rolled back")
        << Guarded::DroppedWithoutCommit << true << false << SQLITE_OK << QStringList{};
    QTest::newRow("commit after a rollback refused")
        << Guarded::CommittedAfterRollback << true << false << SQLITE_MISUSE << QStringList{};
    QTest::newRow("commit while another reads: reported, rolled back")
        << Guarded::CommitWhileAnotherReads << true << false << SQLITE_BUSY << QStringList{};
    QTest::newRow("begin while another writes: refused, the other's write kept")
        << Guarded::BeginWhileAnotherWrites << false << false << SQLITE_BUSY
        << QStringList{"ander"};
    QTest::newRow("begin inside another: refused, the outer one goes on")
        << Guarded::BeginInsideAnother << false << false << SQLITE_ERROR << QStringList{"buiten"};
}

// The guard every write goes through: a change is in the file after a successful commit() only,
// every other way out takes it back, and a guard that could not begin touches nothing.
void StoreFaultsTest::transactionGuard() {
    QFETCH(Guarded, use);
    QFETCH(bool, begins);
    QFETCH(bool, commits);
    QFETCH(int, failure);
    QFETCH(QStringList, stored);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("guard.db"));
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    RawDb db(raw);
    // The plain journal: a reader keeps a writer from committing.
    QVERIFY(exec(db.get(), "PRAGMA journal_mode=DELETE; CREATE TABLE t(v TEXT)"));
    RawDb other = openRaw(path);
    QVERIFY(other);
    const auto insert = [&db](const QString &value) {
        storage::Statement statement(db.get(), "INSERT INTO t VALUES (?1)");
        return statement.bind(1, value) && statement.run();
    };

    std::optional<storage::Transaction> outer;
    if (use == Guarded::BeginInsideAnother) {
        outer.emplace(db.get());
        QVERIFY(outer->isActive());
        QVERIFY(insert(QStringLiteral("buiten")));
    } else if (use == Guarded::CommitWhileAnotherReads) {
        QVERIFY(exec(other.get(), "BEGIN; SELECT count(*) FROM t;"));
    } else if (use == Guarded::BeginWhileAnotherWrites) {
        QVERIFY(exec(other.get(), "BEGIN IMMEDIATE; INSERT INTO t VALUES ('ander');"));
    }
    {
        storage::Transaction transaction(db.get());
        QCOMPARE(transaction.isActive(), begins);
        if (begins) {
            QVERIFY(insert(QStringLiteral("binnen")));
        }
        if (use == Guarded::CommittedAfterRollback) {
            transaction.rollback();
        }
        if (use != Guarded::DroppedWithoutCommit) {
            QCOMPARE(transaction.commit(), commits);
            QVERIFY(!transaction.isActive());
        }
        QCOMPARE(transaction.failure().code & 0xFF, failure);
    }
    if (outer) {
        QVERIFY2(outer->isActive() && sqlite3_get_autocommit(db.get()) == 0,
                 "the refused transaction ended the one around it");
        QVERIFY(outer->commit());
    }
    if (use == Guarded::CommitWhileAnotherReads || use == Guarded::BeginWhileAnotherWrites) {
        QVERIFY(exec(other.get(), "COMMIT"));
    }
    QVERIFY2(sqlite3_get_autocommit(db.get()) != 0, "a transaction was left open");
    QStringList rows;
    storage::Statement select(other.get(), "SELECT v FROM t ORDER BY rowid");
    while (select.next()) {
        rows << select.text(0);
    }
    QVERIFY(!select.failure());
    QCOMPARE(rows, stored);
}

// A value is bound as what it is and comes back as it went in; a text is never read as SQL.
void StoreFaultsTest::statementBindsValuesAsData() {
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &raw), SQLITE_OK);
    RawDb db(raw);
    QVERIFY(exec(db.get(), "CREATE TABLE v(a, b, c, d, e, f, g)"));
    const QString hostile = QStringLiteral("'); DROP TABLE v; -- ë");
    storage::Statement insert(db.get(), "INSERT INTO v VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    QVERIFY(insert.isValid());
    QVERIFY(insert.bind(1, hostile) && insert.bind(2, QString()) && insert.bind(3, nullptr) &&
            insert.bind(4, true) && insert.bind(5, qint64(1) << 40) && insert.bind(6, 2.5) &&
            insert.bind(7, -3));
    QVERIFY(insert.run());
    insert.reset();  // no value stays bound
    QVERIFY(insert.run());

    storage::Statement select(db.get(),
                              "SELECT a, b, typeof(b), c, d, e, f, g FROM v ORDER BY rowid");
    QVERIFY(select.next());
    QCOMPARE(select.text(0), hostile);
    QCOMPARE(select.utf8(0), std::string_view(hostile.toUtf8().constData()));
    // A null QString is an empty text, not a missing value; nullptr is the missing value.
    QVERIFY(!select.isNull(1) && select.text(1).isEmpty());
    QCOMPARE(select.text(2), QStringLiteral("text"));
    QVERIFY(select.isNull(3) && select.text(3).isNull() && !select.utf8(3).data());
    QCOMPARE(select.integer(4), 1);
    QCOMPARE(select.int64(5), qint64(1) << 40);
    QCOMPARE(select.real(6), 2.5);
    QCOMPARE(select.integer(7), -3);
    QVERIFY(select.next());
    for (int column : {0, 1, 3, 4, 5, 6, 7}) {
        QVERIFY2(select.isNull(column), qPrintable(QString::number(column)));
    }
    QVERIFY(!select.next());
    QVERIFY(!select.failure());
    select.reset();
    QVERIFY(!select.bind(9, 1));
    QCOMPARE(select.failure().code, SQLITE_RANGE);

    const storage::Statement missing(db.get(), "SELECT a FROM nergens");
    QVERIFY(!missing.isValid());
    QCOMPARE(missing.failure().code, SQLITE_ERROR);
    QVERIFY2(missing.failure().message.contains(QLatin1String("nergens")),
             qPrintable(missing.failure().message));
}

KB_CORE_TEST_MAIN(StoreFaultsTest)
#include "tst_storefaults.moc"
