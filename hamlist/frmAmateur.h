#pragma once

#include "platform/Controls.h"
#include "platform/Services.h"
#include "storage/RecordControl.h"
#include "storage/Settings.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace hamlist {

class frmMultiFound;

// The ham list: the editor of the table of known radio amateurs, one ham at a time, with its
// search and copy buttons. Its record control is also the cursor through which the other windows
// look hams up by call: they run an exact find on Data1 and read the found ham from txtFields.
class frmAmateur : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFields = 10;

    frmAmateur(const QString &dataFolder, platform::Services services, QWidget *owner = nullptr);
    ~frmAmateur() override;

    // The bound fields: call, naam, adres, postcode, qth, grid, land, telefoon, email (text
    // boxes) and byzonderheden (several lines).
    std::array<platform::TextBox *, kFields - 1> txtFields{};
    QPlainTextEdit *txtBijzonderheden = nullptr;  // field 9 as shown
    QWidget *field(int index) const;
    QString fieldText(int index) const;
    void setFieldText(int index, const QString &text);

    storage::RecordControl *Data1 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QLabel *lblMessage = nullptr;
    QPushButton *Command2 = nullptr;  // copy the call
    QPushButton *cmdMap = nullptr;
    QPushButton *Command3 = nullptr;  // copy the e-mail address
    QAction *delham = nullptr;
    QAction *startmetgedeeltecall = nullptr;

    // The search.
    QGroupBox *Frame1 = nullptr;
    platform::TextBox *txtZoek = nullptr;
    QPushButton *Command4 = nullptr;  // "wis"
    QComboBox *Combo1 = nullptr;
    QCheckBox *Check1 = nullptr;      // partial-call search
    QPushButton *Command1 = nullptr;  // "&Zoek"

    // The participant context, filled by whoever opens the list for one participant.
    QCheckBox *Check2 = nullptr;
    QLineEdit *txtZcall = nullptr;
    QLineEdit *txtZnaam = nullptr;
    QLineEdit *txtX = nullptr;
    // Reads the name in a row of the round sheet at the moment the participant search runs.
    std::function<QString(int row)> participantName;

    platform::Timer *Timer1 = nullptr;        // clears "opgeslagen!"
    platform::Timer *opstarttimer = nullptr;  // the start-up move to the last ham
    platform::Timer *tmrKlik = nullptr;       // the participant search

    // The result window of the last search with several hits, while it exists.
    frmMultiFound *multiFound() const;

    // Checks an e-mail address; tells the user when it is not one.
    bool isEmail(const QString &text);

    // Opens the list for one participant of the round: the participant search runs by itself
    // half a second later.
    void setParticipant(int row, const QString &call, const QString &name);

    // Handlers, one per control and event.
    void opstarttimer_Timer();
    void Timer1_Timer();
    void tmrKlik_Timer();
    void cmdAdd_Click();
    void cmdUpdate_Click();
    void delham_Click();
    void startmetgedeeltecall_Click();
    void cmdMap_Click();
    void txtFields_Change();
    void txtFields_LostFocus(int index);
    void txtFields_DblClick();
    void Command1_Click();  // the search
    void Command4_Click();
    void Combo1_LostFocus();
    void txtZoek_Change();
    void Command2_Click();
    void Command3_Click();
    void Data1_Validate();
    void Data1_Reposition();
    void Data1_Error(int dataErr, const QString &description, int *response);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void normaliseField(int index, bool tell);
    // A text put into a box whole, longer than the box's length if need be: the length limits
    // typing only.
    static void putWhole(QLineEdit *box, const QString &text);
    void normaliseFocusedField();
    void load();
    void copyToClipboard(int fieldIndex, int hintTopTwips);
    void restoreMouse();
    void notFound();

    storage::Settings settings_;
    platform::Services services_;
    platform::MessageBoxes &messages_;
    platform::WebLauncher &web_;
    QPointer<frmMultiFound> multiFound_;
    bool busy_ = false;
    bool closed_ = false;
    void showParticulars();
    void particularsTyped();

    // Typing stops at this many characters of particulars.
    static constexpr int kParticularsLimit = 255;
    // A longer text, put there by an import or another program, is shown only in part and not
    // edited here: laying out a text of millions of characters would hold the window for minutes.
    static constexpr int kParticularsShown = 10000;
    // The particulars as stored and saved, whole; the box shows them (or their beginning).
    storage::HiddenField *particulars_ = nullptr;
    bool settingParticulars_ = false;
};

}  // namespace hamlist
