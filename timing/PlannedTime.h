#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace timing {

// The planned round time as the controller types it in "Ronde Tijd" and the file rondetijd holds
// it: decimal digits with an optional sign and one decimal point or comma, white space around it
// allowed (a non-breaking space too, which a copy from a web page or a word processor leaves).
// Read in this one place, so the bar, the warning and the end times shown always agree.
struct PlannedTime {
    double minutes = 0;       // the time as written
    qint16 wholeMinutes = 0;  // rounded, a half to the even neighbour; 0 outside -32768..32767

    // Reads a whole line; none when it is not such a number.
    static std::optional<PlannedTime> read(QStringView text);
};

// The whole minutes of a line, as the end times count them: 0 when the line is not a number.
qint16 roundedMinutes(QStringView text);

}  // namespace timing
