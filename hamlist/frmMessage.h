#pragma once

#include "platform/Timer.h"

#include <QDialog>

class QLabel;

namespace hamlist {

// The hint after a copy: shown for 1.1 seconds near the copied field, then it closes itself.
class frmMessage : public QDialog {
    Q_OBJECT

public:
    frmMessage(platform::Timers &timers, QWidget *owner);

    QLabel *Label1 = nullptr;
    platform::Timer *Timer1 = nullptr;

    void Timer1_Timer();
};

}  // namespace hamlist
