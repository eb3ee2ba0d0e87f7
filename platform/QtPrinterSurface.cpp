#include "platform/QtPrinterSurface.h"

#include "platform/PrinterDialog.h"
#include "platform/WholeFile.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

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

QtPrinterSurface::QtPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice)
    : files_(files),
      choice_(choice),
      ownQueues_(std::make_unique<CupsPrintQueues>()),
      queues_(ownQueues_.get()) {
    reset();
}

QtPrinterSurface::QtPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice,
                                   PrintQueues &queues)
    : files_(files), choice_(choice), queues_(&queues) {
    reset();
}

QtPrinterSurface::~QtPrinterSurface() = default;

void QtPrinterSurface::know() const {
    if (known_) {
        return;
    }
    known_ = true;
    installed_ = queues_->names();
    readChoice();
}

QString QtPrinterSurface::deviceName() const {
    know();
    return current_;
}

QStringList QtPrinterSurface::printers() const {
    know();
    QStringList all = installed_;
    if (!missingChoice_.isEmpty() && standIn_ == missingChoice_ && !all.contains(missingChoice_)) {
        all.append(missingChoice_);
    }
    const QString pdf = QString::fromLatin1(kPdfPrinterName);
    if (!all.contains(pdf)) {
        all.append(pdf);
    }
    return all;
}

bool QtPrinterSurface::select(const QString &deviceName) {
    know();
    return pick(deviceName);
}

bool QtPrinterSurface::pick(const QString &deviceName) const {
    if (!printers().contains(deviceName)) {
        return false;
    }
    current_ = deviceName;
    return true;
}

void QtPrinterSurface::readChoice() const {
    const QString chosen = choice_ ? choice_->read() : QString();
    if (!chosen.isEmpty() && pick(chosen)) {
        return;
    }
    const QString desktopDefault = queues_->defaultName();
    if (desktopDefault.isEmpty() || !pick(desktopDefault)) {
        current_ = installed_.isEmpty() ? QString::fromLatin1(kPdfPrinterName) : installed_.first();
    }
    if (!chosen.isEmpty()) {
        // The PDF device cannot stand in: it would ask for a file instead of saying that the
        // printer has gone. The gone printer itself stays current then.
        missingChoice_ = chosen;
        if (current_ == QString::fromLatin1(kPdfPrinterName)) {
            current_ = chosen;
        }
        standIn_ = current_;
    }
}

// Written whole or not at all, so a failed write keeps the earlier choice.
bool QtPrinterSurface::writeChoice(QString *reason) const {
    return !choice_ || choice_->write(current_, reason);
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
    return QDir(defaultSaveFolder()).filePath(name + QStringLiteral(".pdf"));
}

std::optional<QByteArray> QtPrinterSurface::pdfDocument(const QPageLayout &layout) const {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Kringbaas"));
        writer.setTitle(documentName_);
        writer.setPageLayout(layout);
        if (!paint(writer, writer.resolution())) {
            return std::nullopt;
        }
    }
    return pdf;
}

DocumentResult QtPrinterSurface::printPdf() {
    const std::optional<QString> path = files_.saveFileName(
        QApplication::activeWindow(), QStringLiteral("PDF bestand opslaan"),
        suggestedPdfPath(documentName_), QStringLiteral("PDF-bestanden (*.pdf)"));
    if (!path || path->isEmpty()) {
        return DocumentResult::Cancelled;
    }
    // Writing over the database or its log would lose the rounds.
    if (const QString refusal = files_.refusal(*path); !refusal.isEmpty()) {
        error_ = refusal;
        return DocumentResult::Failed;
    }

    // Made in memory first: the file is only replaced by a complete PDF.
    const std::optional<QByteArray> pdf =
        pdfDocument(QPageLayout(QPageSize(QPageSize::A4), orientation_,
                                QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                                QPageLayout::Millimeter));
    if (!pdf) {
        error_ = QStringLiteral("Het PDF bestand kon niet worden gemaakt");
        return DocumentResult::Failed;
    }
    QString reason;
    if (!writeWholeFile(*path, *pdf, &reason)) {
        error_ = QStringLiteral("Het bestand %1 kan niet worden geschreven")
                     .arg(QDir::toNativeSeparators(*path));
        if (!reason.isEmpty()) {
            error_ += QStringLiteral(": ") + reason;
        }
        return DocumentResult::Failed;
    }
    return DocumentResult::Printed;
}

