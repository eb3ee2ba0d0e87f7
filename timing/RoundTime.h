#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace timing {

// The progress of the planned round time. The count is 59 ticks per second of running time:
// the time the round timer has run since the count was last set back, without its pauses. It is
// computed from a clock that only runs forward, so the bar fills in exactly the planned time
// however often, or seldom, the program looks at it.
class RoundTime {
public:
    static constexpr int kTicksPerSecond = 59;

    // The planned time in minutes, as PlannedTime reads it. Only a time that gives a bar can be
    // used: at least one tick of the bar, and at most 32767 minutes, the longest round the start
    // dialog can plan.
    static std::optional<double> plannedMinutes(QStringView text);
    // The bar's maximum for a planned time: minutes x 60 x 59; none without a usable time.
    static std::optional<double> maximum(QStringView plannedText);

    bool isRunning() const { return running_; }

    // The round timer starts or resumes; the count goes on from where it stood.
    void start(qint64 nowMs);
    // The round timer stops (a pause, or the time is up); the count stays.
    void stop(qint64 nowMs);
    // The count starts again from 0 at this moment.
    void reset(qint64 nowMs);
    // The count at this moment.
    double count(qint64 nowMs) const;

    // What one look at the round time finds.
    enum class Step {
        NoPlan,    // no usable planned time: the bar stays empty, nothing is said
        Progress,  // the bar shows `value` of `maximum`
        TimeUp,    // the count reached the maximum: the timer stops and the warning follows
    };
    struct Look {
        Step step = Step::NoPlan;
        double maximum = 0;
        double value = 0;
    };
    // Looks at the round time for the planned time given.
    Look look(QStringView plannedText, qint64 nowMs) const;
    // The time is up: the round time stops with its count at the maximum, so the bar stays full
    // and a restart without a new planned time is at once up again.
    void timeUp(qint64 nowMs, double maximum);

private:
    bool running_ = false;
    double counted_ = 0;  // the count when the round timer last stopped or was set back
    qint64 sinceMs_ = 0;  // when it last started or was set back while running
};

}  // namespace timing
