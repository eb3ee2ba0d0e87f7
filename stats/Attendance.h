#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace stats {

// One stored round given as texts: its number (position + 1), its day and the calls on its sheet.
struct RoundCalls {
    int number = 0;
    QDate date;  // invalid when the round's date cannot be read
    QStringList calls;
};

// A round as attendance keeps it: its number, its day and how many hams it had.
struct RoundDay {
    int number = 0;
    QDate date;  // invalid when the round's date cannot be read
    int participants = 0;
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
    // The day the text names; invalid when it names none.
    QDate dateOfText(const QString &dateText) const;

private:
    QStringList months_[2];  // lower case, per locale
};

// Who came to which round. A call counts as the same ham whatever its blanks before and after
// and its case; it counts once per round. The calls are kept once each, as numbers in the
// order they were first seen, so that counting over ten thousand rounds is a pass over integers.
class Attendance {
public:
    Attendance() = default;
    explicit Attendance(const std::vector<RoundCalls> &rounds);

    const std::vector<RoundDay> &rounds() const { return rounds_; }
    // Per ham, the most rounds first, then by call.
    const std::vector<HamAttendance> &hams() const { return hams_; }
    // The hams that came to rounds between the two days (both included), the most rounds
    // first, then by call. Rounds without a day are not in any period.
    std::vector<Regular> regulars(const QDate &from, const QDate &to) const;

    // Makes an attendance one round at a time, from the calls as they are stored.
    class Builder {
    public:
        void addRound(int number, const QDate &date);
        // A call of the last round added, as UTF-8; blank ones are left out.
        void addCall(std::string_view utf8);
        Attendance finish();

    private:
        int idOf(std::string_view folded);

        std::vector<RoundDay> rounds_;
        std::vector<int> offsets_;  // where each round's calls start in ids_
        std::vector<int> ids_;
        std::vector<std::string> folded_;  // per id, the call in UTF-8
        // Open addressing over the ids by the hash of their call: a slot holds the id + 1.
        std::vector<quint64> hashes_;  // per id
        std::vector<int> slots_;
        std::string scratch_;
    };

private:
    void count();
    bool callBefore(int a, int b) const;

    std::vector<RoundDay> rounds_;
    std::vector<int> offsets_;  // rounds_[i]'s calls are ids_[offsets_[i] .. offsets_[i + 1])
    std::vector<int> ids_;
    std::vector<QString> calls_;  // per id
    std::vector<int> rank_;       // per id: its place when all calls are sorted
    std::vector<HamAttendance> hams_;
};

// Reads the attendance of the stored rounds of the database file: only the columns of the
// date and the calls, and a round's begin time only when its date text names no day. False and
// *error (Dutch) when it cannot.
bool readAttendance(const QString &databasePath, const QLocale &locale, Attendance *attendance,
                    QString *error);

}  // namespace stats
