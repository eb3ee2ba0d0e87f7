#include "storage/Recordset.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace storage {

int Recordset::RecordCount() const {
    return table_ ? table_->count() : 0;
}

int Recordset::AbsolutePosition() const {
    return state_ == CursorState::OnRecord ? position_ : -1;
}

Bookmark Recordset::bookmark() const {
    return state_ == CursorState::OnRecord ? table_->bookmarkAt(position_) : kNoBookmark;
}

bool Recordset::fail(const StorageError &error) {
    lastError_ = error;
    return false;
}

bool Recordset::fail(int code, const QString &description) {
    return fail(StorageError{code, description});
}

// Puts the bound values into the table. A pending new record is added at the end with every
// bound value; the record that was current before AddNew is current again, or the new record
// when there was none. The current record gets what was edited: a control that a window's own
// Reposition handler altered (the main window empties its distances) is no edit of the shown
// record.
bool Recordset::commit() {
    StorageError error;
    if (state_ == CursorState::PendingNew) {
        if (!table_->append(view_.shownFields(), view_.shownValues(), &error)) {
            return fail(error);
        }
        lastModified_ = table_->bookmarkAt(table_->count() - 1);
        state_ = stateBeforeNew_;
        position_ = positionBeforeNew_;
        if (state_ != CursorState::OnRecord) {
            state_ = CursorState::OnRecord;
            position_ = table_->count() - 1;
        }
        pendingResolved_ = true;
    } else if (state_ == CursorState::OnRecord) {
        if (!table_->write(position_, view_.changedFields(), view_.shownValues(), &error)) {
            return fail(error);
        }
        lastModified_ = table_->bookmarkAt(position_);
    } else {
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    view_.clearChanged();
    return true;
}

// Raises Validate. While its handlers run, the cursor does not move; what they edit still counts.
bool Recordset::validate(DataAction action) {
    {
        const QScopedValueRollback<int> busy(busy_, busy_ + 1);
        view_.validate(action, anyChanged());
    }
    return anyChanged();
}

// Cursor operations are refused while the record control is loading a record or asking its
// window to validate: a handler that moved the cursor then would leave the controls showing one
// record while edits go into another.
bool Recordset::refused() {
    if (busy_ > 0) {
        fail(StorageError::kNotAllowed,
             QStringLiteral("Deze bewerking kan nu niet worden uitgevoerd."));
        return true;
    }
    return false;
}

// The save step: Validate, then the edits go into the current record, or the pending new record
// is added at the end (or dropped when nothing was typed into it), and the changed flags clear.
bool Recordset::leave(DataAction action) {
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    const bool changed = validate(action);

    if (state_ == CursorState::PendingNew && !changed) {
        state_ = stateBeforeNew_;
        position_ = positionBeforeNew_;
        pendingResolved_ = true;
    } else if (changed && (state_ == CursorState::PendingNew || state_ == CursorState::OnRecord)) {
        if (!commit()) {
            return false;
        }
    }
    // Without a current record (after a delete, before the first or after the last record)
    // there is nothing the edits could go into. The controls of a resolved pending record still
    // show it; whoever does not load another record next brings the current one back
    // (restoreAfterPending).
    view_.clearChanged();
    return true;
}

bool Recordset::restoreAfterPending() {
    if (!pendingResolved_) {
        return true;
    }
    pendingResolved_ = false;
    if (state_ == CursorState::OnRecord) {
        return moveTo(position_);
    }
    return true;
}

bool Recordset::moveTo(int position) {
    RecordValues values;
    StorageError error;
    if (!table_->read(position, &values, &error)) {
        return fail(error);
    }
    pendingResolved_ = false;
    state_ = CursorState::OnRecord;
    position_ = position;
    show(values);
    return true;
}

// Shows a record: while the view puts it in place the cursor stays put; then its changed
// flags clear and the view hears that the record is current.
void Recordset::show(const RecordValues &values) {
    {
        const QScopedValueRollback<int> busy(busy_, busy_ + 1);
        view_.showRecord(values);
    }
    view_.clearChanged();
    view_.repositioned();
}

bool Recordset::open(const QString &databasePath, const QString &table) {
    if (isOpen()) {
        return true;
    }
    StorageError error;
    return adopt(TableCursor::open(databasePath, table, &error), error);
}

bool Recordset::open(std::unique_ptr<Database> database, const QString &table) {
    if (isOpen()) {
        return true;
    }
    StorageError error;
    return adopt(TableCursor::open(std::move(database), table, &error), error);
}

bool Recordset::adopt(std::unique_ptr<TableCursor> cursor, const StorageError &error) {
    if (!cursor) {
        return fail(error);
    }
    table_ = std::move(cursor);
    noMatch_ = false;
    lastModified_ = kNoBookmark;
    if (RecordCount() == 0) {
        state_ = CursorState::AfterLast;
        position_ = 0;
        view_.repositioned();
        return true;
    }
    state_ = CursorState::BeforeFirst;
    return moveTo(0);
}

bool Recordset::close() {
    if (!isOpen()) {
        return true;
    }
    if (refused()) {
        return false;
    }
    const bool saved = leave(DataAction::Unload);
    table_.reset();
    state_ = CursorState::Closed;
    return saved;
}

bool Recordset::UpdateRecord() {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    return commit() && restoreAfterPending();
}

bool Recordset::MoveFirst() {
    if (refused()) {
        return false;
    }
    if (!leave(DataAction::MoveFirst)) {
        return false;
    }
    if (RecordCount() == 0) {
        restoreAfterPending();
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    return moveTo(0);
}

bool Recordset::MoveLast() {
    if (refused()) {
        return false;
    }
    if (!leave(DataAction::MoveLast)) {
        return false;
    }
    if (RecordCount() == 0) {
        restoreAfterPending();
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    return moveTo(RecordCount() - 1);
}

bool Recordset::MoveNext() {
    if (refused()) {
        return false;
    }
    if (!leave(DataAction::MoveNext)) {
        return false;
    }
    int next = -1;
    switch (state_) {
        case CursorState::OnRecord:
            next = position_ + 1;
            break;
        case CursorState::BeforeFirst:
            next = 0;
            break;
        case CursorState::Deleted:
            next = position_;  // the record that followed the deleted one took its place
            break;
        default:
            restoreAfterPending();
            return fail(StorageError::kNoCurrentRecord,
                        QStringLiteral("Er is geen huidig record."));
    }
    if (next >= RecordCount()) {
        pendingResolved_ = false;
        state_ = CursorState::AfterLast;
        position_ = RecordCount();
        return true;
    }
    return moveTo(next);
}

bool Recordset::MovePrevious() {
    if (refused()) {
        return false;
    }
    if (!leave(DataAction::MovePrevious)) {
        return false;
    }
    int previous = -1;
    switch (state_) {
        case CursorState::OnRecord:
        case CursorState::Deleted:
            previous = position_ - 1;
            break;
        case CursorState::AfterLast:
            previous = RecordCount() - 1;
            if (previous < 0) {
                return fail(StorageError::kNoCurrentRecord,
                            QStringLiteral("Er is geen huidig record."));
            }
            break;
        default:
            restoreAfterPending();
            return fail(StorageError::kNoCurrentRecord,
                        QStringLiteral("Er is geen huidig record."));
    }
    if (previous < 0) {
        pendingResolved_ = false;
        state_ = CursorState::BeforeFirst;
        position_ = -1;
        return true;
    }
    return moveTo(previous);
}

bool Recordset::AddNew() {
    if (refused()) {
        return false;
    }
    if (!leave(DataAction::AddNew)) {
        return false;
    }
    pendingResolved_ = false;
    stateBeforeNew_ = state_;
    positionBeforeNew_ = position_;
    state_ = CursorState::PendingNew;
    RecordValues blank(size_t(table_->table().fields.size()));
    for (size_t i = 0; i < blank.size(); ++i) {
        blank[i] = table_->table().isCheck[i] ? QVariant(false) : QVariant(QString());
    }
    show(blank);
    return true;
}

bool Recordset::Update() {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    const bool changed = validate(DataAction::Update);
    if (state_ == CursorState::PendingNew) {
        return commit() && restoreAfterPending();
    }
    if (state_ != CursorState::OnRecord) {
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    return !changed || commit();
}

bool Recordset::Store() {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::PendingNew) {
        validate(DataAction::Update);
        const int before = table_->count();
        if (!commit()) {
            return false;
        }
        pendingResolved_ = false;
        state_ = CursorState::OnRecord;
        position_ = before;  // the record just added, at the end
        return true;
    }
    if (state_ != CursorState::OnRecord) {
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    return !validate(DataAction::Update) || commit();
}

bool Recordset::CancelUpdate() {
    if (refused()) {
        return false;
    }
    if (state_ != CursorState::PendingNew) {
        return fail(StorageError::kNoCurrentRecord,
                    QStringLiteral("Er is geen nieuw record om te laten vallen."));
    }
    state_ = stateBeforeNew_;
    position_ = positionBeforeNew_;
    view_.clearChanged();
    pendingResolved_ = true;
    return restoreAfterPending();
}

bool Recordset::Delete() {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    validate(DataAction::Delete);
    if (state_ != CursorState::OnRecord) {
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    StorageError error;
    if (!table_->remove(position_, &error)) {
        return fail(error);
    }
    state_ = CursorState::Deleted;
    view_.clearChanged();
    return true;
}

bool Recordset::FindFirst(const QString &criterion) {
    return find(criterion, true);
}

bool Recordset::FindNext(const QString &criterion) {
    return find(criterion, false);
}

bool Recordset::FindAll(const QString &text, int from, std::vector<int> *positions,
                        std::vector<RecordValues> *values) {
    positions->clear();
    values->clear();
    if (!table_) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    const auto criterion = Criterion::parse(text);
    const int field = criterion ? table_->table().fieldIndex(criterion->field()) : -1;
    if (!criterion || field < 0) {
        return fail(criterion ? StorageError::kUnknownField : StorageError::kBadCriterion,
                    QStringLiteral("De zoekopdracht %1 kan niet worden uitgevoerd.").arg(text));
    }
    StorageError error;
    if (!table_->findAll(*criterion, field, std::max(from, 0), positions, values, &error)) {
        return fail(error);
    }
    return true;
}

bool Recordset::find(const QString &text, bool fromStart) {
    if (refused()) {
        return false;
    }
    // The criterion is checked before anything else happens, so a find that cannot be
    // evaluated leaves the current record and its edits exactly as they were.
    const auto criterion = Criterion::parse(text);
    const int field = criterion && table_ ? table_->table().fieldIndex(criterion->field()) : -1;
    if (!criterion || field < 0) {
        noMatch_ = true;
        if (state_ == CursorState::Closed) {
            return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
        }
        return fail(criterion ? StorageError::kUnknownField : StorageError::kBadCriterion,
                    QStringLiteral("De zoekopdracht %1 kan niet worden uitgevoerd.").arg(text));
    }
    if (!leave(DataAction::Find)) {
        noMatch_ = true;
        return false;
    }
    int from = 0;
    if (!fromStart) {
        switch (state_) {
            case CursorState::OnRecord:
                from = position_ + 1;
                break;
            case CursorState::AfterLast:
                from = RecordCount();
                break;
            case CursorState::Deleted:
                from = position_;
                break;
            default:
                from = 0;
                break;
        }
    }
    int found = -1;
    StorageError error;
    if (!table_->find(*criterion, field, from, &found, &error)) {
        noMatch_ = true;
        restoreAfterPending();
        return fail(error);
    }
    if (found < 0) {
        noMatch_ = true;
        return restoreAfterPending();
    }
    noMatch_ = false;
    return moveTo(found);
}

bool Recordset::setAbsolutePosition(int position) {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    if (position < 0) {
        return fail(StorageError::kBadBookmark,
                    QStringLiteral("Positie %1 bestaat niet.").arg(position));
    }
    if (!leave(DataAction::Bookmark)) {
        return false;
    }
    if (position >= RecordCount()) {
        restoreAfterPending();
        return fail(StorageError::kBadBookmark,
                    QStringLiteral("Positie %1 bestaat niet.").arg(position));
    }
    return moveTo(position);
}

bool Recordset::setBookmark(Bookmark bookmark) {
    if (refused()) {
        return false;
    }
    if (state_ == CursorState::Closed) {
        return fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    if (!leave(DataAction::Bookmark)) {
        return false;
    }
    const int position = table_->positionOf(bookmark);
    if (position < 0) {
        restoreAfterPending();
        return fail(StorageError::kBadBookmark, QStringLiteral("Het record bestaat niet (meer)."));
    }
    return moveTo(position);
}

}  // namespace storage
