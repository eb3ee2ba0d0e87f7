#pragma once

#include "storage/Records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace hamio {

// A ham of the list with the bookmark of its record.
struct StoredHam {
    storage::Bookmark bookmark = storage::kNoBookmark;
    storage::Ham ham;
};

// The header of an exported ham list: the labels of the ham list window, in field order.
QStringList csvHeader();
// The ham list as CSV: the header, then one line per ham in the order of the list.
QByteArray hamListCsv(const std::vector<StoredHam> &hams);

// The field (0 to 9) a column header names, in Dutch or English, without regard to letter case,
// blanks or hyphens ("E-mailadres", "email", "Roepnaam", "Callsign"); -1 for any other header.
int fieldOfHeader(const QString &header);

struct RejectedRow {
    int line = 0;
    QString reason;  // Dutch
};

struct ChangedHam {
    storage::Bookmark bookmark = storage::kNoBookmark;
    storage::Ham before;
    storage::Ham after;
};

// What an import would do, before anything is written.
struct ImportPlan {
    QString error;  // Dutch; the file as a whole cannot be imported
    std::vector<storage::Ham> added;
    std::vector<ChangedHam> changed;
    int unchanged = 0;
    std::vector<RejectedRow> rejected;
    QStringList ignoredColumns;
};

// Compares a CSV file with the ham list. Columns are taken by header name; a column the file
// lacks, and a field that comes back as the list holds it, stay as they are (a call in lower
// case that another program stored among them). Each other field gets the form of the ham list
// window: call, name, QTH and country upper case and trimmed, an empty country "Nederland", the
// postcode and grid forms, a lower-case e-mail. A row is rejected without a call, with a call
// that holds anything but printable ASCII without blanks (a control or format character, a
// blank, a letter of another script: the line and the character's code are said), with a grid of
// one to five characters, with an e-mail that fails the check, with more fields than the header,
// or with a call that an earlier row of the file already had. At the ends of the other fields
// that the forms trim, control and format characters go with the blanks. A row is a known ham
// when its call is in the list: the first ham with exactly that call, or else the first the exact
// look-up finds (letter case aside).
ImportPlan planImport(const QByteArray &csv, const std::vector<StoredHam> &current);

// The ham list of the database file, in table order. Nothing is written: an empty list is read
// as empty (no blank record is made for it), also on a full disk.
bool readHams(const QString &databasePath, std::vector<StoredHam> *hams, QString *error);

// Writes the plan into the ham list in one transaction. progress(done, total) is called now and
// then; when it returns false the import stops and nothing is written. On any failure the table
// is left as it was and *error (Dutch) says why; a stop by progress leaves *error empty. The hams
// go in as they are: an empty list gets no blank record before them.
bool applyImport(const QString &databasePath, const ImportPlan &plan,
                 const std::function<bool(int done, int total)> &progress, QString *error);

}  // namespace hamio
