#include "print/frmTip.h"

#include "platform/Twips.h"
#include "print/RoundPrinting.h"
#include "print/TipsPage.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace print {

frmTip::frmTip(platform::PrinterSurface *printer, platform::MessageBoxes &messages, QWidget *owner)
    : QDialog(owner), printer_(printer), messages_(messages) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Handige gebruikers tips"));
    setModal(true);
    setFixedSize(platform::twips(11895), platform::twips(7095));

    textbox1 = new QPlainTextEdit(this);
    textbox1->setObjectName(QStringLiteral("textbox1"));
    textbox1->setGeometry(platform::twipsRect(120, 120, 11655, 6255));
    textbox1->setReadOnly(true);
    textbox1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The box breaks lines at the line feeds; the carriage returns would show as extra breaks.
    QString shown = tipsWindowText();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    textbox1->setPlainText(shown);

    Command1 = new QPushButton(QStringLiteral("Print"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(platform::twipsRect(120, 6540, 1335, 435));
    // Enter presses the focused Print button; with the focus elsewhere OK takes it again.
    Command1->setAutoDefault(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(platform::twipsRect(10440, 6540, 1335, 435));
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmTip::Command1_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);
}

void frmTip::Command1_Click() {
    if (!printer_) {
        return;
    }
    printer_->setDocumentName(tipsDocumentName());
    drawTipsPage(*printer_);
    if (printer_->endDocument() == platform::DocumentResult::Failed) {
        showPrintFailure(this, messages_, printer_->lastError());
    }
}

// Escape comes here too: it rejects the dialog, which closes it as OK does.
void frmTip::cmdOK_Click() {
    accept();
}

}  // namespace print
