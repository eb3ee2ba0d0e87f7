#pragma once

#include "hamio/HamImport.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace extra {

// The preview of a ham list import: how many hams are new, changed and unchanged, which rows
// are rejected and why. "Importeren" writes everything in one transaction with a progress bar;
// "Annuleren" (also during the import) leaves the ham list as it was.
class frmImport : public QDialog {
    Q_OBJECT

public:
    frmImport(QString databasePath, hamio::ImportPlan plan, const QString &fileName,
              QWidget *parent = nullptr);

    enum class Outcome { Open, Cancelled, Imported, Failed };
    Outcome outcome() const { return outcome_; }
    const QString &failure() const { return failure_; }

    QLabel *lblNieuw = nullptr;
    QLabel *lblGewijzigd = nullptr;
    QLabel *lblOngewijzigd = nullptr;
    QLabel *lblAfgewezen = nullptr;
    QListWidget *lstAfgewezen = nullptr;
    QProgressBar *prgImport = nullptr;
    QPushButton *cmdImporteren = nullptr;
    QPushButton *cmdAnnuleren = nullptr;

    void cmdImporteren_Click();
    void cmdAnnuleren_Click();
    // Escape and the close box: as "Annuleren".
    void reject() override;

private:
    QString databasePath_;
    hamio::ImportPlan plan_;
    Outcome outcome_ = Outcome::Open;
    QString failure_;
    bool importing_ = false;
    bool stopRequested_ = false;
};

}  // namespace extra
