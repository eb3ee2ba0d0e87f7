#include "platform/MessageBoxes.h"

#include <QMessageBox>

namespace platform {

QString applicationTitle()
{
    return QStringLiteral("Kringbaas");
}

MessageAnswer QtMessageBoxes::show(QWidget *owner, const QString &text, MessageStyle style,
                                   const QString &title)
{
    QMessageBox box(owner);
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    box.setText(text);
    switch (style) {
    case MessageStyle::OkOnly:
    case MessageStyle::OkCancel:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageStyle::OkInformation:
    case MessageStyle::OkCancelInformation:
    case MessageStyle::YesNoInformation:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageStyle::OkCritical:
    case MessageStyle::OkCancelCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageStyle::OkCancelExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageStyle::YesNoQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (style) {
    case MessageStyle::OkOnly:
    case MessageStyle::OkInformation:
    case MessageStyle::OkCritical:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MessageStyle::YesNoQuestion:
    case MessageStyle::YesNoInformation:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
    }
}

}  // namespace platform
