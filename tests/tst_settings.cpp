#include "CoreTestMain.h"

#include "platform/WholeFile.h"
#include "storage/Settings.h"
#include "timing/PlannedTime.h"

#include "FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QDeadlineTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>
#include <optional>

using fixture::FileSizeLimit;
using fixture::SmallDisk;
using storage::Settings;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool putBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

enum class Writer { Stem, Prtcall, Flag, RondeTijd, AdifModus, Printer };

// What stands where a settings file is looked for.
enum class Odd { Fifo, LinkToFifo, LinkToDevZero, Folder, Oversized, LinkToPlainFile };

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Runs work in a child process and hands back what it returned; none when the child did not end
// within ten seconds (it is killed then) or ended otherwise than normally. A read that waits
// forever or grows without end fails the test, instead of hanging it or filling the machine's
// memory (the child may use 1 GB, where a sanitizer's own mappings allow a limit).
std::optional<QByteArray> inChild(const std::function<QByteArray()> &work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!kSanitized) {
            const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
            ::setrlimit(RLIMIT_AS, &memory);
        }
        const QByteArray result = work();
        for (qsizetype done = 0; done < result.size();) {
            const ssize_t put =
                ::write(channel[1], result.constData() + done, size_t(result.size() - done));
            if (put <= 0) {
                ::_exit(3);
            }
            done += put;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray result;
    bool ended = false;
    const QDeadlineTimer deadline(10000);
    while (child > 0 && !deadline.hasExpired()) {
        pollfd ready{channel[0], POLLIN, 0};
        if (::poll(&ready, 1, int(deadline.remainingTime())) <= 0) {
            continue;  // the deadline decides
        }
        char chunk[4096];
        const ssize_t got = ::read(channel[0], chunk, sizeof chunk);
        if (got <= 0) {
            ended = got == 0;
            break;
        }
        result.append(chunk, got);
    }
    ::close(channel[0]);
    if (child <= 0) {
        return std::nullopt;
    }
    if (!ended) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}

// Every reader's answer on one line, as the program would take them.
QByteArray everyReader(const Settings &files) {
    const Settings::Basis basis = files.readBasis();
    const Settings::Live live = files.readLive();
    return QStringList{basis.clubCall,
                       basis.location,
                       basis.frequency,
                       basis.unit,
                       basis.gridHome,
                       files.readRondeTijd(),
                       QString::number(files.readStem()),
                       files.readFlag(),
                       QString::number(files.readPrtcall()),
                       files.readAdifModus(),
                       QString::number(live.port.value_or(0)),
                       QString::number(live.keepOn),
                       files.readPrinter()}
        .join(u'|')
        .toUtf8();
}

}  // namespace

Q_DECLARE_METATYPE(Settings::Basis)
Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(Odd)

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void readLines_data();
    void readLines();
    void singleLineReaders_data();
    void singleLineReaders();
    void printerFile_data();
    void printerFile();
    void liveFile_data();
    void liveFile();
    void liveFileRoundTrip();
    void notPlainFileReadsAsMissing_data();
    void notPlainFileReadsAsMissing();
    void leadingNumber_data();
    void leadingNumber();
    void roundedMinutes_data();
    void roundedMinutes();
    void rondeTijd_data();
    void rondeTijd();
    void plannedTime_data();
    void plannedTime();

    void basisWrite_data();
    void basisWrite();
    void basisRead_data();
    void basisRead();
    void singleLineWriters_data();
    void singleLineWriters();
    void rewriteReplacesWholeFile();

    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void writeBackInTheEncodingRead_data();
    void writeBackInTheEncodingRead();

    void writeFailsOnFullDisk_data();
    void writeFailsOnFullDisk();
    void writeFailsOnARealFullDisk();
    void writeIntoMissingFolderFails();
    void wholeFileSaysWhy_data();
    void wholeFileSaysWhy();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestSettings::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

// --- reading ---

void TestSettings::readLines_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing file") << false << QByteArray() << 5 << QStringList();
    QTest::newRow("empty file") << true << QByteArray() << 5 << QStringList();
    QTest::newRow("one empty line") << true << QByteArray("\r\n") << 5 << QStringList{""};
    QTest::newRow("no line end at the end")
        << true << QByteArray("a\r\nb") << 5 << QStringList{"a", "b"};
    QTest::newRow("final line end makes no extra line")
        << true << QByteArray("a\r\nb\r\n") << 5 << QStringList{"a", "b"};
    QTest::newRow("empty lines kept")
        << true << QByteArray("\r\n\r\nc\r\n\r\n") << 5 << QStringList{"", "", "c", ""};
    QTest::newRow("LF only") << true << QByteArray("a\nb\n\nd\n") << 5
                             << QStringList{"a", "b", "", "d"};
    QTest::newRow("CR only") << true << QByteArray("a\rb\r\rd\r") << 5
                             << QStringList{"a", "b", "", "d"};
    QTest::newRow("mixed line ends")
        << true << QByteArray("a\r\nb\nc\rd\r\ne") << 5 << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("CR CR LF is two line ends")
        << true << QByteArray("a\r\r\nb") << 5 << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two line ends")
        << true << QByteArray("a\n\rb") << 5 << QStringList{"a", "", "b"};
    QTest::newRow("blanks kept") << true << QByteArray(" a \r\n\tb\t\r\n") << 5
                                 << QStringList{" a ", "\tb\t"};
    QTest::newRow("lines after the wanted ones ignored")
        << true << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n") << 5
        << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("only the first line")
        << true << QByteArray("aan\r\nuit\r\n") << 1 << QStringList{"aan"};
    QTest::newRow("no lines wanted") << true << QByteArray("aan\r\n") << 0 << QStringList();
    QTest::newRow("without a byte order mark every line is Windows-1252")
        << true << QByteArray("Jos\xC3\xA9\r\n\xE9\r\n") << 2 << QStringList{"JosÃ©", "é"};
    QTest::newRow("with a byte order mark the lines are UTF-8")
        << true << QByteArray("\xEF\xBB\xBFJos\xC3\xA9\r\n\xE2\x82\xAC\r\n") << 2
        << QStringList{"José", "€"};
    QTest::newRow("UTF-8 BOM dropped") << true << QByteArray("\xEF\xBB\xBFPI4ZUD\r\nLeiden\r\n")
                                       << 5 << QStringList{"PI4ZUD", "Leiden"};
}

