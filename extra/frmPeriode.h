#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

namespace extra {

// Asks for a period of days, both included: "Van" and "Tot en met".
class frmPeriode : public QDialog {
    Q_OBJECT

public:
    frmPeriode(const QString &title, const QDate &from, const QDate &to, QWidget *parent = nullptr);

    QDate from() const;
    QDate to() const;

    QDateEdit *dteVan = nullptr;
    QDateEdit *dteTot = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnuleren = nullptr;
};

}  // namespace extra
