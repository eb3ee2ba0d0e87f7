#pragma once

#include "platform/FileChooser.h"
#include "platform/PrintQueues.h"
#include "platform/PrinterSurface.h"

#include <QFont>
#include <QPageLayout>

#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;

namespace platform {

// The desktop's printers, found through Qt's print support (CUPS on Linux), and beside them a
// PDF device under the name kPdfPrinterName that writes a vector PDF file and asks for its name
// through the file chooser when the document ends. What is drawn is kept until then, so a
// cancelled file leaves nothing behind.
//
// The printer picked in the printer dialog is kept in the choice store and is current again in
// the next run; without a choice the desktop's default printer
// is current, and without any printer the PDF device. When the chosen printer has gone, the
// default printer (or the PDF device) stands in but prints nothing until a printer is picked
// again or the chosen one is back: a print-out never goes to another printer unasked.
//
// A document for a printer is sent as a PDF job straight to its queue, after asking the queue
// whether it is there and takes jobs; Qt's own printing neither says that nor whether a job
// was made.
class QtPrinterSurface : public PrinterSurface {
public:
    // The desktop's CUPS queues. Without a choice store (nullptr) no choice is kept.
    QtPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice);
    QtPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice, PrintQueues &queues);
    ~QtPrinterSurface() override;

    QString deviceName() const override;
    QStringList printers() const override;
    bool select(const QString &deviceName) override;

    void setDocumentName(const QString &name) override { documentName_ = name; }
    void setPortrait() override { orientation_ = QPageLayout::Portrait; }
    void setFontName(const QString &name) override { font_.setFamily(name); }
    void setFontSize(double points) override;
    void setFontBold(bool bold) override { font_.setBold(bold); }
    void setLetterSpacing(double twips) override;
    double textWidth(const QString &text) const override;
    void setTextColor(const QColor &color) override { color_ = color; }
    void setCurrentX(int twips) override { x_ = twips; }
    void setCurrentY(int twips) override { y_ = twips; }
    int currentX() const override { return x_; }
    int currentY() const override { return y_; }

    void print(const QString &text) override;
    void drawPicture(const QImage &image, const QRect &twips) override;
    void drawLine(const QPoint &from, const QPoint &to) override;

    DocumentResult endDocument() override;
    QString lastError() const override { return error_; }

    PrinterChoice showPrinterDialog(QWidget *owner) override;

    // The file name the PDF device offers for a document of this name: in the user's
    // documents folder (the home folder when there is none), with the characters a file name
    // cannot hold replaced.
    static QString suggestedPdfPath(const QString &documentName);
    // The rules' width, in twips.
    static constexpr int kLineWidth = 15;
    // The margins of the PDF page around the printable area, in millimetres.
    static constexpr double kPdfMarginMm = 6.35;

private:
    struct Drawing {
        enum class Kind { Text, Picture, Line } kind;
        QPoint at;  // twips; the top-left of a text or picture, a line's start
        QPoint to;  // a line's end; a picture's size
        QString text;
        QFont font;
        QColor color;
        QImage image;
    };

    static QFont startFont();
    void reset();
    // The line height of the current font, in twips.
    int lineHeight();
    // The desktop's printers and the current one, asked of CUPS when printing first needs them,
    // not while the program starts.
    void know() const;
    void readChoice() const;
    bool pick(const QString &deviceName) const;
    // Keeps the current printer as the choice for later runs; false, with *reason, when it
    // could not be kept.
    bool writeChoice(QString *reason) const;
    // Draws every drawing onto the device, whose resolution is dpi.
    bool paint(QPaintDevice &device, int dpi) const;
    // The drawings as a PDF document of that page layout; nothing when it cannot be made.
    std::optional<QByteArray> pdfDocument(const QPageLayout &layout) const;
    DocumentResult printPdf();
    DocumentResult printOn(const QString &printerName);

    FileChooser &files_;
    const PrinterChoiceStore *choice_;
    std::unique_ptr<PrintQueues> ownQueues_;
    PrintQueues *queues_;
    // The chosen printer that had gone at the start, and the printer standing in for it.
    mutable bool known_ = false;
    mutable QString missingChoice_;
    mutable QString standIn_;
    mutable QStringList installed_;  // the desktop's printers, without the PDF device
    mutable QString current_;

    QString documentName_;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    QFont font_;
    QColor color_;
    int x_ = 0;
    int y_ = 0;
    std::vector<Drawing> drawings_;
    QFont lineHeightFont_;
    int lineHeight_ = -1;
    QString error_;
};

}  // namespace platform
