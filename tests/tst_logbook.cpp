#include "TestMain.h"

#include "logbook/Adif.h"
#include "logbook/Band.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using logbook::NumberedRound;

namespace {

QDateTime utc(int h, int m, int s) {
    return QDateTime(QDate(2026, 12, 10), QTime(h, m, s), Qt::UTC);
}

// Two rounds: the first with a placed call, a typed call and the controller's own row; the
// second without any time.
std::vector<NumberedRound> fixture() {
    storage::Round first;
    first.rondecall = QStringLiteral("PA3ABC");
    first.datum = QStringLiteral("donderdag 10 december 2026");
    first.begintijd = utc(19, 30, 0);
    first.participants[0].call = QStringLiteral("PA3ABC");
    first.participants[0].on = QStringLiteral("Kringbaas");
    storage::Participant &placed = first.participants[1];
    placed.call = QStringLiteral("PD1XYZ");
    placed.naam = QStringLiteral("Zoë");
    placed.qth = QStringLiteral("DEN HAAG");
    placed.on = QStringLiteral("Antenne; \"dipool\"\nregel 2");
    placed.tijd = utc(19, 31, 5);
    storage::Participant &typed = first.participants[2];
    typed.call = QStringLiteral("pe2aa ");
    typed.on = QStringLiteral("73 \U0001F4FB");

    storage::Round second;
    second.rondecall = QStringLiteral("PA3ABC");
    second.participants[3].call = QStringLiteral("PD1XYZ");
    return {{1, first}, {2, second}};
}

logbook::AdifLog fixtureLog() {
    const logbook::AdifStation station{QStringLiteral("pi4zud"), QStringLiteral("145,550"),
                                       QStringLiteral("Mhz"), QStringLiteral("FM")};
    return logbook::writeAdif(
        fixture(), station,
        [](const QString &call) {
            return call == QLatin1String("PD1XYZ") ? QStringLiteral("JO22ab") : QString();
        },
        utc(20, 0, 0));
}

}  // namespace

class LogbookTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void band_data();
    void band();
    void ascii_data();
    void ascii();
    void knownRound();
    void readBackByAnotherParser();
    void digitalVoiceAndUnknownFrequency();
};

void LogbookTest::band_data() {
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("freq");  // empty: no frequency
    QTest::addColumn<QString>("band");

    QTest::newRow("2 m, comma") << "145,550"
                                << "Mhz"
                                << "145.55"
                                << "2m";
    QTest::newRow("2 m, empty unit") << " 145.2875 "
                                     << ""
                                     << "145.2875"
                                     << "2m";
    QTest::newRow("80 m in kHz") << "3650"
                                 << "kHz"
                                 << "3.65"
                                 << "80m";
    QTest::newRow("70 cm") << "433.500"
                           << "MHZ"
                           << "433.5"
                           << "70cm";
    QTest::newRow("23 cm in GHz") << "1,298"
                                  << "GHz"
                                  << "1298"
                                  << "23cm";
    QTest::newRow("band edge") << "144"
                               << "Mhz"
                               << "144"
                               << "2m";
    QTest::newRow("11 m is no amateur band") << "27.555"
                                             << "Mhz"
                                             << "27.555"
                                             << "";
    QTest::newRow("no number") << "twee meter"
                               << "Mhz"
                               << ""
                               << "";
    QTest::newRow("unknown unit") << "145.5"
                                  << "meter"
                                  << ""
                                  << "";
    QTest::newRow("zero") << "0"
                          << "Mhz"
                          << ""
                          << "";
}

void LogbookTest::band() {
    QFETCH(QString, frequency);
    QFETCH(QString, unit);
    QFETCH(QString, freq);
    QFETCH(QString, band);
    const std::optional<double> mhz = logbook::frequencyMHz(frequency, unit);
    QCOMPARE(mhz.has_value(), !freq.isEmpty());
    if (mhz) {
        QCOMPARE(logbook::frequencyText(*mhz), freq);
        QCOMPARE(logbook::bandOf(*mhz), band);
    }
}

void LogbookTest::ascii_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ascii");
    QTest::addColumn<bool>("changed");

    QTest::newRow("plain") << "PA3ABC Jan"
                           << "PA3ABC Jan" << false;
    QTest::newRow("accents") << "Zoë Hélène Čapek"
                             << "Zoe Helene Capek" << true;
    QTest::newRow("sharp s and ligature") << "Straße Ærø"
                                          << "Strasse AEro" << true;
    QTest::newRow("line breaks") << "a\r\nb\nc\td"
                                 << "a b c d" << true;
    QTest::newRow("emoji is one sign") << "73 \U0001F4FB!"
                                       << "73 ?!" << true;
    QTest::newRow("ADIF's own signs stay") << "<CALL:3>x"
                                           << "<CALL:3>x" << false;
}

void LogbookTest::ascii() {
    QFETCH(QString, text);
    QFETCH(QString, ascii);
    QFETCH(bool, changed);
    bool lost = false;
    QCOMPARE(logbook::adifAscii(text, &lost), ascii);
    QCOMPARE(lost, changed);
}

