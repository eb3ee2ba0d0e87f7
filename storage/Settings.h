#pragma once

#include "timing/PlannedTime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace storage {

// The eight small settings files beside the program: basis, rondetijd, stem, flag, prtcall,
// adifmodus, live and printer. Each is read or written whole within one call; no file stays open.
//
// Format of all but printer: single-byte Windows-1252 text, every line ended by CR LF (the last
// one too). A writer replaces the whole file through a temporary file beside it and a rename, so
// a crash or a full disk leaves either the old or the new file, never a truncated one. A reader
// takes a line up to CR, CR LF or LF, reads Windows-1252 (UTF-8 only after a byte order mark),
// and treats a missing file or a missing line as an empty line; nothing is reported. A file
// that is no plain file, or is larger than kMaxBytes, counts as missing; a read never waits. A
// file read as UTF-8 is written back as UTF-8 with its byte order mark, so that no character is
// lost on the way.
//
// printer holds the name CUPS gives the printer, which may hold any character: one line of UTF-8
// without a byte order mark, ended by LF, replaced whole in the same way.
//
// A writer only says whether the file was written; the caller says so to the user, in its words.
class Settings {
public:
    explicit Settings(QString folder);

    static constexpr const char *kBasis = "basis";
    static constexpr const char *kRondeTijd = "rondetijd";
    static constexpr const char *kStem = "stem";
    static constexpr const char *kFlag = "flag";
    static constexpr const char *kPrtcall = "prtcall";
    static constexpr const char *kAdifModus = "adifmodus";
    static constexpr const char *kPrinter = "printer";
    static constexpr const char *kLive = "live";

    const QString &folder() const { return folder_; }
    QString path(const char *name) const;

    // The station fields of the main window, in the file's order.
    struct Basis {
        QString clubCall;   // line 1, "Zender Call"
        QString location;   // line 2
        QString frequency;  // line 3
        QString unit;       // line 4, the unit after the frequency
        QString gridHome;   // line 5, the station's own locator
        bool operator==(const Basis &) const = default;
    };
    Basis readBasis() const;
    bool writeBasis(const Basis &basis) const;  // exactly five lines, untrimmed

    // The planned round time as the user typed it (the main window and the menu take it as text).
    QString readRondeTijd() const;
    bool writeRondeTijd(const QString &text) const;
    // The same line as a number of minutes, read by timing::PlannedTime, the one reader of a
    // planned time; none when the line is no such number (or the file is missing).
    std::optional<timing::PlannedTime> plannedTime() const;

    // The speech menu tick: set when the line's leading number is not 0.
    bool readStem() const;
    bool writeStem(bool ticked) const;  // "1" or "0"

    // The round mode word, "aan" or "uit". isFlagAan() is true only for exactly "aan".
    QString readFlag() const;
    bool isFlagAan() const;
    bool writeFlag(const QString &word) const;

    // Partial-call search at the ham list's start: only exactly "1" counts.
    bool readPrtcall() const;
    bool writePrtcall(bool on) const;  // "1" or "0"

    // The mode last given to the ADIF export, its blanks at either end dropped; whether it is a
    // mode the export knows is for the export to say.
    QString readAdifModus() const;
    bool writeAdifModus(const QString &mode) const;

    // Sharing the round as a live page: line 1 the port (1025 to 65535; none otherwise), line 2
    // "1" when sharing starts again with the program, line 3 "1" when browsers outside the local
    // network get it too (written only then; only exactly "1" counts).
    struct Live {
        std::optional<quint16> port;
        bool keepOn = false;
        bool openToAll = false;
        bool operator==(const Live &) const = default;
    };
    Live readLive() const;
    bool writeLive(const Live &live) const;

    // The printer picked in "Printer Setup", its white space at either end dropped; empty when
    // none was picked. *reason (when given) says in Dutch why it could not be written.
    QString readPrinter() const;
    bool writePrinter(const QString &name, QString *reason = nullptr) const;

    // --- the format, for the readers above and for tests ---

    // A settings file is read only when it is a plain file (or a link to one) of at most this
    // many bytes; anything else (a FIFO, a device, a folder, a larger file) reads as missing.
    // Far above anything the program writes: five lines of 32,767 characters are under 512 KB.
    static constexpr qsizetype kMaxBytes = 1024 * 1024;

    // The first maxLines lines of a file; fewer (or none) when the file is shorter or missing.
    static QStringList readLines(const QString &path, int maxLines);
    // Replaces the file atomically, in the encoding its present lines are read in; false (and the
    // old file untouched) when it cannot be written.
    static bool writeLines(const QString &path, const QStringList &lines);

    static QByteArray encodeWindows1252(QStringView text);  // unmappable characters become '?'
    static QString decodeText(
        const QByteArray &bytes);  // UTF-8 after a byte order mark, else Windows-1252

    // The leading decimal number of a line: blanks skipped, an optional sign, digits with at most
    // one decimal point taken as far as they go; 0 when the line does not start with a number.
    static double leadingNumber(QStringView line);

private:
    QString line(const char *name, int index) const;
    bool writeOne(const char *name, const QString &value) const;

    QString folder_;
};

}  // namespace storage
