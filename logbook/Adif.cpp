#include "logbook/Adif.h"

#include "logbook/Band.h"

#include <QRegularExpression>

namespace logbook {

namespace {

const char *kCrLf = "\r\n";

QString upperCall(const QString &call) {
    return call.trimmed().toUpper();
}

bool isDigitalVoiceSystem(const QString &mode) {
    static const QStringList systems = {QStringLiteral("DMR"), QStringLiteral("DSTAR"),
                                        QStringLiteral("C4FM"), QStringLiteral("FREEDV"),
                                        QStringLiteral("M17")};
    return systems.contains(mode);
}

// A Maidenhead locator of two, four, six or eight characters, as GRIDSQUARE takes it. The
// letters are spelled out in both cases: matching without case would also take signs that fold
// to them, such as the Kelvin sign for K.
QString gridSquare(const QString &grid) {
    static const QRegularExpression form(
        QStringLiteral("^[A-Ra-r]{2}([0-9]{2}([A-Xa-x]{2}([0-9]{2})?)?)?$"));
    const QString g = grid.trimmed();
    return form.match(g).hasMatch() ? g : QString();
}

}  // namespace

QString adifAscii(const QString &text, bool *changed) {
    QString out;
    out.reserve(text.size());
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed[i];
        const char16_t u = c.unicode();
        if (u >= 32 && u <= 126) {
            out += c;
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing) {
            continue;  // the accent of the letter before
        }
        if (u == u'\r' || u == u'\n' || u == u'\t') {
            if (u == u'\n' && i > 0 && decomposed[i - 1] == QLatin1Char('\r')) {
                continue;  // CR LF is one break
            }
            out += QLatin1Char(' ');
        } else if (u == u'ß') {
            out += QStringLiteral("ss");
        } else if (u == u'æ' || u == u'Æ' || u == u'œ' || u == u'Œ') {
            out += (u == u'æ'   ? QStringLiteral("ae")
                    : u == u'Æ' ? QStringLiteral("AE")
                    : u == u'œ' ? QStringLiteral("oe")
                                : QStringLiteral("OE"));
        } else if (u == u'ø' || u == u'Ø' || u == u'ł' || u == u'Ł' || u == u'đ' || u == u'Đ') {
            out += QChar(u == u'ø'   ? 'o'
                         : u == u'Ø' ? 'O'
                         : u == u'ł' ? 'l'
                         : u == u'Ł' ? 'L'
                         : u == u'đ' ? 'd'
                                     : 'D');
        } else if (c.isHighSurrogate() && i + 1 < decomposed.size() &&
                   decomposed[i + 1].isLowSurrogate()) {
            out += QLatin1Char('?');  // one sign outside the BMP, one question mark
            ++i;
        } else {
            out += QLatin1Char('?');
        }
    }
    // Compared with the text itself: the compatibility forms (ﬁ, full-width letters, ², ™, a
    // non-breaking space) become ASCII above without passing any of the branches.
    if (changed) {
        *changed = out != text;
    }
    return out;
}

QByteArray adifField(const char *name, const QString &asciiValue) {
    if (asciiValue.isEmpty()) {
        return {};
    }
    const QByteArray value = asciiValue.toLatin1();
    return QByteArray("<") + name + ':' + QByteArray::number(value.size()) + '>' + value + ' ';
}

