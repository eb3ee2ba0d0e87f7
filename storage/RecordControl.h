#pragma once

#include "storage/Recordset.h"

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

// The beginning of a text longer than a line edit with room for so many characters holds, as the
// box shows it (an ellipsis at the end, no character pair split), and the note that says why it
// is not all there and cannot be edited.
struct PartShown {
    QString text;
    QString note;
};
PartShown partOfLongText(const QString &text, qsizetype room);

// A field of the record that the window keeps without showing it: a text with a change
// notification, as a text box has, but nothing to lay out or paint.
class HiddenField : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    const QString &text() const { return text_; }
    void setText(const QString &text) {
        if (text != text_ || text.isNull() != text_.isNull()) {
            text_ = text;
            Q_EMIT textChanged(text_);
        }
    }
    void clear() { setText(QString()); }

Q_SIGNALS:
    void textChanged(const QString &text);

private:
    QString text_;
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
class RecordControl : public QWidget, private RecordView {
    Q_OBJECT

public:
    explicit RecordControl(QWidget *parent = nullptr);
    ~RecordControl() override;

    // Makes this the navigation bar over a cursor whose records another object shows (a model of
    // the records, which is then the cursor's view): the buttons move that cursor and report what
    // fails through Error. Nothing can be bound then. Call before anything else.
    void attach(storage::Recordset &records) { recordset_ = &records; }

    void setDatabaseName(const QString &path) { databaseName_ = path; }
    const QString &DatabaseName() const { return databaseName_; }
    QString Connect() const { return QStringLiteral("Access 2000;"); }
    void setRecordSource(const QString &table) { recordSource_ = table; }
    const QString &RecordSource() const { return recordSource_; }
    void setCaption(const QString &caption);
    QString Caption() const;

    // Binds a control of the window to a field of the table. Bind before open(), and after
    // giving a text box its length: the length limits typing only. A stored text that is
    // longer is shown whole; one longer than a text box can hold at all is shown in part,
    // read-only, with a tooltip that says so, and the record keeps it whole.
    bool bind(QLineEdit *control, const QString &field);
    bool bind(QPlainTextEdit *control, const QString &field);
    bool bind(QTextEdit *control, const QString &field);
    bool bind(QCheckBox *control, const QString &field);
    bool bind(HiddenField *control, const QString &field);

    // Opens the table (the window's load): the first record becomes current and is loaded, then
    // Reposition follows. On failure Error is raised and false returned.
    bool open();
    // Closes the table (the window's unload): the save step runs first, so pending edits are
    // stored.
    bool close();
    bool isOpen() const { return recordset_->isOpen(); }
    // True while a record is being put into the bound controls (their change handlers run then).
    bool isLoading() const { return loading_; }

    storage::Recordset &Recordset() { return *recordset_; }
    const storage::Recordset &Recordset() const { return *recordset_; }

    // Writes all bound values into the current record (or inserts the pending new record)
    // without raising Validate.
    bool UpdateRecord();

    // The changed flags: per bound control, set when its value changed after the record was
    // loaded.
    bool isChanged(const QObject *control) const;
    // Counts a bound control as edited although its value may not have changed, so that the
    // record gets what it shows when it is left. Nothing while a record is being loaded.
    void markEdited(QObject *control) { markChanged(control); }
    bool DataChanged() const;

    const StorageError &lastError() const {
        return bindError_ ? bindError_ : recordset_->lastError();
    }

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
    // What the cursor needs of the window.
    void showRecord(const RecordValues &values) override;
    void repositioned() override;
    void validate(DataAction action, bool changed) override;
    std::vector<int> shownFields() const override;
    std::vector<int> changedFields() const override;
    RecordValues shownValues() const override;
    void clearChanged() override;

    struct Binding {
        QPointer<QObject> control;
        int field = -1;
        bool changed = false;
        std::function<QVariant()> get;
        std::function<void(const QVariant &)> set;
    };

    bool addBinding(QObject *control, const QString &field, std::function<QVariant()> get,
                    std::function<void(const QVariant &)> set);
    void markChanged(QObject *control);
    bool anyChanged() const;
    void raiseError(const StorageError &error);
    void navigate(int button);

    QString databaseName_;
    QString recordSource_;
    storage::Recordset own_{*this};
    storage::Recordset *recordset_ = &own_;
    std::vector<Binding> bindings_;
    bool loading_ = false;
    StorageError bindError_;
    std::function<void(const QString &)> defaultErrorReport_;
    QLabel *caption_ = nullptr;
    QToolButton *buttons_[4] = {};
};

}  // namespace storage
