#include "live/RoundJson.h"

#include "timing/PlannedTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace live {

namespace {

QJsonValue timeValue(const QDateTime &utc) {
    return utc.isValid() ? QJsonValue(utc.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

QJsonValue distanceValue(const QString &text) {
    bool ok = false;
    const int kilometres = text.trimmed().toInt(&ok);
    return ok ? QJsonValue(kilometres) : QJsonValue();
}

}  // namespace

QByteArray roundJson(const roundmodel::RoundSheet &sheet) {
    using roundmodel::Field;
    QJsonArray rows;
    for (int i = 0; i < roundmodel::RoundSheet::kRows; ++i) {
        const roundmodel::Row &row = sheet.row(i);
        if (row.call.trimmed().isEmpty()) {
            continue;
        }
        rows.append(QJsonObject{
            {QStringLiteral("number"), i + 1},
            {QStringLiteral("call"), row.call.trimmed()},
            {QStringLiteral("name"), row.name},
            {QStringLiteral("qth"), row.qth},
            {QStringLiteral("distance"), distanceValue(row.distance)},
            {QStringLiteral("turns"), row.turns},
            {QStringLiteral("away"), row.away},
            {QStringLiteral("listening"), row.listening},
        });
    }
    const QDateTime begin = sheet.beginTime();
    const qint16 minutes = timing::roundedMinutes(sheet.plannedTime());
    const QDateTime plannedEnd =
        begin.isValid() && minutes > 0 ? begin.addSecs(qint64(minutes) * 60) : QDateTime();
    const QJsonObject round{
        {QStringLiteral("clubCall"), sheet.text(Field::ClubCall)},
        {QStringLiteral("frequency"), sheet.text(Field::Frequency)},
        {QStringLiteral("unit"), sheet.text(Field::Unit)},
        {QStringLiteral("roundNumber"), sheet.text(Field::RoundNumber)},
        {QStringLiteral("date"), sheet.text(Field::Date)},
        {QStringLiteral("beginTime"), timeValue(begin)},
        {QStringLiteral("plannedEnd"), timeValue(plannedEnd)},
        {QStringLiteral("turnRow"),
         sheet.turnRow() >= 0 ? QJsonValue(sheet.turnRow() + 1) : QJsonValue()},
        {QStringLiteral("rows"), rows},
    };
    return QJsonDocument(round).toJson(QJsonDocument::Compact);
}

}  // namespace live
