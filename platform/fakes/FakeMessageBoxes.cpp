#include "platform/fakes/FakeMessageBoxes.h"

#include <QtGlobal>

namespace platform::fakes {

namespace {

QString effectiveTitle(const QString &title) {
    return title.isEmpty() ? applicationTitle() : title;
}

bool isYesNo(MessageStyle style) {
    return style == MessageStyle::YesNoQuestion || style == MessageStyle::YesNoInformation;
}

bool isOkOnly(MessageStyle style) {
    return style == MessageStyle::OkOnly || style == MessageStyle::OkInformation ||
           style == MessageStyle::OkCritical;
}

const char *answerName(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Ok:
            return "Ok";
        case MessageAnswer::Cancel:
            return "Cancel";
        case MessageAnswer::Yes:
            return "Yes";
        case MessageAnswer::No:
            return "No";
    }
    return "?";
}

}  // namespace

MessageAnswer FakeMessageBoxes::defaultAnswer(MessageStyle style) {
    return isYesNo(style) ? MessageAnswer::Yes : MessageAnswer::Ok;
}

bool FakeMessageBoxes::fits(MessageStyle style, MessageAnswer answer) {
    if (isYesNo(style)) {
        return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    }
    if (isOkOnly(style)) {
        return answer == MessageAnswer::Ok;
    }
    return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
}

MessageAnswer FakeMessageBoxes::show(QWidget *owner, const QString &text, MessageStyle style,
                                     const QString &title) {
    const MessageAnswer answer = m_answers.isEmpty() ? defaultAnswer(style) : m_answers.dequeue();
    if (!fits(style, answer)) {
        qFatal("FakeMessageBoxes: the queued answer %s has no button on the box \"%s\"",
               answerName(answer), qPrintable(text));
    }
    m_shown.append(Shown{text, effectiveTitle(title), style, answer, owner});
    return answer;
}

std::optional<QString> FakeMessageBoxes::input(QWidget *owner, const QString &prompt,
                                               const QString &title, const QString &defaultText) {
    std::optional<QString> answer;
    if (!m_inputs.isEmpty()) {
        answer = m_inputs.dequeue();
    }
    m_asked.append(Asked{prompt, effectiveTitle(title), defaultText, answer, owner});
    return answer;
}

void FakeMessageBoxes::clear() {
    m_shown.clear();
    m_asked.clear();
    m_answers.clear();
    m_inputs.clear();
}

}  // namespace platform::fakes
