#include "Fixture.h"
#include "FullDisk.h"
#include "TestMain.h"

#include "MainControls.h"
#include "platform/fakes/FakeFileChooser.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/Database.h"
#include "storage/TableCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

using platform::MessageAnswer;
using roundsheet::frmDialog;
using roundsheet::frmMain;
using roundsheet::frmToevoegen;

namespace {

// A file chooser whose answer lowers the file size limit to nothing until the test lifts it:
// the export's own file fails to be written as on a full disk, while the database was read
// before.
class FullDiskOnAnswer : public platform::fakes::FakeFileChooser {
public:
    std::optional<QString> saveFileName(QWidget *owner, const QString &title,
                                        const QString &suggestedPath,
                                        const QString &filter) override {
        if (limitOnAnswer) {
            limit = std::make_unique<fixture::FileSizeLimit>(0);
        }
        return FakeFileChooser::saveFileName(owner, title, suggestedPath, filter);
    }
    bool limitOnAnswer = true;
    std::unique_ptr<fixture::FileSizeLimit> limit;
};

}  // namespace

// The times of a round: the begin of the round and the placing of each call with Enter, in UTC,
// stored with the round; a call typed or changed by hand has none.
class RoundTimesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void timesOfARound();
    void adifOfTheRoundOnScreen();
    void exportsThatCannotBeWritten_data();
    void exportsThatCannotBeWritten();
    void hamListExportFromAFullDisk();

private:
    fixture::Fakes fakes_;
};

void RoundTimesTest::timesOfARound() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    frmMain w(dir.path(), fakes_.services());
    w.load();
    w.startupTimer->stop();
    w.tmrRonde->stop();
    w.Timer1->stop();
    w.tmrRonde_Timer();

    frmDialog dlg(w);
    dlg.tmrUnload->stop();
    fakes_.messages.queueAnswer(MessageAnswer::Yes);
    dlg.tmrUnload_Timer();
    dlg.Text1->setText(QStringLiteral("PA3ABC"));
    dlg.Text2->setText(QStringLiteral("Henk"));
    const QDateTime begin = fakes_.clock.utcNow();
    dlg.OKButton_Click();
    QCOMPARE(dlg.outcome(), frmDialog::Outcome::RoundBegun);
    QCOMPARE(w.sheet().beginTime(), begin);
    QCOMPARE(storage::storedTimeText(w.sheet().row(0).placedAt),
             QString());  // the controller's own row is not placed

    fakes_.clock.advanceSecs(65);
    {
        frmToevoegen box(w);
        box.Text1->setText(QStringLiteral("pd1xyz"));
        box.Text1_Enter();
    }
    w.tmrToeVoeg->stop();
    QCOMPARE(fixture::ui(w).Text1[1]->text(), QStringLiteral("PD1XYZ"));
    QCOMPARE(storage::storedTimeText(w.sheet().row(1).placedAt),
             storage::storedTimeText(begin.addSecs(65)));
    fixture::ui(w).Text1[2]->setText(QStringLiteral("PE2AA"));  // typed into the sheet
    QCOMPARE(storage::storedTimeText(w.sheet().row(2).placedAt), QString());
    w.storeRound();

    // Stored with the round, and shown again when the round is shown again.
    const QString path = QDir(dir.path()).filePath(QLatin1String(storage::Database::kFileName));
    storage::StorageError error;
    {
        auto cursor = storage::TableCursor::open(path, QStringLiteral("ronde"), &error);
        QVERIFY2(cursor, qPrintable(error.description));
        storage::RecordValues values;
        QVERIFY(cursor->read(cursor->count() - 1, &values, &error));
        const storage::Round stored = storage::Round::fromRecord(values);
        QCOMPARE(stored.beginTime, begin);
        QCOMPARE(stored.participants[1].placedAt, begin.addSecs(65));
        QVERIFY(!stored.participants[2].placedAt.isValid());
        QCOMPARE(w.round(), stored);
    }
    QVERIFY(fixture::ui(w).Data1->Recordset().MoveFirst());
    QVERIFY(fixture::ui(w).Data1->Recordset().MoveLast());
    QCOMPARE(storage::storedTimeText(w.sheet().row(1).placedAt),
             storage::storedTimeText(begin.addSecs(65)));
    QCOMPARE(w.round().beginTime, begin);

    // A placed call changed by hand is no longer the call placed at that time.
    fixture::ui(w).Text1[1]->setText(QStringLiteral("PD1XYY"));
    QCOMPARE(storage::storedTimeText(w.sheet().row(1).placedAt), QString());
}

