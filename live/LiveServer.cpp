#include "live/LiveServer.h"

#include <QtHttpServer/QHttpServerRequest>
#include <QtHttpServer/QHttpServerResponder>

#include <QCryptographicHash>
#include <QFile>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <initializer_list>
#include <utility>

// The page is a resource of this library, which is linked statically.
static void initPageResource() {
    Q_INIT_RESOURCE(live);
}

namespace live {

namespace {

using Status = QHttpServerResponder::StatusCode;
using Headers = std::initializer_list<std::pair<QByteArray, QByteArray>>;

constexpr char kReceived[] = "kringbaasReceived";  // bytes of the request so far

// Accepts connections for the HTTP server and watches them: a connection beyond kMaxConnections
// is closed at once; one that brings more than kMaxPendingBytes for a request, or stays without
// a complete request for the idle time, is closed. Qt's HTTP server reads and keeps whatever a
// client sends until the request is complete, and keeps a connection as long as the client does.
class GuardedListener final : public QTcpServer {
public:
    GuardedListener(int idleMs, QObject *parent) : QTcpServer(parent), idleMs_(idleMs) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (connections_ >= LiveServer::kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++connections_;
        connect(socket, &QObject::destroyed, this, [this] { --connections_; });
        auto *idle = new QTimer(socket);
        idle->setObjectName(QStringLiteral("idle"));
        idle->setSingleShot(true);
        idle->setInterval(idleMs_);
        connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
        idle->start();
        // Connected before the HTTP server's own handler, so it sees the bytes before they are
        // read.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            const qint64 received =
                socket->property(kReceived).toLongLong() + socket->bytesAvailable();
            socket->setProperty(kReceived, received);
            if (received > LiveServer::kMaxPendingBytes) {
                // Once the server's own handler has had these bytes: it reads the socket next.
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
            }
        });
        addPendingConnection(socket);
    }

private:
    int idleMs_;
    int connections_ = 0;
};

// A request came in whole: the next one gets its own budget and idle time; a stream has none.
void requestSeen(QTcpSocket *socket, bool stream) {
    socket->setProperty(kReceived, 0);
    if (auto *idle = socket->findChild<QTimer *>(QStringLiteral("idle"))) {
        if (stream) {
            idle->stop();
        } else {
            idle->start();
        }
    }
}

// What every answer carries: nothing is kept by a browser or a proxy beyond asking again, nothing
// is guessed about its type, no address is passed on.
constexpr std::pair<const char *, const char *> kCommonHeaders[] = {
    {"X-Content-Type-Options", "nosniff"},
    {"Referrer-Policy", "no-referrer"},
};

// The page runs only its own script and style and talks only to this server.
constexpr char kPagePolicy[] =
    "default-src 'none'; script-src 'unsafe-inline'; "
    "style-src 'unsafe-inline'; connect-src 'self'; "
    "img-src 'self' data:; base-uri 'none'; form-action 'none'; "
    "frame-ancestors *";

// The headers every answer carries, then the extra ones of this answer.
void writeHeaders(QHttpServerResponder &responder, Headers extra) {
    for (const auto &[key, value] : kCommonHeaders) {
        responder.writeHeader(key, value);
    }
    for (const auto &[key, value] : extra) {
        responder.writeHeader(key, value);
    }
}

// An answer of a known length; its body only when asked with GET.
void writeAnswer(QHttpServerResponder &responder, Status status, const QByteArray &type,
                 const QByteArray &body, Headers extra, bool head) {
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    writeHeaders(responder, extra);
    responder.writeBody(head ? QByteArray() : body);
}

QByteArray streamEvent(const QByteArray &json) {
    return QByteArrayLiteral("event: ronde\ndata: ") + json + QByteArrayLiteral("\n\n");
}

// Why the listener could not listen, in Dutch where the reason is a common one.
QString reason(const QTcpServer &listener) {
    switch (listener.serverError()) {
        case QAbstractSocket::AddressInUseError:
            return QStringLiteral("een ander programma gebruikt hem al");
        case QAbstractSocket::SocketAccessError:
            return QStringLiteral("daar is geen toestemming voor");
        default:
            return listener.errorString();
    }
}

QByteArray loadPage() {
    initPageResource();
    QFile file(QStringLiteral(":/live/page.html"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<!doctype html>");
}

}  // namespace

LiveServer::LiveServer(QObject *parent, int idleMs, int heartbeatMs)
    : QAbstractHttpServer(parent), idleMs_(idleMs), page_(loadPage()) {
    publish(json_);
    // A comment line on every stream now and then keeps it open through routers that forget
    // quiet connections, and lets the system notice a browser that is gone (a phone off the
    // network) without waiting for the next change. It runs only while someone follows.
    heartbeat_.setInterval(heartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, [this] {
        sendToStreams(QByteArrayLiteral(": \n\n"));
        if (streams_.empty()) {
            heartbeat_.stop();
        }
    });
}

// The streams go with their listener, which owns their sockets.
LiveServer::~LiveServer() = default;

bool LiveServer::listen(quint16 port, QString *error) {
    if (listener_) {
        return true;
    }
    auto *listener = new GuardedListener(idleMs_, this);
    if (!listener->listen(QHostAddress::Any, port)) {
        *error = port == 0 ? QStringLiteral("Er is geen vrije poort: %1").arg(reason(*listener))
                           : QStringLiteral("Poort %1 kan niet worden gebruikt: %2.")
                                 .arg(port)
                                 .arg(reason(*listener));
        delete listener;
        return false;
    }
    bind(listener);
    listener_ = listener;
    return true;
}

quint16 LiveServer::port() const {
    return listener_ ? listener_->serverPort() : 0;
}

QStringList LiveServer::addresses() const {
    if (!listener_) {
        return {};
    }
    QStringList lan;
    QStringList other;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                lan << QStringLiteral("http://%1:%2/").arg(address.toString()).arg(port());
            } else if (address.protocol() == QAbstractSocket::IPv6Protocol &&
                       !address.isLinkLocal()) {
                other << QStringLiteral("http://[%1]:%2/").arg(address.toString()).arg(port());
            }
        }
    }
    other << QStringLiteral("http://localhost:%1/").arg(port());
    return lan + other;
}

