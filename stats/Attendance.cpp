#include "stats/Attendance.h"

#include "storage/Database.h"
#include "storage/Records.h"
#include "storage/Schema.h"
#include "storage/Sql.h"

#include <QHash>

#include <algorithm>

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
QDate RoundDates::dateOf(const QString &dateText, const QDateTime &begin) const {
    const QStringList words = dateText.simplified().split(QLatin1Char(' '));
    if (words.size() >= 3) {
        bool dayOk = false;
        bool yearOk = false;
        const int day = words[words.size() - 3].toInt(&dayOk);
        const int year = words[words.size() - 1].toInt(&yearOk);
        const QString monthName = words[words.size() - 2].toLower();
        for (const QStringList &months : months_) {
            const qsizetype month = months.indexOf(monthName);
            if (dayOk && yearOk && month >= 0) {
                const QDate date(year, int(month) + 1, day);
                if (date.isValid()) {
                    return date;
                }
            }
        }
    }
    return begin.isValid() ? begin.toLocalTime().date() : QDate();
}

Attendance::Attendance(std::vector<RoundCalls> rounds) : rounds_(std::move(rounds)) {
    QHash<QString, size_t> index;
    index.reserve(qsizetype(rounds_.size()) * 4);
    hams_.reserve(rounds_.size() * 4);
    for (const RoundCalls &round : rounds_) {
        for (const QString &call : round.calls) {
            auto it = index.find(call);
            if (it == index.end()) {
                it = index.insert(call, hams_.size());
                HamAttendance ham;
                ham.call = call;
                ham.firstRound = round.number;
                ham.firstDate = round.date;
                hams_.push_back(ham);
            }
            HamAttendance &ham = hams_[*it];
            ++ham.rounds;
            ham.lastRound = round.number;
            ham.lastDate = round.date;
        }
    }
    std::sort(hams_.begin(), hams_.end(), [](const HamAttendance &a, const HamAttendance &b) {
        return a.rounds != b.rounds ? a.rounds > b.rounds : a.call < b.call;
    });
}

std::vector<Regular> Attendance::regulars(const QDate &from, const QDate &to) const {
    QHash<QString, int> counts;
    for (const RoundCalls &round : rounds_) {
        if (round.date.isValid() && round.date >= from && round.date <= to) {
            for (const QString &call : round.calls) {
                ++counts[call];
            }
        }
    }
    std::vector<Regular> ranked;
    ranked.reserve(size_t(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        ranked.push_back({it.key(), it.value()});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Regular &a, const Regular &b) {
        return a.rounds != b.rounds ? a.rounds > b.rounds : a.call < b.call;
    });
    return ranked;
}

bool readRounds(const QString &databasePath, const QLocale &locale, std::vector<RoundCalls> *rounds,
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
    rounds->clear();
    while (select.next()) {
        RoundCalls round;
        round.number = int(rounds->size()) + 1;
        round.date = dates.dateOf(select.text(0), storage::storedTime(select.text(1)));
        for (int row = 0; row < storage::Round::kRows; ++row) {
            const QString call = select.text(2 + row).trimmed().toUpper();
            if (!call.isEmpty() && !round.calls.contains(call)) {
                round.calls << call;
            }
        }
        rounds->push_back(std::move(round));
    }
    if (select.failure()) {
        *error = QStringLiteral("De rondes zijn niet te lezen: %1").arg(db->lastMessage());
        return false;
    }
    return true;
}

}  // namespace stats
