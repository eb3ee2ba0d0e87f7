#include "timing/RoundTime.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace timing {

namespace {

constexpr double kLongestPlanMinutes = 32767;

std::optional<double> number(QStringView text) {
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    QString trimmed = text.trimmed().toString();
    if (!decimal.match(trimmed).hasMatch()) {
        return std::nullopt;
    }
    trimmed.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<double> RoundTime::plannedMinutes(QStringView text) {
    const std::optional<double> minutes = number(text);
    if (!minutes || *minutes <= 0 || *minutes > kLongestPlanMinutes) {
        return std::nullopt;
    }
    return minutes;
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
