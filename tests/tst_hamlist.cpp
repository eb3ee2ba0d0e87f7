#include "Fixture.h"
#include "FullDisk.h"
#include "MainControls.h"
#include "TestMain.h"

#include "hamlist/frmAmateur.h"
#include "hamlist/frmMessage.h"
#include "hamlist/frmMultiFound.h"
#include "platform/Twips.h"
#include "roundsheet/frmDialog.h"
#include "roundsheet/frmMain.h"
#include "roundsheet/frmToevoegen.h"
#include "storage/Database.h"
#include "storage/Sql.h"
#include "storage/TableCursor.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <sqlite3.h>

#include <functional>
#include <memory>

using hamlist::frmAmateur;
using hamlist::frmMessage;
using hamlist::frmMultiFound;
using platform::MessageAnswer;
using platform::MessageStyle;
using platform::twips;

Q_DECLARE_METATYPE(platform::MessageAnswer)

namespace {

enum Field { kCall, kNaam, kAdres, kPostcode, kQth, kGrid, kLand, kTelefoon, kEmail, kByz };

// A ham as stored: call, naam, adres, postcode, qth, grid, land, telefoon, email, byzonderheden.
using Ham = QStringList;

const QList<Ham> kHams = {
    {"PA3ABC", "JAN", "Dorpsstraat 1", "1234 AB", "UTRECHT", "JO22ab", "NEDERLAND", "030-1234567",
     "jan@example.nl", "Komt elke week"},
    {"PD0XYZ", "ANTON", "Kerkweg 5", "2345 BC", "DEN HAAG", "JO22cd", "NEDERLAND", "",
     "anton@example.nl", "Zendt met 5 W"},
    {"ON4ABC", "PIET", "Grote Markt 3", "", "GENT", "JO11ab", "BELGIE", "", "piet@example.be", ""},
    {"PE1AAA", "JANSSEN", "Laan 7", "3456 CD", "AMSTERDAM", "JO22ef", "NEDERLAND", "", "",
     "Antenne: beam"},
    {"PA3ABCD", "KEES", "", "", "UTRECHT", "", "NEDERLAND", "", "", "Heeft een 2m beam"},
};

using fixture::readFile;
using fixture::writeFile;

QString databasePath(const QString &folder) {
    return fixture::databasePath(folder);
}

// The ham table holds exactly these hams, in this order.
void seedHams(const QString &folder, const QList<Ham> &hams) {
    fixture::seedRows(folder, "qrz", hams);
}

// What is stored, read past the window.
QList<Ham> storedHams(const QString &folder) {
    return fixture::storedRows(folder, "qrz");
}

// One line of the hit list, written out column by column.
QString listLine(int position, const QString &call, const QString &naam, const QString &qth) {
    return QString::number(position).rightJustified(4, QLatin1Char('0')) + QStringLiteral(" | ") +
           call.leftJustified(7, QLatin1Char(' '), true) + QStringLiteral(" | ") +
           naam.leftJustified(22, QLatin1Char(' '), true) + QStringLiteral(" | ") + qth;
}

QString listLine(int position) {
    const Ham &ham = kHams[position];
    return listLine(position, ham[kCall], ham[kNaam], ham[kQth]);
}

// Types a text key by key, as a keyboard or an input method gives it: each character (a pair of
// surrogates as one) as the text of a key.
void typeText(QWidget *widget, const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, width),
                            Qt::NoModifier);
        i += width - 1;
    }
}

// Answers the next modal window, whatever its name.
class ModalAnswer : public ModalAnswers {
public:
    explicit ModalAnswer(Action action) { then({}, std::move(action)); }
    bool seen() const { return !ModalAnswers::seen().isEmpty(); }
};
}  // namespace

class HamListTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fixture::Fakes fakes_;
    QPointer<frmAmateur> w_;

    QString folder() const { return dir_->path(); }

    // The window over the given hams, with its timers left to the test.
    frmAmateur &makeWindow(const QList<Ham> &hams = kHams) {
        seedHams(folder(), hams);
        w_ = new frmAmateur(folder(), fakes_.services());
        w_->opstarttimer->stop();
        w_->Timer1->stop();
        return *w_;
    }

    // The window as the user finds it: shown, active, on the last ham.
    frmAmateur &shownWindow(const QList<Ham> &hams = kHams) {
        frmAmateur &w = makeWindow(hams);
        w.opstarttimer_Timer();
        w.show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(&w)); }();
        return w;
    }

    int position() const { return w_->Data1->Recordset().AbsolutePosition(); }

    QStringList shownTexts() const {
        QStringList texts;
        for (const auto &box : fakes_.messages.shown()) {
            texts << box.text;
        }
        return texts;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fakes_.messages.clear();
        fakes_.web.clear();
    }
    void cleanup() {
        delete w_.data();
        QCOMPARE(fakes_.messages.pendingAnswers(), 0);
    }

    // --- opening -------------------------------------------------------------------------------

    void openingShowsTheFirstHamThenMovesToTheLast() {
        seedHams(folder(), kHams);
        w_ = new frmAmateur(folder(), fakes_.services());
        frmAmateur &w = *w_;
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 1 van de 5"));
        QCOMPARE(w.fieldText(kCall), QStringLiteral("PA3ABC"));
        QVERIFY(w.opstarttimer->fire());
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 5 van de 5"));
        QCOMPARE(w.fieldText(kCall), QStringLiteral("PA3ABCD"));
        QCOMPARE(w.fieldText(kByz), QStringLiteral("Heeft een 2m beam"));
        QVERIFY(!w.Command1->isEnabled());
        QCOMPARE(w.Combo1->currentIndex(), 0);
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }

    void partialCallSettingAtStartAndFromTheMenu_data() {
        QTest::addColumn<QByteArray>("file");  // null: no file
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << QByteArray("1\r\n") << true;
        QTest::newRow("1 without line end") << QByteArray("1") << true;
        QTest::newRow("1 and a blank") << QByteArray("1 \r\n") << false;
        QTest::newRow("11") << QByteArray("11\r\n") << false;
        QTest::newRow("0") << QByteArray("0\r\n") << false;
        QTest::newRow("no file") << QByteArray() << false;
    }
    void partialCallSettingAtStartAndFromTheMenu() {
        QFETCH(QByteArray, file);
        QFETCH(bool, on);
        const QString prtcall = QDir(folder()).filePath(QStringLiteral("prtcall"));
        if (!file.isNull()) {
            writeFile(prtcall, file);
        }
        frmAmateur &w = makeWindow();
        QCOMPARE(w.startmetgedeeltecall->isChecked(), on);
        QCOMPARE(w.Check1->isChecked(), on);
        QCOMPARE(readFile(prtcall), file);  // reading leaves the file alone

        w.startmetgedeeltecall->trigger();
        QCOMPARE(w.startmetgedeeltecall->isChecked(), !on);
        QCOMPARE(w.Check1->isChecked(), !on);
        QCOMPARE(readFile(prtcall), on ? QByteArray("0\r\n") : QByteArray("1\r\n"));

        w.startmetgedeeltecall->trigger();
        QCOMPARE(w.Check1->isChecked(), on);
        QCOMPARE(readFile(prtcall), on ? QByteArray("1\r\n") : QByteArray("0\r\n"));
    }

    // A setting that cannot be kept for the next start is said; the window follows the choice
    // all the same.
    void partialCallSettingThatCannotBeWritten() {
        QVERIFY(QDir(folder()).mkdir(QStringLiteral("prtcall")));
        frmAmateur &w = makeWindow();
        w.startmetgedeeltecall->trigger();
        QVERIFY(w.startmetgedeeltecall->isChecked());
        QVERIFY(w.Check1->isChecked());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QCOMPARE(fakes_.messages.shown()[0].text,
                 QStringLiteral("De keuze voor zoeken op gedeelte van Call is niet bewaard: het "
                                "bestand prtcall kan niet worden geschreven."));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCritical);
    }

    // --- adding, saving, deleting --------------------------------------------------------------

    void newHamIsSavedAndBecomesCurrent() {
        frmAmateur &w = shownWindow();
        w.cmdAdd->click();
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 0 van de 5"));
        for (int i = 0; i < frmAmateur::kFields; ++i) {
            QCOMPARE(w.fieldText(i), i == kLand ? QStringLiteral("Nederland") : QString());
        }
        QCOMPARE(QApplication::focusWidget(), w.txtFields[kCall]);

        w.setFieldText(kCall, QStringLiteral("PD9NEW"));
        w.setFieldText(kNaam, QStringLiteral("TRUUS"));
        w.setFieldText(kByz, QStringLiteral("Nieuw in de ronde"));
        w.cmdUpdate->click();
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 6 van de 6"));
        QCOMPARE(w.fieldText(kCall), QStringLiteral("PD9NEW"));
        QCOMPARE(w.lblMessage->text(), QStringLiteral("opgeslagen!"));
        QVERIFY(w.Timer1->fire());
        QCOMPARE(w.lblMessage->text(), QString());
        const QList<Ham> stored = storedHams(folder());
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored.mid(0, 5), kHams);
        QCOMPARE(stored[5], Ham({"PD9NEW", "TRUUS", "", "", "", "", "Nederland", "", "",
                                 "Nieuw in de ronde"}));

        w.Timer1->stop();
        w.Timer1_Timer();
        QCOMPARE(w.lblMessage->text(), QString());
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }

    void savingAnEditedHamStoresIt() {
        frmAmateur &w = makeWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(1));
        w.setFieldText(kTelefoon, QStringLiteral("070-7654321"));
        w.cmdUpdate_Click();
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 2 van de 5"));
        QCOMPARE(w.lblMessage->text(), QStringLiteral("opgeslagen!"));
        QCOMPARE(storedHams(folder())[1][kTelefoon], QStringLiteral("070-7654321"));
        QCOMPARE(storedHams(folder()).size(), 5);
    }

    void deletingAHam_data() {
        QTest::addColumn<QList<Ham>>("hams");
        QTest::addColumn<int>("start");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QList<Ham>>("remaining");
        QTest::addColumn<QString>("caption");

        const QString ask = QStringLiteral("Je gaat de info van ON4ABC verwijderen?");
        const QString last =
            QStringLiteral("Deze laatste kan je alleen maar wijzigen en niet verwijderen");
        QList<Ham> withoutPiet = kHams;
        withoutPiet.removeAt(2);
        QTest::newRow("cancel") << kHams << 2 << MessageAnswer::Cancel << QStringList{ask} << kHams
                                << QStringLiteral("Amateur : 3 van de 5");
        QTest::newRow("ok") << kHams << 2 << MessageAnswer::Ok << QStringList{ask} << withoutPiet
                            << QStringLiteral("Amateur : 4 van de 4");
        QTest::newRow("the only ham")
            << QList<Ham>{kHams[2]} << 0 << MessageAnswer::Ok << QStringList{ask, last}
            << QList<Ham>{kHams[2]} << QStringLiteral("Amateur : 1 van de 1");
    }
    void deletingAHam() {
        QFETCH(QList<Ham>, hams);
        QFETCH(int, start);
        QFETCH(MessageAnswer, answer);
        QFETCH(QList<Ham>, remaining);
        frmAmateur &w = makeWindow(hams);
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(start));
        fakes_.messages.queueAnswer(answer);
        w.delham->trigger();

        QTEST(shownTexts(), "boxes");
        QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("PIET vernietigen!"));
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkCancelCritical);
        if (fakes_.messages.shown().size() > 1) {
            QCOMPARE(fakes_.messages.shown()[1].title, QStringLiteral("Kringbaas"));
            QCOMPARE(fakes_.messages.shown()[1].style, MessageStyle::OkOnly);
        }
        QCOMPARE(storedHams(folder()), remaining);
        QTEST(w.Data1->Caption(), "caption");
        // The window shows the ham the caption counts.
        QCOMPARE(w.fieldText(kCall), remaining[position()][kCall]);
    }

    // A new ham that was never stored is dropped by the delete, never stored by it.
    void deletingAnUnstoredNewHamDropsIt() {
        frmAmateur &w = shownWindow();
        w.cmdAdd->click();
        QTest::keyClicks(w.txtFields[kCall], QStringLiteral("pd9new"));
        fakes_.messages.queueAnswer(MessageAnswer::Ok);
        w.delham->trigger();
        w.close();
        QCOMPARE(storedHams(folder()), kHams);
    }

    // Typing stops at 255 characters of particulars, but a longer stored text stays whole.
    void particularsLimitAppliesToTypingOnly_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("stored 300, typed one") << 300 << 1 << 300;
        QTest::newRow("stored 250, typed ten") << 250 << 10 << 255;
        QTest::newRow("stored 10, typed three") << 10 << 3 << 13;
    }
    void particularsLimitAppliesToTypingOnly() {
        QFETCH(int, stored);
        QFETCH(int, typed);
        QFETCH(int, expected);
        QList<Ham> hams = kHams;
        hams[4][kByz] = QString(stored, QLatin1Char('x'));
        frmAmateur &w = shownWindow(hams);
        QCOMPARE(w.fieldText(kByz).size(), stored);
        w.txtBijzonderheden->setFocus();
        w.txtBijzonderheden->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.txtBijzonderheden, QString(typed, QLatin1Char('y')));
        QCOMPARE(w.fieldText(kByz).size(), expected);
        QVERIFY(w.fieldText(kByz).startsWith(hams[4][kByz].left(expected)));
        w.close();
        QCOMPARE(storedHams(folder())[4][kByz].size(), expected);
    }

    // Particulars of any length, as an import may store them, open at once and come back whole
    // from a save that did not touch them.
    void longParticularsOpenQuickly_data() {
        QTest::addColumn<QString>("particulars");
        QTest::newRow("one word of a million") << QString(1000000, QLatin1Char('x'));
        QString words;
        while (words.size() < 1000000) {
            words += QStringLiteral("Komt elke week met 5 W; ");
        }
        QTest::newRow("a million in words on one line") << words;
        QTest::newRow("ten million") << QString(10000000, QLatin1Char('y'));
    }
    void longParticularsOpenQuickly() {
        QFETCH(QString, particulars);
        QList<Ham> hams = kHams;
        hams[4][kByz] = particulars;
        QElapsedTimer timer;
        timer.start();
        frmAmateur &w = shownWindow(hams);
        w.grab();
        QCoreApplication::processEvents();
        const qint64 opened = timer.elapsed();
        qInfo("opened in %lld ms", opened);
        QVERIFY2(opened < 2000, qPrintable(QString::number(opened)));
        QCOMPARE(w.fieldText(kByz), particulars);
        // The box shows the beginning, and says that there is more.
        QVERIFY(w.txtBijzonderheden->isReadOnly());
        QVERIFY(particulars.startsWith(w.txtBijzonderheden->toPlainText().chopped(1)));
        QVERIFY(w.txtBijzonderheden->toPlainText().size() < 20000);
        QVERIFY(w.txtBijzonderheden->toolTip().contains(QString::number(particulars.size())));

        w.setFieldText(kTelefoon, QStringLiteral("070-7654321"));
        w.cmdUpdate_Click();
        QCOMPARE(storedHams(folder())[4][kByz], particulars);
        QCOMPARE(storedHams(folder())[4][kTelefoon], QStringLiteral("070-7654321"));

        // A short text on another ham is shown whole and can be edited again.
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(0));
        QVERIFY(!w.txtBijzonderheden->isReadOnly());
        QCOMPARE(w.txtBijzonderheden->toPlainText(), kHams[0][kByz]);
        QVERIFY(w.txtBijzonderheden->toolTip().isEmpty());
        w.close();
        QCOMPARE(storedHams(folder())[4][kByz], particulars);
    }

    // No stored text is cut by editing its ham. One longer than its box's length (an import
    // takes any length) is shown whole and can be edited; one longer than any text box holds is
    // shown in part and read-only: a key that would change it says why, and the record keeps it.
    void longStoredTextsStayWhole_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("editable");
        QTest::newRow("adres of 42000") << int(kAdres) << 42000 << false;
        QTest::newRow("adres of 32768") << int(kAdres) << 32768 << false;
        QTest::newRow("adres of 32767") << int(kAdres) << 32767 << true;
        QTest::newRow("naam of 60, over its 50") << int(kNaam) << 60 << true;
        QTest::newRow("naam of 40000") << int(kNaam) << 40000 << false;
        QTest::newRow("call of 51") << int(kCall) << 51 << true;
        QTest::newRow("postcode of 35000") << int(kPostcode) << 35000 << false;
        QTest::newRow("qth of 300") << int(kQth) << 300 << true;
        QTest::newRow("grid of 33000") << int(kGrid) << 33000 << false;
        QTest::newRow("land of 51") << int(kLand) << 51 << true;
        QTest::newRow("telefoon of 50000") << int(kTelefoon) << 50000 << false;
        QTest::newRow("email of 32800") << int(kEmail) << 32800 << false;
        QTest::newRow("bijzonderheden of 20000") << int(kByz) << 20000 << false;
    }
    void longStoredTextsStayWhole() {
        QFETCH(int, index);
        QFETCH(int, length);
        QFETCH(bool, editable);
        QList<Ham> hams = kHams;
        // Upper case, so that the field's form changes nothing; beyond what a box holds, a
        // character outside the BMP where a box would have to cut it.
        QString stored = QString(length, QLatin1Char('K'));
        if (length > 32767) {
            stored.replace(32765, 2, QStringLiteral("\U0001F4FB"));
        }
        hams[4][index] = stored;
        frmAmateur &w = shownWindow(hams);
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 5 van de 5"));
        QWidget *box = w.field(index);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        const QString expected = editable ? hams[4][index].chopped(1) : hams[4][index];
        if (editable) {
            QCOMPARE(w.fieldText(index), expected);
            QCOMPARE(shownTexts(), QStringList());
        } else {
            QVERIFY(box->property("readOnly").toBool());
            QCOMPARE(shownTexts().size(), 1);
            QVERIFY2(shownTexts()[0].contains(QString::number(length)),
                     qPrintable(shownTexts()[0]));
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkInformation);
        }
        // Another field edited and the ham saved.
        const int other = index == kTelefoon ? int(kQth) : int(kTelefoon);
        w.field(other)->setFocus();
        QTest::keyClicks(w.field(other), QStringLiteral("9"));
        QTest::mouseClick(w.cmdUpdate, Qt::LeftButton);
        QCOMPARE(w.lblMessage->text(), QStringLiteral("opgeslagen!"));
        QCOMPARE(storedHams(folder())[4][index], expected);
        QCOMPARE(storedHams(folder())[4][other], hams[4][other] + QLatin1Char('9'));

        // The other hams' fields are shown whole and editable again.
        QTest::mouseClick(w.Data1->firstButton(), Qt::LeftButton);
        QCOMPARE(w.fieldText(index), kHams[0][index]);
        QVERIFY(!box->property("readOnly").toBool());
        QVERIFY(box->toolTip().isEmpty());
        w.close();
        const QList<Ham> after = storedHams(folder());
        QCOMPARE(after[4][index], expected);
        QCOMPARE(after.mid(0, 4), kHams.mid(0, 4));
    }

    // A grid typed with a sign that upper or lower case would make a locator letter (ß gives SS,
    // the Kelvin sign k, the dotless i I, the long s S) is no locator: the round gives that ham
    // no distance, on the sheet or in the stored round.
    void lookAlikeGridGivesNoDistance_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("distance");
        QTest::newRow("sharp s") << QStringLiteral("jo22\u00DFb") << QStringLiteral("JO22\u00DFb")
                                 << "";
        QTest::newRow("Kelvin sign")
            << QStringLiteral("jo22a\u212A") << QStringLiteral("JO22a\u212A") << "";
        QTest::newRow("dotless i")
            << QStringLiteral("\u0131o22ab") << QStringLiteral("\u0131O22ab") << "";
        QTest::newRow("long s") << QStringLiteral("jo22\u017Fb") << QStringLiteral("JO22\u017Fb")
                                << "";
        QTest::newRow("full width") << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12ab")
                                    << QStringLiteral("\uFF4A\uFF4F\uFF12\uFF12ab") << "";
        QTest::newRow("a locator") << "jo22sb"
                                   << "JO22sb"
                                   << "1";
    }
    void lookAlikeGridGivesNoDistance() {
        QFETCH(QString, typed);
        QFETCH(QString, distance);
        writeFile(QDir(folder()).filePath(QStringLiteral("basis")),
                  "PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22sb\r\n");
        // The user types the grid of PA3ABCD in the ham list and saves it.
        {
            frmAmateur &w = shownWindow();
            QCOMPARE(w.fieldText(kCall), QStringLiteral("PA3ABCD"));
            w.txtFields[kGrid]->setFocus();
            typeText(w.txtFields[kGrid], typed);
            QTest::keyClick(w.txtFields[kGrid], Qt::Key_Tab);
            QTEST(w.fieldText(kGrid), "grid");
            QTest::mouseClick(w.cmdUpdate, Qt::LeftButton);
            w.close();
            QTEST(storedHams(folder())[4][kGrid], "grid");
        }
        QCOMPARE(shownTexts(), QStringList());

        // A round is begun and PA3ABCD placed in it.
        fixture::seedTable(folder(), "ronde", fixture::numberedRounds(1));
        std::unique_ptr<roundsheet::frmMain> main =
            fixture::makeMainWindow(folder(), fakes_.services());
        main->tmrRonde_Timer();
        roundsheet::frmDialog dialog(*main);
        dialog.tmrUnload->stop();
        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        dialog.tmrUnload_Timer();
        dialog.Text1->setText(QStringLiteral("PA3ABC"));
        dialog.Text2->setText(QStringLiteral("Jan"));
        dialog.OKButton_Click();
        main->Timer1->stop();
        main->tmrRondeTijd->stop();
        fakes_.messages.clear();
        QPointer<roundsheet::frmToevoegen> entry = new roundsheet::frmToevoegen(*main);
        entry->Text1->setText(QStringLiteral("PA3ABCD"));
        entry->Text1_Enter();
        main->tmrToeVoeg->stop();
        delete entry.data();

        QCOMPARE(fixture::ui(*main).Text1[1]->text(), QStringLiteral("PA3ABCD"));
        QTEST(fixture::ui(*main).Text5[1]->text(), "distance");
        if (distance.isEmpty()) {
            QCOMPARE(fakes_.messages.shown().size(), 1);
            QCOMPARE(fakes_.messages.shown()[0].title,
                     QStringLiteral("GRID locatie onjuist ingevoerd"));
        } else {
            QCOMPARE(shownTexts(), QStringList());
        }
        QCOMPARE(fixture::storedField(folder(), QStringLiteral("call2")).constLast(),
                 QStringLiteral("PA3ABCD"));
        QTEST(fixture::storedField(folder(), QStringLiteral("weg2")).constLast(), "distance");
        main->close();
        QTEST(fixture::storedField(folder(), QStringLiteral("weg2")).constLast(), "distance");
    }

    // --- the fields ----------------------------------------------------------------------------

    void leavingAFieldPutsItInForm_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");  // empty: no box
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<bool>("focusBack");

        const QString none;
        const auto ok = MessageStyle::OkOnly;
        QTest::newRow("call") << int(kCall) << " pa3xyz "
                              << "PA3XYZ" << none << none << ok << false;
        QTest::newRow("naam") << int(kNaam) << " jan de vries "
                              << "JAN DE VRIES" << none << none << ok << false;
        QTest::newRow("qth") << int(kQth) << "den haag "
                             << "DEN HAAG" << none << none << ok << false;
        QTest::newRow("postcode") << int(kPostcode) << "1234ab"
                                  << "1234 AB" << none << none << ok << false;
        QTest::newRow("postcode empty") << int(kPostcode) << ""
                                        << " " << none << none << ok << false;
        QTest::newRow("grid too short") << int(kGrid) << "jo22a"
                                        << "JO22A"
                                        << "Grid locatie moet uit 6 tekens bestaan"
                                        << "Kringbaas" << ok << true;
        QTest::newRow("grid") << int(kGrid) << "jo22ab"
                              << "JO22ab" << none << none << ok << false;
        // Only a to z change case in a grid: ß stays ß (not SS), the Kelvin sign is not made k.
        QTest::newRow("grid with sharp s")
            << int(kGrid) << QStringLiteral("jo22\u00DFb") << QStringLiteral("JO22\u00DFb") << none
            << none << ok << false;
        QTest::newRow("grid with Kelvin sign")
            << int(kGrid) << QStringLiteral("jo22a\u212A") << QStringLiteral("JO22a\u212A") << none
            << none << ok << false;
        QTest::newRow("land empty") << int(kLand) << ""
                                    << "Nederland" << none << none << ok << false;
        QTest::newRow("land") << int(kLand) << "belgie"
                              << "BELGIE" << none << none << ok << false;
        QTest::newRow("email") << int(kEmail) << " Jan@Example.NL "
                               << "jan@example.nl" << none << none << ok << false;
        QTest::newRow("email without at sign")
            << int(kEmail) << "janexample.nl"
            << "janexample.nl"
            << "E-mailadres onjuist!"
            << "Corrigeer e-mailadres svp" << MessageStyle::OkCritical << false;
        QTest::newRow("email empty") << int(kEmail) << ""
                                     << "" << none << none << ok << false;
        QTest::newRow("adres as typed") << int(kAdres) << " dorpsstraat 1 "
                                        << " dorpsstraat 1 " << none << none << ok << false;
        QTest::newRow("telefoon as typed") << int(kTelefoon) << " 06-123 "
                                           << " 06-123 " << none << none << ok << false;
        QTest::newRow("call of 60 characters")
            << int(kCall) << "pa" + QString(58, QLatin1Char('x'))
            << "PA" + QString(48, QLatin1Char('X')) << none << none << ok << false;
        QTest::newRow("naam of 50 characters")
            << int(kNaam) << QString(50, QLatin1Char('k')) << QString(50, QLatin1Char('K')) << none
            << none << ok << false;
        QTest::newRow("naam of 51 characters")
            << int(kNaam) << QString(51, QLatin1Char('k')) << QString(50, QLatin1Char('K')) << none
            << none << ok << false;
    }
    void leavingAFieldPutsItInForm() {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        frmAmateur &w = shownWindow();
        QWidget *box = w.field(index);
        box->setFocus();
        QCOMPARE(QApplication::focusWidget(), box);
        fakes_.messages.clear();
        w.setFieldText(index, typed);
        w.txtZoek->setFocus();  // leaves the field

        QTEST(w.fieldText(index), "result");
        if (message.isEmpty()) {
            QCOMPARE(shownTexts(), QStringList());
        } else {
            QCOMPARE(shownTexts(), QStringList{message});
            QTEST(fakes_.messages.shown()[0].title, "title");
            QTEST(fakes_.messages.shown()[0].style, "style");
        }
        QFETCH(bool, focusBack);
        if (focusBack) {
            QCOMPARE(QApplication::focusWidget(), box);
        }
    }

    void enterMovesToTheNextField_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < frmAmateur::kFields; ++i) {
            QTest::addRow("field %d", i) << i;
        }
    }
    void enterMovesToTheNextField() {
        QFETCH(int, index);
        frmAmateur &w = shownWindow();
        QWidget *box = w.field(index);
        box->setFocus();
        const QString before = w.fieldText(index);
        QTest::keyClick(box, Qt::Key_Return);
        QWidget *next = index + 1 < frmAmateur::kFields ? w.field(index + 1) : w.cmdUpdate;
        QCOMPARE(QApplication::focusWidget(), next);
        if (index == kByz) {
            QCOMPARE(w.fieldText(kByz), before);  // no new line
        }
        QVERIFY(w.isVisible());
    }

    void escapeInAFieldKeepsTheWindowOpen() {
        frmAmateur &w = shownWindow();
        for (int index : {int(kCall), int(kNaam), int(kByz)}) {
            w.field(index)->setFocus();
            QTest::keyClick(w.field(index), Qt::Key_Escape);
            QVERIFY2(w.isVisible(), qPrintable(QString::number(index)));
        }
        // Without a control holding the focus, Escape does close it.
        QApplication::focusWidget()->clearFocus();
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w_ || !w_->isVisible());
    }

    void closingStoresAPendingEdit() {
        frmAmateur &w = shownWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(1));
        w.setFieldText(kNaam, QStringLiteral("ANTONIUS"));
        w.setFieldText(kByz, QStringLiteral("Nieuwe antenne"));
        QVERIFY(w.close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w_.isNull());
        Ham expected = kHams[1];
        expected[kNaam] = QStringLiteral("ANTONIUS");
        expected[kByz] = QStringLiteral("Nieuwe antenne");
        QCOMPARE(storedHams(folder())[1], expected);
        QCOMPARE(storedHams(folder()).size(), 5);
    }

    void closingStoresAPendingNewHam() {
        frmAmateur &w = shownWindow();
        w.cmdAdd_Click();
        w.setFieldText(kCall, QStringLiteral("PD9NEW"));
        QVERIFY(w.close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w_.isNull());
        const QList<Ham> stored = storedHams(folder());
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored[5][kCall], QStringLiteral("PD9NEW"));
        QCOMPARE(stored[5][kLand], QStringLiteral("Nederland"));
    }

    // --- web pages -----------------------------------------------------------------------------

    void doubleClickOpensTheQrzPage_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("address");  // empty: nothing opened
        QTest::newRow("on the naam field")
            << "PA3ABC" << int(kNaam) << "https://www.qrz.com/db/PA3ABC";
        QTest::newRow("on the call field")
            << "PD0XYZ" << int(kCall) << "https://www.qrz.com/db/PD0XYZ";
        QTest::newRow("on the particulars")
            << "ON4ABC" << int(kByz) << "https://www.qrz.com/db/ON4ABC";
        QTest::newRow("without call") << "" << int(kNaam) << "";
    }
    void doubleClickOpensTheQrzPage() {
        QFETCH(QString, call);
        QFETCH(int, index);
        QFETCH(QString, address);
        frmAmateur &w = makeWindow();
        w.setFieldText(kCall, call);
        QWidget *target = index == kByz ? w.txtBijzonderheden->viewport() : w.field(index);
        QTest::mouseDClick(target, Qt::LeftButton);
        const QList<QUrl> expected = address.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(address)};
        QCOMPARE(fakes_.web.opened(), expected);
        QCOMPARE(fakes_.web.requested(), expected);
    }

    void mapButtonOpensTheAddress_data() {
        QTest::addColumn<QString>("adres");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<QString>("address");
        QTest::newRow("address and qth")
            << "Dorpsstraat 1"
            << "DEN HAAG"
            << "https://www.google.com/maps/place/Dorpsstraat+1+DEN+HAAG";
        QTest::newRow("no address") << ""
                                    << "DEN HAAG"
                                    << "";
    }
    void mapButtonOpensTheAddress() {
        QFETCH(QString, adres);
        QFETCH(QString, qth);
        QFETCH(QString, address);
        frmAmateur &w = makeWindow();
        w.setFieldText(kAdres, adres);
        w.setFieldText(kQth, qth);
        w.cmdMap->click();
        QCOMPARE(fakes_.web.requested().size(), address.isEmpty() ? 0 : 1);
        if (!address.isEmpty()) {
            QCOMPARE(fakes_.web.opened().size(), 1);
            QCOMPARE(fakes_.web.opened()[0].toString(QUrl::FullyEncoded), address);
        }
    }

    // --- data errors ---------------------------------------------------------------------------

    void dataErrorIsShown() {
        frmAmateur &w = makeWindow();
        int response = 1;
        w.Data1_Error(3021, QStringLiteral("Er is geen huidig record."), &response);
        QCOMPARE(shownTexts(),
                 QStringList{QStringLiteral("Data error event hit err:Er is geen huidig record.")});
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkOnly);
        QCOMPARE(response, 0);
    }

    void aForeignDatabaseFileIsReportedAndLeftAlone() {
        const QByteArray foreign("Dit is geen database van Kringbaas, maar een brief.\r\n");
        writeFile(databasePath(folder()), foreign);
        w_ = new frmAmateur(folder(), fakes_.services());
        w_->opstarttimer->stop();
        w_->Timer1->stop();
        QCOMPARE(fakes_.messages.shown().size(), 1);
        QVERIFY2(
            fakes_.messages.shown()[0].text.startsWith(QStringLiteral("Data error event hit err:")),
            qPrintable(fakes_.messages.shown()[0].text));
        QVERIFY(fakes_.messages.shown()[0].text.size() > 25);  // with the reason
        QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkOnly);
        w_->opstarttimer_Timer();
        QVERIFY(w_->close());
        QCOMPARE(readFile(databasePath(folder())), foreign);
    }

    // A fresh database whose ham list is empty, on a disk that takes no more: the window needs a
    // blank record it cannot write, and says that the disk is full.
    void fullDiskWithAnEmptyListIsSaid() {
        const QString data = QDir(folder()).filePath(QStringLiteral("data"));
        QVERIFY(QDir(folder()).mkdir(QStringLiteral("data")));
        fixture::SmallDisk disk(data);
        if (!disk.mounted()) {
            QSKIP(disk.why().constData());
        }
        seedHams(data, {});
        // The main window holds the database open, its log and shared memory with it.
        storage::StorageError error;
        const std::unique_ptr<storage::Database> holder =
            storage::Database::open(databasePath(data), &error);
        QVERIFY2(holder, qPrintable(error.description));
        const auto hamCount = [&holder] {
            storage::Statement count(holder->handle(), QStringLiteral("SELECT count(*) FROM qrz"));
            return count.next() ? count.integer(0) : -1;
        };
        QCOMPARE(hamCount(), 0);
        QVERIFY(disk.fill());
        w_ = new frmAmateur(data, fakes_.services());
        w_->opstarttimer->stop();
        w_->Timer1->stop();
        QCOMPARE(shownTexts(),
                 QStringList{QStringLiteral("Data error event hit err:De schijf met de database "
                                            "%1 is vol.")
                                 .arg(QDir::toNativeSeparators(databasePath(data)))});
        // The window opens and closes without anything more to say.
        w_->opstarttimer_Timer();
        QVERIFY(w_->close());
        QCOMPARE(fakes_.messages.shown().size(), 1);
        delete w_.data();
        QCOMPARE(hamCount(), 0);
    }

    // --- search --------------------------------------------------------------------------------

    void search_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("hits");  // the result list, when there is one
        QTest::addColumn<int>("pick");          // the line double-clicked in it
        QTest::addColumn<int>("shown");         // the ham shown afterwards
        QTest::addColumn<bool>("notFound");

        const QStringList none;
        // Every search starts at ON4ABC (position 2).
        QTest::newRow("call, other case") << 0 << false << "pa3abc" << none << -1 << 0 << false;
        QTest::newRow("call with blanks") << 0 << false << "  pe1aaa " << none << -1 << 3 << false;
        QTest::newRow("call is whole") << 0 << false << "PA3AB" << none << -1 << 2 << true;
        QTest::newRow("call end is not enough") << 0 << false << "ABC" << none << -1 << 2 << true;
        QTest::newRow("partial call: the end")
            << 0 << true << "ABC" << QStringList{listLine(0), listLine(2)} << 1 << 2 << false;
        QTest::newRow("partial call: first line")
            << 0 << true << "abc" << QStringList{listLine(0), listLine(2)} << 0 << 0 << false;
        QTest::newRow("partial call: one hit") << 0 << true << "ABCD" << none << -1 << 4 << false;
        QTest::newRow("partial call: the middle does not count")
            << 0 << true << "3AB" << none << -1 << 2 << true;
        QTest::newRow("naam")
            << 1 << false << "jan"
            << QStringList{QStringLiteral("0000 | PA3ABC  | JAN                    | UTRECHT"),
                           listLine(3)}
            << 1 << 3 << false;
        QTest::newRow("naam, nothing") << 1 << false << "xyzzy" << none << -1 << 2 << true;
        QTest::newRow("adres") << 2 << false << "straat" << none << -1 << 0 << false;
        QTest::newRow("postcode") << 3 << false << "bc" << none << -1 << 1 << false;
        QTest::newRow("qth, one") << 4 << false << "den" << none << -1 << 1 << false;
        QTest::newRow("qth, two") << 4 << false << "utrecht"
                                  << QStringList{listLine(0), listLine(4)} << 1 << 4 << false;
        QTest::newRow("grid") << 5 << false << "jo22"
                              << QStringList{listLine(0), listLine(1), listLine(3)} << 1 << 1
                              << false;
        QTest::newRow("land") << 6 << false << "nederland"
                              << QStringList{listLine(0), listLine(1), listLine(3), listLine(4)}
                              << 1 << 1 << false;
        QTest::newRow("telefoon") << 7 << false << "123" << none << -1 << 0 << false;
        QTest::newRow("email") << 8 << false << "example.nl"
                               << QStringList{listLine(0), listLine(1)} << 1 << 1 << false;
        QTest::newRow("bijzonderheden")
            << 9 << false << "BEAM" << QStringList{listLine(3), listLine(4)} << 0 << 3 << false;
        // The partial-call tick is for the call only.
        QTest::newRow("naam with the partial-call tick")
            << 1 << true << "jan" << QStringList{listLine(0), listLine(3)} << 1 << 3 << false;
    }
    void search() {
        QFETCH(int, field);
        QFETCH(bool, partial);
        QFETCH(QString, text);
        QFETCH(QStringList, hits);
        QFETCH(int, pick);
        QFETCH(bool, notFound);
        frmAmateur &w = shownWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(2));
        w.Combo1->setCurrentIndex(field);
        w.Check1->setChecked(partial);
        w.Combo1->setFocus();
        w.txtZoek->setText(text);

        QStringList lines;
        QString count;
        QString searched;
        bool modal = false;
        ModalAnswer answer([&](QWidget *window) {
            auto *list = qobject_cast<frmMultiFound *>(window);
            QVERIFY(list);
            modal = list->isModal();
            for (int i = 0; i < list->List1->count(); ++i) {
                lines << list->List1->item(i)->text();
            }
            count = list->Label2->text();
            searched = list->Label3->text();
            list->List1->setCurrentRow(pick);
            list->List1_DblClick();
        });
        w.Command1->click();

        QCOMPARE(w.txtZoek->text(), text.trimmed());
        QCOMPARE(answer.seen(), !hits.isEmpty());
        if (!hits.isEmpty()) {
            QVERIFY(modal);
            QCOMPARE(lines, hits);
            QCOMPARE(count, QStringLiteral("%1 Amateurs gevonden met ").arg(hits.size()));
            QCOMPARE(searched, text.trimmed());
            QVERIFY(!w.multiFound()->isVisible());
        }
        QTEST(position(), "shown");
        QCOMPARE(w.fieldText(kCall), kHams[position()][kCall]);
        if (notFound) {
            QCOMPARE(shownTexts(), QStringList{QStringLiteral("Niets gevonden")});
            QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Zoekresultaat"));
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::OkInformation);
            QCOMPARE(QApplication::focusWidget(), w.txtZoek);
        } else {
            QCOMPARE(shownTexts(), QStringList());
        }
        QCOMPARE(storedHams(folder()), kHams);
    }

    void searchTextControlsTheButtons() {
        frmAmateur &w = makeWindow();
        w.opstarttimer_Timer();
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(w.cmdAdd->isEnabled());
        QVERIFY(w.cmdUpdate->isEnabled());

        // Without a search text nothing happens.
        ModalAnswer nothing([](QWidget *) {});
        w.Command1_Click();
        QVERIFY(!nothing.seen());
        QCOMPARE(position(), 4);
        QCOMPARE(fakes_.messages.shown().size(), 0);

        // Enter in an empty search box does not search either.
        QTest::keyClick(w.txtZoek, Qt::Key_Return);
        QVERIFY(!nothing.seen());
        QCOMPARE(position(), 4);
        QCOMPARE(fakes_.messages.shown().size(), 0);

        // Typed characters arrive in upper case, also in the middle of the text.
        QTest::keyClicks(w.txtZoek, QStringLiteral("a3abc"));
        w.txtZoek->setCursorPosition(0);
        QTest::keyClick(w.txtZoek, Qt::Key_P);
        QCOMPARE(w.txtZoek->text(), QStringLiteral("PA3ABC"));
        QCOMPARE(w.txtZoek->cursorPosition(), 1);
        QVERIFY(w.Command1->isEnabled());
        QVERIFY(!w.cmdAdd->isEnabled());
        QVERIFY(!w.cmdUpdate->isEnabled());

        // Enter in the search box searches.
        QTest::keyClick(w.txtZoek, Qt::Key_Return);
        QCOMPARE(position(), 0);
        QCOMPARE(fakes_.messages.shown().size(), 0);

        w.Command4->click();  // "wis"
        QCOMPARE(w.txtZoek->text(), QString());
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(w.cmdAdd->isEnabled());
        QVERIFY(w.cmdUpdate->isEnabled());
    }

    void oddSearchTexts_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("listed");  // lines in the result list; -1: no list

        QTest::newRow("quote in a call") << 0 << false << "PA'3" << -1;
        QTest::newRow("quote in a call end") << 0 << true << "'" << -1;
        QTest::newRow("quote in a naam") << 1 << false << "O'BRIEN" << -1;
        QTest::newRow("open bracket in a naam") << 1 << false << "[" << -1;
        QTest::newRow("open bracket in a call end") << 0 << true << "[AB" << -1;
        QTest::newRow("open bracket in a call") << 0 << false << "[AB" << -1;
        QTest::newRow("close bracket") << 1 << false << "]" << -1;
        QTest::newRow("hash in a naam") << 1 << false << "#" << -1;
        QTest::newRow("hash in a call end") << 0 << true << "#" << -1;
        QTest::newRow("star in a call") << 0 << false << "*" << -1;
        QTest::newRow("blanks in a call") << 0 << false << "   " << -1;
        QTest::newRow("star in a naam") << 1 << false << "*" << 5;
        QTest::newRow("star inside a naam") << 1 << false << "J*N" << 2;
        QTest::newRow("question mark in a naam") << 1 << false << "?" << 5;
        QTest::newRow("star in a call end") << 0 << true << "*C" << 2;
    }
    void oddSearchTexts() {
        QFETCH(int, field);
        QFETCH(bool, partial);
        QFETCH(QString, text);
        QFETCH(int, listed);
        frmAmateur &w = makeWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(2));
        w.Combo1->setCurrentIndex(field);
        w.Check1->setChecked(partial);
        w.txtZoek->setText(text);

        int lines = -1;
        ModalAnswer answer([&](QWidget *window) {
            auto *list = qobject_cast<frmMultiFound *>(window);
            QVERIFY(list);
            lines = list->List1->count();
            list->Command2->click();  // "Annuleren"
        });
        w.Command1_Click();

        QCOMPARE(lines, listed);
        if (listed < 0) {
            QCOMPARE(position(), 2);
            QVERIFY(shownTexts().isEmpty() ||
                    shownTexts() == QStringList{QStringLiteral("Niets gevonden")});
        }
        QVERIFY(!w.Data1->DataChanged());
        QCOMPARE(storedHams(folder()), kHams);
    }

    // A quote belongs to real names and places; a search for one finds them.
    void quoteIsSearchedAsItStands_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");
        QTest::newRow("place") << 4 << "'S-HERT"
                               << "PA2DB";
        QTest::newRow("name") << 1 << "O'NEI"
                              << "EI7AB";
        QTest::newRow("call, whole") << 0 << "EI7'X"
                                     << "EI7'X";
    }
    void quoteIsSearchedAsItStands() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, found);
        QList<Ham> hams = kHams;
        hams << Ham{"PA2DB", "DIRK", "", "", "'S-HERTOGENBOSCH", "", "NEDERLAND", "", "", ""}
             << Ham{"EI7AB", "O'NEILL", "", "", "DUBLIN", "", "IERLAND", "", "", ""}
             << Ham{"EI7'X", "SEAN", "", "", "CORK", "", "IERLAND", "", "", ""};
        frmAmateur &w = makeWindow(hams);
        w.Combo1->setCurrentIndex(field);
        w.txtZoek->setText(text);
        w.Command1_Click();
        QCOMPARE(w.txtFields[kCall]->text(), found);
        QVERIFY(shownTexts().isEmpty());
    }

    // "Nieuw" followed by nothing typed stores nothing, however the record is left.
    void untouchedNewHamIsNotStored() {
        frmAmateur &w = shownWindow();
        w.cmdAdd_Click();
        QCOMPARE(w.txtFields[kLand]->text(), QStringLiteral("Nederland"));
        w.Data1->lastButton()->click();
        QCOMPARE(storedHams(folder()), kHams);
        w.cmdAdd_Click();
        w.close();
        QCOMPARE(storedHams(folder()), kHams);
    }

    // A field left by a navigation button or by closing, without a focus change, still gets its
    // form, so a call is never stored in a form a look-up cannot find.
    void fieldFocusedWhenTheRecordIsLeftGetsItsForm() {
        frmAmateur &w = shownWindow();
        w.Data1->firstButton()->click();
        w.txtFields[kCall]->setFocus();
        QTest::keyClicks(w.txtFields[kCall], QStringLiteral("x "));
        QCOMPARE(w.txtFields[kCall]->text(), QStringLiteral("PA3ABCx "));
        w.Data1->nextButton()->click();
        QCOMPARE(storedHams(folder()).at(0).at(kCall), QStringLiteral("PA3ABCX"));

        w.txtFields[kQth]->setFocus();
        w.txtFields[kQth]->setText(QStringLiteral(" den haag "));
        w.close();
        QCOMPARE(storedHams(folder()).at(1).at(kQth), QStringLiteral("DEN HAAG"));
        QVERIFY(shownTexts().isEmpty());
    }

    void blanksOnlyInAContainsSearchChangeNothing() {
        frmAmateur &w = makeWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(2));
        w.Combo1->setCurrentIndex(1);
        w.txtZoek->setText(QStringLiteral("   "));
        ModalAnswer answer([](QWidget *window) {
            if (auto *list = qobject_cast<frmMultiFound *>(window)) {
                list->Command2->click();
            }
        });
        w.Command1_Click();
        QVERIFY(!w.Data1->DataChanged());
        QCOMPARE(storedHams(folder()), kHams);
    }

    // --- the participant search ----------------------------------------------------------------

    void participantSearch_data() {
        QTest::addColumn<QString>("sheetName");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("shown");  // position; -1: a new ham is pending
        QTest::addColumn<QString>("focus");

        QTest::newRow("one hit") << "kees" << MessageAnswer::Ok << false << 4 << "";
        QTest::newRow("no hit, add")
            << "Truus" << MessageAnswer::Yes << true << -1 << "txtFields_2";
        QTest::newRow("no hit, do not add")
            << "Truus" << MessageAnswer::No << true << 1 << "txtZoek";
    }
    void participantSearch() {
        QFETCH(QString, sheetName);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, asked);
        QFETCH(int, shown);
        QFETCH(QString, focus);
        frmAmateur &w = shownWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(1));
        int askedRow = -1;
        w.participantName = [&](int row) {
            askedRow = row;
            return sheetName;
        };
        w.setParticipant(7, QStringLiteral("pd9new"), QStringLiteral("Truus"));
        QCOMPARE(w.txtX->text(), QStringLiteral("7"));
        QCOMPARE(w.txtZcall->text(), QStringLiteral("pd9new"));
        QCOMPARE(w.txtZnaam->text(), QStringLiteral("Truus"));
        QVERIFY(w.Check2->isChecked());
        QVERIFY(w.tmrKlik->isActive());
        w.tmrKlik->stop();

        if (asked) {
            fakes_.messages.queueAnswer(answer);
        }
        w.tmrKlik_Timer();
        QCOMPARE(askedRow, 7);
        QCOMPARE(w.Combo1->currentIndex(), 1);
        QCOMPARE(w.txtZoek->text(), QString());
        if (asked) {
            QCOMPARE(shownTexts(),
                     QStringList{QStringLiteral("Niets gevonden\nWil je deze amateur toevoegen?")});
            QCOMPARE(fakes_.messages.shown()[0].title, QStringLiteral("Truus"));
            QCOMPARE(fakes_.messages.shown()[0].style, MessageStyle::YesNoInformation);
        } else {
            QCOMPARE(fakes_.messages.shown().size(), 0);
        }
        if (!focus.isEmpty()) {
            QVERIFY(QApplication::focusWidget());
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        }
        if (shown >= 0) {
            QCOMPARE(position(), shown);
            QCOMPARE(w.fieldText(kCall), kHams[shown][kCall]);
            QCOMPARE(storedHams(folder()), kHams);
            return;
        }
        // A new ham with the participant's call and name, not stored yet.
        QCOMPARE(w.Data1->Recordset().state(), storage::CursorState::PendingNew);
        QCOMPARE(w.fieldText(kCall), QStringLiteral("PD9NEW"));
        QCOMPARE(w.fieldText(kNaam), QStringLiteral("TRUUS"));
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 0 van de 5"));
        QCOMPARE(storedHams(folder()).size(), 5);
        w.cmdUpdate_Click();
        QCOMPARE(storedHams(folder()).size(), 6);
        QCOMPARE(storedHams(folder())[5][kCall], QStringLiteral("PD9NEW"));
        QCOMPARE(storedHams(folder())[5][kNaam], QStringLiteral("TRUUS"));
    }

    // A participant's name or call longer than the ham list's boxes take when typed (a name
    // imported or typed on the sheet) goes into the new ham whole, and is stored whole.
    void participantAddedWhole() {
        frmAmateur &w = shownWindow();
        const QString name = QStringLiteral("Truus van der Berg-Hoogeveen ") + QString(60, u'x');
        const QString call = QStringLiteral("PD9NEW/") + QString(60, u'P');
        w.participantName = [&](int) { return name; };
        w.setParticipant(3, call, name);
        w.tmrKlik->stop();
        fakes_.messages.queueAnswer(MessageAnswer::Yes);
        w.tmrKlik_Timer();
        QCOMPARE(w.fieldText(kNaam), name.toUpper());
        QCOMPARE(w.fieldText(kCall), call.toUpper());
        w.cmdUpdate_Click();
        const QList<Ham> stored = storedHams(folder());
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored[5][kNaam], name.toUpper());
        QCOMPARE(stored[5][kCall], call.toUpper());
    }

    // --- a large table -------------------------------------------------------------------------

    void searchBeyondTenThousandHams() {
        // 10,050 hams in one transaction; three are called Zebedeus.
        {
            storage::StorageError error;
            auto db = storage::Database::open(databasePath(folder()), &error);
            QVERIFY2(db, qPrintable(error.description));
            sqlite3 *h = db->handle();
            QCOMPARE(sqlite3_exec(h, "BEGIN; DELETE FROM qrz;", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_stmt *insert = nullptr;
            QCOMPARE(sqlite3_prepare_v2(h, "INSERT INTO qrz (call, naam, qth) VALUES (?, ?, ?)", -1,
                                        &insert, nullptr),
                     SQLITE_OK);
            for (int i = 0; i < 10050; ++i) {
                QByteArray call = "PA" + QByteArray::number(i);
                QByteArray naam = "HAM " + QByteArray::number(i);
                QByteArray qth = "ERGENS";
                if (i == 12 || i == 10010 || i == 10040) {
                    call = i == 12 ? "PA3ZEB" : i == 10010 ? "PD1ZEB" : "ON7ZEB";
                    naam = "ZEBEDEUS";
                    qth = "ZWOLLE";
                }
                sqlite3_bind_text(insert, 1, call.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 2, naam.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 3, qth.constData(), -1, SQLITE_TRANSIENT);
                QCOMPARE(sqlite3_step(insert), SQLITE_DONE);
                sqlite3_reset(insert);
            }
            sqlite3_finalize(insert);
            QCOMPARE(sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        w_ = new frmAmateur(folder(), fakes_.services());
        frmAmateur &w = *w_;
        w.opstarttimer->stop();
        w.Timer1->stop();
        w.opstarttimer_Timer();
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 10050 van de 10050"));

        w.Combo1->setCurrentIndex(1);
        w.txtZoek->setText(QStringLiteral("zebedeus"));
        QStringList lines;
        ModalAnswer answer([&](QWidget *window) {
            auto *list = qobject_cast<frmMultiFound *>(window);
            QVERIFY(list);
            for (int i = 0; i < list->List1->count(); ++i) {
                lines << list->List1->item(i)->text();
            }
            list->List1->setCurrentRow(1);
            list->List1_DblClick();
        });
        w.Command1_Click();
        QCOMPARE(lines, QStringList(
                            {QStringLiteral("0012 | PA3ZEB  | ZEBEDEUS               | ZWOLLE"),
                             QStringLiteral("10010 | PD1ZEB  | ZEBEDEUS               | ZWOLLE"),
                             QStringLiteral("10040 | ON7ZEB  | ZEBEDEUS               | ZWOLLE")}));
        QCOMPARE(position(), 10010);
        QCOMPARE(w.fieldText(kCall), QStringLiteral("PD1ZEB"));
        QCOMPARE(w.Data1->Caption(), QStringLiteral("Amateur : 10011 van de 10050"));
    }

    // --- copying -------------------------------------------------------------------------------

    void copyButtons_data() {
        QTest::addColumn<bool>("email");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hintTop");  // twips below the window's corner

        QTest::newRow("call") << false << "PA3ABC" << 600;
        QTest::newRow("email") << true << "jan@example.nl" << 3500;
        QTest::newRow("call as typed") << false << " pa3abc " << 600;
        QTest::newRow("empty call") << false << "" << 0;
        QTest::newRow("empty email") << true << "" << 0;
    }
    void copyButtons() {
        QFETCH(bool, email);
        QFETCH(QString, text);
        QFETCH(int, hintTop);
        frmAmateur &w = shownWindow();
        w.setFieldText(email ? kEmail : kCall, text);
        QGuiApplication::clipboard()->setText(QStringLiteral("van tevoren"));

        QString title;
        QString label;
        QPoint place;
        int interval = 0;
        bool running = false;
        bool closed = false;
        ModalAnswer answer([&](QWidget *window) {
            QCOMPARE(window->objectName(), QStringLiteral("frmMessage"));
            auto *hint = qobject_cast<frmMessage *>(window);
            QVERIFY(hint);
            title = hint->windowTitle();
            label = hint->Label1->text();
            place = hint->frameGeometry().topLeft();
            interval = hint->Timer1->interval();
            running = hint->Timer1->isActive();
            hint->Timer1_Timer();
            closed = !hint->isVisible();
        });
        (email ? w.Command3 : w.Command2)->click();

        if (text.isEmpty()) {
            QVERIFY(!answer.seen());
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("van tevoren"));
            return;
        }
        QVERIFY(answer.seen());
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QCOMPARE(title, QStringLiteral("TIP Bericht"));
        QCOMPARE(label, QStringLiteral("Rechtsklikken om weer te plakken!"));
        QCOMPARE(place, w.frameGeometry().topLeft() + QPoint(twips(1800), twips(hintTop)));
        QCOMPARE(interval, 1100);
        QVERIFY(running);
        QVERIFY(closed);
    }

    // --- the look-up other windows do ----------------------------------------------------------

    // Nothing the user does: another window looks a ham up through the hidden list.
    void leavingAFieldOfAHiddenWindowChangesNothing() {
        frmAmateur &w = makeWindow();
        const QStringList typed = {" pa3xyz ", " jan ", " laan 1 ", "1234ab",       "den haag ",
                                   "jo22a",    "",      " 06 ",     "janexample.nl"};
        for (int i = 0; i < typed.size(); ++i) {
            w.setFieldText(i, typed[i]);
            w.txtFields_LostFocus(i);
            QCOMPARE(w.fieldText(i), typed[i]);
        }
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }

    void lookUpByCallInAHiddenWindow_data() {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<bool>("noMatch");
        QTest::addColumn<int>("shown");
        QTest::newRow("lower case") << "call ='pa3abc'" << false << 0;
        QTest::newRow("upper case") << "call ='PE1AAA'" << false << 3;
        QTest::newRow("unknown") << "call ='pa3xyz'" << true << 1;
        QTest::newRow("only a part") << "call ='PA3AB'" << true << 1;
    }
    void lookUpByCallInAHiddenWindow() {
        QFETCH(QString, criterion);
        QFETCH(bool, noMatch);
        QFETCH(int, shown);
        frmAmateur &w = makeWindow();
        QVERIFY(w.Data1->Recordset().setAbsolutePosition(1));
        w.Data1->Recordset().FindFirst(criterion);
        QCOMPARE(w.Data1->Recordset().NoMatch(), noMatch);
        QCOMPARE(position(), shown);
        for (int i : {int(kCall), int(kNaam), int(kQth), int(kGrid), int(kByz)}) {
            QCOMPARE(w.fieldText(i), kHams[shown][i]);
        }
        QVERIFY(!w.isVisible());
        QCOMPARE(fakes_.messages.shown().size(), 0);
    }
};

KB_TEST_MAIN(HamListTest)
#include "tst_hamlist.moc"