void TestSettings::readLines() {
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxLines);
    QFETCH(QStringList, expected);

    const QString path = dir_->filePath("basis");
    if (present)
        QVERIFY(putBytes(path, bytes));
    QCOMPARE(Settings::readLines(path, maxLines), expected);
}

// The same bytes in each of the Windows-1252 files, read by its own reader: the first line of
// basis is the call, of rondetijd the planned time as text, both as flag holds it, and of
// adifmodus the mode without the blanks at its ends. (printer is UTF-8: printerFile.)
void TestSettings::singleLineReaders_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("stem");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("flagAan");
    QTest::addColumn<bool>("prtcall");

    QTest::newRow("missing") << false << QByteArray() << false << "" << false << false;
    QTest::newRow("empty") << true << QByteArray() << false << "" << false << false;
    QTest::newRow("empty line") << true << QByteArray("\r\n") << false << "" << false << false;
    QTest::newRow("1") << true << QByteArray("1\r\n") << true << "1" << false << true;
    QTest::newRow("1 without line end") << true << QByteArray("1") << true << "1" << false << true;
    QTest::newRow("1 LF") << true << QByteArray("1\n") << true << "1" << false << true;
    QTest::newRow("1 CR") << true << QByteArray("1\r") << true << "1" << false << true;
    QTest::newRow("0") << true << QByteArray("0\r\n") << false << "0" << false << false;
    QTest::newRow("blank before 1")
        << true << QByteArray(" 1\r\n") << true << " 1" << false << false;
    QTest::newRow("tab before 1") << true << QByteArray("\t1\r\n") << true << "\t1" << false
                                  << false;
    QTest::newRow("blank after 1")
        << true << QByteArray("1 \r\n") << true << "1 " << false << false;
    QTest::newRow("01") << true << QByteArray("01\r\n") << true << "01" << false << false;
    QTest::newRow("letters after 1")
        << true << QByteArray("1abc\r\n") << true << "1abc" << false << false;
    QTest::newRow("letter before 1")
        << true << QByteArray("a1\r\n") << false << "a1" << false << false;
    QTest::newRow("fraction") << true << QByteArray("0.5\r\n") << true << "0.5" << false << false;
    QTest::newRow("negative") << true << QByteArray("-2\r\n") << true << "-2" << false << false;
    QTest::newRow("second line not read")
        << true << QByteArray("\r\n1\r\naan\r\n") << false << "" << false << false;
    QTest::newRow("later lines ignored")
        << true << QByteArray("1\r\n0\r\nuit\r\n") << true << "1" << false << true;
    QTest::newRow("aan") << true << QByteArray("aan\r\n") << false << "aan" << true << false;
    QTest::newRow("aan without line end")
        << true << QByteArray("aan") << false << "aan" << true << false;
    QTest::newRow("aan LF") << true << QByteArray("aan\nuit\n") << false << "aan" << true << false;
    QTest::newRow("Aan") << true << QByteArray("Aan\r\n") << false << "Aan" << false << false;
    QTest::newRow("aan with blank after")
        << true << QByteArray("aan \r\n") << false << "aan " << false << false;
    QTest::newRow("aan with blank before")
        << true << QByteArray(" aan\r\n") << false << " aan" << false << false;
    QTest::newRow("uit") << true << QByteArray("uit\r\n") << false << "uit" << false << false;
    QTest::newRow("BOM before aan") << true
                                    << QByteArray(
                                           "\xEF\xBB\xBF"
                                           "aan\r\n")
                                    << false << "aan" << true << false;
    QTest::newRow("BOM before 1") << true
                                  << QByteArray(
                                         "\xEF\xBB\xBF"
                                         "1\r\n")
                                  << true << "1" << false << true;
}

void TestSettings::singleLineReaders() {
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, stem);
    QFETCH(QString, flag);
    QFETCH(bool, flagAan);
    QFETCH(bool, prtcall);

    const Settings files(dir_->path());
    if (present) {
        for (const char *name : {Settings::kBasis, Settings::kStem, Settings::kFlag,
                                 Settings::kPrtcall, Settings::kRondeTijd, Settings::kAdifModus})
            QVERIFY(putBytes(files.path(name), bytes));
    }
    QCOMPARE(files.readStem(), stem);
    QCOMPARE(files.readFlag(), flag);
    QCOMPARE(files.isFlagAan(), flagAan);
    QCOMPARE(files.readPrtcall(), prtcall);
    QCOMPARE(files.readRondeTijd(), flag);  // the same single line, taken as text
    QCOMPARE(files.readBasis().clubCall, flag);
    QCOMPARE(files.readAdifModus(), flag.trimmed());
}

// printer holds a CUPS name, which may hold any character: UTF-8, the first line, white space
// at its ends dropped.
void TestSettings::printerFile_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");

    QTest::newRow("missing") << false << QByteArray() << "";
    QTest::newRow("empty") << true << QByteArray() << "";
    QTest::newRow("as written") << true << QByteArray("Kantoorprinter\n") << "Kantoorprinter";
    QTest::newRow("without line end") << true << QByteArray("Kantoorprinter") << "Kantoorprinter";
    QTest::newRow("CR LF") << true << QByteArray("Kantoorprinter\r\nThuis\r\n") << "Kantoorprinter";
    QTest::newRow("blanks around") << true << QByteArray(" \tHP_LaserJet \n") << "HP_LaserJet";
    QTest::newRow("blank inside kept") << true << QByteArray("HP LaserJet\n") << "HP LaserJet";
    QTest::newRow("only the first line") << true << QByteArray("Thuis\nKantoor\n") << "Thuis";
    QTest::newRow("first line empty") << true << QByteArray("\nKantoor\n") << "";
    QTest::newRow("UTF-8 without a byte order mark")
        << true << QByteArray("B\xC3\xBCro \xE2\x98\x83\n") << "Büro ☃";
}

