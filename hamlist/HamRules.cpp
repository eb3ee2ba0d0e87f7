#include "hamlist/HamRules.h"

#include "geo/Locator.h"
#include "storage/Criterion.h"
#include "storage/Schema.h"

#include <QChar>
#include <QLatin1String>

#include <iterator>
#include <limits>

namespace hamlist {

namespace {

// Column widths of the call and the name in a hit line.
constexpr int kCallWidth = 7;
constexpr int kNameWidth = 22;

// Text of at least `width` columns: padded with blanks, and cut when longer.
// The text followed by some blanks, cut to a width: a column of the hit list. (A call of three
// characters or more fills its seven columns, as any name of one character or more fills 22.)
QString padded(const QString &text, int blanks, int width) {
    return (text + QString(blanks, QLatin1Char(' '))).left(width);
}

// Position (counted from 1) of the first `needle` at or after position `from`; 0 when there is
// none or when `from` lies beyond the end of the text.
qsizetype positionFrom(const QString &text, QLatin1String needle, qsizetype from) {
    if (from < 1 || from > text.size()) {
        return 0;
    }
    return text.indexOf(needle, from - 1, Qt::CaseInsensitive) + 1;
}

}  // namespace

QString upperTrimmed(const QString &text) {
    return text.toUpper().trimmed();
}

QString postcodeForm(const QString &text) {
    const QString t = upperTrimmed(text);
    return t.left(4) + QLatin1Char(' ') + t.right(2);
}

bool gridTooShort(const QString &text) {
    return text.size() >= 1 && text.size() <= 5;
}

QString shortGridForm(const QString &text) {
    return geo::locatorUpper(text).trimmed();
}

QString gridForm(const QString &text) {
    const QString t = shortGridForm(text);
    return t.left(4) + geo::locatorLower(t.right(2));
}

QString countryForm(const QString &text) {
    const QString t = upperTrimmed(text);
    return t.isEmpty() ? QStringLiteral("Nederland") : t;
}

QString emailForm(const QString &text) {
    return text.toLower().trimmed();
}

bool isEmailText(const QString &text) {
    const qsizetype at = text.indexOf(QLatin1Char('@')) + 1;
    if (at == 0) {
        return false;
    }
    // The search for dots starts one past the character right after the at sign.
    const qsizetype dot = positionFrom(text, QLatin1String("."), at + 2);
    const qsizetype doubleDot = positionFrom(text, QLatin1String(".."), at + 2);
    if (dot == 0 || doubleDot != 0) {
        return false;
    }
    return !text.endsWith(QLatin1Char('.'));
}

QString hitLine(int position, const QString &call, const QString &name, const QString &qth) {
    QString number = QString::number(position);
    if (position >= 0) {
        number = number.rightJustified(4, QLatin1Char('0'));
    }
    const QString separator = QStringLiteral(" | ");
    return number + separator + padded(call, 4, kCallWidth) + separator +
           padded(name, 21, kNameWidth) + separator + qth.toUpper();
}

int hitLinePosition(const QString &line) {
    qint64 value = 0;
    qsizetype digits = 0;
    for (const QChar c : line) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            break;
        }
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max()) {
            return -1;
        }
        ++digits;
    }
    return digits == 0 ? -1 : static_cast<int>(value);
}

bool isExactMode(int fieldIndex, bool partialCall) {
    return fieldIndex == 0 && !partialCall;
}

QString searchCriterion(int fieldIndex, bool partialCall, const QString &text) {
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(std::size(kSearchEntries))) {
        return QString();
    }
    // The criterion names the field as the table does.
    const QString &field = storage::qrzTable().fields[fieldIndex];
    // A quote in the text (O'Neill, 's-Hertogenbosch) is searched for as it stands; the
    // pattern characters the user types act as pattern characters.
    const QString value = storage::quotedValue(text);
    if (isExactMode(fieldIndex, partialCall)) {
        return field + QStringLiteral(" ='") + value + QLatin1Char('\'');
    }
    if (fieldIndex == 0) {
        return field + QStringLiteral(" LIKE'*") + value + QLatin1Char('\'');
    }
    return field + QStringLiteral(" LIKE'*") + value + QStringLiteral("*'");
}

}  // namespace hamlist
