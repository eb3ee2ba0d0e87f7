#include "storage/Sql.h"

#include <QStringDecoder>

#include <sqlite3.h>

#include <utility>

namespace storage {

namespace {

// The code as the connection's own calls return it: extended on the program's connections, which
// ask for extended codes, the primary code on a plain one.
SqlFailure failureOf(sqlite3 *db) {
    return {sqlite3_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
}

sqlite3_stmt *prepare(sqlite3 *db, const char *sql, int bytes, bool persistent,
                      SqlFailure *failure) {
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v3(db, sql, bytes, persistent ? SQLITE_PREPARE_PERSISTENT : 0, &stmt,
                           nullptr) != SQLITE_OK) {
        *failure = failureOf(db);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return stmt;
}

}  // namespace

QString fromStoredUtf8(const char *utf8, qsizetype bytes) {
    if (bytes >= 3 && utf8[0] == '\xEF' && utf8[1] == '\xBB' && utf8[2] == '\xBF') {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(utf8, bytes));
    }
    return QString::fromUtf8(utf8, bytes);
}

Statement::Statement(sqlite3 *db, const QString &sql, bool persistent) : db_(db) {
    const QByteArray utf8 = sql.toUtf8();
    stmt_ = prepare(db, utf8.constData(), int(utf8.size()), persistent, &failure_);
}

Statement::Statement(sqlite3 *db, const char *sql, bool persistent) : db_(db) {
    stmt_ = prepare(db, sql, -1, persistent, &failure_);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement &&other) noexcept
    : db_(other.db_),
      stmt_(std::exchange(other.stmt_, nullptr)),
      failure_(std::move(other.failure_)) {}

Statement &Statement::operator=(Statement &&other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        failure_ = std::move(other.failure_);
    }
    return *this;
}

bool Statement::failed(int rc) {
    failure_ = failureOf(db_);
    if (failure_.code == SQLITE_OK) {
        failure_.code = rc;  // a misuse SQLite reports only in the result
    }
    return false;
}

bool Statement::bind(int parameter, const QString &text) {
    // toUtf8() of a null QString has no data, and SQLite takes no data for NULL: an empty
    // byte array's constData() is an empty text instead.
    const QByteArray utf8 = text.toUtf8();
    const int rc =
        sqlite3_bind_text(stmt_, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return rc == SQLITE_OK || failed(rc);
}

bool Statement::bind(int parameter, int value) {
    const int rc = sqlite3_bind_int(stmt_, parameter, value);
    return rc == SQLITE_OK || failed(rc);
}

bool Statement::bind(int parameter, qint64 value) {
    const int rc = sqlite3_bind_int64(stmt_, parameter, value);
    return rc == SQLITE_OK || failed(rc);
}

bool Statement::bind(int parameter, double value) {
    const int rc = sqlite3_bind_double(stmt_, parameter, value);
    return rc == SQLITE_OK || failed(rc);
}

bool Statement::bind(int parameter, bool value) {
    return bind(parameter, value ? 1 : 0);
}

bool Statement::bind(int parameter, std::nullptr_t) {
    const int rc = sqlite3_bind_null(stmt_, parameter);
    return rc == SQLITE_OK || failed(rc);
}

// After the last row, or on a failure: false either way, failure() tells which.
bool Statement::ended(int rc) {
    failure_.code = SQLITE_OK;
    if (rc != SQLITE_DONE) {
        failed(rc);
    }
    return false;
}

bool Statement::run() {
    failure_.code = SQLITE_OK;
    const int rc = sqlite3_step(stmt_);
    return rc == SQLITE_DONE || failed(rc);
}

void Statement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString Statement::text(int column) const {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return text ? fromStoredUtf8(text, sqlite3_column_bytes(stmt_, column)) : QString();
}

bool Statement::execute(sqlite3 *db, const QString &sql, SqlFailure *failure) {
    const QByteArray utf8 = sql.toUtf8();
    const char *rest = utf8.constData();
    const char *const end = rest + utf8.size();
    SqlFailure ignored;
    SqlFailure *report = failure ? failure : &ignored;
    // A script of several statements runs one after the other, as the shell would run it.
    while (rest < end) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, rest, int(end - rest), &stmt, &rest) != SQLITE_OK) {
            *report = failureOf(db);
            sqlite3_finalize(stmt);
            return false;
        }
        if (!stmt) {
            continue;  // blanks or a comment
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            *report = failureOf(db);
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_finalize(stmt);
    }
    return true;
}

Transaction::Transaction(sqlite3 *db) : db_(db) {
    // Inside a transaction SQLite refuses the BEGIN itself; the transaction around this one is
    // then not this one's to end.
    active_ = Statement::execute(db_, QStringLiteral("BEGIN IMMEDIATE"), &failure_);
}

Transaction::~Transaction() {
    if (active_) {
        rollback();
    }
}

bool Transaction::commit() {
    if (!active_) {
        if (!failure_) {
            failure_ = {SQLITE_MISUSE, QStringLiteral("no transaction is active")};
        }
        return false;
    }
    if (!Statement::execute(db_, QStringLiteral("COMMIT"), &failure_)) {
        rollback();
        return false;
    }
    active_ = false;
    return true;
}

void Transaction::rollback() {
    if (active_) {
        active_ = false;
        Statement::execute(db_, QStringLiteral("ROLLBACK"));
    }
}

}  // namespace storage
