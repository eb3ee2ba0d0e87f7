#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace roundmodel {

// The date of a round as the sheet shows and stores it: full weekday name, day with two digits,
// full month name, four-digit year, in the user's language ("donderdag 10 december 2026").
QString roundDateText(const QDate &date, const QLocale &locale);

// The week number of the week label: weeks begin on Monday, and week 1 is the first week whose
// seven days all lie in the year. Days before it belong to the last week of the year before.
int weekNumber(const QDate &date);

// The farewell at closing time for the hour 0-23: a phrase, a line feed and the signature.
QString closingGreeting(int hour);

}  // namespace roundmodel
