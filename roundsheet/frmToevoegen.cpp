#include "roundsheet/frmToevoegen.h"

#include "platform/Twips.h"
#include "roundsheet/frmMain.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace roundsheet {

using platform::twips;
using platform::twipsRect;

frmToevoegen::frmToevoegen(roundmodel::RoundSheet &sheet, platform::Services services,
                           QWidget *parent)
    : QDialog(parent), sheet_(sheet), services_(services) {
    setObjectName(QStringLiteral("frmToevoegen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Deelnemer Toevoegen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    resize(twips(3615), twips(1560));
    setFont(platform::verdana(9));

    auto *frame = new QGroupBox(this);
    frame->setGeometry(twipsRect(120, 120, 3375, 1335));
    auto *label = new QLabel(QStringLiteral("CALL"), frame);
    label->setGeometry(twipsRect(360, 240, 735, 375));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1 = new platform::TextBox(frame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(360, 480, 2655, 615));
    Text1->setFont(platform::verdana(18, true));
    label->setBuddy(Text1);
    Text1->setAccessibleName(QStringLiteral("CALL"));
    Text1->installEventFilter(this);
    Text1->setTypedUpperCase(true);
    Text1->setFocus();
}

frmToevoegen::frmToevoegen(frmMain &main) : frmToevoegen(main.sheet(), main.services(), &main) {
    connect(this, &frmToevoegen::placed, &main, &frmMain::callPlaced);
    connect(this, &frmToevoegen::seriesEnded, &main, &frmMain::endCallSeries);
}

void frmToevoegen::Text1_Enter() {
    const QString call = Text1->text().trimmed().toUpper();
    platform::Clock &clock = services_.clock;
    switch (sheet_.placeCall(Text1->text(), [&clock] { return clock.utcNow(); })) {
        case roundmodel::RoundSheet::Placing::Duplicate:
            services_.messages.show(this, call + QStringLiteral(" doet al mee in deze ronde"),
                                    platform::MessageStyle::OkCritical,
                                    QStringLiteral("Dubbele invoer"));
            Text1->clear();
            return;
        case roundmodel::RoundSheet::Placing::Full:
            services_.messages.show(this, QStringLiteral("De ronde is vol"),
                                    platform::MessageStyle::OkOnly);
            Q_EMIT seriesEnded();
            Text1->clear();
            close();
            return;
        case roundmodel::RoundSheet::Placing::NotAllowed:
            // The round on screen is not the one being led (or rounds are only browsed): the
            // call goes nowhere and no new box follows.
            services_.messages.show(this,
                                    QStringLiteral("Deelnemers voeg je alleen toe aan de ronde "
                                                   "die je leidt; die staat niet op het scherm."),
                                    platform::MessageStyle::OkOnly);
            Q_EMIT seriesEnded();
            Text1->clear();
            close();
            return;
        case roundmodel::RoundSheet::Placing::Placed:
            break;
    }
    // Blanks alone place nothing worth storing.
    Q_EMIT placed(!call.isEmpty());
    close();
}

bool frmToevoegen::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Text1_Enter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace roundsheet
