// The data file the benchmarks work on: a ham list of 100,000 records and 10,000 stored rounds
// with every one of their 183 fields filled, generated from a fixed seed so that every run and
// every benchmark program sees the same records.

#pragma once

#include <QString>

#include <string>
#include <vector>

namespace benchdata {

constexpr int kHamCount = 100000;
constexpr int kRoundCount = 10000;
constexpr int kRows = 30;  // participants per round

// About one name in a hundred contains this; nothing else in the name field does.
constexpr const char *kRareSubstring = "qu";

struct Ham {
    std::string call, name, address, postcode, qth, grid, country, phone, email, particulars;
};

// Makes the database file at databasePath (which must not exist yet) with the program's own
// schema and fills it: the blank records a new file starts with are replaced by the ham list and
// the stored rounds, one a week from January 1990 on. The participants of the rounds are drawn
// from the first `regulars` hams of the list (all of them by default: about 95,000 different
// calls on the sheets). Returns the hams in the order of the list. Stops the program when
// anything fails.
std::vector<Ham> writeDatabase(const QString &databasePath, int regulars = kHamCount);

// Makes the folder `name` inside `root` and the database file in it (see writeDatabase); returns
// the folder. The hams go to *hams when asked for.
QString makeDataFolder(const QString &root, const QString &name, std::vector<Ham> *hams = nullptr,
                       int regulars = kHamCount);

// The settings files the main window reads when it starts: station fields with the club's
// locator, a planned round time, speech on, and no round being led.
void writeStationSettings(const QString &folder, const QString &gridHome);

// Stops the program with a message on stderr: the timings mean nothing without their data.
[[noreturn]] void fail(const QString &message);

}  // namespace benchdata
