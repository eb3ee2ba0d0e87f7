#pragma once

#include <QDateTime>
#include <QLocale>

namespace platform {

// The system clock: local and UTC time, and the user's locale for the names of weekdays and
// months. Windows read the time only through this, so tests can set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
    virtual QLocale locale() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    QDateTime utcNow() const override { return QDateTime::currentDateTimeUtc(); }
    QLocale locale() const override { return QLocale::system(); }
};

}  // namespace platform
