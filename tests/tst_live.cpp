// The round on screen as others may follow it: what the JSON view holds, and what it never holds.

#include "CoreTestMain.h"
#include "PrivateHam.h"

#include "live/LiveShare.h"
#include "live/RoundJson.h"
#include "roundmodel/RoundSheet.h"
#include "storage/Database.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using roundmodel::Column;
using roundmodel::Field;
using roundmodel::RoundSheet;

namespace {

// The private fields of the ham list marked, so that a leak shows.
std::optional<storage::Ham> lookUpHam(const QString &call) {
    return fixture::privateHam(call, call == QLatin1String("PD1XYZ")
                                         ? QStringLiteral("Els \"de\" Vries")
                                         : QStringLiteral("Henk"));
}

QDateTime utc(int hour, int minute) {
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute), QTimeZone::utc());
}

// A server that listens where it is told, unless the port is 7, and keeps what it was given.
struct FakeServer : live::Sharing {
    quint16 port_ = 0;
    QList<QByteArray> *published;
    explicit FakeServer(QList<QByteArray> *to) : published(to) {}
    bool listen(quint16 port, QString *error) override {
        if (port == 7) {
            *error = QStringLiteral("Poort 7 kan niet worden gebruikt");
            return false;
        }
        port_ = port ? port : 40000;
        return true;
    }
    quint16 port() const override { return port_; }
    QStringList addresses() const override { return {}; }
    void publish(const QByteArray &json) override { published->append(json); }
    int viewers() const override { return 0; }
    void setOpenToAll(bool open) override { openToAll = open; }
    bool openToAll = false;
};

}  // namespace

class LiveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sharing();
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

// Sharing follows the sheet: the changes of one action go out as one, once it is done; a start
// that fails leaves sharing as it was.
void LiveTest::sharing() {
    QTemporaryDir dir;
    RoundSheet sheet;
    sheet.setHamLookUp(&lookUpHam);
    QVERIFY(sheet.open(dir.filePath(QString::fromLatin1(storage::Database::kFileName))));
    QList<QByteArray> published;
    bool canMake = false;
    FakeServer *made = nullptr;
    live::LiveShare share(sheet, [&](QString *error) -> std::unique_ptr<live::Sharing> {
        if (!canMake) {
            *error = QStringLiteral("geen server");
            return nullptr;
        }
        auto server = std::make_unique<FakeServer>(&published);
        made = server.get();
        return server;
    });
    QSignalSpy changes(&share, &live::LiveShare::sharingChanged);
    QString error;
    QVERIFY(!share.start(0, &error));
    QCOMPARE(error, QStringLiteral("geen server"));
    QVERIFY(!share.isOn());

    // Off: nothing is made of the changes.
    sheet.setText(Field::ClubCall, QStringLiteral("PI4ZUD"));
    QCoreApplication::processEvents();
    QVERIFY(published.isEmpty());

    canMake = true;
    // Opened to all before the start: the server is told before it listens, and again when
    // the choice changes while it shares.
    share.setOpenToAll(true);
    QVERIFY(share.start(8073, &error));
    QCOMPARE(share.port(), quint16(8073));
    QVERIFY(made && made->openToAll);
    share.setOpenToAll(false);
    QVERIFY(!made->openToAll && !share.isOpenToAll());
    QCOMPARE(published.size(), 1);  // the round as it stands
    QVERIFY(published.back().contains("PI4ZUD"));
    QVERIFY(share.start(0, &error));  // already on: nothing changes
    QCOMPARE(share.port(), quint16(8073));

    QVERIFY(sheet.addNew());
    sheet.begin(QStringLiteral("PA3ABC"), QStringLiteral("Henk"), QStringLiteral("45"),
                QDateTime(QDate(2026, 12, 10), QTime(20, 15)),
                QLocale(QLocale::Dutch, QLocale::Netherlands));
    sheet.setBeginTime(utc(19, 15));
    QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), utc(19, 16)), RoundSheet::Placing::Placed);
    QCOMPARE(published.size(), 1);  // not before the action is done
    QCoreApplication::processEvents();
    QCOMPARE(published.size(), 2);
    QVERIFY(published.back().contains("PD1XYZ"));
    QVERIFY(published.back().contains("2026-12-10T19:15:00Z"));

    // Another port that cannot be had leaves sharing on the one before.
    QVERIFY(!share.start(7, &error));
    QVERIFY(share.isOn());
    QCOMPARE(share.port(), quint16(8073));

    share.stop();
    QVERIFY(!share.isOn());
    QCOMPARE(share.port(), quint16(0));
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes[0][0].toBool(), true);
    QCOMPARE(changes[1][0].toBool(), false);
    sheet.giveTurn(1);
    QCoreApplication::processEvents();
    QCOMPARE(published.size(), 2);
}

KB_CORE_TEST_MAIN(LiveTest)
#include "tst_live.moc"
