#include "platform/fakes/FakePrinterSurface.h"

namespace platform::fakes {

FakePrinterSurface::FakePrinterSurface() {
    setPrinters({QStringLiteral("Kantoorprinter"), QString::fromLatin1(kPdfPrinterName)});
    resetDocument();
}

void FakePrinterSurface::setPrinters(const QStringList &printers) {
    printers_ = printers;
    current_ = printers.value(0);
}

void FakePrinterSurface::queueResult(DocumentResult result, const QString &error) {
    results_.enqueue({result, error});
}

bool FakePrinterSurface::select(const QString &deviceName) {
    selections_.append(deviceName);
    if (!printers_.contains(deviceName)) {
        return false;
    }
    current_ = deviceName;
    return true;
}

FakePrinterSurface::Op FakePrinterSurface::op(Op::Kind kind) const {
    Op o;
    o.kind = kind;
    o.at = QPoint(x_, y_);
    o.fontName = fontName_;
    o.fontSize = fontSize_;
    o.bold = bold_;
    o.letterSpacing = letterSpacing_;
    o.color = color_;
    return o;
}

double FakePrinterSurface::textWidth(const QString &text) const {
    return double(text.size()) * (fontSize_ * 10 + letterSpacing_);
}

void FakePrinterSurface::setPortrait() {
    ops_.append(op(Op::Kind::Portrait));
}

void FakePrinterSurface::print(const QString &text) {
    Op o = op(Op::Kind::Text);
    o.text = text;
    ops_.append(o);
    x_ = 0;
    y_ += qRound(fontSize_ * kTwipsPerPointLine);
}

void FakePrinterSurface::drawPicture(const QImage &image, const QRect &twips) {
    Op o = op(Op::Kind::Picture);
    o.at = twips.topLeft();
    o.rect = twips;
    o.image = image;
    ops_.append(o);
}

void FakePrinterSurface::drawLine(const QPoint &from, const QPoint &to) {
    Op o = op(Op::Kind::Line);
    o.at = from;
    o.to = to;
    ops_.append(o);
}

DocumentResult FakePrinterSurface::endDocument() {
    DocumentResult result = DocumentResult::Printed;
    error_.clear();
    if (!results_.isEmpty()) {
        const auto queued = results_.dequeue();
        result = queued.first;
        error_ = queued.second;
    }
    documents_.append(Document{current_, documentName_, ops_, result});
    resetDocument();
    return result;
}

void FakePrinterSurface::resetDocument() {
    documentName_.clear();
    fontName_ = QStringLiteral("Arial");
    fontSize_ = 10;
    bold_ = false;
    letterSpacing_ = 0;
    color_ = Qt::black;
    x_ = 0;
    y_ = 0;
    ops_.clear();
}

PrinterChoice FakePrinterSurface::showPrinterDialog(QWidget *) {
    ++dialogsShown_;
    if (dialogChoices_.isEmpty()) {
        return PrinterChoice::Unchanged;
    }
    const DialogChoice choice = dialogChoices_.dequeue();
    if (!choice.printer || *choice.printer == current_ || !printers_.contains(*choice.printer)) {
        return PrinterChoice::Unchanged;
    }
    current_ = *choice.printer;
    if (!choice.kept) {
        error_ = choice.reason;
        return PrinterChoice::NotKept;
    }
    return PrinterChoice::Kept;
}

}  // namespace platform::fakes
