#pragma once

#include "platform/Controls.h"
#include "platform/Timer.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace roundsheet {

class frmMain;

// The start dialog: a new round, or only a look at the stored ones. For a new round it takes the
// controller's call and first name, fills the round fields and the controller's row and starts
// the round's clocks.
class frmDialog : public QDialog {
    Q_OBJECT

public:
    explicit frmDialog(frmMain &main);

    // How the dialog ended.
    // NotBegun: Yes was answered, but the round on screen could not be stored first.
    enum class Outcome { Open, Browse, Abandoned, RoundBegun, NotBegun };
    Outcome outcome() const { return outcome_; }

    QLabel *Label2 = nullptr;
    platform::TextBox *Text1 = nullptr;  // the controller's call
    QLabel *Label1 = nullptr;
    platform::TextBox *Text2 = nullptr;  // the controller's first name
    QPushButton *OKButton = nullptr;     // "Begin Ronde"
    platform::Timer *tmrUnload = nullptr;

    void tmrUnload_Timer();
    void Text_Change();
    void Text1_LostFocus();
    void Text2_LostFocus();
    void OKButton_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void browseStoredRounds(bool abandon);
    void notBegun();
    void finish(Outcome outcome);

    frmMain &main_;
    Outcome outcome_ = Outcome::Open;
    bool asking_ = false;
    bool newRound_ = false;  // Yes was answered and a new round is pending
};

}  // namespace roundsheet
