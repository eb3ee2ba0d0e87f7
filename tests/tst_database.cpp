#include "CoreTestMain.h"

#include "storage/Backups.h"
#include "storage/CaseFold.h"
#include "storage/Criterion.h"
#include "storage/Database.h"
#include "storage/HamLookup.h"
#include "storage/Records.h"
#include "storage/Schema.h"
#include "storage/Sql.h"
#include "storage/TableCursor.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <sqlite3.h>

#include <map>
#include <memory>
#include <numeric>
#include <vector>

using storage::Bookmark;
using storage::Criterion;
using storage::Database;
using storage::RecordValues;
using storage::StorageError;
using storage::TableCursor;
using storage::TableDef;

namespace {

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using RawDb = std::unique_ptr<sqlite3, SqliteCloser>;

// A connection of our own, beside the program's, to arrange or inspect a file directly.
RawDb openRaw(const QString &path) {
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    RawDb raw(db);
    if (rc != SQLITE_OK) {
        qWarning("cannot open %s: %s", qPrintable(path), sqlite3_errmsg(db));
        return nullptr;
    }
    storage::registerFoldCollation(db);
    return raw;
}

bool exec(sqlite3 *db, const QString &sql) {
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        qWarning("%s: %s", qPrintable(sql), message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        return false;
    }
    return true;
}

// Every row of the query, its columns joined with '|'; a value without one shows as <null>.
QStringList rows(sqlite3 *db, const QString &sql) {
    QStringList result;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        qWarning("%s: %s", qPrintable(sql), sqlite3_errmsg(db));
        return {QStringLiteral("<error>")};
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
                columns << QStringLiteral("<null>");
            } else {
                columns << QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)));
            }
        }
        result << columns.join(QLatin1Char('|'));
    }
    sqlite3_finalize(stmt);
    return result;
}

int queryInt(sqlite3 *db, const QString &sql) {
    const QStringList r = rows(db, sql);
    return r.size() == 1 ? r.first().toInt() : -1;
}

// The record order and the fields of the table's definition (not the folded copy of the ham
// list's call that the program keeps beside it).
QStringList dumpTable(sqlite3 *db, const QString &table) {
    QStringList columns = {QStringLiteral("id")};
    for (const QString &field : storage::findTable(table)->fields) {
        columns << QStringLiteral("\"%1\"").arg(field);
    }
    return rows(db, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY id")
                        .arg(columns.join(QLatin1Char(',')), table));
}

const QStringList kTables = {QStringLiteral("ronde"), QStringLiteral("qrz"),
                             QStringLiteral("notes")};

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A full set of values for a table, every field without a value (checks off) except the given
// ones, and the indices of the given ones, as TableCursor::append and write take them.
struct Values {
    std::vector<int> fields;
    RecordValues values;
};

Values valuesFor(const TableDef &table, const std::map<QString, QVariant> &given) {
    Values v;
    v.values.resize(size_t(table.fields.size()));
    for (qsizetype i = 0; i < table.fields.size(); ++i) {
        v.values[size_t(i)] = table.isCheck[size_t(i)] ? QVariant(false) : QVariant(QString());
    }
    for (const auto &[name, value] : given) {
        const int index = table.fieldIndex(name);
        Q_ASSERT(index >= 0);
        v.fields.push_back(index);
        v.values[size_t(index)] = value;
    }
    return v;
}

// Creates our database at path, as the program does on its first start.
bool createOurs(const QString &path) {
    StorageError error;
    return Database::open(path, &error) != nullptr;
}

}  // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void createsFreshDatabase_data();
    void createsFreshDatabase();
    void tableLayout_data();
    void tableLayout();
    void leavesForeignFileAlone_data();
    void leavesForeignFileAlone();
    void restoresDroppedOrEmptiedTable_data();
    void restoresDroppedOrEmptiedTable();
    void upgradesFromVersionZero();
    void foreignFileWithPendingLogIsLeftAlone();
    void upgradesFromVersionOne();
    void upgradesWithData_data();
    void upgradesWithData();
    void reopeningChangesNothing();

    void textRoundTrip_data();
    void textRoundTrip();
    void checkFieldsReadAsBool_data();
    void checkFieldsReadAsBool();
    void removedBookmarkHasNoPosition();
    void bookmarksAreNotReused_data();
    void bookmarksAreNotReused();
    void twoCursorsWriteOneFile();

    void callIndexServesEqualityFind();
    void findCall_data();
    void findCall();
    void hamWrittenByAnotherProgramIsFound_data();
    void hamWrittenByAnotherProgramIsFound();
    void upgradeFillsMissingFolds();
    void foldedCallIsTheOnlyFold_data();
    void foldedCallIsTheOnlyFold();
};

// --- the file ---------------------------------------------------------------------------------

void DatabaseTest::createsFreshDatabase_data() {
    QTest::addColumn<bool>("emptyFileFirst");
    QTest::newRow("missing file") << false;
    QTest::newRow("empty file") << true;
}

void DatabaseTest::createsFreshDatabase() {
    QFETCH(bool, emptyFileFirst);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    if (emptyFileFirst) {
        QVERIFY(writeFile(path, QByteArray()));
    }

    StorageError error;
    auto db = Database::open(path, &error);
    QVERIFY2(db, qPrintable(error.description));
    QVERIFY(!error);
    QCOMPARE(db->path(), path);
    db.reset();
    // Each table gets its blank record when it is opened for use.
    for (const QString &table : kTables) {
        QVERIFY2(Database::open(path, &error, storage::findTable(table)),
                 qPrintable(error.description));
    }

    RawDb raw = openRaw(path);
    QVERIFY(raw);
    QCOMPARE(queryInt(raw.get(), QStringLiteral("PRAGMA application_id")), storage::kApplicationId);
    QCOMPARE(queryInt(raw.get(), QStringLiteral("PRAGMA user_version")), storage::kSchemaVersion);
    QCOMPARE(rows(raw.get(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                            "AND name NOT LIKE 'sqlite%' ORDER BY name")),
             QStringList({"notes", "qrz", "ronde"}));
    for (const QString &table : kTables) {
        const TableDef *def = storage::findTable(table);
        QVERIFY(def);
        // One record, and nothing in it.
        const QStringList records = dumpTable(raw.get(), table);
        QCOMPARE(records.size(), 1);
        QStringList blank = records.first().split(QLatin1Char('|'));
        blank.removeFirst();  // id
        QCOMPARE(blank, QStringList(def->fields.size(), QStringLiteral("<null>")));
    }
}

