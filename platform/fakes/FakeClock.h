#pragma once

#include "platform/Clock.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>

namespace platform::fakes {

// A clock that stands still until the test sets or advances it. It starts on a Monday evening
// in winter (20:00 local, 19:00 UTC) with a Dutch locale.
class FakeClock : public Clock {
public:
    QDateTime localNow() const override { return m_local; }
    QDateTime utcNow() const override { return m_utc; }
    QLocale locale() const override { return m_locale; }
    qint64 monotonicMs() const override { return m_monotonic; }

    void setLocalNow(const QDateTime &local) { m_local = local; }
    void setUtcNow(const QDateTime &utc) { m_utc = utc; }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // Moves local and UTC time on together.
    void advanceSecs(qint64 seconds) { advanceMs(seconds * 1000); }

    // Moves local, UTC and monotonic time on together.
    void advanceMs(qint64 ms) {
        m_local = m_local.addMSecs(ms);
        m_utc = m_utc.addMSecs(ms);
        m_monotonic += ms;
    }

private:
    QDateTime m_local{QDate(2024, 1, 15), QTime(20, 0)};
    QDateTime m_utc{QDate(2024, 1, 15), QTime(19, 0), QTimeZone::utc()};
    QLocale m_locale{QLocale::Dutch, QLocale::Netherlands};
    qint64 m_monotonic = 1'000'000;
};

}  // namespace platform::fakes