// The log of the fixture, byte for byte: the controller's row is no contact, the typed call takes
// the round's begin time, the round without times is left out and said.
void LogbookTest::knownRound() {
    const logbook::AdifLog log = fixtureLog();
    const QByteArray expected =
        "Kringbaas: de verbindingen van het net, ADIF 3.1.4, tekens ASCII\r\n"
        "<ADIF_VER:5>3.1.4 \r\n"
        "<CREATED_TIMESTAMP:15>20261210 200000 \r\n"
        "<PROGRAMID:9>Kringbaas \r\n"
        "<PROGRAMVERSION:" +
        QByteArray::number(qstrlen(KRINGBAAS_VERSION)) +
        ">" KRINGBAAS_VERSION
        " \r\n"
        "<EOH>\r\n"
        "<CALL:6>PD1XYZ <QSO_DATE:8>20261210 <TIME_ON:6>193105 <BAND:2>2m <FREQ:6>145.55 "
        "<MODE:2>FM <NAME:3>Zoe <QTH:8>DEN HAAG <GRIDSQUARE:6>JO22ab "
        "<COMMENT:25>Antenne; \"dipool\" regel 2 <OPERATOR:6>PA3ABC "
        "<STATION_CALLSIGN:6>PI4ZUD <EOR>\r\n"
        "<CALL:5>PE2AA <QSO_DATE:8>20261210 <TIME_ON:6>193000 <BAND:2>2m <FREQ:6>145.55 "
        "<MODE:2>FM <COMMENT:4>73 ? <OPERATOR:6>PA3ABC <STATION_CALLSIGN:6>PI4ZUD <EOR>\r\n";
    QCOMPARE(log.bytes, expected);
    QCOMPARE(log.records, 2);
    QCOMPARE(log.problems,
             QStringList({QStringLiteral("Ronde 1: tekens buiten ASCII vervangen bij PD1XYZ, "
                                         "PE2AA."),
                          QStringLiteral("Ronde 2 (): geen tijd bekend, 1 deelnemer(s) "
                                         "overgeslagen.")}));
}

// adif-parser-ts (npm), on Node.js, reads every field back as written.
void LogbookTest::readBackByAnotherParser() {
    const logbook::AdifLog log = fixtureLog();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("ronde.adi")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(log.bytes);
    file.close();

    QProcess node;
    node.start(QStringLiteral("node"), {QStringLiteral(ADIF_READBACK_SCRIPT),
                                        QStringLiteral(ADIF_READER_DIR), file.fileName()});
    QVERIFY2(node.waitForFinished(60000), "node did not finish");
    QVERIFY2(node.exitCode() == 0, node.readAllStandardError().constData());
    const QJsonObject parsed = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    QCOMPARE(parsed.value("header").toObject().value("adif_ver").toString(), "3.1.4");
    QCOMPARE(parsed.value("header").toObject().value("programid").toString(), "Kringbaas");
    const QJsonArray records = parsed.value("records").toArray();
    QCOMPARE(records.size(), 2);

    const QList<QMap<QString, QString>> expected = {
        {{"call", "PD1XYZ"},
         {"qso_date", "20261210"},
         {"time_on", "193105"},
         {"band", "2m"},
         {"freq", "145.55"},
         {"mode", "FM"},
         {"name", "Zoe"},
         {"qth", "DEN HAAG"},
         {"gridsquare", "JO22ab"},
         {"comment", "Antenne; \"dipool\" regel 2"},
         {"operator", "PA3ABC"},
         {"station_callsign", "PI4ZUD"}},
        {{"call", "PE2AA"},
         {"qso_date", "20261210"},
         {"time_on", "193000"},
         {"band", "2m"},
         {"freq", "145.55"},
         {"mode", "FM"},
         {"comment", "73 ?"},
         {"operator", "PA3ABC"},
         {"station_callsign", "PI4ZUD"}},
    };
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QJsonObject record = records[i].toObject();
        QCOMPARE(record.keys().size(), expected[i].size());
        for (auto it = expected[i].cbegin(); it != expected[i].cend(); ++it) {
            QCOMPARE(record.value(it.key()).toString(), it.value());
        }
    }
}

void LogbookTest::digitalVoiceAndUnknownFrequency() {
    std::vector<NumberedRound> rounds = fixture();
    rounds.pop_back();
    const logbook::AdifLog log = logbook::writeAdif(
        rounds, {QString(), QStringLiteral("ergens"), QString(), QStringLiteral("dmr")}, {},
        utc(20, 0, 0));
    QCOMPARE(log.records, 2);
    QVERIFY(log.bytes.contains("<MODE:12>DIGITALVOICE <SUBMODE:3>DMR "));
    QVERIFY(!log.bytes.contains("<FREQ:"));
    QVERIFY(!log.bytes.contains("<BAND:"));
    QVERIFY(!log.bytes.contains("STATION_CALLSIGN"));
    QVERIFY(log.problems.first().startsWith(QStringLiteral("De frequentie \"ergens \"")));
}

KB_TEST_MAIN(LogbookTest)
#include "tst_logbook.moc"