void DatabaseTest::tableLayout_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("checkFields");

    QStringList ronde = {"rondecall", "datum", "kringbaas"};
    QStringList luis;
    for (const char *group : {"call", "naam", "qth", "on", "weg", "luis"}) {
        for (int row = 1; row <= 30; ++row) {
            ronde << QLatin1String(group) + QString::number(row);
        }
    }
    for (int row = 1; row <= 30; ++row) {
        luis << QStringLiteral("luis%1").arg(row);
    }
    QCOMPARE(ronde.size(), 183);
    // The times of the round follow the 183 fields.
    ronde << QStringLiteral("begintijd");
    for (int row = 1; row <= 30; ++row) {
        ronde << QStringLiteral("tijd%1").arg(row);
    }

    QTest::newRow("ronde") << "ronde" << ronde << luis;
    QTest::newRow("qrz") << "qrz"
                         << QStringList({"call", "naam", "adres", "postcode", "qth", "grid", "land",
                                         "telefoon", "email", "byzonderheden"})
                         << QStringList();
    QTest::newRow("notes") << "notes"
                           << QStringList(
                                  {"n1", "n2", "n3", "n4", "n5", "n6", "n7", "n8", "n9", "n10"})
                           << QStringList();
}

// The definition the program works with and the columns of the file it makes agree with the
// layout of the tables, field for field.
void DatabaseTest::tableLayout() {
    QFETCH(QString, table);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, checkFields);

    const TableDef *def = storage::findTable(table.toUpper());
    QVERIFY(def);
    QCOMPARE(def->name, table);
    QCOMPARE(def->fields, fields);
    QCOMPARE(def->isCheck.size(), size_t(fields.size()));
    QStringList checks;
    for (qsizetype i = 0; i < def->fields.size(); ++i) {
        if (def->isCheck[size_t(i)]) {
            checks << def->fields[i];
        }
    }
    QCOMPARE(checks, checkFields);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(createOurs(path));
    RawDb raw = openRaw(path);
    QVERIFY(raw);
    QStringList expected = {QStringLiteral("id|INTEGER|1")};
    for (const QString &field : fields) {
        expected << QStringLiteral("%1|%2|0").arg(field, checkFields.contains(field)
                                                             ? QStringLiteral("INTEGER")
                                                             : QStringLiteral("TEXT"));
    }
    if (table == QLatin1String("qrz")) {
        expected << QStringLiteral("callfold|TEXT|0");  // the folded call, for the call index
    }
    QCOMPARE(rows(raw.get(),
                  QStringLiteral("SELECT name, type, pk FROM pragma_table_info('%1') ORDER BY cid")
                      .arg(table)),
             expected);
}

namespace {

enum class Foreign {
    TextFile,
    RandomBytes,
    MagicOnly,
    MagicThenGarbage,
    OtherApplication,
    OtherApplicationWal,
    OtherApplicationId,
    EmptyWithOtherVersion,
    OursNewer,
    OursNewerRollbackJournal,
};

}  // namespace

void DatabaseTest::leavesForeignFileAlone_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");

    const int notOurs = StorageError::kNotOurDatabase;
    const int cannotOpen = StorageError::kCannotOpen;
    QTest::newRow("text file") << int(Foreign::TextFile) << notOurs;
    QTest::newRow("random bytes") << int(Foreign::RandomBytes) << notOurs;
    QTest::newRow("only the SQLite magic") << int(Foreign::MagicOnly) << notOurs;
    QTest::newRow("SQLite magic, then garbage") << int(Foreign::MagicThenGarbage) << notOurs;
    QTest::newRow("other application") << int(Foreign::OtherApplication) << notOurs;
    QTest::newRow("other application, WAL") << int(Foreign::OtherApplicationWal) << notOurs;
    QTest::newRow("other application id") << int(Foreign::OtherApplicationId) << notOurs;
    // Never written by us: our first version step sets the id and the version together.
    QTest::newRow("no tables, version of another application")
        << int(Foreign::EmptyWithOtherVersion) << notOurs;
    // Ours, but from a later program: it is not somebody else's file, it just cannot be used.
    QTest::newRow("ours, newer version") << int(Foreign::OursNewer) << cannotOpen;
    QTest::newRow("ours, newer version, rollback journal")
        << int(Foreign::OursNewerRollbackJournal) << cannotOpen;
}

