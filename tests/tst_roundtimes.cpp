#include "TestMain.h"

#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"
#include "platform/fakes/ManualTimers.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

using platform::MessageAnswer;
using roundsheet::frmDialog;
using roundsheet::frmMain;
using roundsheet::frmToevoegen;

// The times of a round: the begin of the round and the placing of each call with Enter, in UTC,
// stored with the round; a call typed or changed by hand has none.
class RoundTimesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void timesOfARound();

private:
    platform::fakes::FakeMessageBoxes messages_;
    platform::fakes::FakeClock clock_;
    platform::fakes::FakeWebLauncher web_;
    platform::fakes::ManualTimers timers_;
};

void RoundTimesTest::timesOfARound() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    frmMain w(dir.path(), roundsheet::Services{messages_, clock_, web_, timers_});
    w.load();
    w.startupTimer->stop();
    w.tmrRonde->stop();
    w.Timer1->stop();
    w.tmrRonde_Timer();

    frmDialog dlg(w);
    dlg.tmrUnload->stop();
    messages_.queueAnswer(MessageAnswer::Yes);
    dlg.tmrUnload_Timer();
    dlg.Text1->setText(QStringLiteral("PA3ABC"));
    dlg.Text2->setText(QStringLiteral("Henk"));
    const QDateTime begin = clock_.utcNow();
    dlg.OKButton_Click();
    QCOMPARE(dlg.outcome(), frmDialog::Outcome::RoundBegun);
    QCOMPARE(storage::storedTime(w.txtBegintijd->text()), begin);
    QCOMPARE(w.txtTijd[0]->text(), QString());  // the controller's own row is not placed

    clock_.advanceSecs(65);
    {
        frmToevoegen box(w);
        box.Text1->setText(QStringLiteral("pd1xyz"));
        box.Text1_Enter();
    }
    w.tmrToeVoeg->stop();
    QCOMPARE(w.Text1[1]->text(), QStringLiteral("PD1XYZ"));
    QCOMPARE(w.txtTijd[1]->text(), storage::storedTimeText(begin.addSecs(65)));
    w.Text1[2]->setText(QStringLiteral("PE2AA"));  // typed into the sheet
    QCOMPARE(w.txtTijd[2]->text(), QString());
    w.storeRound();

    // Stored with the round, and shown again when the round is shown again.
    const QString path = QDir(dir.path()).filePath(QLatin1String(storage::Database::kFileName));
    storage::StorageError error;
    {
        auto cursor = storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
        QVERIFY2(cursor, qPrintable(error.description));
        storage::RecordValues values;
        QVERIFY(cursor->read(cursor->count() - 1, &values, &error));
        const storage::Round stored = storage::Round::fromRecord(values);
        QCOMPARE(stored.begintijd, begin);
        QCOMPARE(stored.participants[1].tijd, begin.addSecs(65));
        QVERIFY(!stored.participants[2].tijd.isValid());
        QCOMPARE(w.round(), stored);
    }
    QVERIFY(w.Data1->Recordset().MoveFirst());
    QVERIFY(w.Data1->Recordset().MoveLast());
    QCOMPARE(w.txtTijd[1]->text(), storage::storedTimeText(begin.addSecs(65)));
    QCOMPARE(w.round().begintijd, begin);

    // A placed call changed by hand is no longer the call placed at that time.
    w.Text1[1]->setText(QStringLiteral("PD1XYY"));
    QCOMPARE(w.txtTijd[1]->text(), QString());
}

KB_TEST_MAIN(RoundTimesTest)
#include "tst_roundtimes.moc"
