#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QTime>

namespace timing {

// A time of day as the clocks show it: two-digit hours (00 to 23), minutes and seconds joined
// by ":", for example 09:05:07.
QString clockText(const QTime &time);

// "Deelnemer Toevoegen" is refused only while the round mode word is exactly "uit"; any other
// word, "Uit" and the initial "Text6" included, allows adding participants.
bool addButtonEnabled(QStringView roundMode);

// What "Ronde Tijd" appends to the text over the progress bar: the end of a round planned to
// last `minutes` whole minutes from `now`, as "  Geplande eindtijd HH:MM uur.".
QString plannedEndText(const QDateTime &now, int minutes);

}  // namespace timing
