#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace hamlist {

// The hint after a copy: shown for 1.1 seconds near the copied field, then it closes itself.
class frmMessage : public QDialog {
    Q_OBJECT

public:
    explicit frmMessage(QWidget *owner);

    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;

    void Timer1_Timer();
};

}  // namespace hamlist
