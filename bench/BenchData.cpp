#include "bench/BenchData.h"

#include "storage/CaseFold.h"

#include "storage/Database.h"
#include "storage/Schema.h"
#include "storage/Settings.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QStringList>

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unordered_set>

namespace benchdata {

namespace {

const std::array kFirstNames = {
    "JAN",     "PIET",   "KEES", "HENK",   "WILLEM", "JOHAN",   "GERRIT", "HANS",    "PETER",
    "MARCEL",  "ROB",    "ERIK", "FRANK",  "TON",    "BERT",    "ANNEKE", "MARIEKE", "INGE",
    "SANDER",  "DAAN",   "BAS",  "RUUD",   "HUUB",   "THEO",    "JOOP",   "WIM",     "KLAAS",
    "SJOERD",  "HARM",   "DIRK", "GERARD", "LEO",    "NICO",    "ARIE",   "COR",     "JEROEN",
    "MARTIJN", "STEFAN", "FRED", "ANTON",  "EVERT",  "HENNY",   "RIA",    "TRUUS",   "ELS",
    "RENÉ",    "ANDRÉ",  "JOS",  "HARRY",  "MARTIN", "RICHARD", "GEERT",  "WOUTER",  "TJEERD",
    "FOKKE",   "AAD",    "BEN",  "HERMAN", "JAAP",   "ROEL",    "MENNO",  "SIETSE",  "LIESBETH",
};
// Each contains kRareSubstring.
const std::array kRareNames = {"QUINTEN", "QUIRIJN", "JACQUES", "JACQUELINE", "QUIRINUS"};

const std::array kStreets = {
    "KERKSTRAAT",   "DORPSSTRAAT", "STATIONSWEG",   "MOLENWEG",  "SCHOOLSTRAAT",
    "NIEUWSTRAAT",  "JULIANALAAN", "BEATRIXSTRAAT", "EIKENLAAN", "BEUKENLAAN",
    "HOOFDSTRAAT",  "DIJKWEG",     "PARALLELWEG",   "VELDWEG",   "WILHELMINAPLEIN",
    "ORANJESTRAAT", "LINDENLAAN",  "ZUIDERHAVEN",
};

const std::array kTowns = {
    "AMSTERDAM", "ROTTERDAM",  "'S-GRAVENHAGE", "UTRECHT",
    "EINDHOVEN", "GRONINGEN",  "TILBURG",       "ALMERE",
    "BREDA",     "NIJMEGEN",   "APELDOORN",     "HAARLEM",
    "ARNHEM",    "ZAANDAM",    "AMERSFOORT",    "'S-HERTOGENBOSCH",
    "ZWOLLE",    "LEEUWARDEN", "DORDRECHT",     "ASSEN",
    "EDE",       "DEVENTER",   "DELFT",         "VENLO",
    "HELMOND",   "HOORN",      "ALKMAAR",       "EMMEN",
    "ANTWERPEN", "GENT",       "BRUGGE",        "HASSELT",
};

const std::array kRemarks = {
    "QSL via bureau.",
    "Actief op 80 m in de ochtendronde.",
    "Voorzitter van de afdeling, neemt vaak de ronde waar.",
    "Station: IC-7300 met dipool op het dak.",
    "Alleen op woensdag te bereiken.",
    "Mobiel vanuit de caravan in de zomer.\nQSL direct, SASE.",
    "Zendt ook in PSK31 en FT8.",
    "Oud-telegrafist bij de PTT.\nGeeft graag CW-les aan nieuwe leden.",
    "Antenne: 3-element yagi, 15 m mast.",
    "",
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <typename Array>
    const char *pick(const Array &items) {
        return items[size_t(below(int(items.size())))];
    }
    char letter() { return char('A' + below(26)); }

    std::string call() {
        static const std::array prefixes = {"PA", "PA", "PA", "PD", "PD", "PE",
                                            "PH", "PB", "PI", "ON", "ON", "PG"};
        std::string c = pick(prefixes);
        c += char('0' + below(10));
        const int length = below(5) == 0 ? 2 : 3;
        for (int i = 0; i < length; ++i) {
            c += letter();
        }
        return c;
    }

    std::string uniqueCall() {
        for (;;) {
            std::string c = call();
            if (calls_.insert(c).second) {
                return c;
            }
        }
    }

    std::string number(int digits) {
        std::string s;
        for (int i = 0; i < digits; ++i) {
            s += char('0' + below(10));
        }
        return s;
    }

    std::string postcode() {
        std::string p = std::to_string(1000 + below(9000)) + ' ';
        p += letter();
        p += letter();
        return p;
    }

    std::string grid() {
        std::string g = "JO";
        g += char('1' + below(2));
        g += char('0' + below(4));
        g += char('a' + below(24));
        g += char('a' + below(24));
        return g;
    }

    std::string time(int hour) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02d:%02d", hour, below(60));
        return buffer;
    }

private:
    std::mt19937 rng_;
    std::unordered_set<std::string> calls_;
};

std::vector<Ham> makeHams(Generator &gen) {
    std::vector<Ham> hams(kHamCount);
    for (Ham &h : hams) {
        h.call = gen.uniqueCall();
        const bool belgian = h.call.starts_with("ON");
        h.name = gen.below(100) == 0 ? gen.pick(kRareNames) : gen.pick(kFirstNames);
        h.address = std::string(gen.pick(kStreets)) + ' ' + std::to_string(1 + gen.below(250));
        if (gen.below(8) == 0) {
            h.address += char('a' + gen.below(4));
        }
        h.postcode = belgian ? std::to_string(1000 + gen.below(9000)) : gen.postcode();
        h.qth = belgian ? gen.pick(kTowns) : kTowns[size_t(gen.below(int(kTowns.size()) - 4))];
        h.grid = gen.grid();
        h.country = belgian ? "BELGIE" : "NEDERLAND";
        h.phone =
            gen.below(2) == 0 ? "06-" + gen.number(8) : "0" + gen.number(2) + '-' + gen.number(7);
        std::string lower = h.call;
        for (char &c : lower) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        h.email = lower + (gen.below(3) == 0 ? "@amsat.org" : "@veron.nl");
        h.particulars = gen.pick(kRemarks);
    }
    return hams;
}

void check(int rc, int expected, sqlite3 *db, const char *what) {
    if (rc != expected) {
        fail(QStringLiteral("%1 failed: %2")
                 .arg(QString::fromUtf8(what), QString::fromUtf8(sqlite3_errmsg(db))));
    }
}

void exec(sqlite3 *db, const char *sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK, db, sql);
}

