#include "print/RoundPrinting.h"

namespace print {

namespace {

const QString kPdfPrinter = QString::fromLatin1(platform::kPdfPrinterName);

// Makes current every installed printer of that name, as the desktop lists them.
void selectByName(platform::PrinterSurface &printer, const QString &name) {
    for (const QString &installed : printer.printers()) {
        if (installed == name) {
            printer.select(installed);
        }
    }
}

}  // namespace

QImage roundLogo() {
    static const QImage logo(QStringLiteral(":/kringbaas/logo.png"));
    return logo;
}

PrintOutcome printRoundPage(QWidget *owner, platform::PrinterSurface &printer,
                            platform::MessageBoxes &messages, const RoundSheet &sheet) {
    if (printer.deviceName() != kPdfPrinter &&
        messages.show(owner, QStringLiteral("Je gaat deze ronde uitprinten"),
                      platform::MessageStyle::OkCancel,
                      QStringLiteral("Deelnemers ronde")) != platform::MessageAnswer::Ok) {
        return PrintOutcome::NotPrinted;
    }
    printer.setDocumentName(roundDocumentName(sheet));
    drawRoundPage(printer, sheet, roundLogo());
    switch (printer.endDocument()) {
        case platform::DocumentResult::Printed:
            return PrintOutcome::Printed;
        case platform::DocumentResult::Cancelled:
            return PrintOutcome::NotPrinted;
        case platform::DocumentResult::Failed:
            break;
    }
    return PrintOutcome::Failed;
}

void showPrintFailure(QWidget *owner, platform::MessageBoxes &messages, const QString &reason) {
    messages.show(owner, QStringLiteral("Er is een fout opgetreden"),
                  platform::MessageStyle::OkCritical,
                  reason.isEmpty() ? QStringLiteral("Afdrukken mislukt") : reason);
}

void printRound(QWidget *owner, platform::PrinterSurface &printer, platform::MessageBoxes &messages,
                const RoundSheet &sheet) {
    if (printRoundPage(owner, printer, messages, sheet) == PrintOutcome::Failed) {
        showPrintFailure(owner, messages, printer.lastError());
    }
}

void exportRound(QWidget *owner, platform::PrinterSurface &printer,
                 platform::MessageBoxes &messages, const RoundSheet &sheet) {
    const QString previous = printer.deviceName();
    selectByName(printer, kPdfPrinter);
    // Without a PDF printer nothing is exported, not even to paper.
    PrintOutcome outcome = PrintOutcome::Failed;
    // The surface may say why (printing cannot be loaded at all).
    QString reason = printer.lastError();
    if (reason.isEmpty()) {
        reason = QStringLiteral("Er is geen printer \"%1\"").arg(kPdfPrinter);
    }
    if (printer.deviceName() == kPdfPrinter) {
        outcome = printRoundPage(owner, printer, messages, sheet);
        reason = printer.lastError();
    }
    selectByName(printer, previous);

    switch (outcome) {
        case PrintOutcome::Printed:
            messages.show(owner, QStringLiteral("Ronde succesvol opgeslagen"),
                          platform::MessageStyle::OkInformation,
                          QStringLiteral("Bestand geëxporteerd naar PDF bestand"));
            break;
        case PrintOutcome::NotPrinted:
            break;
        case PrintOutcome::Failed:
            showPrintFailure(owner, messages, reason);
            break;
    }
}

bool setupPrinter(QWidget *owner, platform::PrinterSurface &printer,
                  platform::MessageBoxes &messages) {
    switch (printer.showPrinterDialog(owner)) {
        case platform::PrinterChoice::Unchanged:
            return false;
        case platform::PrinterChoice::NotKept:
            // A restart would bring the old printer back: the program stays open instead.
            messages.show(owner, printer.lastError(), platform::MessageStyle::OkCritical,
                          QStringLiteral("Printerkeuze niet bewaard"));
            return false;
        case platform::PrinterChoice::Kept:
            break;
    }
    messages.show(owner, QStringLiteral("Programma opnieuw opstarten SVP"),
                  platform::MessageStyle::OkInformation,
                  QStringLiteral("Printer her-initialiseren"));
    return true;
}

}  // namespace print
