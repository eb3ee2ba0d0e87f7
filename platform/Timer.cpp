#include "platform/Timer.h"

#include <QMetaMethod>
#include <QTimer>

namespace platform {

Timer::Timer(const QString &name, int intervalMs, bool singleShot, Drive drive, QObject *owner)
    : QObject(owner), interval_(intervalMs), singleShot_(singleShot) {
    setObjectName(name);
    if (drive == Drive::EventLoop) {
        qt_ = new QTimer(this);
        qt_->setInterval(intervalMs);
        qt_->setSingleShot(singleShot);
        connect(qt_, &QTimer::timeout, this, &Timer::expired);
    }
}

void Timer::start() {
    if (!isSignalConnected(QMetaMethod::fromSignal(&Timer::timeout))) {
        return;
    }
    const bool wasActive = isActive();
    if (qt_) {
        qt_->start();
    } else {
        active_ = true;
    }
    if (!wasActive) {
        Q_EMIT started();
    }
}

void Timer::stop() {
    const bool wasActive = isActive();
    if (qt_) {
        qt_->stop();
    }
    active_ = false;
    if (wasActive) {
        Q_EMIT stopped();
    }
}

bool Timer::isActive() const {
    return qt_ ? qt_->isActive() : active_;
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    if (qt_) {
        qt_->setInterval(ms);
    }
}

// A one-shot timer of the event loop has stopped by itself when this runs.
void Timer::expired() {
    if (singleShot_) {
        Q_EMIT stopped();
    }
    Q_EMIT timeout();
}

bool Timer::fire() {
    if (!isActive()) {
        return false;
    }
    if (singleShot_) {
        stop();
    }
    Q_EMIT timeout();
    return true;
}

}  // namespace platform
