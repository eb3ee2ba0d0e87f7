// The main window when a round cannot be stored: the user hears it at once, the round stays on
// screen, the next store tries again, and closing never says a round was stored that was not.

#include "Fixture.h"
#include "MainControls.h"
#include "TestMain.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include <sqlite3.h>

#include <memory>

using platform::MessageAnswer;
using platform::MessageStyle;
using roundsheet::frmMain;

namespace {

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using RawDb = std::unique_ptr<sqlite3, SqliteCloser>;

// Another program that takes the database's write lock and gives it back.
class OtherProgram {
public:
    explicit OtherProgram(const QString &path) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        db_.reset(db);
    }
    bool lock() { return exec("BEGIN IMMEDIATE"); }
    bool release() { return exec("ROLLBACK"); }

private:
    bool exec(const char *sql) {
        return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    RawDb db_;
};

QStringList storedCalls(const QString &path) {
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
    QStringList calls;
    for (int i = 0; table && i < table->count(); ++i) {
        storage::RecordValues values;
        table->read(i, &values, &error);
        calls << values[0].toString();
    }
    return calls;
}

}  // namespace

class StoreFailureTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    std::unique_ptr<frmMain> w_;

    QString database() const {
        return QDir(dir_->path()).filePath(QLatin1String(storage::Database::kFileName));
    }

    // A window with one stored round and a new round begun on it, not stored yet.
    frmMain &windowLeadingARound() {
        QFile flag(QDir(dir_->path()).filePath(QStringLiteral("flag")));
        flag.open(QIODevice::WriteOnly);
        flag.write("aan\r\n");
        flag.close();
        w_ = fixture::makeMainWindow(dir_->path(), fakes_.services());
        w_->tmrRonde_Timer();
        fixture::ui(*w_).Data1->Recordset().AddNew();
        fixture::ui(*w_).txtKringbaasCall->setText(QStringLiteral("PI4ZUD"));
        fixture::ui(*w_).Text1[0]->setText(QStringLiteral("PI4ZUD"));
        return *w_;
    }

