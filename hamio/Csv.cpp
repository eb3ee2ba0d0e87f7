#include "hamio/Csv.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

#include "storage/Settings.h"

namespace hamio {

namespace {

// The spreadsheets' text mark: a cell that starts with it is text, whatever follows.
constexpr char16_t kTextMark = u'\'';

// True when a spreadsheet would read the field as a formula (or, after typed text marks, the
// field only looks like one that went out marked): one of = + - @ tab CR first, after any
// number of text marks.
bool looksLikeFormula(QStringView field) {
    qsizetype i = 0;
    while (i < field.size() && field[i] == kTextMark) {
        ++i;
    }
    if (i == field.size()) {
        return false;
    }
    switch (field[i].unicode()) {
        case u'=':
        case u'+':
        case u'-':
        case u'@':
        case u'\t':
        case u'\r':
            return true;
        default:
            return false;
    }
}

bool needsQuotes(const QString &field) {
    if (field.isEmpty()) {
        return false;
    }
    // A U+FEFF first is part of the field; between quotes no reader takes it for a byte order
    // mark.
    if (field.front().isSpace() || field.back().isSpace() || field.front() == QChar(0xFEFF)) {
        return true;
    }
    for (const QChar c : field) {
        if (c == QLatin1Char(kSeparator) || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r')) {
            return true;
        }
    }
    return false;
}

QChar guessSeparator(const QString &text) {
    int counts[3] = {};
    const QChar candidates[3] = {QLatin1Char(';'), QLatin1Char(','), QLatin1Char('\t')};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            break;
        } else if (!quoted) {
            for (int i = 0; i < 3; ++i) {
                counts[i] += c == candidates[i] ? 1 : 0;
            }
        }
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best]) {
            best = i;
        }
    }
    return candidates[best];
}

// The encoding of text in UTF-16 or UTF-32 without a byte order mark, as some programs save
// "Unicode text": in the first bytes the high bytes of the (mostly ASCII) characters are NUL and
// the low bytes hardly ever are. Text in UTF-8 or Windows-1252 has no NUL at all.
std::optional<QString> unmarkedWideText(const QByteArray &bytes) {
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) / 4 * 4;
    if (n < 4) {
        return std::nullopt;
    }
    std::array<qsizetype, 4> nul{};  // NUL bytes at each position of four
    for (qsizetype i = 0; i < n; ++i) {
        nul[size_t(i % 4)] += bytes[i] == '\0' ? 1 : 0;
    }
    const qsizetype each = n / 4;
    const auto many = [each](qsizetype count) { return count * 2 >= each; };
    const auto few = [each](qsizetype count) { return count * 10 <= each; };
    if (few(nul[0]) && many(nul[1]) && many(nul[2]) && many(nul[3])) {
        return QStringLiteral("UTF-32");  // little-endian
    }
    if (many(nul[0]) && many(nul[1]) && many(nul[2]) && few(nul[3])) {
        return QStringLiteral("UTF-32");  // big-endian
    }
    if ((few(nul[0]) && few(nul[2]) && many(nul[1]) && many(nul[3])) ||
        (many(nul[0]) && many(nul[2]) && few(nul[1]) && few(nul[3]))) {
        return QStringLiteral("UTF-16");
    }
    return std::nullopt;
}

}  // namespace

QByteArray csvLine(const QStringList &fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char(kSeparator);
        }
        // A field that a spreadsheet would run as a formula goes out as text; so does one that
        // already starts with typed marks before such a sign, so that the reader, taking one
        // mark off, gives back exactly what was written.
        const QString field =
            looksLikeFormula(fields[i]) ? QChar(kTextMark) + fields[i] : fields[i];
        if (needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            line += QLatin1Char('"') + quoted + QLatin1Char('"');
        } else {
            line += field;
        }
    }
    return line.toUtf8() + "\r\n";
}

QByteArray csvFile(const std::vector<QStringList> &rows) {
    QByteArray out("\xEF\xBB\xBF");
    for (const QStringList &row : rows) {
        out += csvLine(row);
    }
    return out;
}

CsvTable readCsv(const QByteArray &bytes) {
    CsvTable table;
    // A spreadsheet's CSV is UTF-8, marked or not, or else the Windows code page; "Unicode
    // text" is UTF-16 with its byte order mark.
    static const QByteArray mark("\xEF\xBB\xBF");
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    QString text;
    if (bytes.startsWith(mark)) {
        text = storage::Settings::decodeText(bytes);
    } else if (marked && *marked != QStringConverter::Utf8) {
        const bool utf16 =
            *marked == QStringConverter::Utf16LE || *marked == QStringConverter::Utf16BE;
        QStringDecoder decoder(*marked, QStringDecoder::Flag::Stateless);
        text = decoder.decode(bytes);
        // A character cut off at the end is dropped by the decoder without a word.
        if (decoder.hasError() || bytes.size() % (utf16 ? 2 : 4) != 0) {
            table.error =
                QStringLiteral("Het bestand begint als %1-tekst, maar is dat niet tot het einde.")
                    .arg(utf16 ? QStringLiteral("UTF-16") : QStringLiteral("UTF-32"));
            return table;
        }
    } else if (const std::optional<QString> wide = unmarkedWideText(bytes)) {
        // Read as UTF-8, every character would stand beside a NUL, on lines out of count.
        table.error = QStringLiteral(
                          "Het bestand lijkt %1-tekst zonder byte order mark (BOM) en is zo niet "
                          "te lezen. Sla het op als CSV in UTF-8 en importeer het opnieuw.")
                          .arg(*wide);
        return table;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            text = storage::Settings::decodeText(bytes);
        }
    }
    table.separator = guessSeparator(text);

    QStringList fields;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    bool lineHasContent = false;
    int line = 1;
    int recordLine = 1;
    const auto endField = [&] {
        // The text mark an export put before a formula-like field comes off again.
        if (field.startsWith(kTextMark) && looksLikeFormula(QStringView(field).mid(1))) {
            field.remove(0, 1);
        }
        fields << field;
        field.clear();
        wasQuoted = false;
    };
    const auto endRecord = [&] {
        if (lineHasContent) {
            endField();
            table.records.push_back({recordLine, fields});
        }
        fields.clear();
        field.clear();
        wasQuoted = false;
        lineHasContent = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n') ||
                    (c == QLatin1Char('\r') && !(i + 1 < n && text[i + 1] == QLatin1Char('\n')))) {
                    ++line;
                }
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            lineHasContent = true;
        } else if (c == table.separator) {
            lineHasContent = true;
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) {
                ++i;
            }
            endRecord();
            ++line;
            recordLine = line;
        } else {
            if (!lineHasContent) {
                recordLine = line;
            }
            lineHasContent = true;
            field += c;
        }
    }
    if (quoted) {
        table.error = QStringLiteral(
                          "Regel %1: een veld tussen aanhalingstekens wordt niet "
                          "afgesloten.")
                          .arg(recordLine);
        table.records.clear();
        return table;
    }
    endRecord();
    return table;
}

}  // namespace hamio
