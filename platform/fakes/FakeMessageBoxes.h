#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QWidget>

#include <optional>

namespace platform::fakes {

// Message boxes without windows. Every box is recorded; the answers come, in order, from the
// ones the test queued. With nothing queued an OK box answers Ok, a Yes/No box Yes, and the
// input box is cancelled. A queued answer that does not fit the box stops the test program.
class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;  // as shown: the application title when none was given
        MessageStyle style;
        MessageAnswer answer;
        QPointer<QWidget> owner;
    };
    struct Asked {
        QString prompt;
        QString title;  // as shown: the application title when none was given
        QString defaultText;
        std::optional<QString> answer;
        QPointer<QWidget> owner;
    };

    MessageAnswer show(QWidget *owner, const QString &text, MessageStyle style,
                       const QString &title = {}) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title = {},
                                 const QString &defaultText = {}) override;

    void queueAnswer(MessageAnswer answer) { m_answers.enqueue(answer); }
    void queueInput(std::optional<QString> answer) { m_inputs.enqueue(std::move(answer)); }

    const QList<Shown> &shown() const { return m_shown; }
    const QList<Asked> &asked() const { return m_asked; }
    // Queued answers no box has taken yet.
    qsizetype pendingAnswers() const { return m_answers.size(); }
    qsizetype pendingInputs() const { return m_inputs.size(); }

    // Forgets the recorded boxes and the queued answers.
    void clear();

    // The answer a box of this style gives when nothing is queued.
    static MessageAnswer defaultAnswer(MessageStyle style);
    // Whether the box of this style has a button for the answer.
    static bool fits(MessageStyle style, MessageAnswer answer);

private:
    QList<Shown> m_shown;
    QList<Asked> m_asked;
    QQueue<MessageAnswer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
};

}  // namespace platform::fakes
