#include "TestMain.h"

#include "platform/MessageBoxes.h"
#include "platform/WebLauncher.h"
#include "platform/fakes/FakeMessageBoxes.h"
#include "platform/fakes/FakeWebLauncher.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

using platform::MessageAnswer;
using platform::MessageStyle;

namespace platform {

// Readable answers in failure messages.
char *toString(const MessageAnswer &answer) {
    switch (answer) {
        case MessageAnswer::Ok:
            return qstrdup("Ok");
        case MessageAnswer::Cancel:
            return qstrdup("Cancel");
        case MessageAnswer::Yes:
            return qstrdup("Yes");
        case MessageAnswer::No:
            return qstrdup("No");
    }
    return qstrdup("?");
}

}  // namespace platform

namespace {

// How the user ends a dialog.
enum class Act { Click, Enter, Escape, Close };

// Runs `act` on the modal window as soon as it is open; the dialog's exec() keeps the events
// going meanwhile. Gives up after five seconds, leaving `act` uncalled.
void whenModalOpens(std::function<void(QWidget *)> act) {
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act), tries] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && ++*tries < 500) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (modal) {
            act(modal);
        }
    });
    timer->start();
}

QLabel *labelShowing(const QWidget *dialog, const QString &text) {
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// The texts of the dialog's buttons without their shortcut marks, sorted.
QStringList buttonTexts(const QWidget *dialog) {
    QStringList texts;
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->isVisible()) {
            texts.append(QString(button->text()).remove(QLatin1Char('&')));
        }
    }
    texts.sort();
    return texts;
}

// What a message box looked like when it opened.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool textIsPlain = false;
    QWidget *parent = nullptr;
    bool modal = false;
};

// What an input box looked like when it opened.
struct SeenInput {
    bool found = false;
    QString title;
    QString prompt;
    QString text;
    bool promptIsPlain = false;
    QWidget *parent = nullptr;
    bool modal = false;
};

void ending(QDialog *dialog, Act act, QAbstractButton *button) {
    switch (act) {
        case Act::Click:
            if (button) {
                button->click();
            } else {
                dialog->close();  // the test fails on the missing button; do not hang
            }
            break;
        case Act::Enter:
            QTest::keyClick(dialog, Qt::Key_Return);
            break;
        case Act::Escape:
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        case Act::Close:
            dialog->close();
            break;
    }
}

const QString hostileText = QStringLiteral("Station <b>PA3ABC</b> & co &amp; <i>al</i>");

}  // namespace

Q_DECLARE_METATYPE(platform::MessageStyle)
Q_DECLARE_METATYPE(platform::MessageAnswer)
Q_DECLARE_METATYPE(Act)

class PlatformTest : public QObject {
    Q_OBJECT

private:
    // The address is a valid https address on `host` whose path is `prefix` plus one segment a
    // browser cannot read as a climb out of the folder, with nothing after the path.
    // With `slashes`, the rest of the path may hold several segments, none of them a climb.
    static void checkStaysOnPage(const QUrl &url, const QString &host, const QString &prefix,
                                 bool slashes = false) {
        QVERIFY(url.isValid());
        QVERIFY(platform::isOpenable(url));
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QCOMPARE(url.host(), host);
        QCOMPARE(url.port(), -1);
        QVERIFY(url.userInfo().isEmpty());
        QVERIFY(!url.hasQuery());
        QVERIFY(!url.hasFragment());
        const QString path = url.path(QUrl::FullyEncoded);
        QVERIFY2(path.startsWith(prefix), qPrintable(path));
        QVERIFY(url.path(QUrl::FullyDecoded).startsWith(prefix));
        const QString rest = path.mid(prefix.size()).toLower();
        QVERIFY2(slashes || !rest.contains(QLatin1Char('/')), qPrintable(path));
        for (const QString &segment : rest.split(QLatin1Char('/'))) {
            for (const char *dots : {".", "..", "%2e", ".%2e", "%2e.", "%2e%2e"}) {
                QVERIFY2(segment != QLatin1String(dots), qPrintable(path));
            }
        }
    }

private Q_SLOTS:
    void qrzLookup_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QByteArray>("encoded");  // empty: no address