void LiveServer::publish(const QByteArray &roundJson) {
    const QByteArray etag =
        '"' + QCryptographicHash::hash(roundJson, QCryptographicHash::Sha1).toHex().left(20) + '"';
    if (etag == etag_) {
        return;
    }
    json_ = roundJson;
    etag_ = etag;
    sendToStreams(streamEvent(json_));
}

void LiveServer::sendToStreams(const QByteArray &bytes) {
    dropClosedStreams();
    for (const QPointer<QTcpSocket> &socket : streams_) {
        // A browser that stopped reading gets no more: its backlog would only grow.
        if (socket->bytesToWrite() > kMaxStreamBacklog) {
            socket->abort();
            continue;
        }
        socket->write(bytes);
    }
}

int LiveServer::viewers() const {
    return int(std::count_if(streams_.begin(), streams_.end(), [](const QPointer<QTcpSocket> &s) {
        return s && s->state() == QAbstractSocket::ConnectedState;
    }));
}

void LiveServer::dropClosedStreams() {
    std::erase_if(streams_, [](const QPointer<QTcpSocket> &socket) {
        return !socket || socket->state() != QAbstractSocket::ConnectedState;
    });
}

bool LiveServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    // A connection that became a stream asks nothing more.
    if (std::any_of(streams_.begin(), streams_.end(),
                    [socket](const QPointer<QTcpSocket> &s) { return s == socket; })) {
        socket->abort();
        return true;
    }
    requestSeen(socket, false);
    const bool head = request.method() == QHttpServerRequest::Method::Head;
    auto respond = [&](Status status, const QByteArray &type, const QByteArray &body,
                       Headers extra = {}) {
        QHttpServerResponder responder = makeResponder(request, socket);
        writeAnswer(responder, status, type, body, extra, head);
    };
    const QByteArray text = "text/plain; charset=utf-8";
    if (request.method() != QHttpServerRequest::Method::Get && !head) {
        respond(Status::MethodNotAllowed, text, "Alleen GET en HEAD.\n",
                {{"Allow", "GET, HEAD"}, {"Cache-Control", "no-store"}});
        return true;
    }
    const QString path = request.url().path(QUrl::FullyEncoded);
    if (path == u"/") {
        respond(Status::Ok, "text/html; charset=utf-8", page_,
                {{"Cache-Control", "no-cache"}, {"Content-Security-Policy", kPagePolicy}});
    } else if (path == u"/ronde.json") {
        if (request.value("If-None-Match") == etag_) {
            QHttpServerResponder responder = makeResponder(request, socket);
            responder.writeStatusLine(Status::NotModified);
            writeHeaders(responder, {{"ETag", etag_}, {"Cache-Control", "no-cache"}});
            responder.writeBody(QByteArray());
        } else {
            respond(Status::Ok, "application/json", json_,
                    {{"ETag", etag_}, {"Cache-Control", "no-cache"}});
        }
    } else if (path == u"/ronde.events") {
        if (head) {
            respond(Status::Ok, "text/event-stream", QByteArray(), {{"Cache-Control", "no-store"}});
        } else {
            openStream(request, socket);
        }
    } else {
        respond(Status::NotFound, text, "Niet gevonden.\n", {{"Cache-Control", "no-store"}});
    }
    return true;
}

void LiveServer::openStream(const QHttpServerRequest &request, QTcpSocket *socket) {
    dropClosedStreams();
    QHttpServerResponder responder = makeResponder(request, socket);
    if (int(streams_.size()) >= kMaxStreams) {
        writeAnswer(responder, Status::ServiceUnavailable, "text/plain; charset=utf-8",
                    "Te veel volgers; probeer het later opnieuw.\n",
                    {{"Retry-After", "10"}, {"Cache-Control", "no-store"}}, false);
        return;
    }
    // No length: the answer goes on as long as the browser follows. The browser asks again
    // after two seconds when the connection breaks.
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", "text/event-stream");
    writeHeaders(responder, {{"Cache-Control", "no-store"}});
    responder.writeBody(QByteArrayLiteral("retry: 2000\n\n") + streamEvent(json_));
    requestSeen(socket, true);
    streams_.emplace_back(socket);
    if (!heartbeat_.isActive()) {
        heartbeat_.start();
    }
}

void LiveServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.write(Status::NotFound);
}

}  // namespace live
