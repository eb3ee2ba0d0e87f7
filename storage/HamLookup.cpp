#include "storage/HamLookup.h"

#include "storage/CaseFold.h"
#include "storage/Schema.h"

#include <sqlite3.h>

namespace storage {

HamLookup::HamLookup(QString databasePath) : path_(std::move(databasePath)) {}

HamLookup::~HamLookup() = default;

void HamLookup::useConnection(sqlite3 *connection) {
    if (connection != borrowed_) {
        stmt_ = Statement();
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
    if (stmt_.isValid()) {
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
    stmt_ = Statement(handle(), sql);
    if (!stmt_.isValid()) {
        // The ham list is missing on that connection's file: it is made on our own.
        error_ = failure();
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
    StatementUse use(stmt_);
    stmt_.bind(1, foldedCall(call));
    if (stmt_.next()) {
        FoundHam hit;
        hit.bookmark = stmt_.int64(0);
        for (int i = 0; i < Ham::kFields; ++i) {
            hit.ham.field(i) = stmt_.text(i + 1);
        }
        return hit;
    }
    if (stmt_.failure()) {
        error_ = failure();
    }
    return std::nullopt;
}

}  // namespace storage
