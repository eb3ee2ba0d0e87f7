// The module kringbaas-printing: the printer surface of Qt Print Support and CUPS, made for the
// program when it first prints (see LoadedPrinterSurface).

#include "platform/LoadedPrinterSurface.h"
#include "platform/QtPrinterSurface.h"

extern "C" Q_DECL_EXPORT platform::PrinterSurface *kringbaas_make_printer_surface(
    platform::FileChooser &files, const platform::PrinterChoiceStore *choice) {
    return new platform::QtPrinterSurface(files, choice);
}

// The loader checks that it was built with the same interface.
extern "C" Q_DECL_EXPORT int kringbaas_printing_interface() {
    return platform::LoadedPrinterSurface::kInterface;
}
