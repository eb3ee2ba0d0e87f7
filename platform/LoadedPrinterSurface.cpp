#include "platform/LoadedPrinterSurface.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

using MakeSurface = PrinterSurface *(*)(FileChooser &, const PrinterChoiceStore *);
using Interface = int (*)();

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
    const QDir folder(programFolder);
    return {folder.filePath(QString::fromLatin1(kModuleName)),
            QDir::cleanPath(folder.filePath(installedRelative + QLatin1Char('/') +
                                            QString::fromLatin1(kModuleName)))};
}

PrinterSurface *LoadedPrinterSurface::surface() const {
    if (tried_) {
        return surface_.get();
    }
    tried_ = true;
    QStringList failures;
    for (const QString &path : modulePaths_) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        module_.setFileName(path);
        if (!module_.load()) {
            failures << module_.errorString();
            continue;
        }
        const auto interface =
            reinterpret_cast<Interface>(module_.resolve("kringbaas_printing_interface"));
        const auto make =
            reinterpret_cast<MakeSurface>(module_.resolve("kringbaas_make_printer_surface"));
        if (!interface || !make || interface() != kInterface) {
            failures << QStringLiteral("%1 hoort niet bij deze versie van Kringbaas")
                            .arg(QDir::toNativeSeparators(path));
            module_.unload();
            continue;
        }
        surface_.reset(make(files_, choice_));
        return surface_.get();
    }
    loadError_ = QStringLiteral("Afdrukken is niet mogelijk: het onderdeel %1 van Kringbaas %2.")
                     .arg(QString::fromLatin1(kModuleName),
                          failures.isEmpty() ? QStringLiteral("ontbreekt")
                                             : QStringLiteral("kan niet worden geladen (%1)")
                                                   .arg(failures.join(QStringLiteral("; "))));
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
