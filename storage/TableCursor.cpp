#include "storage/TableCursor.h"

#include "storage/CaseFold.h"

#include <QDir>

#include <sqlite3.h>

#include <algorithm>

namespace storage {

namespace {

QString quoted(const QString &identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString fieldList(const TableDef &table, const std::vector<int> &fields) {
    QStringList names;
    for (int f : fields) {
        names << quoted(table.fields[f]);
    }
    return names.join(QLatin1Char(','));
}

}  // namespace

TableCursor::TableCursor(std::unique_ptr<Database> db, const TableDef &table)
    : db_(std::move(db)), table_(table) {}

TableCursor::~TableCursor() = default;

std::unique_ptr<TableCursor> TableCursor::open(const QString &databasePath, const QString &table,
                                               StorageError *error) {
    const TableDef *def = findTable(table);
    if (!def) {
        *error = {StorageError::kNotOpen,
                  QStringLiteral("De tabel '%1' bestaat niet in de database.").arg(table)};
        return nullptr;
    }
    auto db = Database::open(databasePath, error, def);
    if (!db) {
        return nullptr;
    }
    return open(std::move(db), table, error);
}

std::unique_ptr<TableCursor> TableCursor::open(std::unique_ptr<Database> db, const QString &table,
                                               StorageError *error) {
    const TableDef *def = findTable(table);
    if (!def || !db) {
        *error = {StorageError::kNotOpen,
                  QStringLiteral("De tabel '%1' bestaat niet in de database.").arg(table)};
        return nullptr;
    }
    std::unique_ptr<TableCursor> cursor(new TableCursor(std::move(db), *def));
    Statement *stmt = cursor->statement(
        QStringLiteral("SELECT id FROM %1 ORDER BY id").arg(quoted(def->name)), error);
    if (!stmt) {
        return nullptr;
    }
    StatementUse use(*stmt);
    while (stmt->next()) {
        cursor->ids_.push_back(stmt->int64(0));
    }
    if (stmt->failure()) {
        *error = cursor->failure();
        return nullptr;
    }
    return cursor;
}

StorageError TableCursor::failure() const {
    return db_->errorFor(sqlite3_extended_errcode(db_->handle()));
}

// A write that found no record to change: the record went while the table was open (another
// program deleted it), so nothing was stored.
StorageError TableCursor::recordGone() const {
    return {StorageError::kBadBookmark,
            QStringLiteral("Het record bestaat niet meer in de database %1; er is niets "
                           "opgeslagen.")
                .arg(QDir::toNativeSeparators(db_->path()))};
}

// The ham list keeps the folded form of the call beside it; the position of the call among the
// fields written, -1 when the call is not among them.
int TableCursor::callAmong(const std::vector<int> &fields) const {
    if (&table_ != &qrzTable()) {
        return -1;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (table_.fields[fields[i]] == QLatin1String("call")) {
            return int(i);
        }
    }
    return -1;
}

Statement *TableCursor::statement(const QString &sql, StorageError *error) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        return &it->second;
    }
    // Saves of different sets of edited fields each have their own statement; the cache is
    // emptied now and then so they do not pile up. No statement is in use between calls.
    if (statements_.size() >= 64) {
        statements_.clear();
    }
    Statement stmt(db_->handle(), sql, true);
    if (!stmt.isValid()) {
        *error = failure();
        return nullptr;
    }
    return &statements_.emplace(sql, std::move(stmt)).first->second;
}

int TableCursor::positionOf(Bookmark bookmark) const {
    const auto it = std::lower_bound(ids_.begin(), ids_.end(), bookmark);
    return it != ids_.end() && *it == bookmark ? int(it - ids_.begin()) : -1;
}

const QString &TableCursor::readSql() {
    if (readSql_.isEmpty()) {
        std::vector<int> all(size_t(table_.fields.size()));
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = int(i);
        }
        readSql_ = QStringLiteral("SELECT %1 FROM %2 WHERE id = ?1")
                       .arg(fieldList(table_, all), quoted(table_.name));
    }
    return readSql_;
}

