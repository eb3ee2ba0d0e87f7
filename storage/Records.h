#pragma once

#include "storage/TableCursor.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace storage {

// One radio amateur of the ham list (a record of table qrz).
struct Ham {
    QString call;
    QString name;
    QString address;
    QString postcode;
    QString qth;
    QString grid;
    QString country;
    QString phone;
    QString email;
    QString particulars;

    static constexpr int kFields = 10;
    // The fields in table order, by index as the ham list window numbers its boxes.
    QString &field(int index);
    const QString &field(int index) const;

    static Ham fromRecord(const RecordValues &values);
    RecordValues toRecord() const;

    bool operator==(const Ham &) const = default;
};

// One row of a round: a participating station.
struct Participant {
    QString call;
    QString name;
    QString qth;
    QString topic;           // or a remark
    QString distance;        // in whole kilometres, as text
    bool listening = false;  // listening only
    QDateTime placedAt;      // UTC, when the call was placed with Enter; invalid for a typed row

    bool operator==(const Participant &) const = default;
};

// One round (a record of table ronde): the controller, the day and 30 rows.
struct Round {
    static constexpr int kRows = 30;

    QString controllerCall;
    QString date;
    QString controllerName;
    QDateTime beginTime;  // UTC, when the round began; invalid for rounds stored before
    std::array<Participant, kRows> participants;

    static Round fromRecord(const RecordValues &values);
    RecordValues toRecord() const;

    bool operator==(const Round &) const = default;
};

// The index of a field of the round itself in table ronde (rondecall, datum, kringbaas).
enum class RoundField { ControllerCall, Date, ControllerName };
int rondeFieldIndex(RoundField field);
// The index of a row's field in table ronde: group is one of the six row columns (call, naam,
// qth, on, weg, luis, in this order); row from 0 to 29.
enum class RowField { Call, Name, Qth, Topic, Distance, Listening };
int rondeFieldIndex(RowField group, int row);
// The fields of the times: the begin of the round, and the placing of row 0 to 29.
int rondeBeginIndex();
int rondeTimeIndex(int row);

// A time as the round's time fields hold it: UTC in ISO 8601 to the second
// ("2026-12-10T19:30:05Z"); empty for an invalid time. Reading takes that form only; anything
// else is no time.
QString storedTimeText(const QDateTime &time);
QDateTime storedTime(const QString &text);

}  // namespace storage
