#pragma once

#include "platform/Services.h"
#include "storage/RecordControl.h"

#include <QDialog>

#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace notes {

// The notes window: nine notes and the agenda, one tab each, kept in the last record of the
// table notes. Whatever way it closes, the notes are stored first.
class frmNotities : public QDialog {
    Q_OBJECT

public:
    static constexpr int kNotes = 10;  // note 10 is the agenda

    frmNotities(const QString &dataFolder, platform::Services services, QWidget *owner = nullptr);
    ~frmNotities() override;

    QTabWidget *SSTab1 = nullptr;
    // txtNot[1] .. txtNot[10], bound to n1 .. n10; txtNot[0] does not exist.
    std::array<QPlainTextEdit *, kNotes + 1> txtNot{};
    QLabel *Label1 = nullptr;
    QPushButton *Command2 = nullptr;  // "Wis"
    QPushButton *Command1 = nullptr;  // "OK"
    storage::RecordControl *Data1 = nullptr;
    platform::Timer *Timer1 = nullptr;      // the focus into the first note, once
    platform::Timer *tmrOpstart = nullptr;  // the move to the last notes record, once

    // The number of the selected tab, 1 to 10.
    int currentNote() const;

    // Handlers, one per control and event.
    void Timer1_Timer();
    void tmrOpstart_Timer();
    void SSTab1_Click(int previousTab);
    void Command2_Click();
    void Command1_Click();

    // The store sequence: the first move stores the edits into the record being edited, the
    // second comes back to the last record. False when the notes could not be stored; they
    // then stay on screen.
    bool storeNotes();

    // Closes the window as the program ends: the notes are stored, or the user is told they
    // could not be, and the window goes.
    void closeWithOwner();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    QString notStoredText() const;
    void tellNotStored();

    platform::Services services_;
    bool closed_ = false;
    bool closingWithOwner_ = false;
};

}  // namespace notes
