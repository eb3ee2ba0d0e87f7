#pragma once

#include "roundmodel/RoundSheet.h"

#include <QByteArray>

namespace live {

// The round on screen as others may follow it (`/ronde.json`): the club call, the frequency with
// its unit, the round number and date, the begin and the planned end of the round (UTC, ISO 8601;
// null before the round began or without a planned time), the row whose turn it is (its number,
// 1 to 30; null while nobody had a turn), and per row that holds a call its number, call, name,
// QTH, distance in kilometres (null without one), turns, and the away and listening marks.
//
// Nothing else: no topic, nothing of the ham list beyond what the rows show (no address,
// postcode, telephone, e-mail or particulars), no notes, no settings, no other round.
QByteArray roundJson(const roundmodel::RoundSheet &sheet);

}  // namespace live