AdifLog writeAdif(const std::vector<NumberedRound> &rounds, const AdifStation &station,
                  const GridOf &gridOf, const QDateTime &createdUtc) {
    AdifLog log;
    QByteArray &out = log.bytes;
    out += "Kringbaas: de verbindingen van het net, ADIF 3.1.4, tekens ASCII";
    out += kCrLf;
    out += adifField("ADIF_VER", QStringLiteral("3.1.4")) + kCrLf;
    out += adifField("CREATED_TIMESTAMP",
                     createdUtc.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss"))) +
           kCrLf;
    out += adifField("PROGRAMID", QStringLiteral("Kringbaas")) + kCrLf;
    out += adifField("PROGRAMVERSION", QStringLiteral(KRINGBAAS_VERSION)) + kCrLf;
    out += "<EOH>";
    out += kCrLf;

    const std::optional<double> mhz = frequencyMHz(station.frequency, station.unit);
    QString band;
    if (!mhz) {
        log.problems << QStringLiteral(
                            "De frequentie \"%1 %2\" is geen getal met een bekende "
                            "eenheid: FREQ en BAND ontbreken.")
                            .arg(station.frequency.trimmed(), station.unit.trimmed());
    } else {
        band = bandOf(*mhz);
        if (band.isEmpty()) {
            log.problems << QStringLiteral(
                                "De frequentie %1 MHz ligt in geen amateurband: BAND "
                                "ontbreekt.")
                                .arg(frequencyText(*mhz));
        }
    }
    const QString mode = station.mode.trimmed().toUpper();
    const bool digitalVoice = isDigitalVoiceSystem(mode);
    bool clubCallChanged = false;
    const QString clubCall = adifAscii(upperCall(station.clubCall), &clubCallChanged);

    const qsizetype stationProblems = log.problems.size();
    for (const NumberedRound &numbered : rounds) {
        const storage::Round &round = numbered.round;
        const int recordsBefore = log.records;
        const QString controller = upperCall(round.controllerCall);
        bool controllerChanged = false;
        const QString controllerAscii = adifAscii(controller, &controllerChanged);
        int withoutTime = 0;
        QStringList changedCalls;
        for (const storage::Participant &p : round.participants) {
            const QString call = upperCall(p.call);
            if (call.isEmpty() || call == controller) {
                continue;
            }
            const QDateTime when = p.placedAt.isValid() ? p.placedAt : round.beginTime;
            if (!when.isValid()) {
                ++withoutTime;
                continue;
            }
            const QDateTime utc = when.toUTC();
            bool changed = false;
            const auto text = [&changed](const QString &value) {
                bool lost = false;
                const QString ascii = adifAscii(value.trimmed(), &lost);
                changed = changed || lost;
                return ascii;
            };
            QByteArray record;
            record += adifField("CALL", text(call));
            record += adifField("QSO_DATE", utc.toString(QStringLiteral("yyyyMMdd")));
            record += adifField("TIME_ON", utc.toString(QStringLiteral("HHmmss")));
            if (!band.isEmpty()) {
                record += adifField("BAND", band);
            }
            if (mhz) {
                record += adifField("FREQ", frequencyText(*mhz));
            }
            record += adifField("MODE", digitalVoice ? QStringLiteral("DIGITALVOICE") : mode);
            if (digitalVoice) {
                record += adifField("SUBMODE", mode);
            }
            record += adifField("NAME", text(p.name));
            record += adifField("QTH", text(p.qth));
            if (gridOf) {
                record += adifField("GRIDSQUARE", gridSquare(gridOf(call)));
            }
            record += adifField("COMMENT", text(p.topic));
            record += adifField("OPERATOR", controllerAscii);
            record += adifField("STATION_CALLSIGN", clubCall);
            record += "<EOR>";
            record += kCrLf;
            out += record;
            ++log.records;
            if (changed && !changedCalls.contains(call)) {
                changedCalls << call;
            }
        }
        // The controller's call stands in every record as OPERATOR; named once.
        if (controllerChanged && log.records > recordsBefore &&
            !changedCalls.contains(controller)) {
            changedCalls.prepend(controller);
        }
        if (withoutTime > 0) {
            log.problems << QStringLiteral(
                                "Ronde %1 (%2): geen tijd bekend, %3 deelnemer(s) "
                                "overgeslagen.")
                                .arg(numbered.number)
                                .arg(round.date.trimmed())
                                .arg(withoutTime);
        }
        if (!changedCalls.isEmpty()) {
            log.problems << QStringLiteral("Ronde %1: tekens buiten ASCII vervangen bij %2.")
                                .arg(numbered.number)
                                .arg(changedCalls.join(QStringLiteral(", ")));
        }
    }
    if (clubCallChanged && log.records > 0) {
        log.problems.insert(stationProblems,
                            QStringLiteral("Zender Call %1: tekens buiten ASCII vervangen.")
                                .arg(upperCall(station.clubCall)));
    }
    return log;
}

}  // namespace logbook
