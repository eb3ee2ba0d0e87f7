#pragma once

#include "live/Sharing.h"

#include <QLibrary>
#include <QStringList>

#include <memory>

namespace live {

// Makes the server of the live page from the module kringbaas-live, loaded when sharing is first
// switched on: the program does not load Qt's network and HTTP server libraries while it starts.
// The module stays loaded while this object lives; every server it made must go first.
class LoadedSharing {
public:
    // The version of this interface; the module must have been built with the same.
    static constexpr int kInterface = 2;

    explicit LoadedSharing(QStringList modulePaths) : modulePaths_(std::move(modulePaths)) {}

    // Where the program looks for the module: beside itself, then in the library folder of an
    // installation (installedRelative, relative to the folder of the program).
    static QStringList modulePathsFor(const QString &programFolder,
                                      const QString &installedRelative);

    // A new server; none when the module cannot be loaded (*error says why, in Dutch).
    std::unique_ptr<Sharing> make(QString *error);

private:
    QStringList modulePaths_;
    QLibrary module_;
};

}  // namespace live
