#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QDialogButtonBox;

namespace platform {

// Lists the printers with the current one selected; OK takes the selected one.
class PrinterDialog : public QDialog {
    Q_OBJECT

public:
    PrinterDialog(const QStringList &printers, const QString &current, QWidget *owner);

    // The selected printer; empty when none is selected.
    QString chosen() const;

    QListWidget *lstPrinters = nullptr;
    QDialogButtonBox *buttons = nullptr;
};

}  // namespace platform