void DatabaseTest::leavesForeignFileAlone() {
    QFETCH(int, kind);
    QFETCH(int, code);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));

    const auto otherApplication = [&](const QString &extra) {
        RawDb raw = openRaw(path);
        return raw &&
               exec(raw.get(), extra + QStringLiteral("CREATE TABLE logboek (call TEXT, tijd "
                                                      "TEXT); INSERT INTO logboek VALUES "
                                                      "('PA3ABC', '12:00');"));
    };
    const auto oursAt = [&](int version, const QString &extra) {
        if (!createOurs(path)) {
            return false;
        }
        RawDb raw = openRaw(path);
        return raw &&
               exec(raw.get(), extra + QStringLiteral("PRAGMA user_version = %1;").arg(version));
    };

    switch (Foreign(kind)) {
        case Foreign::TextFile:
            QVERIFY(writeFile(path, "Ronde van zondag\nPA3ABC Jan Ede\n"));
            break;
        case Foreign::RandomBytes: {
            QRandomGenerator random(7);
            QByteArray bytes(8192, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            QVERIFY(writeFile(path, bytes));
            break;
        }
        case Foreign::MagicOnly:
            QVERIFY(writeFile(path, QByteArray("SQLite format 3\0", 16)));
            break;
        case Foreign::MagicThenGarbage: {
            QRandomGenerator random(11);
            QByteArray bytes(4096, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            QVERIFY(writeFile(path, QByteArray("SQLite format 3\0", 16) + bytes));
            break;
        }
        case Foreign::OtherApplication:
            QVERIFY(otherApplication(QString()));
            break;
        case Foreign::OtherApplicationWal:
            QVERIFY(otherApplication(QStringLiteral("PRAGMA journal_mode = WAL;")));
            break;
        case Foreign::OtherApplicationId: {
            RawDb raw = openRaw(path);
            QVERIFY(raw);
            QVERIFY(exec(raw.get(), QStringLiteral("PRAGMA application_id = 1234;")));
            break;
        }
        case Foreign::EmptyWithOtherVersion: {
            RawDb raw = openRaw(path);
            QVERIFY(raw);
            QVERIFY(exec(raw.get(), QStringLiteral("PRAGMA user_version = 7;")));
            break;
        }
        case Foreign::OursNewer:
            QVERIFY(oursAt(storage::kSchemaVersion + 1, QString()));
            break;
        case Foreign::OursNewerRollbackJournal:
            QVERIFY(oursAt(storage::kSchemaVersion + 1,
                           QStringLiteral("PRAGMA journal_mode = DELETE;")));
            break;
    }

    const QByteArray before = fileBytes(path);
    QVERIFY(!before.isEmpty());
    const QStringList filesBefore = filesIn(dir.path());

    StorageError error;
    auto db = Database::open(path, &error);
    QVERIFY(!db);
    db.reset();

    QCOMPARE(error.code, code);
    QVERIFY2(error.description.contains(QDir::toNativeSeparators(path)),
             qPrintable(error.description));
    QVERIFY2(error.description.contains(
                 QRegularExpression(QStringLiteral("\\b(het|de|geen|kan|niet)\\b"))),
             qPrintable(error.description));

    QVERIFY(fileBytes(path) == before);
    QCOMPARE(filesIn(dir.path()), filesBefore);
}

void DatabaseTest::restoresDroppedOrEmptiedTable_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("drop");

    for (const QString &table : kTables) {
        QTest::newRow(qPrintable(table + QStringLiteral(" dropped"))) << table << true;
        QTest::newRow(qPrintable(table + QStringLiteral(" emptied"))) << table << false;
    }
}

void DatabaseTest::restoresDroppedOrEmptiedTable() {
    QFETCH(QString, table);
    QFETCH(bool, drop);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(createOurs(path));

    std::map<QString, QStringList> contents;
    {
        RawDb raw = openRaw(path);
        QVERIFY(raw);
        QVERIFY(exec(raw.get(),
                     QStringLiteral("INSERT INTO ronde (rondecall, call1, luis1) VALUES "
                                    "('PI4KB', 'PA3ABC', 1);"
                                    "INSERT INTO qrz (\"call\", naam) VALUES ('PA3ABC', 'Jan'), "
                                    "('PD0XYZ', 'Els');"
                                    "INSERT INTO notes (n1) VALUES ('koffie om tien uur');")));
        if (drop) {
            QVERIFY(exec(raw.get(), QStringLiteral("DROP TABLE \"%1\"").arg(table)));
        } else {
            QVERIFY(exec(raw.get(), QStringLiteral("DELETE FROM \"%1\"").arg(table)));
        }
        for (const QString &t : kTables) {
            contents[t] = t == table ? QStringList() : dumpTable(raw.get(), t);
        }
    }

    // Opening another table leaves this one alone; opening this one mends it.
    StorageError error;
    for (const QString &other : kTables) {
        if (other != table) {
            QVERIFY2(Database::open(path, &error, storage::findTable(other)),
                     qPrintable(error.description));
        }
    }
    if (!drop) {
        RawDb raw = openRaw(path);
        QCOMPARE(dumpTable(raw.get(), table).size(), 0);
    }
    QVERIFY2(Database::open(path, &error, storage::findTable(table)),
             qPrintable(error.description));

    RawDb raw = openRaw(path);
    QVERIFY(raw);
    for (const QString &t : kTables) {
        if (t != table) {
            QCOMPARE(dumpTable(raw.get(), t), contents[t]);
            continue;
        }
        const QStringList records = dumpTable(raw.get(), t);
        QCOMPARE(records.size(), 1);
        QStringList blank = records.first().split(QLatin1Char('|'));
        blank.removeFirst();  // id
        QCOMPARE(blank,
                 QStringList(storage::findTable(t)->fields.size(), QStringLiteral("<null>")));
    }
    // The call index goes with a dropped ham list and must come back with it.
    QCOMPARE(rows(raw.get(), QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = "
                                            "'index' AND name = 'qrz_callfold'")),
             QStringList({"qrz"}));
}

// Another program's database whose last writes still stand in its log: opening it would fold
// the log into the file. The file is refused before that can happen.
void DatabaseTest::foreignFileWithPendingLogIsLeftAlone() {
    QTemporaryDir source;
    QTemporaryDir target;
    QVERIFY(source.isValid() && target.isValid());
    const QString original = source.filePath(QStringLiteral("other.db"));
    const QString path = target.filePath(QLatin1String(Database::kFileName));
    {
        RawDb raw = openRaw(original);
        QVERIFY(raw);
        QVERIFY(exec(raw.get(), QStringLiteral("PRAGMA journal_mode=WAL; "
                                               "PRAGMA wal_autocheckpoint=0; "
                                               "CREATE TABLE boeken (titel TEXT);"
                                               "INSERT INTO boeken VALUES ('Het Achterhuis');")));
        // Copy the file and its log while the log still holds the writes.
        QVERIFY(QFile::copy(original, path));
        QVERIFY(QFile::copy(original + QStringLiteral("-wal"), path + QStringLiteral("-wal")));
    }
    const QByteArray file = fileBytes(path);
    const QByteArray log = fileBytes(path + QStringLiteral("-wal"));
    QVERIFY(!log.isEmpty());

    StorageError error;
    QVERIFY(!Database::open(path, &error));
    QCOMPARE(error.code, StorageError::kNotOurDatabase);
    QVERIFY(fileBytes(path) == file);
    QVERIFY(fileBytes(path + QStringLiteral("-wal")) == log);
    QVERIFY(!QFile::exists(path + QStringLiteral("-shm")));
}

