#include "storage/Backups.h"

#include "storage/Schema.h"
#include "storage/Sql.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sqlite3.h>

namespace storage {

namespace {

const QString kPrefix = QStringLiteral("kringbaasbase-");
const QString kSuffix = QStringLiteral(".mdb");

StorageError backupFailed(const QString &target, const QString &reason) {
    return {StorageError::kWriteFailed,
            QStringLiteral("De reservekopie %1 kan niet worden gemaakt: %2")
                .arg(QDir::toNativeSeparators(target), reason)};
}

// SQLite's quick check of a copy: whether every page of it reads as what it should be. A copy of
// a damaged database carries the damage along and must not push a good copy out.
bool copyIsWhole(sqlite3 *copy, int *rc) {
    Statement check(copy, "PRAGMA quick_check(1)");
    if (!check.isValid()) {
        *rc = check.failure().code;
        return false;
    }
    *rc = SQLITE_OK;
    if (check.next()) {
        return check.utf8(0) == "ok";
    }
    const int step = check.failure().code;
    if ((step & 0xFF) != SQLITE_CORRUPT && (step & 0xFF) != SQLITE_NOTADB) {
        *rc = step;  // the check itself could not run
    }
    return false;
}

StorageError damagedCopy(const QString &databasePath) {
    const QString newest = Backups::newest(databasePath);
    const QString backup =
        newest.isEmpty() ? QStringLiteral("Er is nog geen goede reservekopie in de map %1.")
                               .arg(QDir::toNativeSeparators(Backups::folderFor(databasePath)))
                         : QStringLiteral(
                               "De nieuwste goede reservekopie is %1; zet die terug "
                               "terwijl Kringbaas gesloten is.")
                               .arg(QDir::toNativeSeparators(newest));
    return {StorageError::kDamaged,
            QStringLiteral("De database %1 is beschadigd: SQLite vindt fouten in de kopie die "
                           "Kringbaas ervan maakte. Die kopie is niet bewaard, zodat de goede "
                           "reservekopieën blijven. %2")
                .arg(QDir::toNativeSeparators(databasePath), backup)};
}

void prune(const QString &databasePath) {
    const QStringList copies = Backups::list(databasePath);
    const QDir dir(Backups::folderFor(databasePath));
    for (qsizetype i = 0; i + Backups::kKept < copies.size(); ++i) {
        QFile::remove(dir.filePath(copies[i]));
    }
}

}  // namespace

QString Backups::folderFor(const QString &databasePath) {
    return QFileInfo(databasePath).dir().filePath(QStringLiteral("backups"));
}

QStringList Backups::list(const QString &databasePath) {
    // The date in a copy's name is the program's date when it was made, which a clock set wrong
    // (once, in 2099) puts anywhere; the file's time of writing comes from the same clock as
    // the time now, so a copy written "in the future" shows as such. A copy written later than
    // a few minutes from now was written while the clock ran ahead: how old it really is cannot
    // be known, so it counts as older than every other copy. It is named as the newest only
    // when there is no other, and it is the first to go.
    const qint64 ahead =
        QDateTime::currentDateTimeUtc().addSecs(kClockSlackSeconds).toMSecsSinceEpoch();
    struct Copy {
        bool fromTheFuture;
        qint64 written;
        QString name;
    };
    QList<Copy> copies;
    const QFileInfoList found =
        QDir(folderFor(databasePath))
            .entryInfoList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : found) {
        const qint64 written = info.lastModified().toMSecsSinceEpoch();
        copies.append({written > ahead, written, info.fileName()});
    }
    std::stable_sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        if (a.fromTheFuture != b.fromTheFuture) {
            return a.fromTheFuture;
        }
        return a.written < b.written;  // copies written in the same moment stay in name order
    });
    QStringList names;
    for (const Copy &copy : copies) {
        names.append(copy.name);
    }
    return names;
}

QString Backups::newest(const QString &databasePath) {
    const QStringList copies = list(databasePath);
    return copies.isEmpty() ? QString() : QDir(folderFor(databasePath)).filePath(copies.last());
}

QString Backups::dailyName(QDate day) {
    return kPrefix + day.toString(QStringLiteral("yyyy-MM-dd")) + kSuffix;
}

bool Backups::make(sqlite3 *db, const QString &databasePath, const QString &fileName,
                   StorageError *error) {
    const QDir dir(folderFor(databasePath));
    const QString target = dir.filePath(fileName);
    if (!QDir().mkpath(dir.path())) {
        *error = backupFailed(target, QStringLiteral("de map kan niet worden aangemaakt."));
        return false;
    }
    const QString temporary = target + QStringLiteral(".tmp");
    QFile::remove(temporary);
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", db, "main");
        if (backup) {
            // Other connections of the program may hold the file; the copy is one consistent
            // snapshot all the same.
            rc = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finished : rc;
        } else {
            rc = sqlite3_errcode(copy);
        }
    }
    if (rc == SQLITE_OK) {
        SqlFailure failure;
        rc = Statement::execute(copy, QStringLiteral("PRAGMA journal_mode=DELETE"), &failure)
                 ? SQLITE_OK
                 : failure.code;
    }
    bool whole = false;
    if (rc == SQLITE_OK) {
        // The call index of files of versions 1 and 2 needs the program's collation.
        registerFoldCollation(copy);
        whole = copyIsWhole(copy, &rc);
    }
    const QString reason = Database::describe(rc) + QLatin1Char('.');
    sqlite3_close_v2(copy);
    if (rc == SQLITE_OK && !whole) {
        QFile::remove(temporary);
        *error = damagedCopy(databasePath);
        return false;
    }
    if (rc != SQLITE_OK) {
        QFile::remove(temporary);
        *error = backupFailed(target, reason);
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target)) {
        QFile::remove(temporary);
        *error = backupFailed(target, QStringLiteral("het bestand kan niet worden geschreven."));
        return false;
    }
    prune(databasePath);
    return true;
}

bool Backups::makeDaily(const QString &databasePath, QDate day, bool *made, StorageError *error) {
    *made = false;
    if (!QFileInfo::exists(databasePath) ||
        QFileInfo::exists(QDir(folderFor(databasePath)).filePath(dailyName(day)))) {
        return true;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        *error = backupFailed(QDir(folderFor(databasePath)).filePath(dailyName(day)),
                              QStringLiteral("de database kan niet worden gelezen."));
        return false;
    }
    sqlite3_busy_timeout(db, Database::lockWait());
    const bool ok = make(db, databasePath, dailyName(day), error);
    sqlite3_close_v2(db);
    *made = ok;
    return ok;
}

}  // namespace storage
