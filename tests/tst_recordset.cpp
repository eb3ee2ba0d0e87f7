// The cursor of the record control without any window: a plain buffer of values stands in for
// the bound controls.

#include "CoreTestMain.h"

#include "storage/Recordset.h"
#include "storage/Schema.h"

#include <QTemporaryDir>
#include <QTest>

#include <set>

using storage::CursorState;
using storage::DataAction;
using storage::RecordValues;

namespace {

// Shows the current record as values; edits mark their field changed.
class Buffer : public storage::RecordView {
public:
    RecordValues shown;
    std::set<int> changed;
    QList<DataAction> validations;
    int repositions = 0;
    std::function<void()> onValidate;

    void edit(int field, const QString &value) {
        shown[size_t(field)] = value;
        changed.insert(field);
    }
    QString text(int field) const { return shown[size_t(field)].toString(); }

    void showRecord(const RecordValues &values) override { shown = values; }
    void repositioned() override { ++repositions; }
    void validate(DataAction action, bool) override {
        validations << action;
        if (onValidate) {
            onValidate();
        }
    }
    std::vector<int> shownFields() const override {
        std::vector<int> all(shown.size());
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = int(i);
        }
        return all;
    }
    std::vector<int> changedFields() const override { return {changed.begin(), changed.end()}; }
    RecordValues shownValues() const override { return shown; }
    void clearChanged() override { changed.clear(); }
};

constexpr int kCall = 0;
constexpr int kNaam = 1;

}  // namespace

class RecordsetTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path_;

    // A qrz table holding exactly these calls, in this order, opened on a fresh buffer.
    void seed(const QStringList &calls) {
        Buffer buffer;
        storage::Recordset rs(buffer);
        QVERIFY(rs.open(path_, QStringLiteral("qrz")));
        while (rs.RecordCount() > 0) {
            QVERIFY(rs.MoveFirst());
            QVERIFY(rs.Delete());
        }
        for (const QString &call : calls) {
            QVERIFY(rs.AddNew());
            buffer.edit(kCall, call);
            QVERIFY(rs.Update());
        }
        QVERIFY(rs.close());
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("kringbaasbase.mdb"));
        QFile::remove(path_);
    }

    // The states without a current record, entered and left as the table order says.
    void movesAndStates() {
        seed({"PA3ABC"});
        Buffer buffer;
        storage::Recordset rs(buffer);
        QVERIFY(rs.open(path_, QStringLiteral("qrz")));
        QCOMPARE(buffer.repositions, 1);
        QVERIFY(rs.MovePrevious());
        QCOMPARE(rs.state(), CursorState::BeforeFirst);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QCOMPARE(buffer.text(kCall), QStringLiteral("PA3ABC"));  // the values stay shown
        QVERIFY(rs.MoveNext());
        QCOMPARE(rs.AbsolutePosition(), 0);
        QVERIFY(rs.MoveNext());
        QCOMPARE(rs.state(), CursorState::AfterLast);
        QVERIFY(rs.MovePrevious());
        QCOMPARE(rs.AbsolutePosition(), 0);
        QCOMPARE(buffer.validations,
                 QList<DataAction>({DataAction::MovePrevious, DataAction::MoveNext,
                                    DataAction::MoveNext, DataAction::MovePrevious}));
    }

    // A pending new record is added only when something was edited in it, and RecordCount
    // counts it only once it is stored.
    void pendingNewRecord_data() {
        QTest::addColumn<bool>("edited");
        QTest::newRow("nothing typed") << false;
        QTest::newRow("one field typed") << true;
    }
    void pendingNewRecord() {
        QFETCH(bool, edited);
        seed({"PA3ABC", "PD0XYZ"});
        Buffer buffer;
        storage::Recordset rs(buffer);
        QVERIFY(rs.open(path_, QStringLiteral("qrz")));
        QVERIFY(rs.AddNew());
        QCOMPARE(rs.RecordCount(), 2);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QCOMPARE(buffer.text(kCall), QString());
        if (edited) {
            buffer.edit(kNaam, QStringLiteral("JAN"));
        }
        QVERIFY(rs.MoveLast());
        QCOMPARE(rs.RecordCount(), edited ? 3 : 2);
        QCOMPARE(buffer.text(kNaam), edited ? QStringLiteral("JAN") : QString());
    }

    // Finds walk the table in order; a miss leaves the current record as it was.
    void finds() {
        seed({"PA3ABC", "PD0XYZ", "PA3ABCD", "pa3abc"});
        Buffer buffer;
        storage::Recordset rs(buffer);
        QVERIFY(rs.open(path_, QStringLiteral("qrz")));
        QVERIFY(rs.setAbsolutePosition(1));
        QVERIFY(rs.FindFirst(QStringLiteral("call LIKE'*ABC'")));
        QVERIFY(!rs.NoMatch());
        QCOMPARE(rs.AbsolutePosition(), 0);
        QVERIFY(rs.FindNext(QStringLiteral("call LIKE'*ABC'")));
        QCOMPARE(rs.AbsolutePosition(), 3);
        QVERIFY(rs.FindNext(QStringLiteral("call LIKE'*ABC'")));
        QVERIFY(rs.NoMatch());
        QCOMPARE(rs.AbsolutePosition(), 3);
        QVERIFY(!rs.FindFirst(QStringLiteral("call ='it''s")));  // cannot be evaluated
        QCOMPARE(rs.AbsolutePosition(), 3);
    }

    // While the view validates or shows a record the cursor stays put: a move from there
    // would leave the view showing one record while edits go into another.
    void noMovesWhileValidating() {
        seed({"PA3ABC", "PD0XYZ"});
        Buffer buffer;
        storage::Recordset rs(buffer);
        QVERIFY(rs.open(path_, QStringLiteral("qrz")));
        bool nestedMove = true;
        buffer.onValidate = [&] { nestedMove = rs.MoveLast(); };
        buffer.edit(kNaam, QStringLiteral("JAN"));
        QVERIFY(rs.MoveNext());
        QVERIFY(!nestedMove);
        QCOMPARE(rs.lastError().code, storage::StorageError::kNotAllowed);
        QCOMPARE(rs.AbsolutePosition(), 1);
        buffer.onValidate = nullptr;
        QVERIFY(rs.MoveFirst());
        QCOMPARE(buffer.text(kNaam), QStringLiteral("JAN"));
    }
};

KB_CORE_TEST_MAIN(RecordsetTest)
#include "tst_recordset.moc"
