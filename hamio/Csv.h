#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

namespace hamio {

// CSV as Dutch spreadsheet programs open it without a question: UTF-8 with a byte order mark
// (without it Excel reads the file as Windows-1252), fields separated by a semicolon (the list
// separator of the Dutch regional settings, since the comma is the decimal sign), CR LF line
// ends. A field that holds the separator, a quote, a line break, blanks at an end, or a U+FEFF
// first (part of the field, no byte order mark) is put between double quotes, with each quote in
// it doubled. A field that starts with = + - @ tab or CR, after any number of ' (the
// spreadsheets' text mark), gets one more ' in front, so that a spreadsheet shows it as text
// instead of running it as a formula.
inline constexpr char kSeparator = ';';

QByteArray csvLine(const QStringList &fields);
QByteArray csvFile(const std::vector<QStringList> &rows);

// One record of a CSV file and the line of the file it starts on (1 for the first).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

struct CsvTable {
    std::vector<CsvRecord> records;  // the header is the first
    QChar separator;
    QString error;  // Dutch; set when the file cannot be read as CSV
};

// Reads CSV text in UTF-8 (a byte order mark is skipped), in UTF-16 or UTF-32 after their byte
// order mark, or in Windows-1252 when the bytes are no UTF-8. UTF-16 or UTF-32 without their
// mark is not guessed: the error says what the file looks like and how to save it. Only the
// file's first bytes can be a byte order mark; a U+FEFF elsewhere is text. The separator is the
// one of semicolon, comma and tab that occurs most often outside quotes in the first line.
// Quoted fields may hold separators, doubled quotes and line breaks; line ends are CR LF, LF or
// CR. Empty lines are skipped. The ' that csvLine() puts before a field comes off again: one ' at
// the start of a field is dropped when what follows would get one from csvLine().
CsvTable readCsv(const QByteArray &bytes);

}  // namespace hamio
