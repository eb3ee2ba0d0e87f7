// The settings files' readers and writers: Windows-1252 bytes decode and encode back to the same
// bytes, and lines written are read back as written, in Windows-1252 and, over a file read as
// UTF-8, in UTF-8. The number readers take anything.

#include "storage/SettingsFiles.h"
#include "timing/PlannedTime.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A folder in memory where there is one: every write is synced to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kringbaas-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kringbaas-fuzz-XXXXXX"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = storage::SettingsFiles::decodeText(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF") &&
        storage::SettingsFiles::encodeWindows1252(text) != bytes) {
        std::abort();  // every byte is a character of Windows-1252
    }
    storage::SettingsFiles::leadingNumber(text);
    timing::roundedMinutes(text);

    // Up to five lines, written and read back through a real file.
    QStringList lines = text.split(QLatin1Char('\n')).mid(0, 5);
    for (QString &line : lines) {
        line.remove(QLatin1Char('\r'));
    }

    // Over a file that reads as UTF-8 every character comes back.
    const QString utf8Path = QDir(dir.path()).filePath(QStringLiteral("basis-utf8"));
    QFile marked(utf8Path);
    if (!marked.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        marked.write("\xEF\xBB\xBF\r\n") != 5) {
        std::abort();
    }
    marked.close();
    if (!storage::SettingsFiles::writeLines(utf8Path, lines) ||
        storage::SettingsFiles::readLines(utf8Path, 5) != lines) {
        std::abort();
    }

    for (QString &line : lines) {
        // As Windows-1252 (a leading byte order mark counts only first in a file).
        line = storage::SettingsFiles::decodeText("A" +
                                                  storage::SettingsFiles::encodeWindows1252(line))
                   .mid(1);
    }
    // Written as Windows-1252, the three characters of a byte order mark first in the file would
    // make it read as UTF-8.
    if (!lines.isEmpty() && lines.first().startsWith(QStringLiteral("\u00EF\u00BB\u00BF"))) {
        return 0;
    }
    const QString path = QDir(dir.path()).filePath(QStringLiteral("basis"));
    if (!storage::SettingsFiles::writeLines(path, lines)) {
        std::abort();
    }
    if (storage::SettingsFiles::readLines(path, 5) != lines) {
        std::abort();
    }
    return 0;
}
