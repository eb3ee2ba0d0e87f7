#pragma once

#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QString>

#include <memory>
#include <vector>

namespace storage {

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

// What a cursor needs of whoever shows its records: the window's bound controls, or a plain
// buffer of values.
class RecordView {
public:
    virtual ~RecordView() = default;
    // Puts a record's values (one per field of the table) into the view. Reactions to what
    // is shown may change other values; the view ends showing exactly these.
    virtual void showRecord(const RecordValues &values) = 0;
    // A record, or a pending new record, has become current and stands in the view.
    virtual void repositioned() = 0;
    // The current record is about to be left; changed tells whether a value was edited.
    virtual void validate(DataAction action, bool changed) = 0;
    // The fields the view shows, the ones edited since the record was shown, and their values
    // (one per field of the table; fields not shown stay invalid).
    virtual std::vector<int> shownFields() const = 0;
    virtual std::vector<int> changedFields() const = 0;
    virtual RecordValues shownValues() const = 0;
    virtual void clearChanged() = 0;
};

// The cursor of a record control: the operations through which the windows move over, find,
// add, change and delete the records of their table. Every operation that leaves the current
// record first runs the record control's save step, and every record that becomes current is
// loaded into the bound controls. Operations return false when they fail; lastError() says why.
class Recordset {
public:
    explicit Recordset(RecordView &view) : view_(view) {}

    // Opens the table (the window's load): the first record becomes current and is shown, or,
    // in an empty table, none. False when the table cannot be opened; lastError() says why.
    bool open(const QString &databasePath, const QString &table);
    // The same on a connection already open for the table, which the recordset takes over.
    bool open(std::unique_ptr<Database> database, const QString &table);
    // Closes the table (the window's unload): the save step runs first, so pending edits are
    // stored. The table is closed also when that fails.
    bool close();
    bool isOpen() const { return state_ != CursorState::Closed; }
    // Writes all shown values into the current record (or adds the pending new record)
    // without raising Validate.
    bool UpdateRecord();

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
    // All records at or after `from` that fulfil the criterion, in table order, with their
    // values, without moving the cursor or showing anything: for a list of hits.
    bool FindAll(const QString &criterion, int from, std::vector<int> *positions,
                 std::vector<RecordValues> *values);

    bool NoMatch() const { return noMatch_; }
    int RecordCount() const;
    int AbsolutePosition() const;  // -1 without a current stored record
    bool setAbsolutePosition(int position);
    Bookmark LastModified() const { return lastModified_; }
    Bookmark bookmark() const;  // of the current record; kNoBookmark without one
    bool setBookmark(Bookmark bookmark);

    CursorState state() const { return state_; }
    // True while a record is being shown or the view is asked to validate: the cursor does not
    // move then.
    bool isBusy() const { return busy_ > 0; }
    const StorageError &lastError() const { return lastError_; }
    const TableDef *table() const { return table_ ? &table_->table() : nullptr; }
    // The connection the open table is read through; none while closed.
    sqlite3 *connection() const { return table_ ? table_->connection() : nullptr; }

private:
    bool adopt(std::unique_ptr<TableCursor> cursor, const StorageError &error);
    bool leave(DataAction action);
    bool commit();
    bool validate(DataAction action);
    bool refused();
    bool find(const QString &criterion, bool fromStart);
    bool moveTo(int position);
    bool fail(int code, const QString &description);
    bool fail(const StorageError &error);
    bool restoreAfterPending();

    void show(const RecordValues &values);
    bool anyChanged() const { return !view_.changedFields().empty(); }

    RecordView &view_;
    std::unique_ptr<TableCursor> table_;
    StorageError lastError_;
    int busy_ = 0;  // showing a record or validating
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

}  // namespace storage
