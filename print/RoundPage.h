#pragma once

#include "storage/Records.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <array>

namespace platform {
class PrinterSurface;
}

namespace print {

// What the printed participant list shows: the round as the sheet shows it, the station data
// and the captions of the turn buttons.
struct RoundSheet {
    storage::Round round;
    QString roundNumber;
    QString clubCall;
    QString frequency;
    QString unit;  // after the frequency
    std::array<QString, storage::Round::kRows> turnCaptions;
    int year = 0;  // of the closing line
};

// The 100-character column header of the list.
QString columnHeader();

// A distance or a turn count as the list prints it: a number rounded to a whole number,
// halves away from zero, without leading zeros, and empty for 0; anything else unchanged.
QString wholeNumberForm(const QString &text);

// The colour of the closing line, the grey of a button's shadow.
inline const QColor kButtonShadow{160, 160, 160};

// Draws the participant list as one portrait page. The document is left open: the caller ends
// it.
void drawRoundPage(platform::PrinterSurface &surface, const RoundSheet &sheet, const QImage &logo);

// The name of the document: the printer's job name and the name offered for the PDF file.
QString roundDocumentName(const RoundSheet &sheet);

}  // namespace print
