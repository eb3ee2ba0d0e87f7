#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class PrinterSurface;
}

namespace print {

// Where users write to the maker; a placeholder until the project has an address of its own.
inline constexpr char kMakerAddress[] = "kringbaas@example.org";

// The tips as the tips window shows them, line by line.
QStringList tipsWindowLines();
// The window's text: the lines, each ended by a carriage return and line feed.
QString tipsWindowText();
// The 38 lines of the printed tips page.
QStringList tipsPageLines();

// The name of the printed tips: the printer's job name, the PDF's title and its offered file name.
QString tipsDocumentName();

// Draws the tips page in Verdana 8 from 1500 twips down, the heading emphasised. The document is
// left open: the caller ends it.
void drawTipsPage(platform::PrinterSurface &surface);

}  // namespace print
