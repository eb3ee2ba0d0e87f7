#include "print/RoundPage.h"

#include "platform/PrinterSurface.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace print {

namespace {

constexpr int kRuleLeft = 600;
constexpr int kRuleRight = 11000;
constexpr int kTextLeft = 780;
constexpr int kFirstRow = 3400;
constexpr int kRowPitch = 350;

constexpr int kNameLeft = 2300;
constexpr int kQthLeft = 5600;
constexpr int kDistanceLeft = 8400;
constexpr int kKmLeft = 9000;
constexpr int kTurnsLeft = 10240;
constexpr int kTimesLeft = 10550;
// The title of the turns is too wide to start over the count: it starts where Verdana's widths
// put it and ends over the count and its "x".
constexpr int kTurnsTitleLeft = 9600;

struct ColumnTitle {
    QLatin1StringView text;
    int left;
};
// The titles after the first, which starts the header at the text column.
constexpr std::array<ColumnTitle, 4> kTitles{{
    {QLatin1StringView("Naam"), kNameLeft},
    {QLatin1StringView("QTH"), kQthLeft},
    {QLatin1StringView("Afstand"), kDistanceLeft},
    {QLatin1StringView("Spreektijd"), kTurnsTitleLeft},
}};

const QString kFont = QStringLiteral("Verdana");

void printAt(platform::PrinterSurface &surface, int x, int y, const QString &text) {
    surface.setCurrentX(x);
    surface.setCurrentY(y);
    surface.print(text);
}

void rule(platform::PrinterSurface &surface, int y) {
    surface.drawLine(QPoint(kRuleLeft, y), QPoint(kRuleRight, y));
}

// The header's blanks were counted for Verdana's widths; a font standing in for it has other
// widths, mostly narrower or wider blanks. This is the letter spacing that, in the font in use,
// brings the titles closest to their columns (least squares over the titles' starts, each
// start's change per twip of spacing measured, not assumed). Letter spacing rather than word
// spacing: Qt adds word spacing once to a run of blanks, not to each blank. The spacing never
// takes more than a quarter of a blank away, so the titles stay apart.
double headerLetterSpacing(platform::PrinterSurface &surface, const QString &header) {
    constexpr double kProbe = 100;
    double weighted = 0;
    double squares = 0;
    for (const ColumnTitle &title : kTitles) {
        const QString before = header.left(header.indexOf(title.text));
        surface.setLetterSpacing(0);
        const double natural = surface.textWidth(before);
        surface.setLetterSpacing(kProbe);
        const double perTwip = (surface.textWidth(before) - natural) / kProbe;
        weighted += perTwip * (title.left - kTextLeft - natural);
        squares += perTwip * perTwip;
    }
    surface.setLetterSpacing(0);
    const double spacing = squares > 0 ? weighted / squares : 0;
    return std::max(spacing, -surface.textWidth(QStringLiteral(" ")) / 4);
}

}  // namespace

QString columnHeader() {
    return QStringLiteral("CALL") + QString(11, QLatin1Char(' ')) + QStringLiteral("Naam") +
           QString(31, QLatin1Char(' ')) + QStringLiteral("QTH") + QString(27, QLatin1Char(' ')) +
           QStringLiteral("Afstand") + QString(3, QLatin1Char(' ')) + QStringLiteral("Spreektijd");
}

QString wholeNumberForm(const QString &text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?)(\\d*)(?:[.,](\\d*))?\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch() || (match.captured(2).isEmpty() && match.captured(3).isEmpty())) {
        return text;
    }
    const QString digits = match.captured(1) +
                           (match.captured(2).isEmpty() ? QStringLiteral("0") : match.captured(2)) +
                           QLatin1Char('.') + match.captured(3) + QLatin1Char('0');
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return text;
    }
    const double whole = std::round(value);  // halves away from zero
    if (whole == 0) {
        return {};
    }
    return QString::number(whole, 'f', 0);
}

QString roundDocumentName(const RoundSheet &sheet) {
    QString name = QStringLiteral("Ronde");
    if (!sheet.roundNumber.trimmed().isEmpty()) {
        name += QLatin1Char(' ') + sheet.roundNumber.trimmed();
    }
    if (!sheet.round.date.trimmed().isEmpty()) {
        name += QLatin1Char(' ') + sheet.round.date.trimmed();
    }
    return name;
}

void drawRoundPage(platform::PrinterSurface &surface, const RoundSheet &sheet, const QImage &logo) {
    surface.setPortrait();
    surface.setTextColor(Qt::black);
    surface.drawPicture(logo, QRect(600, 700, 1450, 1450));

    surface.setFontName(kFont);
    surface.setFontSize(16);
    printAt(surface, 2300, 1300, QStringLiteral("Deelnemers"));
    printAt(surface, 2300, 1700,
            QStringLiteral("Radioronde ") + sheet.clubCall + QStringLiteral(" van ") +
                sheet.round.date);
    rule(surface, 2800);
    rule(surface, 3200);
    surface.setFontSize(12);
    const QString header = columnHeader();
    surface.setLetterSpacing(headerLetterSpacing(surface, header));
    printAt(surface, kTextLeft, 2850, header);
    surface.setLetterSpacing(0);

    surface.setFontSize(11);
    for (int i = 0; i < storage::Round::kRows; ++i) {
        const storage::Participant &p = sheet.round.participants[size_t(i)];
        const int y = kFirstRow + kRowPitch * i;
        if (!p.call.isEmpty()) {
            printAt(surface, kTextLeft, y, p.call);
        }
        if (!p.name.isEmpty()) {
            printAt(surface, kNameLeft, y, p.name);
        }
        if (!p.qth.isEmpty()) {
            printAt(surface, kQthLeft, y, p.qth);
        }
        // The whole-number form is printed only; the round itself keeps its distance.
        if (!p.distance.isEmpty()) {
            const QString distance = wholeNumberForm(p.distance);
            if (!distance.isEmpty()) {
                printAt(surface, kDistanceLeft, y, distance);
            }
            printAt(surface, kKmLeft, y, QStringLiteral(" Km"));
        }
        // "Beurt  " and the count: its last two characters are printed.
        const QString &caption = sheet.turnCaptions[size_t(i)];
        if (caption.size() > 5) {
            const QString turns = wholeNumberForm(caption.right(2));
            if (!turns.isEmpty()) {
                printAt(surface, kTurnsLeft, y, turns);
            }
            printAt(surface, kTimesLeft, y, QStringLiteral("x"));
        }
    }

    rule(surface, 15000);
    printAt(surface, kTextLeft, 15070,
            QStringLiteral("Kringbaas: ") + sheet.round.controllerCall + QStringLiteral(", ") +
                sheet.round.controllerName + QStringLiteral(" via ") + sheet.clubCall +
                QStringLiteral(" op ") + sheet.frequency + QLatin1Char(' ') + sheet.unit);
    rule(surface, 15400);

    surface.setFontSize(7);
    surface.setTextColor(kButtonShadow);
    printAt(surface, kTextLeft, 15800, QStringLiteral("Kringbaas ") + QString::number(sheet.year));
    surface.setTextColor(Qt::black);
}

}  // namespace print
