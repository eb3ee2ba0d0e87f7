#pragma once

#include "platform/Controls.h"
#include "platform/Services.h"
#include "roundmodel/RoundSheet.h"

#include <QDialog>

namespace roundsheet {

class frmMain;

// The call entry box: the controller types a call and presses Enter; the call goes into the first
// free row of the round sheet, and a fresh box follows until Escape or a full round.
class frmToevoegen : public QDialog {
    Q_OBJECT

public:
    frmToevoegen(roundmodel::RoundSheet &sheet, platform::Services services, QWidget *parent);
    // Over the main window: a placed call is stored at once and a fresh box follows shortly,
    // until the round is full.
    explicit frmToevoegen(frmMain &main);

    platform::TextBox *Text1 = nullptr;

    // Enter in the box.
    void Text1_Enter();

Q_SIGNALS:
    // The call went onto the sheet; worthStoring when it was more than blanks.
    void placed(bool worthStoring);
    // No new box follows: every row is taken, or no call can be placed in the round on screen.
    void seriesEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    roundmodel::RoundSheet &sheet_;
    platform::Services services_;
};

}  // namespace roundsheet
