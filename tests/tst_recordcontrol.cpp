#include "TestMain.h"

#include "storage/RecordControl.h"
#include "storage/TableCursor.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using storage::CursorState;
using storage::DataAction;
using storage::RecordControl;

namespace {

struct Ham {
    QString call;
    QString naam;
};

// A table filled with exactly the given hams, in this order.
void seedQrz(const QString &path, const QList<Ham> &hams) {
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("qrz"), &error);
    QVERIFY2(table, qPrintable(error.description));
    while (table->count() > 0) {
        QVERIFY(table->remove(0, &error));
    }
    for (const Ham &ham : hams) {
        QVERIFY(table->append({0, 1}, {QVariant(ham.call), QVariant(ham.naam)}, &error));
    }
}

// What is stored, read past the record control.
QStringList storedCalls(const QString &path) {
    storage::StorageError error;
    auto table = storage::TableCursor::open(path, QStringLiteral("qrz"), &error);
    QStringList calls;
    for (int i = 0; table && i < table->count(); ++i) {
        storage::RecordValues values;
        table->read(i, &values, &error);
        calls << values[0].toString() + QLatin1Char('/') + values[1].toString();
    }
    return calls;
}

// A stand-in for the ham list window: two bound text boxes and a bound multi-line box.
struct HamWindow {
    explicit HamWindow(const QString &path) {
        data = new RecordControl(&window);
        call = new QLineEdit(&window);
        naam = new QLineEdit(&window);
        byz = new QPlainTextEdit(&window);
        data->setDatabaseName(path);
        data->setRecordSource(QStringLiteral("qrz"));
        data->bind(call, QStringLiteral("call"));
        data->bind(naam, QStringLiteral("naam"));
        data->bind(byz, QStringLiteral("byzonderheden"));
    }
    storage::Recordset &rs() { return data->Recordset(); }

    QWidget window;
    RecordControl *data;
    QLineEdit *call;
    QLineEdit *naam;
    QPlainTextEdit *byz;
};

const QList<Ham> kFiveHams = {{"PA3ABC", "JAN"},
                              {"PD0XYZ", "ANTON"},
                              {"ON4ABC", "PIET"},
                              {"PA3ABCD", "KEES"},
                              {"PE1AAA", "JAN"}};

}  // namespace

class RecordControlTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<HamWindow> w_;

    void open(const QList<Ham> &hams) {
        seedQrz(path_, hams);
        w_ = std::make_unique<HamWindow>(path_);
        QVERIFY(w_->data->open());
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("kringbaasbase.mdb"));
        QFile::remove(path_);
    }
    void cleanup() { w_.reset(); }

    void openingShowsTheFirstRecordOnce() {
        seedQrz(path_, kFiveHams);
        HamWindow w(path_);
        QSignalSpy reposition(w.data, &RecordControl::Reposition);
        QVERIFY(w.data->open());
        QCOMPARE(reposition.count(), 1);
        QCOMPARE(w.call->text(), QStringLiteral("PA3ABC"));
        QCOMPARE(w.rs().AbsolutePosition(), 0);
        QCOMPARE(w.rs().RecordCount(), 5);
        QVERIFY(!w.data->DataChanged());
    }

    void oneRecordBeforeFirstAndBack() {
        open({{"PA3ABC", "JAN"}});
        auto &rs = w_->rs();
        QVERIFY(rs.MovePrevious());
        QCOMPARE(rs.state(), CursorState::BeforeFirst);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABC"));  // controls keep their values
        QVERIFY(!rs.MovePrevious());
        QVERIFY(rs.MoveNext());
        QCOMPARE(rs.state(), CursorState::OnRecord);
        QCOMPARE(rs.AbsolutePosition(), 0);

        QVERIFY(rs.MoveNext());
        QCOMPARE(rs.state(), CursorState::AfterLast);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QVERIFY(!rs.MoveNext());
        QCOMPARE(w_->data->lastError().code, storage::StorageError::kNoCurrentRecord);
        QVERIFY(rs.MovePrevious());
        QCOMPARE(rs.AbsolutePosition(), 0);
    }

    void movesFollowInsertionOrder() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QStringList seen;
        QVERIFY(rs.MoveFirst());
        while (rs.state() == CursorState::OnRecord) {
            seen << w_->call->text();
            QVERIFY(rs.MoveNext());
        }
        QCOMPARE(seen, QStringList({"PA3ABC", "PD0XYZ", "ON4ABC", "PA3ABCD", "PE1AAA"}));
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.AbsolutePosition(), 4);
        QVERIFY(rs.setAbsolutePosition(2));
        QCOMPARE(w_->call->text(), QStringLiteral("ON4ABC"));
    }

    void addNewWithoutChangeAddsNothing() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.MoveLast());
        QVERIFY(rs.AddNew());
        QCOMPARE(rs.state(), CursorState::PendingNew);
        QCOMPARE(w_->call->text(), QString());
        QCOMPARE(rs.AbsolutePosition(), -1);
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.RecordCount(), 5);
        QCOMPARE(storedCalls(path_).size(), 5);
    }

    void addNewWithOneTypedCharacterAddsOneRecordAtTheEnd() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(1));
        QVERIFY(rs.AddNew());
        QCOMPARE(rs.RecordCount(), 5);  // the pending record is not counted yet
        QTest::keyClick(w_->call, Qt::Key_X);
        QVERIFY(w_->data->isChanged(w_->call));
        QVERIFY(!w_->data->isChanged(w_->naam));
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.RecordCount(), 6);
        QCOMPARE(rs.AbsolutePosition(), rs.RecordCount() - 1);
        QCOMPARE(w_->call->text(), QStringLiteral("x"));
        QCOMPARE(storedCalls(path_).last(), QStringLiteral("x/"));
    }

    void movesAfterAddNewAreRelativeToTheRecordBefore() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(1));
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("NEW"));
        QVERIFY(rs.MoveNext());
        QCOMPARE(w_->call->text(), QStringLiteral("ON4ABC"));
        QCOMPARE(rs.RecordCount(), 6);
    }

    void updateRecordOfPendingRecordAndBookmark() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(2));
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA9NEW"));
        QVERIFY(w_->data->UpdateRecord());
        // The record that was current before AddNew is current again...
        QCOMPARE(rs.AbsolutePosition(), 2);
        QCOMPARE(w_->call->text(), QStringLiteral("ON4ABC"));
        // ...and the new one is reached through its bookmark.
        QVERIFY(rs.setBookmark(rs.LastModified()));
        QCOMPARE(w_->call->text(), QStringLiteral("PA9NEW"));
        QCOMPARE(rs.AbsolutePosition(), 5);
        QCOMPARE(rs.RecordCount(), 6);
    }

    void updateInsertsPendingAndWritesOnlyWhenChanged() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QSignalSpy validate(w_->data, &RecordControl::Validate);
        // Nothing changed: nothing is written, not even what the window put into a box itself.
        const QStringList before = storedCalls(path_);
        {
            const QSignalBlocker quiet(w_->naam);
            w_->naam->setText(QStringLiteral("NOT AN EDIT"));
        }
        QVERIFY(rs.Update());
        QCOMPARE(validate.count(), 1);
        QCOMPARE(validate.at(0).at(0).value<DataAction>(), DataAction::Update);
        QCOMPARE(validate.at(0).at(1).toBool(), false);
        QCOMPARE(storedCalls(path_), before);

        w_->naam->setText(QStringLiteral("JANTJE"));
        QVERIFY(rs.Update());
        QVERIFY(!w_->data->DataChanged());
        QCOMPARE(storedCalls(path_).first(), QStringLiteral("PA3ABC/JANTJE"));

        QVERIFY(rs.AddNew());
        QVERIFY(rs.Update());  // a pending record is inserted even when empty
        QCOMPARE(rs.RecordCount(), 6);
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABC"));
    }

    void saveStepRaisesValidateWithItsArguments() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QSignalSpy validate(w_->data, &RecordControl::Validate);
        QVERIFY(rs.MoveNext());
        w_->naam->setText(QStringLiteral("TONNIE"));
        QVERIFY(rs.MoveLast());
        QVERIFY(rs.FindFirst(QStringLiteral("call ='PA3ABC'")));
        QVERIFY(rs.AddNew());
        QCOMPARE(validate.count(), 4);
        const QList<QPair<DataAction, bool>> expected = {{DataAction::MoveNext, false},
                                                         {DataAction::MoveLast, true},
                                                         {DataAction::Find, false},
                                                         {DataAction::AddNew, false}};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(validate.at(i).at(0).value<DataAction>(), expected[i].first);
            QCOMPARE(validate.at(i).at(1).toBool(), expected[i].second);
        }
        QCOMPARE(storedCalls(path_).at(1), QStringLiteral("PD0XYZ/TONNIE"));
    }

    void findFollowsTableOrder_data() {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QStringList>("hits");
        QTest::newRow("equality ignores case") << "call ='pa3abc'" << QStringList{"PA3ABC"};
        QTest::newRow("ends with") << "call LIKE'*ABC'" << QStringList{"PA3ABC", "ON4ABC"};
        QTest::newRow("contains") << "naam LIKE'*AN*'" << QStringList{"PA3ABC", "PD0XYZ", "PE1AAA"};
        QTest::newRow("duplicates in order") << "naam ='jan'" << QStringList{"PA3ABC", "PE1AAA"};
        QTest::newRow("pattern characters typed")
            << "call LIKE'*AB?'" << QStringList{"PA3ABC", "ON4ABC"};
        QTest::newRow("no hit") << "call ='PA0ZZZ'" << QStringList{};
    }
    void findFollowsTableOrder() {
        QFETCH(QString, criterion);
        QFETCH(QStringList, hits);
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(2));
        QStringList found;
        QVERIFY(rs.FindFirst(criterion));
        while (!rs.NoMatch()) {
            found << w_->call->text();
            QVERIFY(found.size() <= 5);
            QVERIFY(rs.FindNext(criterion));
        }
        QCOMPARE(found, hits);
        // After the last match, or without any, the record current before stays current.
        QCOMPARE(w_->call->text(), hits.isEmpty() ? QStringLiteral("ON4ABC") : hits.last());
        QCOMPARE(rs.state(), CursorState::OnRecord);
    }

    void findFromPendingRecordComesBackToTheRecordBefore() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(3));
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA7NEW"));
        QVERIFY(rs.FindFirst(QStringLiteral("call ='NOSUCH'")));
        QVERIFY(rs.NoMatch());
        QCOMPARE(rs.RecordCount(), 6);
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABCD"));  // not the saved new record
        QVERIFY(!w_->data->DataChanged());
    }

    void badCriterionChangesNothing_data() {
        QTest::addColumn<QString>("criterion");
        QTest::newRow("quote in value") << "naam ='O'Brien'";
        QTest::newRow("unmatched bracket") << "call LIKE'*[AB*'";
        QTest::newRow("unknown field") << "nosuchfield ='x'";
        QTest::newRow("not a criterion") << "DROP TABLE qrz";
        QTest::newRow("empty") << "";
        QTest::newRow("sql in value") << "call =''; DELETE FROM qrz; --'";
    }
    void badCriterionChangesNothing() {
        QFETCH(QString, criterion);
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(1));
        w_->naam->setText(QStringLiteral("EDITED"));
        QSignalSpy validate(w_->data, &RecordControl::Validate);
        const QStringList before = storedCalls(path_);

        QVERIFY(!rs.FindFirst(criterion));
        QVERIFY(rs.NoMatch());
        QVERIFY(!rs.FindNext(criterion));
        QVERIFY(w_->data->lastError());
        QCOMPARE(validate.count(), 0);
        QCOMPARE(rs.AbsolutePosition(), 1);
        QCOMPARE(w_->naam->text(), QStringLiteral("EDITED"));
        QVERIFY(w_->data->isChanged(w_->naam));
        QCOMPARE(storedCalls(path_), before);
    }

    void deletedRecordRenumbersTheLaterOnes() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(2));
        const storage::Bookmark deleted = rs.bookmark();
        QVERIFY(rs.Delete());
        QCOMPARE(rs.state(), CursorState::Deleted);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QCOMPARE(w_->call->text(), QStringLiteral("ON4ABC"));  // still shows the removed values
        QCOMPARE(rs.RecordCount(), 4);
        QVERIFY(!rs.Delete());

        QVERIFY(rs.MoveNext());  // to the record that followed the deleted one
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABCD"));
        QCOMPARE(rs.AbsolutePosition(), 2);
        QVERIFY(!rs.setBookmark(deleted));
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABCD"));
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(storedCalls(path_),
                 QStringList({"PA3ABC/JAN", "PD0XYZ/ANTON", "PA3ABCD/KEES", "PE1AAA/JAN"}));
    }

    void editsOfADeletedRecordGoNowhere() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.MoveLast());
        QVERIFY(rs.Delete());
        w_->naam->setText(QStringLiteral("GHOST"));
        QVERIFY(rs.MoveLast());
        QCOMPARE(storedCalls(path_).size(), 4);
        QVERIFY(!storedCalls(path_).join(QLatin1Char(',')).contains(QStringLiteral("GHOST")));
    }

    void positionWriteOutOfRangeFails() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(4));
        QVERIFY(!rs.setAbsolutePosition(5));
        QVERIFY(!rs.setAbsolutePosition(-1));
        QCOMPARE(rs.AbsolutePosition(), 4);
        QCOMPARE(w_->call->text(), QStringLiteral("PE1AAA"));
    }

    // A window whose change handler writes into another bound control while a record loads (the
    // round sheet looks each loaded call up and fills the row): the record still shows what is
    // stored and nothing counts as changed.
    void loadEndsWithStoredValuesAndNoChangedFlags() {
        open(kFiveHams);
        int lookups = 0;
        QObject::connect(w_->call, &QLineEdit::textChanged, w_->call, [&](const QString &text) {
            ++lookups;
            w_->naam->setText(QStringLiteral("LOOKED UP ") + text);
        });
        auto &rs = w_->rs();
        QVERIFY(rs.MoveNext());
        QCOMPARE(lookups, 1);
        QCOMPARE(w_->naam->text(), QStringLiteral("ANTON"));
        QVERIFY(!w_->data->DataChanged());
        QVERIFY(rs.MoveFirst());
        QCOMPARE(storedCalls(path_), QStringList({"PA3ABC/JAN", "PD0XYZ/ANTON", "ON4ABC/PIET",
                                                  "PA3ABCD/KEES", "PE1AAA/JAN"}));

        // After loading, the same handler's writes are edits.
        w_->call->setText(QStringLiteral("PA3ABC"));  // unchanged text: no change
        QVERIFY(!w_->data->DataChanged());
        w_->call->setText(QStringLiteral("PA3XYZ"));
        QVERIFY(w_->data->isChanged(w_->call));
        QVERIFY(w_->data->isChanged(w_->naam));
    }

    // What a Reposition handler does to the controls (the main window empties its distances) is
    // not an edit: a later edit of another field must not store it.
    void repositionHandlerChangesAreNotStored() {
        open(kFiveHams);
        QObject::connect(w_->data, &RecordControl::Reposition, w_->naam,
                         [&] { w_->naam->clear(); });
        auto &rs = w_->rs();
        QVERIFY(rs.MoveNext());
        QCOMPARE(w_->naam->text(), QString());
        QVERIFY(!w_->data->DataChanged());
        QVERIFY(rs.MoveNext());
        QVERIFY(rs.MovePrevious());
        w_->call->setText(QStringLiteral("PD0NEW"));
        QVERIFY(rs.Update());
        QCOMPARE(storedCalls(path_).at(1), QStringLiteral("PD0NEW/ANTON"));
        w_->call->setText(QStringLiteral("PD0NEWER"));
        QVERIFY(rs.MoveLast());  // the save step of a move
        QCOMPARE(storedCalls(path_).at(1), QStringLiteral("PD0NEWER/ANTON"));
    }

    // A window's handler that tries to move the cursor while a record loads, or while the
    // record control validates, is refused: the controls would show one record and the edits go
    // into another.
    void cursorStaysPutWhileLoadingOrValidating() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QList<bool> innerMoves;
        auto connection = QObject::connect(w_->naam, &QLineEdit::textChanged, w_->naam,
                                           [&] { innerMoves << rs.MoveLast(); });
        QVERIFY(rs.MoveNext());
        QObject::disconnect(connection);
        QCOMPARE(innerMoves, QList<bool>{false});
        QCOMPARE(w_->data->lastError().code, storage::StorageError::kNotAllowed);
        QCOMPARE(rs.AbsolutePosition(), 1);
        QCOMPARE(w_->naam->text(), QStringLiteral("ANTON"));

        // What a Validate handler edits is saved with the record it leaves.
        connection = QObject::connect(w_->data, &RecordControl::Validate, w_->naam, [&] {
            innerMoves << rs.AddNew();
            w_->naam->setText(QStringLiteral("TONNIE"));
        });
        QVERIFY(rs.MoveNext());
        QObject::disconnect(connection);
        QCOMPARE(innerMoves.last(), false);
        QCOMPARE(rs.RecordCount(), 5);
        QCOMPARE(storedCalls(path_).at(1), QStringLiteral("PD0XYZ/TONNIE"));
    }

    // A record added while no record was current becomes the current one, so what the user
    // types next goes into it.
    void recordAddedWithoutCurrentRecordBecomesCurrent() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.MoveLast());
        QVERIFY(rs.MoveNext());
        QCOMPARE(rs.state(), CursorState::AfterLast);
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA6NEW"));
        QVERIFY(rs.Update());
        QCOMPARE(rs.state(), CursorState::OnRecord);
        QCOMPARE(rs.AbsolutePosition(), 5);
        w_->naam->setText(QStringLiteral("FRANS"));
        QVERIFY(w_->data->close());
        QCOMPARE(storedCalls(path_).last(), QStringLiteral("PA6NEW/FRANS"));
    }

    // However the cursor stood without a current record, the record added there is the new last
    // one, and a step back from it lands on the record before it.
    void stepBackFromARecordAddedWithoutCurrentRecord_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("update");
        for (const char *before : {"after last", "before first", "deleted"}) {
            QTest::addRow("%s, saved by the move", before) << QString::fromLatin1(before) << false;
            QTest::addRow("%s, saved by Update", before) << QString::fromLatin1(before) << true;
        }
    }
    void stepBackFromARecordAddedWithoutCurrentRecord() {
        QFETCH(QString, before);
        QFETCH(bool, update);
        open(kFiveHams);
        auto &rs = w_->rs();
        if (before == QLatin1String("after last")) {
            QVERIFY(rs.MoveLast());
            QVERIFY(rs.MoveNext());
        } else if (before == QLatin1String("before first")) {
            QVERIFY(rs.MoveFirst());
            QVERIFY(rs.MovePrevious());
        } else {
            QVERIFY(rs.setAbsolutePosition(2));
            QVERIFY(rs.Delete());
        }
        const QStringList stored = storedCalls(path_);
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA6NEW"));
        if (update) {
            QVERIFY(rs.Update());
        }
        QVERIFY(rs.MovePrevious());
        QCOMPARE(rs.state(), CursorState::OnRecord);
        QCOMPARE(rs.AbsolutePosition(), rs.RecordCount() - 2);
        QCOMPARE(w_->call->text() + QLatin1Char('/') + w_->naam->text(), stored.last());
    }

    // Store keeps the window as it is: the new record is added and becomes current without a
    // reload, so what a Reposition handler would empty stays on screen.
    void storeStaysOnTheRecord() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(1));
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA8NEW"));
        QSignalSpy reposition(w_->data, &RecordControl::Reposition);
        QVERIFY(rs.Store());
        QCOMPARE(reposition.count(), 0);
        QCOMPARE(rs.state(), CursorState::OnRecord);
        QCOMPARE(rs.AbsolutePosition(), 5);
        QCOMPARE(rs.RecordCount(), 6);
        QCOMPARE(storedCalls(path_).last(), QStringLiteral("PA8NEW/"));
        QVERIFY(!w_->data->DataChanged());

        w_->naam->setText(QStringLiteral("NINA"));
        QVERIFY(rs.Store());
        QCOMPARE(storedCalls(path_).last(), QStringLiteral("PA8NEW/NINA"));
        QCOMPARE(rs.RecordCount(), 6);
    }

    void cancelUpdateDropsThePendingRecord() {
        open(kFiveHams);
        auto &rs = w_->rs();
        QVERIFY(rs.setAbsolutePosition(3));
        QVERIFY(!rs.CancelUpdate());  // nothing pending
        QVERIFY(rs.AddNew());
        w_->call->setText(QStringLiteral("PA9GONE"));
        QVERIFY(rs.CancelUpdate());
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABCD"));
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.RecordCount(), 5);
        QCOMPARE(storedCalls(path_).size(), 5);
    }

    void closingStoresPendingEdits() {
        open(kFiveHams);
        QVERIFY(w_->rs().setAbsolutePosition(3));
        w_->byz->setPlainText(QStringLiteral("Regel 1\nRegel 2"));
        QVERIFY(w_->data->close());
        QVERIFY(!w_->data->isOpen());

        HamWindow again(path_);
        QVERIFY(again.data->open());
        QVERIFY(again.rs().setAbsolutePosition(3));
        QCOMPARE(again.byz->toPlainText(), QStringLiteral("Regel 1\nRegel 2"));
    }

    // A text box's length limits typing, never the record: a longer stored text is shown whole,
    // and one longer than a text box holds at all is shown in part, read-only, and saved whole.
    void storedTextLongerThanItsBox_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("pairAtTheCut");  // a character outside the BMP where it is cut
        QTest::addColumn<int>("shown");          // characters shown before the ellipsis; -1: all
        QTest::newRow("within the box's length") << 8 << false << -1;
        QTest::newRow("over the box's length") << 25 << false << -1;
        QTest::newRow("all a text box holds") << 32767 << false << -1;
        QTest::newRow("one more") << 32768 << false << 32766;
        QTest::newRow("far more") << 100000 << false << 32766;
        QTest::newRow("a pair at the cut") << 40000 << true << 32765;
    }
    void storedTextLongerThanItsBox() {
        QFETCH(int, length);
        QFETCH(bool, pairAtTheCut);
        QFETCH(int, shown);
        QString naam(length, QLatin1Char('n'));
        if (pairAtTheCut) {
            naam.replace(32765, 2, QStringLiteral("\U0001F4FB"));
        }
        seedQrz(path_, {{"PA3ABC", naam}, {"PD0XYZ", "ANTON"}});
        QWidget window;
        auto *data = new RecordControl(&window);
        auto *call = new QLineEdit(&window);
        auto *box = new QLineEdit(&window);
        box->setMaxLength(10);
        data->setDatabaseName(path_);
        data->setRecordSource(QStringLiteral("qrz"));
        QVERIFY(data->bind(call, QStringLiteral("call")));
        QVERIFY(data->bind(box, QStringLiteral("naam")));
        QVERIFY(data->open());
        QVERIFY(!data->DataChanged());
        if (shown < 0) {
            QCOMPARE(box->text(), naam);
            QVERIFY(!box->isReadOnly());
            QVERIFY(box->toolTip().isEmpty());
            // Typing adds nothing to a text at or over the box's length.
            if (length >= 10) {
                box->end(false);
                QTest::keyClicks(box, QStringLiteral("zz"));
                QCOMPARE(box->text(), naam);
            }
        } else {
            QCOMPARE(box->text(), naam.left(shown) + QStringLiteral("\u2026"));
            QVERIFY(box->isReadOnly());
            QCOMPARE(box->toolTip(), QStringLiteral("Deze tekst is %1 tekens lang; hier staan de "
                                                    "eerste %2. Hij blijft bij opslaan heel "
                                                    "bewaard, maar is hier niet te wijzigen.")
                                         .arg(length)
                                         .arg(shown));
            QCOMPARE(box->accessibleDescription(), box->toolTip());
            // Whatever the program puts in the box shown in part, the record keeps its text.
            box->setText(box->text().toUpper());
        }
        call->setText(QStringLiteral("PA3XYZ"));
        QVERIFY(data->UpdateRecord());
        QVERIFY(data->Recordset().MoveNext());
        QCOMPARE(box->text(), QStringLiteral("ANTON"));
        QVERIFY(!box->isReadOnly());
        QVERIFY(box->toolTip().isEmpty());
        QCOMPARE(box->maxLength(), 10);
        QVERIFY(data->close());
        QCOMPARE(storedCalls(path_), QStringList({"PA3XYZ/" + naam, "PD0XYZ/ANTON"}));
    }

    void checkBoxesAreBoundToCheckStates() {
        QWidget window;
        auto *data = new RecordControl(&window);
        auto *call = new QLineEdit(&window);
        auto *luis = new QCheckBox(&window);
        data->setDatabaseName(path_);
        data->setRecordSource(QStringLiteral("ronde"));
        QVERIFY(data->bind(call, QStringLiteral("call1")));
        QVERIFY(data->bind(luis, QStringLiteral("luis30")));
        QVERIFY(!data->bind(call, QStringLiteral("call31")));
        QVERIFY(data->open());
        QVERIFY(!luis->isChecked());
        auto &rs = data->Recordset();
        QVERIFY(rs.AddNew());
        luis->setChecked(true);
        QVERIFY(data->isChanged(luis));
        QVERIFY(rs.MoveLast());
        QVERIFY(luis->isChecked());
        QVERIFY(rs.MoveFirst());
        QVERIFY(!luis->isChecked());
        QVERIFY(!data->DataChanged());
        QVERIFY(rs.MoveLast());
        QVERIFY(luis->isChecked());
    }

    void navigationBarStaysOnTheRecords() {
        open(kFiveHams);
        RecordControl *data = w_->data;
        QCOMPARE(data->firstButton()->accessibleName(), QStringLiteral("Eerste"));
        QCOMPARE(data->previousButton()->accessibleName(), QStringLiteral("Vorige"));
        QCOMPARE(data->nextButton()->accessibleName(), QStringLiteral("Volgende"));
        QCOMPARE(data->lastButton()->accessibleName(), QStringLiteral("Laatste"));

        data->previousButton()->click();
        QCOMPARE(w_->rs().AbsolutePosition(), 0);
        data->nextButton()->click();
        QCOMPARE(w_->rs().AbsolutePosition(), 1);
        data->lastButton()->click();
        data->nextButton()->click();
        QCOMPARE(w_->rs().AbsolutePosition(), 4);
        QCOMPARE(w_->call->text(), QStringLiteral("PE1AAA"));
        data->firstButton()->click();
        QCOMPARE(w_->call->text(), QStringLiteral("PA3ABC"));

        data->setCaption(QStringLiteral("Amateur : 1 van de 5"));
        QCOMPARE(data->Caption(), QStringLiteral("Amateur : 1 van de 5"));
        QVERIFY(data->findChild<QLabel *>()->text() == data->Caption());
    }

    // "Previous" at the first record and "next" at the last are moves like any other: the edit
    // is saved and the record loaded again.
    void navigationBarAtTheEndsSavesTheEdit_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("previous");
        QTest::newRow("previous at the first") << 0 << true;
        QTest::newRow("next at the last") << 4 << false;
    }
    void navigationBarAtTheEndsSavesTheEdit() {
        QFETCH(int, position);
        QFETCH(bool, previous);
        open(kFiveHams);
        RecordControl *data = w_->data;
        QVERIFY(w_->rs().setAbsolutePosition(position));
        QSignalSpy validate(data, &RecordControl::Validate);
        QSignalSpy reposition(data, &RecordControl::Reposition);
        w_->naam->setText(QStringLiteral("GEWIJZIGD"));
        (previous ? data->previousButton() : data->nextButton())->click();
        QVERIFY(validate.count() >= 1);
        QVERIFY(reposition.count() >= 1);
        QCOMPARE(w_->rs().AbsolutePosition(), position);
        QVERIFY(!data->DataChanged());
        QVERIFY(storedCalls(path_)[position].endsWith(QStringLiteral("/GEWIJZIGD")));
    }

    void captionIsShown() {
        RecordControl *data = nullptr;
        open(kFiveHams);
        data = w_->data;
        data->setCaption(QStringLiteral("Amateur : 1 van de 5"));
        QCOMPARE(data->Caption(), QStringLiteral("Amateur : 1 van de 5"));
        QVERIFY(data->findChild<QLabel *>()->text() == data->Caption());
    }

    void openErrorGoesThroughTheErrorNotification_data() {
        QTest::addColumn<int>("response");
        QTest::addColumn<bool>("reported");
        QTest::newRow("window answers 0") << 0 << false;
        QTest::newRow("default response") << 1 << true;
    }
    void openErrorGoesThroughTheErrorNotification() {
        QFETCH(int, response);
        QFETCH(bool, reported);
        {
            QFile foreign(path_);
            QVERIFY(foreign.open(QIODevice::WriteOnly));
            foreign.write("Dit is een brief, geen database.\r\n");
        }
        HamWindow w(path_);
        int code = 0;
        QString description;
        QObject::connect(w.data, &RecordControl::Error, w.data,
                         [&](int dataErr, const QString &text, int *answer) {
                             code = dataErr;
                             description = text;
                             *answer = response;
                         });
        QStringList reports;
        w.data->setDefaultErrorReport([&](const QString &text) { reports << text; });
        QVERIFY(!w.data->open());
        QCOMPARE(code, storage::StorageError::kNotOurDatabase);
        QVERIFY(description.contains(QDir::toNativeSeparators(path_)));
        QCOMPARE(reports.size(), reported ? 1 : 0);
        QVERIFY(!w.rs().MoveFirst());
        QVERIFY(!w.rs().FindFirst(QStringLiteral("call ='X'")));
    }
};

KB_TEST_MAIN(RecordControlTest)
#include "tst_recordcontrol.moc"
