#include "storage/Settings.h"

#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace storage {

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes Windows leaves undefined (81, 8D, 8F, 90, 9D)
// stand for the C1 control of the same value, as Windows itself decodes them, so that every
// byte survives a read and a write unchanged.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

bool isSpaceOrTab(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off sequence.
bool isValidUtf8(const QByteArray &bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned char lo = 0x80;  // allowed range of the second byte
        unsigned char hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            if (b == 0xE0)
                lo = 0xA0;  // overlong
            else if (b == 0xED)
                hi = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            if (b == 0xF0)
                lo = 0x90;  // overlong
            else if (b == 0xF4)
                hi = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if (!isContinuation(p[i + k]))
                return false;
        }
        i += extra + 1;
    }
    return true;
}

QString decodeWindows1252(const QByteArray &bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

char encodeChar(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// The bytes of a settings file, or none when it is missing or no plain file: a FIFO would wait
// for a writer forever, a device (a link to /dev/zero) never ends, a folder holds no text. A
// link is followed when it ends at a plain file. The kind is asked of the file opened, so that
// nothing can be put in its place between the look and the read; the open does not wait, and
// a file larger than anything the program writes counts as missing too.
QByteArray fileBytes(const QString &path) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    // Looked at first without opening: opening some devices already does something.
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    QByteArray bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= Settings::kMaxBytes) {
        char chunk[16384];
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                bytes.clear();  // a file that cannot be read counts as missing
                break;
            }
            if (got == 0) {
                break;
            }
            bytes.append(chunk, got);
            if (bytes.size() > Settings::kMaxBytes) {
                bytes.clear();  // grown past the limit since the look
                break;
            }
        }
    }
    ::close(fd);
    return bytes;
#else
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > Settings::kMaxBytes || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.read(Settings::kMaxBytes + 1);
    return bytes.size() > Settings::kMaxBytes ? QByteArray() : bytes;
#endif
}

// A writer follows a link to a plain file, as the readers do, and writes that file. A link to
// anything else (a FIFO, a device) counts as a missing file, so the link itself gives way to
// the plain file written: the rename would otherwise land beside the device the link names.
void dropLinkToOddFile(const QString &path) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        ::unlink(name.constData());
    }
#else
    Q_UNUSED(path);
#endif
}

}  // namespace

Settings::Settings(QString folder) : folder_(std::move(folder)) {}

QString Settings::path(const char *name) const {
    return QDir(folder_).filePath(QString::fromLatin1(name));
}

// --- the files ---

Settings::Basis Settings::readBasis() const {
    const QStringList lines = readLines(path(kBasis), 5);
    Basis basis;
    basis.clubCall = lines.value(0);
    basis.location = lines.value(1);
    basis.frequency = lines.value(2);
    basis.unit = lines.value(3);
    basis.gridHome = lines.value(4);
    return basis;
}

bool Settings::writeBasis(const Basis &basis) const {
    return writeLines(path(kBasis), {basis.clubCall, basis.location, basis.frequency, basis.unit,
                                     basis.gridHome});
}

QString Settings::readRondeTijd() const {
    return line(kRondeTijd, 0);
}

bool Settings::writeRondeTijd(const QString &text) const {
    return writeOne(kRondeTijd, text);
}

std::optional<timing::PlannedTime> Settings::plannedTime() const {
    return timing::PlannedTime::read(readRondeTijd());
}

bool Settings::readStem() const {
    return leadingNumber(line(kStem, 0)) != 0.0;
}

