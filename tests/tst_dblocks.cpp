// The database's locks stay with the program while it runs. On Linux closing any descriptor of a
// file drops every lock the process holds on it, and SQLite's locks are such locks: a file
// chooser that reads the database's -wal or -shm to guess their types, or an import that reads
// the database itself, lets another program's SQLite take the database for unused and delete or
// truncate its log and shared memory under the running program, whose next writes are then lost
// in a deleted log or bring it down. The choosers here are Qt's real dialogs; the crash is a
// second process of this program (started with --holder) killed after a check by the sqlite3
// program.

#include "Fixture.h"
#include "TestMain.h"

#include "platform/FileChooser.h"
#include "platform/QtPrinterSurface.h"
#include "platform/fakes/FakeFileChooser.h"
#include "platform/fakes/FakePrintQueues.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

const QStringList kDatabaseFiles{QStringLiteral("kringbaasbase.mdb"),
                                 QStringLiteral("kringbaasbase.mdb-wal"),
                                 QStringLiteral("kringbaasbase.mdb-shm")};

// The files of a folder that are opened while it is watched, by name, as the kernel reports
// them (inotify; nothing is opened to find out).
class OpenedFiles {
public:
    explicit OpenedFiles(const QString &folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0) {
            watch_ = inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
        }
    }
    ~OpenedFiles() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenedFiles(const OpenedFiles &) = delete;
    OpenedFiles &operator=(const OpenedFiles &) = delete;

    bool ok() const { return fd_ >= 0 && watch_ >= 0; }

    // Every name opened since the watch began.
    QStringList names() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0) {
                    names_ << QFile::decodeName(event->name);
                }
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return names_;
    }

    // The database's files among them.
    QStringList databaseFiles() {
        QStringList found;
        for (const QString &name : names()) {
            if (name.startsWith(QLatin1String(storage::Database::kFileName))) {
                found << name;
            }
        }
        return found;
    }

private:
    int fd_;
    int watch_ = -1;
    QStringList names_;
};

// What identifies a file's content in place without opening it.
QString statOf(const QString &path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return QStringLiteral("missing");
    }
    return QStringLiteral("inode %1 size %2").arg(status.st_ino).arg(status.st_size);
}

QStringList statsOf(const QString &folder) {
    QStringList stats;
    for (const QString &name : kDatabaseFiles) {
        stats << name + QLatin1Char(' ') + statOf(QDir(folder).filePath(name));
    }
    return stats;
}

// Whether another process holds a lock on these bytes of the file, as F_GETLK tells this
// process, which holds none there. SQLite's file layer on Unix marks its connections with read
// locks: on the database's shared range while it is open in WAL mode, and on the shared memory's
// "dead man switch" byte while the shared memory is in use. Another program's SQLite that finds
// neither takes itself for the only user: it rebuilds the shared memory and, when it closes,
// deletes the log and the shared memory.
bool lockedByAnother(const QString &path, off_t start, off_t length) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

constexpr off_t kSharedFirst = 0x40000000 + 2;  // the database's shared range, 510 bytes
constexpr off_t kSharedSize = 510;
constexpr off_t kDeadManSwitch = 128;  // in the shared memory

