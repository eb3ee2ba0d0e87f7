#pragma once

#include "platform/MessageBoxes.h"
#include "platform/PrinterSurface.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace print {

// The tips window: a page of user tips, and a button that prints them on the current printer.
class frmTip : public QDialog {
    Q_OBJECT

public:
    // Without a printer the print button does nothing.
    frmTip(platform::PrinterSurface *printer, platform::MessageBoxes &messages,
           QWidget *owner = nullptr);

    QPlainTextEdit *textbox1 = nullptr;
    QPushButton *Command1 = nullptr;  // "Print"
    QPushButton *cmdOK = nullptr;     // "OK", also on Escape, and on Enter unless Print has focus

    void Command1_Click();
    void cmdOK_Click();

private:
    platform::PrinterSurface *printer_;
    platform::MessageBoxes &messages_;
};

}  // namespace print
