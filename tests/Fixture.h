#pragma once

// What the window suites share: a temporary data folder, files and tables seeded and read back
// past the windows, the fake services, and the main window as the program makes it.

#include "ModalAnswers.h"

#include "platform/Services.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>
#include <QVariant>

#include <functional>
#include <memory>

namespace fixture {

inline QString databasePath(const QString &folder) {
    return QDir(folder).filePath(QString::fromLatin1(storage::Database::kFileName));
}

inline void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The field values of one record to seed; fields not named stay without value.
using Record = QMap<QString, QVariant>;

// Replaces every record of a table by the given ones.
inline void seedTable(const QString &folder, const char *table, const QList<Record> &records) {
    storage::StorageError error;
    auto cursor =
        storage::TableCursor::open(databasePath(folder), QString::fromLatin1(table), &error);
    QVERIFY2(cursor, qPrintable(error.description));
    while (cursor->count() > 0) {
        QVERIFY2(cursor->remove(0, &error), qPrintable(error.description));
    }
    const storage::TableDef &def = cursor->table();
    for (const Record &record : records) {
        std::vector<int> fields;
        storage::RecordValues values(size_t(def.fields.size()));
        for (auto it = record.begin(); it != record.end(); ++it) {
            const int index = def.fieldIndex(it.key());
            QVERIFY2(index >= 0, qPrintable(it.key()));
            fields.push_back(index);
            values[size_t(index)] = it.value();
        }
        QVERIFY2(cursor->append(fields, values, &error), qPrintable(error.description));
    }
}

// The same with each record given as the texts of its first fields, in table order.
inline void seedRows(const QString &folder, const char *table, const QList<QStringList> &rows) {
    QList<Record> records;
    for (const QStringList &row : rows) {
        storage::StorageError error;
        const storage::TableDef *def = storage::findTable(QString::fromLatin1(table));
        QVERIFY(def);
        Record record;
        for (qsizetype f = 0; f < row.size(); ++f) {
            record.insert(def->fields[f], row[f]);
        }
        records << record;
    }
    seedTable(folder, table, records);
}

// Every record of a table as stored, read past the windows.
inline QList<storage::RecordValues> storedValues(const QString &folder, const char *table) {
    QList<storage::RecordValues> records;
    storage::StorageError error;
    auto cursor =
        storage::TableCursor::open(databasePath(folder), QString::fromLatin1(table), &error);
    if (!cursor) {
        qWarning() << error.description;
        return records;
    }
    for (int i = 0; i < cursor->count(); ++i) {
        storage::RecordValues values;
        if (!cursor->read(i, &values, &error)) {
            qWarning() << error.description;
            return records;
        }
        records << values;
    }
    return records;
}

// Each record as the texts of its fields.
inline QList<QStringList> storedRows(const QString &folder, const char *table) {
    QList<QStringList> rows;
    for (const storage::RecordValues &values : storedValues(folder, table)) {
        QStringList row;
        for (const QVariant &value : values) {
            row << value.toString();
        }
        rows << row;
    }
    return rows;
}

// One field of every round, as text.
inline QStringList storedField(const QString &folder, const QString &field) {
    QStringList texts;
    const int index = storage::rondeTable().fieldIndex(field);
    for (const storage::RecordValues &values : storedValues(folder, "ronde")) {
        texts << values[size_t(index)].toString();
    }
    return texts;
}

// Simple rounds: round n has rondecall "PA<n>", kringbaas "Baas <n>", an unknown call in row 1
// and a distance there.
inline QList<Record> numberedRounds(int count) {
    QList<Record> rounds;
    for (int n = 1; n <= count; ++n) {
        rounds << Record{{"rondecall", QStringLiteral("PA%1").arg(n)},
                         {"kringbaas", QStringLiteral("Baas %1").arg(n)},
                         {"call1", QStringLiteral("PD%1ABC").arg(n)},
                         {"weg1", QString::number(100 + n)}};
    }
    return rounds;
}

// The services every window gets in a test: boxes answered by the test, a clock that stands
// still, a browser never started, timers fired by hand. A suite whose boxes must do more (run
// something while a box is on screen) names its own FakeMessageBoxes in FakesWith.
template <typename Messages = platform::fakes::FakeMessageBoxes>
struct FakesWith {
    platform::fakes::FakeClock clock;
    Messages messages;
    platform::fakes::FakeWebLauncher web;
    platform::fakes::ManualTimers timers;

    platform::Services services() { return {messages, clock, web, timers}; }
};
using Fakes = FakesWith<>;

// The main window as the program makes it, loaded, its start-up timers left to the test.
// beforeLoad hands it what the program gives it between making and loading (a printer).
inline std::unique_ptr<roundsheet::frmMain> makeMainWindow(
    const QString &folder, platform::Services services,
    const std::function<void(roundsheet::frmMain &)> &beforeLoad = {}) {
    auto window = std::make_unique<roundsheet::frmMain>(folder, services);
    if (beforeLoad) {
        beforeLoad(*window);
    }
    window->load();
    window->startupTimer->stop();
    window->tmrRonde->stop();
    window->Timer1->stop();
    return window;
}

}  // namespace fixture