// A file of version 1 has no index of the record order; the upgrade adds it and keeps the data.
void DatabaseTest::upgradesFromVersionOne() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(createOurs(path));
    {
        RawDb raw = openRaw(path);
        QVERIFY(raw);
        QVERIFY(exec(raw.get(), QStringLiteral("INSERT INTO qrz (\"call\") VALUES ('PA3ABC');"
                                               "DROP INDEX ronde_id; DROP INDEX qrz_id; "
                                               "DROP INDEX notes_id; PRAGMA user_version = 1;")));
    }
    StorageError error;
    auto db = Database::open(path, &error);
    QVERIFY2(db, qPrintable(error.description));
    QCOMPARE(storage::schemaVersion(db->handle()), storage::kSchemaVersion);
    QCOMPARE(rows(db->handle(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                               "'index' AND name LIKE '%_id' ORDER BY name")),
             QStringList({"notes_id", "qrz_id", "ronde_id"}));
    QCOMPARE(rows(db->handle(), QStringLiteral("SELECT \"call\" FROM qrz WHERE \"call\" "
                                               "IS NOT NULL")),
             QStringList({"PA3ABC"}));
    QCOMPARE(
        rows(db->handle(), QStringLiteral("EXPLAIN QUERY PLAN SELECT id FROM ronde ORDER BY id"))
            .join(QLatin1Char(' ')),
        rows(db->handle(),
             QStringLiteral("EXPLAIN QUERY PLAN SELECT id FROM ronde INDEXED BY ronde_id "
                            "ORDER BY id"))
            .join(QLatin1Char(' ')));
}

void DatabaseTest::upgradesWithData_data() {
    QTest::addColumn<int>("version");
    QTest::newRow("version 1") << 1;
    QTest::newRow("version 2") << 2;
}

// A file as an earlier version made it, with data in every table: the upgrade keeps every value
// and adds the times of the rounds, empty.
void DatabaseTest::upgradesWithData() {
    QFETCH(int, version);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    const TableDef &ronde = storage::rondeTable();
    QStringList oldColumns = {QStringLiteral("id")};
    {
        RawDb raw = openRaw(path);
        QVERIFY(raw);
        QString sql = QStringLiteral("CREATE TABLE ronde (id INTEGER PRIMARY KEY AUTOINCREMENT");
        for (qsizetype i = 0; i < 183; ++i) {
            sql += QStringLiteral(", \"%1\" %2")
                       .arg(ronde.fields[i], ronde.isCheck[size_t(i)] ? "INTEGER" : "TEXT");
            oldColumns << QStringLiteral("\"%1\"").arg(ronde.fields[i]);
        }
        sql += QStringLiteral(
            "); CREATE TABLE qrz (id INTEGER PRIMARY KEY AUTOINCREMENT, \"call\" TEXT, naam TEXT, "
            "adres TEXT, postcode TEXT, qth TEXT, grid TEXT, land TEXT, telefoon TEXT, email TEXT, "
            "byzonderheden TEXT); CREATE TABLE notes (id INTEGER PRIMARY KEY AUTOINCREMENT, n1 "
            "TEXT, "
            "n2 TEXT, n3 TEXT, n4 TEXT, n5 TEXT, n6 TEXT, n7 TEXT, n8 TEXT, n9 TEXT, n10 TEXT); "
            "CREATE INDEX qrz_call ON qrz(\"call\" COLLATE kbfold); ");
        if (version >= 2) {
            sql += QStringLiteral(
                "CREATE INDEX ronde_id ON ronde(id); CREATE INDEX qrz_id ON "
                "qrz(id); CREATE INDEX notes_id ON notes(id); ");
        }
        sql += QStringLiteral(
                   "PRAGMA application_id = %1; PRAGMA user_version = %2; "
                   "INSERT INTO ronde (rondecall, datum, kringbaas, call1, call2, naam2, luis2, "
                   "on30) VALUES ('PA3ABC', 'donderdag 10 december 2026', 'Jan', 'PA3ABC', "
                   "'PD1XYZ', 'Zoë', 1, 'regel 1\nregel 2'); "
                   "INSERT INTO ronde (rondecall) VALUES ('PE2AA'); "
                   "INSERT INTO qrz (\"call\", naam, grid) VALUES ('PD1XYZ', 'ZOË', 'JO22ab'); "
                   "INSERT INTO notes (n1, n10) VALUES ('notitie', 'agenda');")
                   .arg(storage::kApplicationId)
                   .arg(version);
        QVERIFY(exec(raw.get(), sql));
    }
    QStringList before;
    {
        RawDb raw = openRaw(path);
        before << rows(raw.get(), QStringLiteral("SELECT %1 FROM ronde ORDER BY id")
                                      .arg(oldColumns.join(QLatin1Char(','))))
               << dumpTable(raw.get(), QStringLiteral("qrz"))
               << dumpTable(raw.get(), QStringLiteral("notes"));
    }

    StorageError error;
    auto db = Database::open(path, &error, &ronde);
    QVERIFY2(db, qPrintable(error.description));
    QCOMPARE(storage::schemaVersion(db->handle()), storage::kSchemaVersion);
    QStringList after;
    after << rows(db->handle(), QStringLiteral("SELECT %1 FROM ronde ORDER BY id")
                                    .arg(oldColumns.join(QLatin1Char(','))))
          << dumpTable(db->handle(), QStringLiteral("qrz"))
          << dumpTable(db->handle(), QStringLiteral("notes"));
    QCOMPARE(after, before);
    QCOMPARE(rows(db->handle(), QStringLiteral("SELECT count(*) FROM ronde WHERE begintijd IS NOT "
                                               "NULL OR tijd1 IS NOT NULL OR tijd30 IS NOT NULL")),
             QStringList({"0"}));
    db.reset();

    // The rounds read as values: the old fields as stored, no times.
    auto cursor = TableCursor::open(path, QStringLiteral("ronde"), &error);
    QVERIFY2(cursor, qPrintable(error.description));
    RecordValues values;
    QVERIFY(cursor->read(0, &values, &error));
    const storage::Round round = storage::Round::fromRecord(values);
    QCOMPARE(round.controllerCall, QStringLiteral("PA3ABC"));
    QCOMPARE(round.participants[1].name, QStringLiteral("Zoë"));
    QVERIFY(round.participants[1].listening);
    QCOMPARE(round.participants[29].topic, QStringLiteral("regel 1\nregel 2"));
    QVERIFY(!round.beginTime.isValid());
    QVERIFY(!round.participants[1].placedAt.isValid());

    // A round with its times goes in and comes back as it was.
    storage::Round timed = round;
    timed.beginTime = QDateTime(QDate(2026, 12, 10), QTime(19, 30, 5), Qt::UTC);
    timed.participants[1].placedAt = QDateTime(QDate(2026, 12, 10), QTime(19, 31, 59), Qt::UTC);
    std::vector<int> all(size_t(ronde.fields.size()));
    std::iota(all.begin(), all.end(), 0);
    QVERIFY(cursor->write(0, all, timed.toRecord(), &error));
    QVERIFY(cursor->read(0, &values, &error));
    QCOMPARE(storage::Round::fromRecord(values), timed);
    QCOMPARE(values[size_t(storage::rondeBeginIndex())].toString(),
             QStringLiteral("2026-12-10T19:30:05Z"));
}

