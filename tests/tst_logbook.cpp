#include "CoreTestMain.h"

#include "logbook/Adif.h"
#include "logbook/Band.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using logbook::NumberedRound;

enum class Field;
Q_DECLARE_METATYPE(Field)

namespace {

QDateTime utc(int h, int m, int s) {
    return QDateTime(QDate(2026, 12, 10), QTime(h, m, s), Qt::UTC);
}

// Two rounds: the first with a placed call, a typed call and the controller's own row; the
// second without any time.
std::vector<NumberedRound> fixture() {
    storage::Round first;
    first.controllerCall = QStringLiteral("PA3ABC");
    first.date = QStringLiteral("donderdag 10 december 2026");
    first.beginTime = utc(19, 30, 0);
    first.participants[0].call = QStringLiteral("PA3ABC");
    first.participants[0].topic = QStringLiteral("Kringbaas");
    storage::Participant &placed = first.participants[1];
    placed.call = QStringLiteral("PD1XYZ");
    placed.name = QStringLiteral("Zoë");
    placed.qth = QStringLiteral("DEN HAAG");
    placed.topic = QStringLiteral("Antenne; \"dipool\"\nregel 2");
    placed.placedAt = utc(19, 31, 5);
    storage::Participant &typed = first.participants[2];
    typed.call = QStringLiteral("pe2aa ");
    typed.topic = QStringLiteral("73 \U0001F4FB");

    storage::Round second;
    second.controllerCall = QStringLiteral("PA3ABC");
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
    void everyChangedTextIsNamed_data();
    void everyChangedTextIsNamed();
    void gridSquareIsAsciiOnly_data();
    void gridSquareIsAsciiOnly();
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
    // Compatibility forms become ASCII letters, digits and blanks by themselves, and still count
    // as changed.
    QTest::newRow("ligatures") << "Gri\uFB03n \uFB01ets"
                               << "Griffin fiets" << true;
    QTest::newRow("full-width letters") << "\uFF35\uFF21 PD1\uFF38YZ"
                                        << "UA PD1XYZ" << true;
    QTest::newRow("superscript two") << "2 m\u00B2"
                                     << "2 m2" << true;
    QTest::newRow("trade mark") << "Kringbaas\u2122"
                                << "KringbaasTM" << true;
    QTest::newRow("non-breaking space") << "Jan\u00A0Jansen"
                                        << "Jan Jansen" << true;
    QTest::newRow("accent as its own sign") << "Zoe\u0308"
                                            << "Zoe" << true;
    QTest::newRow("control character") << "PA3\u0007ABC"
                                       << "PA3?ABC" << true;
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

enum class Field { Call, Name, Qth, Comment, Controller, ClubCall };

void LogbookTest::everyChangedTextIsNamed_data() {
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QStringList>("problems");

    const QString round = QStringLiteral("Ronde 4: tekens buiten ASCII vervangen bij %1.");
    QTest::newRow("plain ASCII") << Field::Name << "Jan Jansen"
                                 << QByteArray("<NAME:10>Jan Jansen ") << QStringList();
    QTest::newRow("NAME ligature") << Field::Name << "Gri\uFB03n" << QByteArray("<NAME:7>Griffin ")
                                   << QStringList{round.arg("PD1XYZ")};
    QTest::newRow("NAME non-breaking space")
        << Field::Name << "Jan\u00A0Jansen" << QByteArray("<NAME:10>Jan Jansen ")
        << QStringList{round.arg("PD1XYZ")};
    QTest::newRow("QTH full-width")
        << Field::Qth << "\uFF24\uFF25\uFF2E HAAG" << QByteArray("<QTH:8>DEN HAAG ")
        << QStringList{round.arg("PD1XYZ")};
    QTest::newRow("COMMENT superscript")
        << Field::Comment << "2 m\u00B2" << QByteArray("<COMMENT:4>2 m2 ")
        << QStringList{round.arg("PD1XYZ")};
    QTest::newRow("COMMENT trade mark")
        << Field::Comment << "Kringbaas\u2122" << QByteArray("<COMMENT:11>KringbaasTM ")
        << QStringList{round.arg("PD1XYZ")};
    QTest::newRow("CALL full-width")
        << Field::Call << "pd1\uFF38yz" << QByteArray("<CALL:6>PD1XYZ ")
        << QStringList{round.arg("PD1\uFF38YZ")};
    // The controller's call is in both records, and named once.
    QTest::newRow("OPERATOR full-width")
        << Field::Controller << "PA3\uFF21BC" << QByteArray("<OPERATOR:6>PA3ABC ")
        << QStringList{round.arg("PA3\uFF21BC")};
    QTest::newRow("STATION_CALLSIGN full-width")
        << Field::ClubCall << "PI4\uFF3AUD" << QByteArray("<STATION_CALLSIGN:6>PI4ZUD ")
        << QStringList{"Zender Call PI4\uFF3AUD: tekens buiten ASCII vervangen."};
}

// Whatever the ASCII conversion changed is named after the export, by the call of its record
// (the controller's and the club call once), as the README promises.
void LogbookTest::everyChangedTextIsNamed() {
    QFETCH(Field, field);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QFETCH(QStringList, problems);

    storage::Round round;
    round.controllerCall = field == Field::Controller ? text : QStringLiteral("PA3ABC");
    round.beginTime = utc(19, 30, 0);
    storage::Participant &p = round.participants[1];
    p.call = field == Field::Call ? text : QStringLiteral("PD1XYZ");
    p.name = field == Field::Name ? text : QStringLiteral("Jan");
    p.qth = field == Field::Qth ? text : QString();
    p.topic = field == Field::Comment ? text : QString();
    round.participants[2].call = QStringLiteral("PE2AA");
    const logbook::AdifStation station{field == Field::ClubCall ? text : QStringLiteral("PI4ZUD"),
                                       QStringLiteral("145.550"), QStringLiteral("Mhz"),
                                       QStringLiteral("FM")};
    const logbook::AdifLog log = logbook::writeAdif({{4, round}}, station, {}, utc(20, 0, 0));
    QCOMPARE(log.records, 2);
    QVERIFY2(log.bytes.contains(written), log.bytes.constData());
    QCOMPARE(log.problems, problems);
}

void LogbookTest::gridSquareIsAsciiOnly_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QByteArray>("field");  // empty: no GRIDSQUARE
    QTest::newRow("six") << "JO22ab" << QByteArray("<GRIDSQUARE:6>JO22ab ");
    QTest::newRow("small letters") << "jo22" << QByteArray("<GRIDSQUARE:4>jo22 ");
    QTest::newRow("Kelvin sign") << "\u212AO22" << QByteArray();
    QTest::newRow("long s") << "JO22\u017F\u017F" << QByteArray();
    QTest::newRow("full-width") << "\uFF2AO22" << QByteArray();
}

// A grid the ham list holds is written only when it is a locator in ASCII, never half replaced.
void LogbookTest::gridSquareIsAsciiOnly() {
    QFETCH(QString, grid);
    QFETCH(QByteArray, field);
    storage::Round round;
    round.controllerCall = QStringLiteral("PA3ABC");
    round.beginTime = utc(19, 30, 0);
    round.participants[1].call = QStringLiteral("PD1XYZ");
    const logbook::AdifLog log = logbook::writeAdif(
        {{1, round}}, {}, [&grid](const QString &) { return grid; }, utc(20, 0, 0));
    QCOMPARE(log.records, 1);
    if (field.isEmpty()) {
        QVERIFY2(!log.bytes.contains("<GRIDSQUARE:"), log.bytes.constData());
    } else {
        QVERIFY2(log.bytes.contains(field), log.bytes.constData());
    }
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

KB_CORE_TEST_MAIN(LogbookTest)
#include "tst_logbook.moc"
