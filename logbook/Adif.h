#pragma once

#include "storage/Records.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace logbook {

// The station of the net, as the station fields of the main window hold it.
struct AdifStation {
    QString clubCall;   // STATION_CALLSIGN
    QString frequency;  // as typed, in the unit below
    QString unit;       // "Mhz" when empty
    QString mode;       // one of kModes
};

// A stored round with its number (its position + 1), as the main window shows it.
struct NumberedRound {
    int number = 0;
    storage::Round round;
};

struct AdifLog {
    QByteArray bytes;      // the .adi file, ASCII with CR LF line ends
    int records = 0;       // QSO records written
    QStringList problems;  // in Dutch, one line each: what was left out and why
};

// The modes the export offers. Digital voice systems are written as MODE DIGITALVOICE with the
// system as SUBMODE, as the ADIF enumerations have them.
inline const QStringList kModes = {
    QStringLiteral("FM"),           QStringLiteral("SSB"),    QStringLiteral("AM"),
    QStringLiteral("CW"),           QStringLiteral("DMR"),    QStringLiteral("DSTAR"),
    QStringLiteral("C4FM"),         QStringLiteral("FREEDV"), QStringLiteral("M17"),
    QStringLiteral("DIGITALVOICE"), QStringLiteral("RTTY"),   QStringLiteral("PSK"),
    QStringLiteral("SSTV"),         QStringLiteral("FT8")};

// The grid locator the ham list holds for a call; empty when none.
using GridOf = std::function<QString(const QString &call)>;

// The ADIF 3 (.adi) log of the rounds: one QSO record per participant of each round except the
// controller's own row. The time of a record is the UTC time the call was placed; a row without
// one takes the round's begin time; a row with neither is left out and reported, never given an
// invented time. The file is ASCII, as ADIF wants of .adi String fields; letters with accents
// lose them, line breaks become blanks, anything else outside ASCII becomes "?", and every
// record with such a change is reported. Lengths count bytes.
AdifLog writeAdif(const std::vector<NumberedRound> &rounds, const AdifStation &station,
                  const GridOf &gridOf, const QDateTime &createdUtc);

// A text in the ASCII of an ADIF String field; *changed tells whether anything had to give.
QString adifAscii(const QString &text, bool *changed = nullptr);

// "<NAME:n>value" with n the byte length of the ASCII value; nothing for an empty value.
QByteArray adifField(const char *name, const QString &asciiValue);

}  // namespace logbook
