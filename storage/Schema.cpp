#include "storage/Schema.h"

#include "storage/CaseFold.h"
#include "storage/Sql.h"

#include <QSet>

#include <sqlite3.h>

#include <functional>

namespace storage {

namespace {

TableDef makeRonde() {
    TableDef t;
    t.name = QStringLiteral("ronde");
    t.fields = {QStringLiteral("rondecall"), QStringLiteral("datum"), QStringLiteral("kringbaas")};
    t.isCheck.assign(3, false);
    const char *groups[] = {"call", "naam", "qth", "on", "weg", "luis"};
    for (const char *group : groups) {
        for (int row = 1; row <= 30; ++row) {
            t.fields << QString::fromLatin1(group) + QString::number(row);
            t.isCheck.push_back(qstrcmp(group, "luis") == 0);
        }
    }
    t.firstFields = t.fields.size();
    t.fields << QStringLiteral("begintijd");
    for (int row = 1; row <= 30; ++row) {
        t.fields << QStringLiteral("tijd%1").arg(row);
    }
    t.isCheck.resize(size_t(t.fields.size()), false);
    return t;
}

TableDef makeTextTable(const char *name, const QStringList &fields) {
    TableDef t;
    t.name = QString::fromLatin1(name);
    t.fields = fields;
    t.isCheck.assign(fields.size(), false);
    t.firstFields = fields.size();
    return t;
}

int foldCollation(void *, int lenA, const void *a, int lenB, const void *b) {
    return compareFoldedUtf8(std::string_view(static_cast<const char *>(a), lenA),
                             std::string_view(static_cast<const char *>(b), lenB));
}

// The program's fold of a call (CaseFold.h) under the name of SQLite's lower(); see
// registerFoldFunction.
void foldFunction(sqlite3_context *context, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray folded =
        foldedCall(fromStoredUtf8(text, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// One statement of the schema; its failure in SQLite's words.
bool exec(sqlite3 *db, const QString &sql, QString *failure) {
    SqlFailure why;
    if (Statement::execute(db, sql, &why)) {
        return true;
    }
    if (failure) {
        *failure = why.message;
    }
    return false;
}

// The table with its first fields, or with all of them.
QString createTableSql(const TableDef &t, bool allFields) {
    QString sql =
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (id INTEGER PRIMARY KEY AUTOINCREMENT")
            .arg(t.name);
    const qsizetype count = allFields ? t.fields.size() : t.firstFields;
    for (qsizetype i = 0; i < count; ++i) {
        sql += QStringLiteral(", \"%1\" %2").arg(t.fields[i], t.isCheck[i] ? "INTEGER" : "TEXT");
    }
    return sql + QStringLiteral(")");
}

// One step of the schema, whole or not at all. *code gets SQLite's code of a failure, taken
// before the rollback can replace it.
bool inTransaction(sqlite3 *db, const std::function<bool(QString *)> &body, QString *failure,
                   int *code) {
    Transaction transaction(db);
    if (!transaction.isActive()) {
        if (failure) {
            *failure = transaction.failure().message;
        }
        if (code) {
            *code = transaction.failure().code;
        }
        return false;
    }
    if (!body(failure)) {
        if (code) {
            *code = sqlite3_extended_errcode(db);
        }
        return false;  // rolled back as the guard goes
    }
    if (!transaction.commit()) {
        if (failure) {
            *failure = transaction.failure().message;
        }
        if (code) {
            *code = transaction.failure().code;
        }
        return false;
    }
    return true;
}

QString idIndexName(const TableDef &t) {
    return t.name + QStringLiteral("_id");
}

// The order of the records without the records themselves: opening a table reads only this
// small index instead of every page of the table.
bool createIdIndexes(sqlite3 *db, QString *failure) {
    for (const TableDef *t : {&rondeTable(), &qrzTable(), &notesTable()}) {
        if (!exec(db,
                  QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON \"%2\"(id)")
                      .arg(idIndexName(*t), t->name),
                  failure)) {
            return false;
        }
    }
    return true;
}

// The three tables and their indexes, as far as they are missing: as the first version made
// them, or with every field of the current version.
bool createTables(sqlite3 *db, QString *failure, bool allFields = true) {
    for (const TableDef *t : {&rondeTable(), &qrzTable(), &notesTable()}) {
        if (!exec(db, createTableSql(*t, allFields), failure)) {
            return false;
        }
    }
    return true;
}

// The column names of a table, in lower case; none when the table does not exist.
QSet<QString> columns(sqlite3 *db, const QString &table) {
    QSet<QString> names;
    // The table's name is one of the program's own, never a user's text.
    Statement stmt(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (stmt.isValid() && stmt.next()) {
        if (!stmt.isNull(1)) {
            names.insert(stmt.text(1).toLower());
        }
    }
    return names;
}

bool hasColumn(sqlite3 *db, const QString &table, const QString &column) {
    return columns(db, table).contains(column.toLower());
}

// The folded copy of every call of the ham list, and its plain index; the index of earlier
// versions, which needed the program's own collation, goes. Without fill only the column and
// the index are made (for a table made again, which has no calls).
bool createCallFold(sqlite3 *db, QString *failure, bool fill = true) {
    const QString column = QLatin1String(kCallFoldColumn);
    if (!hasColumn(db, QStringLiteral("qrz"), column) &&
        !exec(db, QStringLiteral("ALTER TABLE qrz ADD COLUMN \"%1\" TEXT").arg(column), failure)) {
        return false;
    }
    if (!exec(db, QStringLiteral("DROP INDEX IF EXISTS qrz_call"), failure)) {
        return false;
    }
    if (!fill) {
        return exec(db,
                    QStringLiteral("CREATE INDEX IF NOT EXISTS qrz_callfold ON qrz(\"%1\", id)")
                        .arg(column),
                    failure);
    }
    Statement select(db, "SELECT id, \"call\" FROM qrz");
    Statement update(db, QStringLiteral("UPDATE qrz SET \"%1\" = ?1 WHERE id = ?2").arg(column));
    bool ok = select.isValid() && update.isValid();
    while (ok && select.next()) {
        const QString call = select.text(1);
        ok = (call.isNull() ? update.bind(1, nullptr) : update.bind(1, foldedCall(call))) &&
             update.bind(2, select.int64(0)) && update.run();
        update.reset();
    }
    ok = ok && !select.failure();
    if (!ok && failure) {
        *failure = QString::fromUtf8(sqlite3_errmsg(db));
    }
    return ok && exec(db,
                      QStringLiteral("CREATE INDEX IF NOT EXISTS qrz_callfold ON qrz(\"%1\", id)")
                          .arg(column),
                      failure);
}

// Whether a call is ASCII only (every character one byte): lower() of any SQLite tool folds it
// exactly as the program does.
QString isAscii(const QString &call) {
    return QStringLiteral("(%1 IS NULL OR length(CAST(%1 AS BLOB)) = length(%1))").arg(call);
}

// The folded call is kept right by the file itself, whoever writes a call: a ham added or changed
// with the sqlite3 tool or a spreadsheet program is found by the exact look-up as well. The
// triggers fold with lower(): every tool has it and it folds ASCII letters, all a call sign
// holds; the program's connections fold every letter with it (registerFoldFunction). A fold
// the writer gave for a call with other letters is kept, unless the call changed and the fold
// stayed behind.
bool createCallFoldTriggers(sqlite3 *db, QString *failure) {
    const QString column = QLatin1String(kCallFoldColumn);
    const QString fold = QStringLiteral(
                             "BEGIN UPDATE qrz SET \"%1\" = lower(NEW.\"call\") WHERE id = NEW.id; "
                             "END")
                             .arg(column);
    const QString insert =
        QStringLiteral(
            "CREATE TRIGGER IF NOT EXISTS qrz_callfold_insert AFTER INSERT ON qrz "
            "WHEN NEW.\"%1\" IS NOT lower(NEW.\"call\") AND (NEW.\"%1\" IS NULL OR %2) %3")
            .arg(column, isAscii(QStringLiteral("NEW.\"call\"")), fold);
    const QString update =
        QStringLiteral(
            "CREATE TRIGGER IF NOT EXISTS qrz_callfold_update AFTER UPDATE OF \"call\" ON qrz "
            "WHEN NEW.\"%1\" IS NOT lower(NEW.\"call\") AND (NEW.\"%1\" IS NULL OR %2 OR "
            "(NEW.\"%1\" IS OLD.\"%1\" AND lower(NEW.\"call\") IS NOT lower(OLD.\"call\"))) %3")
            .arg(column, isAscii(QStringLiteral("NEW.\"call\"")), fold);
    return exec(db, insert, failure) && exec(db, update, failure);
}

// Version 1: the tables, and the mark that the file is ours.
bool createVersion1(sqlite3 *db, QString *failure) {
    return createTables(db, failure, false) &&
           exec(db, QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId), failure);
}

// Version 2: the record order of every table in an index of its own.
bool createVersion2(sqlite3 *db, QString *failure) {
    return createIdIndexes(db, failure);
}

// Version 3: the file is readable by any SQLite tool: the ham list's call index no longer needs
// the program's own collation (see createCallFold).
bool createVersion3(sqlite3 *db, QString *failure) {
    return createCallFold(db, failure);
}

// Everything of the current version that may have gone missing.
bool repairTables(sqlite3 *db, QString *failure) {
    return createTables(db, failure) && createIdIndexes(db, failure) &&
           createCallFold(db, failure, false) && createCallFoldTriggers(db, failure);
}

// Version 4: the times of a round, as columns after the 183 fields: when the round began and
// when each row's call was placed. Rounds stored before have none.
bool createVersion4(sqlite3 *db, QString *failure) {
    const TableDef &ronde = rondeTable();
    for (qsizetype i = ronde.firstFields; i < ronde.fields.size(); ++i) {
        // A column already there (a file that was at this version before) is kept as it is.
        if (hasColumn(db, ronde.name, ronde.fields[i])) {
            continue;
        }
        if (!exec(db,
                  QStringLiteral("ALTER TABLE ronde ADD COLUMN \"%1\" TEXT").arg(ronde.fields[i]),
                  failure)) {
            return false;
        }
    }
    return true;
}

// Version 5: the folded call is kept by triggers in the file; the folds that other programs
// left missing or stale before are made again.
bool createVersion5(sqlite3 *db, QString *failure) {
    return createCallFold(db, failure) && createCallFoldTriggers(db, failure);
}

// 1 when the table holds a record, 0 when it is empty, -1 when it is missing.
int tableState(sqlite3 *db, const TableDef &t) {
    return queryInt(
        db,
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM \"%1\")").arg(t.name).toUtf8().constData());
}

bool hasObject(sqlite3 *db, const char *type, const QString &name) {
    Statement stmt(db, "SELECT count(*) FROM sqlite_master WHERE type = ?1 AND name = ?2");
    return stmt.isValid() && stmt.bind(1, QString::fromLatin1(type)) && stmt.bind(2, name) &&
           stmt.next() && stmt.integer(0) == 1;
}

bool hasIndex(sqlite3 *db, const QString &name) {
    return hasObject(db, "index", name);
}

bool needsRepair(sqlite3 *db, const TableDef &table) {
    return tableState(db, table) != 1 || !hasIndex(db, idIndexName(table)) ||
           (&table == &qrzTable() &&
            (!hasIndex(db, QStringLiteral("qrz_callfold")) ||
             !hasObject(db, "trigger", QStringLiteral("qrz_callfold_insert")) ||
             !hasObject(db, "trigger", QStringLiteral("qrz_callfold_update"))));
}

}  // namespace

int queryInt(sqlite3 *db, const char *sql) {
    Statement stmt(db, sql);
    return stmt.isValid() && stmt.next() ? stmt.integer(0) : -1;
}

QString missingField(sqlite3 *db, const TableDef &table) {
    const QSet<QString> present = columns(db, table.name);
    if (present.isEmpty()) {
        return {};  // no table at all: it is made when it is opened
    }
    for (const QString &field : table.fields) {
        if (!present.contains(field.toLower())) {
            return field;
        }
    }
    return {};
}

int TableDef::fieldIndex(QStringView field) const {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(field, Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    return -1;
}

const TableDef &rondeTable() {
    static const TableDef table = makeRonde();
    return table;
}

const TableDef &qrzTable() {
    static const TableDef table =
        makeTextTable("qrz", {"call", "naam", "adres", "postcode", "qth", "grid", "land",
                              "telefoon", "email", "byzonderheden"});
    return table;
}

const TableDef &notesTable() {
    static const TableDef table =
        makeTextTable("notes", {"n1", "n2", "n3", "n4", "n5", "n6", "n7", "n8", "n9", "n10"});
    return table;
}

const TableDef *findTable(QStringView name) {
    for (const TableDef *t : {&rondeTable(), &qrzTable(), &notesTable()}) {
        if (t->name.compare(name, Qt::CaseInsensitive) == 0) {
            return t;
        }
    }
    return nullptr;
}

bool registerFoldCollation(sqlite3 *db) {
    return sqlite3_create_collation(db, kFoldCollation, SQLITE_UTF8, nullptr, &foldCollation) ==
           SQLITE_OK;
}

bool registerFoldFunction(sqlite3 *db) {
    return sqlite3_create_function(db, "lower", 1,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   &foldFunction, nullptr, nullptr) == SQLITE_OK;
}

int schemaVersion(sqlite3 *db) {
    return queryInt(db, "PRAGMA user_version");
}

bool upgradeSchema(sqlite3 *db, const TableDef *table, QString *failure, int *code) {
    // Each entry brings the file from version (index) to version (index + 1).
    static const std::function<bool(sqlite3 *, QString *)> steps[] = {
        createVersion1, createVersion2, createVersion3, createVersion4, createVersion5};
    static_assert(std::size(steps) == kSchemaVersion);

    int version = schemaVersion(db);
    if (version < 0 || version > kSchemaVersion) {
        if (failure) {
            *failure = QStringLiteral("onbekende versie %1").arg(version);
        }
        return false;
    }
    for (; version < kSchemaVersion; ++version) {
        const int next = version + 1;
        const bool ok = inTransaction(
            db,
            [&](QString *f) {
                return steps[version](db, f) &&
                       exec(db, QStringLiteral("PRAGMA user_version = %1").arg(next), f);
            },
            failure, code);
        if (!ok) {
            return false;
        }
    }

    // A table that went missing is made again and a table without records gets a blank one, so
    // every window has a record to show. A table that needs neither is only read.
    if (!table || !needsRepair(db, *table)) {
        return true;
    }
    return inTransaction(
        db,
        [&](QString *f) {
            return repairTables(db, f) &&
                   (tableState(db, *table) != 0 ||
                    exec(db, QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table->name),
                         f));
        },
        failure, code);
}

}  // namespace storage
