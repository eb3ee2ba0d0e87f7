// The program's main window with its round shared as a live page, driven line by line from
// standard input, for the tests in a real browser and the load benchmark. It runs offscreen in
// the data folder given, whose ham list holds hams with every private field filled.
//
//   kringbaas_live_fixture FOLDER     prints "port N" once it shares, then after each command
//                                     "ok" and the microseconds the command and its publishing
//                                     took: "ok PLACE_US PUBLISH_US"
// Commands: begin CALL NAME | place CALL | turn N | away N | viewers | quit

#include "Fixture.h"
#include "live/LiveServer.h"
#include "roundsheet/frmMain.h"
#include "storage/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void say(const QByteArray &line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: kringbaas_live_fixture FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    storage::Settings(folder).writeBasis({QStringLiteral("PI4ZUD"), QStringLiteral("Gouda"),
                                          QStringLiteral("145.550"), QStringLiteral("MHz"),
                                          QStringLiteral("JO22AB")});
    storage::Settings(folder).writeRondeTijd(QStringLiteral("45"));
    QList<QStringList> hams;
    for (const char *call : {"PA3ABC", "PD1XYZ", "PE1AAA", "ON4XYZ"}) {
        const QString c = QString::fromLatin1(call);
        hams << QStringList{c,
                            QStringLiteral("Naam van ") + c,
                            QStringLiteral("GEHEIM-adres ") + c,
                            QStringLiteral("GEHEIM-postcode"),
                            QStringLiteral("Gouda"),
                            QStringLiteral("JO22IA"),
                            QStringLiteral("NL"),
                            QStringLiteral("GEHEIM-telefoon"),
                            QStringLiteral("geheim@example.org"),
                            QStringLiteral("GEHEIM-bijzonderheden")};
    }
    // A name that would be markup if the page put it in as such.
    hams << QStringList{QStringLiteral("PA0XSS"),
                        QStringLiteral("<img src=x onerror=alert(1)>"),
                        QString(),
                        QString(),
                        QStringLiteral("Gouda"),
                        QStringLiteral("JO22IA")};
    fixture::seedRows(folder, "qrz", hams);

    fixture::Fakes fakes;
    auto window = fixture::makeMainWindow(folder, fakes.services());
    window->setSharingFactory([](QString *) { return std::make_unique<live::LiveServer>(); });
    window->show();
    live::LiveShare &share = *window->liveShare();
    QString error;
    if (!share.start(0, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    say("port " + QByteArray::number(share.port()));

    // Commands are read on a thread of their own and carried out on the window's.
    QThread *reader = QThread::create([&window, &share, &fakes] {
        std::string text;
        while (std::getline(std::cin, text)) {
            const QStringList words =
                QString::fromStdString(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty()) {
                continue;
            }
            QMetaObject::invokeMethod(window.get(), [words, &window, &share, &fakes] {
                const QString &command = words[0];
                const int number = words.value(1).toInt();
                QElapsedTimer clock;
                clock.start();
                if (command == u"begin") {
                    window->sheet().addNew();
                    window->setAddingEnabled(true);
                    window->beginRound(words.value(1), words.value(2));
                } else if (command == u"place") {
                    window->sheet().placeCall(words.value(1),
                                              [&fakes] { return fakes.clock.utcNow(); });
                } else if (command == u"turn" && number >= 1 && number <= 30) {
                    window->cmdBeurt_Click(number - 1);
                } else if (command == u"away" && number >= 1 && number <= 30) {
                    window->sheet().setAway(number - 1, true);
                } else if (command == u"viewers") {
                    say("viewers " + QByteArray::number(share.viewers()));
                    return;
                } else if (command == u"quit") {
                    QCoreApplication::quit();
                    return;
                }
                const qint64 action = clock.nsecsElapsed() / 1000;
                // The change goes out once the action is done, as in the program.
                QCoreApplication::processEvents();
                const qint64 published = clock.nsecsElapsed() / 1000 - action;
                say("ok " + QByteArray::number(action) + ' ' + QByteArray::number(published));
            });
        }
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit);
    });
    reader->start();
    const int code = QApplication::exec();
    window.reset();
    reader->terminate();
    reader->wait();
    delete reader;
    return code;
}
