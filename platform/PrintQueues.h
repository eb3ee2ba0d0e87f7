#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// A printer queue as the print system reports it at this moment.
struct QueueState {
    enum class Kind {
        Missing,       // the print system does not know the queue (any more)
        Ready,         // takes jobs and prints them
        NotAccepting,  // refuses new jobs
        Stopped,       // takes jobs but holds them; nothing comes out
    };
    Kind kind = Kind::Missing;
    QString detail;  // the print system's own words on the state, when it has any
};

// The desktop's printer queues (CUPS on Linux), asked afresh on every call.
class PrintQueues {
public:
    virtual ~PrintQueues() = default;

    // The queues in the platform's order.
    virtual QStringList names() const = 0;
    // The desktop's default queue; empty when there is none.
    virtual QString defaultName() const = 0;
    virtual QueueState state(const QString &name) const = 0;
    // Sends a PDF document to the queue as one job named title. The job's number when the
    // print system took it; 0 when not, with *reason saying why in the print system's words.
    virtual int submit(const QString &name, const QString &title, const QByteArray &pdf,
                       QString *reason) = 0;
};

// The queues of the CUPS scheduler the desktop uses.
class CupsPrintQueues : public PrintQueues {
public:
    QStringList names() const override;
    QString defaultName() const override;
    QueueState state(const QString &name) const override;
    int submit(const QString &name, const QString &title, const QByteArray &pdf,
               QString *reason) override;
};

}  // namespace platform
