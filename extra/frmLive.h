#pragma once

#include "live/LiveShare.h"
#include "platform/MessageBoxes.h"
#include "storage/Settings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace extra {

// "Live lijst delen": switches sharing the round as a live page on and off, on the port the user
// chose (or a free one), and shows the addresses others open. Only browsers on the local network
// get the page unless the user opens it to all. The port, whether sharing starts again with the
// program and whether it is open to all are kept in the settings file live.
class frmLive : public QDialog {
    Q_OBJECT

public:
    frmLive(live::LiveShare &share, const storage::Settings &settings,
            platform::MessageBoxes &messages, QWidget *parent = nullptr);

    static QString title() { return QStringLiteral("Live lijst delen"); }

    QSpinBox *txtPoort = nullptr;     // the minimum means: a free port
    QCheckBox *chkBewaren = nullptr;  // share again at the next start
    QCheckBox *chkOveral = nullptr;   // browsers outside the local network too
    QLabel *lblStatus = nullptr;      // off, or the addresses
    QPushButton *cmdDelen = nullptr;  // "Delen" or "Stoppen met delen"
    QPushButton *cmdSluiten = nullptr;

    void cmdDelen_Click();
    void chkBewaren_Click();
    void chkOveral_Click();

private:
    void showState();
    // Keeps the port and the choice in live; says so when it cannot.
    void keep(std::optional<quint16> port);

    live::LiveShare &share_;
    const storage::Settings &settings_;
    platform::MessageBoxes &messages_;
};

}  // namespace extra