void DatabaseTest::upgradesFromVersionZero() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));

    // Version 0 is a file without anything in it; every step up to the current version runs.
    StorageError error;
    {
        auto db = Database::open(path, &error);
        QVERIFY2(db, qPrintable(error.description));
        QCOMPARE(storage::schemaVersion(db->handle()), storage::kSchemaVersion);
        QCOMPARE(queryInt(db->handle(), QStringLiteral("PRAGMA application_id")),
                 storage::kApplicationId);
    }
    // The mark that the file is ours stands in the file itself, not only in its log, so a
    // second connection opened while the first is still open recognises it.
    auto first = Database::open(path, &error, storage::findTable(QStringLiteral("ronde")));
    QVERIFY2(first, qPrintable(error.description));
    auto second = Database::open(path, &error, storage::findTable(QStringLiteral("qrz")));
    QVERIFY2(second, qPrintable(error.description));
    QVERIFY(Database::open(path, &error, storage::findTable(QStringLiteral("notes"))));
    first.reset();
    second.reset();

    // An up-to-date file is only read when it is opened again.
    const QByteArray before = fileBytes(path);
    for (const QString &table : kTables) {
        QVERIFY(Database::open(path, &error, storage::findTable(table)));
    }
    auto db = Database::open(path, &error);
    QVERIFY(db);
    for (const QString &table : kTables) {
        QCOMPARE(queryInt(db->handle(), QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)),
                 1);
    }
    db.reset();
    QVERIFY(fileBytes(path) == before);
}

void DatabaseTest::reopeningChangesNothing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    {
        StorageError error;
        auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
        QVERIFY2(qrz, qPrintable(error.description));
        const Values v = valuesFor(qrz->table(), {{"call", QStringLiteral("PA3ABC")}});
        QVERIFY(qrz->append(v.fields, v.values, &error));
        QVERIFY(qrz->append(v.fields, v.values, &error));
    }

    const auto snapshot = [&] {
        RawDb raw = openRaw(path);
        QStringList all = rows(raw.get(), QStringLiteral("SELECT type, name, sql FROM "
                                                         "sqlite_master ORDER BY name"));
        all << rows(raw.get(), QStringLiteral("PRAGMA user_version"));
        for (const QString &table : kTables) {
            all << dumpTable(raw.get(), table);
        }
        return all;
    };
    const QStringList before = snapshot();
    QCOMPARE(before.filter(QStringLiteral("PA3ABC")).size(), 2);

    for (int i = 0; i < 2; ++i) {
        StorageError error;
        QVERIFY2(Database::open(path, &error), qPrintable(error.description));
        QCOMPARE(snapshot(), before);
    }
}

// --- records ----------------------------------------------------------------------------------

void DatabaseTest::textRoundTrip_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << QStringLiteral("Jan");
    QTest::newRow("accents") << QStringLiteral("Hélène Čapek, Zoë, Straße");
    QTest::newRow("outside the BMP") << QStringLiteral("73 \U0001F4FB");
    QTest::newRow("single quote") << QStringLiteral("O'Brien");
    QTest::newRow("double quote") << QStringLiteral("de \"baas\"");
    QTest::newRow("both quotes") << QStringLiteral("'; DROP TABLE qrz; --\"");
    QTest::newRow("newlines") << QStringLiteral("regel 1\nregel 2\r\nregel 3\n");
    QTest::newRow("blanks kept") << QStringLiteral("  Ede  ");
    QTest::newRow("empty text") << QStringLiteral("");
    QTest::newRow("no value") << QString();
}

// What is written comes back the same, from the cursor that wrote it and from a later one, both
// when a record is added with it and when a record is changed to it.
void DatabaseTest::textRoundTrip() {
    QFETCH(QString, text);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(qrz, qPrintable(error.description));
    const int naam = qrz->table().fieldIndex(u"naam");
    const int adres = qrz->table().fieldIndex(u"adres");

    // Appended with the text; the blank first record changed to it, its other field set to
    // something else first so that the write really replaces a value.
    const Values appended =
        valuesFor(qrz->table(), {{"naam", text}, {"adres", QStringLiteral("Dorpsstraat 1")}});
    QVERIFY(qrz->append(appended.fields, appended.values, &error));
    const Values before = valuesFor(qrz->table(), {{"naam", QStringLiteral("iets")}});
    QVERIFY(qrz->write(0, before.fields, before.values, &error));
    const Values changed = valuesFor(qrz->table(), {{"naam", text}});
    QVERIFY(qrz->write(0, changed.fields, changed.values, &error));

    auto check = [&](TableCursor &cursor) {
        for (int position : {0, 1}) {
            RecordValues values;
            QVERIFY(cursor.read(position, &values, &error));
            QCOMPARE(values.size(), size_t(cursor.table().fields.size()));
            const QString got = values[size_t(naam)].toString();
            QCOMPARE(got, text);
            QCOMPARE(got.isNull(), text.isNull());
        }
        RecordValues values;
        QVERIFY(cursor.read(1, &values, &error));
        QCOMPARE(values[size_t(adres)].toString(), QStringLiteral("Dorpsstraat 1"));
    };
    check(*qrz);
    if (QTest::currentTestFailed()) {
        return;
    }
    qrz.reset();
    auto again = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(again, qPrintable(error.description));
    check(*again);
}

void DatabaseTest::checkFieldsReadAsBool_data() {
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<bool>("expected");

    QTest::newRow("on") << QVariant(true) << true;
    QTest::newRow("off") << QVariant(false) << false;
    QTest::newRow("never set") << QVariant() << false;
}

