#pragma once

#include "platform/FileChooser.h"
#include "platform/PrinterSurface.h"

#include <QLibrary>
#include <QStringList>

#include <memory>

namespace platform {

// The program's printer surface: the one of Qt Print Support and CUPS, from the module
// kringbaas-printing, loaded when a method is first called (printing, "Printer Setup", the PDF
// export), not while the program starts. When the module cannot be loaded, nothing is printed:
// the document fails with a Dutch reason, the printer list holds only the PDF device (which
// needs the module as well) and the printer dialog changes nothing.
class LoadedPrinterSurface : public PrinterSurface {
public:
    // The version of this interface; the module must have been built with the same.
    static constexpr int kInterface = 1;

    // modulePaths: where to look for the module, in this order.
    LoadedPrinterSurface(FileChooser &files, const PrinterChoiceStore *choice,
                         QStringList modulePaths);
    ~LoadedPrinterSurface() override;

    // Where the program looks for the module: beside itself (a build), then in the library
    // folder of an installation (installedRelative, relative to the folder of the program).
    static QStringList modulePathsFor(const QString &programFolder,
                                      const QString &installedRelative);

    // Whether the module is loaded (for tests: it is not, until printing first needs it).
    bool isLoaded() const { return surface_ != nullptr; }

    QString deviceName() const override;
    QStringList printers() const override;
    bool select(const QString &deviceName) override;
    void setDocumentName(const QString &name) override;
    void setPortrait() override;
    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setLetterSpacing(double twips) override;
    double textWidth(const QString &text) const override;
    void setTextColor(const QColor &color) override;
    void setCurrentX(int twips) override;
    void setCurrentY(int twips) override;
    int currentX() const override;
    int currentY() const override;
    void print(const QString &text) override;
    void drawPicture(const QImage &image, const QRect &twips) override;
    void drawLine(const QPoint &from, const QPoint &to) override;
    DocumentResult endDocument() override;
    QString lastError() const override;
    PrinterChoice showPrinterDialog(QWidget *owner) override;

private:
    PrinterSurface *surface() const;

    FileChooser &files_;
    const PrinterChoiceStore *choice_;
    QStringList modulePaths_;
    mutable bool tried_ = false;
    mutable QString loadError_;
    mutable QLibrary module_;
    mutable std::unique_ptr<PrinterSurface> surface_;
};

}  // namespace platform
