#include "platform/Controls.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
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

void TextBox::setProgramTextOnly(bool on) {
    programTextOnly_ = on;
    setAcceptDrops(!on);
}

// Keys that only look, select or copy.
static bool changesNothing(const QKeyEvent *event) {
    static const QKeySequence::StandardKey looking[] = {
        QKeySequence::Copy,
        QKeySequence::SelectAll,
        QKeySequence::MoveToNextChar,
        QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,
        QKeySequence::SelectNextChar,
        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,
        QKeySequence::SelectNextWord,
        QKeySequence::SelectPreviousWord,
    };
    for (QKeySequence::StandardKey key : looking) {
        if (event->matches(key)) {
            return true;
        }
    }
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

void TextBox::keyPressEvent(QKeyEvent *event) {
    if (!event->isAutoRepeat()) {
        pressedKey_ = event->key();
    }
    if (programTextOnly_ && !changesNothing(event)) {
        // Not the box's key: it may still be the window's (Escape, Enter, shortcuts).
        event->ignore();
        return;
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

void TextBox::contextMenuEvent(QContextMenuEvent *event) {
    if (!programTextOnly_ || isReadOnly()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The menu of a read-only box: copy and select all.
    setReadOnly(true);
    QLineEdit::contextMenuEvent(event);
    setReadOnly(false);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event) {
    if (programTextOnly_ && event->button() == Qt::MiddleButton) {
        event->accept();  // no paste of the selection
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event) {
    if (programTextOnly_) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
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
