#include "platform/LoadedPrinterSurface.h"

#include "platform/Module.h"

namespace platform {

namespace {

using MakeSurface = PrinterSurface *(*)(FileChooser &, const PrinterChoiceStore *);

constexpr char kModuleName[] = "kringbaas-printing.so";

}  // namespace

LoadedPrinterSurface::LoadedPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice,
                                           QStringList modulePaths)
    : files_(files), choice_(choice), modulePaths_(std::move(modulePaths)) {}

// The surface goes before the module that holds its code.
LoadedPrinterSurface::~LoadedPrinterSurface() {
    surface_.reset();
}

QStringList LoadedPrinterSurface::modulePathsFor(const QString &programFolder,
                                                 const QString &installedRelative) {
    return modulePaths(programFolder, installedRelative, QString::fromLatin1(kModuleName));
}

PrinterSurface *LoadedPrinterSurface::surface() const {
    if (tried_) {
        return surface_.get();
    }
    tried_ = true;
    QString reason;
    if (loadModule(module_, modulePaths_, "kringbaas_printing_interface", kInterface, &reason)) {
        const auto make =
            reinterpret_cast<MakeSurface>(module_.resolve("kringbaas_make_printer_surface"));
        if (make) {
            surface_.reset(make(files_, choice_));
            return surface_.get();
        }
        module_.unload();
        reason = QStringLiteral("kan niet worden geladen (het maakt geen printer)");
    }
    loadError_ = QStringLiteral("Afdrukken is niet mogelijk: het onderdeel %1 van Kringbaas %2.")
                     .arg(QString::fromLatin1(kModuleName), reason);
    return nullptr;
}

QString LoadedPrinterSurface::deviceName() const {
    return surface() ? surface_->deviceName() : QString();
}

QStringList LoadedPrinterSurface::printers() const {
    return surface() ? surface_->printers() : QStringList{QString::fromLatin1(kPdfPrinterName)};
}

bool LoadedPrinterSurface::select(const QString &deviceName) {
    return surface() && surface_->select(deviceName);
}

void LoadedPrinterSurface::setDocumentName(const QString &name) {
    if (surface()) {
        surface_->setDocumentName(name);
    }
}

void LoadedPrinterSurface::setPortrait() {
    if (surface()) {
        surface_->setPortrait();
    }
}

void LoadedPrinterSurface::setFontName(const QString &name) {
    if (surface()) {
        surface_->setFontName(name);
    }
}

void LoadedPrinterSurface::setFontSize(double points) {
    if (surface()) {
        surface_->setFontSize(points);
    }
}

void LoadedPrinterSurface::setFontBold(bool bold) {
    if (surface()) {
        surface_->setFontBold(bold);
    }
}

void LoadedPrinterSurface::setLetterSpacing(double twips) {
    if (surface()) {
        surface_->setLetterSpacing(twips);
    }
}

double LoadedPrinterSurface::textWidth(const QString &text) const {
    return surface() ? surface_->textWidth(text) : 0.0;
}

void LoadedPrinterSurface::setTextColor(const QColor &color) {
    if (surface()) {
        surface_->setTextColor(color);
    }
}

void LoadedPrinterSurface::setCurrentX(int twips) {
    if (surface()) {
        surface_->setCurrentX(twips);
    }
}

void LoadedPrinterSurface::setCurrentY(int twips) {
    if (surface()) {
        surface_->setCurrentY(twips);
    }
}

int LoadedPrinterSurface::currentX() const {
    return surface() ? surface_->currentX() : 0;
}

int LoadedPrinterSurface::currentY() const {
    return surface() ? surface_->currentY() : 0;
}

void LoadedPrinterSurface::print(const QString &text) {
    if (surface()) {
        surface_->print(text);
    }
}

void LoadedPrinterSurface::drawPicture(const QImage &image, const QRect &twips) {
    if (surface()) {
        surface_->drawPicture(image, twips);
    }
}

void LoadedPrinterSurface::drawLine(const QPoint &from, const QPoint &to) {
    if (surface()) {
        surface_->drawLine(from, to);
    }
}

DocumentResult LoadedPrinterSurface::endDocument() {
    return surface() ? surface_->endDocument() : DocumentResult::Failed;
}

QString LoadedPrinterSurface::lastError() const {
    return surface() ? surface_->lastError() : loadError_;
}

PrinterChoice LoadedPrinterSurface::showPrinterDialog(QWidget *owner) {
    return surface() ? surface_->showPrinterDialog(owner) : PrinterChoice::Unchanged;
}

}  // namespace platform