// Stores one round with this round call on the open table.
bool storeRound(storage::TableCursor &rounds, const QString &call) {
    storage::RecordValues values(size_t(rounds.table().fields.size()));
    values[0] = call;
    storage::StorageError error;
    if (!rounds.append({0}, values, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return false;
    }
    return true;
}

// Shows Qt's dialog until it has named and typed every file of its folder, the database's among
// them (all files shown, as a user may ask for), then cancels it. What went wrong, if anything.
QString looksAtTheFolderAndCancels(QWidget *window, const QString &folder) {
    auto *dialog = qobject_cast<QFileDialog *>(window);
    if (!dialog) {
        return QStringLiteral("no file dialog");
    }
    dialog->reject();  // when it is done with, or when something is wrong
    if (!dialog->testOption(QFileDialog::DontUseNativeDialog)) {
        return QStringLiteral("not Qt's own dialog");
    }
    if (QDir(dialog->directory()).canonicalPath() != QDir(folder).canonicalPath()) {
        return QStringLiteral("shown on %1").arg(dialog->directory().path());
    }
    auto *model = dialog->findChild<QFileSystemModel *>();
    if (!model) {
        return QStringLiteral("no file system model");
    }
    dialog->setNameFilter(QStringLiteral("*"));
    for (const QString &name : kDatabaseFiles) {
        const QString path = QDir(folder).filePath(name);
        if (!QTest::qWaitFor([&] { return !model->type(model->index(path)).isEmpty(); }, 20000)) {
            return QStringLiteral("%1 was never typed").arg(name);
        }
    }
    return {};
}

enum class Chooser { Open, Save };

// The real chooser, shown on the folder and cancelled once it has looked at every file there.
// What went wrong, if anything.
QString showChooser(Chooser which, const QString &folder) {
    ModalAnswers answers;
    QString problem = QStringLiteral("not shown");
    answers.then(QStringLiteral("fileChooser"),
                 [&](QWidget *window) { problem = looksAtTheFolderAndCancels(window, folder); });
    platform::QtFileChooser chooser;
    const std::optional<QString> chosen =
        which == Chooser::Open
            ? chooser.openFileName(nullptr, QStringLiteral("HAM-lijst importeren"), folder,
                                   QStringLiteral("CSV-bestanden (*.csv *.txt)"))
            : chooser.saveFileName(nullptr, QStringLiteral("HAM-lijst exporteren"),
                                   QDir(folder).filePath(QStringLiteral("HAM-lijst.csv")),
                                   QStringLiteral("CSV-bestanden (*.csv)"));
    if (chosen) {
        problem += QStringLiteral("; chosen: ") + *chosen;
    }
    if (!answers.problems().isEmpty()) {
        problem += QStringLiteral("; ") + answers.problems().join(QStringLiteral("; "));
    }
    return problem;
}

// The program's part of the crash test: holds the database open as the program does, stores a
// round, does what the action says (a chooser shows its folder, or the import is given the
// database itself), says "ready", waits for a line on its input (the check by another program
// runs meanwhile), stores three rounds more and waits to be killed. Each round it stored is
// reported on its output.
int holder(const QString &folder, const QString &action) {
    storage::StorageError error;
    const QString database = fixture::databasePath(folder);
    std::unique_ptr<storage::TableCursor> rounds =
        storage::TableCursor::open(database, QStringLiteral("ronde"), &error);
    if (!rounds || !storeRound(*rounds, QStringLiteral("R0"))) {
        return 2;
    }
    std::printf("stored R0\n");

    fixture::Fakes fakes;
    platform::fakes::FakeFileChooser files;
    std::unique_ptr<roundsheet::frmMain> window;
    if (action == QLatin1String("open") || action == QLatin1String("save")) {
        const QString problem =
            showChooser(action == QLatin1String("open") ? Chooser::Open : Chooser::Save, folder);
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return 3;
        }
    } else if (action == QLatin1String("import")) {
        window = fixture::makeMainWindow(folder, fakes.services());
        window->setFileChooser(&files);
        files.queueAnswer(database);
        ModalAnswers answers;  // a preview of what was read, should one show
        answers.then({}, [](QWidget *shown) {
            if (auto *dialog = qobject_cast<QDialog *>(shown)) {
                dialog->reject();
            }
        });
        window->hamimport_Click();
    }
    std::printf("ready\n");
    std::fflush(stdout);

    char line[16];
    if (!std::fgets(line, sizeof line, stdin)) {
        return 4;
    }
    for (int n = 1; n <= 3; ++n) {
        const QString call = QStringLiteral("R%1").arg(n);
        if (!storeRound(*rounds, call)) {
            return 5;
        }
        std::printf("stored %s\n", qPrintable(call));
    }
    std::printf("written\n");
    std::fflush(stdout);
    std::fgets(line, sizeof line, stdin);
    return 0;
}

}  // namespace