void DatabaseTest::checkFieldsReadAsBool() {
    QFETCH(QVariant, written);
    QFETCH(bool, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto ronde = TableCursor::open(path, QStringLiteral("ronde"), &error);
    QVERIFY2(ronde, qPrintable(error.description));

    std::map<QString, QVariant> given = {{"call7", QStringLiteral("PA3ABC")}};
    if (written.isValid()) {
        given["luis7"] = written;
    }
    const Values v = valuesFor(ronde->table(), given);
    QVERIFY(ronde->append(v.fields, v.values, &error));

    RecordValues values;
    QVERIFY(ronde->read(1, &values, &error));
    for (qsizetype i = 0; i < ronde->table().fields.size(); ++i) {
        const QVariant &value = values[size_t(i)];
        const QString &field = ronde->table().fields[i];
        if (ronde->table().isCheck[size_t(i)]) {
            QVERIFY2(value.typeId() == QMetaType::Bool, qPrintable(field));
            QCOMPARE(value.toBool(), field == QLatin1String("luis7") && expected);
        } else {
            QVERIFY2(value.typeId() == QMetaType::QString, qPrintable(field));
        }
    }

    // The state is kept as a number in the file.
    RawDb raw = openRaw(path);
    QVERIFY(raw);
    QCOMPARE(rows(raw.get(), QStringLiteral("SELECT typeof(luis7), luis7 FROM ronde WHERE id = %1")
                                 .arg(ronde->bookmarkAt(1))),
             QStringList({written.isValid() ? QStringLiteral("integer|%1").arg(int(expected))
                                            : QStringLiteral("null|<null>")}));
}

void DatabaseTest::removedBookmarkHasNoPosition() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto notes = TableCursor::open(path, QStringLiteral("notes"), &error);
    QVERIFY2(notes, qPrintable(error.description));
    const Values v = valuesFor(notes->table(), {});
    QVERIFY(notes->append(v.fields, v.values, &error));
    QVERIFY(notes->append(v.fields, v.values, &error));
    QCOMPARE(notes->count(), 3);
    const Bookmark first = notes->bookmarkAt(0);
    const Bookmark middle = notes->bookmarkAt(1);
    const Bookmark last = notes->bookmarkAt(2);

    QVERIFY(notes->remove(1, &error));
    QCOMPARE(notes->count(), 2);
    QCOMPARE(notes->positionOf(middle), -1);
    QCOMPARE(notes->positionOf(first), 0);
    QCOMPARE(notes->positionOf(last), 1);

    QVERIFY(notes->remove(1, &error));
    QCOMPARE(notes->positionOf(last), -1);
    QCOMPARE(notes->positionOf(first), 0);

    // Gone from the file too, not only from the cursor.
    notes.reset();
    auto again = TableCursor::open(path, QStringLiteral("notes"), &error);
    QVERIFY2(again, qPrintable(error.description));
    QCOMPARE(again->count(), 1);
    QCOMPARE(again->positionOf(middle), -1);
    QCOMPARE(again->positionOf(last), -1);
}

void DatabaseTest::bookmarksAreNotReused_data() {
    QTest::addColumn<bool>("reopen");
    QTest::newRow("same cursor") << false;
    QTest::newRow("after reopening") << true;
}

// A bookmark held for a deleted record must never come to mean another record.
void DatabaseTest::bookmarksAreNotReused() {
    QFETCH(bool, reopen);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(qrz, qPrintable(error.description));
    const Values v = valuesFor(qrz->table(), {{"call", QStringLiteral("PA3ABC")}});
    QVERIFY(qrz->append(v.fields, v.values, &error));
    const Bookmark removed = qrz->bookmarkAt(1);
    QVERIFY(qrz->remove(1, &error));

    if (reopen) {
        qrz.reset();
        qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
        QVERIFY2(qrz, qPrintable(error.description));
    }
    QVERIFY(qrz->append(v.fields, v.values, &error));
    QCOMPARE(qrz->count(), 2);
    QVERIFY(qrz->bookmarkAt(1) > removed);
    QCOMPARE(qrz->positionOf(removed), -1);
}

void DatabaseTest::twoCursorsWriteOneFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto ronde = TableCursor::open(path, QStringLiteral("ronde"), &error);
    QVERIFY2(ronde, qPrintable(error.description));
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(qrz, qPrintable(error.description));

    // Interleaved, each after the other has read, so that a read left open on one connection
    // would block the other's write.
    RecordValues scratch;
    const Values round = valuesFor(ronde->table(), {{"rondecall", QStringLiteral("PI4KB")}});
    const Values ham = valuesFor(qrz->table(), {{"call", QStringLiteral("PA3ABC")}});
    const Values roundRow =
        valuesFor(ronde->table(), {{"call1", QStringLiteral("PA3ABC")}, {"luis1", true}});
    const Values hamName = valuesFor(qrz->table(), {{"naam", QStringLiteral("Jan")}});
    QVERIFY(ronde->read(0, &scratch, &error));
    QVERIFY2(qrz->append(ham.fields, ham.values, &error), qPrintable(error.description));
    QVERIFY(qrz->read(1, &scratch, &error));
    QVERIFY2(ronde->write(0, round.fields, round.values, &error), qPrintable(error.description));
    QVERIFY2(ronde->append(roundRow.fields, roundRow.values, &error),
             qPrintable(error.description));
    QVERIFY2(qrz->write(1, hamName.fields, hamName.values, &error), qPrintable(error.description));
    ronde.reset();
    qrz.reset();

    RawDb raw = openRaw(path);
    QVERIFY(raw);
    QCOMPARE(
        rows(raw.get(), QStringLiteral("SELECT rondecall, call1, luis1 FROM ronde ORDER BY id")),
        QStringList({"PI4KB|<null>|<null>", "<null>|PA3ABC|1"}));
    QCOMPARE(rows(raw.get(), QStringLiteral("SELECT \"call\", naam FROM qrz ORDER BY id")),
             QStringList({"<null>|<null>", "PA3ABC|Jan"}));
}

// --- finding a call ---------------------------------------------------------------------------

void DatabaseTest::callIndexServesEqualityFind() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(createOurs(path));
    RawDb raw = openRaw(path);
    QVERIFY(raw);
    const QStringList plan =
        rows(raw.get(), QStringLiteral("EXPLAIN QUERY PLAN SELECT id FROM qrz WHERE callfold = ?1 "
                                       "AND id >= ?2 ORDER BY id LIMIT 1"));
    QVERIFY2(plan.join(QLatin1Char('\n')).contains(QLatin1String("INDEX qrz_callfold")),
             qPrintable(plan.join(QLatin1Char('\n'))));
}

