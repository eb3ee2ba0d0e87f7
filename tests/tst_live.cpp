// The round on screen as others may follow it: what the JSON view holds, and what it never holds.

#include "CoreTestMain.h"

#include "live/RoundJson.h"
#include "roundmodel/RoundSheet.h"
#include "storage/Database.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using roundmodel::Column;
using roundmodel::Field;
using roundmodel::RoundSheet;

namespace {

// Hams with everything the ham list holds, the private fields marked so that a leak shows.
std::optional<storage::Ham> lookUpHam(const QString &call) {
    storage::Ham ham;
    ham.call = call;
    ham.name = call == QLatin1String("PD1XYZ") ? QStringLiteral("Els \"de\" Vries")
                                               : QStringLiteral("Henk");
    ham.qth = QStringLiteral("Gouda");
    ham.grid = QStringLiteral("JO22IA");
    ham.address = QStringLiteral("GEHEIM-adres 1");
    ham.postcode = QStringLiteral("GEHEIM-1234");
    ham.phone = QStringLiteral("GEHEIM-06");
    ham.email = QStringLiteral("geheim@example.org");
    ham.particulars = QStringLiteral("GEHEIM-bijzonderheden");
    return ham;
}

QDateTime utc(int hour, int minute) {
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute), QTimeZone::utc());
}

}  // namespace

class LiveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A round being led: the station, the times, the rows with their marks and turns.
    void roundAsJson() {
        QTemporaryDir dir;
        RoundSheet sheet;
        sheet.setHamLookUp(&lookUpHam);
        sheet.setHomeLocator(QStringLiteral("JO22AB"));
        sheet.setText(Field::ClubCall, QStringLiteral("PI4ZUD"));
        sheet.setText(Field::Frequency, QStringLiteral("145.550"));
        sheet.setText(Field::Unit, QStringLiteral("MHz"));
        QVERIFY(sheet.open(dir.filePath(QString::fromLatin1(storage::Database::kFileName))));

        // Before a round: no times, no rows, nobody's turn.
        QJsonObject json = QJsonDocument::fromJson(live::roundJson(sheet)).object();
        QVERIFY(json.value("beginTime").isNull());
        QVERIFY(json.value("plannedEnd").isNull());
        QVERIFY(json.value("turnRow").isNull());
        QCOMPARE(json.value("rows").toArray().size(), 0);

        QVERIFY(sheet.addNew());
        sheet.begin(QStringLiteral("PA3ABC"), QStringLiteral("Henk"), QStringLiteral("45"),
                    QDateTime(QDate(2026, 12, 10), QTime(20, 15)),
                    QLocale(QLocale::Dutch, QLocale::Netherlands));
        sheet.setBeginTime(utc(19, 15));
        QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 16)),
                 RoundSheet::Placing::Placed);
        sheet.setCell(1, Column::Topic, QStringLiteral("GEHEIM-onderwerp"));
        sheet.setListening(1, true);
        sheet.giveTurn(1);
        sheet.giveTurn(1);

        const QByteArray bytes = live::roundJson(sheet);
        QVERIFY2(!bytes.contains("GEHEIM") && !bytes.contains("geheim"), bytes.constData());
        json = QJsonDocument::fromJson(bytes).object();
        QCOMPARE(json.value("clubCall").toString(), QStringLiteral("PI4ZUD"));
        QCOMPARE(json.value("frequency").toString(), QStringLiteral("145.550"));
        QCOMPARE(json.value("unit").toString(), QStringLiteral("MHz"));
        QCOMPARE(json.value("roundNumber").toString(), sheet.text(Field::RoundNumber));
        QCOMPARE(json.value("date").toString(), sheet.text(Field::Date));
        QCOMPARE(json.value("beginTime").toString(), QStringLiteral("2026-12-10T19:15:00Z"));
        QCOMPARE(json.value("plannedEnd").toString(), QStringLiteral("2026-12-10T20:00:00Z"));
        QCOMPARE(json.value("turnRow").toInt(), 2);
        const QJsonArray rows = json.value("rows").toArray();
        QCOMPARE(rows.size(), 2);
        const QJsonObject second = rows[1].toObject();
        QCOMPARE(second.keys(), (QStringList{"away", "call", "distance", "listening", "name",
                                             "number", "qth", "turns"}));
        QCOMPARE(second.value("number").toInt(), 2);
        QCOMPARE(second.value("call").toString(), QStringLiteral("PD1XYZ"));
        QCOMPARE(second.value("name").toString(), QStringLiteral("Els \"de\" Vries"));
        QCOMPARE(second.value("qth").toString(), sheet.row(1).qth);
        QCOMPARE(second.value("distance").toInt(), sheet.row(1).distance.toInt());
        QVERIFY(second.value("distance").toInt() > 0);
        QCOMPARE(second.value("turns").toInt(), sheet.row(1).turns);
        QCOMPARE(second.value("listening").toBool(), true);
        QCOMPARE(second.value("away").toBool(), false);
    }
};

KB_CORE_TEST_MAIN(LiveTest)
#include "tst_live.moc"
