#include "timing/Clocks.h"

namespace timing {

QString clockText(const QTime &time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

bool addButtonEnabled(QStringView roundMode) {
    return roundMode != u"uit";
}

QString plannedEndText(const QDateTime &now, int minutes) {
    const QDateTime end = now.addSecs(qint64(minutes) * 60);
    return QStringLiteral("  Geplande eindtijd ") + end.toString(QStringLiteral("HH:mm")) +
           QStringLiteral(" uur.");
}

}  // namespace timing
