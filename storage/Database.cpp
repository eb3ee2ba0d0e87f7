#include "storage/Database.h"

#include "storage/Backups.h"
#include "storage/Schema.h"
#include "storage/Sql.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

namespace storage {

namespace {

std::atomic<int> lockWaitMs{2000};

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

StorageError notOurs(const QString &path) {
    return {StorageError::kNotOurDatabase,
            QStringLiteral("Het bestand %1 is geen database van Kringbaas. "
                           "Kringbaas laat het bestand ongewijzigd.")
                .arg(native(path))};
}

StorageError cannotOpen(const QString &path) {
    return {
        StorageError::kCannotOpen,
        QStringLiteral("De database %1 kan niet worden geopend of aangemaakt.").arg(native(path))};
}

StorageError cannotRead(const QString &path) {
    return {StorageError::kCannotOpen,
            QStringLiteral("De database %1 kan niet worden gelezen: Kringbaas heeft geen "
                           "toegang tot het bestand.")
                .arg(native(path))};
}

StorageError locked(const QString &path) {
    return {StorageError::kLocked,
            QStringLiteral("De database %1 is vergrendeld door een ander programma. Wacht tot "
                           "dat programma klaar is, of sluit het, en probeer het opnieuw.")
                .arg(native(path))};
}

// journalBefore: the size of the rollback journal beside the file before the program opened it.
StorageError damaged(const QString &path, const QString &what = {}, qint64 journalBefore = 0) {
    const QString newest = Backups::newest(path);
    const QString backup =
        newest.isEmpty() ? QStringLiteral("Er is nog geen reservekopie in de map %1.")
                               .arg(native(Backups::folderFor(path)))
                         : QStringLiteral("De nieuwste reservekopie is %1.").arg(native(newest));
    // A log beside the file may hold rounds stored after the last write to the file itself: it
    // is left as it is too (see ~Database), and named, so that nobody throws it away as a
    // leftover.
    const QString wal = path + QStringLiteral("-wal");
    QString untouched =
        QFileInfo(wal).size() > 0
            ? QStringLiteral(
                  "Kringbaas laat het bestand en het logbestand %1 ernaast ongewijzigd "
                  "(het logbestand kan opgeslagen rondes bevatten).")
                  .arg(native(wal))
            : QStringLiteral("Kringbaas laat het bestand ongewijzigd.");
    // A journal left by a write that was cut off is played back by SQLite when the file is first
    // read, before anything can be checked: the file is then no longer as it was found.
    const QString journal = path + QStringLiteral("-journal");
    if (journalBefore > 0 && QFileInfo(journal).size() < journalBefore) {
        untouched = QStringLiteral(
                        "SQLite heeft bij het openen een half geschreven wijziging uit "
                        "%1 teruggedraaid, zoals het dat na een onderbroken schrijven "
                        "altijd doet; verder laat Kringbaas het bestand ongewijzigd.")
                        .arg(native(journal));
    }
    return {StorageError::kDamaged, QStringLiteral("De database %1 is beschadigd%2. %3 %4")
                                        .arg(native(path), what, untouched, backup)};
}

// Whether the program (its effective user) may write the file; nothing is opened.
bool writable(const QString &file) {
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(file).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(file).isWritable();
#endif
}

StorageError readOnlyFolder(const QString &path) {
    return {StorageError::kReadOnly,
            QStringLiteral("Kringbaas kan niet schrijven in de map %1 van de database %2. "
                           "Rondes kunnen zo niet worden opgeslagen.")
                .arg(native(QFileInfo(path).absolutePath()), native(path))};
}

StorageError readOnlyFile(const QString &path) {
    // SQLite keeps its log files beside the database with the database's permissions: a start on
    // a read-only database leaves them read-only after the database was made writable again.
    const QString wal = path + QStringLiteral("-wal");
    const QString shm = path + QStringLiteral("-shm");
    if (writable(path)) {
        if (QFileInfo::exists(wal) && !writable(wal)) {
            return {StorageError::kReadOnly,
                    QStringLiteral("Kringbaas kan niet schrijven in de database %1: het "
                                   "logbestand %2 ernaast is alleen-lezen. Maak het schrijfbaar "
                                   "(verwijder het niet: het kan opgeslagen rondes bevatten). "
                                   "Rondes kunnen zo niet worden opgeslagen.")
                        .arg(native(path), native(wal))};
        }
        if (QFileInfo::exists(shm) && !writable(shm)) {
            return {StorageError::kReadOnly,
                    QStringLiteral("Kringbaas kan niet schrijven in de database %1: het "
                                   "hulpbestand %2 ernaast is alleen-lezen. Maak het schrijfbaar, "
                                   "of verwijder het terwijl geen programma de database open "
                                   "heeft. Rondes kunnen zo niet worden opgeslagen.")
                        .arg(native(path), native(shm))};
        }
        // A writable file in a folder that is not: SQLite cannot make its log files beside it
        // and opens the database read-only.
        if (!writable(QFileInfo(path).absolutePath())) {
            return readOnlyFolder(path);
        }
    }
    return {StorageError::kReadOnly,
            QStringLiteral("Kringbaas kan niet schrijven in de database %1: het bestand is "
                           "alleen-lezen. Rondes kunnen zo niet worden opgeslagen.")
                .arg(native(path))};
}

StorageError newer(const QString &path) {
    return {StorageError::kCannotOpen,
            QStringLiteral("De database %1 is gemaakt door een nieuwere versie van "
                           "Kringbaas en kan met deze versie niet worden geopend. "
                           "Kringbaas laat het bestand ongewijzigd.")
                .arg(native(path))};
}

// What the first bytes of an existing file say, read before the database engine touches it: an
// engine that opens a file may already write to it (a pending log is folded in on close).
enum class FileKind { Ours, Newer, Foreign, Damaged, Unreadable };

quint32 bigEndian32(const QByteArray &bytes, int offset) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | quint8(bytes[offset + i]);
    }
    return value;
}

