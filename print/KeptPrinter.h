#pragma once

#include "platform/PrinterSurface.h"
#include "storage/Settings.h"

namespace print {

// The printer picked in "Printer Setup", kept in the settings file printer beside the program.
class KeptPrinter : public platform::PrinterChoiceStore {
public:
    explicit KeptPrinter(storage::Settings settings);

    QString read() const override;
    bool write(const QString &printerName, QString *reason) const override;
    QString where() const override;

private:
    storage::Settings settings_;
};

}  // namespace print
