#include "platform/Controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

void TextBox::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        Q_EMIT gotFocus();
    }
}

void TextBox::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another application or opening a menu does not leave the box.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        Q_EMIT lostFocus();
    }
}

void TextBox::mouseDoubleClickEvent(QMouseEvent *event) {
    QLineEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

QFont verdana(double points, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void TextBox::keyPressEvent(QKeyEvent *event) {
    if (!event->isAutoRepeat()) {
        pressedKey_ = event->key();
    }
    const QString upper = event->text().toUpper();
    if (typedUpperCase_ && upper != event->text()) {
        QKeyEvent shifted(event->type(), event->key(), event->modifiers(), upper,
                          event->isAutoRepeat(), ushort(event->count()));
        QLineEdit::keyPressEvent(&shifted);
        event->setAccepted(shifted.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Only a key that was pressed in this box counts when it is released here: the release of the
// Tab that brought the focus into the box, or of a modifier, is no key typed into it.
void TextBox::keyReleaseEvent(QKeyEvent *event) {
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat()) {
        return;
    }
    const bool pressedHere = event->key() == pressedKey_;
    pressedKey_ = 0;
    if (pressedHere) {
        Q_EMIT keyReleased(event->key(), event->modifiers());
    }
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

void ClickProgressBar::mouseReleaseEvent(QMouseEvent *event) {
    QProgressBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

}  // namespace platform
