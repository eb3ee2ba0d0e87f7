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
        connect(qt_, &QTimer::timeout, this, &Timer::timeout);
    }
}

void Timer::start() {
    if (!isSignalConnected(QMetaMethod::fromSignal(&Timer::timeout))) {
        return;
    }
    if (qt_) {
        qt_->start();
    } else {
        active_ = true;
    }
}

void Timer::stop() {
    if (qt_) {
        qt_->stop();
    }
    active_ = false;
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
