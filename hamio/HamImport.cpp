#include "hamio/HamImport.h"

#include "storage/CaseFold.h"

#include "hamio/Csv.h"
#include "hamlist/HamRules.h"
#include "storage/Database.h"
#include "storage/Schema.h"
#include "storage/Sql.h"

#include <QHash>

#include <array>
#include <optional>
#include <utility>

namespace hamio {

namespace {

QString headerKey(const QString &header) {
    QString key;
    for (const QChar c : header.toLower()) {
        if (c.isLetterOrNumber()) {
            key += c;
        }
    }
    return key;
}

// Every name a column of each field may have.
const QHash<QString, int> &headerNames() {
    static const QHash<QString, int> names = [] {
        const std::array<QStringList, storage::Ham::kFields> perField = {
            QStringList{"call", "roepnaam", "callsign", "roepletters"},
            QStringList{"naam", "name", "voornaam", "firstname"},
            QStringList{"adres", "address", "straat", "street"},
            QStringList{"postcode", "postalcode", "zip", "zipcode"},
            QStringList{"qth", "plaats", "woonplaats", "city", "town"},
            QStringList{"grid", "locator", "gridsquare", "gridlocator"},
            QStringList{"land", "country"},
            QStringList{"telefoon", "telefoonnummer", "phone", "telephone"},
            QStringList{"email", "emailadres", "mail", "emailaddress"},
            QStringList{"byzonderheden", "bijzonderheden", "particulars", "remarks", "notes",
                        "opmerkingen"},
        };
        QHash<QString, int> all;
        for (int field = 0; field < storage::Ham::kFields; ++field) {
            for (const QString &name : perField[size_t(field)]) {
                all.insert(name, field);
            }
        }
        return all;
    }();
    return names;
}

// Control and format characters (NUL, ESC, a zero-width space, a byte order mark): nothing to
// see, but a call that holds one is another call.
bool isInvisible(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

// The character at position i (a surrogate pair as one) and the number of positions it takes.
char32_t characterAt(const QString &text, qsizetype i, qsizetype *width) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *width = 2;
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    }
    *width = 1;
    return text[i].unicode();
}

// The text without the control and format characters among the blanks at its ends, as a
// spreadsheet or a copy from elsewhere leaves them. The blanks stay for the forms to trim (the
// grid's form counts them); tab and line breaks count as blanks.
QString withoutInvisibleEnds(const QString &text) {
    qsizetype first = -1;  // the first visible character
    qsizetype last = 0;    // just after the last one
    for (qsizetype i = 0, width = 1; i < text.size(); i += width) {
        const char32_t c = characterAt(text, i, &width);
        if (!QChar::isSpace(c) && !isInvisible(c)) {
            first = first < 0 ? i : first;
            last = i + width;
        }
    }
    const auto blanksOf = [&text](qsizetype from, qsizetype to) {
        QString blanks;
        for (qsizetype i = from, width = 1; i < to; i += width) {
            if (QChar::isSpace(characterAt(text, i, &width))) {
                blanks += QStringView(text).mid(i, width);
            }
        }
        return blanks;
    };
    if (first < 0) {
        return blanksOf(0, text.size());
    }
    return blanksOf(0, first) + text.mid(first, last - first) + blanksOf(last, text.size());
}

// U+XXXX: a character named by its code, also when it shows nothing.
QString codeOf(char32_t c) {
    return QStringLiteral("U+%1").arg(
        QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
}

// Why a call from a file cannot be taken, or nothing. Such a call holds printable ASCII alone,
// without blanks: anything else may look like a known call (a joiner, a variation selector, a
// filler, a letter of another script) and still be another one.
std::optional<QString> callFault(const QString &call) {
    for (qsizetype i = 0, width = 1; i < call.size(); i += width) {
        const char32_t c = characterAt(call, i, &width);
        if (c > 0x20 && c < 0x7F) {
            continue;
        }
        if (isInvisible(c)) {
            return QStringLiteral("de call bevat een onzichtbaar teken (%1)").arg(codeOf(c));
        }
        if (QChar::category(c) == QChar::Separator_Space) {
            return QStringLiteral("de call bevat een spatie (%1)").arg(codeOf(c));
        }
        return QStringLiteral(
                   "de call bevat een teken dat niet in een call hoort (%1); een call "
                   "bestaat uit letters A-Z, cijfers en leestekens")
            .arg(codeOf(c));
    }
    return std::nullopt;
}

// The fields besides the call whose forms trim blanks; invisible characters at their ends go
// too.
constexpr std::array<bool, storage::Ham::kFields> kTrimmed = {false, true, false, true, true,
                                                              true,  true, false, true, false};

// The forms of the ham list window for the fields the file gives; false and *reason when the
// row cannot be taken. storedCall is the call of the known ham the row is, if any: a call that
// comes out of the forms as the list already holds it is no new call, whatever it holds.
bool applyForms(storage::Ham *ham, const std::array<bool, storage::Ham::kFields> &given,
                const QString *storedCall, QString *reason) {
    for (int field = 0; field < storage::Ham::kFields; ++field) {
        if (given[size_t(field)] && kTrimmed[size_t(field)]) {
            ham->field(field) = withoutInvisibleEnds(ham->field(field));
        }
    }
    // Nothing invisible is taken off a call: a call that holds such a character anywhere, or
    // anything else beyond printable ASCII, is refused, so that no look-alike of a known call
    // comes in beside it. A call that comes back as the list holds it stays as it is.
    if (given[0]) {
        ham->call = hamlist::upperTrimmed(ham->call);
        if (ham->call.isEmpty()) {
            *reason = QStringLiteral("geen call");
            return false;
        }
        const std::optional<QString> fault = callFault(ham->call);
        if (fault && !(storedCall && ham->call == *storedCall)) {
            *reason = *fault;
            return false;
        }
    }
    if (given[1]) {
        ham->name = hamlist::upperTrimmed(ham->name);
    }
    if (given[3] && !ham->postcode.trimmed().isEmpty()) {
        ham->postcode = hamlist::postcodeForm(ham->postcode);
    }
    if (given[4]) {
        ham->qth = hamlist::upperTrimmed(ham->qth);
    }
    if (given[5]) {
        if (hamlist::gridTooShort(ham->grid)) {
            *reason =
                QStringLiteral("Grid locatie moet uit 6 tekens bestaan (\"%1\")").arg(ham->grid);
            return false;
        }
        ham->grid = hamlist::gridForm(ham->grid);
    }
    if (given[6]) {
        ham->country = hamlist::countryForm(ham->country);
    }
    if (given[8] && !ham->email.isEmpty()) {
        ham->email = hamlist::emailForm(ham->email);
        if (!hamlist::isEmailText(ham->email)) {
            *reason = QStringLiteral("E-mailadres onjuist! (\"%1\")").arg(ham->email);
            return false;
        }
    }
    return true;
}

// The ten fields (a field without value as an empty text), then the folded call the exact
// look-ups go by.
bool bindHam(storage::Statement &stmt, const storage::Ham &ham) {
    for (int i = 0; i < storage::Ham::kFields; ++i) {
        if (!stmt.bind(i + 1, ham.field(i))) {
            return false;
        }
    }
    return stmt.bind(storage::Ham::kFields + 1, storage::foldedCall(ham.call));
}

}  // namespace

QStringList csvHeader() {
    return {QStringLiteral("Call"),        QStringLiteral("Naam"),
            QStringLiteral("Adres"),       QStringLiteral("Postcode"),
            QStringLiteral("Qth"),         QStringLiteral("Grid"),
            QStringLiteral("Land"),        QStringLiteral("Telefoon"),
            QStringLiteral("E-mailadres"), QStringLiteral("Bijzonderheden")};
}

QByteArray hamListCsv(const std::vector<StoredHam> &hams) {
    std::vector<QStringList> rows;
    rows.reserve(hams.size() + 1);
    rows.push_back(csvHeader());
    for (const StoredHam &stored : hams) {
        QStringList row;
        for (int i = 0; i < storage::Ham::kFields; ++i) {
            row << stored.ham.field(i);
        }
        rows.push_back(row);
    }
    return csvFile(rows);
}

int fieldOfHeader(const QString &header) {
    return headerNames().value(headerKey(header), -1);
}

ImportPlan planImport(const QByteArray &csv, const std::vector<StoredHam> &current) {
    ImportPlan plan;
    CsvTable table = readCsv(csv);
    if (!table.error.isEmpty()) {
        plan.error = table.error;
        return plan;
    }
    if (table.records.empty()) {
        plan.error = QStringLiteral("Het bestand is leeg.");
        return plan;
    }
    const QStringList &header = table.records.front().fields;
    std::vector<int> columnField;
    std::array<bool, storage::Ham::kFields> given{};
    for (const QString &name : header) {
        const int field = fieldOfHeader(name);
        if (field >= 0 && given[size_t(field)]) {
            plan.error = QStringLiteral("De kolom \"%1\" staat twee keer in de kopregel.")
                             .arg(name.trimmed());
            return plan;
        }
        if (field >= 0) {
            given[size_t(field)] = true;
        } else {
            plan.ignoredColumns << name.trimmed();
        }
        columnField.push_back(field);
    }
    if (!given[0]) {
        plan.error = QStringLiteral("De kopregel heeft geen kolom \"Call\".");
        return plan;
    }

    // The first ham of each call as it stands, and by its folded form: a row is the ham whose
    // call it repeats exactly, or else the ham the exact look-up would find for its call. So a
    // list that holds two calls differing in letter case only comes back as it went out.
    QHash<QString, size_t> exact;
    QHash<QString, size_t> known;
    for (size_t i = 0; i < current.size(); ++i) {
        const QString &call = current[i].ham.call;
        const QString folded = storage::foldedCall(call.trimmed());
        if (!folded.isEmpty() && !known.contains(folded)) {
            known.insert(folded, i);
        }
        if (!folded.isEmpty() && !exact.contains(call)) {
            exact.insert(call, i);
        }
    }
    const qsizetype callColumn =
        qsizetype(std::find(columnField.begin(), columnField.end(), 0) - columnField.begin());
    QHash<size_t, int> seenKnown;  // ham of the list -> line of the file
    QHash<QString, int> seenNew;   // folded call -> line of the file
    for (size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord &record = table.records[r];
        if (record.fields.size() > header.size()) {
            plan.rejected.push_back({record.line, QStringLiteral("meer velden dan de kopregel")});
            continue;
        }
        const QString callText = record.fields.value(callColumn);
        std::optional<size_t> match;
        if (const auto e = exact.constFind(callText); e != exact.cend()) {
            match = *e;
        } else if (const auto k =
                       known.constFind(storage::foldedCall(hamlist::upperTrimmed(callText)));
                   k != known.cend()) {
            match = *k;
        }
        const bool isKnown = match.has_value();
        storage::Ham ham = isKnown ? current[*match].ham : storage::Ham{};
        // A field that comes back as the list holds it stays as it is; the forms go to the
        // others.
        std::array<bool, storage::Ham::kFields> formed{};
        formed[0] = !isKnown;  // a new ham gets the call's form and check, with or without call
        for (qsizetype c = 0; c < record.fields.size(); ++c) {
            const int field = columnField[size_t(c)];
            if (field >= 0 && (!isKnown || record.fields[c] != ham.field(field))) {
                ham.field(field) = record.fields[c];
                formed[size_t(field)] = true;
            }
        }
        if (!isKnown && ham.country.trimmed().isEmpty()) {
            ham.country = QStringLiteral("Nederland");  // as "&Nieuw" fills it in
            formed[6] = false;
        }
        QString reason;
        if (!applyForms(&ham, formed, isKnown ? &current[*match].ham.call : nullptr, &reason)) {
            plan.rejected.push_back({record.line, reason});
            continue;
        }
        const QString folded = storage::foldedCall(ham.call);
        const int earlier = isKnown ? seenKnown.value(*match) : seenNew.value(folded);
        if (earlier > 0) {
            plan.rejected.push_back(
                {record.line,
                 QStringLiteral("%1 staat al op regel %2").arg(ham.call).arg(earlier)});
            continue;
        }
        if (!isKnown) {
            seenNew.insert(folded, record.line);
            plan.added.push_back(ham);
            continue;
        }
        seenKnown.insert(*match, record.line);
        const StoredHam &stored = current[*match];
        if (ham == stored.ham) {
            ++plan.unchanged;
        } else {
            plan.changed.push_back({stored.bookmark, stored.ham, ham});
        }
    }
    return plan;
}

bool readHams(const QString &databasePath, std::vector<StoredHam> *hams, QString *error) {
    // Only read: an empty list is read as it is, without the blank record a window needs, so
    // that an export works on a full disk.
    storage::StorageError failure;
    std::unique_ptr<storage::Database> db = storage::Database::open(databasePath, &failure);
    if (!db) {
        *error = failure.description;
        return false;
    }
    QString sql = QStringLiteral("SELECT id");
    for (const QString &field : storage::qrzTable().fields) {
        sql += QStringLiteral(", \"%1\"").arg(field);
    }
    sql += QStringLiteral(" FROM qrz ORDER BY id");
    storage::Statement select(db->handle(), sql);
    if (!select.isValid()) {
        *error = QStringLiteral("De HAM-lijst is niet te lezen: %1").arg(db->lastMessage());
        return false;
    }
    hams->clear();
    while (select.next()) {
        StoredHam stored;
        stored.bookmark = select.int64(0);
        for (int i = 0; i < storage::Ham::kFields; ++i) {
            stored.ham.field(i) = select.text(i + 1);
        }
        hams->push_back(std::move(stored));
    }
    if (select.failure()) {
        *error = QStringLiteral("De HAM-lijst is niet te lezen: %1").arg(db->lastMessage());
        return false;
    }
    return true;
}

bool applyImport(const QString &databasePath, const ImportPlan &plan,
                 const std::function<bool(int done, int total)> &progress, QString *error) {
    error->clear();
    // The hams go into the list as they are, without a blank record before them.
    storage::StorageError failure;
    std::unique_ptr<storage::Database> db = storage::Database::open(databasePath, &failure);
    if (!db) {
        *error = failure.description;
        return false;
    }
    sqlite3 *handle = db->handle();
    // The ten fields in table order, then the folded call; named as the table names them.
    QStringList columns;
    for (const QString &field : storage::qrzTable().fields) {
        columns << QStringLiteral("\"%1\"").arg(field);
    }
    columns << QStringLiteral("\"%1\"").arg(QLatin1String(storage::kCallFoldColumn));
    QStringList placeholders;
    QStringList assignments;
    for (const QString &column : std::as_const(columns)) {
        placeholders << QStringLiteral("?");
        assignments << column + QStringLiteral(" = ?");
    }
    storage::Statement insert(handle, QStringLiteral("INSERT INTO qrz (%1) VALUES (%2)")
                                          .arg(columns.join(QStringLiteral(", ")),
                                               placeholders.join(QStringLiteral(", "))));
    storage::Statement update;
    if (insert.isValid()) {
        update = storage::Statement(handle, QStringLiteral("UPDATE qrz SET %1 WHERE id = ?")
                                                .arg(assignments.join(QStringLiteral(", "))));
    }
    if (!insert.isValid() || !update.isValid()) {
        *error =
            QStringLiteral("De HAM-lijst kan niet worden bijgewerkt: %1").arg(db->lastMessage());
        return false;
    }
    storage::Transaction transaction(handle);
    if (!transaction.isActive()) {
        *error = QStringLiteral("De HAM-lijst kan niet worden bijgewerkt: %1")
                     .arg(storage::Database::describe(transaction.failure().code));
        return false;
    }
    const int total = int(plan.added.size() + plan.changed.size());
    int done = 0;
    bool cancelled = false;
    // Asks the caller now and then whether to go on.
    const auto goOn = [&] {
        if (progress && done % 500 == 0 && !progress(done, total)) {
            cancelled = true;
        }
        return !cancelled;
    };
    const auto step = [&](storage::Statement &stmt) {
        const bool stepped = stmt.run();
        stmt.reset();
        ++done;
        return stepped;
    };
    bool ok = goOn();
    for (size_t i = 0; ok && i < plan.changed.size(); ++i) {
        const ChangedHam &change = plan.changed[i];
        ok = bindHam(update, change.after) &&
             update.bind(storage::Ham::kFields + 2, change.bookmark) && step(update) && goOn();
    }
    for (size_t i = 0; ok && i < plan.added.size(); ++i) {
        ok = bindHam(insert, plan.added[i]) && step(insert) && goOn();
    }
    if (!ok) {
        // Nothing of the import stays.
        const QString message = db->lastMessage();
        transaction.rollback();
        if (!cancelled) {
            *error = QStringLiteral("De HAM-lijst kan niet worden bijgewerkt: %1").arg(message);
        }
        return false;
    }
    if (!transaction.commit()) {
        *error = QStringLiteral("De HAM-lijst kan niet worden bijgewerkt: %1")
                     .arg(storage::Database::describe(transaction.failure().code));
        return false;
    }
    if (progress) {
        progress(total, total);
    }
    return true;
}

}  // namespace hamio