// The fields of the table, in order, from the columns of a row starting at firstColumn.
void TableCursor::readColumns(const Statement &stmt, int firstColumn, RecordValues *values) const {
    const size_t fieldCount = size_t(table_.fields.size());
    values->resize(fieldCount);
    for (size_t i = 0; i < fieldCount; ++i) {
        const int column = firstColumn + int(i);
        if (table_.isCheck[i]) {
            (*values)[i] = QVariant(!stmt.isNull(column) && stmt.integer(column) != 0);
        } else {
            // A null QString for a field without value.
            (*values)[i] = QVariant(stmt.text(column));
        }
    }
}

bool TableCursor::read(int position, RecordValues *values, StorageError *error) {
    if (position < 0 || position >= count()) {
        *error = {StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record.")};
        return false;
    }
    Statement *stmt = statement(readSql(), error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    stmt->bind(1, bookmarkAt(position));
    if (!stmt->next()) {
        *error = failure();
        return false;
    }
    readColumns(*stmt, 0, values);
    return true;
}

// The values of the given fields, in order from parameter 1; a text field without value is
// stored without one. The ham list's folded call, when the call is among the fields, follows them.
bool TableCursor::bindValues(Statement &stmt, const std::vector<int> &fields,
                             const RecordValues &values) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const int parameter = int(i) + 1;
        const QVariant &value = values[size_t(fields[i])];
        bool bound;
        if (table_.isCheck[size_t(fields[i])]) {
            bound = stmt.bind(parameter, value.toBool());
        } else if (const QString text = value.toString(); text.isNull()) {
            bound = stmt.bind(parameter, nullptr);
        } else {
            bound = stmt.bind(parameter, text);
        }
        if (!bound) {
            return false;
        }
    }
    const int call = callAmong(fields);
    if (call < 0) {
        return true;
    }
    const int parameter = int(fields.size()) + 1;
    const QString text = values[size_t(fields[size_t(call)])].toString();
    return text.isNull() ? stmt.bind(parameter, nullptr) : stmt.bind(parameter, foldedCall(text));
}

bool TableCursor::write(int position, const std::vector<int> &fields, const RecordValues &values,
                        StorageError *error) {
    if (position < 0 || position >= count()) {
        *error = {StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record.")};
        return false;
    }
    if (fields.empty()) {
        return true;
    }
    QStringList assignments;
    for (size_t i = 0; i < fields.size(); ++i) {
        assignments << QStringLiteral("%1 = ?%2").arg(quoted(table_.fields[fields[i]])).arg(i + 1);
    }
    const int call = callAmong(fields);
    int parameters = int(fields.size());
    if (call >= 0) {
        assignments << QStringLiteral("%1 = ?%2")
                           .arg(quoted(QLatin1String(kCallFoldColumn)))
                           .arg(++parameters);
    }
    Statement *stmt = statement(QStringLiteral("UPDATE %1 SET %2 WHERE id = ?%3")
                                    .arg(quoted(table_.name), assignments.join(QLatin1Char(',')))
                                    .arg(parameters + 1),
                                error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    if (!bindValues(*stmt, fields, values) || !stmt->bind(parameters + 1, bookmarkAt(position)) ||
        !stmt->run()) {
        *error = failure();
        return false;
    }
    if (sqlite3_changes(db_->handle()) == 0) {
        *error = recordGone();
        return false;
    }
    return true;
}

bool TableCursor::append(const std::vector<int> &fields, const RecordValues &values,
                         StorageError *error) {
    QString sql;
    if (fields.empty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table_.name));
    }
    const int call = callAmong(fields);
    if (!fields.empty()) {
        QStringList parameters;
        for (size_t i = 0; i < fields.size(); ++i) {
            parameters << QStringLiteral("?%1").arg(i + 1);
        }
        QString names = fieldList(table_, fields);
        if (call >= 0) {
            names += QLatin1Char(',') + quoted(QLatin1String(kCallFoldColumn));
            parameters << QStringLiteral("?%1").arg(fields.size() + 1);
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table_.name), names, parameters.join(QLatin1Char(',')));
    }
    Statement *stmt = statement(sql, error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    if (!bindValues(*stmt, fields, values) || !stmt->run()) {
        *error = failure();
        return false;
    }
    ids_.push_back(sqlite3_last_insert_rowid(db_->handle()));
    return true;
}

