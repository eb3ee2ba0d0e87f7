#pragma once

#include "storage/Database.h"

#include <QDate>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace storage {

// Consistent copies of the database in the folder "backups" beside it, made with SQLite's online
// backup (a file copy of a database in use may catch it halfway through a write). The newest
// kKept (by time of writing) are kept; a copy is restored by putting it in place of the database
// while the program is closed.
class Backups {
public:
    static constexpr int kKept = 14;

    static QString folderFor(const QString &databasePath);
    // The copies, oldest first by the time each was written (its file's modification time), not
    // by the date in its name. A copy written more than kClockSlackSeconds after now was made
    // while the clock ran ahead: it comes before all others, so it is the first to go and
    // never passes for the newest while another copy is there.
    static QStringList list(const QString &databasePath);
    static constexpr int kClockSlackSeconds = 600;
    // The full path of the newest copy; empty when there is none.
    static QString newest(const QString &databasePath);

    // Copies the database of the open connection to backups/<fileName>, through a temporary
    // file, then removes the oldest copies beyond kKept. A copy that fails SQLite's quick check
    // is not kept and removes nothing: *error says the database is damaged (kDamaged).
    static bool make(sqlite3 *db, const QString &databasePath, const QString &fileName,
                     StorageError *error);
    // The copy of the day: made at the first start of each day, when there is none yet.
    // *made tells whether a copy was made now.
    static bool makeDaily(const QString &databasePath, QDate day, bool *made, StorageError *error);

    static QString dailyName(QDate day);
};

}  // namespace storage
