// The server of the live page on its own: its routes, what it answers to everything else, the
// stream of changes, and clients that misbehave. The clients here are plain sockets that write
// raw HTTP, so nothing is tidied up on the way.

#include "CoreTestMain.h"
#include "PrivateHam.h"

#include "live/LiveServer.h"
#include "live/LiveShare.h"
#include "roundmodel/RoundSheet.h"
#include "storage/Database.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <memory>
#include <vector>

#include <sys/socket.h>

using roundmodel::RoundSheet;

namespace {

struct Response {
    int status = 0;  // 0: no answer, the connection closed
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const {
        for (const auto &[key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0) {
                return value;
            }
        }
        return {};
    }
};

QByteArray readSome(QTcpSocket &socket) {
    return socket.isOpen() ? socket.readAll() : QByteArray();
}

// Runs the event loop (the server lives on it) until done() or five seconds have passed.
template <typename Done>
bool waitFor(Done done) {
    QDeadlineTimer deadline(5000);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Reads one answer: the status line, the headers and, unless asked with HEAD, as many bytes as
// Content-Length says (an event stream: what came so far).
Response readResponse(QTcpSocket &socket, QByteArray &buffer, bool head = false) {
    Response response;
    int end = -1;
    waitFor([&] {
        buffer += readSome(socket);
        end = buffer.indexOf("\r\n\r\n");
        return end >= 0 || socket.state() == QAbstractSocket::UnconnectedState;
    });
    if (end < 0) {
        return response;
    }
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);
    response.status = lines.value(0).split(' ').value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        response.headers.append(
            {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    if (head || response.status == 304) {
        return response;
    }
    if (response.header("Content-Type") == "text/event-stream") {
        waitFor([&] {
            buffer += readSome(socket);
            return buffer.contains("\n\n{") || buffer.count("\n\n") >= 2;
        });
        response.body = buffer;
        buffer.clear();
        return response;
    }
    const qsizetype length = response.header("Content-Length").toLongLong();
    waitFor([&] {
        buffer += readSome(socket);
        return buffer.size() >= length || socket.state() == QAbstractSocket::UnconnectedState;
    });
    response.body = buffer.left(length);
    buffer.remove(0, length);
    return response;
}

class Client {
public:
    // From `from`, an address of the loopback network (127.0.0.1 unless said), to act as one
    // browser of the club's network among others.
    explicit Client(quint16 port, const QHostAddress &from = QHostAddress::LocalHost) {
        socket_.bind(from);
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    bool connected() {
        return waitFor([&] { return socket_.state() == QAbstractSocket::ConnectedState; });
    }
    Response ask(const QByteArray &request, bool head = false) {
        if (!connected()) {
            return {};
        }
        socket_.write(request);
        return readResponse(socket_, buffer_, head);
    }
    Response get(const QByteArray &path, const QByteArray &headers = {}) {
        return ask("GET " + path + " HTTP/1.1\r\nHost: localhost\r\n" + headers + "\r\n");
    }
    // What the stream brought since, waiting until it holds `what`.
    QByteArray streamUntil(const QByteArray &what) {
        waitFor([&] {
            buffer_ += readSome(socket_);
            return buffer_.contains(what);
        });
        return std::exchange(buffer_, {});
    }
    bool closedByServer() {
        return waitFor([&] {
            readSome(socket_);
            return socket_.state() == QAbstractSocket::UnconnectedState;
        });
    }
    QTcpSocket &socket() { return socket_; }

private:
    QTcpSocket socket_;
    QByteArray buffer_;
};

// Short, so that a connection left idle is seen closed within the test.
constexpr int kIdleMs = 500;
constexpr int kHeartbeatMs = 200;  // for the one test of it

const QByteArray kRound = R"({"clubCall":"PI4ZUD","rows":[]})";

// The n-th address of the loopback network after 127.0.0.1, for clients that must come from
// addresses of their own.
QHostAddress loopback(int n) {
    return QHostAddress(quint32(0x7f000001 + n));
}

std::optional<storage::Ham> lookUpHam(const QString &call) {
    return fixture::privateHam(call, QStringLiteral("Henk"));
}

}  // namespace

class LiveServerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<live::LiveServer> server_;
    quint16 port_ = 0;

private Q_SLOTS:
    void init() {
        server_ = std::make_unique<live::LiveServer>(nullptr, kIdleMs);
        QString error;
        QVERIFY2(server_->listen(0, &error), qPrintable(error));
        port_ = server_->port();
        QVERIFY(port_ > 1024);
        server_->publish(kRound);
    }
    void cleanup() { server_.reset(); }

    // The few routes, GET and HEAD; everything else a plain error.
    void routes_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("type");

        const QByteArray html = "text/html; charset=utf-8";
        const QByteArray text = "text/plain; charset=utf-8";
        QTest::newRow("page") << QByteArray("GET") << QByteArray("/") << 200 << html;
        QTest::newRow("overlay") << QByteArray("GET") << QByteArray("/?overlay=1") << 200 << html;
        QTest::newRow("json") << QByteArray("GET") << QByteArray("/ronde.json") << 200
                              << QByteArray("application/json");
        QTest::newRow("json with a query") << QByteArray("GET") << QByteArray("/ronde.json?x=1")
                                           << 200 << QByteArray("application/json");
        QTest::newRow("HEAD page") << QByteArray("HEAD") << QByteArray("/") << 200 << html;
        QTest::newRow("HEAD json") << QByteArray("HEAD") << QByteArray("/ronde.json") << 200
                                   << QByteArray("application/json");
        QTest::newRow("HEAD events") << QByteArray("HEAD") << QByteArray("/ronde.events") << 200
                                     << QByteArray("text/event-stream");
        for (const char *method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE"}) {
            QTest::addRow("%s", method) << QByteArray(method) << QByteArray("/") << 405 << text;
        }
        QTest::newRow("POST json")
            << QByteArray("POST") << QByteArray("/ronde.json") << 405 << text;
        QTest::newRow("unknown method") << QByteArray("BREW") << QByteArray("/") << 405 << text;
        for (const char *path :
             {"/../kringbaasbase.mdb", "/kringbaasbase.mdb", "/%2e%2e/kringbaasbase.mdb",
              "/..%2fkringbaasbase.mdb", "/basis", "/page.html", "/live/page.html", "/ronde.json/",
              "//ronde.json", "/ronde.JSON", "/index.html", "/favicon.ico", "/ronde.events/x",
              "/%00"}) {
            QTest::addRow("%s", path) << QByteArray("GET") << QByteArray(path) << 404 << text;
        }
        QTest::newRow("HEAD missing") << QByteArray("HEAD") << QByteArray("/basis") << 404 << text;
    }
    void routes() {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        QFETCH(QByteArray, type);

        // A file of the data folder where a careless server would look for it.
        QTemporaryDir dir;
        QFile secret(dir.filePath(QStringLiteral("kringbaasbase.mdb")));
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("GEHEIM") == 6);
        secret.close();
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto back = qScopeGuard([&] { QDir::setCurrent(before); });

        Client client(port_);
        const bool head = method == "HEAD";
        const Response response =
            client.ask(method + ' ' + path + " HTTP/1.1\r\nHost: localhost\r\n\r\n", head);
        QCOMPARE(response.status, status);
        QCOMPARE(response.header("Content-Type"), type);
        QCOMPARE(response.header("X-Content-Type-Options"), QByteArray("nosniff"));
        QVERIFY(!response.body.contains("GEHEIM"));
        if (status == 405) {
            QCOMPARE(response.header("Allow"), QByteArray("GET, HEAD"));
        }
        if (head) {
            QVERIFY(response.body.isEmpty());
            // The same length as GET would bring, and nothing more on the connection.
            if (type != "text/event-stream") {
                const Response got = client.get(path);
                QCOMPARE(response.header("Content-Length").toLongLong(), got.body.size());
            }
        } else if (status == 200 && path.startsWith("/ronde.json")) {
            QCOMPARE(response.body, kRound);
        } else if (status == 200) {
            QVERIFY(response.body.startsWith("<!doctype html>"));
            QVERIFY(response.body.contains("new EventSource(\"ronde.events\")"));
            QVERIFY(!response.header("Content-Security-Policy").isEmpty());
        }
        // The connection goes on for the next request.
        QCOMPARE(client.get("/ronde.json").status, 200);
    }