void TestSettings::printerFile() {
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);

    const Settings files(dir_->path());
    if (present)
        QVERIFY(putBytes(files.path(Settings::kPrinter), bytes));
    QCOMPARE(files.readPrinter(), name);
}

// live: the port only when it is one a user may listen on, the second line only as exactly "1".
void TestSettings::liveFile_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("port");  // 0: none
    QTest::addColumn<bool>("keepOn");

    QTest::newRow("missing") << false << QByteArray() << 0 << false;
    QTest::newRow("as written") << true << QByteArray("8073\r\n1\r\n") << 8073 << true;
    QTest::newRow("not kept on") << true << QByteArray("8073\r\n0\r\n") << 8073 << false;
    QTest::newRow("LF and blanks") << true << QByteArray(" 8073 \n1\n") << 8073 << true;
    QTest::newRow("no port, kept on") << true << QByteArray("\r\n1\r\n") << 0 << true;
    QTest::newRow("reserved port") << true << QByteArray("80\r\n1\r\n") << 0 << true;
    QTest::newRow("1024 is reserved") << true << QByteArray("1024\r\n") << 0 << false;
    QTest::newRow("lowest") << true << QByteArray("1025\r\n") << 1025 << false;
    QTest::newRow("highest") << true << QByteArray("65535\r\n") << 65535 << false;
    QTest::newRow("too high") << true << QByteArray("65536\r\n1\r\n") << 0 << true;
    QTest::newRow("negative") << true << QByteArray("-8073\r\n") << 0 << false;
    QTest::newRow("text") << true << QByteArray("poort\r\nja\r\n") << 0 << false;
    QTest::newRow("only exactly 1") << true << QByteArray("8073\r\n 1\r\n") << 8073 << false;
}

void TestSettings::liveFile() {
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(int, port);
    QFETCH(bool, keepOn);

    const Settings files(dir_->path());
    if (present)
        QVERIFY(putBytes(files.path(Settings::kLive), bytes));
    const Settings::Live live = files.readLive();
    QCOMPARE(live.port.value_or(0), port);
    QCOMPARE(live.keepOn, keepOn);
}

void TestSettings::liveFileRoundTrip() {
    const Settings files(dir_->path());
    for (const Settings::Live &live :
         {Settings::Live{8073, true}, Settings::Live{std::nullopt, false},
          Settings::Live{65535, false}}) {
        QVERIFY(files.writeLive(live));
        QCOMPARE(files.readLive(), live);
    }
    QFile file(files.path(Settings::kLive));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("65535\r\n0\r\n"));
}

void TestSettings::notPlainFileReadsAsMissing_data() {
    QTest::addColumn<Odd>("odd");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<bool>("stemWritten");

    const QByteArray missing = "||||||0||0||0|0|";
    QTest::newRow("FIFO") << Odd::Fifo << missing << true;
    QTest::newRow("link to a FIFO") << Odd::LinkToFifo << missing << true;
    QTest::newRow("link to /dev/zero") << Odd::LinkToDevZero << missing << true;
    QTest::newRow("folder") << Odd::Folder << missing << false;
    QTest::newRow("larger than any settings file") << Odd::Oversized << missing << true;
    QTest::newRow("link to a plain file is followed")
        << Odd::LinkToPlainFile
        << QByteArray("PI4ZUD|Zoetermeer|145.550|MHz|JO22ix|45|1|aan|1|SSB|8073|1|Kantoor") << true;
}

// Each of the eight files in turn is something other than a plain file: every reader ends at
// once and takes it as missing, and a writer puts a plain file in its place (a folder it leaves
// alone and says so). What a plain file behind a link holds is read as usual.
void TestSettings::notPlainFileReadsAsMissing() {
    QFETCH(Odd, odd);
    QFETCH(QByteArray, read);
    QFETCH(bool, stemWritten);

    const QString folder = dir_->filePath("gegevens");
    const QString real = dir_->filePath("echt");
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(real));
    const QList<std::pair<const char *, QByteArray>> plain = {
        {Settings::kBasis, "PI4ZUD\r\nZoetermeer\r\n145.550\r\nMHz\r\nJO22ix\r\n"},
        {Settings::kRondeTijd, "45\r\n"},
        {Settings::kStem, "1\r\n"},
        {Settings::kFlag, "aan\r\n"},
        {Settings::kPrtcall, "1\r\n"},
        {Settings::kAdifModus, "SSB\r\n"},
        {Settings::kLive, "8073\r\n1\r\n"},
        {Settings::kPrinter, "Kantoor\n"},
    };
    const Settings files(folder);
    for (const auto &[name, bytes] : plain) {
        const QString path = files.path(name);
        const QByteArray native = QFile::encodeName(path);
        const QString target = QDir(real).filePath(QString::fromLatin1(name));
        switch (odd) {
            case Odd::Fifo:
                QVERIFY(::mkfifo(native.constData(), 0600) == 0);
                break;
            case Odd::LinkToFifo:
                QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0600) == 0);
                QVERIFY(QFile::link(target, path));
                break;
            case Odd::LinkToDevZero:
                QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
                break;
            case Odd::Folder:
                QVERIFY(QDir().mkpath(path));
                break;
            case Odd::Oversized:
                // Lines the readers would take, followed by more than any settings file holds.
                QVERIFY(putBytes(path, bytes + QByteArray(int(Settings::kMaxBytes), 'x')));
                break;
            case Odd::LinkToPlainFile:
                QVERIFY(putBytes(target, bytes));
                QVERIFY(QFile::link(target, path));
                break;
        }
    }

    const std::optional<QByteArray> answers = inChild([&files] { return everyReader(files); });
    QVERIFY2(answers, "a reader did not end");
    QCOMPARE(*answers, read);

    // The writer first reads the old file to keep its encoding: that read ends too.
    const std::optional<QByteArray> written = inChild([&files] {
        const bool ok = files.writeStem(false);
        return QByteArray::number(ok) + (files.readStem() ? "1" : "0");
    });
    QVERIFY2(written, "a writer did not end");
    QCOMPARE(*written, stemWritten ? QByteArray("10") : QByteArray("00"));
    if (stemWritten) {
        QCOMPARE(fileBytes(odd == Odd::LinkToPlainFile
                               ? QDir(real).filePath(QString::fromLatin1(Settings::kStem))
                               : files.path(Settings::kStem)),
                 QByteArray("0\r\n"));
    }
    struct stat device = {};
    QVERIFY(::stat("/dev/zero", &device) == 0 && S_ISCHR(device.st_mode));
}