void DatabaseTest::findCall_data() {
    QTest::addColumn<QString>("sought");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");

    // Positions in the fixture below.
    QTest::newRow("same text") << "PD0XYZ" << 0 << 1;
    QTest::newRow("lower finds upper") << "pa3abc" << 0 << 0;
    QTest::newRow("upper finds lower") << "PD0XYZ" << 2 << 5;
    QTest::newRow("first of duplicates") << "Pa3Abc" << 0 << 0;
    QTest::newRow("start skips earlier") << "PA3ABC" << 1 << 2;
    QTest::newRow("start on a match") << "PA3ABC" << 2 << 2;
    QTest::newRow("start past the last match") << "PA3ABC" << 5 << -1;
    QTest::newRow("é finds É") << "éric" << 0 << 3;
    QTest::newRow("É finds é") << "ÉRIC" << 0 << 3;
    QTest::newRow("accent is not case") << "ERIC" << 0 << -1;
    QTest::newRow("prefix is not equal") << "PA3" << 0 << -1;
    QTest::newRow("longer is not equal") << "PA3ABCD" << 0 << -1;
    QTest::newRow("start at the last record") << "pd0xyz" << 5 << 5;
}

// The ham list's call is found through its index, every other field by walking the table; both
// ways must find the same record.
void DatabaseTest::findCall() {
    QFETCH(QString, sought);
    QFETCH(int, from);
    QFETCH(int, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(qrz, qPrintable(error.description));
    QVERIFY(qrz->remove(0, &error));  // the blank record
    const QStringList calls = {"PA3ABC", "PD0XYZ", "pa3abc", "Éric", "PA3ABC", "pd0xyz"};
    for (const QString &call : calls) {
        const Values v = valuesFor(qrz->table(), {{"call", call}, {"naam", call}});
        QVERIFY(qrz->append(v.fields, v.values, &error));
    }
    QCOMPARE(qrz->count(), int(calls.size()));

    for (const QString &field : {QStringLiteral("call"), QStringLiteral("naam")}) {
        const auto criterion = Criterion::parse(QStringLiteral("%1 ='%2'").arg(field, sought));
        QVERIFY(criterion);
        int found = -2;
        QVERIFY2(qrz->find(*criterion, qrz->table().fieldIndex(field), from, &found, &error),
                 qPrintable(error.description));
        QVERIFY2(found == expected,
                 qPrintable(QStringLiteral("%1: found %2").arg(field).arg(found)));
    }
}

enum class OtherWrite {
    InsertLower,
    InsertMixed,
    UpdateCall,
    UpdateOtherField,
    UpdateCallToItself
};
Q_DECLARE_METATYPE(OtherWrite)

void DatabaseTest::hamWrittenByAnotherProgramIsFound_data() {
    QTest::addColumn<OtherWrite>("write");
    QTest::addColumn<QString>("sought");
    QTest::addColumn<QString>("notFound");

    QTest::newRow("added in lower case") << OtherWrite::InsertLower << "PD0XYZ"
                                         << "";
    QTest::newRow("added in mixed case") << OtherWrite::InsertMixed << "pd0xyz"
                                         << "";
    QTest::newRow("call changed") << OtherWrite::UpdateCall << "pa3new"
                                  << "PA3ÉRIC";
    QTest::newRow("other field changed: the program's fold stays")
        << OtherWrite::UpdateOtherField << "pa3éric"
        << "";
    QTest::newRow("call written again unchanged: the program's fold stays")
        << OtherWrite::UpdateCallToItself << "PA3éric"
        << "";
}

// Another program (here the plain SQLite library, nothing of Kringbaas) adds or changes a ham;
// the exact look-up of the round sheet and the start dialog finds it all the same.
void DatabaseTest::hamWrittenByAnotherProgramIsFound() {
    QFETCH(OtherWrite, write);
    QFETCH(QString, sought);
    QFETCH(QString, notFound);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    StorageError error;
    {
        auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
        QVERIFY2(qrz, qPrintable(error.description));
        // The program changes only the case of a letter outside ASCII: its fold stays.
        Values v = valuesFor(qrz->table(), {{"call", QStringLiteral("PA3éric")}});
        QVERIFY(qrz->write(0, v.fields, v.values, &error));
        v = valuesFor(qrz->table(), {{"call", QStringLiteral("PA3ÉRIC")}});
        QVERIFY(qrz->write(0, v.fields, v.values, &error));
    }
    {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE,
                                 nullptr),
                 SQLITE_OK);
        RawDb guard(other);
        const char *sql = "";
        switch (write) {
            case OtherWrite::InsertLower:
                sql = "INSERT INTO qrz (\"call\", naam) VALUES ('pd0xyz', 'Piet')";
                break;
            case OtherWrite::InsertMixed:
                sql = "INSERT INTO qrz (\"call\", naam) VALUES ('Pd0XyZ', 'Piet')";
                break;
            case OtherWrite::UpdateCall:
                sql = "UPDATE qrz SET \"call\" = 'PA3NEW'";
                break;
            case OtherWrite::UpdateOtherField:
                sql = "UPDATE qrz SET naam = 'Eric'";
                break;
            case OtherWrite::UpdateCallToItself:
                sql = "UPDATE qrz SET \"call\" = \"call\", naam = 'Eric'";
                break;
        }
        QCOMPARE(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }

    storage::HamLookup lookup(path);
    const auto found = lookup.find(sought);
    QVERIFY2(found, qPrintable(lookup.lastError().description));
    QCOMPARE(found->ham.call.compare(sought, Qt::CaseInsensitive), 0);
    if (!notFound.isEmpty()) {
        QVERIFY(!lookup.find(notFound));
    }
    // The ham list's own search and the look-up agree.
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY(qrz);
    int position = -1;
    const auto criterion = Criterion::parse(QStringLiteral("call ='%1'").arg(sought));
    QVERIFY(qrz->find(*criterion, 0, 0, &position, &error));
    QCOMPARE(qrz->bookmarkAt(position), found->bookmark);
}

