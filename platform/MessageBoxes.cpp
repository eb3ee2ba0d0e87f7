#include "platform/MessageBoxes.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace platform {

namespace {

bool isYesNo(MessageStyle style) {
    return style == MessageStyle::YesNoQuestion || style == MessageStyle::YesNoInformation;
}

bool isOkOnly(MessageStyle style) {
    return style == MessageStyle::OkOnly || style == MessageStyle::OkInformation ||
           style == MessageStyle::OkCritical;
}

QMessageBox::Icon iconFor(MessageStyle style) {
    switch (style) {
        case MessageStyle::OkOnly:
        case MessageStyle::OkCancel:
            return QMessageBox::NoIcon;
        case MessageStyle::OkInformation:
        case MessageStyle::OkCancelInformation:
        case MessageStyle::YesNoInformation:
            return QMessageBox::Information;
        case MessageStyle::OkCritical:
        case MessageStyle::OkCancelCritical:
            return QMessageBox::Critical;
        case MessageStyle::OkCancelExclamation:
            return QMessageBox::Warning;
        case MessageStyle::YesNoQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString effectiveTitle(const QString &title) {
    return title.isEmpty() ? applicationTitle() : title;
}

}  // namespace

QString applicationTitle() {
    return QStringLiteral("Kringbaas");
}

MessageAnswer QtMessageBoxes::show(QWidget *owner, const QString &text, MessageStyle style,
                                   const QString &title) {
    QMessageBox box(owner);
    box.setWindowTitle(effectiveTitle(title));
    // Texts often carry what the user typed; a "<" or "&" in a call must show as it is.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(iconFor(style));

    // Closing the box or pressing Escape answers Cancel, No, or OK when that is the only button.
    if (isYesNo(style)) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else if (isOkOnly(style)) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    }

    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            // Not reachable through the buttons above; count it as the box being closed.
            if (isYesNo(style)) {
                return MessageAnswer::No;
            }
            return isOkOnly(style) ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

std::optional<QString> QtMessageBoxes::input(QWidget *owner, const QString &prompt,
                                             const QString &title, const QString &defaultText) {
    QInputDialog dialog(owner);
    dialog.setWindowTitle(effectiveTitle(title));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    // The prompt may quote a typed text too; show it as plain text like the message boxes.
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        label->setTextFormat(Qt::PlainText);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

}  // namespace platform