void TestSettings::leadingNumber_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << " \t " << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("letter first") << "a1" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("minus alone") << "-" << 0.0;
    QTest::newRow("plus alone") << "+" << 0.0;
    QTest::newRow("blank after sign") << "- 1" << 0.0;
    QTest::newRow("two signs") << "--1" << 0.0;
    QTest::newRow("one") << "1" << 1.0;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("blank before") << " 1" << 1.0;
    QTest::newRow("blanks and tabs before") << " \t 7" << 7.0;
    QTest::newRow("letters after") << "1abc" << 1.0;
    QTest::newRow("unit after") << "45 min" << 45.0;
    QTest::newRow("stops at a blank") << "1 2" << 1.0;
    QTest::newRow("fraction") << "0.5" << 0.5;
    QTest::newRow("no whole part") << ".25" << 0.25;
    QTest::newRow("negative fraction") << "-.5" << -0.5;
    QTest::newRow("point at the end") << "5." << 5.0;
    QTest::newRow("second point ends it") << "12.5.7" << 12.5;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("negative") << "-2" << -2.0;
    QTest::newRow("plus sign") << "+3" << 3.0;
    QTest::newRow("leading zeros") << "007" << 7.0;
    QTest::newRow("no exponent") << "1e3" << 1.0;
    QTest::newRow("large") << "123456789012" << 123456789012.0;
}

void TestSettings::leadingNumber() {
    QFETCH(QString, line);
    QFETCH(double, expected);
    QCOMPARE(Settings::leadingNumber(line), expected);
}

void TestSettings::roundedMinutes_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("expected");

    QTest::newRow("whole") << "45" << 45;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("blanks around") << "  45 " << 45;
    QTest::newRow("tabs around") << "\t45\t" << 45;
    QTest::newRow("non-breaking space after") << QString::fromUtf8("2\u00A0") << 2;
    QTest::newRow("non-breaking spaces around") << QString::fromUtf8("\u00A090,4\u00A0") << 90;
    QTest::newRow("zero-width space is no blank") << QString::fromUtf8("45\u200B") << 0;
    QTest::newRow("plus") << "+45" << 45;
    QTest::newRow("minus") << "-45" << -45;
    QTest::newRow("leading zeros") << "0045" << 45;
    QTest::newRow("point") << "45.4" << 45;
    QTest::newRow("comma") << "45,6" << 46;
    QTest::newRow("point at the end") << "45." << 45;
    QTest::newRow("no whole part") << ".7" << 1;

    QTest::newRow("0.5 to even 0") << "0.5" << 0;
    QTest::newRow("1.5 to even 2") << "1.5" << 2;
    QTest::newRow("2.5 to even 2") << "2.5" << 2;
    QTest::newRow("3.5 to even 4") << "3.5" << 4;
    QTest::newRow("44.5 to even 44") << "44.5" << 44;
    QTest::newRow("45.5 to even 46") << "45.5" << 46;
    QTest::newRow("comma half") << "44,50" << 44;
    QTest::newRow("-0.5 to even 0") << "-0.5" << 0;
    QTest::newRow("-2.5 to even -2") << "-2.5" << -2;
    QTest::newRow("-3.5 to even -4") << "-3.5" << -4;
    QTest::newRow("just above a half") << "44.500000000000000000001" << 45;
    QTest::newRow("just below a half") << "3.49999999999999999999" << 3;
    QTest::newRow("negative just above a half") << "-2.5000000000000000001" << -3;

    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("largest after rounding down") << "32767.4" << 32767;
    QTest::newRow("rounds up past the largest") << "32767.5" << 0;
    QTest::newRow("one past the largest") << "32768" << 0;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("smallest, half to even") << "-32768.5" << -32768;
    QTest::newRow("rounds down past the smallest") << "-32768.51" << 0;
    QTest::newRow("one past the smallest") << "-32769" << 0;
    QTest::newRow("many leading zeros") << "000000032767" << 32767;
    QTest::newRow("far too large") << "99999999999999999999" << 0;

    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks") << "   " << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("unit after") << "45 min" << 0;
    QTest::newRow("blank inside") << "4 5" << 0;
    QTest::newRow("blank after sign") << "- 5" << 0;
    QTest::newRow("exponent") << "1e3" << 0;
    QTest::newRow("two separators") << "4.5.6" << 0;
    QTest::newRow("point and comma") << "1.000,5" << 0;
    QTest::newRow("two signs") << "--5" << 0;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("separator alone") << "." << 0;
    QTest::newRow("hex") << "0x10" << 0;
}

void TestSettings::roundedMinutes() {
    QFETCH(QString, line);
    QFETCH(int, expected);
    QCOMPARE(int(timing::roundedMinutes(line)), expected);
}

void TestSettings::rondeTijd_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("minutes");

    QTest::newRow("whole") << "45" << 45;
    QTest::newRow("comma") << "45,5" << 46;
    QTest::newRow("not a number") << "lang" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestSettings::rondeTijd() {
    QFETCH(QString, typed);
    QFETCH(int, minutes);

    const Settings files(dir_->path());
    QCOMPARE(files.readRondeTijd(), QString());
    QCOMPARE(int(timing::roundedMinutes(files.readRondeTijd())), 0);

    QVERIFY(files.writeRondeTijd(typed));
    QCOMPARE(files.readRondeTijd(), typed);
    QCOMPARE(int(timing::roundedMinutes(files.readRondeTijd())), minutes);
}

