#pragma once

#include "platform/Controls.h"

#include <QDialog>

namespace roundsheet {

class frmMain;

// The call entry box: the controller types a call and presses Enter; the call goes into the first
// free row of the round sheet, and a fresh box follows until Escape or a full round.
class frmToevoegen : public QDialog {
    Q_OBJECT

public:
    explicit frmToevoegen(frmMain &main);

    platform::TextBox *Text1 = nullptr;

    // Enter in the box.
    void Text1_Enter();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmMain &main_;
};

}  // namespace roundsheet