sqlite3_stmt *prepare(sqlite3 *db, const QString &sql) {
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK, db,
          "prepare");
    return stmt;
}

QString insertSql(const storage::TableDef &table) {
    QStringList names, parameters;
    for (qsizetype i = 0; i < table.fields.size(); ++i) {
        names << QLatin1Char('"') + table.fields[i] + QLatin1Char('"');
        parameters << QStringLiteral("?%1").arg(i + 1);
    }
    return QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
        .arg(table.name, names.join(QLatin1Char(',')), parameters.join(QLatin1Char(',')));
}

void bindText(sqlite3_stmt *stmt, int parameter, const std::string &text) {
    sqlite3_bind_text(stmt, parameter, text.data(), int(text.size()), SQLITE_STATIC);
}

// The hams with the folded copy of their call that the exact look-ups go by, as the program
// stores them.
void insertHams(sqlite3 *db, const std::vector<Ham> &hams) {
    QString sql = insertSql(storage::qrzTable());
    sql.replace(QStringLiteral(") VALUES ("),
                QStringLiteral(",\"%1\") VALUES (").arg(QLatin1String(storage::kCallFoldColumn)));
    sql.chop(1);
    sql += QStringLiteral(",?11)");
    sqlite3_stmt *stmt = prepare(db, sql);
    for (const Ham &h : hams) {
        const std::string *values[] = {&h.call,  &h.name,       &h.address, &h.postcode,
                                       &h.qth,   &h.grid,       &h.country, &h.phone,
                                       &h.email, &h.particulars};
        for (int i = 0; i < 10; ++i) {
            bindText(stmt, i + 1, *values[i]);
        }
        const QByteArray folded = storage::foldedCall(QString::fromStdString(h.call)).toUtf8();
        sqlite3_bind_text(stmt, 11, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(stmt), SQLITE_DONE, db, "insert qrz");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

void insertRounds(sqlite3 *db, const std::vector<Ham> &hams, int regulars, Generator &gen) {
    const storage::TableDef &table = storage::rondeTable();
    sqlite3_stmt *stmt = prepare(db, insertSql(table));
    const std::array clubCalls = {"PI4KB", "PI4VHF", "PI4ALK", "PI4RCG", "PA6JAM"};
    std::vector<std::string> texts(size_t(table.fields.size()));
    for (int r = 0; r < kRoundCount; ++r) {
        // One round a week, starting in 1990.
        const QDate date = QDate(1990, 1, 3).addDays(7 * r);
        texts[0] = gen.pick(clubCalls);
        // The date as the start dialog writes it.
        texts[1] = QLocale(QLocale::Dutch, QLocale::Netherlands)
                       .toString(date, QStringLiteral("dddd dd MMMM yyyy"))
                       .toStdString();
        texts[2] = hams[size_t(gen.below(kHamCount))].call;
        for (int row = 0; row < kRows; ++row) {
            const Ham &h = hams[size_t(gen.below(regulars))];
            texts[size_t(3 + 0 * kRows + row)] = h.call;
            texts[size_t(3 + 1 * kRows + row)] = h.name;
            texts[size_t(3 + 2 * kRows + row)] = h.qth;
            texts[size_t(3 + 3 * kRows + row)] = gen.time(20);
            texts[size_t(3 + 4 * kRows + row)] = gen.time(21);
        }
        for (qsizetype f = 0; f < table.fields.size(); ++f) {
            if (table.isCheck[size_t(f)]) {
                sqlite3_bind_int(stmt, int(f) + 1, gen.below(2));
            } else {
                bindText(stmt, int(f) + 1, texts[size_t(f)]);
            }
        }
        check(sqlite3_step(stmt), SQLITE_DONE, db, "insert ronde");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

}  // namespace

void fail(const QString &message) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
    std::exit(2);
}

std::vector<Ham> writeDatabase(const QString &databasePath, int regulars) {
    Generator gen(19530201);
    std::vector<Ham> hams = makeHams(gen);

    storage::StorageError error;
    auto database = storage::Database::open(databasePath, &error);
    if (!database) {
        fail(error.description);
    }
    // The database connection carries the collation the call index is built with.
    sqlite3 *db = database->handle();
    exec(db, "BEGIN");
    // The blank records a new file starts with would have been filled in long ago.
    exec(db, "DELETE FROM qrz; DELETE FROM ronde");
    insertHams(db, hams);
    insertRounds(db, hams, regulars, gen);
    exec(db, "COMMIT");
    // Closing the last connection checkpoints the log into the file.
    return hams;
}

QString makeDataFolder(const QString &root, const QString &name, std::vector<Ham> *hams,
                       int regulars) {
    if (!QDir(root).mkpath(name)) {
        fail(QStringLiteral("cannot make the folder %1").arg(name));
    }
    const QString folder = QDir(root).filePath(name);
    std::vector<Ham> written =
        writeDatabase(QDir(folder).filePath(QLatin1String(storage::Database::kFileName)), regulars);
    if (hams) {
        *hams = std::move(written);
    }
    return folder;
}

void writeStationSettings(const QString &folder, const QString &gridHome) {
    const storage::Settings settings(folder);
    if (!settings.writeBasis({QStringLiteral("PI4KB"), QStringLiteral("Utrecht"),
                              QStringLiteral("3.640"), QStringLiteral("MHz"), gridHome}) ||
        !settings.writeRondeTijd(QStringLiteral("60")) || !settings.writeStem(true) ||
        !settings.writeFlag(QStringLiteral("uit"))) {
        fail(QStringLiteral("cannot write the settings files"));
    }
}

}  // namespace benchdata
