#include "hamlist/frmMessage.h"

#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QTimer>

namespace hamlist {

using platform::twips;

frmMessage::frmMessage(QWidget *owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TIP Bericht"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(twips(3855), twips(540));

    Label1 = new QLabel(QStringLiteral("Rechtsklikken om weer te plakken!"), this);
    Label1->setGeometry(platform::twipsRect(120, 120, 3615, 375));
    Label1->setFont(platform::verdana(9, true));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1100);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmMessage::Timer1_Timer);
    Timer1->start();
}

void frmMessage::Timer1_Timer() {
    Timer1->stop();
    close();
}

}  // namespace hamlist
