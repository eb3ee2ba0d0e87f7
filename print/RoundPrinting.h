#pragma once

#include "platform/MessageBoxes.h"
#include "platform/PrinterSurface.h"
#include "print/RoundPage.h"

class QWidget;

namespace print {

// The logo at the top of the printed list.
QImage roundLogo();

enum class PrintOutcome {
    Printed,     // on paper, or the PDF file written
    NotPrinted,  // the user cancelled the question or the file
    Failed,      // the printer or the file failed; the surface says why
};

// The print-out on the current printer: asks "Je gaat deze ronde uitprinten" first unless the
// PDF printer is current, then draws and ends the page. Shows nothing on failure.
PrintOutcome printRoundPage(QWidget *owner, platform::PrinterSurface &printer,
                            platform::MessageBoxes &messages, const RoundSheet &sheet);

// "Ronde Uitprinten": the print-out; a failure is shown.
void printRound(QWidget *owner, platform::PrinterSurface &printer, platform::MessageBoxes &messages,
                const RoundSheet &sheet);

// "Ronde Exporteren naar PDF": the print-out on the PDF printer, after which the printer that
// was current is current again. Success is reported only for a written file; a cancelled file
// is no failure.
void exportRound(QWidget *owner, platform::PrinterSurface &printer,
                 platform::MessageBoxes &messages, const RoundSheet &sheet);

// "Printer Setup": the printer dialog. True when another printer was chosen and kept, after
// the user has been asked to start the program again; the caller then closes the program. A
// choice that could not be kept is said, and the program stays open with it.
bool setupPrinter(QWidget *owner, platform::PrinterSurface &printer,
                  platform::MessageBoxes &messages);

// Tells the user that printing failed, and why.
void showPrintFailure(QWidget *owner, platform::MessageBoxes &messages, const QString &reason);

}  // namespace print
