#include "Fixture.h"
#include "FullDisk.h"
#include "TestMain.h"

#include "MainControls.h"
#include "platform/FileChooser.h"
#include "platform/LoadedPrinterSurface.h"
#include "platform/PrinterDialog.h"
#include "platform/QtPrinterSurface.h"
#include "platform/fakes/FakeFileChooser.h"
#include "platform/fakes/FakePrintQueues.h"
#include "platform/fakes/FakePrinterSurface.h"
#include "print/KeptPrinter.h"
#include "print/RoundPage.h"
#include "print/RoundPrinting.h"
#include "print/TipsPage.h"
#include "print/frmTip.h"
#include "roundsheet/frmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <poppler-qt6.h>

#include <memory>

using platform::DocumentResult;
using platform::MessageAnswer;
using platform::MessageStyle;
using platform::QueueState;
using platform::fakes::FakePrinterSurface;
using roundsheet::frmMain;

Q_DECLARE_METATYPE(platform::DocumentResult)
Q_DECLARE_METATYPE(platform::MessageStyle)
Q_DECLARE_METATYPE(platform::MessageAnswer)
Q_DECLARE_METATYPE(print::RoundSheet)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(platform::QueueState::Kind)

namespace {

const QString kPdf = QString::fromLatin1(platform::kPdfPrinterName);
const QString kOffice = QStringLiteral("Kantoorprinter");
const QString kDate = QStringLiteral("donderdag 10 december 2026");

// A home folder of the test's own, with or without a documents folder, for as long as it lives;
// the desktop's folder settings under it are not there, so the usual names count.
class HomeFolder {
public:
    explicit HomeFolder(bool withDocuments)
        : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(dir_.path()));
        qunsetenv("XDG_CONFIG_HOME");
        if (withDocuments) {
            QDir(dir_.path()).mkdir(QStringLiteral("Documents"));
        }
    }
    ~HomeFolder() {
        qputenv("HOME", oldHome_);
        if (oldConfig_.isEmpty()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", oldConfig_);
        }
    }
    HomeFolder(const HomeFolder &) = delete;
    HomeFolder &operator=(const HomeFolder &) = delete;

    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_;
    QByteArray oldConfig_;
};

// One operation of the fake surface as one line, so whole pages compare at a glance.
QString describe(const FakePrinterSurface::Op &op) {
    using Kind = FakePrinterSurface::Op::Kind;
    switch (op.kind) {
        case Kind::Portrait:
            return QStringLiteral("portrait");
        case Kind::Picture:
            return QStringLiteral("picture %1,%2 %3x%4")
                .arg(op.rect.left())
                .arg(op.rect.top())
                .arg(op.rect.width())
                .arg(op.rect.height());
        case Kind::Line:
            return QStringLiteral("line %1,%2 %3,%4")
                .arg(op.at.x())
                .arg(op.at.y())
                .arg(op.to.x())
                .arg(op.to.y());
        case Kind::Text:
            return QStringLiteral("text %1,%2 %3 %4%5 %6 [%7]")
                .arg(op.at.x())
                .arg(op.at.y())
                .arg(op.fontName)
                .arg(op.fontSize)
                .arg(op.bold ? QStringLiteral(" bold") : QString())
                .arg(op.color.name(), op.text);
    }
    return {};
}

QStringList describe(const QList<FakePrinterSurface::Op> &ops) {
    QStringList lines;
    for (const FakePrinterSurface::Op &op : ops) {
        lines << describe(op);
    }
    return lines;
}

// The texts of the rows: everything printed between the column header and the footer's rule,
// as "x,y text".
QStringList rowTexts(const QList<FakePrinterSurface::Op> &ops) {
    QStringList texts;
    bool inRows = false;
    for (const FakePrinterSurface::Op &op : ops) {
        if (op.kind == FakePrinterSurface::Op::Kind::Text && op.text == print::columnHeader()) {
            inRows = true;
        } else if (op.kind == FakePrinterSurface::Op::Kind::Line && op.at.y() == 15000) {
            break;
        } else if (inRows) {
            if (op.kind != FakePrinterSurface::Op::Kind::Text || op.fontName != "Verdana" ||
                op.fontSize != 11) {
                texts << QStringLiteral("unexpected: ") + describe(op);
            } else {
                texts << QStringLiteral("%1,%2 %3").arg(op.at.x()).arg(op.at.y()).arg(op.text);
            }
        }
    }
    return texts;
}

print::RoundSheet stationSheet() {
    print::RoundSheet sheet;
    sheet.round.controllerCall = QStringLiteral("PA3ABC");
    sheet.round.controllerName = QStringLiteral("Henk");
    sheet.round.date = kDate;
    sheet.roundNumber = QStringLiteral("7");
    sheet.clubCall = QStringLiteral("PI4ZUD");
    sheet.frequency = QStringLiteral("145.550");
    sheet.unit = QStringLiteral("Mhz");
    for (QString &caption : sheet.turnCaptions) {
        caption = QStringLiteral("Beurt");
    }
    sheet.year = 2026;
    return sheet;
}