// The first bytes and the size of a file, read through SQLite's own file layer. It keeps one
// descriptor per file for all connections of the process and holds it open while any of them
// holds a lock: closing a descriptor of our own (QFile) would drop every lock the process's
// connections hold on the file, and another program could then delete the log under them.
bool readHeader(const QString &path, QByteArray *header, qint64 *size) {
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    if (!vfs) {
        return false;
    }
    // SQLite hands names to its file layer with room for parameters after them: end in NULs.
    QByteArray name(vfs->mxPathname + 8, '\0');
    if (vfs->xFullPathname(vfs, QFile::encodeName(path).constData(), vfs->mxPathname + 1,
                           name.data()) != SQLITE_OK) {
        return false;
    }
    const std::unique_ptr<void, decltype(&sqlite3_free)> storage(sqlite3_malloc(vfs->szOsFile),
                                                                 &sqlite3_free);
    if (!storage) {
        return false;
    }
    auto *file = static_cast<sqlite3_file *>(storage.get());
    std::memset(file, 0, size_t(vfs->szOsFile));
    int outFlags = 0;
    if (vfs->xOpen(vfs, name.constData(), file, SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_READONLY,
                   &outFlags) != SQLITE_OK) {
        if (file->pMethods) {
            file->pMethods->xClose(file);
        }
        return false;
    }
    sqlite3_int64 bytes = 0;
    bool ok = file->pMethods->xFileSize(file, &bytes) == SQLITE_OK;
    if (ok) {
        header->fill('\0', int(std::min<sqlite3_int64>(bytes, 100)));
        ok = header->isEmpty() ||
             file->pMethods->xRead(file, header->data(), int(header->size()), 0) == SQLITE_OK;
        *size = bytes;
    }
    file->pMethods->xClose(file);
    return ok;
}

FileKind inspectHeader(const QString &path) {
    QByteArray header;
    qint64 fileSize = 0;
    if (!readHeader(path, &header, &fileSize)) {
        return FileKind::Unreadable;
    }
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100) {
        return FileKind::Foreign;  // too short to say whose it is
    }
    if (!header.startsWith(magic) || bigEndian32(header, 68) != quint32(kApplicationId)) {
        return FileKind::Foreign;
    }
    if (bigEndian32(header, 60) > quint32(kSchemaVersion)) {
        return FileKind::Newer;
    }
    // A file shorter than the pages its header counts was cut short. The count is valid when
    // the change counter and the version-valid-for number agree.
    const quint32 rawPageSize = (quint32(quint8(header[16])) << 8) | quint8(header[17]);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    const qint64 pages = bigEndian32(header, 28);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || fileSize % pageSize != 0) {
        return FileKind::Damaged;
    }
    if (bigEndian32(header, 24) == bigEndian32(header, 92) && fileSize < pages * pageSize) {
        return FileKind::Damaged;
    }
    return FileKind::Ours;
}

}  // namespace

int Database::lockWait() {
    return lockWaitMs.load();
}

void Database::setLockWait(int milliseconds) {
    lockWaitMs.store(milliseconds);
}

