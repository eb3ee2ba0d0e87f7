#pragma once

#include "storage/Database.h"
#include "storage/Records.h"
#include "storage/Sql.h"

#include <QString>

#include <memory>
#include <optional>

namespace storage {

// A ham found by call, with the bookmark of its record.
struct FoundHam {
    Bookmark bookmark = kNoBookmark;
    Ham ham;
};

// Looks hams up by call: the first record of the ham list, in table order, whose call equals
// the given one without regard to letter case. One query through the call index; the call is
// a bound value, never part of the query text. The connection is opened at the first look-up.
class HamLookup {
public:
    explicit HamLookup(QString databasePath);
    ~HamLookup();
    HamLookup(const HamLookup &) = delete;
    HamLookup &operator=(const HamLookup &) = delete;

    // Nothing when the call is not in the list or the list cannot be read.
    std::optional<FoundHam> find(const QString &call);

    // Looks up through a connection to the same file that is open already (a window's table),
    // which saves opening one of its own; nullptr goes back to its own. Whoever lends it calls
    // this again with nullptr before the connection is closed.
    void useConnection(sqlite3 *connection);

    const StorageError &lastError() const { return error_; }

private:
    bool prepare();

    QString path_;
    sqlite3 *handle() const;
    StorageError failure() const;

    std::unique_ptr<Database> db_;
    sqlite3 *borrowed_ = nullptr;
    Statement stmt_;
    StorageError error_;
};

}  // namespace storage
