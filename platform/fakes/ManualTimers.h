#pragma once

#include "platform/Timer.h"

namespace platform::fakes {

// Timers that stand still until the test fires them (Timer::fire).
class ManualTimers : public Timers {
public:
    Timer *make(QObject *owner, const char *name, int intervalMs, bool singleShot) override {
        return new Timer(QString::fromLatin1(name), intervalMs, singleShot, Timer::Drive::ByHand,
                         owner);
    }
};

}  // namespace platform::fakes
