#pragma once

#include <QDateTime>
#include <QLocale>

#include <chrono>

namespace platform {

// The system clock: local and UTC time, and the user's locale for the names of weekdays and
// months. Windows read the time only through this, so tests can set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
    virtual QLocale locale() const = 0;
    // Milliseconds on a clock that only ever runs forward, for spans of time (a round's
    // running time); unaffected by changes of the wall clock.
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    QDateTime utcNow() const override { return QDateTime::currentDateTimeUtc(); }
    QLocale locale() const override { return QLocale::system(); }
    qint64 monotonicMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace platform
