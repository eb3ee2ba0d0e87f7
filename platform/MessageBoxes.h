#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace platform {

// The message box styles the windows use.
enum class MessageStyle {
    OkOnly,
    OkInformation,
    OkCritical,
    OkCancel,
    OkCancelExclamation,
    OkCancelInformation,
    OkCancelCritical,
    YesNoQuestion,
    YesNoInformation,
};

enum class MessageAnswer { Ok, Cancel, Yes, No };

// Message boxes go through this interface, so tests can answer them and check what was asked.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // An empty title shows the application title "Kringbaas".
    virtual MessageAnswer show(QWidget *owner, const QString &text, MessageStyle style,
                               const QString &title = {}) = 0;

    // The input box: a prompt, a title and a default answer; empty when cancelled.
    virtual std::optional<QString> input(QWidget *owner, const QString &prompt,
                                         const QString &title = {},
                                         const QString &defaultText = {}) = 0;
};

// The real boxes, modal to their owner.
class QtMessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(QWidget *owner, const QString &text, MessageStyle style,
                       const QString &title = {}) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title = {},
                                 const QString &defaultText = {}) override;
};

QString applicationTitle();

}  // namespace platform