// The planned time as the file holds it, read by the one reader of a planned time.
void TestSettings::plannedTime_data() {
    QTest::addColumn<QByteArray>("bytes");  // null: no file
    QTest::addColumn<bool>("planned");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<int>("whole");

    QTest::newRow("missing") << QByteArray() << false << 0.0 << 0;
    QTest::newRow("empty line") << QByteArray("\r\n") << false << 0.0 << 0;
    QTest::newRow("45") << QByteArray("45\r\n") << true << 45.0 << 45;
    QTest::newRow("comma") << QByteArray("45,5\r\n") << true << 45.5 << 46;
    QTest::newRow("point, half to even") << QByteArray("44.5\r\n") << true << 44.5 << 44;
    QTest::newRow("second line not read") << QByteArray("45\r\n90\r\n") << true << 45.0 << 45;
    // Windows-1252 A0, as a copy from a web page leaves it.
    QTest::newRow("non-breaking space after") << QByteArray("2\xA0\r\n") << true << 2.0 << 2;
    QTest::newRow("UTF-8 non-breaking space") << QByteArray(
                                                     "\xEF\xBB\xBF\xC2\xA0"
                                                     "90\r\n")
                                              << true << 90.0 << 90;
    QTest::newRow("blanks around") << QByteArray("  45\t\r\n") << true << 45.0 << 45;
    QTest::newRow("negative") << QByteArray("-5\r\n") << true << -5.0 << -5;
    QTest::newRow("beyond 16 bits") << QByteArray("40000\r\n") << true << 40000.0 << 0;
    QTest::newRow("unit after") << QByteArray("45 min\r\n") << false << 0.0 << 0;
    QTest::newRow("letters") << QByteArray("lang\r\n") << false << 0.0 << 0;
}

void TestSettings::plannedTime() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, planned);
    QFETCH(double, minutes);
    QFETCH(int, whole);

    const Settings files(dir_->path());
    if (!bytes.isNull())
        QVERIFY(putBytes(files.path(Settings::kRondeTijd), bytes));
    const std::optional<timing::PlannedTime> read = files.plannedTime();
    QCOMPARE(read.has_value(), planned);
    if (read) {
        QCOMPARE(read->minutes, minutes);
        QCOMPARE(int(read->wholeMinutes), whole);
    }
    // The end time counts what the start dialog and the menu read as text the same way.
    QCOMPARE(int(timing::roundedMinutes(files.readRondeTijd())), whole);
}

// --- writing ---

void TestSettings::basisWrite_data() {
    QTest::addColumn<Settings::Basis>("basis");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty fields stay lines")
        << Settings::Basis{"PI4ZUD", "", "145.550", "", "JO22ab"}
        << QByteArray("PI4ZUD\r\n\r\n145.550\r\n\r\nJO22ab\r\n");
    QTest::newRow("all fields") << Settings::Basis{"PI4ZUD", "Zoetermeer", "145.550", "MHz",
                                                   "JO22ix"}
                                << QByteArray(
                                       "PI4ZUD\r\nZoetermeer\r\n145.550\r\nMHz\r\nJO22ix\r\n");
    QTest::newRow("all empty") << Settings::Basis{} << QByteArray("\r\n\r\n\r\n\r\n\r\n");
    QTest::newRow("blanks kept") << Settings::Basis{" PA3ABC ", "\tDelft", "", "", "JO22 "}
                                 << QByteArray(" PA3ABC \r\n\tDelft\r\n\r\n\r\nJO22 \r\n");
    QTest::newRow("Windows-1252 bytes")
        << Settings::Basis{"PI4ZUD", "Café Brüggë", "€ 5", "Š", "JO22"}
        << QByteArray("PI4ZUD\r\nCaf\xE9 Br\xFCgg\xEB\r\n\x80 5\r\n\x8A\r\nJO22\r\n");
    // A line break pasted into a box would shift every later value by a line.
    QTest::newRow("line breaks inside a value")
        << Settings::Basis{"PI4ZUD", "Zoetermeer\nCentrum", "145.550\r\n", "", "JO22ab"}
        << QByteArray("PI4ZUD\r\nZoetermeer Centrum\r\n145.550  \r\n\r\nJO22ab\r\n");
    QTest::newRow("unmappable characters") << Settings::Basis{"Łódź", "Москва", "東京", "😀", ""}
                                           << QByteArray(
                                                  "?\xF3"
                                                  "d?\r\n??????\r\n??\r\n?\r\n\r\n");
}

void TestSettings::basisWrite() {
    QFETCH(Settings::Basis, basis);
    QFETCH(QByteArray, bytes);

    const Settings files(dir_->path());
    QVERIFY(files.writeBasis(basis));
    QCOMPARE(fileBytes(files.path(Settings::kBasis)), bytes);
    QCOMPARE(entries(dir_->path()), QStringList{"basis"});

    // What fits in Windows-1252 and on one line comes back as written.
    const bool oneLine = !QTest::currentDataTag() ||
                         QByteArray(QTest::currentDataTag()) != "line breaks inside a value";
    const bool mappable = !bytes.contains('?');
    if (mappable && oneLine)
        QCOMPARE(files.readBasis(), basis);
}

void TestSettings::basisRead_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Settings::Basis>("expected");

    QTest::newRow("missing") << false << QByteArray() << Settings::Basis{};
    QTest::newRow("empty") << true << QByteArray() << Settings::Basis{};
    QTest::newRow("two lines") << true << QByteArray("PI4ZUD\r\nZoetermeer\r\n")
                               << Settings::Basis{"PI4ZUD", "Zoetermeer", "", "", ""};
    QTest::newRow("four lines, last without line end")
        << true << QByteArray("PI4ZUD\r\n\r\n145.550\r\nMHz")
        << Settings::Basis{"PI4ZUD", "", "145.550", "MHz", ""};
    QTest::newRow("LF only") << true << QByteArray("PI4ZUD\nDelft\n145.550\nMHz\nJO22\n")
                             << Settings::Basis{"PI4ZUD", "Delft", "145.550", "MHz", "JO22"};
    QTest::newRow("CR only") << true << QByteArray("PI4ZUD\rDelft\r145.550\rMHz\rJO22\r")
                             << Settings::Basis{"PI4ZUD", "Delft", "145.550", "MHz", "JO22"};
    QTest::newRow("extra lines ignored") << true << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n")
                                         << Settings::Basis{"a", "b", "c", "d", "e"};
    QTest::newRow("Windows-1252 that forms valid UTF-8 read as written")
        << true << QByteArray("PI4ZUD\r\n\xC3\xA9tude\r\n\r\n\r\nJO22\r\n")
        << Settings::Basis{"PI4ZUD", "Ã©tude", "", "", "JO22"};
    QTest::newRow("UTF-8 with BOM") << true << QByteArray("\xEF\xBB\xBFPI4ZUD\nCaf\xC3\xA9\n")
                                    << Settings::Basis{"PI4ZUD", "Café", "", "", ""};
    QTest::newRow("Windows-1252") << true
                                  << QByteArray("PI4ZUD\r\nCaf\xE9 Br\xFCgg\xEB\r\n\x80\r\n")
                                  << Settings::Basis{"PI4ZUD", "Café Brüggë", "€", "", ""};
}

