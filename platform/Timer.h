#pragma once

#include <QObject>
#include <QString>

class QTimer;

namespace platform {

// A window timer. The program's timers run on the event loop; the timers a test makes stand
// still until the test fires them, so no test waits for real time. A timer that nobody listens
// to is never started: it would only wake the program for nothing.
class Timer : public QObject {
    Q_OBJECT

public:
    enum class Drive { EventLoop, ByHand };

    Timer(const QString &name, int intervalMs, bool singleShot, Drive drive, QObject *owner);

    void start();
    void stop();
    bool isActive() const;
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool isSingleShot() const { return singleShot_; }

    // What an expiry does, at once: a one-shot timer stops, then timeout() follows. Only an
    // active timer fires; false when it was not.
    bool fire();

Q_SIGNALS:
    void timeout();
    // The timer went from stopped to running, or from running to stopped, whoever started or
    // stopped it.
    void started();
    void stopped();

private:
    void expired();

    QTimer *qt_ = nullptr;  // none for a timer driven by hand
    int interval_;
    bool singleShot_;
    bool active_ = false;  // of a timer driven by hand
};

// Makes the timers of the windows.
class Timers {
public:
    virtual ~Timers() = default;
    virtual Timer *make(QObject *owner, const char *name, int intervalMs, bool singleShot) = 0;
};

// The program's timers, on the event loop.
class EventLoopTimers : public Timers {
public:
    Timer *make(QObject *owner, const char *name, int intervalMs, bool singleShot) override {
        return new Timer(QString::fromLatin1(name), intervalMs, singleShot, Timer::Drive::EventLoop,
                         owner);
    }
};

}  // namespace platform
