#include "platform/PrinterDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace platform {

PrinterDialog::PrinterDialog(const QStringList &printers, const QString &current, QWidget *owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("dlgPrinter"));
    setWindowTitle(QStringLiteral("Printer Setup"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Kies een printer:"), this));
    lstPrinters = new QListWidget(this);
    lstPrinters->addItems(printers);
    const int index = int(printers.indexOf(current));
    if (index >= 0) {
        lstPrinters->setCurrentRow(index);
    }
    layout->addWidget(lstPrinters);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstPrinters, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString PrinterDialog::chosen() const {
    const QListWidgetItem *item = lstPrinters->currentItem();
    return item ? item->text() : QString();
}

}  // namespace platform