    // A browser that has the round asks whether it changed and gets no body when it did not.
    void etagAnswersNotModified() {
        Client client(port_);
        const Response first = client.get("/ronde.json");
        const QByteArray etag = first.header("ETag");
        QVERIFY(etag.startsWith('"') && etag.endsWith('"') && etag.size() > 10);
        QCOMPARE(first.header("Cache-Control"), QByteArray("no-cache"));

        const Response same = client.get("/ronde.json", "If-None-Match: " + etag + "\r\n");
        QCOMPARE(same.status, 304);
        QVERIFY(same.body.isEmpty());

        server_->publish(R"({"clubCall":"PI4ZUD","rows":[{"number":1}]})");
        const Response changed = client.get("/ronde.json", "If-None-Match: " + etag + "\r\n");
        QCOMPARE(changed.status, 200);
        QVERIFY(changed.header("ETag") != etag);
        QVERIFY(changed.body.contains("\"number\":1"));
    }

    // The stream brings the round at once and every change after it, to every browser.
    void streamFollowsChanges() {
        std::vector<std::unique_ptr<Client>> browsers;
        for (int i = 0; i < 3; ++i) {
            browsers.push_back(std::make_unique<Client>(port_));
            const Response opened = browsers.back()->get("/ronde.events");
            QCOMPARE(opened.status, 200);
            QCOMPARE(opened.header("Content-Type"), QByteArray("text/event-stream"));
            QVERIFY(opened.header("Content-Length").isEmpty());
            QVERIFY2(opened.body.contains("event: ronde\ndata: " + kRound + "\n\n"),
                     opened.body.constData());
        }
        QCOMPARE(server_->viewers(), 3);

        const QByteArray next = R"({"clubCall":"PI4ZUD","rows":[{"call":"PD1XYZ"}]})";
        server_->publish(next);
        for (auto &browser : browsers) {
            QCOMPARE(browser->streamUntil("\n\n"), "event: ronde\ndata: " + next + "\n\n");
        }
        // The same round again is no change.
        server_->publish(next);
        QCoreApplication::processEvents();
        QVERIFY(!browsers[0]->socket().waitForReadyRead(50));

        browsers[1].reset();
        QVERIFY(waitFor([&] { return server_->viewers() == 2; }));
        server_->publish(kRound);
        QCOMPARE(browsers[2]->streamUntil("\n\n"), "event: ronde\ndata: " + kRound + "\n\n");
    }

