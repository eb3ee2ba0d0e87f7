#include "live/LoadedSharing.h"

#include "platform/Module.h"

namespace live {

namespace {

constexpr char kModuleName[] = "kringbaas-live.so";

}  // namespace

QStringList LoadedSharing::modulePathsFor(const QString &programFolder,
                                          const QString &installedRelative) {
    return platform::modulePaths(programFolder, installedRelative,
                                 QString::fromLatin1(kModuleName));
}

std::unique_ptr<Sharing> LoadedSharing::make(QString *error) {
    using Make = Sharing *(*)();
    QString reason;
    if (module_.isLoaded() ||
        platform::loadModule(module_, modulePaths_, "kringbaas_live_interface", kInterface,
                             &reason)) {
        if (const auto make =
                reinterpret_cast<Make>(module_.resolve("kringbaas_make_live_server"))) {
            return std::unique_ptr<Sharing>(make());
        }
        reason = QStringLiteral("kan niet worden geladen (het maakt geen server)");
    }
    *error = QStringLiteral(
                 "De live lijst kan niet worden gedeeld: het onderdeel %1 van "
                 "Kringbaas %2.")
                 .arg(QString::fromLatin1(kModuleName), reason);
    return nullptr;
}

}  // namespace live