// "Ronde exporteren naar ADIF…": the mode is asked with the last one offered, the file holds the
// placed call with its time, and the message names the file.
void RoundTimesTest::adifOfTheRoundOnScreen() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile basis(QDir(dir.path()).filePath(QStringLiteral("basis")));
    QVERIFY(basis.open(QIODevice::WriteOnly));
    basis.write("PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n");
    basis.close();
    platform::fakes::FakeFileChooser files;
    // A stored round with its times, shown at start.
    fixture::seedTable(dir.path(), "ronde",
                       {{{"rondecall", "PA3ABC"},
                         {"begintijd", "2026-12-10T19:30:00Z"},
                         {"call1", "PA3ABC"},
                         {"call2", "PD1XYZ"},
                         {"tijd2", "2026-12-10T19:31:05Z"}}});
    frmMain w(dir.path(), fakes_.services());
    w.setFileChooser(&files);
    w.load();
    w.startupTimer->stop();
    w.tmrRonde->stop();
    w.Timer1->stop();
    QCOMPARE(fixture::ui(w).Text1[1]->text(), QStringLiteral("PD1XYZ"));
    fixture::ui(w).txtRondeNR->setText(QStringLiteral("7"));

    QStringList offered;
    for (const char *mode : {"ssb", "FM"}) {
        const QString out = QDir(dir.path()).filePath(QStringLiteral("ronde-%1.adi").arg(mode));
        fakes_.messages.clear();
        fakes_.messages.queueInput(QString::fromLatin1(mode));
        files.queueAnswer(out);
        w.adifronde_Click();
        QCOMPARE(fakes_.messages.pendingInputs(), 0);
        QCOMPARE(files.pendingAnswers(), 0);
        offered << fakes_.messages.asked().last().defaultText;
        QVERIFY(
            files.asked().last().suggestedPath.endsWith(QStringLiteral("Ronde 7 2026-12-10.adi")));
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray adif = written.readAll();
        QVERIFY(
            adif.contains("<CALL:6>PD1XYZ <QSO_DATE:8>20261210 <TIME_ON:6>193105 <BAND:2>2m "
                          "<FREQ:6>145.55 <MODE:"));
        QVERIFY(adif.contains(QByteArray("<MODE:") + QByteArray::number(qstrlen(mode)) + '>' +
                              QByteArray(mode).toUpper()));
        QVERIFY(!adif.contains("<CALL:6>PA3ABC"));
        QCOMPARE(fakes_.messages.shown().last().text,
                 QStringLiteral("1 verbinding(en) geschreven naar %1").arg(out));
    }
    // The first export offered FM, the second the SSB of the first.
    QCOMPARE(offered, QStringList({"FM", "SSB"}));

    // A mode that cannot be kept for the next export: the export goes on and says so.
    QVERIFY(QFile::remove(QDir(dir.path()).filePath(QStringLiteral("adifmodus"))));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("adifmodus")));
    const QString out = QDir(dir.path()).filePath(QStringLiteral("ronde-cw.adi"));
    fakes_.messages.clear();
    fakes_.messages.queueInput(QStringLiteral("CW"));
    files.queueAnswer(out);
    w.adifronde_Click();
    QVERIFY(QFile::exists(out));
    QCOMPARE(fakes_.messages.shown().last().text,
             QStringLiteral("1 verbinding(en) geschreven naar %1\n\nDe modus is niet bewaard voor "
                            "de volgende export: het bestand adifmodus kan niet worden geschreven.")
                 .arg(out));

    // An unknown mode is refused, and nothing is written.
    fakes_.messages.clear();
    fakes_.messages.queueInput(QStringLiteral("Telepathie"));
    w.adifronde_Click();
    QCOMPARE(files.pendingAnswers(), 0);
    QCOMPARE(fakes_.messages.shown().size(), 1);
    QVERIFY(fakes_.messages.shown().last().text.startsWith(
        QStringLiteral("Onbekende modus: Telepathie")));
}

void RoundTimesTest::exportsThatCannotBeWritten_data() {
    QTest::addColumn<bool>("adif");  // else the ham list as CSV
    QTest::addColumn<bool>("realDisk");
    QTest::addColumn<QString>("reason");
    QTest::newRow("ADIF, file size limit")
        << true << false << "het bestand wordt groter dan toegestaan";
    QTest::newRow("ADIF, real full disk") << true << true << "de schijf is vol";
    QTest::newRow("CSV, file size limit")
        << false << false << "het bestand wordt groter dan toegestaan";
    QTest::newRow("CSV, real full disk") << false << true << "de schijf is vol";
}

