// Kill -9 at random moments of a process that stores rounds and writes settings files, then
// check the database with SQLite's own integrity check, that every round the process reported
// as stored is there, and that the settings file is whole. The process is this program itself,
// started with --writer.

#include "storage/Database.h"
#include "storage/Recordset.h"
#include "storage/Schema.h"
#include "storage/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cstdio>
#include <set>

namespace {

class Buffer : public storage::RecordView {
public:
    storage::RecordValues shown;
    std::set<int> changed;
    void showRecord(const storage::RecordValues &values) override { shown = values; }
    void repositioned() override {}
    void validate(storage::DataAction, bool) override {}
    std::vector<int> shownFields() const override {
        std::vector<int> all(shown.size());
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = int(i);
        }
        return all;
    }
    std::vector<int> changedFields() const override { return {changed.begin(), changed.end()}; }
    storage::RecordValues shownValues() const override { return shown; }
    void clearChanged() override { changed.clear(); }
};

// Stores rounds and rewrites basis without end, saying on stdout what was stored.
int writer(const QString &folder) {
    const QString path = QDir(folder).filePath(QLatin1String(storage::Database::kFileName));
    Buffer view;
    storage::Recordset rounds(view);
    if (!rounds.open(path, QStringLiteral("ronde"))) {
        std::fprintf(stderr, "%s\n", qPrintable(rounds.lastError().description));
        return 2;
    }
    storage::Settings settings(folder);
    const int call1 = storage::rondeTable().fieldIndex(u"call1");
    for (int n = rounds.RecordCount();; ++n) {
        if (!rounds.AddNew()) {
            return 3;
        }
        const QString name = QStringLiteral("R%1").arg(n);
        view.shown[0] = name;
        view.changed.insert(0);
        if (!rounds.Store()) {
            return 4;
        }
        std::printf("round %s\n", qPrintable(name));
        // The round led on: a participant added to the stored round.
        view.shown[size_t(call1)] = name + QStringLiteral("-P");
        view.changed.insert(call1);
        if (!rounds.Store()) {
            return 5;
        }
        std::printf("participant %s\n", qPrintable(name));
        const QString b = QStringLiteral("B%1").arg(n);
        if (settings.writeBasis({b, b, b, b, b})) {
            std::printf("basis %s\n", qPrintable(b));
        }
        std::fflush(stdout);
    }
}

QStringList column(sqlite3 *db, const char *sql) {
    QStringList values;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        return {QStringLiteral("<error %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)))};
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        values << (text ? QString::fromUtf8(text) : QString());
    }
    sqlite3_finalize(stmt);
    return values;
}

}  // namespace

class CrashTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLosesNothingReported() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        QSet<QString> rounds;
        QSet<QString> participants;
        int lastBasis = -1;

        for (int run = 0; run < 8; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--writer"), dir.path()});
            QVERIFY(child.waitForStarted());
            // Killed after a random number of reports: somewhere in the middle of a write.
            const int reports = 1 + int(random.bounded(60));
            int seen = 0;
            QByteArray pending;
            while (seen < reports) {
                QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
                pending += child.readAllStandardOutput();
                qsizetype end;
                while ((end = pending.indexOf('\n')) >= 0) {
                    const QList<QByteArray> words = pending.left(end).split(' ');
                    pending.remove(0, end + 1);
                    ++seen;
                    if (words[0] == "round") {
                        rounds.insert(QString::fromLatin1(words[1]));
                    } else if (words[0] == "participant") {
                        participants.insert(QString::fromLatin1(words[1]));
                    } else if (words[0] == "basis") {
                        lastBasis = words[1].mid(1).toInt();
                    }
                }
            }
            child.kill();
            QVERIFY(child.waitForFinished());

            const QString path =
                QDir(dir.path()).filePath(QLatin1String(storage::Database::kFileName));
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                     SQLITE_OPEN_READWRITE, nullptr),
                     SQLITE_OK);
            const QStringList check = column(db, "PRAGMA integrity_check");
            const QStringList stored = column(db, "SELECT rondecall FROM ronde");
            const QStringList withParticipant =
                column(db, "SELECT rondecall FROM ronde WHERE call1 = rondecall || '-P'");
            sqlite3_close_v2(db);
            QCOMPARE(check, QStringList({"ok"}));
            for (const QString &round : std::as_const(rounds)) {
                QVERIFY2(stored.contains(round), qPrintable(round));
            }
            for (const QString &round : std::as_const(participants)) {
                QVERIFY2(withParticipant.contains(round), qPrintable(round));
            }

            // The settings file is one whole write: five equal lines, none older than reported.
            const QStringList lines = storage::Settings::readLines(
                QDir(dir.path()).filePath(QStringLiteral("basis")), 10);
            if (lastBasis >= 0) {
                QCOMPARE(lines.size(), 5);
                QCOMPARE(lines.count(lines.first()), 5);
                QVERIFY(lines.first().mid(1).toInt() >= lastBasis);
            }
        }
        QVERIFY(!rounds.isEmpty());
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0) {
        return writer(QString::fromLocal8Bit(argv[2]));
    }
    CrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"
