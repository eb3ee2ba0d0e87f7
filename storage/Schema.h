#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

struct sqlite3;

namespace storage {

// The three tables and their fields. Every field is text except the listening marks of the
// rounds (luis1 ... luis30), which hold a check state. Records keep the order in which they were
// added through a hidden ascending key, "id", that also serves as their bookmark.
struct TableDef {
    QString name;
    QStringList fields;
    std::vector<bool> isCheck;  // per field
    // How many of the fields the table had when it was first made; later versions added the
    // rest as columns of their own.
    qsizetype firstFields = 0;

    int fieldIndex(QStringView field) const;  // case-insensitive; -1 when unknown
};

// 183 fields: rondecall, datum, kringbaas, then six per row; after them the times of the round:
// begintijd (when the round began) and tijd1 ... tijd30 (when each row's call was placed), as
// UTC in ISO 8601, empty when not known.
const TableDef &rondeTable();
const TableDef &qrzTable();                   // 10 fields of the ham list
const TableDef &notesTable();                 // n1 ... n10
const TableDef *findTable(QStringView name);  // case-insensitive; nullptr when unknown

// Marks a database file as ours (PRAGMA application_id, "KRBS").
inline constexpr int kApplicationId = 0x4B524253;
// The schema version this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 5;

// Name of the collation that compares texts without regard to letter case. Files of versions 1
// and 2 built the ham list's call index with it, so a connection registers it before it touches
// such a file; from version 3 on the file needs nothing of the program's own.
inline constexpr const char *kFoldCollation = "kbfold";
bool registerFoldCollation(sqlite3 *db);

// The ham list keeps the folded form of each call (CaseFold.h) in this column beside it, under a
// plain index; the exact look-up of a call compares folded forms.
inline constexpr const char *kCallFoldColumn = "callfold";

// SQLite's lower() replaced, on this connection, by the program's fold of a call (foldedCall in
// CaseFold.h), which folds every letter where SQLite's folds only ASCII ones. The triggers that
// keep the folded call (from version 5 on) fold with lower(): on the program's connections they
// write exactly what foldedCall() gives; any other SQLite tool runs them with its own lower(),
// which gives the same for every ASCII call (only A to Z change, to a to z, in both). The
// triggers take that from another tool only for ASCII calls and keep a fold it gave for others.
bool registerFoldFunction(sqlite3 *db);

// The first field of the table that the file's table lacks; empty when it has them all, or when
// the table does not exist at all.
QString missingField(sqlite3 *db, const TableDef &table);

// Brings a database of ours from its version up to kSchemaVersion, one transaction per step,
// then makes sure the given table (if any) exists and holds at least one record (a blank one
// when it was missing or empty). Returns false and leaves the file as it was on any failure;
// *code (when given) is then SQLite's code of it, such as SQLITE_FULL.
bool upgradeSchema(sqlite3 *db, const TableDef *table, QString *failure, int *code = nullptr);

// The first column of the first row of a query; -1 when the query fails.
int queryInt(sqlite3 *db, const char *sql);

// The version a database is at (0 for a new, empty file).
int schemaVersion(sqlite3 *db);

}  // namespace storage
