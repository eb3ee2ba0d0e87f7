#pragma once

#include <QString>

#include <functional>

namespace startup {

// Whether the program can make and remove a file in the folder (tried, not guessed from the
// permission bits).
bool canWriteIn(const QString &folder);

// The folder of the database and the settings files: the program's own folder while the program
// can write there, as a copy in a folder of its own always could; otherwise (an installed
// program) the user's data folder, ~/.local/share/Kringbaas.
QString chooseDataFolder(const QString &programFolder, const QString &userFolder,
                         const std::function<bool(const QString &)> &writable = canWriteIn);

// ~/.local/share/Kringbaas, or what XDG_DATA_HOME makes of it.
QString userDataFolder();

// Makes the folder when it is missing; false when it cannot be made or written in.
bool prepareFolder(const QString &folder);

}  // namespace startup
