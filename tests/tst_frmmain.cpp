#include "Fixture.h"
#include "FullDisk.h"
#include "TestMain.h"

#include "MainControls.h"
#include "platform/Twips.h"
#include "roundmodel/DateTexts.h"
#include "roundsheet/frmMain.h"
#include "storage/TableCursor.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <memory>

using platform::MessageStyle;
using roundsheet::frmMain;

namespace {

using fixture::readFile;
using fixture::storedField;
using fixture::writeFile;

// Rounds stored before the window opens: round n has rondecall "PA<n>" and a distance in row 1.
void seedRounds(const QString &folder, int count) {
    fixture::seedTable(folder, "ronde", fixture::numberedRounds(count));
}

}  // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    std::unique_ptr<frmMain> w_;

    QString folder() const { return dir_->path(); }
    QString file(const char *name) const { return QDir(folder()).filePath(QLatin1String(name)); }

    frmMain &makeWindow() {
        w_ = fixture::makeMainWindow(folder(), fakes_.services());
        return *w_;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), QTime(20, 15, 0)));
        fakes_.messages.clear();
        fakes_.web.clear();
    }
    void cleanup() {
        if (w_) {
            w_->close();
        }
        w_.reset();
    }

    void startupReadsTheSettings_data() {
        QTest::addColumn<QByteArray>("stem");
        QTest::addColumn<QByteArray>("rondetijd");
        QTest::addColumn<QByteArray>("basis");
        QTest::addColumn<bool>("spraak");
        QTest::addColumn<QString>("planned");
        QTest::addColumn<QStringList>("station");  // call, locatie, frequentie, band, grid
        QTest::addColumn<QString>("loc0");

        QTest::newRow("all there")
            << QByteArray("1\r\n") << QByteArray("45\r\n")
            << QByteArray("PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n") << true << "45"
            << QStringList{"PI4ZUD", "Zoetermeer", "145.550", "Mhz", "JO22ab"} << "JO22ab";
        QTest::newRow("no files") << QByteArray() << QByteArray() << QByteArray() << false << ""
                                  << QStringList{"", "", "", "", ""} << "";
        QTest::newRow("short basis") << QByteArray("0\r\n") << QByteArray("\r\n")
                                     << QByteArray("PI4ZUD\r\nDelft\r\n7.055\r\n") << false << ""
                                     << QStringList{"PI4ZUD", "Delft", "7.055", "", ""} << "";
        QTest::newRow("blanks around the grid")
            << QByteArray(" 1x\r\n") << QByteArray("lang\r\n")
            << QByteArray("A\r\nB\r\nC\r\nD\r\n  jo22AB \r\n") << true << "lang"
            << QStringList{"A", "B", "C", "D", "  jo22AB "} << "jo22AB";
        QTest::newRow("stem not a number")
            << QByteArray("aan\r\n") << QByteArray("30") << QByteArray("\r\n\r\n\r\n\r\nJO33AB")
            << false << "30" << QStringList{"", "", "", "", "JO33AB"} << "JO33AB";
    }
    void startupReadsTheSettings() {
        QFETCH(QByteArray, stem);
        QFETCH(QByteArray, rondetijd);
        QFETCH(QByteArray, basis);
        if (!stem.isNull()) {
            writeFile(file("stem"), stem);
        }
        if (!rondetijd.isNull()) {
            writeFile(file("rondetijd"), rondetijd);
        }
        if (!basis.isNull()) {
            writeFile(file("basis"), basis);
        }
        frmMain &w = makeWindow();
        QTEST(w.spraak->isChecked(), "spraak");
        QTEST(w.sheet().plannedTime(), "planned");
        const QStringList station = {
            fixture::ui(w).txtGroepsCall->text(), fixture::ui(w).txtLocatie->text(),
            fixture::ui(w).txtFrequentie->text(), fixture::ui(w).txtBand->text(),
            fixture::ui(w).txtGridHome->text()};
        QTEST(station, "station");
        QTEST(fixture::ui(w).txtLoc[0]->text(), "loc0");
        QCOMPARE(fixture::ui(w).lblWeek->text(), QStringLiteral("Week 49"));
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }

    void roundDateUsesTheLocaleNames() {
        const QDate date(2026, 3, 5);
        QCOMPARE(roundmodel::roundDateText(date, QLocale(QLocale::Dutch, QLocale::Netherlands)),
                 QStringLiteral("donderdag 05 maart 2026"));
        QCOMPARE(roundmodel::roundDateText(date, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("Thursday 05 March 2026"));
    }

    void weekNumbers_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("week");
        // 2026 begins on a Thursday: its first full week begins on Monday 5 January.
        QTest::newRow("before the first full week") << QDate(2026, 1, 4) << 52;
        QTest::newRow("first Monday") << QDate(2026, 1, 5) << 1;
        QTest::newRow("first Sunday") << QDate(2026, 1, 11) << 1;
        QTest::newRow("second Monday") << QDate(2026, 1, 12) << 2;
        QTest::newRow("today") << QDate(2026, 12, 10) << 49;
        QTest::newRow("last day of 2026") << QDate(2026, 12, 31) << 52;
        // 2024 begins on a Monday: 1 January is week 1.
        QTest::newRow("year begins on Monday") << QDate(2024, 1, 1) << 1;
        QTest::newRow("53 weeks") << QDate(2024, 12, 30) << 53;
        QTest::newRow("after a 53-week year") << QDate(2025, 1, 5) << 53;
        QTest::newRow("2025 first full week") << QDate(2025, 1, 6) << 1;
        QTest::newRow("leap day") << QDate(2028, 2, 29) << 9;
    }
    void weekNumbers() {
        QFETCH(QDate, date);
        QTEST(roundmodel::weekNumber(date), "week");
    }

    void closingGreetsByTheHour_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("greeting");
        const QString night = QStringLiteral("een prettige nacht verder.\n 73 van QX9ZZA");
        const QString morning = QStringLiteral("Een prettige morgen verder.\n73 van QX9ZZA");
        const QString afternoon = QStringLiteral("Een prettige middag verder.\n73 van QX9ZZA");
        const QString evening = QStringLiteral("Een prettige avond verder.\n 73 van QX9ZZA");
        QTest::newRow("00:00") << QTime(0, 0) << night;
        QTest::newRow("05:59") << QTime(5, 59) << night;
        QTest::newRow("06:00") << QTime(6, 0) << morning;
        QTest::newRow("11:59") << QTime(11, 59) << morning;
        QTest::newRow("12:00") << QTime(12, 0) << afternoon;
        QTest::newRow("17:59") << QTime(17, 59) << afternoon;
        QTest::newRow("18:00") << QTime(18, 0) << evening;
        QTest::newRow("23:59") << QTime(23, 59) << evening;
    }
    void closingGreetsByTheHour() {
        QFETCH(QTime, time);
        QFETCH(QString, greeting);
        writeFile(file("flag"), "aan\r\n");
        seedRounds(folder(), 3);
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        fakes_.clock.setLocalNow(QDateTime(QDate(2026, 12, 10), time));
        w.close();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("Ronde is opgeslagen! ") + greeting);
        QCOMPARE(fakes_.messages.shown()[0].title,
                 QStringLiteral("Afsluiten en opslaan van ronde 3"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkInformation);
    }

    void closingMessageOnlyForExactlyAan_data() {
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<bool>("message");
        QTest::newRow("aan") << QByteArray("aan\r\n") << true;
        QTest::newRow("uit") << QByteArray("uit\r\n") << false;
        QTest::newRow("Aan") << QByteArray("Aan\r\n") << false;
        QTest::newRow("aan with a blank") << QByteArray("aan \r\n") << false;
        QTest::newRow("no file") << QByteArray() << false;
    }
    void closingMessageOnlyForExactlyAan() {
        QFETCH(QByteArray, flag);
        QFETCH(bool, message);
        if (!flag.isNull()) {
            writeFile(file("flag"), flag);
        }
        frmMain &w = makeWindow();
        fixture::ui(w).txtKringbaasNaam->setText(QStringLiteral("Henk"));
        fixture::ui(w).txtGroepsCall->setText(QStringLiteral("PI4ZUD"));
        w.close();
        QCOMPARE(fakes_.messages.shown().size(), message ? 1 : 0);
        // The round and the station fields are stored either way.
        QCOMPARE(storedField(folder(), "kringbaas"), QStringList{"Henk"});
        QCOMPARE(readFile(file("basis")), QByteArray("PI4ZUD\r\n\r\n\r\n\r\n\r\n"));
    }

    void latestRoundIsShownWithItsNumber() {
        seedRounds(folder(), 10);
        frmMain &w = makeWindow();
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 1 van de 10"));
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA1"));
        w.tmrRonde_Timer();
        QVERIFY(!w.tmrRonde->isActive());
        QCOMPARE(fixture::ui(w).txtKringbaasCall->text(), QStringLiteral("PA10"));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("10"));
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 10 van de 10"));

        fixture::ui(w).Data1->Recordset().setAbsolutePosition(2);
        QCOMPARE(fixture::ui(w).Data1->Caption(), QStringLiteral("Ronde : 3 van de 10"));
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("3"));
    }

    void showingRoundsEmptiesDistancesButKeepsThemStored() {
        seedRounds(folder(), 4);
        frmMain &w = makeWindow();
        w.tmrRonde_Timer();
        QCOMPARE(fixture::ui(w).Text1[0]->text(), QStringLiteral("PD4ABC"));
        QCOMPARE(fixture::ui(w).Text5[0]->text(), QString());
        fixture::ui(w).Data1->previousButton()->click();
        fixture::ui(w).Data1->firstButton()->click();
        fixture::ui(w).Data1->lastButton()->click();
        // An edit of another field is stored without wiping the distance.
        fixture::ui(w).Text4[0]->setText(QStringLiteral("Antenne"));
        w.close();
        QCOMPARE(storedField(folder(), "weg1"), QStringList({"101", "102", "103", "104"}));
        QCOMPARE(storedField(folder(), "on1").last(), QStringLiteral("Antenne"));
    }

    void emptyRoundTableShowsZero() {
        frmMain &w = makeWindow();
        QVERIFY(fixture::ui(w).Data1->Recordset().Delete());
        w.tmrRonde_Timer();
        QCOMPARE(fixture::ui(w).txtRondeNR->text(), QStringLiteral("0"));
    }

    void calculatorShowsDistance() {
        frmMain &w = makeWindow();
        fixture::ui(w).txtLoc[0]->setText(QStringLiteral("JO22ab"));
        fixture::ui(w).txtLoc[1]->setText(QStringLiteral("jo33ab"));
        fixture::ui(w).cmdCalc->click();
        QCOMPARE(fixture::ui(w).labDistance->text(), QStringLiteral("176"));
        QCOMPARE(fixture::ui(w).labLat[0]->text(), QStringLiteral("052:03:45 (52,0625)"));
        QCOMPARE(fixture::ui(w).labLong[0]->text(), QStringLiteral("004:02:30 (4,04167)"));
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }

    void invalidLocatorKeepsThePreviousDistance_data() {
        QTest::addColumn<QString>("loc0");
        QTest::addColumn<QString>("loc1");
        QTest::addColumn<int>("failing");
        QTest::newRow("first") << "JO22A"
                               << "JO33AB" << 0;
        QTest::newRow("second, leading blank") << "JO22ab"
                                               << " JO33AB" << 1;
        QTest::newRow("second empty") << "JO22ab"
                                      << "" << 1;
        QTest::newRow("both: only the first counts") << "JY22AB"
                                                     << "JO22AZ" << 0;
    }
    void invalidLocatorKeepsThePreviousDistance() {
        QFETCH(QString, loc0);
        QFETCH(QString, loc1);
        QFETCH(int, failing);
        frmMain &w = makeWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        fixture::ui(w).txtLoc[0]->setText(QStringLiteral("JO22ab"));
        fixture::ui(w).txtLoc[1]->setText(QStringLiteral("JO22ab"));
        w.cmdCalc_Click();
        QCOMPARE(fixture::ui(w).labDistance->text(), QStringLiteral("1"));
        fixture::ui(w).txtLoc[0]->setText(loc0);
        fixture::ui(w).txtLoc[1]->setText(loc1);
        w.cmdCalc_Click();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].title,
                 QStringLiteral("GRID locatie onjuist ingevoerd"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("Onjuist Zender Locatie Formaat\r\nMoet zijn 6 Characters\r\n"
                                "2 Letters (a tot x), 2 Nummers (0 tot 9), 2 Letters (a tot z)\r\n"
                                "(Hoofdletter ongevoelig)"));
        QCOMPARE(fixture::ui(w).labDistance->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), fixture::ui(w).txtLoc[failing]);
    }

    void stationFieldRules() {
        frmMain &w = makeWindow();
        fixture::ui(w).txtGridHome->setText(QStringLiteral(" jo22AB "));
        w.txtGridHome_LostFocus();
        QCOMPARE(fixture::ui(w).txtGridHome->text(), QStringLiteral("JO22ab"));
        QCOMPARE(fixture::ui(w).txtLoc[0]->text(), QStringLiteral("JO22ab"));
        fixture::ui(w).txtBand->clear();
        w.txtBand_LostFocus();
        QCOMPARE(fixture::ui(w).txtBand->text(), QStringLiteral("Mhz"));
        fixture::ui(w).txtBand->setText(QStringLiteral("kHz"));
        w.txtBand_LostFocus();
        QCOMPARE(fixture::ui(w).txtBand->text(), QStringLiteral("kHz"));
    }

    void webPages() {
        seedRounds(folder(), 1);
        frmMain &w = makeWindow();
        w.Text1_DblClick(1);  // empty call: nothing
        QCOMPARE(fakes_.web.opened().size(), 0);
        w.Text1_DblClick(0);
        w.whatsapp->trigger();
        w.jitsy->trigger();
        QCOMPARE(fakes_.web.opened().size(), 3);
        QCOMPARE(fakes_.web.opened()[0].toString(),
                 QStringLiteral("https://www.qrz.com/db/PD1ABC"));
        QCOMPARE(fakes_.web.opened()[1], platform::webpages::whatsApp());
        QCOMPARE(fakes_.web.opened()[2], platform::webpages::jitsiRoom());
    }

    void fixedSizeComesBack() {
        frmMain &w = makeWindow();
        w.show();
        const QSize fixed = w.size();
        QCOMPARE(w.centralWidget()->size(), QSize(1249, 886));
        w.resize(800, 600);
        QCOMPARE(w.size(), fixed);
        w.setGeometry(10, 10, 2000, 1500);
        QCOMPARE(w.size(), fixed);
    }

    // A fixed single border without minimise and maximise buttons, centred on the screen when
    // first shown (as far as the screen allows: the title bar stays in view).
    void borderAndPlace() {
        frmMain &w = makeWindow();
        const Qt::WindowFlags flags = w.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        w.move(3, 7);
        w.show();
        const QRect available = w.screen()->availableGeometry();
        const QPoint centred = available.center() - QPoint(w.frameGeometry().width() / 2,
                                                           w.frameGeometry().height() / 2);
        QCOMPARE(w.pos(), QPoint(std::max(centred.x(), available.left()),
                                 std::max(centred.y(), available.top())));
        w.hide();
        w.move(3, 7);
        w.show();
        QCOMPARE(w.pos(), QPoint(3, 7));  // only when first shown
    }

    void rowsAndNames() {
        frmMain &w = makeWindow();
        QCOMPARE(fixture::ui(w).Label6[0]->text(), QStringLiteral(" 1"));
        QCOMPARE(fixture::ui(w).Label6[9]->text(), QStringLiteral("10"));
        QCOMPARE(fixture::ui(w).Label6[29]->text(), QStringLiteral("30"));
        QCOMPARE(fixture::ui(w).Text1[0]->y(), platform::twips(1680));
        QCOMPARE(fixture::ui(w).Text1[29]->y(), platform::twips(1680 + 29 * 360));
        QCOMPARE(fixture::ui(w).Label6[29]->y(), platform::twips(1360 + 30 * 360));
        QCOMPARE(fixture::ui(w).Check1[29]->y(), platform::twips(1400 + 30 * 360));
        // A screen reader can name every control the user reaches, and tells each row's
        // controls apart.
        QSet<QString> named;
        for (QWidget *control : w.findChildren<QWidget *>()) {
            const bool reachable =
                control->isVisibleTo(&w) && control->isEnabled() &&
                (qobject_cast<QLineEdit *>(control) || qobject_cast<QAbstractButton *>(control));
            if (!reachable || control->objectName().startsWith(QLatin1String("qt_")) ||
                control->geometry().top() > platform::twips(13290)) {
                continue;
            }
            const QString name =
                control->accessibleName() + QLatin1Char('|') + control->accessibleDescription();
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!named.contains(name) || qobject_cast<QToolButton *>(control),
                     qPrintable(name));
            named.insert(name);
        }
        QCOMPARE(roundmodel::modeWord(w.sheet().mode()), QStringLiteral("Text6"));
        QCOMPARE(w.exitprog->text(), QStringLiteral("Exit  programma"));
        QCOMPARE(w.exitprog->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    }

    void escapeReachesTheWindowOnlyWithoutFocus() {
        frmMain &w = makeWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        fixture::ui(w).txtLocatie->setFocus();
        QTest::keyClick(fixture::ui(w).txtLocatie, Qt::Key_Escape);
        QCOMPARE(fakes_.messages.shown().size(), 0);
        QApplication::focusWidget()->clearFocus();
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text, QStringLiteral("Ja"));
        QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Kringbaas"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkOnly);
    }

    void hamListOpensFromTheMenu() {
        frmMain &w = makeWindow();
        w.show();
        QString title;
        QTimer::singleShot(0, &w, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            title = modal->windowTitle();
            modal->close();
        });
        w.hamlijst->trigger();
        QCOMPARE(title,
                 QStringLiteral("HAM Lijst  (verzameling regelmatige/nieuwe) ronde bezoekers"));
    }

    // Station fields that cannot be written at closing: the close goes on, the old file stays
    // whole, and the user hears that the fields are not kept.
    void stationFieldsNotKeptAreSaid_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("basis is a folder") << "folder";
        QTest::newRow("file size limit") << "limit";
        QTest::newRow("real full disk") << "disk";
    }
    void stationFieldsNotKeptAreSaid() {
        QFETCH(QString, way);
        std::unique_ptr<fixture::SmallDisk> disk;
        if (way == QLatin1String("disk")) {
            disk = std::make_unique<fixture::SmallDisk>(folder());
            if (!disk->mounted()) {
                QSKIP(disk->why().constData());
            }
        }
        const QByteArray old("PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n");
        writeFile(file("basis"), old);
        frmMain &w = makeWindow();
        QCOMPARE(fixture::ui(w).txtGroepsCall->text(), QStringLiteral("PI4ZUD"));
        fixture::ui(w).txtGroepsCall->setText(QStringLiteral("PA3ABC"));
        if (way == QLatin1String("folder")) {
            QVERIFY(QFile::remove(file("basis")));
            QVERIFY(QDir(folder()).mkdir(QStringLiteral("basis")));
        } else if (disk) {
            QVERIFY(disk->fill());
        }
        {
            std::unique_ptr<fixture::FileSizeLimit> limit;
            if (way == QLatin1String("limit")) {
                limit = std::make_unique<fixture::FileSizeLimit>(0);
                QVERIFY(limit->ok());
            }
            w.close();
        }
        QVERIFY(!w.isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("De zendergegevens zijn niet bewaard: het bestand basis kan niet "
                                "worden geschreven."));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
        if (way != QLatin1String("folder")) {
            QCOMPARE(readFile(file("basis")), old);
        }
        w_.reset();
    }

    // The whole way through the real window and a real message box.
    void endToEndCloseWithRealMessageBox() {
        writeFile(file("flag"), "aan\r\n");
        writeFile(file("basis"), "PI4ZUD\r\nZoetermeer\r\n145.550\r\n\r\nJO22ab\r\n");
        seedRounds(folder(), 2);
        platform::QtMessageBoxes realBoxes;
        platform::EventLoopTimers realTimers;
        auto window = std::make_unique<frmMain>(
            folder(), roundsheet::Services{realBoxes, fakes_.clock, fakes_.web, realTimers});
        window->load();
        window->startupTimer->stop();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(fixture::ui(*window).txtRondeNR->text(),
                     QStringLiteral("2"));  // the one-shot move
        fixture::ui(*window).Text2[1]->setText(QStringLiteral("Truus"));

        QString title;
        QString text;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Information);
            box->button(QMessageBox::Ok)->click();
        });
        window->exitprog->trigger();
        QCOMPARE(title, QStringLiteral("Afsluiten en opslaan van ronde 2"));
        QCOMPARE(text,
                 QStringLiteral("Ronde is opgeslagen! Een prettige avond verder.\n 73 van QX9ZZA"));
        QVERIFY(!window->isVisible());
        QCOMPARE(storedField(folder(), "naam2"), QStringList({"", "Truus"}));
        QCOMPARE(readFile(file("basis")),
                 QByteArray("PI4ZUD\r\nZoetermeer\r\n145.550\r\n\r\nJO22ab\r\n"));
    }
};

KB_TEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