// A round of 30 stations, each with its own call, name, QTH, distance and turns.
print::RoundSheet fullSheet() {
    print::RoundSheet sheet = stationSheet();
    for (int i = 0; i < storage::Round::kRows; ++i) {
        storage::Participant &p = sheet.round.participants[size_t(i)];
        p.call = QStringLiteral("PD%1XYZ").arg(i + 10);
        p.name = QStringLiteral("Naam%1").arg(i + 1);
        p.qth = QStringLiteral("PLAATS%1").arg(i + 1);
        p.distance = QString::number(10 * i + 5);
        sheet.turnCaptions[size_t(i)] = QStringLiteral("Beurt  %1").arg(i % 4 + 1);
    }
    return sheet;
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    std::unique_ptr<FakePrinterSurface> printer_;
    // The printer choice kept in the test's data folder, as the program keeps it.
    std::unique_ptr<print::KeptPrinter> keptPrinter_;
    std::unique_ptr<ModalAnswers> modals_;
    std::unique_ptr<frmMain> w_;

    QString path(const QString &name) const { return QDir(dir_->path()).filePath(name); }

    frmMain &makeWindow() {
        w_ = fixture::makeMainWindow(dir_->path(), fakes_.services(),
                                     [this](frmMain &w) { w.setPrinterSurface(printer_.get()); });
        return *w_;
    }

    // The messages shown, as "style|title|text".
    QStringList shownMessages() const {
        QStringList shown;
        for (const auto &box : fakes_.messages.shown()) {
            shown << QStringLiteral("%1|%2|%3").arg(int(box.style)).arg(box.title, box.text);
        }
        return shown;
    }
    static QString message(MessageStyle style, const QString &title, const QString &text) {
        return QStringLiteral("%1|%2|%3").arg(int(style)).arg(title, text);
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        fakes_.messages.clear();
        printer_ = std::make_unique<FakePrinterSurface>();
        keptPrinter_ = std::make_unique<print::KeptPrinter>(storage::Settings(dir_->path()));
        modals_ = std::make_unique<ModalAnswers>();
        QFile basis(path(QStringLiteral("basis")));
        QVERIFY(basis.open(QIODevice::WriteOnly));
        basis.write("PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n");
    }
    void cleanup() {
        if (w_) {
            w_->close();
        }
        w_.reset();
        const QStringList problems = modals_->problems();
        const qsizetype pending = modals_->pending();
        modals_.reset();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(pending, 0);
        QCOMPARE(fakes_.messages.pendingAnswers(), 0);
        QCOMPARE(printer_->pendingResults(), 0);
    }

    // --- the page -----------------------------------------------------------------------------

    void emptyRoundPage_data() {
        QTest::addColumn<print::RoundSheet>("sheet");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("footer");
        QTest::newRow("station data") << stationSheet() << "Radioronde PI4ZUD van " + kDate
                                      << "Kringbaas: PA3ABC, Henk via PI4ZUD op 145.550 Mhz";
        // Nothing is trimmed: the separators of empty fields stay.
        print::RoundSheet bare;
        bare.year = 2031;
        QTest::newRow("all fields empty") << bare << "Radioronde  van "
                                          << "Kringbaas: ,  via  op  ";
    }
    void emptyRoundPage() {
        QFETCH(print::RoundSheet, sheet);
        QFETCH(QString, title);
        QFETCH(QString, footer);
        print::drawRoundPage(*printer_, sheet, print::roundLogo());
        const QString year = QString::number(sheet.year);
        const QStringList expected = {
            "portrait",
            "picture 600,700 1450x1450",
            "text 2300,1300 Verdana 16 #000000 [Deelnemers]",
            "text 2300,1700 Verdana 16 #000000 [" + title + "]",
            "line 600,2800 11000,2800",
            "line 600,3200 11000,3200",
            "text 780,2850 Verdana 12 #000000 [" + print::columnHeader() + "]",
            "line 600,15000 11000,15000",
            "text 780,15070 Verdana 11 #000000 [" + footer + "]",
            "line 600,15400 11000,15400",
            "text 780,15800 Verdana 7 #a0a0a0 [Kringbaas " + year + "]",
        };
        QCOMPARE(describe(printer_->pendingOps()), expected);
        QVERIFY(!printer_->pendingOps()[1].image.isNull());
        // Only the header is spaced to fit its columns.
        for (const FakePrinterSurface::Op &op : printer_->pendingOps()) {
            if (op.text != print::columnHeader()) {
                QCOMPARE(op.letterSpacing, 0.0);
            }
        }
    }

    void columnHeaderIsOneHundredCharacters() {
        const QString header = print::columnHeader();
        QCOMPARE(header.size(), 100);
        QCOMPARE(header.indexOf(QLatin1String("Naam")), 15);
        QCOMPARE(header.indexOf(QLatin1String("QTH")), 50);
        QCOMPARE(header.indexOf(QLatin1String("Afstand")), 80);
        QVERIFY(header.endsWith(QLatin1String("   Spreektijd")));
    }

    // Each column of a row on its own; a row keeps its place when rows above it are empty.
    void rowColumns_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("fields");  // call, name, QTH, distance, turn caption
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("full first row")
            << 0 << QStringList{"PA3ABC", "Henk", "DELFT", "176", "Beurt  3"}
            << QStringList{"780,3400 PA3ABC", "2300,3400 Henk", "5600,3400 DELFT", "8400,3400 176",
                           "9000,3400  Km",   "10240,3400 3",   "10550,3400 x"};
        QTest::newRow("name without call")
            << 4 << QStringList{"", "Henk", "", "", "Beurt"} << QStringList{"2300,4800 Henk"};
        QTest::newRow("last row") << 29 << QStringList{"PE1BAD", "", "", "", "Beurt"}
                                  << QStringList{"780,13550 PE1BAD"};
        QTest::newRow("distance 0")
            << 1 << QStringList{"", "", "", "0", "Beurt"} << QStringList{"9000,3750  Km"};
        QTest::newRow("distance ver") << 1 << QStringList{"", "", "", "ver", "Beurt"}
                                      << QStringList{"8400,3750 ver", "9000,3750  Km"};
        QTest::newRow("distance 175.5") << 1 << QStringList{"", "", "", "175.5", "Beurt"}
                                        << QStringList{"8400,3750 176", "9000,3750  Km"};
        QTest::newRow("turns 12") << 2 << QStringList{"", "", "", "", "Beurt  12"}
                                  << QStringList{"10240,4100 12", "10550,4100 x"};
        QTest::newRow("turns 105") << 2 << QStringList{"", "", "", "", "Beurt  105"}
                                   << QStringList{"10240,4100 5", "10550,4100 x"};
        QTest::newRow("turns 100")
            << 2 << QStringList{"", "", "", "", "Beurt  100"} << QStringList{"10550,4100 x"};
        QTest::newRow("no caption") << 2 << QStringList{"", "", "", "", ""} << QStringList{};
    }
    void rowColumns() {
        QFETCH(int, row);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, printed);
        print::RoundSheet sheet = stationSheet();
        storage::Participant &p = sheet.round.participants[size_t(row)];
        p.call = fields[0];
        p.name = fields[1];
        p.qth = fields[2];
        p.distance = fields[3];
        sheet.turnCaptions[size_t(row)] = fields[4];
        print::drawRoundPage(*printer_, sheet, QImage());
        QCOMPARE(rowTexts(printer_->pendingOps()), printed);
    }

    void wholeNumberForm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("form");
        QTest::newRow("whole") << "176"
                               << "176";
        QTest::newRow("zero") << "0"
                              << "";
        QTest::newRow("zeros") << "00"
                               << "";
        QTest::newRow("leading zero") << "05"
                                      << "5";
        QTest::newRow("blank and digit") << " 3"
                                         << "3";
        QTest::newRow("half up") << "174.5"
                                 << "175";
        QTest::newRow("decimal comma") << "175,5"
                                       << "176";
        QTest::newRow("below a half") << "0.4"
                                      << "";
        QTest::newRow("negative half") << "-2.5"
                                       << "-3";
        QTest::newRow("word") << "ver"
                              << "ver";
        QTest::newRow("digits and letters") << "12a"
                                            << "12a";
        QTest::newRow("two separators") << "1.2.3"
                                        << "1.2.3";
        QTest::newRow("separator only") << "."
                                        << ".";
        QTest::newRow("huge") << "123456789012345678901"
                              << "123456789012345683968";
    }
    void wholeNumberForm() {
        QFETCH(QString, text);
        QTEST(print::wholeNumberForm(text), "form");
    }

    // --- print, export and printer setup -------------------------------------------------------

    void printAsksUnlessThePdfPrinterIsCurrent_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("printed");
        QTest::newRow("OK") << kOffice << MessageAnswer::Ok << true << true;
        QTest::newRow("Cancel") << kOffice << MessageAnswer::Cancel << true << false;
        QTest::newRow("PDF printer") << kPdf << MessageAnswer::Ok << false << true;
    }
    void printAsksUnlessThePdfPrinterIsCurrent() {
        QFETCH(QString, current);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, asked);
        QFETCH(bool, printed);
        QVERIFY(printer_->select(current));
        if (asked) {
            fakes_.messages.queueAnswer(answer);
        }
        print::printRound(nullptr, *printer_, fakes_.messages, stationSheet());
        QCOMPARE(shownMessages(),
                 asked ? QStringList{message(MessageStyle::OkCancel, "Deelnemers ronde",
                                             "Je gaat deze ronde uitprinten")}
                       : QStringList{});
        QCOMPARE(printer_->documents().size(), printed ? 1 : 0);
        QVERIFY(printer_->pendingOps().isEmpty());
        if (printed) {
            QCOMPARE(printer_->documents()[0].printer, current);
            QCOMPARE(printer_->documents()[0].name, "Ronde 7 " + kDate);
        }
    }

    void aFailingPrintIsShown() {
        printer_->queueResult(DocumentResult::Failed, QStringLiteral("De printer is weg"));
        print::printRound(nullptr, *printer_, fakes_.messages, stationSheet());
        QCOMPARE(shownMessages(),
                 QStringList({message(MessageStyle::OkCancel, "Deelnemers ronde",
                                      "Je gaat deze ronde uitprinten"),
                              message(MessageStyle::OkCritical, "De printer is weg",
                                      "Er is een fout opgetreden")}));
    }

    // The export prints on the PDF printer without a question; the printer that was current is
    // current again whatever happened; only a written file is reported as saved.
    void exportRound_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<DocumentResult>("result");
        QTest::addColumn<QStringList>("shown");
        const QString saved =
            message(MessageStyle::OkInformation, "Bestand geëxporteerd naar PDF bestand",
                    "Ronde succesvol opgeslagen");
        QTest::newRow("written") << kOffice << DocumentResult::Printed << QStringList{saved};
        QTest::newRow("PDF printer current")
            << kPdf << DocumentResult::Printed << QStringList{saved};
        QTest::newRow("file cancelled") << kOffice << DocumentResult::Cancelled << QStringList{};
        QTest::newRow("writing failed")
            << kOffice << DocumentResult::Failed
            << QStringList{
                   message(MessageStyle::OkCritical, "Schijf vol", "Er is een fout opgetreden")};
    }
    void exportRound() {
        QFETCH(QString, current);
        QFETCH(DocumentResult, result);
        QVERIFY(printer_->select(current));
        printer_->queueResult(result, QStringLiteral("Schijf vol"));
        print::exportRound(nullptr, *printer_, fakes_.messages, fullSheet());
        QTEST(shownMessages(), "shown");
        QCOMPARE(printer_->documents().size(), 1);
        QCOMPARE(printer_->documents()[0].printer, kPdf);
        QCOMPARE(printer_->deviceName(), current);
    }

    void exportWithoutAPdfPrinterPrintsNothing() {
        printer_->setPrinters({kOffice, QStringLiteral("Labelprinter")});
        QVERIFY(printer_->select(QStringLiteral("Labelprinter")));
        print::exportRound(nullptr, *printer_, fakes_.messages, fullSheet());
        QVERIFY(printer_->documents().isEmpty());
        QCOMPARE(printer_->deviceName(), QStringLiteral("Labelprinter"));
        QCOMPARE(shownMessages(),
                 QStringList{message(MessageStyle::OkCritical,
                                     "Er is geen printer \"Microsoft Print to PDF\"",
                                     "Er is een fout opgetreden")});
    }

    // Printer setup from the menu: another printer asks for a restart and closes the program
    // the normal way, saving the station data; the same one or Cancel changes nothing.
    // A choice that cannot be written is said, and the program stays open: a restart would
    // bring the old printer back.
    void printerSetup_data() {
        QTest::addColumn<std::optional<QString>>("choice");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("restart");
        const QStringList none;
        QTest::newRow("another printer")
            << std::optional<QString>(kPdf) << true
            << QStringList{message(MessageStyle::OkInformation, "Printer her-initialiseren",
                                   "Programma opnieuw opstarten SVP")}
            << true;
        QTest::newRow("another printer not kept")
            << std::optional<QString>(kPdf) << false
            << QStringList{message(MessageStyle::OkCritical, "Printerkeuze niet bewaard",
                                   "De keuze kon niet worden bewaard")}
            << false;
        QTest::newRow("the same printer")
            << std::optional<QString>(kOffice) << true << none << false;
        QTest::newRow("cancel") << std::optional<QString>() << true << none << false;
    }
    void printerSetup() {
        QFETCH(std::optional<QString>, choice);
        QFETCH(bool, kept);
        QFETCH(QStringList, shown);
        QFETCH(bool, restart);
        frmMain &w = makeWindow();
        w.show();
        QFile::remove(path(QStringLiteral("basis")));
        printer_->queueDialogChoice(choice, kept,
                                    QStringLiteral("De keuze kon niet worden bewaard"));
        w.printerselect->trigger();
        QCOMPARE(printer_->dialogsShown(), 1);
        QCOMPARE(shownMessages(), shown);
        QCOMPARE(w.isVisible(), !restart);
        QCOMPARE(QFile::exists(path(QStringLiteral("basis"))), restart);
    }

    // The menus print the round on screen; printing leaves the sheet and its round alone.
    void menusPrintTheSheet_data() {
        QTest::addColumn<bool>("exporting");
        QTest::newRow("Ronde Uitprinten") << false;
        QTest::newRow("Ronde Exporteren naar PDF") << true;
    }
    void menusPrintTheSheet() {
        QFETCH(bool, exporting);
        frmMain &w = makeWindow();
        QCOMPARE(w.rondeuitprinten->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(w.rondeexporteren->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        fixture::ui(w).txtKringbaasCall->setText(QStringLiteral("PA3ABC"));
        fixture::ui(w).txtKringbaasNaam->setText(QStringLiteral("Henk"));
        fixture::ui(w).txtRondeNR->setText(QStringLiteral("12"));
        fixture::ui(w).txtDatum->setText(kDate);
        const QStringList distances = {"0", "175.5", "ver"};
        for (int i = 0; i < 3; ++i) {
            fixture::ui(w).Text1[i]->setText(QStringLiteral("PD0A%1").arg(i + 1));
            fixture::ui(w).Text5[i]->setText(distances[i]);
        }
        fixture::ui(w).cmdBeurt[1]->click();
        fixture::ui(w).cmdBeurt[1]->click();
        const storage::Round before = w.round();

        (exporting ? w.rondeexporteren : w.rondeuitprinten)->trigger();

        QCOMPARE(printer_->documents().size(), 1);
        const auto &document = printer_->documents()[0];
        QCOMPARE(document.printer, exporting ? kPdf : kOffice);
        QCOMPARE(document.name, "Ronde 12 " + kDate);
        QCOMPARE(rowTexts(document.ops),
                 QStringList({"780,3400 PD0A1", "9000,3400  Km", "780,3750 PD0A2", "8400,3750 176",
                              "9000,3750  Km", "10240,3750 2", "10550,3750 x", "780,4100 PD0A3",
                              "8400,4100 ver", "9000,4100  Km"}));
        QVERIFY(describe(document.ops)
                    .contains("text 780,15070 Verdana 11 #000000 [Kringbaas: PA3ABC, Henk via "
                              "PI4ZUD op 145.550 "
                              "Mhz]"));
        QCOMPARE(w.round(), before);
        QCOMPARE(fixture::ui(w).Text5[0]->text(), QStringLiteral("0"));
        QCOMPARE(fixture::ui(w).Text5[1]->text(), QStringLiteral("175.5"));
    }

    // --- the printing module ---------------------------------------------------------------------

    // The program loads Qt Print Support and CUPS only when printing first needs them: the PDF
    // export through the module the build made writes a real round; a module that is missing or
    // is no module prints nothing and says why in Dutch.
    void printingModuleLoadsWhenFirstNeeded_data() {
        QTest::addColumn<QString>("module");  // "built", "missing" or "no module"
        QTest::addColumn<QString>("says");
        QTest::newRow("built") << "built"
                               << "";
        QTest::newRow("missing") << "missing"
                                 << "Afdrukken is niet mogelijk: het onderdeel "
                                    "kringbaas-printing.so van Kringbaas ontbreekt.";
        QTest::newRow("no module") << "no module"
                                   << "Afdrukken is niet mogelijk: het onderdeel "
                                      "kringbaas-printing.so van Kringbaas kan niet worden geladen";
    }
    void printingModuleLoadsWhenFirstNeeded() {
        QFETCH(QString, module);
        QFETCH(QString, says);
        QString folder = QStringLiteral(KRINGBAAS_BUILD_DIR);
        if (module != QLatin1String("built")) {
            folder = path(QStringLiteral("programma"));
            QVERIFY(QDir().mkpath(folder));
            if (module == QLatin1String("no module")) {
                QFile fake(QDir(folder).filePath(QStringLiteral("kringbaas-printing.so")));
                QVERIFY(fake.open(QIODevice::WriteOnly));
                fake.write("geen bibliotheek");
            }
        }
        platform::fakes::FakeFileChooser files;
        const QString file = path(QStringLiteral("ronde.pdf"));
        files.queueAnswer(file);
        platform::LoadedPrinterSurface surface(
            files, keptPrinter_.get(),
            platform::LoadedPrinterSurface::modulePathsFor(folder, QStringLiteral("../nergens")));
        QVERIFY(!surface.isLoaded());

        print::exportRound(nullptr, surface, fakes_.messages, fullSheet());
        if (says.isEmpty()) {
            QVERIFY(surface.isLoaded());
            QCOMPARE(shownMessages(), QStringList{message(MessageStyle::OkInformation,
                                                          "Bestand geëxporteerd naar PDF bestand",
                                                          "Ronde succesvol opgeslagen")});
            const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(file);
            QVERIFY(pdf && pdf->numPages() == 1);
            return;
        }
        QVERIFY(!surface.isLoaded());
        QVERIFY(!QFile::exists(file));
        QVERIFY2(surface.lastError().startsWith(says), qPrintable(surface.lastError()));
        QCOMPARE(surface.printers(), QStringList{kPdf});
        QCOMPARE(surface.showPrinterDialog(nullptr), platform::PrinterChoice::Unchanged);
        QCOMPARE(shownMessages().size(), 1);
        QVERIFY2(shownMessages()[0].contains(says), qPrintable(shownMessages()[0]));
    }

    // --- the PDF printer ------------------------------------------------------------------------

    // A real PDF file of a full round: one portrait A4 page whose text reads back at the places
    // the list puts it.
    void pdfOfAFullRoundReadsBack() {
        platform::fakes::FakeFileChooser files;
        const QString file = path(QStringLiteral("ronde.pdf"));
        files.queueAnswer(file);
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        QCOMPARE(surface.printers().count(kPdf), 1);
        const QString before = surface.deviceName();

        print::exportRound(nullptr, surface, fakes_.messages, fullSheet());

        QCOMPARE(shownMessages(), QStringList{message(MessageStyle::OkInformation,
                                                      "Bestand geëxporteerd naar PDF bestand",
                                                      "Ronde succesvol opgeslagen")});
        QCOMPARE(surface.deviceName(), before);
        QCOMPARE(files.asked().size(), 1);
        QCOMPARE(files.asked()[0].suggestedPath,
                 QDir(platform::defaultSaveFolder()).filePath("Ronde 7 " + kDate + ".pdf"));
        QVERIFY2(QFileInfo(file).size() <= 100 * 1024,
                 qPrintable(QString::number(QFileInfo(file).size())));

        const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(file);
        QVERIFY(pdf && !pdf->isLocked());
        QCOMPARE(pdf->numPages(), 1);
        const std::unique_ptr<Poppler::Page> page = pdf->page(0);
        QCOMPARE(page->orientation(), Poppler::Page::Portrait);
        QCOMPARE(qRound(page->pageSizeF().width()), 595);  // A4, in points
        QCOMPARE(qRound(page->pageSizeF().height()), 842);

        // Words and where they stand, in twips from the top-left of the printable area.
        const double margin = platform::QtPrinterSurface::kPdfMarginMm / 25.4 * 1440;
        QMultiHash<QString, QPointF> words;
        for (const std::unique_ptr<Poppler::TextBox> &box : page->textList()) {
            words.insert(box->text(), box->boundingBox().topLeft() * 20 - QPointF(margin, margin));
        }
        auto expectAt = [&words](const QString &word, int x, int y) {
            const QList<QPointF> found = words.values(word);
            QVERIFY2(found.size() == 1,
                     qPrintable(word + QStringLiteral(" found %1 times").arg(found.size())));
            // A word's box starts at its first glyph, a little right of and below the point
            // where the text starts.
            QVERIFY2(
                qAbs(found[0].x() - x) <= 40 && found[0].y() - y >= -20 && found[0].y() - y <= 100,
                qPrintable(QStringLiteral("%1 at %2,%3, expected %4,%5")
                               .arg(word)
                               .arg(found[0].x())
                               .arg(found[0].y())
                               .arg(x)
                               .arg(y)));
        };
        expectAt(QStringLiteral("Deelnemers"), 2300, 1300);
        expectAt(QStringLiteral("Radioronde"), 2300, 1700);
        expectAt(QStringLiteral("CALL"), 780, 2850);
        for (int i = 0; i < storage::Round::kRows; ++i) {
            const int y = 3400 + 350 * i;
            expectAt(QStringLiteral("PD%1XYZ").arg(i + 10), 780, y);
            expectAt(QStringLiteral("Naam%1").arg(i + 1), 2300, y);
            expectAt(QStringLiteral("PLAATS%1").arg(i + 1), 5600, y);
        }
        QCOMPARE(words.values(QStringLiteral("Km")).size(), 30);
        QCOMPARE(words.values(QStringLiteral("x")).size(), 30);
        expectAt(QStringLiteral("Kringbaas:"), 780, 15070);
        expectAt(QStringLiteral("Kringbaas"), 780, 15800);
        QVERIFY(words.contains(QStringLiteral("PI4ZUD")));
    }

    // The column header is one text; in whatever font stands in for Verdana each title starts
    // over its column: the last one, too wide to start over the count, where Verdana puts it.
    void columnTitlesStandOverTheirColumns_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("x");
        QTest::newRow("CALL") << "CALL" << 780;
        QTest::newRow("Naam") << "Naam" << 2300;
        QTest::newRow("QTH") << "QTH" << 5600;
        QTest::newRow("Afstand") << "Afstand" << 8400;
        QTest::newRow("Spreektijd") << "Spreektijd" << 9600;
    }
    void columnTitlesStandOverTheirColumns() {
        QFETCH(QString, title);
        QFETCH(int, x);
        platform::fakes::FakeFileChooser files;
        const QString file = path(QStringLiteral("ronde.pdf"));
        files.queueAnswer(file);
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        print::exportRound(nullptr, surface, fakes_.messages, stationSheet());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        fakes_.messages.clear();

        const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(file);
        QVERIFY(pdf);
        const std::unique_ptr<Poppler::Page> page = pdf->page(0);
        const double margin = platform::QtPrinterSurface::kPdfMarginMm / 25.4 * 1440;
        QList<QPointF> found;
        for (const std::unique_ptr<Poppler::TextBox> &box : page->textList()) {
            if (box->text() == title) {
                found << box->boundingBox().topLeft() * 20 - QPointF(margin, margin);
            }
        }
        QCOMPARE(found.size(), 1);
        QVERIFY2(qAbs(found[0].x() - x) <= 100 && qAbs(found[0].y() - 2850) <= 100,
                 qPrintable(
                     QStringLiteral("%1 at %2,%3").arg(title).arg(found[0].x()).arg(found[0].y())));
    }

    // Only a written file is reported as saved; the printer that was current stays current.
    void pdfChooser_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("cancelled") << std::optional<QString>() << QStringList{};
        QTest::newRow("folder missing") << std::optional<QString>(QStringLiteral("weg/ronde.pdf"))
                                        << QStringList{QStringLiteral("Er is een fout opgetreden")};
    }
    void pdfChooser() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, shown);
        platform::fakes::FakeFileChooser files;
        files.queueAnswer(answer ? std::optional<QString>(path(*answer)) : std::nullopt);
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        const QString before = surface.deviceName();
        print::exportRound(nullptr, surface, fakes_.messages, fullSheet());
        QStringList texts;
        for (const auto &box : fakes_.messages.shown()) {
            texts << box.text;
            QCOMPARE(box.style, MessageStyle::OkCritical);
            QCOMPARE(box.title, QStringLiteral("Het bestand %1 kan niet worden geschreven: de map "
                                               "bestaat niet")
                                    .arg(QDir::toNativeSeparators(path(*answer))));
        }
        QCOMPARE(texts, shown);
        QCOMPARE(surface.deviceName(), before);
        QCOMPARE(QDir(dir_->path()).entryList({"*.pdf"}, QDir::Files), QStringList());
    }

    // The printer dialog lists every printer with the current one selected; the one picked
    // there is current, and is current again in the next run.
    // A choice that cannot be written is current for this run only, and says why.
    void printerDialogKeepsTheChoice_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("writable");
        QTest::newRow("OK") << true << true;
        QTest::newRow("Cancel") << false << true;
        QTest::newRow("OK, printer is a folder") << true << false;
    }
    void printerDialogKeepsTheChoice() {
        QFETCH(bool, ok);
        QFETCH(bool, writable);
        platform::fakes::FakeFileChooser files;
        const QString choice = path(QStringLiteral("printer"));
        if (!writable) {
            QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("printer")));
        }
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        const QString before = surface.deviceName();
        modals_->then(QStringLiteral("dlgPrinter"), [&](QWidget *window) {
            auto *dialog = qobject_cast<platform::PrinterDialog *>(window);
            QVERIFY(dialog);
            QStringList listed;
            for (int i = 0; i < dialog->lstPrinters->count(); ++i) {
                listed << dialog->lstPrinters->item(i)->text();
            }
            QCOMPARE(listed, surface.printers());
            QCOMPARE(dialog->chosen(), before);
            dialog->lstPrinters->setCurrentRow(int(listed.indexOf(kPdf)));
            ok ? dialog->accept() : dialog->reject();
        });
        const platform::PrinterChoice result = surface.showPrinterDialog(nullptr);
        QCOMPARE(surface.deviceName(), ok ? kPdf : before);
        QCOMPARE(platform::QtPrinterSurface(files, keptPrinter_.get()).deviceName(),
                 ok && writable ? kPdf : before);
        if (!ok || before == kPdf) {
            QCOMPARE(result, platform::PrinterChoice::Unchanged);
        } else if (writable) {
            QCOMPARE(result, platform::PrinterChoice::Kept);
        } else {
            QCOMPARE(result, platform::PrinterChoice::NotKept);
            QVERIFY2(
                surface.lastError().contains(QLatin1String("kon niet worden bewaard")) &&
                    surface.lastError().contains(QDir::toNativeSeparators(choice)) &&
                    surface.lastError().contains(QLatin1String("er staat een map met die naam")),
                qPrintable(surface.lastError()));
            QVERIFY(QFileInfo(choice).isDir());
        }
    }

    // Printing a text moves the current point to the left edge, one line of the font lower.
    void realSurfaceLineAdvance_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("8 points") << 8.0;
        QTest::newRow("11 points") << 11.0;
        QTest::newRow("16 points") << 16.0;
    }
    void realSurfaceLineAdvance() {
        QFETCH(double, points);
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, nullptr);
        surface.setFontName(QStringLiteral("Verdana"));
        surface.setFontSize(points);
        surface.setCurrentX(500);
        surface.setCurrentY(1500);
        surface.print(QStringLiteral("Korte tips voor de kringbaas:"));
        QCOMPARE(surface.currentX(), 0);
        const int advance = surface.currentY() - 1500;
        QVERIFY2(advance >= points * 20 && advance <= points * 20 * 1.5,
                 qPrintable(QString::number(advance)));
        // Nothing reaches a printer or a file until the document ends; a cancelled file leaves
        // a fresh surface behind.
        QVERIFY(surface.select(kPdf));
        QCOMPARE(surface.endDocument(), DocumentResult::Cancelled);
        QCOMPARE(surface.currentY(), 0);
        QCOMPARE(files.asked().size(), 1);
    }

    // The name offered for the PDF file stays a plain name in the documents folder.
    void suggestedPdfPath_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("file");
        QTest::newRow("round") << "Ronde 7 " + kDate << "Ronde 7 " + kDate + ".pdf";
        QTest::newRow("slashes") << "Ronde 7 10/12/2026"
                                 << "Ronde 7 10-12-2026.pdf";
        QTest::newRow("up a folder") << "../../etc/passwd"
                                     << "-..-etc-passwd.pdf";
        QTest::newRow("hidden") << ".verborgen"
                                << "verborgen.pdf";
        QTest::newRow("nothing") << "  "
                                 << "Kringbaas.pdf";
    }
    void suggestedPdfPath() {
        QFETCH(QString, document);
        QFETCH(QString, file);
        const HomeFolder home(true);
        QCOMPARE(platform::QtPrinterSurface::suggestedPdfPath(document),
                 QDir(home.path()).filePath(QStringLiteral("Documents/") + file));
    }

    // Files are offered in a folder that exists: the documents folder, else the home folder;
    // the real chooser stands in the folder of the name it offers, also when that folder has
    // gone in the meantime.
    void offeredFolderExists_data() {
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QString>("offeredIn");  // under the home folder; empty: the default
        QTest::addColumn<QString>("folder");     // where the chooser stands, under home
        QTest::newRow("documents folder") << true << QString() << "Documents";
        QTest::newRow("no documents folder") << false << QString() << "";
        QTest::newRow("offered in a missing folder") << true << "weg"
                                                     << "Documents";
        QTest::newRow("offered in another folder") << false << "elders"
                                                   << "elders";
    }
    void offeredFolderExists() {
        QFETCH(bool, documents);
        QFETCH(QString, offeredIn);
        QFETCH(QString, folder);
        const HomeFolder home(documents);
        const QString name = "Ronde 7 " + kDate + ".pdf";
        const QString expectedFolder = QDir(home.path()).filePath(folder);
        if (offeredIn.isEmpty()) {
            QCOMPARE(QDir::cleanPath(platform::defaultSaveFolder()),
                     QDir::cleanPath(expectedFolder));
            QCOMPARE(platform::QtPrinterSurface::suggestedPdfPath("Ronde 7 " + kDate),
                     QDir(platform::defaultSaveFolder()).filePath(name));
        } else if (offeredIn == QLatin1String("elders")) {
            QVERIFY(QDir(home.path()).mkdir(offeredIn));
        }
        const QString offered =
            offeredIn.isEmpty() ? platform::QtPrinterSurface::suggestedPdfPath("Ronde 7 " + kDate)
                                : QDir(home.path()).filePath(offeredIn + "/" + name);

        modals_->then(QStringLiteral("fileChooser"), [&](QWidget *window) {
            auto *dialog = qobject_cast<QFileDialog *>(window);
            QVERIFY(dialog);
            QCOMPARE(QDir::cleanPath(dialog->directory().absolutePath()),
                     QDir::cleanPath(expectedFolder));
            QCOMPARE(dialog->selectedFiles(), QStringList{QDir(expectedFolder).filePath(name)});
            dialog->reject();
        });
        platform::QtFileChooser chooser;
        QCOMPARE(chooser.saveFileName(nullptr, QStringLiteral("PDF bestand opslaan"), offered,
                                      QStringLiteral("PDF-bestanden (*.pdf)")),
                 std::nullopt);
    }

    // A PDF that cannot be written whole leaves the earlier file as it was, and says so.
    void aPdfThatDoesNotFitKeepsTheOldFile() {
        platform::fakes::FakeFileChooser files;
        const QString file = path(QStringLiteral("ronde.pdf"));
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("oude ronde");
        }
        files.queueAnswer(file);
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        {
            const fixture::FileSizeLimit limit(4096);
            QVERIFY(limit.ok());
            print::exportRound(nullptr, surface, fakes_.messages, fullSheet());
        }
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].title,
                 QStringLiteral("Het bestand %1 kan niet worden geschreven: het bestand wordt "
                                "groter dan toegestaan")
                     .arg(QDir::toNativeSeparators(file)));
        QFile old(file);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("oude ronde"));
        QCOMPARE(QDir(dir_->path()).entryList({"ronde.pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("ronde.pdf")});
    }

    // A print-out goes to the chosen printer's queue or nowhere: a queue that has gone, stopped
    // or refuses jobs, or a job the print system did not take, is said, naming the printer
    // (and the one standing in), and nothing goes to another printer.
    void printsOnlyOnTheChosenQueue_data() {
        using Kind = QueueState::Kind;
        QTest::addColumn<Kind>("atStart");  // the chosen queue when the program starts
        QTest::addColumn<Kind>("atPrint");  // and when the page is printed
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QStringList>("said");  // empty: printed on the chosen queue
        QTest::newRow("ready") << Kind::Ready << Kind::Ready << QString() << QStringList();
        QTest::newRow("gone before the start") << Kind::Missing << Kind::Missing << QString()
                                               << QStringList{"\"Thuisprinter\" is er niet meer",
                                                              "de huidige printer is "
                                                              "\"Kantoorprinter\"",
                                                              "ook niet op een andere printer"};
        QTest::newRow("back after the start")
            << Kind::Missing << Kind::Ready << QString() << QStringList();
        QTest::newRow("removed while running")
            << Kind::Ready << Kind::Missing << QString()
            << QStringList{"\"Thuisprinter\" is er niet", "ook niet op een andere printer"};
        QTest::newRow("not accepting jobs")
            << Kind::Ready << Kind::NotAccepting << QString()
            << QStringList{"\"Thuisprinter\" neemt geen opdrachten aan (papier op)"};
        QTest::newRow("stopped") << Kind::Ready << Kind::Stopped << QString()
                                 << QStringList{"\"Thuisprinter\" is gestopt (papier op)"};
        QTest::newRow("job refused")
            << Kind::Ready << Kind::Ready << QStringLiteral("Forbidden")
            << QStringList{"\"Thuisprinter\" heeft de afdruk niet aangenomen (Forbidden)"};
    }
    void printsOnlyOnTheChosenQueue() {
        QFETCH(QueueState::Kind, atStart);
        QFETCH(QueueState::Kind, atPrint);
        QFETCH(QString, refusal);
        QFETCH(QStringList, said);
        const QString home = QStringLiteral("Thuisprinter");
        platform::fakes::FakePrintQueues queues;
        queues.add(kOffice);
        auto put = [&](QueueState::Kind kind) {
            if (kind == QueueState::Kind::Missing) {
                queues.remove(home);
            } else {
                queues.add(home, kind, QStringLiteral("papier op"));
            }
        };
        put(atStart);
        QFile choice(path(QStringLiteral("printer")));
        QVERIFY(choice.open(QIODevice::WriteOnly));
        choice.write(home.toUtf8() + '\n');
        choice.close();
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, keptPrinter_.get(), queues);
        QCOMPARE(surface.deviceName(), atStart == QueueState::Kind::Missing ? kOffice : home);

        put(atPrint);
        if (!refusal.isEmpty()) {
            queues.failNextSubmit(refusal);
        }
        surface.setDocumentName(QStringLiteral("Ronde 7"));
        surface.print(QStringLiteral("PD0XYZ"));
        const DocumentResult result = surface.endDocument();

        if (said.isEmpty()) {
            QCOMPARE(result, DocumentResult::Printed);
            QCOMPARE(queues.jobs().size(), 1);
            QCOMPARE(queues.jobs()[0].queue, home);
            QCOMPARE(queues.jobs()[0].title, QStringLiteral("Ronde 7"));
            QVERIFY(queues.jobs()[0].pdf.startsWith("%PDF"));
            QCOMPARE(surface.deviceName(), home);
        } else {
            QCOMPARE(result, DocumentResult::Failed);
            QVERIFY(queues.jobs().isEmpty());
            QVERIFY(!queues.submitted().contains(kOffice));
            for (const QString &words : said) {
                QVERIFY2(surface.lastError().contains(words), qPrintable(surface.lastError()));
            }
        }
    }

    // Nobody prints in the first second: the queues are asked when printing first needs them,
    // not while the program starts, and the kept choice is read then.
    void queuesAskedOnlyWhenPrinting() {
        platform::fakes::FakePrintQueues queues;
        queues.add(kOffice);
        queues.add(QStringLiteral("Thuisprinter"));
        QFile choice(path(QStringLiteral("printer")));
        QVERIFY(choice.open(QIODevice::WriteOnly));
        choice.write("Thuisprinter\n");
        choice.close();
        platform::fakes::FakeFileChooser files;
        // The kept choice, counting how often it is read.
        struct CountedChoice : platform::PrinterChoiceStore {
            const platform::PrinterChoiceStore &kept;
            mutable int reads = 0;
            explicit CountedChoice(const platform::PrinterChoiceStore &store) : kept(store) {}
            QString read() const override {
                ++reads;
                return kept.read();
            }
            bool write(const QString &name, QString *reason) const override {
                return kept.write(name, reason);
            }
            QString where() const override { return kept.where(); }
        } counted(*keptPrinter_);
        platform::QtPrinterSurface surface(files, &counted, queues);
        QCOMPARE(queues.asked(), 0);
        QCOMPARE(counted.reads, 0);
        QCOMPARE(surface.deviceName(), QStringLiteral("Thuisprinter"));
        const int asked = queues.asked();
        QVERIFY(asked > 0);
        QVERIFY(surface.printers().contains(kOffice));
        QCOMPARE(queues.asked(), asked);
        QCOMPARE(counted.reads, 1);
    }

    // A failed print on the real surface reaches the user as the round's print failure.
    void aRefusedPrintIsShown() {
        platform::fakes::FakePrintQueues queues;
        queues.add(kOffice, QueueState::Kind::NotAccepting);
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, keptPrinter_.get(), queues);
        QCOMPARE(surface.deviceName(), kOffice);
        fakes_.messages.queueAnswer(MessageAnswer::Ok);
        print::printRound(nullptr, surface, fakes_.messages, stationSheet());
        QCOMPARE(fakes_.messages.shown().size(), 2);
        QCOMPARE(fakes_.messages.shown()[1].style, MessageStyle::OkCritical);
        QVERIFY2(fakes_.messages.shown()[1].title.contains(
                     QLatin1String("\"Kantoorprinter\" neemt geen opdrachten aan")),
                 qPrintable(fakes_.messages.shown()[1].title));
        QVERIFY(queues.submitted().isEmpty());
    }

    // The same against a real CUPS scheduler, run by tools/cups-print-check with a queue of
    // its own in the state it names; skipped without one.
    void realCupsQueue() {
        const QString queue = qEnvironmentVariable("KRINGBAAS_CUPS_QUEUE");
        const QString state = qEnvironmentVariable("KRINGBAAS_CUPS_STATE");
        if (queue.isEmpty()) {
            QSKIP("no CUPS queue given (tools/cups-print-check gives one)");
        }
        const QHash<QString, QString> said{
            {QStringLiteral("ready"), QString()},
            {QStringLiteral("disabled"), QStringLiteral("\"%1\" is gestopt")},
            {QStringLiteral("rejecting"), QStringLiteral("\"%1\" neemt geen opdrachten aan")},
            {QStringLiteral("removed"), QStringLiteral("\"%1\" is er niet meer")},
        };
        QVERIFY2(said.contains(state), qPrintable(state));
        QFile choice(path(QStringLiteral("printer")));
        QVERIFY(choice.open(QIODevice::WriteOnly));
        choice.write(queue.toUtf8() + '\n');
        choice.close();
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        surface.setDocumentName(QStringLiteral("Kringbaas CUPS-proef"));
        surface.print(QStringLiteral("PD0XYZ"));
        const DocumentResult result = surface.endDocument();
        if (said[state].isEmpty()) {
            QVERIFY2(result == DocumentResult::Printed, qPrintable(surface.lastError()));
            QCOMPARE(surface.deviceName(), queue);
        } else {
            QCOMPARE(result, DocumentResult::Failed);
            QVERIFY2(surface.lastError().contains(said[state].arg(queue)),
                     qPrintable(surface.lastError()));
        }
        QCOMPARE(files.asked().size(), 0);
    }

    // A chosen printer that has gone while no other printer is there stays current: the PDF
    // printer would ask for a file instead of saying that the printer is not there.
    void aGoneChoiceWithoutAnotherPrinterStaysCurrent() {
        QFile file(path(QStringLiteral("printer")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Printer die er niet meer is\n");
        file.close();
        platform::fakes::FakePrintQueues queues;
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, keptPrinter_.get(), queues);
        QCOMPARE(surface.deviceName(), QStringLiteral("Printer die er niet meer is"));
        QVERIFY(surface.printers().contains(surface.deviceName()));
        QVERIFY(surface.printers().contains(kPdf));
        surface.print(QStringLiteral("PD0XYZ"));
        QCOMPARE(surface.endDocument(), DocumentResult::Failed);
        QVERIFY2(surface.lastError().contains(
                     QLatin1String("\"Printer die er niet meer is\" is er niet meer")),
                 qPrintable(surface.lastError()));
        QCOMPARE(files.asked().size(), 0);
        QVERIFY(queues.submitted().isEmpty());
    }

    // --- the tips -----------------------------------------------------------------------------

    void tipsText() {
        const QStringList lines = print::tipsWindowLines();
        QCOMPARE(lines.size(), 28);
        QCOMPARE(print::tipsWindowText(), lines.join(QStringLiteral("\r\n")) + "\r\n");
        for (int empty : {6, 9, 11, 17, 19, 21, 23, 26}) {
            QCOMPARE(lines[empty - 1], QString());
        }
        QCOMPARE(lines[24], QStringLiteral("e-mail :  kringbaas@example.org"));
        QVERIFY(lines[12].endsWith(QLatin1String("amateur. ")));
        QVERIFY(lines[14].endsWith(QLatin1String("automatisch ")));
        QCOMPARE(lines[27], QStringLiteral("Bram, QX9ZZA    73"));

        const QStringList page = print::tipsPageLines();
        QCOMPARE(page.size(), 38);
        QCOMPARE(page[0], QStringLiteral("Korte tips voor de kringbaas:"));
        QCOMPARE(page[26], QStringLiteral("e-mail :  kringbaas@example.org"));
        QCOMPARE(page[28], QStringLiteral("Veel succes met de ronde(s),"));
        for (int i = 30; i < 38; ++i) {
            QCOMPARE(page[i], QStringLiteral(" "));
        }
    }

    // The help menu shows the tips modally; Print prints the page, twice gives two equal
    // pages; OK, Enter and Escape close the window.
    void tipsWindow_data() {
        QTest::addColumn<int>("closeKey");  // 0: a click on OK
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void tipsWindow() {
        QFETCH(int, closeKey);
        frmMain &w = makeWindow();
        bool answered = false;
        modals_->then(QStringLiteral("frmTip"), [&](QWidget *window) {
            auto *tip = qobject_cast<print::frmTip *>(window);
            QVERIFY(tip);
            answered = true;
            QCOMPARE(tip->parentWidget(), &w);
            QCOMPARE(tip->windowTitle(), QStringLiteral("Handige gebruikers tips"));
            QCOMPARE(tip->textbox1->toPlainText(),
                     print::tipsWindowLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
            QCOMPARE(tip->Command1->text(), QStringLiteral("Print"));
            QCOMPARE(tip->cmdOK->text(), QStringLiteral("OK"));
            QTest::mouseClick(tip->Command1, Qt::LeftButton);
            QTest::mouseClick(tip->Command1, Qt::LeftButton);
            if (closeKey == 0) {
                QTest::mouseClick(tip->cmdOK, Qt::LeftButton);
            } else {
                QTest::keyClick(tip->textbox1, Qt::Key(closeKey));
            }
        });
        w.help->trigger();
        QVERIFY(answered);
        QCOMPARE(printer_->documents().size(), 2);
        for (const FakePrinterSurface::Document &document : printer_->documents()) {
            QCOMPARE(document.name, QStringLiteral("Korte tips voor de kringbaas"));
        }
        QCOMPARE(describe(printer_->documents()[0].ops), describe(printer_->documents()[1].ops));
        QVERIFY(fakes_.messages.shown().isEmpty());
    }

    // Enter presses the focused Print button, which prints and leaves the window open; with the
    // focus anywhere else Enter is OK's.
    void enterOnTheFocusedPrintButtonPrints_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void enterOnTheFocusedPrintButtonPrints() {
        QFETCH(int, key);
        print::frmTip tip(printer_.get(), fakes_.messages);
        tip.setModal(false);  // shown on its own here, not over the main window
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QCOMPARE(QApplication::focusWidget(), tip.cmdOK);
        QTest::keyClick(tip.cmdOK, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), tip.Command1);
        QTest::keyClick(tip.Command1, Qt::Key(key));
        QCOMPARE(printer_->documents().size(), 1);
        QVERIFY(tip.isVisible());

        tip.textbox1->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(tip.textbox1, Qt::Key(key));
        QVERIFY(!tip.isVisible());
        QCOMPARE(tip.result(), int(QDialog::Accepted));
        QCOMPARE(printer_->documents().size(), 1);
    }

    // The printed tips as a real PDF: titled, and its text searchable as it was written, without
    // ligatures standing in for letters.
    void tipsPdfReadsBack() {
        platform::fakes::FakeFileChooser files;
        const QString file = path(QStringLiteral("tips.pdf"));
        files.queueAnswer(file);
        platform::QtPrinterSurface surface(files, keptPrinter_.get());
        QVERIFY(surface.select(kPdf));
        print::frmTip tip(&surface, fakes_.messages);
        tip.Command1_Click();
        QVERIFY(fakes_.messages.shown().isEmpty());
        QCOMPARE(files.asked().size(), 1);
        QCOMPARE(QFileInfo(files.asked()[0].suggestedPath).fileName(),
                 QStringLiteral("Korte tips voor de kringbaas.pdf"));

        const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(file);
        QVERIFY(pdf && !pdf->isLocked());
        QCOMPARE(pdf->info(QStringLiteral("Title")),
                 QStringLiteral("Korte tips voor de kringbaas"));
        const std::unique_ptr<Poppler::Page> page = pdf->page(0);
        const QString text = page->text(QRectF());
        QVERIFY2(text.count(QStringLiteral("betreffende")) == 2, qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Korte tips voor de kringbaas:")));
        for (const QChar c : text) {
            QVERIFY2(c.unicode() < 0xFB00 || c.unicode() > 0xFB06,
                     qPrintable(QStringLiteral("ligature U+%1").arg(c.unicode(), 4, 16)));
        }
    }

    void tipsPage() {
        print::drawTipsPage(*printer_);
        const QStringList page = print::tipsPageLines();
        QStringList expected;
        const int lineHeight = 8 * FakePrinterSurface::kTwipsPerPointLine;
        for (int i = 0; i < page.size(); ++i) {
            expected << QStringLiteral("text 500,%1 verdana 8%2 #000000 [%3]")
                            .arg(1500 + lineHeight * i)
                            .arg(i == 0 ? QStringLiteral(" bold") : QString(), page[i]);
        }
        QCOMPARE(describe(printer_->pendingOps()), expected);
    }

    void aFailingTipsPrintIsShown() {
        print::frmTip tip(printer_.get(), fakes_.messages);
        printer_->queueResult(DocumentResult::Failed, QStringLiteral("De printer is weg"));
        tip.Command1_Click();
        QCOMPARE(shownMessages(), QStringList{message(MessageStyle::OkCritical, "De printer is weg",
                                                      "Er is een fout opgetreden")});
    }

    // The tips page on a queue that is stopped or takes no jobs: said, and no job is made.
    void aRefusedTipsPrintIsShown_data() {
        QTest::addColumn<QueueState::Kind>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("stopped") << QueueState::Kind::Stopped << "\"Kantoorprinter\" is gestopt";
        QTest::newRow("not accepting jobs")
            << QueueState::Kind::NotAccepting << "\"Kantoorprinter\" neemt geen opdrachten aan";
    }
    void aRefusedTipsPrintIsShown() {
        QFETCH(QueueState::Kind, kind);
        QFETCH(QString, said);
        platform::fakes::FakePrintQueues queues;
        queues.add(kOffice, kind);
        platform::fakes::FakeFileChooser files;
        platform::QtPrinterSurface surface(files, keptPrinter_.get(), queues);
        print::frmTip tip(&surface, fakes_.messages);
        tip.Command1_Click();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        QVERIFY2(fakes_.messages.shown()[0].title.contains(said),
                 qPrintable(fakes_.messages.shown()[0].title));
        QVERIFY(queues.submitted().isEmpty());
    }
};

KB_TEST_MAIN(PrintTest)
#include "tst_print.moc"