private Q_SLOTS:
    void init() {
        storage::Database::setLockWait(0);
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        fakes_.messages.clear();
    }
    void cleanup() {
        if (w_) {
            w_->close();
        }
        w_.reset();
    }

    // The store during the round fails under another program's lock: said at once, naming the
    // file; the sheet keeps the round; the next store, once the lock is gone, stores it.
    void failedStoreReportedAndRetried() {
        frmMain &w = windowLeadingARound();
        OtherProgram other(database());
        QVERIFY(other.lock());
        w.storeRound();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Ronde niet opgeslagen"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        QVERIFY2(fakes_.messages.shown()[0].text.contains(QDir::toNativeSeparators(database())),
                 qPrintable(fakes_.messages.shown()[0].text));
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PI4ZUD"));
        QCOMPARE(fixture::ui(w).Text1[0]->text(), QStringLiteral("PI4ZUD"));
        QCOMPARE(storedCalls(database()), QStringList({""}));

        QVERIFY(other.release());
        w.storeRound();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(storedCalls(database()), QStringList({"", "PI4ZUD"}));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("2"));
    }

    // A move by the navigation bar whose save fails stays on the round and says why.
    void failedSaveOfAMoveShown() {
        frmMain &w = windowLeadingARound();
        OtherProgram other(database());
        QVERIFY(other.lock());
        fixture::ui(w).Data1->firstButton()->click();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QVERIFY(fakes_.messages.shown()[0].text.contains(QStringLiteral("vergrendeld")));
        QCOMPARE(fixture::ui(w).Data1->Recordset().state(), storage::CursorState::PendingNew);
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PI4ZUD"));
        QVERIFY(other.release());
    }

    // Yes in the start dialog first stores the edits of the round on screen; when that fails no
    // new round begins, and the user hears it with the reason. The round on screen keeps its
    // edits, and a round being led is led still (at the start, stored rounds are browsed).
    void failedNewRoundIsSaid_data() {
        QTest::addColumn<bool>("leading");
        QTest::newRow("at the start") << false;
        QTest::newRow("while a round is led") << true;
    }
    void failedNewRoundIsSaid() {
        QFETCH(bool, leading);
        w_ = fixture::makeMainWindow(dir_->path(), fakes_.services());
        frmMain &w = *w_;
        w.tmrRonde_Timer();
        if (leading) {
            roundsheet::frmDialog dlg(w);
            dlg.tmrUnload->stop();
            fakes_.messages.queueAnswer(MessageAnswer::Yes);
            dlg.tmrUnload_Timer();
            dlg.Text1->setText(QStringLiteral("PI4ZUD"));
            dlg.Text2->setText(QStringLiteral("Henk"));
            dlg.OKButton_Click();
            w.Timer1->stop();
            w.tmrRondeTijd->stop();
        }
        fixture::ui(w).Text2[0]->setText(QStringLiteral("Piet"));
        OtherProgram other(database());
        QVERIFY(other.lock());
        fakes_.messages.clear();

        roundsheet::frmDialog dlg(w);
        dlg.tmrUnload->stop();
        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        dlg.tmrUnload_Timer();
        QCOMPARE(fakes_.messages.shown().size(), 2);
        const auto &said = fakes_.messages.shown()[1];
        QCOMPARE(said.title, QStringLiteral("Geen nieuwe ronde"));
        QCOMPARE(said.style, MessageStyle::OkCritical);
        QVERIFY2(said.text.startsWith(QStringLiteral("Er is geen nieuwe ronde begonnen")) &&
                     said.text.contains(QStringLiteral("vergrendeld")),
                 qPrintable(said.text));
        QVERIFY(dlg.outcome() == roundsheet::frmDialog::Outcome::NotBegun);
        QCOMPARE(fixture::ui(w).Text2[0]->text(), QStringLiteral("Piet"));
        QCOMPARE(fixture::ui(w).Command1->isEnabled(), leading);
        QCOMPARE(w.sheet().addingAllowed(), leading);

        QVERIFY(other.release());
        w.close();
        const QStringList calls = storedCalls(database());
        QCOMPARE(calls.size(), leading ? 2 : 1);
        storage::StorageError error;
        auto table = storage::TableCursor::open(database(), QStringLiteral("ronde"), &error);
        storage::RecordValues values;
        QVERIFY(table && table->read(table->count() - 1, &values, &error));
        QCOMPARE(storage::Round::fromRecord(values).participants[0].name, QStringLiteral("Piet"));
    }

    void closingWithRoundNotStored_data() {
        QTest::addColumn<bool>("tryAgain");
        QTest::newRow("close anyway") << false;
        QTest::newRow("try again once the lock is gone") << true;
    }

    // Closing asks; "Ronde is opgeslagen!" follows only a round that was stored.
    void closingWithRoundNotStored() {
        QFETCH(bool, tryAgain);
        frmMain &w = windowLeadingARound();
        OtherProgram other(database());
        QVERIFY(other.lock());
        int validations = 0;
        connect(&w.sheet(), &roundmodel::RoundSheet::leaving, this, [&] {
            if (++validations == 2 && tryAgain) {
                other.release();
            }
        });
        fakes_.messages.queueAnswer(tryAgain ? MessageAnswer::Yes : MessageAnswer::No);
        w.close();

        QVERIFY(fakes_.messages.shown().size() >= 1);
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::YesNoQuestion);
        QVERIFY2(fakes_.messages.shown()[0].text.startsWith(
                     QStringLiteral("De ronde is niet opgeslagen.")) &&
                     fakes_.messages.shown()[0].text.contains(QDir::toNativeSeparators(database())),
                 qPrintable(fakes_.messages.shown()[0].text));
        bool farewell = false;
        for (const auto &shown : fakes_.messages.shown()) {
            if (shown.text.startsWith(QStringLiteral("Ronde is opgeslagen!"))) {
                farewell = true;
                // The round went in after the blank one: the farewell names where it stands.
                QCOMPARE(shown.title, QStringLiteral("Afsluiten en opslaan van ronde 2"));
            }
        }
        QCOMPARE(farewell, tryAgain);
        QCOMPARE(fakes_.messages.shown().size(), 2 - (tryAgain ? 0 : 1));
        w_.reset();
        other.release();
        QCOMPARE(storedCalls(database()),
                 tryAgain ? QStringList({"", "PI4ZUD"}) : QStringList({""}));
    }
};

KB_TEST_MAIN(StoreFailureTest)
#include "tst_storefailure.moc"
