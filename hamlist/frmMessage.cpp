#include "hamlist/frmMessage.h"

#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QTimer>

namespace hamlist {

using platform::twips;

frmMessage::frmMessage(platform::Timers &timers, QWidget *owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TIP Bericht"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(twips(3855), twips(540));

    Label1 = new QLabel(QStringLiteral("Rechtsklikken om weer te plakken!"), this);
    Label1->setGeometry(platform::twipsRect(120, 120, 3615, 375));
    Label1->setFont(platform::verdana(9, true));

    Timer1 = timers.make(this, "Timer1", 1100, true);
    connect(Timer1, &platform::Timer::timeout, this, &frmMessage::Timer1_Timer);
    Timer1->start();
}

void frmMessage::Timer1_Timer() {
    Timer1->stop();
    close();
}

}  // namespace hamlist
