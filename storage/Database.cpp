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

bool hasSqliteHeader(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    static const QByteArray magic("SQLite format 3\0", 16);
    return file.read(magic.size()) == magic;
}

int pragmaInt(sqlite3 *db, const char *sql) {
    sqlite3_stmt *stmt = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        value = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return value;
}

}  // namespace

Database::~Database() {
    sqlite3_close_v2(db_);
}

QString Database::lastMessage() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

std::unique_ptr<Database> Database::open(const QString &path, StorageError *error) {
    const QFileInfo info(path);
    // An empty file holds nothing to lose: it is what a start interrupted while creating the
    // database leaves behind, so it is made into a fresh database.
    const bool fresh = !info.exists() || (info.isFile() && info.size() == 0);
    if (info.exists() && !info.isFile()) {
        *error = cannotOpen(path);
        return nullptr;
    }
    if (!fresh && !hasSqliteHeader(path)) {
        *error = notOurs(path);
        return nullptr;
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
    const int applicationId = pragmaInt(db, "PRAGMA application_id");
    const int version = pragmaInt(db, "PRAGMA user_version");
    if (applicationId != kApplicationId) {
        const int objects = pragmaInt(db, "SELECT count(*) FROM sqlite_master");
        if (applicationId != 0 || objects != 0 || version != 0) {
            *error = notOurs(path);
            return nullptr;
        }
    } else if (version < 0 || version > kSchemaVersion) {
        *error = {StorageError::kCannotOpen,
                  QStringLiteral("De database %1 is gemaakt door een nieuwere versie van "
                                 "Kringbaas en kan met deze versie niet worden geopend. "
                                 "Kringbaas laat het bestand ongewijzigd.")
                      .arg(QDir::toNativeSeparators(path))};
        return nullptr;
    }

    // Write-ahead logging keeps the file whole when the program or the machine stops halfway
    // through a write; FULL makes every stored round durable before the call returns.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536;",
                 nullptr, nullptr, nullptr);

    QString failure;
    if (!upgradeSchema(db, &failure)) {
        *error = {StorageError::kCannotOpen,
                  QStringLiteral("De database %1 kan niet worden bijgewerkt.")
                      .arg(QDir::toNativeSeparators(path))};
        return nullptr;
    }
    return database;
}

}  // namespace storage