Database::~Database() {
    // The last connection to close folds the log into the file and deletes it. A file refused
    // while it was checked stays as it was found: a log with something in it is kept, unfolded
    // (it may hold stored rounds, and the file's own bytes stay what they were). An empty log,
    // which opening the file makes, goes as usual; asking its size opens nothing.
    if (checking_ && QFileInfo(path_ + QStringLiteral("-wal")).size() > 0) {
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    sqlite3_close_v2(db_);
}

QString Database::lastMessage() const {
    return describe(sqlite3_extended_errcode(db_));
}

QString Database::describe(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return QStringLiteral("er is geen fout gemeld");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("de database is in gebruik door een ander programma");
        case SQLITE_FULL:
            return QStringLiteral("de schijf is vol");
        case SQLITE_READONLY:
            return QStringLiteral("het bestand is alleen-lezen");
        case SQLITE_IOERR:
            return QStringLiteral("de schijf gaf een fout bij lezen of schrijven");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("het bestand is beschadigd");
        case SQLITE_CANTOPEN:
            return QStringLiteral("het bestand kan niet worden geopend of aangemaakt");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("Kringbaas heeft geen toegang tot het bestand");
        case SQLITE_NOMEM:
            return QStringLiteral("er is niet genoeg geheugen");
        case SQLITE_TOOBIG:
            return QStringLiteral("een tekst is te lang voor de database");
        case SQLITE_CONSTRAINT:
            return QStringLiteral("een regel van de database staat de wijziging niet toe");
        case SQLITE_INTERRUPT:
        case SQLITE_ABORT:
            return QStringLiteral("de bewerking is afgebroken");
        case SQLITE_PROTOCOL:
            return QStringLiteral("een ander programma verstoort de vergrendeling van het bestand");
        default:
            return QStringLiteral("SQLite meldt fout %1 (%2)")
                .arg(sqliteCode)
                .arg(QString::fromUtf8(sqlite3_errstr(sqliteCode)));
    }
}

StorageError Database::errorFor(int sqliteCode) const {
    const int primary = sqliteCode & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
        return damaged(path_, {}, checking_ ? journalBefore_ : 0);
    }
    return errorFor(path_, sqliteCode);
}

StorageError Database::errorFor(const QString &path, int sqliteCode) {
    switch (sqliteCode & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return locked(path);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return damaged(path);
        case SQLITE_READONLY:
            return readOnlyFile(path);
        case SQLITE_CANTOPEN:
            return readOnlyFolder(path);
        case SQLITE_FULL:
            return {StorageError::kWriteFailed,
                    QStringLiteral("De schijf met de database %1 is vol.").arg(native(path))};
        default:
            return {StorageError::kWriteFailed,
                    QStringLiteral("Lezen of schrijven van de database %1 is mislukt: %2.")
                        .arg(native(path), describe(sqliteCode))};
    }
}

bool Database::everyFieldPresent(StorageError *error) const {
    for (const TableDef *table : {&rondeTable(), &qrzTable(), &notesTable()}) {
        const QString missing = missingField(db_, *table);
        if (!missing.isEmpty()) {
            *error = damaged(path_,
                             QStringLiteral(": in de tabel '%1' ontbreekt het veld '%2'")
                                 .arg(table->name, missing),
                             journalBefore_);
            return false;
        }
    }
    return true;
}

bool Database::checkUsable(StorageError *error) {
    // A file refused here is left as it is, its log included.
    checking_ = true;
    // Every field of every table; a file that lacks one cannot store a round.
    if (!everyFieldPresent(error)) {
        return false;
    }
    if (sqlite3_db_readonly(db_, "main") == 1) {
        *error = readOnlyFile(path_);
        return false;
    }
    // The log files of the database are made beside it.
    {
        QTemporaryFile probe(QFileInfo(path_).dir().filePath(QStringLiteral(".kringbaas-XXXXXX")));
        if (!probe.open()) {
            *error = readOnlyFolder(path_);
            return false;
        }
    }
    // A write that is taken back (never committed): it needs the write lock and a writable file.
    Transaction probe(db_);
    if (!probe.isActive()) {
        *error = errorFor(probe.failure().code);
        return false;
    }
    SqlFailure failure;
    if (!Statement::execute(db_, QStringLiteral("PRAGMA user_version = %1").arg(schemaVersion(db_)),
                            &failure)) {
        *error = errorFor(failure.code);
        return false;
    }
    checking_ = false;
    return true;
}