bool Settings::writeStem(bool ticked) const {
    return writeOne(kStem, ticked ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Settings::readFlag() const {
    return line(kFlag, 0);
}

bool Settings::isFlagAan() const {
    return readFlag() == u"aan";
}

bool Settings::writeFlag(const QString &word) const {
    return writeOne(kFlag, word);
}

bool Settings::readPrtcall() const {
    return line(kPrtcall, 0) == u"1";
}

bool Settings::writePrtcall(bool on) const {
    return writeOne(kPrtcall, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Settings::readAdifModus() const {
    return line(kAdifModus, 0).trimmed();
}

bool Settings::writeAdifModus(const QString &mode) const {
    return writeOne(kAdifModus, mode);
}

Settings::Live Settings::readLive() const {
    const QStringList lines = readLines(path(kLive), 3);
    Live live;
    bool ok = false;
    const uint port = lines.value(0).trimmed().toUInt(&ok);
    if (ok && port > 1024 && port <= 65535) {
        live.port = quint16(port);
    }
    live.keepOn = lines.value(1) == u"1";
    live.openToAll = lines.value(2) == u"1";
    return live;
}

bool Settings::writeLive(const Live &live) const {
    QStringList lines = {live.port ? QString::number(*live.port) : QString(),
                         live.keepOn ? QStringLiteral("1") : QStringLiteral("0")};
    // The third line only when it says something: a file without it reads as before.
    if (live.openToAll) {
        lines << QStringLiteral("1");
    }
    return writeLines(path(kLive), lines);
}

QString Settings::readPrinter() const {
    // A CR LF written by hand ends the line as LF does (the CR goes with the trimming).
    const QByteArray bytes = fileBytes(path(kPrinter));
    const qsizetype end = bytes.indexOf('\n');
    return QString::fromUtf8(end < 0 ? bytes : bytes.first(end)).trimmed();
}

bool Settings::writePrinter(const QString &name, QString *reason) const {
    dropLinkToOddFile(path(kPrinter));
    return platform::writeWholeFile(path(kPrinter), name.toUtf8() + '\n', reason);
}

QString Settings::line(const char *name, int index) const {
    return readLines(path(name), index + 1).value(index);
}

bool Settings::writeOne(const char *name, const QString &value) const {
    return writeLines(path(name), {value});
}

// --- the format ---

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// The first maxLines lines of a file's bytes, joined by LF. Line ends are plain ASCII in both
// encodings, so the lines are cut out of the bytes first; whatever follows the last wanted line
// is not even decoded.
QByteArray firstLines(const QByteArray &bytes, int maxLines, int *count) {
    QList<QByteArray> raw;
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n && raw.size() < maxLines) {
        qsizetype end = pos;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        raw.append(bytes.mid(pos, end - pos));
        if (end < n && bytes[end] == '\r')
            ++end;
        if (end < n && bytes[end] == '\n')
            ++end;  // LF alone, or the LF of CR LF
        pos = end;
    }
    *count = int(raw.size());
    return raw.join('\n');
}

// As decodeText() decides: UTF-8 only after a byte order mark and when valid.
bool isUtf8Text(const QByteArray &bytes) {
    return bytes.startsWith(kUtf8Mark) && isValidUtf8(bytes);
}

}  // namespace

QStringList Settings::readLines(const QString &path, int maxLines) {
    if (maxLines <= 0)
        return {};
    int count = 0;
    const QByteArray lines = firstLines(fileBytes(path), maxLines, &count);
    if (count == 0)
        return {};
    // Decoded together, so one decision (UTF-8 or Windows-1252) holds for all lines read.
    return decodeText(lines).split(u'\n');
}

bool Settings::writeLines(const QString &path, const QStringList &lines) {
    // Written back in the encoding the same lines are read in now: a file that reads as UTF-8
    // (a byte order mark first) stays UTF-8, so no character outside Windows-1252 is lost.
    int count = 0;
    const bool utf8 =
        isUtf8Text(firstLines(fileBytes(path), std::max(1, int(lines.size())), &count));

    QByteArray bytes = utf8 ? kUtf8Mark : QByteArray();
    for (QString l : lines) {
        // A value is one line: a line break pasted into a box would shift every later value.
        l.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        bytes += utf8 ? l.toUtf8() : encodeWindows1252(l);
        bytes += "\r\n";
    }
    dropLinkToOddFile(path);
    return platform::writeWholeFile(path, bytes);
}

QByteArray Settings::encodeWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            ++i;  // one character outside the BMP, one '?'
            bytes += '?';
        } else if (c.isSurrogate()) {
            bytes += '?';
        } else {
            bytes += encodeChar(c.unicode());
        }
    }
    return bytes;
}

QString Settings::decodeText(const QByteArray &bytes) {
    // Only a byte order mark says UTF-8: Windows-1252 text can form valid UTF-8 by chance
    // ("Ã©tude"), and must come back as it was written. QString::fromUtf8 drops the mark.
    if (bytes.startsWith(kUtf8Mark)) {
        return isValidUtf8(bytes) ? QString::fromUtf8(bytes)
                                  : decodeWindows1252(bytes.sliced(kUtf8Mark.size()));
    }
    return decodeWindows1252(bytes);
}

double Settings::leadingNumber(QStringView line) {
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && isSpaceOrTab(line[i]))
        ++i;

    std::string number;
    bool negative = false;
    if (i < n && (line[i] == u'+' || line[i] == u'-')) {
        negative = line[i] == u'-';
        ++i;
    }
    bool point = false;
    bool digits = false;
    bool wholePartNonZero = false;
    for (; i < n; ++i) {
        const QChar c = line[i];
        if (isAsciiDigit(c)) {
            digits = true;
            if (!point && c != u'0')
                wholePartNonZero = true;
            number += static_cast<char>(c.unicode());
        } else if (c == u'.' && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (ec == std::errc::result_out_of_range) {
        // Far too many digits for a double: too large when the whole part holds any, else too
        // small to tell from 0.
        value = wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace storage
