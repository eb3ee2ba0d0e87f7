#include "storage/Records.h"

#include "storage/Schema.h"

#include <QTimeZone>

namespace storage {

namespace {

// The three round fields come first, then each group of 30 row fields.
constexpr int kRoundFields = 3;

QString text(const RecordValues &values, int index) {
    return size_t(index) < values.size() ? values[size_t(index)].toString() : QString();
}

}  // namespace

QString &Ham::field(int index) {
    QString *fields[kFields] = {&call, &name,    &address, &postcode, &qth,
                                &grid, &country, &phone,   &email,    &particulars};
    return *fields[index];
}

const QString &Ham::field(int index) const {
    return const_cast<Ham *>(this)->field(index);
}

// The ham list's fields stand in table order.
Ham Ham::fromRecord(const RecordValues &values) {
    Ham ham;
    for (int i = 0; i < kFields; ++i) {
        ham.field(i) = text(values, i);
    }
    return ham;
}

RecordValues Ham::toRecord() const {
    RecordValues values(kFields);
    for (int i = 0; i < kFields; ++i) {
        values[size_t(i)] = field(i);
    }
    return values;
}

int rondeFieldIndex(RoundField field) {
    return int(field);
}

int rondeFieldIndex(RowField group, int row) {
    return kRoundFields + int(group) * Round::kRows + row;
}

int rondeBeginIndex() {
    return int(rondeTable().firstFields);
}

int rondeTimeIndex(int row) {
    return rondeBeginIndex() + 1 + row;
}

QString storedTimeText(const QDateTime &time) {
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"))
                          : QString();
}

QDateTime storedTime(const QString &text) {
    if (text.size() != 20 || !text.endsWith(QLatin1Char('Z'))) {
        return {};
    }
    QDateTime time = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!time.isValid()) {
        return {};
    }
    time.setTimeSpec(Qt::UTC);
    return time;
}

Round Round::fromRecord(const RecordValues &values) {
    Round round;
    round.controllerCall = text(values, rondeFieldIndex(RoundField::ControllerCall));
    round.date = text(values, rondeFieldIndex(RoundField::Date));
    round.controllerName = text(values, rondeFieldIndex(RoundField::ControllerName));
    round.beginTime = storedTime(text(values, rondeBeginIndex()));
    for (int row = 0; row < kRows; ++row) {
        Participant &p = round.participants[size_t(row)];
        p.call = text(values, rondeFieldIndex(RowField::Call, row));
        p.name = text(values, rondeFieldIndex(RowField::Name, row));
        p.qth = text(values, rondeFieldIndex(RowField::Qth, row));
        p.topic = text(values, rondeFieldIndex(RowField::Topic, row));
        p.distance = text(values, rondeFieldIndex(RowField::Distance, row));
        const int listening = rondeFieldIndex(RowField::Listening, row);
        p.listening = size_t(listening) < values.size() && values[size_t(listening)].toBool();
        p.placedAt = storedTime(text(values, rondeTimeIndex(row)));
    }
    return round;
}

RecordValues Round::toRecord() const {
    RecordValues values(size_t(rondeTable().fields.size()));
    values[size_t(rondeFieldIndex(RoundField::ControllerCall))] = controllerCall;
    values[size_t(rondeFieldIndex(RoundField::Date))] = date;
    values[size_t(rondeFieldIndex(RoundField::ControllerName))] = controllerName;
    values[size_t(rondeBeginIndex())] = storedTimeText(beginTime);
    for (int row = 0; row < kRows; ++row) {
        const Participant &p = participants[size_t(row)];
        values[size_t(rondeFieldIndex(RowField::Call, row))] = p.call;
        values[size_t(rondeFieldIndex(RowField::Name, row))] = p.name;
        values[size_t(rondeFieldIndex(RowField::Qth, row))] = p.qth;
        values[size_t(rondeFieldIndex(RowField::Topic, row))] = p.topic;
        values[size_t(rondeFieldIndex(RowField::Distance, row))] = p.distance;
        values[size_t(rondeFieldIndex(RowField::Listening, row))] = p.listening;
        values[size_t(rondeTimeIndex(row))] = storedTimeText(p.placedAt);
    }
    return values;
}

}  // namespace storage
