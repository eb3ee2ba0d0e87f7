#include "extra/frmLive.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace extra {

namespace {

constexpr int kFreePort = 1024;  // shown as "vrije poort"

}  // namespace

frmLive::frmLive(live::LiveShare &share, const storage::Settings &settings,
                 platform::MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), share_(share), settings_(settings), messages_(messages) {
    setObjectName(QStringLiteral("frmLive"));
    setWindowTitle(title());
    auto *intro = new QLabel(
        QStringLiteral("De ronde op het scherm als live lijst: wie op het netwerk van de club is, "
                       "volgt hem in een browser, ook op een telefoon. Een versie voor "
                       "streamingprogramma's staat op hetzelfde adres met ?overlay=1 erachter.\n"
                       "Gedeeld worden alleen de gegevens van de ronde zoals die op het scherm "
                       "staan, zonder onderwerpen; niets uit de HAM-lijst daarbuiten."),
        this);
    intro->setWordWrap(true);
    txtPoort = new QSpinBox(this);
    txtPoort->setRange(kFreePort, 65535);
    txtPoort->setSpecialValueText(QStringLiteral("een vrije poort"));
    const storage::Settings::Live kept = settings_.readLive();
    txtPoort->setValue(share_.isOn() ? share_.port() : kept.port.value_or(kFreePort));
    chkBewaren =
        new QCheckBox(QStringLiteral("Ook delen na het opnieuw starten van Kringbaas"), this);
    chkBewaren->setChecked(kept.keepOn);
    chkOveral = new QCheckBox(
        QStringLiteral("Ook browsers buiten het lokale netwerk (bijvoorbeeld via internet)"), this);
    // The kept choice holds for the sharing to come as well.
    chkOveral->setChecked(kept.openToAll);
    share_.setOpenToAll(kept.openToAll);
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdDelen = new QPushButton(this);
    cmdDelen->setDefault(true);
    cmdSluiten = new QPushButton(QStringLiteral("Sluiten"), this);

    auto *form = new QFormLayout(this);
    form->addRow(intro);
    form->addRow(QStringLiteral("Poort"), txtPoort);
    form->addRow(chkBewaren);
    form->addRow(chkOveral);
    form->addRow(lblStatus);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDelen);
    buttons->addWidget(cmdSluiten);
    form->addRow(buttons);
    setMinimumWidth(480);

    connect(cmdDelen, &QPushButton::clicked, this, &frmLive::cmdDelen_Click);
    connect(chkBewaren, &QCheckBox::clicked, this, &frmLive::chkBewaren_Click);
    connect(chkOveral, &QCheckBox::clicked, this, &frmLive::chkOveral_Click);
    connect(cmdSluiten, &QPushButton::clicked, this, &QDialog::accept);
    connect(&share_, &live::LiveShare::sharingChanged, this, &frmLive::showState);
    showState();
}

void frmLive::showState() {
    const bool on = share_.isOn();
    cmdDelen->setText(on ? QStringLiteral("Stoppen met delen") : QStringLiteral("Delen"));
    txtPoort->setEnabled(!on);
    if (!on) {
        lblStatus->setText(QStringLiteral("De live lijst wordt niet gedeeld."));
        return;
    }
    txtPoort->setValue(share_.port());
    lblStatus->setText(
        QStringLiteral("De live lijst wordt gedeeld. Open in een browser:\n") +
        share_.addresses().join(QLatin1Char('\n')) +
        (share_.isOpenToAll()
             ? QStringLiteral("\nOok browsers buiten het lokale netwerk krijgen de lijst.")
             : QStringLiteral("\nAlleen browsers op het lokale netwerk krijgen de lijst.")));
}

void frmLive::cmdDelen_Click() {
    if (share_.isOn()) {
        share_.stop();
        return;
    }
    const quint16 port = txtPoort->value() == kFreePort ? 0 : quint16(txtPoort->value());
    QString error;
    if (!share_.start(port, &error)) {
        messages_.show(this, error, platform::MessageStyle::OkCritical, title());
        return;
    }
    // The port a free one turned out to be stays, so that the address stays the same.
    keep(share_.port());
}

void frmLive::chkBewaren_Click() {
    keep(settings_.readLive().port);
}

void frmLive::chkOveral_Click() {
    share_.setOpenToAll(chkOveral->isChecked());
    showState();
    keep(settings_.readLive().port);
}

void frmLive::keep(std::optional<quint16> port) {
    if (!settings_.writeLive({port, chkBewaren->isChecked(), chkOveral->isChecked()})) {
        messages_.show(this,
                       QStringLiteral("De keuze is niet bewaard: het bestand %1 kan niet worden "
                                      "geschreven.")
                           .arg(settings_.path(storage::Settings::kLive)),
                       platform::MessageStyle::OkInformation, title());
    }
}

}  // namespace extra