Q_DECLARE_METATYPE(Chooser)

class DbLocksTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;

    // The data folder, with room beside it inside the temporary folder.
    QString folder() const { return QDir(dir_->path()).filePath(QStringLiteral("data")); }
    QString file(const QString &name) const { return QDir(folder()).filePath(name); }

    // The database as the running program has it: open, in WAL mode, a round stored, its log
    // and shared memory beside it.
    std::unique_ptr<storage::TableCursor> openDatabase() {
        storage::StorageError error;
        std::unique_ptr<storage::TableCursor> rounds = storage::TableCursor::open(
            fixture::databasePath(folder()), QStringLiteral("ronde"), &error);
        if (!rounds || !storeRound(*rounds, QStringLiteral("PA3ABC"))) {
            qWarning() << error.description;
            return {};
        }
        for (const QString &name : kDatabaseFiles) {
            if (!QFileInfo::exists(file(name))) {
                qWarning() << name << "is missing";
                return {};
            }
        }
        return rounds;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("data")));
        fakes_.messages.clear();
    }

    // Every name that reaches one of the database's files is refused, and the check opens none
    // of them; other files in and beside the folder are not.
    void chosenDatabaseFilesAreKnownWithoutOpening_data() {
        QTest::addColumn<QString>("chosen");  // "@name": a link of that name made to the target
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the database") << "kringbaasbase.mdb"
                                      << "" << true;
        QTest::newRow("its log") << "kringbaasbase.mdb-wal"
                                 << "" << true;
        QTest::newRow("its shared memory") << "kringbaasbase.mdb-shm"
                                           << "" << true;
        QTest::newRow("its journal, not there") << "kringbaasbase.mdb-journal"
                                                << "" << true;
        QTest::newRow("its log in capitals") << "KRINGBAASBASE.MDB-WAL"
                                             << "" << true;
        QTest::newRow("a link elsewhere to the log") << "@../elders/log.csv"
                                                     << "kringbaasbase.mdb-wal" << true;
        QTest::newRow("a link elsewhere to the journal, not there")
            << "@../elders/journal.adi"
            << "kringbaasbase.mdb-journal" << true;
        QTest::newRow("a second name of the database elsewhere") << "=../elders/kopie.csv"
                                                                 << "kringbaasbase.mdb" << true;
        QTest::newRow("the folder by a linked name") << "../map/kringbaasbase.mdb-shm"
                                                     << "" << true;
        QTest::newRow("a backup copy beside it") << "kringbaasbase-2026-12-10.mdb"
                                                 << "" << false;
        QTest::newRow("a list beside it") << "hams.csv"
                                          << "" << false;
        QTest::newRow("the same name in another folder") << "../elders/kringbaasbase.mdb"
                                                         << "" << false;
    }
    void chosenDatabaseFilesAreKnownWithoutOpening() {
        QFETCH(QString, chosen);
        QFETCH(QString, linkTarget);
        QFETCH(bool, refused);
        const std::unique_ptr<storage::TableCursor> db = openDatabase();
        QVERIFY(db);
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("../elders")));
        QVERIFY(QFile::link(folder(), file(QStringLiteral("../map"))));
        fixture::writeFile(file(QStringLiteral("kringbaasbase-2026-12-10.mdb")), "kopie");
        fixture::writeFile(file(QStringLiteral("hams.csv")), "Call;Naam\n");
        fixture::writeFile(file(QStringLiteral("../elders/kringbaasbase.mdb")), "ander");
        QString path = chosen;
        if (chosen.startsWith(QLatin1Char('@'))) {
            path = file(chosen.mid(1));
            QVERIFY(QFile::link(file(linkTarget), path));
        } else if (chosen.startsWith(QLatin1Char('='))) {
            path = file(chosen.mid(1));
            QCOMPARE(::link(QFile::encodeName(file(linkTarget)).constData(),
                            QFile::encodeName(path).constData()),
                     0);
        } else {
            path = file(chosen);
        }

        platform::fakes::FakeFileChooser chooser;
        chooser.keepOut(fixture::databasePath(folder()));
        OpenedFiles opened(folder());
        QVERIFY(opened.ok());
        const QString refusal = chooser.refusal(path);
        QCOMPARE(!refusal.isEmpty(), refused);
        if (refused) {
            QCOMPARE(refusal, QStringLiteral("%1 is een bestand van de database van Kringbaas "
                                             "zelf. Kies een ander bestand.")
                                  .arg(path));
        }
        QCOMPARE(opened.names(), QStringList());
        // A chooser that was not told of a database refuses nothing.
        QCOMPARE(platform::fakes::FakeFileChooser().refusal(path), QString());
    }

    // Qt's file dialogs, to open and to save, look at every file of the data folder and open
    // none of the database's.
    void choosersOpenNoDatabaseFile_data() {
        QTest::addColumn<Chooser>("chooser");
        QTest::newRow("open") << Chooser::Open;
        QTest::newRow("save") << Chooser::Save;
    }
    void choosersOpenNoDatabaseFile() {
        QFETCH(Chooser, chooser);
        const std::unique_ptr<storage::TableCursor> db = openDatabase();
        QVERIFY(db);
        OpenedFiles opened(folder());
        QVERIFY(opened.ok());
        // The watch sees what this process opens.
        fixture::writeFile(file(QStringLiteral("proef.csv")), "Call\n");
        QTRY_COMPARE(opened.names(), QStringList{QStringLiteral("proef.csv")});

        QCOMPARE(showChooser(chooser, folder()), QString());
        QCOMPARE(opened.databaseFiles(), QStringList());
    }

    // Each place that takes a chosen file refuses the database's files with a message, and
    // leaves them as they are.
    void everyPlaceRefusesTheDatabase_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("title");
        QTest::newRow("ADIF of the round, over the log") << "adif"
                                                         << "kringbaasbase.mdb-wal"
                                                         << "Exporteren naar ADIF";
        QTest::newRow("ham list export, over the database") << "csv"
                                                            << "kringbaasbase.mdb"
                                                            << "HAM-lijst exporteren";
        QTest::newRow("ham list import of the database") << "import"
                                                         << "kringbaasbase.mdb"
                                                         << "HAM-lijst importeren";
        QTest::newRow("ham list import of the shared memory") << "import"
                                                              << "kringbaasbase.mdb-shm"
                                                              << "HAM-lijst importeren";
        QTest::newRow("PDF, over the journal") << "pdf"
                                               << "kringbaasbase.mdb-journal"
                                               << "";
    }
    void everyPlaceRefusesTheDatabase() {
        QFETCH(QString, place);
        QFETCH(QString, chosen);
        QFETCH(QString, title);
        fixture::seedTable(folder(), "ronde",
                           {{{"rondecall", "PA3ABC"},
                             {"begintijd", "2026-12-10T19:30:00Z"},
                             {"call1", "PA3ABC"},
                             {"call2", "PD1XYZ"},
                             {"tijd2", "2026-12-10T19:31:05Z"}}});
        fixture::seedRows(folder(), "qrz", {{"PA3ABC", "Henk"}});
        platform::fakes::FakeFileChooser files;
        platform::fakes::FakePrintQueues queues;
        platform::QtPrinterSurface printer(files, nullptr, queues);
        const std::unique_ptr<roundsheet::frmMain> w =
            fixture::makeMainWindow(folder(), fakes_.services(), [&](roundsheet::frmMain &main) {
                main.setFileChooser(&files);
                main.setPrinterSurface(&printer);
            });
        const QStringList before = statsOf(folder());
        QVERIFY2(!before.join(' ').contains(QLatin1String("missing")),
                 qPrintable(before.join('\n')));
        const QString path = file(chosen);
        files.queueAnswer(path);
        fakes_.messages.clear();
        if (place == QLatin1String("adif")) {
            fakes_.messages.queueInput(QStringLiteral("FM"));
            w->adifronde_Click();
        } else if (place == QLatin1String("csv")) {
            w->hamexport_Click();
        } else if (place == QLatin1String("import")) {
            ModalAnswers none;  // no preview of what was read
            w->hamimport_Click();
            QCOMPARE(none.problems(), QStringList());
        } else {
            w->rondeexporteren_Click();
        }
        QCOMPARE(files.pendingAnswers(), 0);
        const QString refusal = QStringLiteral(
                                    "%1 is een bestand van de database van Kringbaas "
                                    "zelf. Kies een ander bestand.")
                                    .arg(path);
        QVERIFY(!fakes_.messages.shown().isEmpty());
        const auto &shown = fakes_.messages.shown().last();
        if (title.isEmpty()) {  // the print-out's failure names the reason in its title
            QCOMPARE(shown.title, refusal);
        } else {
            QCOMPARE(shown.text, refusal);
            QCOMPARE(shown.title, title);
        }
        QCOMPARE(statsOf(folder()), before);
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("kringbaasbase.mdb-journal"))));
    }

    // The way the fault shows: after a chooser looked at the data folder, or the import was given
    // the database, a check by the sqlite3 program and a crash lose no round stored afterwards.
    void aCheckAndACrashLoseNothing_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("the open chooser looked at the folder") << "open";
        QTest::newRow("the save chooser looked at the folder") << "save";
        QTest::newRow("the import was given the database") << "import";
    }
    void aCheckAndACrashLoseNothing() {
        QFETCH(QString, action);
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--holder"), folder(), action});
        QVERIFY(program.waitForStarted());
        const auto stop = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });
        QStringList stored;
        // Reads the program's reports up to the one given.
        auto readUntil = [&](const QByteArray &last) {
            for (;;) {
                while (!program.canReadLine()) {
                    QVERIFY2(program.waitForReadyRead(60000),
                             program.readAllStandardError().constData());
                }
                const QByteArray line = program.readLine().trimmed();
                if (line.startsWith("stored ")) {
                    stored << QString::fromLatin1(line.mid(7));
                } else if (line == last) {
                    return;
                }
            }
        };
        readUntil("ready");
        if (QTest::currentTestFailed()) {
            return;
        }
        // The program still marks the database as in use.
        QVERIFY(lockedByAnother(fixture::databasePath(folder()), kSharedFirst, kSharedSize));
        QVERIFY(lockedByAnother(file(QStringLiteral("kringbaasbase.mdb-shm")), kDeadManSwitch, 1));

        QProcess check;
        check.start(QStringLiteral("sqlite3"),
                    {fixture::databasePath(folder()), QStringLiteral("PRAGMA integrity_check")});
        QVERIFY(check.waitForFinished(60000));
        QCOMPARE(check.readAllStandardOutput().trimmed(), QByteArray("ok"));
        // Checked while the program runs: its log is still there.
        QVERIFY(QFileInfo::exists(file(QStringLiteral("kringbaasbase.mdb-wal"))));

        program.write("go\n");
        readUntil("written");
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(stored, QStringList({"R0", "R1", "R2", "R3"}));
        program.kill();
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);

        const QStringList kept = fixture::storedField(folder(), QStringLiteral("rondecall"));
        for (const QString &round : std::as_const(stored)) {
            QVERIFY2(kept.contains(round), qPrintable(kept.join(", ")));
        }
    }
};

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testsetup::pinEnvironment();
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    if (argc == 4 && qstrcmp(argv[1], "--holder") == 0) {
        return holder(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    DbLocksTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_dblocks.moc"
