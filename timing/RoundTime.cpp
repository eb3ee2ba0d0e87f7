#include "timing/RoundTime.h"

#include "timing/PlannedTime.h"

#include <algorithm>
#include <cmath>

namespace timing {

namespace {

constexpr double kLongestPlanMinutes = 32767;

}  // namespace

std::optional<double> RoundTime::plannedMinutes(QStringView text) {
    const std::optional<PlannedTime> planned = PlannedTime::read(text);
    // A time so short that the bar would have no tick to fill is no plan either: the bar's
    // maximum must stay above its minimum, or it turns into a busy bar that never stops.
    if (!planned || !(planned->minutes * 60 * kTicksPerSecond >= 1) ||
        planned->minutes > kLongestPlanMinutes) {
        return std::nullopt;
    }
    return planned->minutes;
}

std::optional<double> RoundTime::maximum(QStringView plannedText) {
    const std::optional<double> minutes = plannedMinutes(plannedText);
    if (!minutes) {
        return std::nullopt;
    }
    return *minutes * 60 * kTicksPerSecond;
}

void RoundTime::start(qint64 nowMs) {
    if (running_) {
        return;
    }
    running_ = true;
    sinceMs_ = nowMs;
}

void RoundTime::stop(qint64 nowMs) {
    if (!running_) {
        return;
    }
    counted_ = count(nowMs);
    running_ = false;
}

void RoundTime::reset(qint64 nowMs) {
    counted_ = 0;
    sinceMs_ = nowMs;
}

double RoundTime::count(qint64 nowMs) const {
    if (!running_) {
        return counted_;
    }
    // A clock that went backwards (it should not) adds nothing rather than taking time away.
    const qint64 ran = std::max<qint64>(0, nowMs - sinceMs_);
    return counted_ + double(ran) * kTicksPerSecond / 1000.0;
}

RoundTime::Look RoundTime::look(QStringView plannedText, qint64 nowMs) const {
    const std::optional<double> max = maximum(plannedText);
    if (!max) {
        return {Step::NoPlan, 0, 0};
    }
    const double now = count(nowMs);
    if (now < *max) {
        return {Step::Progress, *max, now};
    }
    return {Step::TimeUp, *max, *max};
}

void RoundTime::timeUp(qint64 nowMs, double maximum) {
    stop(nowMs);
    counted_ = maximum;
}

}  // namespace timing
