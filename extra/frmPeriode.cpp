#include "extra/frmPeriode.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace extra {

frmPeriode::frmPeriode(const QString &title, const QDate &from, const QDate &to, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPeriode"));
    setWindowTitle(title);
    dteVan = new QDateEdit(from, this);
    dteTot = new QDateEdit(to, this);
    for (QDateEdit *edit : {dteVan, dteTot}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd-MM-yyyy"));
    }
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdAnnuleren = new QPushButton(QStringLiteral("Annuleren"), this);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Van"), dteVan);
    form->addRow(QStringLiteral("Tot en met"), dteTot);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnnuleren);
    form->addRow(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdAnnuleren, &QPushButton::clicked, this, &QDialog::reject);
}

QDate frmPeriode::from() const {
    return std::min(dteVan->date(), dteTot->date());
}

QDate frmPeriode::to() const {
    return std::max(dteVan->date(), dteTot->date());
}

}  // namespace extra
