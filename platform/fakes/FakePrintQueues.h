#pragma once

#include "platform/PrintQueues.h"

#include <QList>
#include <QMap>

namespace platform::fakes {

// Printer queues a test sets up and changes at will; a job lands in jobs() unless the queue
// refuses it the way a print system would, or the test made the next submit fail.
class FakePrintQueues : public PrintQueues {
public:
    struct Job {
        QString queue;
        QString title;
        QByteArray pdf;
    };

    // Adds a queue, or changes the state of one; the first added is the default unless set.
    void add(const QString &name, QueueState::Kind kind = QueueState::Kind::Ready,
             const QString &detail = {}) {
        if (!queues_.contains(name)) {
            order_.append(name);
        }
        queues_[name] = QueueState{kind, detail};
    }
    void remove(const QString &name) {
        queues_.remove(name);
        order_.removeAll(name);
    }
    void setDefault(const QString &name) { default_ = name; }
    // The next submit to a ready queue makes no job and gives this reason.
    void failNextSubmit(const QString &reason) { submitFailure_ = reason; }

    const QList<Job> &jobs() const { return jobs_; }
    // Every queue submit() was asked for, whether a job came of it or not.
    const QStringList &submitted() const { return submitted_; }

    // How often the queues' names or the default were asked for.
    int asked() const { return asked_; }

    QStringList names() const override {
        ++asked_;
        return order_;
    }
    QString defaultName() const override {
        ++asked_;
        return default_.isEmpty() ? order_.value(0) : default_;
    }
    QueueState state(const QString &name) const override {
        return queues_.value(name, QueueState{QueueState::Kind::Missing, {}});
    }
    int submit(const QString &name, const QString &title, const QByteArray &pdf,
               QString *reason) override {
        submitted_.append(name);
        const QueueState::Kind kind = state(name).kind;
        if (kind == QueueState::Kind::Missing) {
            *reason = QStringLiteral("The printer or class does not exist.");
            return 0;
        }
        if (kind == QueueState::Kind::NotAccepting) {
            *reason = QStringLiteral("The printer or class is not accepting jobs.");
            return 0;
        }
        if (!submitFailure_.isEmpty()) {
            *reason = submitFailure_;
            submitFailure_.clear();
            return 0;
        }
        jobs_.append(Job{name, title, pdf});
        return int(jobs_.size());
    }

private:
    QMap<QString, QueueState> queues_;
    QStringList order_;
    QString default_;
    QString submitFailure_;
    QList<Job> jobs_;
    QStringList submitted_;
    mutable int asked_ = 0;
};

}  // namespace platform::fakes
