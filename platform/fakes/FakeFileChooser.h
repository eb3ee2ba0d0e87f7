#pragma once

#include "platform/FileChooser.h"

#include <QList>
#include <QQueue>

namespace platform::fakes {

// Answers the file dialogs with the paths the test queued, in order; with nothing queued the
// dialog is cancelled. Every dialog is recorded.
class FakeFileChooser : public FileChooser {
public:
    struct Asked {
        QString title;
        QString suggestedPath;
        QString filter;
    };

    std::optional<QString> saveFileName(QWidget *, const QString &title,
                                        const QString &suggestedPath,
                                        const QString &filter) override {
        asked_.append(Asked{title, suggestedPath, filter});
        return answers_.isEmpty() ? std::nullopt : answers_.dequeue();
    }

    std::optional<QString> openFileName(QWidget *, const QString &title, const QString &folder,
                                        const QString &filter) override {
        asked_.append(Asked{title, folder, filter});
        return answers_.isEmpty() ? std::nullopt : answers_.dequeue();
    }

    void queueAnswer(std::optional<QString> path) { answers_.enqueue(std::move(path)); }
    const QList<Asked> &asked() const { return asked_; }
    qsizetype pendingAnswers() const { return answers_.size(); }

private:
    QList<Asked> asked_;
    QQueue<std::optional<QString>> answers_;
};

}  // namespace platform::fakes
