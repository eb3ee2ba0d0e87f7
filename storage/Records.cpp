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
    QString *fields[kFields] = {&call, &naam, &adres,    &postcode, &qth,
                                &grid, &land, &telefoon, &email,    &byzonderheden};
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
    round.rondecall = text(values, 0);
    round.datum = text(values, 1);
    round.kringbaas = text(values, 2);
    round.begintijd = storedTime(text(values, rondeBeginIndex()));
    for (int row = 0; row < kRows; ++row) {
        Participant &p = round.participants[size_t(row)];
        p.call = text(values, rondeFieldIndex(RowField::Call, row));
        p.naam = text(values, rondeFieldIndex(RowField::Naam, row));
        p.qth = text(values, rondeFieldIndex(RowField::Qth, row));
        p.on = text(values, rondeFieldIndex(RowField::On, row));
        p.weg = text(values, rondeFieldIndex(RowField::Weg, row));
        const int luis = rondeFieldIndex(RowField::Luis, row);
        p.luis = size_t(luis) < values.size() && values[size_t(luis)].toBool();
        p.tijd = storedTime(text(values, rondeTimeIndex(row)));
    }
    return round;
}

RecordValues Round::toRecord() const {
    RecordValues values(size_t(rondeTable().fields.size()));
    values[0] = rondecall;
    values[1] = datum;
    values[2] = kringbaas;
    values[size_t(rondeBeginIndex())] = storedTimeText(begintijd);
    for (int row = 0; row < kRows; ++row) {
        const Participant &p = participants[size_t(row)];
        values[size_t(rondeFieldIndex(RowField::Call, row))] = p.call;
        values[size_t(rondeFieldIndex(RowField::Naam, row))] = p.naam;
        values[size_t(rondeFieldIndex(RowField::Qth, row))] = p.qth;
        values[size_t(rondeFieldIndex(RowField::On, row))] = p.on;
        values[size_t(rondeFieldIndex(RowField::Weg, row))] = p.weg;
        values[size_t(rondeFieldIndex(RowField::Luis, row))] = p.luis;
        values[size_t(rondeTimeIndex(row))] = storedTimeText(p.tijd);
    }
    return values;
}

}  // namespace storage