    // Streams hear from the server while nothing changes; a follower beyond the last one the
    // server takes is told so, and its connection does not stay.
    void heartbeatAndStreamLimit() {
        server_ = std::make_unique<live::LiveServer>(nullptr, kIdleMs, kHeartbeatMs);
        QString error;
        QVERIFY2(server_->listen(port_, &error), qPrintable(error));
        Client first(port_);
        QVERIFY(first.get("/ronde.events").status == 200);
        QCOMPARE(first.streamUntil(": \n\n").right(4), QByteArray(": \n\n"));

        // As many followers as the server takes, as many from each address as it takes from one.
        std::vector<std::unique_ptr<QTcpSocket>> more;
        for (int i = 1; i < live::LiveServer::kMaxStreams; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->bind(loopback(i / live::LiveServer::kMaxStreamsPerAddress));
            socket->connectToHost(QHostAddress::LocalHost, port_);
            // Written once connected.
            socket->write("GET /ronde.events HTTP/1.1\r\nHost: localhost\r\n\r\n");
            more.push_back(std::move(socket));
        }
        QVERIFY(waitFor([&] { return server_->viewers() == live::LiveServer::kMaxStreams; }));
        Client refused(port_, loopback(live::LiveServer::kMaxStreams));  // an address of its own
        const Response answer = refused.get("/ronde.events");
        QCOMPARE(answer.status, 503);
        QCOMPARE(answer.header("Retry-After"), QByteArray("10"));
        QVERIFY(refused.closedByServer());  // within the idle time
        QCOMPARE(server_->viewers(), live::LiveServer::kMaxStreams);
        QCOMPARE(Client(port_).get("/ronde.json").status, 200);
    }

    // A request's head is held to its limits in bytes and in lines: beyond them the answer is 431
    // and the connection is closed (a client still sending may find it closed before it reads
    // the answer). A body is read and thrown away; one too large closes the connection. Neither
    // stops the server.
    void largeRequests_data() {
        using live::LiveServer;
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");  // 0: cut off
        QTest::addColumn<bool>("closed");

        const QByteArray start = "GET /ronde.json HTTP/1.1\r\nHost: localhost\r\nX-Veel: ";
        const auto head = [&start](qint64 size) {
            return start + QByteArray(size - start.size() - 4, 'a') + "\r\n\r\n";
        };
        const auto lines = [](int count) {
            return "GET /ronde.json HTTP/1.1\r\nHost: localhost\r\n" +
                   QByteArray("a:\r\n").repeated(count - 1) + "\r\n";
        };
        const QByteArray mega(1024 * 1024, 'a');
        QTest::newRow("head at the limit") << head(LiveServer::kMaxHeadBytes) << 200 << false;
        QTest::newRow("head a byte over") << head(LiveServer::kMaxHeadBytes + 1) << 431 << true;
        QTest::newRow("1 MB header") << head(mega.size()) << 431 << true;
        QTest::newRow("1 MB path")
            << QByteArray("GET /" + mega + " HTTP/1.1\r\nHost: localhost\r\n\r\n") << 431 << true;
        QTest::newRow("header lines at the limit")
            << lines(LiveServer::kMaxHeaderLines) << 200 << false;
        QTest::newRow("a header line too many")
            << lines(LiveServer::kMaxHeaderLines + 1) << 431 << true;
        QTest::newRow("a million tiny header lines")
            << QByteArray("GET / HTTP/1.1\r\n" + QByteArray("a:\n").repeated(1'400'000) + "\r\n")
            << 431 << true;
        QTest::newRow("1 MB body")
            << QByteArray("POST / HTTP/1.1\r\nHost: localhost\r\nContent-Length: " +
                          QByteArray::number(mega.size()) + "\r\n\r\n" + mega)
            << 405 << false;
        const QByteArray tooMuch(8 * 1024 * 1024, 'b');
        QTest::newRow("8 MB body")
            << QByteArray("POST / HTTP/1.1\r\nHost: localhost\r\nContent-Length: " +
                          QByteArray::number(tooMuch.size()) + "\r\n\r\n" + tooMuch)
            << 0 << true;
        QTest::newRow("8 MB header") << head(tooMuch.size()) << 431 << true;
    }
    void largeRequests() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(bool, closed);

