#include "extra/frmImport.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace extra {

frmImport::frmImport(QString databasePath, hamio::ImportPlan plan, const QString &fileName,
                     QWidget *parent)
    : QDialog(parent), databasePath_(std::move(databasePath)), plan_(std::move(plan)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("HAM-lijst importeren"));
    resize(560, 420);

    auto *title = new QLabel(QStringLiteral("Uit %1:").arg(fileName), this);
    title->setWordWrap(true);
    lblNieuw = new QLabel(QString::number(plan_.added.size()), this);
    lblGewijzigd = new QLabel(QString::number(plan_.changed.size()), this);
    lblOngewijzigd = new QLabel(QString::number(plan_.unchanged), this);
    lblAfgewezen = new QLabel(QString::number(plan_.rejected.size()), this);
    lstAfgewezen = new QListWidget(this);
    for (const hamio::RejectedRow &row : plan_.rejected) {
        lstAfgewezen->addItem(QStringLiteral("Regel %1: %2").arg(row.line).arg(row.reason));
    }
    prgImport = new QProgressBar(this);
    prgImport->setRange(0, int(std::max<size_t>(1, plan_.added.size() + plan_.changed.size())));
    prgImport->setValue(0);
    cmdImporteren = new QPushButton(QStringLiteral("&Importeren"), this);
    cmdImporteren->setEnabled(!plan_.added.empty() || !plan_.changed.empty());
    cmdAnnuleren = new QPushButton(QStringLiteral("&Annuleren"), this);

    auto *counts = new QFormLayout;
    counts->addRow(QStringLiteral("Nieuwe hams:"), lblNieuw);
    counts->addRow(QStringLiteral("Gewijzigde hams:"), lblGewijzigd);
    counts->addRow(QStringLiteral("Ongewijzigde hams:"), lblOngewijzigd);
    counts->addRow(QStringLiteral("Afgewezen regels:"), lblAfgewezen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(counts);
    if (!plan_.ignoredColumns.isEmpty()) {
        auto *ignored = new QLabel(QStringLiteral("Niet gebruikte kolommen: %1")
                                       .arg(plan_.ignoredColumns.join(QStringLiteral(", "))),
                                   this);
        ignored->setWordWrap(true);
        layout->addWidget(ignored);
    }
    layout->addWidget(lstAfgewezen, 1);
    layout->addWidget(prgImport);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImporteren);
    buttons->addWidget(cmdAnnuleren);
    layout->addLayout(buttons);

    connect(cmdImporteren, &QPushButton::clicked, this, &frmImport::cmdImporteren_Click);
    connect(cmdAnnuleren, &QPushButton::clicked, this, &frmImport::cmdAnnuleren_Click);
}

void frmImport::cmdImporteren_Click() {
    if (importing_) {
        return;
    }
    importing_ = true;
    stopRequested_ = false;
    cmdImporteren->setEnabled(false);
    QString error;
    const bool ok = hamio::applyImport(
        databasePath_, plan_,
        [this](int done, int) {
            prgImport->setValue(done);
            // Lets the bar paint and "Annuleren" be pressed.
            QApplication::processEvents();
            return !stopRequested_;
        },
        &error);
    importing_ = false;
    if (ok) {
        outcome_ = Outcome::Imported;
        accept();
    } else {
        outcome_ = error.isEmpty() ? Outcome::Cancelled : Outcome::Failed;
        failure_ = error;
        QDialog::reject();
    }
}

void frmImport::cmdAnnuleren_Click() {
    reject();
}

// During the import a stop is asked for; the import then rolls back and closes the window.
void frmImport::reject() {
    if (importing_) {
        stopRequested_ = true;
        return;
    }
    if (outcome_ == Outcome::Open) {
        outcome_ = Outcome::Cancelled;
    }
    QDialog::reject();
}

}  // namespace extra
