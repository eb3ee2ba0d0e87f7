#include "storage/HamLookup.h"

#include "storage/CaseFold.h"
#include "storage/Schema.h"

#include <sqlite3.h>

namespace storage {

HamLookup::HamLookup(QString databasePath) : path_(std::move(databasePath)) {}

HamLookup::~HamLookup() {
    sqlite3_finalize(stmt_);
}

void HamLookup::useConnection(sqlite3 *connection) {
    if (connection != borrowed_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        borrowed_ = connection;
    }
}

sqlite3 *HamLookup::handle() const {
    return borrowed_ ? borrowed_ : db_ ? db_->handle() : nullptr;
}

StorageError HamLookup::failure() const {
    if (db_ && handle() == db_->handle()) {
        return db_->errorFor(sqlite3_extended_errcode(db_->handle()));
    }
    return Database::errorFor(path_, sqlite3_extended_errcode(handle()));
}

bool HamLookup::prepare() {
    if (stmt_) {
        return true;
    }
    if (!borrowed_ && !db_) {
        db_ = Database::open(path_, &error_, &qrzTable());
        if (!db_) {
            return false;
        }
    }
    QString sql = QStringLiteral("SELECT id");
    for (const QString &field : qrzTable().fields) {
        sql += QStringLiteral(", \"%1\"").arg(field);
    }
    sql += QStringLiteral(" FROM qrz WHERE \"%1\" = ?1 ORDER BY id LIMIT 1")
               .arg(QLatin1String(kCallFoldColumn));
    if (sqlite3_prepare_v2(handle(), sql.toUtf8().constData(), -1, &stmt_, nullptr) != SQLITE_OK) {
        // The ham list is missing on that connection's file: it is made on our own.
        error_ = failure();
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        if (borrowed_) {
            borrowed_ = nullptr;
            return prepare();
        }
        db_.reset();
        return false;
    }
    return true;
}

std::optional<FoundHam> HamLookup::find(const QString &call) {
    // An empty call is no call: only a field without a value could equal it.
    if (call.isEmpty() || !prepare()) {
        return std::nullopt;
    }
    const QByteArray value = foldedText(call).toUtf8();
    sqlite3_bind_text(stmt_, 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    std::optional<FoundHam> found;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        FoundHam hit;
        hit.bookmark = sqlite3_column_int64(stmt_, 0);
        for (int i = 0; i < Ham::kFields; ++i) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, i + 1));
            hit.ham.field(i) =
                text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, i + 1)) : QString();
        }
        found = std::move(hit);
    } else if (rc != SQLITE_DONE) {
        error_ = failure();
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return found;
}

}  // namespace storage