bool TableCursor::remove(int position, StorageError *error) {
    if (position < 0 || position >= count()) {
        *error = {StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record.")};
        return false;
    }
    Statement *stmt =
        statement(QStringLiteral("DELETE FROM %1 WHERE id = ?1").arg(quoted(table_.name)), error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    stmt->bind(1, bookmarkAt(position));
    if (!stmt->run()) {
        *error = failure();
        return false;
    }
    if (sqlite3_changes(db_->handle()) == 0) {
        *error = recordGone();
        return false;
    }
    ids_.erase(ids_.begin() + position);
    return true;
}

bool TableCursor::findIndexed(const Criterion &criterion, int from, int *found,
                              StorageError *error) {
    Statement *stmt = statement(QStringLiteral("SELECT id FROM qrz WHERE \"%1\" = ?1 AND id >= ?2 "
                                               "ORDER BY id LIMIT 1")
                                    .arg(QLatin1String(kCallFoldColumn)),
                                error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    stmt->bind(1, foldedCall(criterion.value()));
    stmt->bind(2, bookmarkAt(from));
    if (stmt->next()) {
        *found = positionOf(stmt->int64(0));
        return true;
    }
    if (stmt->failure()) {
        *error = failure();
        return false;
    }
    return true;
}

bool TableCursor::findAll(const Criterion &criterion, int field, int from, std::vector<int> *found,
                          std::vector<RecordValues> *values, StorageError *error) {
    found->clear();
    values->clear();
    if (from < 0 || from >= count() || table_.isCheck[size_t(field)]) {
        return true;
    }
    if (criterion.kind() == Criterion::Kind::Equal) {
        // Few records are equal; the index finds them one by one.
        for (;;) {
            int position = -1;
            if (!find(criterion, field, from, &position, error)) {
                return false;
            }
            if (position < 0) {
                return true;
            }
            values->emplace_back();
            if (!read(position, &values->back(), error)) {
                return false;
            }
            found->push_back(position);
            from = position + 1;
        }
    }
    std::vector<int> all(size_t(table_.fields.size()));
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = int(i);
    }
    Statement *stmt = statement(QStringLiteral("SELECT id, %1 FROM %2 WHERE id >= ?1 ORDER BY id")
                                    .arg(fieldList(table_, all), quoted(table_.name)),
                                error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    stmt->bind(1, bookmarkAt(from));
    while (stmt->next()) {
        const std::string_view text = stmt->utf8(field + 1);
        if (text.data() && criterion.matchesUtf8(text)) {
            found->push_back(positionOf(stmt->int64(0)));
            values->emplace_back();
            readColumns(*stmt, 1, &values->back());
        }
    }
    if (stmt->failure()) {
        *error = failure();
        return false;
    }
    return true;
}

bool TableCursor::find(const Criterion &criterion, int field, int from, int *found,
                       StorageError *error) {
    *found = -1;
    if (from < 0 || from >= count()) {
        return true;
    }
    if (table_.isCheck[size_t(field)]) {
        // A check state is not text; no criterion form applies to it.
        return true;
    }
    if (criterion.kind() == Criterion::Kind::Equal) {
        if (criterion.value().isEmpty()) {
            return true;  // only a field without a value could equal it
        }
        if (&table_ == &qrzTable() && table_.fields[field] == QLatin1String("call")) {
            return findIndexed(criterion, from, found, error);
        }
    }

    // Walk the table in order from the start point; the criterion is evaluated here, on the
    // text as stored, and never becomes part of the query.
    Statement *stmt = statement(QStringLiteral("SELECT id, %1 FROM %2 WHERE id >= ?1 ORDER BY id")
                                    .arg(quoted(table_.fields[field]), quoted(table_.name)),
                                error);
    if (!stmt) {
        return false;
    }
    StatementUse use(*stmt);
    stmt->bind(1, bookmarkAt(from));
    while (stmt->next()) {
        const std::string_view text = stmt->utf8(1);
        if (text.data() && criterion.matchesUtf8(text)) {
            *found = positionOf(stmt->int64(0));
            return true;
        }
    }
    if (stmt->failure()) {
        *error = failure();
        return false;
    }
    return true;
}

}  // namespace storage
