#include "storage/RecordControl.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QtDebug>

namespace storage {

namespace {

// Laying out a multi-line text is costly; a box that already shows the text is left alone (a
// line edit does the same by itself).
template <typename Edit>
void setPlainTextIfChanged(Edit *control, const QString &text) {
    if (control->toPlainText() != text) {
        control->document()->setPlainText(text);
    }
}

bool sameValue(const QVariant &shown, const QVariant &stored) {
    if (stored.typeId() == QMetaType::Bool) {
        return shown.toBool() == stored.toBool();
    }
    return shown.toString() == stored.toString();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Recordset

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
    control_.lastError_ = error;
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
        if (!table_->append(control_.boundFields(), control_.boundValues(), &error)) {
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
        if (!table_->write(position_, control_.changedFields(), control_.boundValues(), &error)) {
            return fail(error);
        }
        lastModified_ = table_->bookmarkAt(position_);
    } else {
        return fail(StorageError::kNoCurrentRecord, QStringLiteral("Er is geen huidig record."));
    }
    control_.clearChanged();
    return true;
}

// Raises Validate. While its handlers run, the cursor does not move; what they edit still counts.
bool Recordset::validate(DataAction action) {
    {
        const QScopedValueRollback<int> busy(control_.notifying_, control_.notifying_ + 1);
        Q_EMIT control_.Validate(action, control_.anyChanged());
    }
    return control_.anyChanged();
}

// Cursor operations are refused while the record control is loading a record or asking its
// window to validate: a handler that moved the cursor then would leave the controls showing one
// record while edits go into another.
bool Recordset::refused() {
    if (control_.notifying_ > 0) {
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
    control_.clearChanged();
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
    control_.load(values);
    return true;
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
    control_.showBlank();
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
    control_.clearChanged();
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
    control_.clearChanged();
    return true;
}

bool Recordset::FindFirst(const QString &criterion) {
    return find(criterion, true);
}

bool Recordset::FindNext(const QString &criterion) {
    return find(criterion, false);
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

// ---------------------------------------------------------------------------------------------
// RecordControl

RecordControl::RecordControl(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    static const char *const names[] = {"Eerste", "Vorige", "Volgende", "Laatste"};
    static const char *const glyphs[] = {"|\u25C0", "\u25C0", "\u25B6", "\u25B6|"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(this);
        button->setText(QString::fromUtf8(glyphs[i]));
        button->setAccessibleName(QString::fromLatin1(names[i]));
        button->setToolTip(QString::fromLatin1(names[i]));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 8);
        buttons_[i] = button;
        connect(button, &QToolButton::clicked, this, [this, i] { navigate(i); });
    }
    caption_ = new QLabel(this);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::Panel);
    caption_->setFrameShadow(QFrame::Sunken);
    caption_->setAutoFillBackground(true);
    caption_->setBackgroundRole(QPalette::Base);
    caption_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    layout->addWidget(buttons_[0]);
    layout->addWidget(buttons_[1]);
    layout->addWidget(caption_, 1);
    layout->addWidget(buttons_[2]);
    layout->addWidget(buttons_[3]);
}

RecordControl::~RecordControl() = default;

void RecordControl::setCaption(const QString &caption) {
    caption_->setText(caption);
    caption_->setAccessibleName(caption);
}

QString RecordControl::Caption() const {
    return caption_->text();
}

bool RecordControl::addBinding(QWidget *control, const QString &field,
                               std::function<QVariant()> get,
                               std::function<void(const QVariant &)> set) {
    const TableDef *table = findTable(recordSource_);
    const int index = table ? table->fieldIndex(field) : -1;
    if (!control || index < 0) {
        lastError_ = {StorageError::kUnknownField,
                      QStringLiteral("Het veld '%1' bestaat niet in de tabel '%2'.")
                          .arg(field, recordSource_)};
        return false;
    }
    bindings_.push_back({control, index, false, std::move(get), std::move(set)});
    return true;
}

bool RecordControl::bind(QLineEdit *control, const QString &field) {
    if (!addBinding(
            control, field, [control] { return QVariant(control->text()); },
            [control](const QVariant &v) { control->setText(v.toString()); })) {
        return false;
    }
    connect(control, &QLineEdit::textChanged, this, [this, control] { markChanged(control); });
    return true;
}

bool RecordControl::bind(QPlainTextEdit *control, const QString &field) {
    if (!addBinding(
            control, field, [control] { return QVariant(control->toPlainText()); },
            [control](const QVariant &v) { setPlainTextIfChanged(control, v.toString()); })) {
        return false;
    }
    connect(control, &QPlainTextEdit::textChanged, this, [this, control] { markChanged(control); });
    return true;
}

bool RecordControl::bind(QTextEdit *control, const QString &field) {
    if (!addBinding(
            control, field, [control] { return QVariant(control->toPlainText()); },
            [control](const QVariant &v) { setPlainTextIfChanged(control, v.toString()); })) {
        return false;
    }
    connect(control, &QTextEdit::textChanged, this, [this, control] { markChanged(control); });
    return true;
}

bool RecordControl::bind(QCheckBox *control, const QString &field) {
    if (!addBinding(
            control, field, [control] { return QVariant(control->isChecked()); },
            [control](const QVariant &v) { control->setChecked(v.toBool()); })) {
        return false;
    }
    connect(control, &QCheckBox::toggled, this, [this, control] { markChanged(control); });
    return true;
}

void RecordControl::markChanged(QWidget *control) {
    if (loading_) {
        return;
    }
    for (auto &binding : bindings_) {
        if (binding.control == control) {
            binding.changed = true;
        }
    }
}

void RecordControl::load(const RecordValues &values) {
    const QScopedValueRollback<bool> loading(loading_, true);
    {
        const QScopedValueRollback<int> busy(notifying_, notifying_ + 1);
        // The controls' own change notifications run, so a window can react to what is loaded
        // (the main window looks every loaded call up)...
        for (const auto &binding : bindings_) {
            if (binding.control) {
                binding.set(values[size_t(binding.field)]);
            }
        }
        // ...but what those reactions wrote into other bound controls is put back, so that the
        // record shows exactly what is stored.
        for (const auto &binding : bindings_) {
            if (binding.control && !sameValue(binding.get(), values[size_t(binding.field)])) {
                const QSignalBlocker blocker(binding.control);
                binding.set(values[size_t(binding.field)]);
            }
        }
    }
    clearChanged();
    Q_EMIT Reposition();
}

void RecordControl::showBlank() {
    RecordValues blank(size_t(recordset_.table_->table().fields.size()));
    for (size_t i = 0; i < blank.size(); ++i) {
        blank[i] = recordset_.table_->table().isCheck[i] ? QVariant(false) : QVariant(QString());
    }
    load(blank);
}

void RecordControl::clearChanged() {
    for (auto &binding : bindings_) {
        binding.changed = false;
    }
}

bool RecordControl::anyChanged() const {
    for (const auto &binding : bindings_) {
        if (binding.changed) {
            return true;
        }
    }
    return false;
}

bool RecordControl::isChanged(const QWidget *control) const {
    for (const auto &binding : bindings_) {
        if (binding.control == control) {
            return binding.changed;
        }
    }
    return false;
}

bool RecordControl::DataChanged() const {
    return anyChanged();
}

std::vector<int> RecordControl::changedFields() const {
    std::vector<int> fields;
    for (const auto &binding : bindings_) {
        if (binding.control && binding.changed) {
            fields.push_back(binding.field);
        }
    }
    return fields;
}

std::vector<int> RecordControl::boundFields() const {
    std::vector<int> fields;
    for (const auto &binding : bindings_) {
        if (binding.control) {
            fields.push_back(binding.field);
        }
    }
    return fields;
}

RecordValues RecordControl::boundValues() const {
    RecordValues values(recordset_.table_ ? size_t(recordset_.table_->table().fields.size()) : 0);
    for (const auto &binding : bindings_) {
        if (binding.control) {
            values[size_t(binding.field)] = binding.get();
        }
    }
    return values;
}

bool RecordControl::UpdateRecord() {
    if (recordset_.refused()) {
        return false;
    }
    if (recordset_.state_ == CursorState::Closed) {
        return recordset_.fail(StorageError::kNotOpen, QStringLiteral("De tabel is niet geopend."));
    }
    return recordset_.commit() && recordset_.restoreAfterPending();
}

bool RecordControl::open() {
    if (isOpen()) {
        return true;
    }
    StorageError error;
    auto table = TableCursor::open(databaseName_, recordSource_, &error);
    if (!table) {
        lastError_ = error;
        raiseError(error);
        return false;
    }
    recordset_.table_ = std::move(table);
    recordset_.noMatch_ = false;
    recordset_.lastModified_ = kNoBookmark;
    if (recordset_.RecordCount() == 0) {
        recordset_.state_ = CursorState::AfterLast;
        recordset_.position_ = 0;
        Q_EMIT Reposition();
        return true;
    }
    recordset_.state_ = CursorState::BeforeFirst;
    if (!recordset_.moveTo(0)) {
        raiseError(lastError_);
        return false;
    }
    return true;
}

bool RecordControl::close() {
    if (!isOpen()) {
        return true;
    }
    if (recordset_.refused()) {
        return false;
    }
    const bool saved = recordset_.leave(DataAction::Unload);
    if (!saved) {
        raiseError(lastError_);
    }
    recordset_.table_.reset();
    recordset_.state_ = CursorState::Closed;
    return saved;
}

void RecordControl::setDefaultErrorReport(std::function<void(const QString &)> report) {
    defaultErrorReport_ = std::move(report);
}

void RecordControl::raiseError(const StorageError &error) {
    int response = 1;
    Q_EMIT Error(error.code, error.description, &response);
    if (response == 0) {
        return;
    }
    if (defaultErrorReport_) {
        defaultErrorReport_(error.description);
    } else {
        qWarning().noquote() << error.description;
    }
}

// The bar never leaves the cursor before the first or after the last record: "previous" at the
// first record and "next" at the last one keep that record current. Every press is a move, so an
// edit is saved even when the record stays the same.
void RecordControl::navigate(int button) {
    storage::Recordset &rs = recordset_;
    const bool onRecord = rs.state_ == CursorState::OnRecord;
    bool ok = true;
    switch (button) {
        case 0:
            ok = rs.MoveFirst();
            break;
        case 1:
            if (onRecord && rs.position_ == 0) {
                ok = rs.MoveFirst();
            } else {
                ok = rs.MovePrevious();
                if (ok && rs.state_ == CursorState::BeforeFirst) {
                    ok = rs.MoveFirst();
                }
            }
            break;
        case 2:
            if (onRecord && rs.position_ + 1 == rs.RecordCount()) {
                ok = rs.MoveLast();
            } else {
                ok = rs.MoveNext();
                if (ok && rs.state_ == CursorState::AfterLast) {
                    ok = rs.MoveLast();
                }
            }
            break;
        default:
            ok = rs.MoveLast();
            break;
    }
    if (!ok) {
        raiseError(lastError_);
    }
}

}  // namespace storage