        QTest::newRow("call") << "PA3ABC" << QByteArray("PA3ABC");
        QTest::newRow("portable") << "PA3ABC/P" << QByteArray("PA3ABC/P");
        QTest::newRow("portable prefix") << "DL/PA3ABC/MM" << QByteArray("DL/PA3ABC/MM");
        QTest::newRow("case kept") << "pa3Abc" << QByteArray("pa3Abc");
        QTest::newRow("blanks kept") << " PA3ABC " << QByteArray("%20PA3ABC%20");
        QTest::newRow("query, fragment") << "PA3ABC?x=1#frag" << QByteArray("PA3ABC%3Fx=1%23frag");
        QTest::newRow("climb") << "PA3ABC/../../evil" << QByteArray();
        QTest::newRow("dot segment") << "PA3ABC/./P" << QByteArray();
        QTest::newRow("user info") << "@evil.com" << QByteArray("@evil.com");
        QTest::newRow("other host") << "//evil.com" << QByteArray("//evil.com");
        QTest::newRow("backslashes") << "\\\\evil.com\\x" << QByteArray("%5C%5Cevil.com%5Cx");
        QTest::newRow("port") << ":8080" << QByteArray(":8080");
        QTest::newRow("encoded slash") << "%2F" << QByteArray("%252F");
        QTest::newRow("encoded dots") << "%2e%2E" << QByteArray("%252e%252E");
        QTest::newRow("script") << "javascript:alert(1)" << QByteArray("javascript:alert(1)");
        QTest::newRow("unicode") << QStringLiteral("PA3é") << QByteArray("PA3%C3%A9");
        QTest::newRow("three dots") << "..." << QByteArray("...");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("dot") << "." << QByteArray();
        QTest::newRow("dot dot") << ".." << QByteArray();
    }

    void qrzLookup() {
        QFETCH(QString, call);
        QFETCH(QByteArray, encoded);

        const QUrl url = platform::webpages::qrzLookup(call);
        if (encoded.isEmpty()) {
            QVERIFY(!url.isValid());
            QVERIFY(!platform::isOpenable(url));
            return;
        }
        QCOMPARE(url.toEncoded(), "https://www.qrz.com/db/" + encoded);
        checkStaysOnPage(url, QStringLiteral("www.qrz.com"), QStringLiteral("/db/"), true);
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("/db/") + call);
    }

    void mapsPlace_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<QByteArray>("place");  // empty: no address

        QTest::newRow("address and QTH") << "Dorpsstraat 1"
                                         << "DEN HAAG" << QByteArray("Dorpsstraat+1+DEN+HAAG");
        QTest::newRow("no QTH") << "Dorpsstraat 1"
                                << "" << QByteArray("Dorpsstraat+1+");
        QTest::newRow("address trimmed, QTH as it stands")
            << "  Dorpsstraat 1 "
            << " Den Haag " << QByteArray("Dorpsstraat+1++Den+Haag+");
        QTest::newRow("plus kept") << "Dorpsstraat 1+3"
                                   << "" << QByteArray("Dorpsstraat+1+3+");
        QTest::newRow("tab inside") << "Dorpsstraat\t1"
                                    << "" << QByteArray("Dorpsstraat%091+");
        QTest::newRow("unicode") << QStringLiteral("Rue de l'Église 3") << QStringLiteral("Liège")
                                 << QByteArray("Rue+de+l%27%C3%89glise+3+Li%C3%A8ge");
        QTest::newRow("climb, query, fragment")
            << "../../evil?x=1#f"
            << "@evil.com/x" << QByteArray("..%2F..%2Fevil%3Fx%3D1%23f+%40evil.com%2Fx");
        QTest::newRow("other host, encoded text")
            << "//evil.com"
            << "\\x%41" << QByteArray("%2F%2Fevil.com+%5Cx%2541");
        QTest::newRow("script") << "javascript:alert(1)"
                                << "" << QByteArray("javascript%3Aalert%281%29+");
        QTest::newRow("dots") << ".."
                              << "" << QByteArray("..+");
        QTest::newRow("empty address") << ""
                                       << "DEN HAAG" << QByteArray();
        QTest::newRow("blanks only") << "   "
                                     << "DEN HAAG" << QByteArray();
    }

    void mapsPlace() {
        QFETCH(QString, address);
        QFETCH(QString, qth);
        QFETCH(QByteArray, place);

        const QUrl url = platform::webpages::mapsPlace(address, qth);
        if (place.isEmpty()) {
            QVERIFY(!url.isValid());
            return;
        }
        QCOMPARE(url.toEncoded(), "https://www.google.com/maps/place/" + place);
        checkStaysOnPage(url, QStringLiteral("www.google.com"), QStringLiteral("/maps/place/"));
    }

    void openable_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("openable");

        QTest::newRow("https") << QUrl(QStringLiteral("https://www.qrz.com/db/PA3ABC")) << true;
        QTest::newRow("scheme in capitals") << QUrl(QStringLiteral("HTTPS://www.qrz.com/")) << true;
        QTest::newRow("http") << QUrl(QStringLiteral("http://www.qrz.com/")) << false;
        QTest::newRow("file") << QUrl(QStringLiteral("file:///etc/passwd")) << false;
        QTest::newRow("javascript") << QUrl(QStringLiteral("javascript:alert(1)")) << false;
        QTest::newRow("mailto") << QUrl(QStringLiteral("mailto:pa3abc@example.org")) << false;
        QTest::newRow("https without host") << QUrl(QStringLiteral("https:/db/PA3ABC")) << false;
        QTest::newRow("no scheme") << QUrl(QStringLiteral("//www.qrz.com/")) << false;
        QTest::newRow("bad port") << QUrl(QStringLiteral("https://www.qrz.com:99999/")) << false;
        QTest::newRow("empty") << QUrl() << false;
        QTest::newRow("whatsapp") << platform::webpages::whatsApp() << true;
        QTest::newRow("jitsi") << platform::webpages::jitsiRoom() << true;
        QTest::newRow("locator finder")
            << QUrl(platform::webpages::locatorFinderAddress(), QUrl::StrictMode) << true;
    }

    // The rule, and the test launcher that applies it.
    void openable() {
        QFETCH(QUrl, url);
        QFETCH(bool, openable);

        QCOMPARE(platform::isOpenable(url), openable);

        platform::fakes::FakeWebLauncher launcher;
        launcher.open(url);
        QCOMPARE(launcher.requested(), QList<QUrl>{url});
        QCOMPARE(launcher.opened(), openable ? QList<QUrl>{url} : QList<QUrl>{});
    }

    void messageBox_data() {
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<QString>("title");
        QTest::addColumn<Act>("act");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::addColumn<MessageAnswer>("answer");

        using B = QMessageBox;
        const B::StandardButtons ok = B::Ok;
        const B::StandardButtons okCancel = B::Ok | B::Cancel;
        const B::StandardButtons yesNo = B::Yes | B::No;
        const QString none;
        const QString own = QStringLiteral("Ronde");

        QTest::newRow("OkOnly, OK") << MessageStyle::OkOnly << none << Act::Click << B::Ok
                                    << B::NoIcon << ok << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkOnly, Escape")
            << MessageStyle::OkOnly << none << Act::Escape << B::NoButton << B::NoIcon << ok
            << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkInformation, OK")
            << MessageStyle::OkInformation << own << Act::Click << B::Ok << B::Information << ok
            << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkCritical, closed")
            << MessageStyle::OkCritical << none << Act::Close << B::NoButton << B::Critical << ok
            << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkCancel, OK") << MessageStyle::OkCancel << none << Act::Click << B::Ok
                                      << B::NoIcon << okCancel << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkCancel, Cancel")
            << MessageStyle::OkCancel << own << Act::Click << B::Cancel << B::NoIcon << okCancel
            << B::Ok << MessageAnswer::Cancel;
        QTest::newRow("OkCancel, Enter")
            << MessageStyle::OkCancel << none << Act::Enter << B::NoButton << B::NoIcon << okCancel
            << B::Ok << MessageAnswer::Ok;
        QTest::newRow("OkCancelExclamation, Escape")
            << MessageStyle::OkCancelExclamation << none << Act::Escape << B::NoButton << B::Warning
            << okCancel << B::Ok << MessageAnswer::Cancel;
        QTest::newRow("OkCancelExclamation, closed")
            << MessageStyle::OkCancelExclamation << none << Act::Close << B::NoButton << B::Warning
            << okCancel << B::Ok << MessageAnswer::Cancel;
        QTest::newRow("OkCancelInformation, Cancel")
            << MessageStyle::OkCancelInformation << none << Act::Click << B::Cancel
            << B::Information << okCancel << B::Ok << MessageAnswer::Cancel;
        QTest::newRow("OkCancelCritical, Escape")
            << MessageStyle::OkCancelCritical << none << Act::Escape << B::NoButton << B::Critical
            << okCancel << B::Ok << MessageAnswer::Cancel;
        QTest::newRow("YesNoQuestion, Yes")
            << MessageStyle::YesNoQuestion << own << Act::Click << B::Yes << B::Question << yesNo
            << B::Yes << MessageAnswer::Yes;
        QTest::newRow("YesNoQuestion, No")
            << MessageStyle::YesNoQuestion << none << Act::Click << B::No << B::Question << yesNo
            << B::Yes << MessageAnswer::No;
        QTest::newRow("YesNoQuestion, Enter")
            << MessageStyle::YesNoQuestion << none << Act::Enter << B::NoButton << B::Question
            << yesNo << B::Yes << MessageAnswer::Yes;
        QTest::newRow("YesNoQuestion, Escape")
            << MessageStyle::YesNoQuestion << none << Act::Escape << B::NoButton << B::Question
            << yesNo << B::Yes << MessageAnswer::No;
        QTest::newRow("YesNoQuestion, closed")
            << MessageStyle::YesNoQuestion << none << Act::Close << B::NoButton << B::Question
            << yesNo << B::Yes << MessageAnswer::No;
        QTest::newRow("YesNoInformation, Escape")
            << MessageStyle::YesNoInformation << none << Act::Escape << B::NoButton
            << B::Information << yesNo << B::Yes << MessageAnswer::No;
    }

    void messageBox() {
        QFETCH(MessageStyle, style);
        QFETCH(QString, title);
        QFETCH(Act, act);
        QFETCH(QMessageBox::StandardButton, click);

        QWidget owner;
        SeenBox seen;
        whenModalOpens([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box) {
                modal->close();
                return;
            }
            seen.found = true;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = box->standardButtons();
            seen.defaultButton = box->standardButton(box->defaultButton());
            const QLabel *label = labelShowing(box, hostileText);
            seen.textIsPlain = label && label->textFormat() == Qt::PlainText;
            seen.parent = box->parentWidget();
            seen.modal = box->isModal();
            ending(box, act, box->button(click));
        });

        platform::QtMessageBoxes boxes;
        const MessageAnswer answer = boxes.show(&owner, hostileText, style, title);

        QVERIFY(seen.found);
        QCOMPARE(seen.title, title.isEmpty() ? QStringLiteral("Kringbaas") : title);
        QCOMPARE(seen.text, hostileText);
        QVERIFY(seen.textIsPlain);
        QCOMPARE(seen.parent, &owner);
        QVERIFY(seen.modal);
        QTEST(seen.icon, "icon");
        QTEST(seen.buttons, "buttons");
        QTEST(seen.defaultButton, "defaultButton");
        QTEST(answer, "answer");
    }

    void inputBox_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("typed");  // null: leave the text; otherwise replace it
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("answer");

        QTest::newRow("default text taken")
            << ""
            << "PA3ABC" << Act::Click << QString() << true << "PA3ABC";
        QTest::newRow("text typed") << "Nieuwe call"
                                    << "PA3ABC" << Act::Click << "PD0XYZ/P" << true << "PD0XYZ/P";
        QTest::newRow("text cleared") << ""
                                      << "PA3ABC" << Act::Click << "" << true << "";
        QTest::newRow("Enter") << ""
                               << "" << Act::Enter << "PD0XYZ" << true << "PD0XYZ";
        QTest::newRow("Cancel") << ""
                                << "PA3ABC" << Act::Click << "PD0XYZ" << false << QString();
        QTest::newRow("Escape") << ""
                                << "PA3ABC" << Act::Escape << QString() << false << QString();
        QTest::newRow("closed") << ""
                                << "PA3ABC" << Act::Close << QString() << false << QString();
    }

    void inputBox() {
        QFETCH(QString, title);
        QFETCH(QString, defaultText);
        QFETCH(Act, act);
        QFETCH(QString, typed);
        QFETCH(bool, answered);
        QFETCH(QString, answer);

        QWidget owner;
        SeenInput seen;
        whenModalOpens([&](QWidget *modal) {
            auto *dialog = qobject_cast<QInputDialog *>(modal);
            auto *edit = modal->findChild<QLineEdit *>();
            auto *buttonBox = modal->findChild<QDialogButtonBox *>();
            if (!dialog || !edit || !buttonBox) {
                modal->close();
                return;
            }
            seen.found = true;
            seen.title = dialog->windowTitle();
            seen.prompt = dialog->labelText();
            seen.text = edit->text();
            const QLabel *label = labelShowing(dialog, hostileText);
            seen.promptIsPlain = label && label->textFormat() == Qt::PlainText;
            seen.parent = dialog->parentWidget();
            seen.modal = dialog->isModal();
            if (!typed.isNull()) {
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Delete);
                QTest::keyClicks(edit, typed);
            }
            if (act == Act::Enter) {
                QTest::keyClick(edit, Qt::Key_Return);
                return;
            }
            ending(dialog, act,
                   buttonBox->button(answered ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
        });

        platform::QtMessageBoxes boxes;
        const std::optional<QString> result = boxes.input(&owner, hostileText, title, defaultText);

        QVERIFY(seen.found);
        QCOMPARE(seen.title, title.isEmpty() ? QStringLiteral("Kringbaas") : title);
        QCOMPARE(seen.prompt, hostileText);
        QVERIFY(seen.promptIsPlain);
        QCOMPARE(seen.text, defaultText);
        QCOMPARE(seen.parent, &owner);
        QVERIFY(seen.modal);
        QCOMPARE(result.has_value(), answered);
        if (answered) {
            QCOMPARE(*result, answer);
        }
    }

    void dutchButtons_data() {
        QTest::addColumn<bool>("input");
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<QStringList>("texts");  // sorted

        QTest::newRow("Yes/No") << false << MessageStyle::YesNoQuestion << QStringList{"Ja", "Nee"};
        QTest::newRow("OK/Cancel")
            << false << MessageStyle::OkCancelExclamation << QStringList{"Annuleren", "OK"};
        QTest::newRow("OK") << false << MessageStyle::OkInformation << QStringList{"OK"};
        QTest::newRow("input") << true << MessageStyle::OkOnly << QStringList{"Annuleren", "OK"};
    }

    // With Qt's own Dutch translation loaded, as the program does, the buttons read Dutch.
    void dutchButtons() {
        QFETCH(bool, input);
        QFETCH(MessageStyle, style);

        QTranslator translator;
        if (!translator.load(QLocale(QLocale::Dutch), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QSKIP("Qt's Dutch translation (qt6-translations-l10n) is not installed");
        }
        QVERIFY(QCoreApplication::installTranslator(&translator));
        const auto removeTranslator =
            qScopeGuard([&translator] { QCoreApplication::removeTranslator(&translator); });

        QStringList texts;
        whenModalOpens([&texts](QWidget *modal) {
            texts = buttonTexts(modal);
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        platform::QtMessageBoxes boxes;
        if (input) {
            boxes.input(nullptr, QStringLiteral("Call"));
        } else {
            boxes.show(nullptr, QStringLiteral("Doorgaan?"), style);
        }
        QTEST(texts, "texts");
    }

    // Other suites script their boxes with this; the order and the defaults must hold.
    void fakeMessageBoxesScript() {
        platform::fakes::FakeMessageBoxes boxes;
        QWidget owner;
        boxes.queueAnswer(MessageAnswer::Cancel);
        boxes.queueAnswer(MessageAnswer::No);
        boxes.queueInput(QString());
        boxes.queueInput(std::nullopt);

        QCOMPARE(boxes.show(&owner, "a", MessageStyle::OkCancelCritical), MessageAnswer::Cancel);
        QCOMPARE(boxes.show(nullptr, "b", MessageStyle::YesNoQuestion, "Ronde"), MessageAnswer::No);
        QCOMPARE(boxes.show(nullptr, "c", MessageStyle::YesNoInformation), MessageAnswer::Yes);
        QCOMPARE(boxes.show(nullptr, "d", MessageStyle::OkCancel), MessageAnswer::Ok);
        QCOMPARE(boxes.pendingAnswers(), 0);

        const std::optional<QString> first = boxes.input(&owner, "Call", {}, "PA3ABC");
        QVERIFY(first.has_value());
        QCOMPARE(*first, QString());
        QCOMPARE(boxes.input(nullptr, "Call"), std::nullopt);
        QCOMPARE(boxes.input(nullptr, "Call"), std::nullopt);

        QCOMPARE(boxes.shown().size(), 4);
        const auto &shownFirst = boxes.shown().at(0);
        QCOMPARE(shownFirst.text, QStringLiteral("a"));
        QCOMPARE(shownFirst.title, QStringLiteral("Kringbaas"));
        QCOMPARE(shownFirst.style, MessageStyle::OkCancelCritical);
        QCOMPARE(shownFirst.owner, &owner);
        QCOMPARE(boxes.shown().at(1).title, QStringLiteral("Ronde"));
        QCOMPARE(boxes.shown().at(2).answer, MessageAnswer::Yes);

        QCOMPARE(boxes.asked().size(), 3);
        QCOMPARE(boxes.asked().at(0).prompt, QStringLiteral("Call"));
        QCOMPARE(boxes.asked().at(0).title, QStringLiteral("Kringbaas"));
        QCOMPARE(boxes.asked().at(0).defaultText, QStringLiteral("PA3ABC"));
    }
};

KB_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
