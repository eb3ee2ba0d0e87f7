#include "storage/Database.h"

#include "storage/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace storage {

namespace {

StorageError notOurs(const QString &path) {
    return {StorageError::kNotOurDatabase,
            QStringLiteral("Het bestand %1 is geen database van Kringbaas. "
                           "Kringbaas laat het bestand ongewijzigd.")
                .arg(QDir::toNativeSeparators(path))};
}

StorageError cannotOpen(const QString &path) {
    return {StorageError::kCannotOpen,
            QStringLiteral("De database %1 kan niet worden geopend of aangemaakt.")
                .arg(QDir::toNativeSeparators(path))};
}

// What the first bytes of an existing file say, read before the database engine touches it: an
// engine that opens a file may already write to it (a pending log is folded in on close).
enum class FileKind { Ours, Newer, Foreign };

quint32 bigEndian32(const QByteArray &bytes, int offset) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | quint8(bytes[offset + i]);
    }
    return value;
}

FileKind inspectHeader(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileKind::Foreign;
    }
    const QByteArray header = file.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100 || !header.startsWith(magic)) {
        return FileKind::Foreign;
    }
    if (bigEndian32(header, 68) != quint32(kApplicationId)) {
        return FileKind::Foreign;
    }
    return bigEndian32(header, 60) > quint32(kSchemaVersion) ? FileKind::Newer : FileKind::Ours;
}

StorageError newer(const QString &path) {
    return {StorageError::kCannotOpen,
            QStringLiteral("De database %1 is gemaakt door een nieuwere versie van "
                           "Kringbaas en kan met deze versie niet worden geopend. "
                           "Kringbaas laat het bestand ongewijzigd.")
                .arg(QDir::toNativeSeparators(path))};
}

}  // namespace

Database::~Database() {
    sqlite3_close_v2(db_);
}

QString Database::lastMessage() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

std::unique_ptr<Database> Database::open(const QString &path, StorageError *error,
                                         const TableDef *table) {
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
            case FileKind::Ours:
                break;
        }
    }

    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        *error = cannotOpen(path);
        return nullptr;
    }
    std::unique_ptr<Database> database(new Database(db, path));
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    registerFoldCollation(db);

    // Ours, or a database with nothing in it yet; anything else is somebody else's file. All of
    // this is decided before anything is written.
    const int applicationId = queryInt(db, "PRAGMA application_id");
    const int version = queryInt(db, "PRAGMA user_version");
    if (applicationId != kApplicationId) {
        const int objects = queryInt(db, "SELECT count(*) FROM sqlite_master");
        if (applicationId != 0 || objects != 0 || version != 0) {
            *error = notOurs(path);
            return nullptr;
        }
    } else if (version < 0 || version > kSchemaVersion) {
        *error = newer(path);
        return nullptr;
    }

    // A new file is made in the plain journal mode, so that the mark that it is ours stands in
    // the file itself before any other connection looks at it.
    QString failure;
    if (!upgradeSchema(db, table, &failure)) {
        *error = {StorageError::kCannotOpen,
                  QStringLiteral("De database %1 kan niet worden bijgewerkt.")
                      .arg(QDir::toNativeSeparators(path))};
        return nullptr;
    }
    // Write-ahead logging keeps the file whole when the program or the machine stops halfway
    // through a write; FULL makes every stored round durable before the call returns.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536;",
                 nullptr, nullptr, nullptr);
    return database;
}

}  // namespace storage