// A file of the previous version whose folds other programs left missing or stale gets them
// made again; its copy from before the upgrade is that version's file and opens as well.
void DatabaseTest::upgradeFillsMissingFolds() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    QVERIFY(createOurs(path));
    {
        RawDb raw = openRaw(path);
        QVERIFY(exec(
            raw.get(),
            QStringLiteral("DROP TRIGGER qrz_callfold_insert; DROP TRIGGER qrz_callfold_update; "
                           "INSERT INTO qrz (\"call\") VALUES ('pa3abc'), ('PA3ÉRIC'); "
                           "INSERT INTO qrz (\"call\", callfold) VALUES ('PD0XYZ', 'pa3old'); "
                           "PRAGMA user_version = 4;")));
    }
    StorageError error;
    {
        auto db = Database::open(path, &error, &storage::qrzTable());
        QVERIFY2(db, qPrintable(error.description));
        QCOMPARE(storage::schemaVersion(db->handle()), storage::kSchemaVersion);
    }
    storage::HamLookup lookup(path);
    for (const char *call : {"PA3ABC", "pa3éric", "pd0xyz"}) {
        QVERIFY2(lookup.find(QString::fromUtf8(call)), call);
    }
    QVERIFY(!lookup.find(QStringLiteral("PA3OLD")));

    const QString copy = storage::Backups::newest(path);
    QVERIFY2(copy.endsWith(QStringLiteral("-voor-versie-%1.mdb").arg(storage::kSchemaVersion)),
             qPrintable(copy));
    {
        RawDb raw = openRaw(copy);
        QCOMPARE(queryInt(raw.get(), QStringLiteral("PRAGMA user_version")), 4);
    }
    // Put back in place of the database, the copy is upgraded as the file was.
    const QString restored = dir.filePath(QStringLiteral("terug/") + Database::kFileName);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("terug")));
    QVERIFY(QFile::copy(copy, restored));
    storage::HamLookup restoredLookup(restored);
    QVERIFY(restoredLookup.find(QStringLiteral("PD0XYZ")));
}

void DatabaseTest::foldedCallIsTheOnlyFold_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("same");     // another spelling of the same call
    QTest::addColumn<QString>("differs");  // a call that is not the same
    QTest::addColumn<bool>("ascii");

    QTest::newRow("upper case") << "PA3ABC"
                                << "pa3abc"
                                << "PA3ABD" << true;
    QTest::newRow("lower case") << "pa3abc"
                                << "PA3ABC"
                                << "pa3ab" << true;
    QTest::newRow("mixed, with slashes") << "Dl/Pa3Abc/mM"
                                         << "DL/PA3ABC/MM"
                                         << "DL-PA3ABC-MM" << true;
    QTest::newRow("digits") << "2E0xyz"
                            << "2e0XYZ"
                            << "2E0XY2" << true;
    QTest::newRow("blanks are kept") << " PA3ABC "
                                     << " pa3abc "
                                     << "PA3ABC" << true;
    QTest::newRow("slashed O") << "PAØABC"
                               << "paøabc"
                               << "PAOABC" << false;
    QTest::newRow("capital sharp s is not SS") << "DLẞAB"
                                               << "dlßab"
                                               << "DLSSAB" << false;
    QTest::newRow("dotted capital I is not I") << "TA1İX"
                                               << "ta1İx"
                                               << "TA1IX" << false;
    QTest::newRow("Greek, final sigma") << "SV1ΣΑ"
                                        << "sv1ςα"
                                        << "SV1SA" << false;
    QTest::newRow("outside the basic plane") << "\U00010400A1"
                                             << "\U00010428a1"
                                             << "A1" << false;
}

// The folded call is computed in one place: the look-ups, the program's writes and the triggers
// in the file (through lower() on the program's connections) all give what foldedCall() gives.
// Other SQLite tools run the triggers with SQLite's own lower(), which must give the same for
// every ASCII call.
void DatabaseTest::foldedCallIsTheOnlyFold() {
    QFETCH(QString, call);
    QFETCH(QString, same);
    QFETCH(QString, differs);
    QFETCH(bool, ascii);

    const QString folded = storage::foldedCall(call);
    QCOMPARE(storage::foldedCall(same), folded);
    QVERIFY(storage::foldedCall(differs) != folded);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QLatin1String(Database::kFileName));
    const auto fold = [](sqlite3 *db, const QString &text) {
        storage::Statement lower(db, "SELECT lower(?1)");
        return lower.bind(1, text) && lower.next() ? lower.text(0) : QStringLiteral("<fout>");
    };
    const auto insert = [](sqlite3 *db, const QString &text) {
        storage::Statement add(db, "INSERT INTO qrz (\"call\") VALUES (?1)");
        return add.bind(1, text) && add.run();
    };
    StorageError error;
    {
        // The program's connection: its lower() is foldedCall(), and so is the triggers' fold
        // of a call written without one.
        auto db = Database::open(path, &error, &storage::qrzTable());
        QVERIFY2(db, qPrintable(error.description));
        QCOMPARE(fold(db->handle(), call), folded);
        QVERIFY(insert(db->handle(), call));
    }
    {
        // Another tool: SQLite's own lower().
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &other, SQLITE_OPEN_READWRITE,
                                 nullptr),
                 SQLITE_OK);
        RawDb guard(other);
        if (ascii) {
            QCOMPARE(fold(other, call), folded);
        }
        QVERIFY(insert(other, call));
        const QStringList stored =
            rows(other, QStringLiteral("SELECT callfold FROM qrz WHERE \"call\" IS NOT NULL "
                                       "ORDER BY id"));
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.first(), folded);
        if (ascii) {
            QCOMPARE(stored.last(), folded);
        }
    }

    // The look-ups find the call in either spelling, and only that call.
    storage::HamLookup lookup(path);
    const auto found = lookup.find(same);
    QVERIFY2(found, qPrintable(lookup.lastError().description));
    QCOMPARE(found->ham.call, call);
    QVERIFY(!lookup.find(differs));
    auto qrz = TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(qrz, qPrintable(error.description));
    for (const QString &sought : {same, differs}) {
        const auto criterion = Criterion::parse(QStringLiteral("call ='%1'").arg(sought));
        QVERIFY(criterion);
        int position = -2;
        QVERIFY(qrz->find(*criterion, 0, 0, &position, &error));
        QCOMPARE(position, sought == same ? 1 : -1);
    }
}

KB_CORE_TEST_MAIN(DatabaseTest)
#include "tst_database.moc"
