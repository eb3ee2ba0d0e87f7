#include "platform/QtPrinterSurface.h"

#include "platform/PrinterDialog.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kPdfResolution = 1200;

// A device of 1440 dots per inch, so font metrics against it come out in twips.
const QImage &twipsDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        const int dotsPerMeter = qRound(kTwipsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

}  // namespace

QtPrinterSurface::QtPrinterSurface(FileChooser &files, QString choiceFile)
    : files_(files), choiceFile_(std::move(choiceFile)) {
    installed_ = QPrinterInfo::availablePrinterNames();
    readChoice();
    reset();
}

QtPrinterSurface::~QtPrinterSurface() = default;

QStringList QtPrinterSurface::printers() const {
    QStringList all = installed_;
    const QString pdf = QString::fromLatin1(kPdfPrinterName);
    if (!all.contains(pdf)) {
        all.append(pdf);
    }
    return all;
}

bool QtPrinterSurface::select(const QString &deviceName) {
    if (!printers().contains(deviceName)) {
        return false;
    }
    current_ = deviceName;
    return true;
}

void QtPrinterSurface::readChoice() {
    QFile in(choiceFile_);
    QString chosen;
    if (!choiceFile_.isEmpty() && in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        chosen = QString::fromUtf8(in.readLine()).trimmed();
    }
    if (!chosen.isEmpty() && select(chosen)) {
        return;
    }
    const QString desktopDefault = QPrinterInfo::defaultPrinterName();
    if (!desktopDefault.isEmpty() && select(desktopDefault)) {
        return;
    }
    current_ = installed_.isEmpty() ? QString::fromLatin1(kPdfPrinterName) : installed_.first();
}

// Written whole or not at all, so a failed write keeps the earlier choice.
void QtPrinterSurface::writeChoice() const {
    if (choiceFile_.isEmpty()) {
        return;
    }
    QSaveFile out(choiceFile_);
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        out.write(current_.toUtf8() + '\n');
        out.commit();
    }
}

QFont QtPrinterSurface::startFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    // Hinting fits glyphs to a screen's pixels; on paper and in a PDF it only costs time.
    font.setHintingPreference(QFont::PreferNoHinting);
    // Without shaping the font's ligatures stay out (DejaVu Sans draws "ff" as one glyph), so
    // the PDF's text reads, copies and searches as it was written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void QtPrinterSurface::reset() {
    documentName_.clear();
    orientation_ = QPageLayout::Portrait;
    font_ = startFont();
    color_ = Qt::black;
    x_ = 0;
    y_ = 0;
    drawings_.clear();
}

void QtPrinterSurface::setFontSize(double points) {
    if (points > 0) {
        font_.setPointSizeF(points);
    }
}

void QtPrinterSurface::print(const QString &text) {
    Drawing drawing{Drawing::Kind::Text, QPoint(x_, y_), {}, text, font_, color_, {}};
    drawings_.push_back(std::move(drawing));
    x_ = 0;
    y_ += lineHeight();
}

// Qt counts absolute letter spacing in pixels of the screen's logical resolution and scales it to
// each device, the PDF writer and the printers as well; what one such pixel is in twips is
// measured on the twips device.
void QtPrinterSurface::setLetterSpacing(double twips) {
    QFont font = font_;
    const QString letter = QStringLiteral("x");
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    const double plain = QFontMetricsF(font, &twipsDevice()).horizontalAdvance(letter);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    const double perPixel = QFontMetricsF(font, &twipsDevice()).horizontalAdvance(letter) - plain;
    font_.setLetterSpacing(QFont::AbsoluteSpacing, perPixel > 0 ? twips / perPixel : 0);
}

double QtPrinterSurface::textWidth(const QString &text) const {
    return QFontMetricsF(font_, &twipsDevice()).horizontalAdvance(text);
}

int QtPrinterSurface::lineHeight() {
    if (lineHeightFont_ != font_ || lineHeight_ < 0) {
        lineHeightFont_ = font_;
        lineHeight_ = qRound(QFontMetricsF(font_, &twipsDevice()).lineSpacing());
    }
    return lineHeight_;
}

void QtPrinterSurface::drawPicture(const QImage &image, const QRect &twips) {
    drawings_.push_back(Drawing{Drawing::Kind::Picture,
                                twips.topLeft(),
                                QPoint(twips.width(), twips.height()),
                                {},
                                {},
                                {},
                                image});
}

