// Timings of the record control on a data file of realistic size: a ham list of 100,000 records
// and 10,000 stored rounds with every one of their 183 fields filled. The windows' controls are
// bound as the windows bind them (the ham list window: nine line edits and a plain text edit for
// the remarks; the round sheet: a line edit per text field and a check box per listening mark),
// so every move includes the load into the controls. Widgets are never shown.
//
// Run headless:
//   QT_QPA_PLATFORM=offscreen bench_storage --benchmark_min_time=0.2

#include "storage/Database.h"
#include "storage/RecordControl.h"
#include "storage/Schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kHamCount = 100000;
constexpr int kRoundCount = 10000;
constexpr int kRows = 30;  // participants per round

// The ham whose call the exact find looks for (0-based position in the list), and a neighbour
// so that consecutive finds really change the record shown.
constexpr int kExactTarget = 99990;
constexpr int kExactNeighbour = 99980;

// About one name in a hundred contains this; nothing else in the naam field does.
constexpr const char *kRareSubstring = "qu";

// ---------------------------------------------------------------------------------------------
// Test data

const std::array kFirstNames = {
    "JAN",     "PIET",   "KEES", "HENK",   "WILLEM", "JOHAN",   "GERRIT", "HANS",    "PETER",
    "MARCEL",  "ROB",    "ERIK", "FRANK",  "TON",    "BERT",    "ANNEKE", "MARIEKE", "INGE",
    "SANDER",  "DAAN",   "BAS",  "RUUD",   "HUUB",   "THEO",    "JOOP",   "WIM",     "KLAAS",
    "SJOERD",  "HARM",   "DIRK", "GERARD", "LEO",    "NICO",    "ARIE",   "COR",     "JEROEN",
    "MARTIJN", "STEFAN", "FRED", "ANTON",  "EVERT",  "HENNY",   "RIA",    "TRUUS",   "ELS",
    "RENÉ",    "ANDRÉ",  "JOS",  "HARRY",  "MARTIN", "RICHARD", "GEERT",  "WOUTER",  "TJEERD",
    "FOKKE",   "AAD",    "BEN",  "HERMAN", "JAAP",   "ROEL",    "MENNO",  "SIETSE",  "LIESBETH",
};
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

struct Ham {
    std::string call, naam, adres, postcode, qth, grid, land, telefoon, email, byzonderheden;
};

std::vector<Ham> makeHams(Generator &gen) {
    std::vector<Ham> hams(kHamCount);
    for (Ham &h : hams) {
        h.call = gen.uniqueCall();
        const bool belgian = h.call.starts_with("ON");
        h.naam = gen.below(100) == 0 ? gen.pick(kRareNames) : gen.pick(kFirstNames);
        h.adres = std::string(gen.pick(kStreets)) + ' ' + std::to_string(1 + gen.below(250));
        if (gen.below(8) == 0) {
            h.adres += char('a' + gen.below(4));
        }
        h.postcode = belgian ? std::to_string(1000 + gen.below(9000)) : gen.postcode();
        h.qth = belgian ? gen.pick(kTowns) : kTowns[size_t(gen.below(int(kTowns.size()) - 4))];
        h.grid = gen.grid();
        h.land = belgian ? "BELGIE" : "NEDERLAND";
        h.telefoon =
            gen.below(2) == 0 ? "06-" + gen.number(8) : "0" + gen.number(2) + '-' + gen.number(7);
        std::string lower = h.call;
        for (char &c : lower) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        h.email = lower + (gen.below(3) == 0 ? "@amsat.org" : "@veron.nl");
        h.byzonderheden = gen.pick(kRemarks);
    }
    return hams;
}

