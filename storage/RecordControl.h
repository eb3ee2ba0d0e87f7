#pragma once

#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QToolButton;

namespace storage {

class RecordControl;

// The kind of action that is about to leave the current record, as Validate reports it.
enum class DataAction {
    MoveFirst = 1,
    MovePrevious = 2,
    MoveNext = 3,
    MoveLast = 4,
    AddNew = 5,
    Update = 6,
    Delete = 7,
    Find = 8,
    Bookmark = 9,
    Close = 10,
    Unload = 11,
};

enum class CursorState {
    Closed,       // the table is not open
    OnRecord,     // a stored record is current
    PendingNew,   // AddNew began a record that is not in the table yet
    BeforeFirst,  // MovePrevious from the first record
    AfterLast,    // MoveNext from the last record
    Deleted,      // the current record was just deleted; no record is current
};

// The cursor of a record control: the operations through which the windows move over, find,
// add, change and delete the records of their table. Every operation that leaves the current
// record first runs the record control's save step, and every record that becomes current is
// loaded into the bound controls. Operations return false when they fail; lastError() says why.
class Recordset {
public:
    bool MoveFirst();
    bool MoveLast();
    bool MoveNext();
    bool MovePrevious();
    bool AddNew();
    bool Update();
    // Stores what the window shows without moving: a pending new record is added and becomes
    // the current record, the current record gets its edits. Nothing is reloaded, so the
    // window keeps showing exactly what it showed. For a round that must survive a crash.
    bool Store();
    // Drops a pending new record unstored; the record current before AddNew is current again.
    bool CancelUpdate();
    bool Delete();
    bool FindFirst(const QString &criterion);
    bool FindNext(const QString &criterion);

    bool NoMatch() const { return noMatch_; }
    int RecordCount() const;
    int AbsolutePosition() const;  // -1 without a current stored record
    bool setAbsolutePosition(int position);
    Bookmark LastModified() const { return lastModified_; }
    Bookmark bookmark() const;  // of the current record; kNoBookmark without one
    bool setBookmark(Bookmark bookmark);

    CursorState state() const { return state_; }

private:
    friend class RecordControl;
    explicit Recordset(RecordControl &control) : control_(control) {}

    bool leave(DataAction action);
    bool commit();
    bool validate(DataAction action);
    bool refused();
    bool find(const QString &criterion, bool fromStart);
    bool moveTo(int position);
    bool fail(int code, const QString &description);
    bool fail(const StorageError &error);
    bool restoreAfterPending();

    RecordControl &control_;
    std::unique_ptr<TableCursor> table_;
    CursorState state_ = CursorState::Closed;
    int position_ = -1;  // of the current record; after a delete, of the record that followed it
    // Where the cursor stood when AddNew began, to come back to when the record is saved.
    CursorState stateBeforeNew_ = CursorState::Closed;
    int positionBeforeNew_ = -1;
    bool noMatch_ = false;
    Bookmark lastModified_ = kNoBookmark;
    // The save step resolved a pending new record and nothing has been loaded since.
    bool pendingResolved_ = false;
};

// The record control a data window carries as Data1: it owns the cursor over one table of the
// database file, shows the current record in the window's bound text boxes and check boxes,
// writes the window's edits back when the record is left, and is itself the navigation bar:
// four buttons with the caption between them.
//
// Notifications to the window, delivered synchronously:
//  - Validate(action, save) before the current record is left; save tells whether a bound
//    control was changed.
//  - Reposition() after a record (or a pending new record) has become current and stands in the
//    bound controls, and once right after the table has been opened.
//  - Error(code, description, response) when something the control does by itself fails (opening
//    the table, a navigation button, the save step of such a move). The window may set
//    *response to 0 to suppress the default report.
class RecordControl : public QWidget {
    Q_OBJECT

public:
    explicit RecordControl(QWidget *parent = nullptr);
    ~RecordControl() override;

    void setDatabaseName(const QString &path) { databaseName_ = path; }
    const QString &DatabaseName() const { return databaseName_; }
    QString Connect() const { return QStringLiteral("Access 2000;"); }
    void setRecordSource(const QString &table) { recordSource_ = table; }
    const QString &RecordSource() const { return recordSource_; }
    void setCaption(const QString &caption);
    QString Caption() const;

    // Binds a control of the window to a field of the table. Bind before open().
    bool bind(QLineEdit *control, const QString &field);
    bool bind(QPlainTextEdit *control, const QString &field);
    bool bind(QTextEdit *control, const QString &field);
    bool bind(QCheckBox *control, const QString &field);

    // Opens the table (the window's load): the first record becomes current and is loaded, then
    // Reposition follows. On failure Error is raised and false returned.
    bool open();
    // Closes the table (the window's unload): the save step runs first, so pending edits are
    // stored.
    bool close();
    bool isOpen() const { return recordset_.state_ != CursorState::Closed; }
    // True while a record is being put into the bound controls (their change handlers run then).
    bool isLoading() const { return loading_; }

    storage::Recordset &Recordset() { return recordset_; }
    const storage::Recordset &Recordset() const { return recordset_; }

    // Writes all bound values into the current record (or inserts the pending new record)
    // without raising Validate.
    bool UpdateRecord();

    // The changed flags: per bound control, set when its value changed after the record was
    // loaded.
    bool isChanged(const QWidget *control) const;
    // Counts a bound control as edited although its value may not have changed, so that the
    // record gets what it shows when it is left. Nothing while a record is being loaded.
    void markEdited(QWidget *control) { markChanged(control); }
    bool DataChanged() const;

    const StorageError &lastError() const { return lastError_; }

    // How an Error left at its default response is reported (a message box in the program).
    // Without one it goes to the log.
    void setDefaultErrorReport(std::function<void(const QString &)> report);

    // The navigation bar's buttons, for the windows' tab order and for tests.
    QToolButton *firstButton() const { return buttons_[0]; }
    QToolButton *previousButton() const { return buttons_[1]; }
    QToolButton *nextButton() const { return buttons_[2]; }
    QToolButton *lastButton() const { return buttons_[3]; }

Q_SIGNALS:
    void Validate(storage::DataAction action, bool save);
    void Reposition();
    void Error(int dataErr, const QString &description, int *response);

private:
    friend class Recordset;

    struct Binding {
        QPointer<QWidget> control;
        int field = -1;
        bool changed = false;
        std::function<QVariant()> get;
        std::function<void(const QVariant &)> set;
    };

    bool addBinding(QWidget *control, const QString &field, std::function<QVariant()> get,
                    std::function<void(const QVariant &)> set);
    void markChanged(QWidget *control);
    void load(const RecordValues &values);
    void showBlank();
    void clearChanged();
    bool anyChanged() const;
    std::vector<int> boundFields() const;
    std::vector<int> changedFields() const;
    RecordValues boundValues() const;
    void raiseError(const StorageError &error);
    void navigate(int button);

    QString databaseName_;
    QString recordSource_;
    storage::Recordset recordset_{*this};
    std::vector<Binding> bindings_;
    bool loading_ = false;
    int notifying_ = 0;  // loading a record or raising Validate
    StorageError lastError_;
    std::function<void(const QString &)> defaultErrorReport_;
    QLabel *caption_ = nullptr;
    QToolButton *buttons_[4] = {};
};

}  // namespace storage