void QtPrinterSurface::drawLine(const QPoint &from, const QPoint &to) {
    drawings_.push_back(Drawing{Drawing::Kind::Line, from, to, {}, {}, Qt::black, {}});
}

bool QtPrinterSurface::paint(QPaintDevice &device, int dpi) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double scale = double(dpi) / kTwipsPerInch;
    auto at = [scale](const QPoint &twips) { return QPointF(twips) * scale; };
    bool fontSet = false;
    double ascent = 0;
    for (const Drawing &d : drawings_) {
        switch (d.kind) {
            case Drawing::Kind::Text: {
                if (!fontSet || painter.font() != d.font) {
                    painter.setFont(d.font);
                    ascent = QFontMetricsF(painter.font(), &device).ascent();
                    fontSet = true;
                }
                painter.setPen(d.color);
                const QPointF topLeft = at(d.at);
                painter.drawText(QPointF(topLeft.x(), topLeft.y() + ascent), d.text);
                break;
            }
            case Drawing::Kind::Picture:
                painter.drawImage(QRectF(at(d.at), QSizeF(d.to.x(), d.to.y()) * scale), d.image);
                break;
            case Drawing::Kind::Line:
                painter.setPen(QPen(d.color, kLineWidth * scale, Qt::SolidLine, Qt::FlatCap));
                painter.drawLine(at(d.at), at(d.to));
                break;
        }
    }
    return painter.end();
}

QString QtPrinterSurface::suggestedPdfPath(const QString &documentName) {
    QString name = documentName.trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    name.replace(unsafe, QStringLiteral("-"));
    while (name.startsWith(QLatin1Char('.'))) {
        name.remove(0, 1);
    }
    if (name.isEmpty()) {
        name = QStringLiteral("Kringbaas");
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

DocumentResult QtPrinterSurface::printPdf() {
    const std::optional<QString> path = files_.saveFileName(
        QApplication::activeWindow(), QStringLiteral("PDF bestand opslaan"),
        suggestedPdfPath(documentName_), QStringLiteral("PDF-bestanden (*.pdf)"));
    if (!path || path->isEmpty()) {
        return DocumentResult::Cancelled;
    }

    // Made in memory first: the file is only replaced by a complete PDF.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Kringbaas"));
        writer.setTitle(documentName_);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), orientation_,
                        QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                        QPageLayout::Millimeter));
        if (!paint(writer, writer.resolution())) {
            error_ = QStringLiteral("Het PDF bestand kon niet worden gemaakt");
            return DocumentResult::Failed;
        }
    }

    const QString shown = QDir::toNativeSeparators(*path);
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("Het bestand %1 kan niet worden geschreven").arg(shown);
        return DocumentResult::Failed;
    }
    if (file.write(pdf) != pdf.size() || !file.commit()) {
        error_ = QStringLiteral("Het bestand %1 kon niet helemaal worden geschreven").arg(shown);
        return DocumentResult::Failed;
    }
    return DocumentResult::Printed;
}

DocumentResult QtPrinterSurface::printOn(const QString &printerName) {
    QPrinter printer(QPrinterInfo::printerInfo(printerName), QPrinter::HighResolution);
    if (!printer.isValid()) {
        error_ = QStringLiteral("De printer %1 is niet beschikbaar").arg(printerName);
        return DocumentResult::Failed;
    }
    printer.setDocName(documentName_);
    printer.setCreator(QStringLiteral("Kringbaas"));
    printer.setPageOrientation(orientation_);
    if (!paint(printer, printer.resolution())) {
        error_ = QStringLiteral("De printer %1 kan niet afdrukken").arg(printerName);
        return DocumentResult::Failed;
    }
    return DocumentResult::Printed;
}

DocumentResult QtPrinterSurface::endDocument() {
    error_.clear();
    DocumentResult result = DocumentResult::Printed;
    if (!drawings_.empty()) {
        result = current_ == QString::fromLatin1(kPdfPrinterName) && !installed_.contains(current_)
                     ? printPdf()
                     : printOn(current_);
    }
    reset();
    return result;
}

void QtPrinterSurface::showPrinterDialog(QWidget *owner) {
    installed_ = QPrinterInfo::availablePrinterNames();
    PrinterDialog dialog(printers(), current_, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString chosen = dialog.chosen();
    if (chosen != current_ && select(chosen)) {
        writeChoice();
    }
}

}  // namespace platform
