#include "roundsheet/frmMain.h"

#include "print/RoundPrinting.h"
#include "print/frmTip.h"

#include <QPushButton>

// The main window's menus for the printer and the tips.

namespace roundsheet {

namespace {

// The list as the sheet shows it now.
print::RoundSheet printedSheet(const frmMain &w) {
    print::RoundSheet sheet;
    using roundmodel::Field;
    const roundmodel::RoundSheet &shown = w.sheet();
    sheet.round = shown.round();
    sheet.roundNumber = shown.text(Field::RoundNumber);
    sheet.clubCall = shown.text(Field::ClubCall);
    sheet.frequency = shown.text(Field::Frequency);
    sheet.unit = shown.text(Field::Unit);
    for (int i = 0; i < frmMain::kRows; ++i) {
        sheet.turnCaptions[size_t(i)] = shown.turnCaption(i);
    }
    sheet.year = w.services().clock.localNow().date().year();
    return sheet;
}

}  // namespace

void frmMain::rondeuitprinten_Click() {
    if (printer_) {
        print::printRound(this, *printer_, services_.messages, printedSheet(*this));
    }
}

void frmMain::rondeexporteren_Click() {
    if (printer_) {
        print::exportRound(this, *printer_, services_.messages, printedSheet(*this));
    }
}

// Another printer takes effect in a new run: the program closes the normal way.
void frmMain::printerselect_Click() {
    if (printer_ && print::setupPrinter(this, *printer_, services_.messages)) {
        close();
    }
}

void frmMain::help_Click() {
    print::frmTip tips(printer_, services_.messages, this);
    tips.exec();
}

}  // namespace roundsheet
