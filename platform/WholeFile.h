#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Writes a file whole or not at all: the bytes go to a temporary file beside it, which replaces
// the old file only once every byte reached the file system. On false the old file (if any) is
// untouched, no temporary file is left, and *reason (when given) says in Dutch why, for a
// message such as "<path> kan niet worden geschreven: <reason>.".
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

}  // namespace platform