std::unique_ptr<Database> Database::open(const QString &path, StorageError *error,
                                         const TableDef *table, bool everyTable) {
    const QFileInfo info(path);
    // An empty file holds nothing to lose: it is what a start interrupted while creating the
    // database leaves behind, so it is made into a fresh database.
    const bool fresh = !info.exists() || (info.isFile() && info.size() == 0);
    if (info.exists() && !info.isFile()) {
        *error = cannotOpen(path);
        return nullptr;
    }
    if (!fresh) {
        switch (inspectHeader(path)) {
            case FileKind::Foreign:
                *error = notOurs(path);
                return nullptr;
            case FileKind::Newer:
                *error = newer(path);
                return nullptr;
            case FileKind::Damaged:
                *error = damaged(path);
                return nullptr;
            case FileKind::Unreadable:
                *error = cannotRead(path);
                return nullptr;
            case FileKind::Ours:
                break;
        }
    }

    const qint64 journalBefore = QFileInfo(path + QStringLiteral("-journal")).size();
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        const int code = db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN;
        sqlite3_close_v2(db);
        *error = fresh ? readOnlyFolder(path) : errorFor(path, code);
        if ((code & 0xFF) == SQLITE_CANTOPEN && !fresh) {
            *error = cannotOpen(path);
        }
        return nullptr;
    }
    std::unique_ptr<Database> database(new Database(db, path));
    // Until the file is taken as ours and whole, closing the connection leaves it as it was found.
    database->checking_ = true;
    database->journalBefore_ = journalBefore;
    sqlite3_busy_timeout(db, lockWait());
    sqlite3_extended_result_codes(db, 1);
    registerFoldCollation(db);
    registerFoldFunction(db);

    // Ours, or a database with nothing in it yet; anything else is somebody else's file. All of
    // this is decided before anything is written. A question the file cannot answer (it is
    // locked, or damaged past its header) says so instead.
    int objects = 0;
    {
        Statement probe(db, "SELECT count(*) FROM sqlite_master");
        if (!probe.isValid() || !probe.next()) {
            *error = database->errorFor(probe.failure().code);
            return nullptr;
        }
        objects = probe.integer(0);
    }
    const int applicationId = queryInt(db, "PRAGMA application_id");
    const int version = queryInt(db, "PRAGMA user_version");
    if (applicationId != kApplicationId) {
        if (applicationId != 0 || objects != 0 || version != 0) {
            *error = notOurs(path);
            return nullptr;
        }
    } else if (version < 0 || version > kSchemaVersion) {
        *error = newer(path);
        return nullptr;
    }

    // A file of this version that lacks a field is damaged: refused before anything is written
    // to it (a repair, the switch to write-ahead logging of a backup put back), so that it stays
    // as it was found.
    if (everyTable && version == kSchemaVersion && !database->everyFieldPresent(error)) {
        return nullptr;
    }

    // A file of an older version is copied before the upgrade changes it.
    if (version > 0 && version < kSchemaVersion) {
        const QString name =
            QStringLiteral("kringbaasbase-%1-voor-versie-%2.mdb")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")))
                .arg(kSchemaVersion);
        if (!Backups::make(db, path, name, error)) {
            error->description +=
                QStringLiteral(" De database %1 wordt daarom niet bijgewerkt.").arg(native(path));
            return nullptr;
        }
    }

    // A new file is made in the plain journal mode, so that the mark that it is ours stands in
    // the file itself before any other connection looks at it.
    QString failure;
    int failed = 0;
    if (!upgradeSchema(db, table, &failure, &failed)) {
        const int code = failed != 0 ? failed : sqlite3_extended_errcode(db);
        *error =
            sqlite3_db_readonly(db, "main") == 1 ? readOnlyFile(path) : database->errorFor(code);
        if (error->code == StorageError::kWriteFailed) {
            // A full disk is said as such; it is what the user can mend.
            *error = {StorageError::kCannotOpen,
                      (code & 0xFF) == SQLITE_FULL
                          ? error->description
                          : QStringLiteral("De database %1 kan niet worden bijgewerkt.")
                                .arg(native(path))};
        }
        return nullptr;
    }
    if (table) {
        const QString missing = missingField(db, *table);
        if (!missing.isEmpty()) {
            *error = damaged(path,
                             QStringLiteral(": in de tabel '%1' ontbreekt het veld '%2'")
                                 .arg(table->name, missing),
                             database->journalBefore_);
            return nullptr;
        }
    }
    // Write-ahead logging keeps the file whole when the program or the machine stops halfway
    // through a write; FULL makes every stored round durable before the call returns.
    Statement::execute(
        db, QStringLiteral(
                "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536;"));
    database->checking_ = false;
    return database;
}

}  // namespace storage
