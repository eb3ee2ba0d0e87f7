#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace stats {

// One stored round as attendance sees it: its number (position + 1), its day and the calls on
// its sheet (upper case, trimmed, each once).
struct RoundCalls {
    int number = 0;
    QDate date;  // invalid when the round's date cannot be read
    QStringList calls;
};

struct HamAttendance {
    QString call;
    int rounds = 0;  // rounds attended
    int firstRound = 0;
    QDate firstDate;
    int lastRound = 0;
    QDate lastDate;
};

struct Regular {
    QString call;
    int rounds = 0;
};

// The day of a round from its date text ("donderdag 10 december 2026", in the language the
// round was stored in: the given locale or Dutch), or else from its begin time.
class RoundDates {
public:
    explicit RoundDates(const QLocale &locale);
    QDate dateOf(const QString &dateText, const QDateTime &begin) const;

private:
    QStringList months_[2];  // lower case, per locale
};

class Attendance {
public:
    explicit Attendance(std::vector<RoundCalls> rounds);

    const std::vector<RoundCalls> &rounds() const { return rounds_; }
    // Per ham, the most rounds first, then by call.
    const std::vector<HamAttendance> &hams() const { return hams_; }
    // The hams that came to rounds between the two days (both included), the most rounds
    // first, then by call. Rounds without a day are not in any period.
    std::vector<Regular> regulars(const QDate &from, const QDate &to) const;

private:
    std::vector<RoundCalls> rounds_;
    std::vector<HamAttendance> hams_;
};

// Reads the stored rounds of the database file. False and *error (Dutch) when it cannot.
bool readRounds(const QString &databasePath, const QLocale &locale, std::vector<RoundCalls> *rounds,
                QString *error);

}  // namespace stats
