#include "stats/Attendance.h"

#include "storage/Database.h"
#include "storage/Records.h"
#include "storage/Schema.h"
#include "storage/Sql.h"

#include <algorithm>
#include <bit>

namespace stats {

RoundDates::RoundDates(const QLocale &locale) {
    const QLocale locales[2] = {locale, QLocale(QLocale::Dutch, QLocale::Netherlands)};
    for (int l = 0; l < 2; ++l) {
        for (int month = 1; month <= 12; ++month) {
            months_[l] << locales[l].monthName(month, QLocale::LongFormat).toLower();
        }
    }
}

// The last three words are the day, the month's name and the year; the weekday before them is
// not needed.
QDate RoundDates::dateOfText(const QString &dateText) const {
    const QStringList words = dateText.simplified().split(QLatin1Char(' '));
    if (words.size() < 3) {
        return {};
    }
    bool dayOk = false;
    bool yearOk = false;
    const int day = words[words.size() - 3].toInt(&dayOk);
    const int year = words[words.size() - 1].toInt(&yearOk);
    if (!dayOk || !yearOk) {
        return {};
    }
    const QString monthName = words[words.size() - 2].toLower();
    for (const QStringList &months : months_) {
        const qsizetype month = months.indexOf(monthName);
        if (month >= 0) {
            const QDate date(year, int(month) + 1, day);
            if (date.isValid()) {
                return date;
            }
        }
    }
    return {};
}

QDate RoundDates::dateOf(const QString &dateText, const QDateTime &begin) const {
    const QDate date = dateOfText(dateText);
    if (date.isValid()) {
        return date;
    }
    return begin.isValid() ? begin.toLocalTime().date() : QDate();
}

// ---------------------------------------------------------------------------------------------
// Making an attendance

namespace {

bool isAsciiBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The call as attendance counts it: without the blanks around it, in upper case. Calls are
// ASCII nearly always; those are folded here byte by byte, the rest as QString folds them.
void foldCall(std::string_view utf8, std::string *folded) {
    size_t begin = 0;
    size_t end = utf8.size();
    while (begin < end && isAsciiBlank(utf8[begin])) {
        ++begin;
    }
    while (end > begin && isAsciiBlank(utf8[end - 1])) {
        --end;
    }
    folded->assign(utf8.substr(begin, end - begin));
    for (char &c : *folded) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            *folded = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))
                          .trimmed()
                          .toUpper()
                          .toStdString();
            return;
        }
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
}

}  // namespace

void Attendance::Builder::addRound(int number, const QDate &date) {
    rounds_.push_back({number, date, 0});
    offsets_.push_back(int(ids_.size()));
}

void Attendance::Builder::addCall(std::string_view utf8) {
    if (rounds_.empty()) {
        return;
    }
    foldCall(utf8, &scratch_);
    if (scratch_.empty()) {
        return;
    }
    const int id = idOf(scratch_);
    // Once per round.
    for (size_t k = size_t(offsets_.back()); k < ids_.size(); ++k) {
        if (ids_[k] == id) {
            return;
        }
    }
    ids_.push_back(id);
}