DocumentResult QtPrinterSurface::printOn(const QString &printerName) {
    const QString nothing =
        QStringLiteral("Er is niets afgedrukt, ook niet op een andere printer.");
    auto detailOf = [](const QueueState &state) {
        return state.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(state.detail);
    };
    installed_ = queues_->names();
    if (!missingChoice_.isEmpty() && printerName == standIn_) {
        if (!installed_.contains(missingChoice_) && standIn_ == missingChoice_) {
            error_ = QStringLiteral(
                         "De gekozen printer \"%1\" is er niet meer, en er is geen "
                         "andere printer. %2 Kies in \"Printer Setup\" een printer.")
                         .arg(missingChoice_, nothing);
            return DocumentResult::Failed;
        }
        if (!installed_.contains(missingChoice_)) {
            error_ = QStringLiteral(
                         "De gekozen printer \"%1\" is er niet meer; de huidige "
                         "printer is \"%2\". %3 Kies in \"Printer Setup\" de printer "
                         "om op af te drukken.")
                         .arg(missingChoice_, printerName, nothing);
            return DocumentResult::Failed;
        }
        // The chosen printer is back: the print-out goes there.
        current_ = missingChoice_;
        missingChoice_.clear();
        standIn_.clear();
        return printOn(current_);
    }

    const QueueState state = queues_->state(printerName);
    switch (state.kind) {
        case QueueState::Kind::Missing:
            error_ = QStringLiteral(
                         "De huidige printer \"%1\" is er niet (meer). %2 Kies in "
                         "\"Printer Setup\" een printer.")
                         .arg(printerName, nothing);
            return DocumentResult::Failed;
        case QueueState::Kind::NotAccepting:
            error_ = QStringLiteral("De printer \"%1\" neemt geen opdrachten aan%2. %3")
                         .arg(printerName, detailOf(state), nothing);
            return DocumentResult::Failed;
        case QueueState::Kind::Stopped:
            error_ = QStringLiteral(
                         "De printer \"%1\" is gestopt%2; een afdruk zou blijven "
                         "wachten. %3")
                         .arg(printerName, detailOf(state), nothing);
            return DocumentResult::Failed;
        case QueueState::Kind::Ready:
            break;
    }

    // The page as the printer has it, the printable area within its margins.
    QPageLayout layout(QPageSize(QPageSize::A4), orientation_,
                       QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                       QPageLayout::Millimeter);
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setPageOrientation(orientation_);
        layout = printer.pageLayout();
    }
    const std::optional<QByteArray> pdf = pdfDocument(layout);
    if (!pdf) {
        error_ = QStringLiteral("De afdruk voor printer \"%1\" kon niet worden gemaakt. %2")
                     .arg(printerName, nothing);
        return DocumentResult::Failed;
    }
    QString reason;
    if (queues_->submit(printerName, documentName_, *pdf, &reason) <= 0) {
        error_ =
            QStringLiteral("De printer \"%1\" heeft de afdruk niet aangenomen%2. %3")
                .arg(printerName,
                     reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason), nothing);
        return DocumentResult::Failed;
    }
    return DocumentResult::Printed;
}

DocumentResult QtPrinterSurface::endDocument() {
    know();
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

PrinterChoice QtPrinterSurface::showPrinterDialog(QWidget *owner) {
    know();
    installed_ = queues_->names();
    PrinterDialog dialog(printers(), current_, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return PrinterChoice::Unchanged;
    }
    const QString chosen = dialog.chosen();
    // While a printer stands in for a chosen one that has gone, picking it is a choice too.
    const bool standingIn = !missingChoice_.isEmpty() && chosen == standIn_;
    if ((chosen == current_ && !standingIn) || !select(chosen)) {
        return PrinterChoice::Unchanged;
    }
    missingChoice_.clear();
    standIn_.clear();
    error_.clear();
    QString reason;
    if (!writeChoice(&reason)) {
        error_ = QStringLiteral(
                     "De keuze voor printer \"%1\" kon niet worden bewaard: %2 kan "
                     "niet worden geschreven: %3. Tot het programma sluit wordt op "
                     "\"%1\" afgedrukt; daarna geldt de vorige keuze weer.")
                     .arg(chosen, choice_->where(), reason);
        return PrinterChoice::NotKept;
    }
    return PrinterChoice::Kept;
}

}  // namespace platform