// Fails the whole run: the timings mean nothing without their data.
void check(int rc, int expected, sqlite3 *db, const char *what) {
    if (rc != expected) {
        std::fprintf(stderr, "bench_storage: %s failed: %s\n", what, sqlite3_errmsg(db));
        std::exit(2);
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

void insertHams(sqlite3 *db, const std::vector<Ham> &hams) {
    sqlite3_stmt *stmt = prepare(db, insertSql(storage::qrzTable()));
    for (const Ham &h : hams) {
        const std::string *values[] = {&h.call,  &h.naam,         &h.adres, &h.postcode,
                                       &h.qth,   &h.grid,         &h.land,  &h.telefoon,
                                       &h.email, &h.byzonderheden};
        for (int i = 0; i < 10; ++i) {
            bindText(stmt, i + 1, *values[i]);
        }
        check(sqlite3_step(stmt), SQLITE_DONE, db, "insert qrz");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

void insertRounds(sqlite3 *db, const std::vector<Ham> &hams, Generator &gen) {
    const storage::TableDef &table = storage::rondeTable();
    sqlite3_stmt *stmt = prepare(db, insertSql(table));
    const std::array clubCalls = {"PI4KB", "PI4VHF", "PI4ALK", "PI4RCG", "PA6JAM"};
    std::vector<std::string> texts(size_t(table.fields.size()));
    for (int r = 0; r < kRoundCount; ++r) {
        // One round a week, starting in 1990.
        const QDate date = QDate(1990, 1, 3).addDays(7 * r);
        texts[0] = gen.pick(clubCalls);
        texts[1] = date.toString(QStringLiteral("dd-MM-yyyy")).toStdString();
        texts[2] = hams[size_t(gen.below(kHamCount))].call;
        for (int row = 0; row < kRows; ++row) {
            const Ham &h = hams[size_t(gen.below(kHamCount))];
            texts[size_t(3 + 0 * kRows + row)] = h.call;
            texts[size_t(3 + 1 * kRows + row)] = h.naam;
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

// The data folder with its database file, made once per process.
struct Fixture {
    QTemporaryDir dir;
    QString readPath;           // shared by the benchmarks that do not write
    QString writePath;          // a copy for the benchmarks that add records
    std::string exactCall;      // the call of record kExactTarget, in lower case
    std::string neighbourCall;  // of record kExactNeighbour, in lower case
    int rareNames = 0;          // records whose naam contains kRareSubstring

    Fixture() {
        if (!dir.isValid()) {
            std::fprintf(stderr, "bench_storage: no temporary folder\n");
            std::exit(2);
        }
        QElapsedTimer timer;
        timer.start();
        QDir(dir.path()).mkdir(QStringLiteral("read"));
        QDir(dir.path()).mkdir(QStringLiteral("write"));
        readPath =
            dir.filePath(QStringLiteral("read/") + QLatin1String(storage::Database::kFileName));
        writePath =
            dir.filePath(QStringLiteral("write/") + QLatin1String(storage::Database::kFileName));

        Generator gen(19530201);
        const std::vector<Ham> hams = makeHams(gen);
        for (const Ham &h : hams) {
            rareNames += QString::fromStdString(h.naam).contains(QLatin1String(kRareSubstring),
                                                                 Qt::CaseInsensitive);
        }
        exactCall = QString::fromStdString(hams[kExactTarget].call).toLower().toStdString();
        neighbourCall = QString::fromStdString(hams[kExactNeighbour].call).toLower().toStdString();

        {
            storage::StorageError error;
            auto database = storage::Database::open(readPath, &error);
            if (!database) {
                std::fprintf(stderr, "bench_storage: %s\n", qPrintable(error.description));
                std::exit(2);
            }
            // The database connection carries the collation the call index is built with.
            sqlite3 *db = database->handle();
            exec(db, "BEGIN");
            // The blank records a new file starts with would have been filled in long ago.
            exec(db, "DELETE FROM qrz; DELETE FROM ronde");
            insertHams(db, hams);
            insertRounds(db, hams, gen);
            exec(db, "COMMIT");
        }  // closing the last connection checkpoints the log into the file
        if (!QFile::copy(readPath, writePath)) {
            std::fprintf(stderr, "bench_storage: cannot copy the database\n");
            std::exit(2);
        }
        std::fprintf(
            stderr, "bench_storage: data folder %s: %d hams, %d rounds, %.1f MB, made in %lld ms\n",
            qPrintable(dir.path()), kHamCount, kRoundCount,
            double(QFileInfo(readPath).size()) / 1e6, qint64(timer.elapsed()));
    }
};

const Fixture &fixture() {
    static const Fixture f;
    return f;
}

// ---------------------------------------------------------------------------------------------
// Windows as the program binds them

// The ham list window's data part: nine line edits and the remarks in a plain text edit.
struct HamWindow {
    QWidget window;
    storage::RecordControl *data = nullptr;
    std::vector<QLineEdit *> edits;

    explicit HamWindow(const QString &databasePath) {
        data = new storage::RecordControl(&window);
        data->setDatabaseName(databasePath);
        data->setRecordSource(QStringLiteral("qrz"));
        for (const QString &field : storage::qrzTable().fields) {
            if (field == QLatin1String("byzonderheden")) {
                data->bind(new QPlainTextEdit(&window), field);
            } else {
                auto *edit = new QLineEdit(&window);
                edits.push_back(edit);
                data->bind(edit, field);
            }
        }
    }
};

// The round sheet: a line edit per text field, a check box per listening mark.
struct RoundWindow {
    QWidget window;
    storage::RecordControl *data = nullptr;
    std::vector<QLineEdit *> edits;

    explicit RoundWindow(const QString &databasePath) {
        data = new storage::RecordControl(&window);
        data->setDatabaseName(databasePath);
        data->setRecordSource(QStringLiteral("ronde"));
        const storage::TableDef &table = storage::rondeTable();
        for (qsizetype f = 0; f < table.fields.size(); ++f) {
            if (table.isCheck[size_t(f)]) {
                data->bind(new QCheckBox(&window), table.fields[f]);
            } else {
                auto *edit = new QLineEdit(&window);
                edits.push_back(edit);
                data->bind(edit, table.fields[f]);
            }
        }
    }
};

bool openOrSkip(benchmark::State &state, storage::RecordControl &data) {
    if (!data.open()) {
        state.SkipWithError(qPrintable(data.lastError().description));
        return false;
    }
    return true;
}

void skip(benchmark::State &state, const storage::RecordControl &data, const char *what) {
    const QString message =
        QStringLiteral("%1: %2").arg(QLatin1String(what), data.lastError().description);
    state.SkipWithError(qPrintable(message));
}

// ---------------------------------------------------------------------------------------------
// Benchmarks

// The window's load and unload: the table is opened, the first record loaded, then closed.
template <typename Window>
void openClose(benchmark::State &state) {
    Window w(fixture().readPath);
    double openSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!w.data->open()) {
            skip(state, *w.data, "open");
            break;
        }
        openSeconds += double(timer.nsecsElapsed()) / 1e9;
        if (!w.data->close()) {
            skip(state, *w.data, "close");
            break;
        }
    }
    // The open alone, in ms per iteration.
    state.counters["open_ms"] =
        benchmark::Counter(openSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void BM_OpenCloseQrz(benchmark::State &state) {
    openClose<HamWindow>(state);
}

void BM_OpenCloseRonde(benchmark::State &state) {
    openClose<RoundWindow>(state);
}

// The main window looks a call up as it is typed: in lower case, near the end of the list.
void BM_FindFirstExactCall(benchmark::State &state) {
    const Fixture &f = fixture();
    HamWindow w(f.readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    const QString criteria[] = {
        QStringLiteral("call ='%1'").arg(QString::fromStdString(f.exactCall)),
        QStringLiteral("call ='%1'").arg(QString::fromStdString(f.neighbourCall)),
    };
    const int expected[] = {kExactTarget, kExactNeighbour};
    int turn = 0;
    for (auto _ : state) {
        if (!w.data->Recordset().FindFirst(criteria[turn])) {
            skip(state, *w.data, "FindFirst");
            break;
        }
        if (w.data->Recordset().NoMatch() ||
            w.data->Recordset().AbsolutePosition() != expected[turn]) {
            state.SkipWithError("FindFirst found the wrong record");
            break;
        }
        turn ^= 1;
    }
    w.data->close();
}

// Every hit of a search on part of a name in turn, until there is none left.
void walkContains(benchmark::State &state, storage::RecordControl &data) {
    const QString criterion = QStringLiteral("naam LIKE'*%1*'").arg(QLatin1String(kRareSubstring));
    storage::Recordset &rs = data.Recordset();
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        bool ok = rs.FindFirst(criterion);
        while (ok && !rs.NoMatch()) {
            ++hits;
            ok = rs.FindNext(criterion);
        }
        if (!ok) {
            skip(state, data, "FindFirst/FindNext");
            break;
        }
    }
    if (hits != fixture().rareNames && !state.error_occurred()) {
        state.SkipWithError(
            qPrintable(QStringLiteral("%1 hits, %2 expected").arg(hits).arg(fixture().rareNames)));
    }
    state.counters["hits"] = hits;
}

void BM_FindContainsWalk(benchmark::State &state) {
    HamWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    walkContains(state, *w.data);
    w.data->close();
}

// The same walk with no control bound: what the table side costs without the loads.
void BM_FindContainsWalkUnbound(benchmark::State &state) {
    storage::RecordControl data;
    data.setDatabaseName(fixture().readPath);
    data.setRecordSource(QStringLiteral("qrz"));
    if (!openOrSkip(state, data)) {
        return;
    }
    walkContains(state, data);
    data.close();
}

// Leafing through the stored rounds, each with its 183 fields loaded into the sheet.
void BM_MoveNextRonde(benchmark::State &state) {
    RoundWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    const int last = rs.RecordCount() - 1;
    for (auto _ : state) {
        if (rs.AbsolutePosition() == last) {
            state.PauseTiming();
            rs.MoveFirst();
            state.ResumeTiming();
        }
        if (!rs.MoveNext() || rs.state() != storage::CursorState::OnRecord) {
            skip(state, *w.data, "MoveNext");
            break;
        }
    }
    w.data->close();
}

// A jump to a position in the middle of the ham list (as the list window's scroll bar does).
void BM_SetAbsolutePositionQrz(benchmark::State &state) {
    HamWindow w(fixture().readPath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    const int middle = rs.RecordCount() / 2;
    int turn = 0;
    for (auto _ : state) {
        if (!rs.setAbsolutePosition(middle + turn)) {
            skip(state, *w.data, "setAbsolutePosition");
            break;
        }
        turn ^= 1;
    }
    w.data->close();
}

qint64 storedBytes(const QString &databasePath) {
    return QFileInfo(databasePath).size() + QFileInfo(databasePath + QStringLiteral("-wal")).size();
}

// A new round begun, one call typed into it, and stored by moving to the last record.
void BM_AddNewSaveRonde(benchmark::State &state) {
    const Fixture &f = fixture();
    RoundWindow w(f.writePath);
    if (!openOrSkip(state, *w.data)) {
        return;
    }
    storage::Recordset &rs = w.data->Recordset();
    QLineEdit *firstCall = w.edits[3];  // call1, after rondecall, datum and kringbaas
    const int countBefore = rs.RecordCount();
    const qint64 bytesBefore = storedBytes(f.writePath);
    for (auto _ : state) {
        if (!rs.AddNew()) {
            skip(state, *w.data, "AddNew");
            break;
        }
        firstCall->setText(QStringLiteral("PA3ABC"));
        if (!rs.MoveLast()) {
            skip(state, *w.data, "MoveLast");
            break;
        }
    }
    const int added = rs.RecordCount() - countBefore;
    if (added != int(state.iterations()) && !state.error_occurred()) {
        state.SkipWithError("not every new round was stored");
    }
    w.data->close();
    // Data file and its log together; the log is reused after a checkpoint, so this is a rough
    // figure per stored round.
    state.counters["bytes_per_new"] =
        added > 0 ? double(storedBytes(f.writePath) - bytesBefore) / added : 0.0;
}

void configure(benchmark::internal::Benchmark *b, benchmark::TimeUnit unit) {
    b->Unit(unit)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
}

void inMilliseconds(benchmark::internal::Benchmark *b) {
    configure(b, benchmark::kMillisecond);
}

void inMicroseconds(benchmark::internal::Benchmark *b) {
    configure(b, benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_OpenCloseQrz)->Apply(inMilliseconds);
BENCHMARK(BM_OpenCloseRonde)->Apply(inMilliseconds);
BENCHMARK(BM_FindFirstExactCall)->Apply(inMicroseconds);
BENCHMARK(BM_FindContainsWalk)->Apply(inMilliseconds);
BENCHMARK(BM_FindContainsWalkUnbound)->Apply(inMilliseconds);
BENCHMARK(BM_MoveNextRonde)->Apply(inMicroseconds);
BENCHMARK(BM_SetAbsolutePositionQrz)->Apply(inMicroseconds);
BENCHMARK(BM_AddNewSaveRonde)->Apply(inMilliseconds);

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
