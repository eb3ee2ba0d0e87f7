#pragma once

#include <QString>
#include <QtGlobal>

#include <sqlite3.h>

#include <cstddef>
#include <string_view>

namespace storage {

// UTF-8 as SQLite hands it out, as text. A U+FEFF at the start is part of the value (a field
// may begin with one), not a byte order mark to drop as QString::fromUtf8 does.
QString fromStoredUtf8(const char *utf8, qsizetype bytes);

// What SQLite said when a statement or a transaction failed: its result code (for
// Database::errorFor and Database::describe; extended on connections that ask for extended codes,
// as the program's own do) and its own English text (for the schema's failure text). A code of 0
// means nothing failed.
struct SqlFailure {
    int code = 0;
    QString message;

    explicit operator bool() const { return code != 0; }
};

// One prepared statement, finalized when it goes. Every value a user typed is bound to a
// parameter; only names the program itself defines are ever part of the statement's text.
// Parameters and columns are numbered as SQLite numbers them: parameters from 1, columns from 0.
class Statement {
public:
    Statement() = default;
    // Prepares the statement; isValid() says whether that worked, failure() why not. A
    // persistent statement is one a caller keeps for many uses.
    Statement(sqlite3 *db, const QString &sql, bool persistent = false);
    Statement(sqlite3 *db, const char *sql, bool persistent = false);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return stmt_ != nullptr; }
    sqlite3_stmt *handle() const { return stmt_; }
    // The last failure of this statement (preparing, binding or stepping).
    const SqlFailure &failure() const { return failure_; }

    // A text is bound as text, a null QString as an empty one; bind nullptr for no value.
    bool bind(int parameter, const QString &text);
    bool bind(int parameter, int value);
    bool bind(int parameter, qint64 value);
    bool bind(int parameter, double value);
    bool bind(int parameter, bool value);  // 1 or 0, as the check fields hold it
    bool bind(int parameter, std::nullptr_t);
    // Anything else (a char pointer would become a bool, a long an ambiguity) is refused at
    // compile time.
    template <typename T>
    bool bind(int parameter, T value) = delete;

    // One step: true while a row is there. At the end, and on a failure, false; failure() tells
    // the two apart.
    bool next();
    // Steps a statement that returns no rows (a write) to its end; false on a failure.
    bool run();
    // Ready to run again, without values bound.
    void reset();

    bool isNull(int column) const;
    int integer(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    // A null QString for a column without value.
    QString text(int column) const;
    // The column's UTF-8 bytes as SQLite holds them, valid until the next step or reset; a view
    // without data for a column without value.
    std::string_view utf8(int column) const;

    // Runs one fixed statement of the program's own (schema, pragmas) to its end.
    static bool execute(sqlite3 *db, const QString &sql, SqlFailure *failure = nullptr);

private:
    bool failed(int rc);
    bool ended(int rc);

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
    SqlFailure failure_;
};

// Resets a statement that is kept for many uses when a call is done with it, on every path out,
// so that no connection keeps a read open between calls.
class StatementUse {
public:
    explicit StatementUse(Statement &statement) : statement_(statement) {}
    ~StatementUse() { statement_.reset(); }
    StatementUse(const StatementUse &) = delete;
    StatementUse &operator=(const StatementUse &) = delete;

private:
    Statement &statement_;
};

// A write transaction: begins at once with the write lock (BEGIN IMMEDIATE), so that a lock held
// by another program is met before anything is changed, and rolls back when it goes without a
// successful commit(). A transaction cannot be begun inside another on the same connection: the
// refused one is not active and leaves the other alone.
class Transaction {
public:
    explicit Transaction(sqlite3 *db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return active_; }
    // Why the transaction could not begin, or could not commit.
    const SqlFailure &failure() const { return failure_; }

    // True when every change is in the file. False when it is not active, or when the commit
    // failed (the file is locked, the disk is full): every change is rolled back at once then.
    [[nodiscard]] bool commit();
    // Takes every change back at once; the destructor does so too.
    void rollback();

private:
    sqlite3 *db_;
    bool active_ = false;
    SqlFailure failure_;
};

// The steps and the reads of a row are inline: a walk over the ham list takes them 100,000 times.
inline bool Statement::next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        failure_.code = SQLITE_OK;
        return true;
    }
    return ended(rc);
}

inline bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

inline int Statement::integer(int column) const {
    return sqlite3_column_int(stmt_, column);
}

inline qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

inline std::string_view Statement::utf8(int column) const {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(stmt_, column)))
                : std::string_view();
}

}  // namespace storage
