#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// The name under which the printer list always holds a PDF device, whatever the desktop has.
inline constexpr char kPdfPrinterName[] = "Microsoft Print to PDF";

// What became of a document when it ended.
enum class DocumentResult {
    Printed,    // sent to the printer, or the PDF file written
    Cancelled,  // the user chose no file for the PDF; nothing was written
    Failed,     // see PrinterSurface::lastError()
};

// What became of a printer chosen in the printer dialog.
enum class PrinterChoice {
    Unchanged,  // cancelled, or the current printer picked again
    Kept,       // another printer is current and stays the choice in later runs
    NotKept,    // another printer is current for this run, but the choice could not be
                // written for later runs; see PrinterSurface::lastError()
};

// Where the printer picked in the printer dialog is kept between runs. A printer surface asks
// it only when printing first needs the choice, not while the program starts.
class PrinterChoiceStore {
public:
    virtual ~PrinterChoiceStore() = default;

    // The printer kept from an earlier run; empty when none was kept or it cannot be read.
    virtual QString read() const = 0;
    // Keeps the printer for later runs; false, with *reason in Dutch, when it could not be kept.
    virtual bool write(const QString &printerName, QString *reason) const = 0;
    // Where the choice is kept, as a message names it.
    virtual QString where() const = 0;
};

// The current printer. Positions are in twips (1/1440 inch) from the top-left corner of the
// printable area; font sizes in points. The first drawing operation starts a document of one
// page, endDocument() finishes it; until then nothing reaches the printer.
class PrinterSurface {
public:
    virtual ~PrinterSurface() = default;

    virtual QString deviceName() const = 0;
    // The installed printers in the platform's order, the PDF device among them.
    virtual QStringList printers() const = 0;
    // Makes the named printer current; false, changing nothing, when no printer has that name.
    virtual bool select(const QString &deviceName) = 0;

    // Names the document: the printer's job name, and the file name the PDF device offers.
    virtual void setDocumentName(const QString &name) = 0;
    virtual void setPortrait() = 0;
    virtual void setFontName(const QString &name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    // Widens every character of the following texts by this many twips (narrows them when
    // negative).
    virtual void setLetterSpacing(double twips) = 0;
    // The width of the text in the current font and letter spacing, in twips.
    virtual double textWidth(const QString &text) const = 0;
    virtual void setTextColor(const QColor &color) = 0;
    virtual void setCurrentX(int twips) = 0;
    virtual void setCurrentY(int twips) = 0;
    virtual int currentX() const = 0;
    virtual int currentY() const = 0;

    // Draws the text with its top-left at the current point, then moves the current point to
    // the left edge, one line of the current font lower.
    virtual void print(const QString &text) = 0;
    // The image scaled into the rectangle.
    virtual void drawPicture(const QImage &image, const QRect &twips) = 0;
    // A line in black with the default width.
    virtual void drawLine(const QPoint &from, const QPoint &to) = 0;

    // Finishes the page and sends it to the printer. The PDF device asks here for the file.
    // The font, colour and current point start afresh for the next document.
    virtual DocumentResult endDocument() = 0;
    // Why the last document failed, or the last printer choice could not be kept, in Dutch,
    // for the user.
    virtual QString lastError() const = 0;

    // The modal printer selection. A printer picked there becomes current and stays the
    // choice in later runs of the program, when that choice can be written.
    virtual PrinterChoice showPrinterDialog(QWidget *owner) = 0;
};

}  // namespace platform