        Client client(port_);
        const Response response = client.ask(request);
        const bool stillSending = request.size() > 64 * 1024;
        QVERIFY2(response.status == status || (closed && stillSending && response.status == 0),
                 qPrintable(QString::number(response.status)));
        if (closed) {
            QVERIFY(client.closedByServer());
        } else {
            QCOMPARE(client.get("/ronde.json").status, 200);
        }
        QCOMPARE(Client(port_).get("/ronde.json").status, 200);
    }

    // A body is thrown away as it comes: the server holds no more for it than for a head.
    void bodiesAreNotKept_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<int>("status");
        QTest::newRow("POST") << QByteArray("POST") << 405;
        QTest::newRow("GET") << QByteArray("GET") << 200;
    }
    void bodiesAreNotKept() {
        QFETCH(QByteArray, method);
        QFETCH(int, status);
        const QByteArray piece(64 * 1024, 'b');
        const int pieces = 48;  // 3 MB
        Client client(port_);
        QVERIFY(client.connected());
        client.socket().write(method +
                              " /ronde.json HTTP/1.1\r\nHost: localhost\r\nContent-Length: " +
                              QByteArray::number(piece.size() * pieces) + "\r\n\r\n");
        // A piece at a time, each once the one before has gone out, to see what the server holds.
        qint64 most = 0;
        for (int i = 0; i < pieces; ++i) {
            client.socket().write(piece);
            QVERIFY(waitFor([&] {
                most = std::max(most, server_->queuedBytes());
                return client.socket().bytesToWrite() == 0;
            }));
        }
        QByteArray buffer;
        const Response response = readResponse(client.socket(), buffer);
        QCOMPARE(response.status, status);
        QVERIFY2(most <= live::LiveServer::kMaxHeadBytes + 128 * 1024,
                 qPrintable(QString::number(most)));
        // The body was not taken for a request: the connection goes on.
        QCOMPARE(client.get("/ronde.json").body, kRound);
    }

    // What is no HTTP request closes the connection: at once, with 400, where its head cannot be
    // read, after the idle time where the server waits for more. The server goes on.
    void malformedRequests_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("garbage") << QByteArray("GARBAGE\r\n\r\n");
        QTest::newRow("binary") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11);
        QTest::newRow("no version") << QByteArray("GET /\r\n\r\n");
        QTest::newRow("half a request") << QByteArray("GET /ronde.json HTTP/1.1\r\nHost:");
        QTest::newRow("bad length")
            << QByteArray("POST / HTTP/1.1\r\nHost: localhost\r\nContent-Length: -5\r\n\r\n");
        QTest::newRow("bad chunk") << QByteArray(
            "POST / HTTP/1.1\r\nHost: localhost\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n");
    }
    void malformedRequests() {
        QFETCH(QByteArray, request);
        Client client(port_);
        const Response response = client.ask(request);
        QVERIFY2(response.status == 0 || response.status >= 400,
                 qPrintable(QString::number(response.status)));
        QVERIFY(client.closedByServer());
        QCOMPARE(Client(port_).get("/ronde.json").status, 200);
    }

    // A client that sends request after request and never reads the answers: the server stops
    // reading its requests while an answer waits, holds no more than a bound for it, and drops
    // it once it keeps sending meanwhile.
    void pipelinedRequestsNotRead() {
        QTcpSocket greedy;
        // The client takes nothing in: what the server sends stays in the system's buffers.
        greedy.setReadBufferSize(1);
        greedy.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        greedy.connectToHost(QHostAddress::LocalHost, port_);
        QVERIFY(waitFor([&] { return greedy.state() == QAbstractSocket::ConnectedState; }));
        const QByteArray request = "GET / HTTP/1.1\r\nHost: localhost\r\n\r\n";
        greedy.write(request.repeated(200'000));  // about 5 MB of requests, 1.2 GB of answers

        qint64 most = 0;
        const bool dropped = waitFor([&] {
            most = std::max(most, server_->queuedBytes());
            return greedy.state() == QAbstractSocket::UnconnectedState;
        });
        QVERIFY2(most <= 256 * 1024, qPrintable(QString::number(most)));
        QVERIFY(dropped);
        QVERIFY(waitFor([&] { return server_->queuedBytes() == 0; }));
        QCOMPARE(Client(port_).get("/ronde.json").status, 200);
    }

    // A client that sends its requests ahead and reads slowly gets every answer, in order: the
    // server waits while the answers wait, and goes on as they are read.
    void pipelinedRequestsReadSlowly() {
        const QByteArray request = "GET / HTTP/1.1\r\nHost: localhost\r\n\r\n";
        Client one(port_);
        const Response single = one.get("/");
        QCOMPARE(single.status, 200);

        QTcpSocket slow;
        slow.setReadBufferSize(1);
        slow.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        slow.connectToHost(QHostAddress::LocalHost, port_);
        QVERIFY(waitFor([&] { return slow.state() == QAbstractSocket::ConnectedState; }));
        const int count = 1500;  // within what may wait, about 9 MB of answers
        slow.write(request.repeated(count));
        QVERIFY(waitFor([&] { return server_->queuedBytes() > 0; }));  // an answer waits

        slow.setReadBufferSize(0);
        QByteArray received;
        QVERIFY(waitFor([&] {
            received += slow.readAll();
            return received.count("HTTP/1.1 200 OK\r\n") == count && received.endsWith(single.body);
        }));
        QCOMPARE(slow.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(received.count(single.body), count);
    }

    // Unfinished requests from many addresses together stay within what the server keeps for
    // all of them, though each address stays within its own limit: a connection that holds the
    // most is closed, the others are answered.
    void unfinishedRequestsTogether() {
        using live::LiveServer;
        // No connection is closed for its idle time within this test.
        server_ = std::make_unique<LiveServer>();
        QString error;
        QVERIFY2(server_->listen(port_, &error), qPrintable(error));
        const int perAddress =
            int(LiveServer::kMaxPendingPerAddress / LiveServer::kMaxHeadBytes) - 1;
        const int addresses =
            int(LiveServer::kMaxPendingTotal / (perAddress * LiveServer::kMaxHeadBytes)) + 2;
        const int count = perAddress * addresses;
        const QByteArray half = "GET /ronde.json HTTP/1.1\r\nHost: localhost\r\nX-Veel: " +
                                QByteArray(LiveServer::kMaxHeadBytes - 1024, 'a');
        std::vector<std::unique_ptr<Client>> clients;
        for (int i = 0; i < count; ++i) {
            clients.push_back(std::make_unique<Client>(port_, loopback(i / perAddress)));
            QVERIFY(clients.back()->connected());
            clients.back()->socket().write(half);
        }
        // Until the server has closed one; none is complete before.
        qint64 most = 0;
        QVERIFY(waitFor([&] {
            most = std::max(most, server_->queuedBytes());
            return std::any_of(clients.begin(), clients.end(), [](const auto &c) {
                c->socket().readAll();
                return c->socket().state() == QAbstractSocket::UnconnectedState;
            });
        }));
        QVERIFY2(most <= LiveServer::kMaxPendingTotal + 256 * 1024,
                 qPrintable(QString::number(most)));
        QCOMPARE(Client(port_, loopback(addresses)).get("/ronde.json").status, 200);
        int answered = 0;
        for (auto &client : clients) {
            if (client->socket().state() == QAbstractSocket::ConnectedState &&
                client->ask("\r\n\r\n").status == 200) {
                ++answered;
            }
        }
        QVERIFY2(answered > 0 && answered < count, qPrintable(QString::number(answered)));
    }

    // One machine that sends unfinished requests on every connection it may open holds no more
    // than its own share, and a browser elsewhere is still answered at once.
    void oneAddressCannotLockOthersOut_data() {
        using live::LiveServer;
        QTest::addColumn<qint64>("size");      // of each unfinished head
        QTest::addColumn<int>("mayStayOpen");  // of its connections
        QTest::newRow("4 MB each") << qint64(4 * 1024 * 1024) << 0;
        QTest::newRow("each within a head")
            << qint64(LiveServer::kMaxHeadBytes - 1024)
            << int(LiveServer::kMaxPendingPerAddress / LiveServer::kMaxHeadBytes);
    }
    void oneAddressCannotLockOthersOut() {
        using live::LiveServer;
        QFETCH(qint64, size);
        QFETCH(int, mayStayOpen);
        // No connection is closed for its idle time within this test.
        server_ = std::make_unique<LiveServer>();
        QString error;
        QVERIFY2(server_->listen(port_, &error), qPrintable(error));
        const QByteArray start = "GET / HTTP/1.1\r\nHost: localhost\r\nX-Veel: ";
        const QByteArray unfinished = start + QByteArray(size - start.size(), 'a');
        std::vector<std::unique_ptr<Client>> greedy;
        for (int i = 0; i < LiveServer::kMaxConnectionsPerAddress; ++i) {
            greedy.push_back(std::make_unique<Client>(port_, loopback(1)));
            QVERIFY(greedy.back()->connected());
            greedy.back()->socket().write(unfinished);
        }
        const auto closed = [&greedy] {
            return int(std::count_if(greedy.begin(), greedy.end(), [](const auto &c) {
                readSome(c->socket());
                return c->socket().state() == QAbstractSocket::UnconnectedState;
            }));
        };
        qint64 most = 0;
        waitFor([&] {
            most = std::max(most, server_->queuedBytes());
            return closed() >= LiveServer::kMaxConnectionsPerAddress - mayStayOpen ||
                   server_->queuedBytes() >= LiveServer::kMaxConnectionsPerAddress * size;
        });

        Client browser(port_, loopback(2));
        const Response page = browser.ask(
            "GET / HTTP/1.1\r\nHost: 192.168.1.20:8073\r\nConnection: keep-alive\r\n"
            "User-Agent: Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
            "Chrome/120.0.0.0 Safari/537.36\r\n"
            "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
            "Accept-Encoding: gzip, deflate\r\nAccept-Language: nl-NL,nl;q=0.9\r\n\r\n");
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.startsWith("<!doctype html>"));
        QVERIFY2(most <= LiveServer::kMaxPendingPerAddress + 128 * 1024,
                 qPrintable(QString::number(most)));
        QVERIFY2(closed() >= LiveServer::kMaxConnectionsPerAddress - mayStayOpen,
                 qPrintable(QString::number(closed())));
        // Those left open are answered once their requests are whole.
        for (auto &client : greedy) {
            if (client->socket().state() == QAbstractSocket::ConnectedState) {
                QCOMPARE(client->ask("\r\n\r\n").status, 200);
            }
        }
    }

    // A stream only listens: a connection that sends anything after asking for it is closed,
    // whatever it sends, and holds nothing of it.
    void streamThatSendsMore_data() {
        QTest::addColumn<QByteArray>("more");
        QTest::newRow("a byte") << QByteArray("x");
        QTest::newRow("a request")
            << QByteArray("GET /ronde.json HTTP/1.1\r\nHost: localhost\r\n\r\n");
        QTest::newRow("half a request of 3 MB")
            << QByteArray("GET / HTTP/1.1\r\nX-Veel: " + QByteArray(3 * 1024 * 1024, 'a'));
    }
    void streamThatSendsMore() {
        QFETCH(QByteArray, more);
        Client follower(port_);
        QCOMPARE(follower.get("/ronde.events").status, 200);
        QCOMPARE(server_->viewers(), 1);
        follower.socket().write(more);
        QVERIFY(follower.closedByServer());
        QCOMPARE(server_->viewers(), 0);
        QVERIFY(waitFor([&] { return server_->queuedBytes() == 0; }));

        // The same when the rest comes with the request for the stream.
        QTcpSocket both;
        both.connectToHost(QHostAddress::LocalHost, port_);
        both.write("GET /ronde.events HTTP/1.1\r\nHost: localhost\r\n\r\n" + more);
        QVERIFY(waitFor([&] {
            both.readAll();
            return both.state() == QAbstractSocket::UnconnectedState;
        }));
        QCOMPARE(server_->viewers(), 0);
    }

    // One address takes only so many connections and streams: a loop on one machine does not
    // lock out the others.
    void limitsPerAddress() {
        using live::LiveServer;
        std::vector<std::unique_ptr<Client>> one;
        for (int i = 0; i < LiveServer::kMaxConnectionsPerAddress; ++i) {
            one.push_back(std::make_unique<Client>(port_, loopback(0)));
            QCOMPARE(one.back()->get("/ronde.json").status, 200);
        }
        Client tooMany(port_, loopback(0));
        QCOMPARE(tooMany.get("/ronde.json").status, 0);
        QVERIFY(tooMany.closedByServer());
        QCOMPARE(Client(port_, loopback(1)).get("/ronde.json").status, 200);
        // Once one of them goes, the address gets in again.
        one.pop_back();
        QVERIFY(
            waitFor([&] { return Client(port_, loopback(0)).get("/ronde.json").status == 200; }));
        one.clear();

        std::vector<std::unique_ptr<Client>> streams;
        for (int i = 0; i < LiveServer::kMaxStreamsPerAddress; ++i) {
            streams.push_back(std::make_unique<Client>(port_, loopback(2)));
            QCOMPARE(streams.back()->get("/ronde.events").status, 200);
        }
        Client refused(port_, loopback(2));
        const Response answer = refused.get("/ronde.events");
        QCOMPARE(answer.status, 503);
        QCOMPARE(answer.header("Retry-After"), QByteArray("10"));
        Client other(port_, loopback(3));
        QCOMPARE(other.get("/ronde.events").status, 200);
        QCOMPARE(server_->viewers(), LiveServer::kMaxStreamsPerAddress + 1);
    }

    // Who is answered: the local network, in IPv4 and IPv6, unless opened to all.
    void localNetwork_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("local");
        const std::pair<const char *, bool> cases[] = {
            {"10.0.0.1", true},
            {"10.255.255.254", true},
            {"11.0.0.1", false},
            {"9.255.255.255", false},
            {"172.16.0.1", true},
            {"172.31.255.255", true},
            {"172.15.255.255", false},
            {"172.32.0.1", false},
            {"192.168.1.20", true},
            {"192.169.0.1", false},
            {"192.167.255.1", false},
            {"127.0.0.1", true},
            {"127.1.2.3", true},
            {"128.0.0.1", false},
            {"169.254.10.1", true},
            {"169.255.0.1", false},
            {"169.253.0.1", false},
            {"8.8.8.8", false},
            {"100.64.0.1", false},
            {"0.0.0.0", false},
            {"255.255.255.255", false},
            {"::1", true},
            {"::", false},
            {"::2", false},
            {"fc00::1", true},
            {"fd12:3456::1", true},
            {"fe00::1", false},
            {"fe80::1", true},
            {"febf::1", true},
            {"fec0::1", false},
            {"2001:db8::1", false},
            {"2a02:58::1", false},
            {"::ffff:192.168.1.20", true},
            {"::ffff:127.0.0.1", true},
            {"::ffff:8.8.8.8", false},
            {"::ffff:172.32.0.1", false},
        };
        for (const auto &[address, local] : cases) {
            QTest::newRow(address) << QString::fromLatin1(address) << local;
        }
    }
    void localNetwork() {
        QFETCH(QString, address);
        QFETCH(bool, local);
        const QHostAddress host(address);
        QVERIFY(!host.isNull());
        QCOMPARE(live::LiveServer::isLocalNetwork(host), local);
    }

    // Only a Host that names this machine in a way no other site can is answered: a web site
    // whose name was made to point at this machine gets nothing of the round. HTTP/1.1 must say
    // its Host, HTTP/1.0 may leave it out.
    void hostNames_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const auto get = [](const QByteArray &host) {
            return "GET /ronde.json HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
        };
        for (const char *host : {"localhost", "LocalHost:8073", "127.0.0.1", "127.0.0.1:8073",
                                 "192.168.1.20:80", "10.0.0.255", "[::1]", "[::1]:8073",
                                 "[fe80::1]:8073", "[::ffff:192.168.1.20]", "[fd12:3456::1]"}) {
            QTest::addRow("%s", host) << get(host) << 200;
        }
        const QByteArray self = QHostInfo::localHostName().toUtf8();
        QVERIFY(!self.isEmpty());
        for (const QByteArray &host :
             {self, self.toUpper() + ":8073", self + ".local", self + ".LOCAL:8073"}) {
            QTest::addRow("own name %s", host.constData()) << get(host) << 200;
        }
        for (const QByteArray &host : {QByteArray("evil.example"),
                                       QByteArray("evil.example:8073"),
                                       QByteArray("localhost.evil.example"),
                                       QByteArray("127.0.0.1.nip.io"),
                                       QByteArray("1.2.3"),
                                       QByteArray("1.2.3.4.5"),
                                       QByteArray("256.1.1.1"),
                                       QByteArray("0x7f.0.0.1"),
                                       QByteArray("::1"),
                                       QByteArray("[::1"),
                                       QByteArray("[evil.example]"),
                                       QByteArray("[127.0.0.1]"),
                                       QByteArray("localhost:"),
                                       QByteArray("localhost:80:80"),
                                       QByteArray("localhost:http"),
                                       QByteArray("localhost:123456"),
                                       QByteArray(""),
                                       QByteArray("local"),
                                       self + ".evil.example",
                                       self + ".local.evil",
                                       "x" + self}) {
            QTest::addRow("refused %s", host.constData()) << get(host) << 421;
        }
        QTest::newRow("no Host") << QByteArray("GET /ronde.json HTTP/1.1\r\n\r\n") << 400;
        QTest::newRow("two Hosts") << QByteArray(
                                          "GET /ronde.json HTTP/1.1\r\nHost: localhost\r\n"
                                          "Host: evil.example\r\n\r\n")
                                   << 400;
        QTest::newRow("HTTP/1.0 without Host")
            << QByteArray("GET /ronde.json HTTP/1.0\r\n\r\n") << 200;
        QTest::newRow("HTTP/1.0 refused")
            << QByteArray("GET /ronde.json HTTP/1.0\r\nHost: evil.example\r\n\r\n") << 421;
        QTest::newRow("the stream refused")
            << QByteArray("GET /ronde.events HTTP/1.1\r\nHost: evil.example\r\n\r\n") << 421;
    }
    void hostNames() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        Client client(port_);
        const Response response = client.ask(request);
        QCOMPARE(response.status, status);
        if (status == 200) {
            QCOMPARE(response.body, kRound);
        } else {
            QVERIFY(!response.body.contains("PI4ZUD"));
            QCOMPARE(response.header("Connection"), QByteArray("close"));
            QVERIFY(client.closedByServer());
        }
        QCOMPARE(server_->viewers(), 0);
    }

    // HTTP/1.0 is answered once, also when it asks to keep the connection, and the answer says
    // the connection closes.
    void http10AnsweredOnce_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("plain") << QByteArray("GET /ronde.json HTTP/1.0\r\n\r\n");
        QTest::newRow("keep-alive")
            << QByteArray("GET /ronde.json HTTP/1.0\r\nConnection: keep-alive\r\n\r\n");
        QTest::newRow("keep-alive with Host") << QByteArray(
            "GET /ronde.json HTTP/1.0\r\nHost: localhost\r\nConnection: Keep-Alive\r\n\r\n");
    }
    void http10AnsweredOnce() {
        QFETCH(QByteArray, request);
        Client client(port_);
        const Response response = client.ask(request);
        QCOMPARE(response.status, 200);
        QCOMPARE(response.body, kRound);
        QCOMPARE(response.header("Connection"), QByteArray("close"));
        QVERIFY(client.closedByServer());
    }

    // A client that closes its writing side after its request still gets the whole answer.
    void answerAfterTheClientClosedItsSide_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("json") << QByteArray("GET /ronde.json HTTP/1.1\r\nHost: localhost\r\n\r\n")
                              << kRound;
        QTest::newRow("HTTP/1.0") << QByteArray("GET /ronde.json HTTP/1.0\r\n\r\n") << kRound;
        QTest::newRow("page") << QByteArray("GET / HTTP/1.1\r\nHost: localhost\r\n\r\n")
                              << QByteArray("<!doctype html>");
    }
    void answerAfterTheClientClosedItsSide() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, body);
        for (int attempt = 0; attempt < 10; ++attempt) {
            QTcpSocket client;
            client.connectToHost(QHostAddress::LocalHost, port_);
            QVERIFY(client.waitForConnected(5000));
            client.write(request);
            QVERIFY(client.waitForBytesWritten(5000));
            QCOMPARE(::shutdown(int(client.socketDescriptor()), SHUT_WR), 0);
            QByteArray received;
            waitFor([&] {
                received += client.readAll();
                return client.state() == QAbstractSocket::UnconnectedState;
            });
            received += client.readAll();
            QVERIFY2(received.startsWith("HTTP/1.1 200 OK\r\n"),
                     qPrintable(QStringLiteral("attempt %1: %2")
                                    .arg(attempt)
                                    .arg(QString::fromLatin1(received.left(80)))));
            QVERIFY(received.mid(received.indexOf("\r\n\r\n") + 4).startsWith(body));
        }
    }

    // A request to become a WebSocket is answered as the plain request it also is, once, and the
    // connection goes on.
    void webSocketUpgradeAnsweredOnce_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::newRow("page") << QByteArray("/") << 200;
        QTest::newRow("json") << QByteArray("/ronde.json") << 200;
        QTest::newRow("missing") << QByteArray("/socket") << 404;
    }
    void webSocketUpgradeAnsweredOnce() {
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        Client client(port_);
        const Response response = client.ask(
            "GET " + path +
            " HTTP/1.1\r\nHost: localhost\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
            "Sec-WebSocket-Version: 13\r\n\r\n");
        QCOMPARE(response.status, status);
        const Response next = client.get("/ronde.json");
        QCOMPARE(next.status, 200);
        QCOMPARE(next.body, kRound);
        QVERIFY(!client.socket().waitForReadyRead(50));
        QCOMPARE(client.socket().bytesAvailable(), 0);
    }

    // The page may run only its own inline script and style, named by their hashes, and no other
    // site shows it in a frame.
    void pagePolicy() {
        Client client(port_);
        const Response page = client.get("/");
        const QByteArray policy = page.header("Content-Security-Policy");
        QVERIFY(!policy.contains("unsafe"));
        QVERIFY(policy.contains("frame-ancestors 'none'"));
        QVERIFY(policy.contains("default-src 'none'"));
        for (const QByteArray &tag : {QByteArray("script"), QByteArray("style")}) {
            const qsizetype open = page.body.indexOf('<' + tag + '>');
            const qsizetype close = page.body.indexOf("</" + tag + '>');
            QVERIFY(open > 0 && close > open);
            const QByteArray inlineText =
                page.body.mid(open + tag.size() + 2, close - open - tag.size() - 2);
            const QByteArray source =
                "'sha256-" +
                QCryptographicHash::hash(inlineText, QCryptographicHash::Sha256).toBase64() + "'";
            QVERIFY2(policy.contains(tag + "-src " + source), policy.constData());
            QCOMPARE(page.body.count('<' + tag + '>'), 1);
        }
    }

    // Connections opened and dropped, in every state, leave nothing behind.
    void connectionsOpenedAndDropped() {
        // Idle connections are not closed by the server within this test.
        server_ = std::make_unique<live::LiveServer>();
        QString error;
        QVERIFY2(server_->listen(port_, &error), qPrintable(error));
        // From 25 addresses, within what the server takes from one.
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < 200; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->bind(loopback(i % 25));
            socket->connectToHost(QHostAddress::LocalHost, port_);
            sockets.push_back(std::move(socket));
        }
        QVERIFY(waitFor([&] {
            return std::all_of(sockets.begin(), sockets.end(), [](const auto &s) {
                return s->state() == QAbstractSocket::ConnectedState;
            });
        }));
        for (int i = 0; i < 200; ++i) {
            switch (i % 4) {
                case 0:
                    break;  // nothing sent
                case 1:
                    sockets[i]->write("GET /ronde.js");  // half a request
                    break;
                case 2:
                    sockets[i]->write(
                        "GET /ronde.events HTTP/1.1\r\nHost: localhost\r\n\r\n");  // a stream
                    break;
                case 3:
                    sockets[i]->write(
                        "GET / HTTP/1.1\r\nHost: localhost\r\n\r\n");  // an answer not read
                    break;
            }
        }
        QVERIFY(waitFor([&] { return server_->viewers() == 50; }));
        for (size_t i = 0; i < sockets.size(); ++i) {
            if (i % 2) {
                sockets[i]->abort();
            } else {
                sockets[i]->disconnectFromHost();
            }
            sockets[i].reset();
        }
        QVERIFY(waitFor([&] { return server_->viewers() == 0; }));
        server_->publish(R"({"after":true})");
        QCOMPARE(Client(port_).get("/ronde.json").body, QByteArray(R"({"after":true})"));
    }

    // A port already taken is said; a free one is found when none is asked for.
    void portTaken() {
        live::LiveServer second;
        QString error;
        QVERIFY(!second.listen(port_, &error));
        QCOMPARE(error, QStringLiteral("Poort %1 kan niet worden gebruikt: een ander programma "
                                       "gebruikt hem al.")
                            .arg(port_));
        QCOMPARE(second.port(), quint16(0));
        QVERIFY(second.addresses().isEmpty());
        QVERIFY(second.listen(0, &error));
        QVERIFY(second.port() != port_);
        const QStringList addresses = second.addresses();
        QVERIFY(!addresses.isEmpty());
        for (const QString &address : addresses) {
            QVERIFY2(address.startsWith(QStringLiteral("http://")) &&
                         address.endsWith(QStringLiteral(":%1/").arg(second.port())),
                     qPrintable(address));
        }
    }

    // The round sheet shared: a call placed shows in the JSON and the stream after the action,
    // as one change, and nothing of the ham list beyond the row ever does.
    void sheetSharedThroughTheServer() {
        server_.reset();
        QTemporaryDir dir;
        RoundSheet sheet;
        sheet.setHamLookUp(&lookUpHam);
        sheet.setHomeLocator(QStringLiteral("JO22AB"));
        QVERIFY(sheet.open(dir.filePath(QString::fromLatin1(storage::Database::kFileName))));
        live::LiveShare share(sheet,
                              [](QString *) { return std::make_unique<live::LiveServer>(); });
        QString error;
        QVERIFY2(share.start(0, &error), qPrintable(error));

        Client browser(share.port());
        QVERIFY(browser.get("/ronde.events").body.contains("\"rows\":[]"));
        QVERIFY(sheet.addNew());
        sheet.begin(QStringLiteral("PA3ABC"), QStringLiteral("Henk"), QStringLiteral("45"),
                    QDateTime(QDate(2026, 12, 10), QTime(20, 15)),
                    QLocale(QLocale::Dutch, QLocale::Netherlands));
        sheet.setBeginTime(QDateTime(QDate(2026, 12, 10), QTime(19, 15), QTimeZone::utc()));
        QByteArray events = browser.streamUntil("PA3ABC");
        QCOMPARE(events.count("event: ronde"), 1);
        QVERIFY(events.contains("\"beginTime\":\"2026-12-10T19:15:00Z\""));

        QCOMPARE(sheet.placeCall(QStringLiteral("PD1XYZ"), QDateTime::currentDateTimeUtc()),
                 RoundSheet::Placing::Placed);
        sheet.setCell(1, roundmodel::Column::Topic, QStringLiteral("GEHEIM-onderwerp"));
        events = browser.streamUntil("PD1XYZ");
        QCOMPARE(events.count("event: ronde"), 1);
        sheet.giveTurn(1);
        events = browser.streamUntil("\"turnRow\":2");

        Client other(share.port());
        for (const QByteArray &path : {QByteArray("/ronde.json"), QByteArray("/")}) {
            const QByteArray body = other.get(path).body;
            QVERIFY(!body.isEmpty());
            QVERIFY2(!body.contains("GEHEIM") && !body.contains("geheim"), body.constData());
        }
        QVERIFY(!events.contains("GEHEIM") && !events.contains("geheim"));

        share.stop();
        QVERIFY(browser.closedByServer());
        QVERIFY(!share.isOn());
    }
};

KB_CORE_TEST_MAIN(LiveServerTest)
#include "tst_liveserver.moc"
