#pragma once

#include <QString>

#include <memory>

struct sqlite3;

namespace storage {

struct TableDef;

// A failure of the store, with a code and a Dutch description fit to show a user.
struct StorageError {
    int code = 0;
    QString description;

    // Codes as the record control reports them.
    static constexpr int kCannotOpen = 3044;       // the file cannot be opened or made
    static constexpr int kNotOurDatabase = 3343;   // the file is not a Kringbaas database
    static constexpr int kNoCurrentRecord = 3021;  // the operation needs a current record
    static constexpr int kBadCriterion = 3077;     // a find criterion that cannot be evaluated
    static constexpr int kUnknownField = 3070;     // a criterion or binding names an unknown field
    static constexpr int kBadBookmark = 3159;      // a bookmark or position that is not there
    static constexpr int kWriteFailed = 3043;      // reading or writing the file failed
    static constexpr int kNotOpen = 3420;          // the table is not open
    static constexpr int kNotAllowed = 3219;       // not while a record loads or validates
    static constexpr int kLocked = 3260;           // another program holds the file locked
    static constexpr int kDamaged = 3049;          // the file is ours but damaged
    static constexpr int kReadOnly = 3051;         // the file or its folder cannot be written

    explicit operator bool() const { return code != 0; }
};

// One connection to the database file, created when the file is missing. A file that exists but
// is not a Kringbaas database is refused and left exactly as it is.
class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The database file beside the program.
    static constexpr const char *kFileName = "kringbaasbase.mdb";

    // Opens (or creates) the file and brings its schema up to date; nullptr and *error on
    // failure. The table the caller is about to use is made again when it went missing, and gets
    // a blank record when it is empty; the other tables are left alone. With everyTable, a file
    // in which any table lacks a field is refused before anything is written to it.
    static std::unique_ptr<Database> open(const QString &path, StorageError *error,
                                          const TableDef *table = nullptr, bool everyTable = false);

    sqlite3 *handle() const { return db_; }
    const QString &path() const { return path_; }

    // The description of the last failure of this connection, in Dutch, for error texts.
    QString lastMessage() const;
    // What an SQLite result code means, in Dutch, to stand inside a sentence (no full stop).
    // SQLite's own English text is given only for the rare codes without a Dutch one.
    static QString describe(int sqliteCode);

    // What a failed statement of this connection means for the user: the file is locked,
    // damaged, cannot be written, or reading or writing failed otherwise.
    StorageError errorFor(int sqliteCode) const;
    static StorageError errorFor(const QString &path, int sqliteCode);

    // Checks at start that the program can work with the file: every table has every field,
    // and a write to the file and to its folder succeeds (SQLite opens a file it cannot write
    // without saying so). Nothing is changed.
    bool checkUsable(StorageError *error);

    // How long a statement waits for a lock another program holds before it fails.
    static int lockWait();
    static void setLockWait(int milliseconds);

private:
    // False, with *error saying which, when a table of the file lacks one of its fields.
    bool everyFieldPresent(StorageError *error) const;

    Database(sqlite3 *db, QString path) : db_(db), path_(std::move(path)) {}
    sqlite3 *db_;
    QString path_;
    bool checking_ = false;     // the file is not yet taken as ours and whole
    qint64 journalBefore_ = 0;  // the size of its rollback journal before it was opened
};

}  // namespace storage
