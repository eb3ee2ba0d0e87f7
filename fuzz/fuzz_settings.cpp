// The settings files' readers and writers: Windows-1252 bytes decode and encode back to the same
// bytes, and lines written are read back as written, in Windows-1252 and, over a file read as
// UTF-8, in UTF-8. The number readers and the typed reader of each file take anything, and a
// printer name comes back as written.

#include "storage/Settings.h"
#include "timing/PlannedTime.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A folder in memory where there is one: every write is synced to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kringbaas-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kringbaas-fuzz-XXXXXX"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = storage::Settings::decodeText(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF") && storage::Settings::encodeWindows1252(text) != bytes) {
        std::abort();  // every byte is a character of Windows-1252
    }
    storage::Settings::leadingNumber(text);
    timing::roundedMinutes(text);

    // The same bytes as each of the eight files.
    const storage::Settings settings(dir.path());
    for (const char *name :
         {storage::Settings::kBasis, storage::Settings::kRondeTijd, storage::Settings::kStem,
          storage::Settings::kFlag, storage::Settings::kPrtcall, storage::Settings::kAdifModus,
          storage::Settings::kLive, storage::Settings::kPrinter}) {
        QFile file(settings.path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            std::abort();
        }
    }
    settings.readBasis();
    settings.readStem();
    settings.isFlagAan();
    settings.readPrtcall();
    settings.readAdifModus();
    settings.readPrinter();
    const storage::Settings::Live live = settings.readLive();
    if (live.port && *live.port <= 1024) {
        std::abort();  // never a reserved port
    }
    const std::optional<timing::PlannedTime> planned = settings.plannedTime();
    if ((planned ? planned->wholeMinutes : 0) != timing::roundedMinutes(settings.readRondeTijd())) {
        std::abort();  // one reader of the planned time
    }

    // A printer's name is one line of UTF-8; only white space at its ends is not kept.
    QString printer = text.left(200);
    if (!printer.isEmpty() && printer.back().isHighSurrogate()) {
        printer.chop(1);  // not half a character
    }
    if (!printer.contains(QLatin1Char('\r')) && !printer.contains(QLatin1Char('\n')) &&
        !printer.startsWith(QChar(0xFEFF))) {
        if (!settings.writePrinter(printer) || settings.readPrinter() != printer.trimmed()) {
            std::abort();
        }
    }

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
    if (!storage::Settings::writeLines(utf8Path, lines) ||
        storage::Settings::readLines(utf8Path, 5) != lines) {
        std::abort();
    }

    for (QString &line : lines) {
        // As Windows-1252 (a leading byte order mark counts only first in a file).
        line =
            storage::Settings::decodeText("A" + storage::Settings::encodeWindows1252(line)).mid(1);
    }
    // Written as Windows-1252, the three characters of a byte order mark first in the file would
    // make it read as UTF-8.
    if (!lines.isEmpty() && lines.first().startsWith(QStringLiteral("\u00EF\u00BB\u00BF"))) {
        return 0;
    }
    const QString path = QDir(dir.path()).filePath(QStringLiteral("basis"));
    if (!storage::Settings::writeLines(path, lines)) {
        std::abort();
    }
    if (storage::Settings::readLines(path, 5) != lines) {
        std::abort();
    }
    return 0;
}
