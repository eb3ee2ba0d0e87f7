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

frmToevoegen::frmToevoegen(frmMain &main) : QDialog(&main), main_(main) {
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

void frmToevoegen::Text1_Enter() {
    // Calls on the sheet are upper case; a call pasted in lower case is the same call.
    const QString call = Text1->text().trimmed().toUpper();
    // Blanks alone are no call, and no duplicate of the empty rows either.
    if (!call.isEmpty()) {
        for (const platform::TextBox *row : main_.Text1) {
            if (row->text() == call) {
                main_.services().messages.show(
                    this, call + QStringLiteral(" doet al mee in deze ronde"),
                    platform::MessageStyle::OkCritical, QStringLiteral("Dubbele invoer"));
                Text1->clear();
                return;
            }
        }
    }
    bool placed = false;
    for (int row = 0; row < frmMain::kRows; ++row) {
        if (main_.Text1[row]->text().isEmpty()) {
            main_.Text1[row]->setText(call);
            if (!call.isEmpty()) {
                main_.txtTijd[row]->setText(
                    storage::storedTimeText(main_.services().clock.utcNow()));
            }
            placed = true;
            break;
        }
    }
    if (!placed) {
        main_.services().messages.show(this, QStringLiteral("De ronde is vol"),
                                       platform::MessageStyle::OkOnly);
        main_.tmrToeVoeg->stop();
        Text1->clear();
        close();
        return;
    }
    if (!call.isEmpty()) {
        main_.storeRound();
    }
    main_.tmrToeVoeg->start();
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