namespace {

// FNV-1a: calls are a few bytes long, so a simple byte-wise hash is the fastest.
quint64 hashOf(std::string_view bytes) {
    quint64 hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

int Attendance::Builder::idOf(std::string_view folded) {
    if (slots_.size() < folded_.size() * 2 + 16) {
        // Grown to four times the calls, so that a probe mostly hits at once.
        slots_.assign(std::max<size_t>(64, std::bit_ceil(folded_.size() * 4 + 16)), 0);
        const size_t mask = slots_.size() - 1;
        for (size_t id = 0; id < folded_.size(); ++id) {
            size_t slot = size_t(hashes_[id]) & mask;
            while (slots_[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            slots_[slot] = int(id) + 1;
        }
    }
    const quint64 hash = hashOf(folded);
    const size_t mask = slots_.size() - 1;
    for (size_t slot = size_t(hash) & mask;; slot = (slot + 1) & mask) {
        const int held = slots_[slot];
        if (held == 0) {
            slots_[slot] = int(folded_.size()) + 1;
            break;
        }
        if (hashes_[size_t(held - 1)] == hash && folded_[size_t(held - 1)] == folded) {
            return held - 1;
        }
    }
    folded_.emplace_back(folded);
    hashes_.push_back(hash);
    return int(folded_.size()) - 1;
}

Attendance Attendance::Builder::finish() {
    Attendance made;
    offsets_.push_back(int(ids_.size()));
    for (size_t r = 0; r < rounds_.size(); ++r) {
        rounds_[r].participants = offsets_[r + 1] - offsets_[r];
    }
    made.rounds_ = std::move(rounds_);
    made.offsets_ = std::move(offsets_);
    made.ids_ = std::move(ids_);
    made.calls_.reserve(folded_.size());
    for (const std::string &call : folded_) {
        made.calls_.push_back(QString::fromUtf8(call.data(), qsizetype(call.size())));
    }
    *this = Builder();
    made.count();
    return made;
}

Attendance::Attendance(const std::vector<RoundCalls> &rounds) {
    Builder builder;
    for (const RoundCalls &round : rounds) {
        builder.addRound(round.number, round.date);
        for (const QString &call : round.calls) {
            const QByteArray utf8 = call.toUtf8();
            builder.addCall(std::string_view(utf8.constData(), size_t(utf8.size())));
        }
    }
    *this = builder.finish();
}

// ---------------------------------------------------------------------------------------------
// Counting

namespace {

// The first eight UTF-16 units of a call as two numbers that sort as the texts do; calls equal
// in these are told apart by the whole text.
struct CallKey {
    quint64 high = 0;
    quint64 low = 0;
    int id = 0;
};

quint64 packUnits(const QString &call, qsizetype from) {
    quint64 packed = 0;
    for (qsizetype i = from; i < from + 4; ++i) {
        packed = (packed << 16) | (i < call.size() ? call[i].unicode() : 0u);
    }
    return packed;
}

}  // namespace

void Attendance::count() {
    const size_t n = calls_.size();

    // The place of every call in the order of the texts.
    std::vector<CallKey> keys(n);
    for (size_t id = 0; id < n; ++id) {
        keys[id] = {packUnits(calls_[id], 0), packUnits(calls_[id], 4), int(id)};
    }
    std::sort(keys.begin(), keys.end(), [this](const CallKey &a, const CallKey &b) {
        if (a.high != b.high) {
            return a.high < b.high;
        }
        if (a.low != b.low) {
            return a.low < b.low;
        }
        return calls_[size_t(a.id)] < calls_[size_t(b.id)];
    });
    rank_.assign(n, 0);
    for (size_t place = 0; place < n; ++place) {
        rank_[size_t(keys[place].id)] = int(place);
    }

    // One pass over the rounds.
    std::vector<int> attended(n, 0);
    std::vector<int> first(n, -1);
    std::vector<int> last(n, -1);
    for (size_t r = 0; r < rounds_.size(); ++r) {
        for (int k = offsets_[r]; k < offsets_[r + 1]; ++k) {
            const size_t id = size_t(ids_[size_t(k)]);
            ++attended[id];
            if (first[id] < 0) {
                first[id] = int(r);
            }
            last[id] = int(r);
        }
    }

    // The most rounds first, then by call: the calls in their order, grouped by count.
    std::vector<int> order(n);
    for (size_t place = 0; place < n; ++place) {
        order[place] = keys[place].id;
    }
    std::stable_sort(order.begin(), order.end(), [&attended](int a, int b) {
        return attended[size_t(a)] > attended[size_t(b)];
    });
    hams_.clear();
    hams_.reserve(n);
    for (const int id : order) {
        const RoundDay &firstRound = rounds_[size_t(first[size_t(id)])];
        const RoundDay &lastRound = rounds_[size_t(last[size_t(id)])];
        hams_.push_back({calls_[size_t(id)], attended[size_t(id)], firstRound.number,
                         firstRound.date, lastRound.number, lastRound.date});
    }
}

std::vector<Regular> Attendance::regulars(const QDate &from, const QDate &to) const {
    std::vector<int> attended(calls_.size(), 0);
    std::vector<int> seen;
    for (size_t r = 0; r < rounds_.size(); ++r) {
        const QDate &date = rounds_[r].date;
        if (!date.isValid() || date < from || date > to) {
            continue;
        }
        for (int k = offsets_[r]; k < offsets_[r + 1]; ++k) {
            const int id = ids_[size_t(k)];
            if (attended[size_t(id)]++ == 0) {
                seen.push_back(id);
            }
        }
    }
    std::sort(seen.begin(), seen.end(), [this, &attended](int a, int b) {
        const int countA = attended[size_t(a)];
        const int countB = attended[size_t(b)];
        return countA != countB ? countA > countB : rank_[size_t(a)] < rank_[size_t(b)];
    });
    std::vector<Regular> ranked;
    ranked.reserve(seen.size());
    for (const int id : seen) {
        ranked.push_back({calls_[size_t(id)], attended[size_t(id)]});
    }
    return ranked;
}

// ---------------------------------------------------------------------------------------------
// Reading

bool readAttendance(const QString &databasePath, const QLocale &locale, Attendance *attendance,
                    QString *error) {
    storage::StorageError failure;
    std::unique_ptr<storage::Database> db = storage::Database::open(databasePath, &failure);
    if (!db) {
        *error = failure.description;
        return false;
    }
    // The date, the begin time and the 30 calls, named as the table names them.
    const storage::TableDef &table = storage::rondeTable();
    QString sql = QStringLiteral("SELECT \"%1\", \"%2\"")
                      .arg(table.fields[storage::rondeFieldIndex(storage::RoundField::Date)],
                           table.fields[storage::rondeBeginIndex()]);
    for (int row = 0; row < storage::Round::kRows; ++row) {
        sql += QStringLiteral(", \"%1\"")
                   .arg(table.fields[storage::rondeFieldIndex(storage::RowField::Call, row)]);
    }
    sql += QStringLiteral(" FROM \"%1\" ORDER BY id").arg(table.name);
    storage::Statement select(db->handle(), sql);
    if (!select.isValid()) {
        *error = QStringLiteral("De rondes zijn niet te lezen: %1").arg(db->lastMessage());
        return false;
    }
    const RoundDates dates(locale);
    Attendance::Builder builder;
    int number = 0;
    while (select.next()) {
        // The begin time lies at the end of a stored round: it is read only when needed.
        QDate date = dates.dateOfText(select.text(0));
        if (!date.isValid()) {
            date = dates.dateOf(QString(), storage::storedTime(select.text(1)));
        }
        builder.addRound(++number, date);
        for (int row = 0; row < storage::Round::kRows; ++row) {
            builder.addCall(select.utf8(2 + row));
        }
    }
    if (select.failure()) {
        *error = QStringLiteral("De rondes zijn niet te lezen: %1").arg(db->lastMessage());
        return false;
    }
    *attendance = builder.finish();
    return true;
}

}  // namespace stats