void TestSettings::basisRead() {
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(Settings::Basis, expected);

    const Settings files(dir_->path());
    if (present)
        QVERIFY(putBytes(files.path(Settings::kBasis), bytes));
    const Settings::Basis basis = files.readBasis();
    QCOMPARE(basis.clubCall, expected.clubCall);
    QCOMPARE(basis.location, expected.location);
    QCOMPARE(basis.frequency, expected.frequency);
    QCOMPARE(basis.unit, expected.unit);
    QCOMPARE(basis.gridHome, expected.gridHome);
}

void TestSettings::singleLineWriters_data() {
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("stem on") << Writer::Stem << "1"
                             << "stem" << QByteArray("1\r\n");
    QTest::newRow("stem off") << Writer::Stem << "0"
                              << "stem" << QByteArray("0\r\n");
    QTest::newRow("prtcall on") << Writer::Prtcall << "1"
                                << "prtcall" << QByteArray("1\r\n");
    QTest::newRow("prtcall off") << Writer::Prtcall << "0"
                                 << "prtcall" << QByteArray("0\r\n");
    QTest::newRow("flag aan") << Writer::Flag << "aan"
                              << "flag" << QByteArray("aan\r\n");
    QTest::newRow("flag uit") << Writer::Flag << "uit"
                              << "flag" << QByteArray("uit\r\n");
    QTest::newRow("rondetijd") << Writer::RondeTijd << "45"
                               << "rondetijd" << QByteArray("45\r\n");
    QTest::newRow("rondetijd untrimmed") << Writer::RondeTijd << " 45,5 "
                                         << "rondetijd" << QByteArray(" 45,5 \r\n");
    QTest::newRow("rondetijd empty") << Writer::RondeTijd << ""
                                     << "rondetijd" << QByteArray("\r\n");
    QTest::newRow("adifmodus") << Writer::AdifModus << "SSB"
                               << "adifmodus" << QByteArray("SSB\r\n");
    QTest::newRow("adifmodus Windows-1252") << Writer::AdifModus << "Ü"
                                            << "adifmodus" << QByteArray("\xDC\r\n");
    // printer alone is UTF-8 with a bare LF: a CUPS name may hold any character.
    QTest::newRow("printer") << Writer::Printer << "Kantoorprinter"
                             << "printer" << QByteArray("Kantoorprinter\n");
    QTest::newRow("printer outside Windows-1252")
        << Writer::Printer << "Büro ☃"
        << "printer" << QByteArray("B\xC3\xBCro \xE2\x98\x83\n");
}

void TestSettings::singleLineWriters() {
    QFETCH(Writer, writer);
    QFETCH(QString, value);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);

    const Settings files(dir_->path());
    bool written = false;
    switch (writer) {
        case Writer::Stem:
            written = files.writeStem(value == "1");
            QCOMPARE(files.readStem(), value == "1");
            break;
        case Writer::Prtcall:
            written = files.writePrtcall(value == "1");
            QCOMPARE(files.readPrtcall(), value == "1");
            break;
        case Writer::Flag:
            written = files.writeFlag(value);
            QCOMPARE(files.readFlag(), value);
            break;
        case Writer::RondeTijd:
            written = files.writeRondeTijd(value);
            QCOMPARE(files.readRondeTijd(), value);
            break;
        case Writer::AdifModus:
            written = files.writeAdifModus(value);
            QCOMPARE(files.readAdifModus(), value);
            break;
        case Writer::Printer:
            written = files.writePrinter(value);
            QCOMPARE(files.readPrinter(), value);
            break;
    }
    QVERIFY(written);
    QCOMPARE(fileBytes(dir_->filePath(fileName)), bytes);
    QCOMPARE(entries(dir_->path()), QStringList{fileName});
}

void TestSettings::rewriteReplacesWholeFile() {
    const Settings files(dir_->path());

    QVERIFY(files.writeStem(true));
    QVERIFY(files.readStem());
    QVERIFY(files.writeStem(false));
    QVERIFY(!files.readStem());
    QCOMPARE(fileBytes(files.path(Settings::kStem)), QByteArray("0\r\n"));

    // A shorter text leaves nothing of the longer one behind.
    QVERIFY(putBytes(files.path(Settings::kFlag), "aanaanaan\r\nmeer\r\n"));
    QVERIFY(files.writeFlag("aan"));
    QCOMPARE(fileBytes(files.path(Settings::kFlag)), QByteArray("aan\r\n"));
    QVERIFY(files.isFlagAan());

    QVERIFY(files.writeBasis({"PI4ZUD", "Zoetermeer", "145.550", "MHz", "JO22ix"}));
    QVERIFY(files.writeBasis({"PA1A", "", "", "", ""}));
    QCOMPARE(fileBytes(files.path(Settings::kBasis)), QByteArray("PA1A\r\n\r\n\r\n\r\n\r\n"));

    QCOMPARE(entries(dir_->path()), (QStringList{"basis", "flag", "stem"}));
}

// --- encoding ---

