#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace platform {

// The windows' font: Verdana (or the desktop's nearest sans-serif) at a size in points.
QFont verdana(double points, bool bold = false);

// A single-line text box with the events the windows react to besides its text changes:
// getting and losing the focus, a double-click and a key released.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    // Typed characters arrive in upper case (the call boxes, the search text).
    void setTypedUpperCase(bool on) { typedUpperCase_ = on; }
    // A box whose text only the program sets: the user can select and copy it, but typing,
    // pasting (keys, context menu, middle button), dropping and input methods change nothing.
    // Keys still raise keyReleased.
    void setProgramTextOnly(bool on);

Q_SIGNALS:
    void gotFocus();
    void lostFocus();
    void doubleClicked();
    // A key pressed and released in the box.
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    int pressedKey_ = 0;
    bool typedUpperCase_ = false;
    bool programTextOnly_ = false;
};

// A label that reports clicks (the progress bar's caption, the round-time bar).
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A progress bar that reports clicks (the round-time bar pauses and resumes on a click).
class ClickProgressBar : public QProgressBar {
    Q_OBJECT

public:
    using QProgressBar::QProgressBar;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

}  // namespace platform
