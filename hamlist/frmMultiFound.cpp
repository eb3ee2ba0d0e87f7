#include "hamlist/frmMultiFound.h"

#include "hamlist/HamRules.h"
#include "hamlist/frmAmateur.h"
#include "platform/Controls.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace hamlist {

using platform::twips;
using platform::twipsRect;

frmMultiFound::frmMultiFound(frmAmateur *amateur) : QDialog(amateur), amateur_(amateur) {
    setObjectName(QStringLiteral("frmMultiFound"));
    setWindowTitle(QStringLiteral("Er zijn meerdere resultaten gevonden."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(twips(7455), twips(7755));

    const QFont bold = platform::verdana(9, true);

    Label1 = new QLabel(QStringLiteral("Dubbelkik op de gewenste HAM:"), this);
    Label1->setGeometry(twipsRect(120, 160, 6255, 255));
    Label1->setFont(bold);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 480, 7215, 6300));
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setPointSizeF(9.75);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    List1->setFont(fixed);
    List1->setAccessibleName(Label1->text());
    Label1->setBuddy(List1);

    Label2 = new QLabel(this);
    Label2->setGeometry(twipsRect(120, 6840, 2895, 255));
    Label2->setFont(bold);
    Label3 = new QLabel(this);
    Label3->setGeometry(twipsRect(3120, 6840, 4215, 255));
    Label3->setFont(bold);
    QPalette darkRed = Label3->palette();
    darkRed.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Label3->setPalette(darkRed);

    Command2 = new QPushButton(QStringLiteral("&Annuleren"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twipsRect(5880, 7200, 1455, 495));
    Command2->setAccessibleName(QStringLiteral("Annuleren"));

    connect(List1, &QListWidget::itemDoubleClicked, this, &frmMultiFound::List1_DblClick);
    connect(Command2, &QPushButton::clicked, this, &frmMultiFound::Command2_Click);
}

// The counts and the search text are brought up to date whenever the window is shown, and the
// focus goes to "Annuleren", so that Enter closes the window.
void frmMultiFound::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    const int count = List1->count();
    Label2->setText(QString::number(count) + (count < 2
                                                  ? QStringLiteral(" Amateur gevonden met ")
                                                  : QStringLiteral(" Amateurs gevonden met ")));
    Label3->setText(amateur_->txtZoek->text());
    Command2->setFocus();
}

void frmMultiFound::List1_DblClick() {
    const QListWidgetItem *item = List1->currentItem();
    if (!item) {
        return;
    }
    // The line starts with its position; all its digits count, so tables of more than ten
    // thousand hams work too.
    const int position = hitLinePosition(item->text());
    if (position >= 0) {
        amateur_->Data1->Recordset().setAbsolutePosition(position);
    }
    hide();
}

void frmMultiFound::Command2_Click() {
    close();
}

}  // namespace hamlist