void TestSettings::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII") << "PI4ZUD 145.550" << QByteArray("PI4ZUD 145.550");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("Latin-1 range") << "éëüÿ ©" << QByteArray("\xE9\xEB\xFC\xFF \xA9");
    QTest::newRow("0x80-0x9F table")
        << "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"
        << QByteArray(
               "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95"
               "\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
    QTest::newRow("not in Windows-1252") << "ł Ω ►" << QByteArray("? ? ?");
    QTest::newRow("C1 control without a glyph") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("outside the BMP is one character") << "a😀b" << QByteArray("a?b");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x" << QByteArray("?x");
}

void TestSettings::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Settings::encodeWindows1252(text), bytes);
}

void TestSettings::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("PI4ZUD") << "PI4ZUD";
    QTest::newRow("UTF-8 with BOM")
        << QByteArray("\xEF\xBB\xBF\xE2\x82\xAC \xC3\xA9\xC3\xAB\xC3\xBC") << "€ éëü";
    QTest::newRow("UTF-8 with BOM outside the BMP")
        << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80") << "😀";
    QTest::newRow("valid UTF-8 without BOM is Windows-1252")
        << QByteArray("\xC3\xA9tude \xE2\x82\xAC") << "Ã©tude â‚¬";
    QTest::newRow("BOM with invalid UTF-8 after it") << QByteArray("\xEF\xBB\xBF\xE9") << "é";
    QTest::newRow("UTF-8 BOM dropped") << QByteArray("\xEF\xBB\xBF\xC3\xA9") << "é";
    QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << "";
    QTest::newRow("Windows-1252") << QByteArray("\x80 \xE9\xEB\xFC") << "€ éëü";
    QTest::newRow("0x80-0x9F table")
        << QByteArray(
               "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95"
               "\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F")
        << "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
    QTest::newRow("one bad byte makes it all Windows-1252")
        << QByteArray("\xC3\xA9 \xE9") << "Ã© é";
    QTest::newRow("cut-off sequence at the end") << QByteArray("a\xC3") << "aÃ";
    QTest::newRow("overlong form") << QByteArray("\xC0\xAF") << "À¯";
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << "í\u00A0€";
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << "ô\u0090€€";
}

void TestSettings::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Settings::decodeText(bytes), text);
}

// A file read as UTF-8 (its byte order mark first) is written back as UTF-8 with the mark, so
// nothing outside Windows-1252 is lost; any other file is written as Windows-1252.
void TestSettings::writeBackInTheEncodingRead_data() {
    QTest::addColumn<QByteArray>("before");  // null: no file
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("after");

    const QStringList basis{"PI4ZUD", "Łódź ☃ Zoë", "145.550", "MHz", "JO22ix"};
    const QByteArray utf8Basis(
        "\xEF\xBB\xBFPI4ZUD\r\n\xC5\x81\xC3\xB3"
        "d\xC5\xBA \xE2\x98\x83 Zo\xC3\xAB\r\n145.550\r\n"
        "MHz\r\nJO22ix\r\n");
    QTest::newRow("UTF-8 with mark stays UTF-8") << QByteArray(
                                                        "\xEF\xBB\xBFPI4ZUD\r\n\xC5\x81\xC3\xB3"
                                                        "d\xC5\xBA\r\n")
                                                 << basis << utf8Basis;
    QTest::newRow("UTF-8 with mark, only ASCII in it")
        << QByteArray("\xEF\xBB\xBFPI4ZUD\r\n") << basis << utf8Basis;
    QTest::newRow("outside the BMP") << QByteArray("\xEF\xBB\xBF\r\n") << QStringList{"73 😀"}
                                     << QByteArray(
                                            "\xEF\xBB\xBF"
                                            "73 \xF0\x9F\x98\x80\r\n");
    QTest::newRow("Windows-1252 stays Windows-1252")
        << QByteArray("PI4ZUD\r\nZo\xEB\r\n") << basis
        << QByteArray(
               "PI4ZUD\r\n?\xF3"
               "d? ? Zo\xEB\r\n145.550\r\nMHz\r\nJO22ix\r\n");
    QTest::newRow("no file is Windows-1252")
        << QByteArray() << QStringList{"Zoë €"} << QByteArray("Zo\xEB \x80\r\n");
    // Read as Windows-1252 (the mark is then no text), so written so.
    QTest::newRow("mark before invalid UTF-8")
        << QByteArray("\xEF\xBB\xBFZo\xEB\r\n") << QStringList{"Zoë"} << QByteArray("Zo\xEB\r\n");
    // Only the lines that are read decide, as they do for the reader.
    QTest::newRow("invalid UTF-8 after the lines read")
        << QByteArray("\xEF\xBB\xBFZo\xC3\xAB\r\n\xE9\r\n") << QStringList{"Zoë"}
        << QByteArray("\xEF\xBB\xBFZo\xC3\xAB\r\n");
}

void TestSettings::writeBackInTheEncodingRead() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, after);
    const QString path = dir_->filePath("basis");
    if (!before.isNull())
        QVERIFY(putBytes(path, before));

    QVERIFY(Settings::writeLines(path, lines));
    QCOMPARE(fileBytes(path), after);
    if (after.startsWith("\xEF\xBB\xBF"))
        QCOMPARE(Settings::readLines(path, int(lines.size())), lines);

    // The station fields of the main window go the same way, and come back whole.
    if (lines.size() == 5 && after.startsWith("\xEF\xBB\xBF")) {
        const Settings files(dir_->path());
        const Settings::Basis read = files.readBasis();
        QCOMPARE(read.location, lines[1]);
        QVERIFY(files.writeBasis(read));
        QCOMPARE(fileBytes(path), after);
    }
}

// --- failing writes ---

void TestSettings::writeFailsOnFullDisk_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("limit");

    QStringList many;
    for (int i = 0; i < 2000; ++i)
        many << QStringLiteral("regel %1 met een flinke hoeveelheid tekst erachter").arg(i);
    QTest::newRow("more than the limit") << many << 4096;
    // A few bytes, less than Qt's write buffer: the write itself seems to succeed and only the
    // flush fails, which QSaveFile::commit() does not heed.
    QTest::newRow("station fields, nothing fits")
        << QStringList{"PI4ZUD", "Zoetermeer", "145.550", "MHz", "JO22ix"} << 0;
    QTest::newRow("one short line, nothing fits") << QStringList{"1"} << 0;
}

