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

#include <algorithm>
#include <memory>
#include <optional>

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

// The most characters a line edit holds.
constexpr int kMostInALine = 32767;

// A bound line edit's length limits what the user types, not what the record holds.
struct LineState {
    int limit = kMostInALine;      // the box's own length, as it was bound
    std::optional<QString> whole;  // a stored text too long for the box, kept whole
    bool madeReadOnly = false;
};

// Shows a stored text in a line edit. A text longer than the box's length is shown whole all the
// same: the length is raised to it while it is shown, so typing cannot make it longer but nothing
// of it is cut. A text longer than any line edit holds is shown in part, read-only, with a word
// on why; the record keeps it whole.
void showInLine(QLineEdit *control, LineState &state, const QString &text) {
    if (text.size() <= kMostInALine) {
        const int length = std::max(state.limit, int(text.size()));
        state.whole.reset();
        if (state.madeReadOnly) {
            state.madeReadOnly = false;
            control->setReadOnly(false);
            control->setToolTip(QString());
            control->setAccessibleDescription(QString());
        }
        // Raised before the text goes in, lowered after, so that neither cuts it. A change of
        // the length puts the text in again, so it is changed only when it must be: a hit list
        // shows thousands of texts.
        if (control->maxLength() < text.size()) {
            control->setMaxLength(length);
        }
        control->setText(text);
        if (control->maxLength() != length) {
            control->setMaxLength(length);
        }
        return;
    }
    state.whole = text;
    const PartShown part = partOfLongText(text, kMostInALine);
    if (!control->isReadOnly()) {
        state.madeReadOnly = true;
        control->setReadOnly(true);
    }
    control->setToolTip(part.note);
    control->setAccessibleDescription(part.note);
    if (control->maxLength() != kMostInALine) {
        control->setMaxLength(kMostInALine);
    }
    control->setText(part.text);
}

bool sameValue(const QVariant &shown, const QVariant &stored) {
    if (stored.typeId() == QMetaType::Bool) {
        return shown.toBool() == stored.toBool();
    }
    return shown.toString() == stored.toString();
}

}  // namespace

PartShown partOfLongText(const QString &text, qsizetype room) {
    qsizetype shown = room - 1;  // one place for the ellipsis
    if (text[shown - 1].isHighSurrogate()) {
        --shown;
    }
    const QString note = QStringLiteral(
                             "Deze tekst is %1 tekens lang; hier staan de eerste %2. Hij blijft "
                             "bij opslaan heel bewaard, maar is hier niet te wijzigen.")
                             .arg(text.size())
                             .arg(shown);
    return {text.left(shown) + QStringLiteral("\u2026"), note};
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

bool RecordControl::addBinding(QObject *control, const QString &field,
                               std::function<QVariant()> get,
                               std::function<void(const QVariant &)> set) {
    const TableDef *table = findTable(recordSource_);
    const int index = table ? table->fieldIndex(field) : -1;
    if (recordset_ != &own_) {
        return false;  // the records are shown by whoever owns the cursor
    }
    if (!control || index < 0) {
        bindError_ = {StorageError::kUnknownField,
                      QStringLiteral("Het veld '%1' bestaat niet in de tabel '%2'.")
                          .arg(field, recordSource_)};
        return false;
    }
    bindings_.push_back({control, index, false, std::move(get), std::move(set)});
    return true;
}

bool RecordControl::bind(QLineEdit *control, const QString &field) {
    auto state = std::make_shared<LineState>();
    state->limit = control->maxLength();
    // What the box shows goes into the record, unless it shows only part of the stored text.
    auto get = [control, state] {
        return state->whole ? QVariant(*state->whole) : QVariant(control->text());
    };
    auto set = [control, state](const QVariant &v) { showInLine(control, *state, v.toString()); };
    if (!addBinding(control, field, std::move(get), std::move(set))) {
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

bool RecordControl::bind(HiddenField *control, const QString &field) {
    if (!addBinding(
            control, field, [control] { return QVariant(control->text()); },
            [control](const QVariant &v) { control->setText(v.toString()); })) {
        return false;
    }
    connect(control, &HiddenField::textChanged, this, [this, control] { markChanged(control); });
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

void RecordControl::markChanged(QObject *control) {
    if (loading_) {
        return;
    }
    for (auto &binding : bindings_) {
        if (binding.control == control) {
            binding.changed = true;
        }
    }
}

void RecordControl::showRecord(const RecordValues &values) {
    const QScopedValueRollback<bool> loading(loading_, true);
    // The controls' own change notifications run, so a window can react to what is loaded (the
    // main window looks every loaded call up)...
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

// What the window's own Reposition handler changes (the main window empties its distances) is
// no edit of the record.
void RecordControl::repositioned() {
    const QScopedValueRollback<bool> loading(loading_, true);
    Q_EMIT Reposition();
}

void RecordControl::validate(DataAction action, bool changed) {
    Q_EMIT Validate(action, changed);
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

bool RecordControl::isChanged(const QObject *control) const {
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

std::vector<int> RecordControl::shownFields() const {
    std::vector<int> fields;
    for (const auto &binding : bindings_) {
        if (binding.control) {
            fields.push_back(binding.field);
        }
    }
    return fields;
}

RecordValues RecordControl::shownValues() const {
    const TableDef *table = recordset_->table();
    RecordValues values(table ? size_t(table->fields.size()) : 0);
    for (const auto &binding : bindings_) {
        if (binding.control) {
            values[size_t(binding.field)] = binding.get();
        }
    }
    return values;
}

bool RecordControl::UpdateRecord() {
    return recordset_->UpdateRecord();
}

bool RecordControl::open() {
    bindError_ = {};
    if (!recordset_->open(databaseName_, recordSource_)) {
        raiseError(recordset_->lastError());
        return false;
    }
    return true;
}

bool RecordControl::close() {
    if (!isOpen()) {
        return true;
    }
    const bool saved = recordset_->close();
    if (!saved) {
        raiseError(recordset_->lastError());
    }
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
    storage::Recordset &rs = *recordset_;
    const bool onRecord = rs.state() == CursorState::OnRecord;
    bool ok = true;
    switch (button) {
        case 0:
            ok = rs.MoveFirst();
            break;
        case 1:
            if (onRecord && rs.AbsolutePosition() == 0) {
                ok = rs.MoveFirst();
            } else {
                ok = rs.MovePrevious();
                if (ok && rs.state() == CursorState::BeforeFirst) {
                    ok = rs.MoveFirst();
                }
            }
            break;
        case 2:
            if (onRecord && rs.AbsolutePosition() + 1 == rs.RecordCount()) {
                ok = rs.MoveLast();
            } else {
                ok = rs.MoveNext();
                if (ok && rs.state() == CursorState::AfterLast) {
                    ok = rs.MoveLast();
                }
            }
            break;
        default:
            ok = rs.MoveLast();
            break;
    }
    if (!ok) {
        raiseError(recordset_->lastError());
    }
}

}  // namespace storage
