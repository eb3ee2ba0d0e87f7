#include "print/KeptPrinter.h"

#include <QDir>

#include <utility>

namespace print {

KeptPrinter::KeptPrinter(storage::Settings settings) : settings_(std::move(settings)) {}

QString KeptPrinter::read() const {
    return settings_.readPrinter();
}

bool KeptPrinter::write(const QString &printerName, QString *reason) const {
    return settings_.writePrinter(printerName, reason);
}

QString KeptPrinter::where() const {
    return QDir::toNativeSeparators(settings_.path(storage::Settings::kPrinter));
}

}  // namespace print