void TestSettings::writeFailsOnFullDisk() {
    QFETCH(QStringList, lines);
    QFETCH(int, limit);
    const QString path = dir_->filePath("basis");
    const QByteArray old("PI4ZUD\r\nZoetermeer\r\n145.550\r\nMHz\r\nJO22ix\r\n");
    QVERIFY(putBytes(path, old));

    bool written = true;
    {
        FileSizeLimit sizeLimit{rlim_t(limit)};
        QVERIFY(sizeLimit.ok());
        written = Settings::writeLines(path, lines);
    }
    QVERIFY(!written);
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(entries(dir_->path()), QStringList{"basis"});

    // With the limit lifted the same write goes through.
    QVERIFY(Settings::writeLines(path, lines));
    QCOMPARE(Settings::readLines(path, 2000), lines);
    QCOMPARE(entries(dir_->path()), QStringList{"basis"});
}

// The issue as a user met it: the data folder on a small disk that is full. Every settings file
// keeps its old content, none is left empty, and no temporary file stays behind.
void TestSettings::writeFailsOnARealFullDisk() {
    const QString folder = dir_->filePath("schijf");
    QVERIFY(QDir(dir_->path()).mkdir("schijf"));
    SmallDisk disk(folder);
    if (!disk.mounted())
        QSKIP(disk.why().constData());

    const Settings files(folder);
    const Settings::Basis basis{"PI4ZUD", "Zoetermeer", "145.550", "MHz", "JO22ix"};
    QVERIFY(files.writeBasis(basis));
    QVERIFY(files.writeRondeTijd("45"));
    QVERIFY(files.writeStem(true));
    QVERIFY(files.writeFlag("aan"));
    QVERIFY(files.writePrtcall(true));
    QVERIFY(files.writeAdifModus("FM"));
    QVERIFY(files.writePrinter("Kantoorprinter"));
    QVERIFY(disk.fill());

    QVERIFY(!files.writeBasis({"PA3ABC", "Delft", "433.500", "MHz", "JO21"}));
    QVERIFY(!files.writeRondeTijd("90"));
    QVERIFY(!files.writeStem(false));
    QVERIFY(!files.writeFlag("uit"));
    QVERIFY(!files.writePrtcall(false));
    QVERIFY(!files.writeAdifModus("SSB"));
    QString reason;
    QVERIFY(!files.writePrinter("Thuisprinter", &reason));
    QCOMPARE(reason, QStringLiteral("de schijf is vol"));

    QCOMPARE(files.readBasis(), basis);
    QCOMPARE(files.readRondeTijd(), QStringLiteral("45"));
    QVERIFY(files.readStem());
    QCOMPARE(files.readFlag(), QStringLiteral("aan"));
    QVERIFY(files.readPrtcall());
    QCOMPARE(files.readAdifModus(), QStringLiteral("FM"));
    QCOMPARE(files.readPrinter(), QStringLiteral("Kantoorprinter"));
    QCOMPARE(entries(folder), QStringList({"adifmodus", "basis", "flag", "printer", "prtcall",
                                           "rondetijd", "stem", "vulling"}));

    QVERIFY(!platform::writeWholeFile(QDir(folder).filePath("ronde.adi"), "<EOH>\r\n", &reason));
    QCOMPARE(reason, QStringLiteral("de schijf is vol"));
    QVERIFY(!QFile::exists(QDir(folder).filePath("ronde.adi")));
}

void TestSettings::writeIntoMissingFolderFails() {
    const QString folder = dir_->filePath("bestaat-niet");
    const Settings files(folder);

    QVERIFY(!files.writeBasis({"PI4ZUD", "", "", "", ""}));
    QVERIFY(!files.writeStem(true));
    QVERIFY(!files.writeFlag("aan"));
    QVERIFY(!files.writePrtcall(true));
    QVERIFY(!files.writeRondeTijd("45"));
    QVERIFY(!files.writeAdifModus("SSB"));
    QString reason;
    QVERIFY(!files.writePrinter("Kantoorprinter", &reason));
    QCOMPARE(reason, QStringLiteral("de map bestaat niet"));
    QVERIFY(!Settings::writeLines(QDir(folder).filePath("basis"), {"x"}));

    QVERIFY(!QDir(folder).exists());
    QVERIFY(entries(dir_->path()).isEmpty());
    QCOMPARE(files.readBasis(), Settings::Basis{});
    QCOMPARE(files.readPrinter(), QString());
}

// Why a file could not be written, in Dutch, for the messages; the old file stays as it was.
void TestSettings::wholeFileSaysWhy_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder of that name") << "map"
                                           << "er staat een map met die naam";
    QTest::newRow("folder missing") << "bestaat-niet/ronde.adi"
                                    << "de map bestaat niet";
    QTest::newRow("file size limit") << "ronde.adi"
                                     << "het bestand wordt groter dan toegestaan";
}

void TestSettings::wholeFileSaysWhy() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QVERIFY(QDir(dir_->path()).mkdir("map"));
    const QString path = dir_->filePath(name);
    const bool existing = QFileInfo(path).isFile() || name == QLatin1String("ronde.adi");
    if (existing)
        QVERIFY(putBytes(path, "oud"));

    QString said;
    bool written = true;
    {
        FileSizeLimit limit(0);
        QVERIFY(limit.ok());
        written = platform::writeWholeFile(path, "<EOH>\r\n", &said);
    }
    QVERIFY(!written);
    QCOMPARE(said, reason);
    if (existing)
        QCOMPARE(fileBytes(path), QByteArray("oud"));
    QCOMPARE(entries(dir_->path()).size(), existing ? 2 : 1);

    QVERIFY(platform::writeWholeFile(dir_->filePath("nieuw.adi"), "<EOH>\r\n", &said));
    QCOMPARE(fileBytes(dir_->filePath("nieuw.adi")), QByteArray("<EOH>\r\n"));
}

KB_CORE_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
