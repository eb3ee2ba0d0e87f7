#pragma once

#include "storage/Criterion.h"
#include "storage/Database.h"
#include "storage/Schema.h"
#include "storage/Sql.h"

#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <vector>

namespace storage {

// Identifies one record of a table for as long as it exists (never reused after a delete).
using Bookmark = qint64;
inline constexpr Bookmark kNoBookmark = -1;

// The values of one record, one per field of the table: a QString for a text field (null when
// the field has no value), a bool for a check field.
using RecordValues = std::vector<QVariant>;

// The table side of a record control: the records of one table in the order they were added,
// addressed by 0-based position, with reads, writes and finds. Knows nothing of windows.
class TableCursor {
public:
    ~TableCursor();
    TableCursor(const TableCursor &) = delete;
    TableCursor &operator=(const TableCursor &) = delete;

    static std::unique_ptr<TableCursor> open(const QString &databasePath, const QString &table,
                                             StorageError *error);
    // The same on a connection already open, made with this table's definition (Database::open
    // with it, as the start check does): the cursor takes the connection over.
    static std::unique_ptr<TableCursor> open(std::unique_ptr<Database> db, const QString &table,
                                             StorageError *error);

    const TableDef &table() const { return table_; }
    sqlite3 *connection() const { return db_->handle(); }
    int count() const { return int(ids_.size()); }
    Bookmark bookmarkAt(int position) const { return ids_[size_t(position)]; }
    int positionOf(Bookmark bookmark) const;  // -1 when not in the table

    bool read(int position, RecordValues *values, StorageError *error);
    // Writes the given fields (indices into the table's fields) of the record at a position.
    bool write(int position, const std::vector<int> &fields, const RecordValues &values,
               StorageError *error);
    // Adds a record at the end with the given fields; the others stay without value.
    bool append(const std::vector<int> &fields, const RecordValues &values, StorageError *error);
    bool remove(int position, StorageError *error);

    // The position of the first record at or after `from` whose field fulfils the criterion;
    // -1 when there is none. False (and *error) when the search itself fails.
    bool find(const Criterion &criterion, int field, int from, int *found, StorageError *error);
    // Every such record at or after `from`, in table order: its position and its values. One
    // pass over the table in one read.
    bool findAll(const Criterion &criterion, int field, int from, std::vector<int> *found,
                 std::vector<RecordValues> *values, StorageError *error);

private:
    TableCursor(std::unique_ptr<Database> db, const TableDef &table);
    Statement *statement(const QString &sql, StorageError *error);
    StorageError failure() const;
    StorageError recordGone() const;
    int callAmong(const std::vector<int> &fields) const;
    bool bindValues(Statement &stmt, const std::vector<int> &fields, const RecordValues &values);
    bool findIndexed(const Criterion &criterion, int from, int *found, StorageError *error);
    void readColumns(const Statement &stmt, int firstColumn, RecordValues *values) const;
    const QString &readSql();

    std::unique_ptr<Database> db_;
    const TableDef &table_;
    std::vector<Bookmark> ids_;  // ascending: records are only ever added at the end
    std::map<QString, Statement> statements_;
    QString readSql_;
};

}  // namespace storage