// An export over an earlier file on a disk that takes no more: the earlier file stays as it was,
// no empty file takes its place, and the user reads that it failed and why, never a success.
void RoundTimesTest::exportsThatCannotBeWritten() {
    QFETCH(bool, adif);
    QFETCH(bool, realDisk);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = QDir(dir.path()).filePath(QStringLiteral("doel"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("doel")));
    std::unique_ptr<fixture::SmallDisk> disk;
    if (realDisk) {
        disk = std::make_unique<fixture::SmallDisk>(target);
        if (!disk->mounted()) {
            QSKIP(disk->why().constData());
        }
    }
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    };
    put(QDir(dir.path()).filePath(QStringLiteral("basis")),
        "PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n");
    // The mode cannot be kept either; that is said with the failure.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("adifmodus")));
    const QString out =
        QDir(target).filePath(adif ? QStringLiteral("ronde.adi") : QStringLiteral("HAM-lijst.csv"));
    put(out, "oud");
    fixture::seedTable(
        dir.path(), "ronde",
        {{{"rondecall", "PA3ABC"}, {"begintijd", "2026-12-10T19:30:00Z"}, {"call2", "PD1XYZ"}}});
    if (disk) {
        QVERIFY(disk->fill());
    }

    FullDiskOnAnswer files;
    files.limitOnAnswer = !realDisk;
    frmMain w(dir.path(), fakes_.services());
    w.setFileChooser(&files);
    w.load();
    w.startupTimer->stop();
    w.tmrRonde->stop();
    w.Timer1->stop();
    QCOMPARE(fixture::ui(w).Text1[1]->text(), QStringLiteral("PD1XYZ"));

    fakes_.messages.clear();
    files.queueAnswer(out);
    if (adif) {
        fakes_.messages.queueInput(QStringLiteral("FM"));
    }
    if (adif) {
        w.adifronde_Click();
    } else {
        w.hamexport_Click();
    }
    QVERIFY(!files.limit || files.limit->ok());
    files.limit.reset();
    QCOMPARE(files.pendingAnswers(), 0);
    QCOMPARE(fakes_.messages.shown().size(), 1);
    QString expected = QStringLiteral("%1 kan niet worden geschreven: %2.").arg(out, reason);
    if (adif) {
        expected += QStringLiteral(
            "\n\nDe modus is niet bewaard voor de volgende export: het bestand adifmodus kan "
            "niet worden geschreven.");
    }
    QCOMPARE(fakes_.messages.shown()[0].text, expected);
    QCOMPARE(fakes_.messages.shown()[0].style, platform::MessageStyle::OkCritical);
    QCOMPARE(fakes_.messages.shown()[0].title, adif ? QStringLiteral("Exporteren naar ADIF")
                                                    : QStringLiteral("HAM-lijst exporteren"));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("oud"));
    QStringList expectedFiles{QFileInfo(out).fileName()};
    if (disk) {
        expectedFiles.append(QStringLiteral("vulling"));
    }
    QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden), expectedFiles);
}

// The program's disk is full and its ham list still empty: the export reads the list without
// writing to the database, asks for its file (elsewhere) and writes it.
void RoundTimesTest::hamListExportFromAFullDisk() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = QDir(dir.path()).filePath(QStringLiteral("data"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data")));
    fixture::SmallDisk disk(data);
    if (!disk.mounted()) {
        QSKIP(disk.why().constData());
    }
    fakes_.messages.clear();
    platform::fakes::FakeFileChooser files;
    frmMain w(data, fakes_.services());
    w.setFileChooser(&files);
    w.load();
    w.startupTimer->stop();
    w.tmrRonde->stop();
    w.Timer1->stop();
    QVERIFY(disk.fill());

    const QString out = QDir(dir.path()).filePath(QStringLiteral("HAM-lijst.csv"));
    files.queueAnswer(out);
    w.hamexport_Click();
    QCOMPARE(files.pendingAnswers(), 0);
    QCOMPARE(fakes_.messages.shown().size(), 1);
    QCOMPARE(fakes_.messages.shown()[0].text, QStringLiteral("0 hams geschreven naar %1").arg(out));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("\xEF\xBB\xBF"
                                           "Call;Naam;Adres;Postcode;Qth;Grid;Land;Telefoon;"
                                           "E-mailadres;Bijzonderheden\r\n"));
}

KB_TEST_MAIN(RoundTimesTest)
#include "tst_roundtimes.moc"
