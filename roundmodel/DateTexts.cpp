#include "roundmodel/DateTexts.h"

namespace roundmodel {

namespace {

QDate firstFullWeek(int year) {
    const QDate january1(year, 1, 1);
    return january1.addDays((8 - january1.dayOfWeek()) % 7);  // the first Monday
}

}  // namespace

QString roundDateText(const QDate &date, const QLocale &locale) {
    return locale.toString(date, QStringLiteral("dddd dd MMMM yyyy"));
}

int weekNumber(const QDate &date) {
    QDate start = firstFullWeek(date.year());
    if (date < start) {
        start = firstFullWeek(date.year() - 1);
    }
    return int(start.daysTo(date) / 7) + 1;
}

QString closingGreeting(int hour) {
    if (hour < 6) {
        return QStringLiteral("een prettige nacht verder.\n 73 van QX9ZZA");
    }
    if (hour < 12) {
        return QStringLiteral("Een prettige morgen verder.\n73 van QX9ZZA");
    }
    if (hour < 18) {
        return QStringLiteral("Een prettige middag verder.\n73 van QX9ZZA");
    }
    return QStringLiteral("Een prettige avond verder.\n 73 van QX9ZZA");
}

}  // namespace roundmodel
