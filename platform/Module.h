#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

namespace platform {

// A part of the program that it loads only when first needed (printing, the live page), so that
// its libraries are not loaded while the program starts.
//
// Where the program looks for the module fileName: beside itself (a build), then in the library
// folder of an installation (installedRelative, relative to the folder of the program).
QStringList modulePaths(const QString &programFolder, const QString &installedRelative,
                        const QString &fileName);

// Loads into library the first module of paths that exists, loads and was built with the same
// interface version (its C function interfaceSymbol returns it). False when none does: *reason
// then says in Dutch, after the module's name, what is wrong ("ontbreekt", "kan niet worden
// geladen (…)").
bool loadModule(QLibrary &library, const QStringList &paths, const char *interfaceSymbol,
                int version, QString *reason);

}  // namespace platform
