// Sharing the round from the main window: the menu entry and its window, the title while shared,
// the choice kept for the next start, and the module the program loads the server from.

#include "Fixture.h"
#include "TestMain.h"

#include "extra/frmLive.h"
#include "live/LiveServer.h"
#include "live/LoadedSharing.h"
#include "roundsheet/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using platform::MessageStyle;

namespace {

live::LiveShare::Factory serverFactory() {
    return [](QString *) { return std::make_unique<live::LiveServer>(); };
}

// A port that something else holds while the test runs.
struct TakenPort {
    QTcpServer holder;
    TakenPort() { holder.listen(QHostAddress::Any, 0); }
    quint16 port() const { return holder.serverPort(); }
};

}  // namespace

class LiveWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString folder() const { return dir_->path(); }

private Q_SLOTS:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // The entry stands in the menu Extra; it opens one window, which starts and stops sharing,
    // says where, and keeps the port it got.
    void shareFromTheMenu() {
        fixture::Fakes fakes;
        auto window = fixture::makeMainWindow(folder(), fakes.services());
        window->setSharingFactory(serverFactory());
        const QString title = window->windowTitle();
        QMenu *extra = window->menuBar()->findChild<QMenu *>(QStringLiteral("extra"));
        QVERIFY(extra);
        QVERIFY(extra->actions().contains(window->livelijst));
        QCOMPARE(window->livelijst->text(), QStringLiteral("Live lijst delen…"));

        window->livelijst->trigger();
        extra::frmLive *live = window->liveWindow();
        QVERIFY(live && live->isVisible());
        window->livelijst->trigger();
        QCOMPARE(window->liveWindow(), live);  // the same window again
        QCOMPARE(live->windowTitle(), QStringLiteral("Live lijst delen"));
        QCOMPARE(live->cmdDelen->text(), QStringLiteral("Delen"));
        QCOMPARE(live->lblStatus->text(), QStringLiteral("De live lijst wordt niet gedeeld."));
        QCOMPARE(live->txtPoort->text(), QStringLiteral("een vrije poort"));
        QVERIFY(!live->chkBewaren->isChecked());

        live->cmdDelen->click();
        live::LiveShare &share = *window->liveShare();
        QVERIFY(share.isOn());
        QVERIFY(share.port() > 1024);
        QVERIFY(fakes.messages.shown().isEmpty());
        QCOMPARE(live->cmdDelen->text(), QStringLiteral("Stoppen met delen"));
        QVERIFY(!live->txtPoort->isEnabled());
        QCOMPARE(live->txtPoort->value(), int(share.port()));
        QVERIFY(live->lblStatus->text().startsWith(
            QStringLiteral("De live lijst wordt gedeeld. Open in een browser:\nhttp://")));
        QVERIFY(live->lblStatus->text().contains(QStringLiteral(":%1/").arg(share.port())));
        QCOMPARE(window->windowTitle(), QStringLiteral("%1  -  live lijst gedeeld op %2")
                                            .arg(title, share.addresses().value(0)));
        // The port is kept so that the address stays the same; sharing at the next start is not.
        const storage::Settings::Live kept = storage::Settings(folder()).readLive();
        QCOMPARE(kept.port.value_or(0), share.port());
        QVERIFY(!kept.keepOn);

        live->chkBewaren->click();
        QVERIFY(storage::Settings(folder()).readLive().keepOn);

        live->cmdDelen->click();
        QVERIFY(!share.isOn());
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(live->cmdDelen->text(), QStringLiteral("Delen"));
        QVERIFY(live->txtPoort->isEnabled());
        // Stopping is not a choice about the next start.
        QCOMPARE(storage::Settings(folder()).readLive(),
                 (storage::Settings::Live{kept.port, true}));
    }

    // Only the local network gets the page unless the user ticks otherwise; the tick is kept
    // with the sharing choice, holds at once and again at the next start.
    void openToAll() {
        const QString localOnly =
            QStringLiteral("\nAlleen browsers op het lokale netwerk krijgen de lijst.");
        const QString everyone =
            QStringLiteral("\nOok browsers buiten het lokale netwerk krijgen de lijst.");
        const QString file = storage::Settings(folder()).path(storage::Settings::kLive);
        {
            fixture::Fakes fakes;
            auto window = fixture::makeMainWindow(folder(), fakes.services());
            window->setSharingFactory(serverFactory());
            window->livelijst->trigger();
            extra::frmLive *live = window->liveWindow();
            QCOMPARE(live->chkOveral->text(),
                     QStringLiteral("Ook browsers buiten het lokale netwerk (bijvoorbeeld via "
                                    "internet)"));
            QVERIFY(!live->chkOveral->isChecked());
            live->cmdDelen->click();
            live::LiveShare &share = *window->liveShare();
            QVERIFY(share.isOn() && !share.isOpenToAll());
            QVERIFY2(live->lblStatus->text().endsWith(localOnly),
                     qPrintable(live->lblStatus->text()));

            live->chkBewaren->click();
            live->chkOveral->click();
            QVERIFY(share.isOpenToAll());
            QVERIFY(live->lblStatus->text().endsWith(everyone));
            const storage::Settings::Live kept = storage::Settings(folder()).readLive();
            QCOMPARE(kept, (storage::Settings::Live{share.port(), true, true}));
            QCOMPARE(fixture::readFile(file), QByteArray::number(share.port()) + "\r\n1\r\n1\r\n");
            QVERIFY(fakes.messages.shown().isEmpty());
        }
        // The next start shares again, open to all, and the window shows it.
        fixture::Fakes fakes;
        auto window = fixture::makeMainWindow(folder(), fakes.services());
        window->setSharingFactory(serverFactory());
        window->resumeSharing();
        live::LiveShare &share = *window->liveShare();
        QVERIFY(share.isOn() && share.isOpenToAll());
        window->livelijst->trigger();
        extra::frmLive *live = window->liveWindow();
        QVERIFY(live->chkOveral->isChecked());
        live->chkOveral->click();
        QVERIFY(!share.isOpenToAll());
        QVERIFY(live->lblStatus->text().endsWith(localOnly));
        QVERIFY(!storage::Settings(folder()).readLive().openToAll);
        QVERIFY(storage::Settings(folder()).readLive().keepOn);
    }

    // A port that is taken is said, and nothing is shared.
    void portTaken() {
        fixture::Fakes fakes;
        auto window = fixture::makeMainWindow(folder(), fakes.services());
        window->setSharingFactory(serverFactory());
        TakenPort taken;
        window->livelijst->trigger();
        extra::frmLive *live = window->liveWindow();
        live->txtPoort->setValue(taken.port());
        live->cmdDelen->click();
        QVERIFY(!window->liveShare()->isOn());
        QCOMPARE(fakes.messages.shown().size(), 1);
        const auto &box = fakes.messages.shown().front();
        QVERIFY2(box.text.startsWith(
                     QStringLiteral("Poort %1 kan niet worden gebruikt: ").arg(taken.port())),
                 qPrintable(box.text));
        QCOMPARE(box.title, QStringLiteral("Live lijst delen"));
        QCOMPARE(box.style, MessageStyle::OkCritical);
        QCOMPARE(live->cmdDelen->text(), QStringLiteral("Delen"));
        QVERIFY(!QFile::exists(storage::Settings(folder()).path(storage::Settings::kLive)));
    }

    // At the start the round is shared again only when the user chose so.
    void sharedAgainAtStart_data() {
        QTest::addColumn<QByteArray>("file");  // "TAKEN" stands for a port that is held
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("said");

        QTest::newRow("no file") << QByteArray() << false << false;
        QTest::newRow("a port, not kept on") << QByteArray("TAKEN\r\n0\r\n") << false << false;
        QTest::newRow("kept on, a free port") << QByteArray("\r\n1\r\n") << true << false;
        QTest::newRow("kept on, its port") << QByteArray("PORT\r\n1\r\n") << true << false;
        QTest::newRow("kept on, port taken") << QByteArray("TAKEN\r\n1\r\n") << false << true;
    }
    void sharedAgainAtStart() {
        QFETCH(QByteArray, file);
        QFETCH(bool, on);
        QFETCH(bool, said);

        TakenPort taken;
        quint16 free = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::Any, 0));
            free = probe.serverPort();
        }
        file.replace("TAKEN", QByteArray::number(taken.port()));
        file.replace("PORT", QByteArray::number(free));
        if (!file.isEmpty()) {
            fixture::writeFile(storage::Settings(folder()).path(storage::Settings::kLive), file);
        }
        fixture::Fakes fakes;
        auto window = fixture::makeMainWindow(folder(), fakes.services());
        window->setSharingFactory(serverFactory());
        window->resumeSharing();
        QCOMPARE(window->liveShare()->isOn(), on);
        if (file.startsWith(QByteArray::number(free))) {
            QCOMPARE(window->liveShare()->port(), free);
        }
        QCOMPARE(fakes.messages.shown().size(), qsizetype(said));
        if (said) {
            QVERIFY(fakes.messages.shown().front().text.startsWith(
                QStringLiteral("De live lijst wordt niet gedeeld.\nPoort %1").arg(taken.port())));
            QCOMPARE(fakes.messages.shown().front().style, MessageStyle::OkInformation);
        }
    }

    // Without a server to make, the menu entry says so.
    void noServer() {
        fixture::Fakes fakes;
        auto window = fixture::makeMainWindow(folder(), fakes.services());
        window->resumeSharing();
        window->livelijst->trigger();
        QVERIFY(!window->liveWindow());
        QCOMPARE(fakes.messages.shown().size(), 1);
        QCOMPARE(fakes.messages.shown().front().text,
                 QStringLiteral("De live lijst kan niet worden gedeeld."));
    }

    // The program makes its server from the module beside it; a missing module is said.
    void module() {
        QString error;
        live::LoadedSharing missing(
            live::LoadedSharing::modulePathsFor(folder(), QStringLiteral("../nergens")));
        QVERIFY(!missing.make(&error));
        QCOMPARE(error, QStringLiteral("De live lijst kan niet worden gedeeld: het onderdeel "
                                       "kringbaas-live.so van Kringbaas ontbreekt."));

        QFile notAModule(QDir(folder()).filePath(QStringLiteral("kringbaas-live.so")));
        QVERIFY(notAModule.open(QIODevice::WriteOnly) && notAModule.write("geen module") > 0);
        notAModule.close();
        QVERIFY(!missing.make(&error));
        QVERIFY2(error.contains(QStringLiteral("kan niet worden geladen")), qPrintable(error));

        live::LoadedSharing built(live::LoadedSharing::modulePathsFor(
            QStringLiteral(KRINGBAAS_BUILD_DIR), QStringLiteral("../nergens")));
        std::unique_ptr<live::Sharing> server = built.make(&error);
        QVERIFY2(server, qPrintable(error));
        QVERIFY2(server->listen(0, &error), qPrintable(error));
        QVERIFY(server->port() > 1024);
        server.reset();
        QVERIFY(built.make(&error));  // once loaded, it stays
    }
};

KB_TEST_MAIN(LiveWindowTest)
#include "tst_livewindow.moc"
