#include "live/LiveServer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <initializer_list>
#include <numeric>
#include <optional>
#include <utility>

// The page is a resource of this library, which is linked statically.
static void initPageResource() {
    Q_INIT_RESOURCE(live);
}

namespace live {

namespace {

using Headers = std::initializer_list<std::pair<QByteArray, QByteArray>>;

// What the socket keeps of what came in before it is read here: while an answer waits unsent,
// nothing more is read, so the system holds back what the client sends beyond this. A client
// that fills it meanwhile is dropped.
constexpr qint64 kReadBuffer = LiveServer::kMaxWaitingRequests;
// Read at most this much at a time, so that the limits are checked as the bytes come.
constexpr qint64 kReadChunk = 64 * 1024;

// What every answer carries: nothing is kept by a browser or a proxy beyond asking again, nothing
// is guessed about its type, no address is passed on.
constexpr std::pair<const char *, const char *> kCommonHeaders[] = {
    {"X-Content-Type-Options", "nosniff"},
    {"Referrer-Policy", "no-referrer"},
};

QByteArray reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 304:
            return "Not Modified";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 421:
            return "Misdirected Request";
        case 431:
            return "Request Header Fields Too Large";
        case 503:
            return "Service Unavailable";
        default:
            return "Error";
    }
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

// The hashes of every inline element `tag` of the page, as CSP sources.
QByteArray inlineHashes(const QByteArray &page, const QByteArray &tag) {
    const QByteArray open = '<' + tag + '>';
    const QByteArray close = "</" + tag + '>';
    QByteArray sources;
    for (qsizetype at = page.indexOf(open); at >= 0; at = page.indexOf(open, at)) {
        const qsizetype begin = at + open.size();
        const qsizetype end = page.indexOf(close, begin);
        if (end < 0) {
            break;
        }
        sources +=
            " 'sha256-" +
            QCryptographicHash::hash(page.mid(begin, end - begin), QCryptographicHash::Sha256)
                .toBase64() +
            '\'';
        at = end;
    }
    return sources.isEmpty() ? QByteArray(" 'none'") : sources;
}

// The page runs only its own script and style and talks only to this server; no other site
// shows it in a frame.
QByteArray pagePolicyFor(const QByteArray &page) {
    return "default-src 'none'; script-src" + inlineHashes(page, "script") + "; style-src" +
           inlineHashes(page, "style") +
           "; connect-src 'self'; img-src 'self' data:; base-uri 'none'; form-action 'none'; "
           "frame-ancestors 'none'";
}

// The same address whether it came as IPv4 or as IPv4-mapped IPv6.
QHostAddress plain(const QHostAddress &address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip) : address;
}

bool isToken(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
    });
}

}  // namespace

// One request's head, as far as this server needs it: of its headers only those it reads.
struct LiveServer::Request {
    enum class Parsed { Ok, Bad, TooLarge };

    QByteArray method;
    QByteArray path;  // the target without its query
    bool http10 = false;
    std::optional<QByteArray> host;
    QByteArray ifNoneMatch;
    qint64 bodyLength = 0;
    bool bodyUnknown = false;  // a transfer coding: where the body ends is not read here
    bool close = false;        // the client asked to close after the answer, or must be closed

    // Reads the head of a request (the bytes before its empty line).
    static Parsed parse(QByteArrayView head, Request *request);
};

LiveServer::Request::Parsed LiveServer::Request::parse(QByteArrayView head, Request *request) {
    // Counted before anything is taken apart: a head of many tiny lines costs no more than this.
    if (std::count(head.begin(), head.end(), '\n') > kMaxHeaderLines) {
        return Parsed::TooLarge;
    }
    auto nextLine = [&head, begin = qsizetype(0)]() mutable {
        qsizetype end = head.indexOf('\n', begin);
        if (end < 0) {
            end = head.size();
        }
        QByteArrayView line = head.sliced(begin, end - begin);
        begin = end + 1;
        return line.endsWith('\r') ? line.chopped(1) : line;
    };
    const QList<QByteArray> parts = nextLine().toByteArray().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !parts[1].startsWith('/') ||
        (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")) {
        return Parsed::Bad;
    }
    if (std::any_of(parts[1].begin(), parts[1].end(),
                    [](char c) { return uchar(c) <= 0x20 || c == 0x7f; })) {
        return Parsed::Bad;
    }
    request->method = parts[0];
    const qsizetype query = parts[1].indexOf('?');
    request->path = query < 0 ? parts[1] : parts[1].left(query);
    request->http10 = parts[2] == "HTTP/1.0";
    std::optional<qint64> length;
    QByteArray connection;
    const qsizetype lines = std::count(head.begin(), head.end(), '\n');
    for (qsizetype i = 0; i < lines; ++i) {
        const QByteArrayView line = nextLine();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon))) {
            return Parsed::Bad;
        }
        const QByteArrayView name = line.first(colon);
        const auto is = [&name](QByteArrayView known) {
            return name.compare(known, Qt::CaseInsensitive) == 0;
        };
        if (!is("Content-Length") && !is("Transfer-Encoding") && !is("Connection") &&
            !is("If-None-Match") && !is("Host")) {
            continue;
        }
        const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
        if (is("Content-Length")) {
            bool ok = value.size() <= 18 && !value.isEmpty() &&
                      std::all_of(value.begin(), value.end(),
                                  [](char c) { return c >= '0' && c <= '9'; });
            const qint64 n = ok ? value.toLongLong(&ok) : 0;
            if (!ok || (length && *length != n)) {
                return Parsed::Bad;
            }
            length = n;
        } else if (is("Transfer-Encoding")) {
            request->bodyUnknown = true;
        } else if (is("Connection")) {
            connection += ',' + value.toLower();
        } else if (is("If-None-Match")) {
            request->ifNoneMatch = value;
        } else if (request->host) {
            return Parsed::Bad;  // two hosts: which one is meant is not clear
        } else {
            request->host = value;
        }
    }
    request->bodyLength = length.value_or(0);
    bool close = false;
    for (const QByteArray &option : connection.split(',')) {
        close = close || option.trimmed() == "close";
    }
    // HTTP/1.0 is answered once: its way of keeping a connection open is not followed here.
    request->close = close || request->http10;
    return Parsed::Ok;
}

// One client's connection: its requests are read and answered one at a time, and none is read
// while an answer waits unsent.
class LiveServer::Connection final : public QObject {
public:
    Connection(LiveServer &server, QTcpSocket *socket, const QHostAddress &peer)
        : QObject(&server), peer(peer), socket_(socket), server_(server) {
        socket_->setParent(this);
        socket_->setReadBufferSize(kReadBuffer);
        connect(socket_, &QTcpSocket::readyRead, this, &Connection::process);
        // Queued: flush() may say so while an answer is being written.
        connect(
            socket_, &QTcpSocket::bytesWritten, this,
            [this] {
                if (socket_->bytesToWrite() == 0) {
                    process();
                }
            },
            Qt::QueuedConnection);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        idle_.setSingleShot(true);
        idle_.setInterval(server.idleMs_);
        connect(&idle_, &QTimer::timeout, this, &Connection::drop);
        idle_.start();
        server_.connections_.push_back(this);
    }
    ~Connection() override { std::erase(server_.connections_, this); }

    bool connected() const { return socket_->state() == QAbstractSocket::ConnectedState; }
    bool isStream() const { return stream_ && connected(); }
    // What it holds of what came in and is not yet answered: all that is allocated for it.
    qint64 pending() const { return connected() ? in_.capacity() + socket_->bytesAvailable() : 0; }
    qint64 queued() const {
        return in_.capacity() + socket_->bytesAvailable() + socket_->bytesToWrite();
    }

    // Sends a line of the stream; a browser that stopped reading gets no more: its backlog would
    // only grow.
    void sendToStream(const QByteArray &bytes) {
        if (socket_->bytesToWrite() > kMaxStreamBacklog) {
            drop();
            return;
        }
        socket_->write(bytes);
    }

    void drop() {
        socket_->abort();
        in_ = QByteArray();
        deleteLater();
    }

    const QHostAddress peer;

private:
    void process() {
        if (!stream_ && !server_.withinLimits(*this)) {
            return;
        }
        while (connected()) {
            if (stream_) {
                // A connection that became a stream asks nothing more.
                if (!in_.isEmpty() || socket_->bytesAvailable() > 0) {
                    drop();
                }
                return;
            }
            if (socket_->bytesToWrite() > 0) {
                // An answer waits: the next request is read once it is sent.
                if (in_.size() + socket_->bytesAvailable() >= kMaxWaitingRequests) {
                    drop();
                }
                return;
            }
            if (!answerNext() && !readMore()) {
                return;
            }
        }
    }

    // Takes what came in, within the limits: a head no further than its limit, a body only to
    // throw it away. False when nothing more came (or it was too much).
    bool readMore() {
        const qint64 available = socket_->bytesAvailable();
        const qint64 room = head_ ? std::min(bodyLeft_, kReadChunk) : kMaxHeadBytes - in_.size();
        if (available <= 0 || room <= 0) {
            return false;
        }
        const QByteArray more = socket_->read(std::min(available, room));
        if (head_) {
            bodyLeft_ -= more.size();
            return true;
        }
        // Grown in steps, never beyond the limit of a head.
        const qsizetype needed = in_.size() + more.size();
        if (needed > in_.capacity()) {
            in_.reserve(std::max(needed, std::min(std::max<qsizetype>(2 * in_.capacity(), 1024),
                                                  qsizetype(kMaxHeadBytes))));
        }
        in_.append(more);
        return server_.withinLimits(*this);
    }

    // Answers the first request in what came, once it is whole and its body is read. False when
    // it is not yet.
    bool answerNext() {
        if (!head_) {
            // Empty lines before a request are no request.
            const qsizetype blank = std::find_if(in_.cbegin(), in_.cend(),
                                                 [](char c) { return c != '\r' && c != '\n'; }) -
                                    in_.cbegin();
            consume(blank);
            scanned_ = std::max<qsizetype>(0, scanned_ - blank);
            const qsizetype end = headEnd();
            if (end < 0) {
                if (in_.size() >= kMaxHeadBytes) {
                    refuse(431, "Het verzoek is te groot.\n");
                    return true;
                }
                scanned_ = std::max<qsizetype>(0, in_.size() - 3);
                return false;
            }
            Request request;
            switch (Request::parse(QByteArrayView(in_).first(end), &request)) {
                case Request::Parsed::Bad:
                    refuse(400, "Geen geldig verzoek.\n");
                    return true;
                case Request::Parsed::TooLarge:
                    refuse(431, "Het verzoek is te groot.\n");
                    return true;
                case Request::Parsed::Ok:
                    break;
            }
            if (request.bodyLength > kMaxBodyBytes) {
                drop();
                return true;
            }
            consume(headEnd_);
            scanned_ = 0;
            bodyLeft_ = request.bodyUnknown ? 0 : request.bodyLength;
            head_ = std::move(request);
        }
        const qsizetype body = qsizetype(std::min<qint64>(bodyLeft_, in_.size()));
        consume(body);
        bodyLeft_ -= body;
        if (bodyLeft_ > 0) {
            return false;
        }
        route(*std::exchange(head_, std::nullopt));
        return true;
    }

    // Takes n bytes off the front of what came. What is left moves to a buffer of its own size
    // (none when nothing is left), so that appending to it never grows it past what is counted.
    void consume(qsizetype n) {
        if (n > 0) {
            in_ = n < in_.size() ? QByteArray(in_.constData() + n, in_.size() - n) : QByteArray();
        }
    }

    void refuse(int status, const QByteArray &text) {
        answer(Request{}, status, "text/plain; charset=utf-8", text,
               {{"Cache-Control", "no-store"}}, true);
    }

    // Where the head ends (the index of its empty line); -1 while it has not come whole.
    qsizetype headEnd() {
        for (qsizetype i = in_.indexOf('\n', scanned_); i >= 0; i = in_.indexOf('\n', i + 1)) {
            if (i + 1 < in_.size() && in_[i + 1] == '\n') {
                headEnd_ = i + 2;
                return i;
            }
            if (i + 2 < in_.size() && in_[i + 1] == '\r' && in_[i + 2] == '\n') {
                headEnd_ = i + 3;
                return i;
            }
        }
        return -1;
    }

    // Answers one request.
    void route(const Request &request);

public:
    // Writes an answer of a known length (its body only when not asked with HEAD) and sends at
    // once what the system takes.
    void answer(const Request &request, int status, const QByteArray &type, const QByteArray &body,
                Headers extra, bool close = false) {
        close = close || request.close || request.bodyUnknown;
        QByteArray out =
            "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
        if (!type.isEmpty()) {
            out += "Content-Type: " + type + "\r\n";
        }
        if (status != 304) {
            out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        }
        for (const auto &[key, value] : kCommonHeaders) {
            out += QByteArray(key) + ": " + value + "\r\n";
        }
        for (const auto &[key, value] : extra) {
            out += key + ": " + value + "\r\n";
        }
        if (close) {
            out += "Connection: close\r\n";
        }
        out += "\r\n";
        if (request.method != "HEAD" && status != 304) {
            out += body;
        }
        send(out, close);
    }

    // The head of the stream and its first event; from here on the connection only listens.
    void openStream(const QByteArray &first) {
        stream_ = true;
        idle_.stop();
        QByteArray out = "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\n";
        for (const auto &[key, value] : kCommonHeaders) {
            out += QByteArray(key) + ": " + value + "\r\n";
        }
        out += "Cache-Control: no-store\r\nConnection: close\r\n\r\n" + first;
        send(out, false);
    }

private:
    void send(const QByteArray &bytes, bool close) {
        socket_->write(bytes);
        // Sent now, so that it goes out even when the client's closing follows at once.
        socket_->flush();
        if (close) {
            in_ = QByteArray();
            socket_->disconnectFromHost();
        } else if (!stream_) {
            idle_.start();
        }
    }

    QTcpSocket *socket_;
    LiveServer &server_;
    QTimer idle_;
    QByteArray in_;                // what came and is not yet answered
    qsizetype scanned_ = 0;        // where to look on for the end of the head
    qsizetype headEnd_ = 0;        // where the head's empty line ends
    qint64 bodyLeft_ = 0;          // what is still to come of the body, to be thrown away
    std::optional<Request> head_;  // the head of the request whose body is coming
    bool stream_ = false;
};

LiveServer::LiveServer(QObject *parent, int idleMs, int heartbeatMs)
    : QObject(parent), idleMs_(idleMs), page_(loadPage()), policy_(pagePolicyFor(page_)) {
    publish(json_);
    // A comment line on every stream now and then keeps it open through routers that forget
    // quiet connections, and lets the system notice a browser that is gone (a phone off the
    // network) without waiting for the next change. It runs only while someone follows.
    heartbeat_.setInterval(heartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, [this] {
        sendToStreams(QByteArrayLiteral(": \n\n"));
        if (viewers() == 0) {
            heartbeat_.stop();
        }
    });
}

// The connections go first: each takes itself off the list.
LiveServer::~LiveServer() {
    while (!connections_.empty()) {
        delete connections_.back();
    }
}

bool LiveServer::listen(quint16 port, QString *error) {
    if (listener_) {
        return true;
    }
    auto *listener = new QTcpServer(this);
    if (!listener->listen(QHostAddress::Any, port)) {
        *error = port == 0 ? QStringLiteral("Er is geen vrije poort: %1").arg(reason(*listener))
                           : QStringLiteral("Poort %1 kan niet worden gebruikt: %2.")
                                 .arg(port)
                                 .arg(reason(*listener));
        delete listener;
        return false;
    }
    connect(listener, &QTcpServer::newConnection, this, &LiveServer::accept);
    listener_ = listener;
    return true;
}

void LiveServer::accept() {
    while (QTcpSocket *socket = listener_->nextPendingConnection()) {
        const QHostAddress peer = plain(socket->peerAddress());
        if ((!openToAll_ && !isLocalNetwork(peer)) || int(connections_.size()) >= kMaxConnections ||
            count(peer, false) >= kMaxConnectionsPerAddress) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Connection(*this, socket, peer);
    }
}

int LiveServer::count(const QHostAddress &peer, bool streamsOnly) const {
    return int(std::count_if(connections_.begin(), connections_.end(), [&](const Connection *c) {
        return c->peer == peer && (!streamsOnly || c->isStream());
    }));
}

// Holds what the connections of the reading one's address and what all of them hold to their
// limits, by closing the one that holds the most until they are within. False when that was the
// reading one.
bool LiveServer::withinLimits(const Connection &reading) {
    for (const bool all : {false, true}) {
        for (;;) {
            qint64 sum = 0;
            Connection *most = nullptr;
            for (Connection *c : connections_) {
                if (all || c->peer == reading.peer) {
                    sum += c->pending();
                    if (!most || c->pending() > most->pending()) {
                        most = c;
                    }
                }
            }
            if (sum <= (all ? kMaxPendingTotal : kMaxPendingPerAddress)) {
                break;
            }
            most->drop();
        }
    }
    return reading.connected();
}

qint64 LiveServer::queuedBytes() const {
    return std::accumulate(connections_.begin(), connections_.end(), qint64(0),
                           [](qint64 sum, const Connection *c) { return sum + c->queued(); });
}

bool LiveServer::isOwnHost(QByteArrayView host) {
    // The port, when there is one: digits after the last colon that is not inside brackets.
    const qsizetype colon = host.lastIndexOf(':');
    if (colon >= 0 && colon > host.lastIndexOf(']')) {
        const QByteArrayView port = host.sliced(colon + 1);
        if (port.isEmpty() || port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return false;
        }
        host = host.first(colon);
    }
    if (host.startsWith('[') && host.endsWith(']')) {
        const QHostAddress address(QString::fromLatin1(host.sliced(1, host.size() - 2)));
        return address.protocol() == QAbstractSocket::IPv6Protocol;
    }
    // An IPv4 address as four numbers; a name can never be one.
    const QList<QByteArrayView> numbers = [&host] {
        if (std::count(host.begin(), host.end(), '.') != 3) {
            return QList<QByteArrayView>();
        }
        QList<QByteArrayView> parts;
        for (qsizetype begin = 0;;) {
            const qsizetype dot = host.indexOf('.', begin);
            parts.append(host.sliced(begin, (dot < 0 ? host.size() : dot) - begin));
            if (dot < 0) {
                return parts;
            }
            begin = dot + 1;
        }
    }();
    if (numbers.size() == 4 && std::all_of(numbers.begin(), numbers.end(), [](QByteArrayView n) {
            bool ok = false;
            return !n.isEmpty() && n.size() <= 3 &&
                   std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                   n.toInt(&ok) <= 255 && ok;
        })) {
        return true;
    }
    const QByteArray self = QHostInfo::localHostName().toUtf8();
    const auto is = [&host](QByteArrayView name) {
        return !name.isEmpty() && host.compare(name, Qt::CaseInsensitive) == 0;
    };
    return is("localhost") || is(self) || is(self + ".local");
}

bool LiveServer::isLocalNetwork(const QHostAddress &address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    if (v4) {
        return (ip >> 24) == 10 || (ip >> 24) == 127 || (ip & 0xfff00000) == 0xac100000 ||
               (ip & 0xffff0000) == 0xc0a80000 || (ip & 0xffff0000) == 0xa9fe0000;
    }
    if (address.protocol() != QAbstractSocket::IPv6Protocol) {
        return false;
    }
    const Q_IPV6ADDR ip6 = address.toIPv6Address();
    return address.isEqual(QHostAddress::LocalHostIPv6) || (ip6[0] & 0xfe) == 0xfc ||
           (ip6[0] == 0xfe && (ip6[1] & 0xc0) == 0x80);
}

void LiveServer::setOpenToAll(bool open) {
    openToAll_ = open;
    if (open) {
        return;
    }
    // Closing it again sends away who is no longer welcome.
    for (Connection *connection : std::vector(connections_)) {
        if (!isLocalNetwork(connection->peer)) {
            connection->drop();
        }
    }
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
    for (Connection *connection : std::vector(connections_)) {
        if (connection->isStream()) {
            connection->sendToStream(bytes);
        }
    }
}

int LiveServer::viewers() const {
    return int(std::count_if(connections_.begin(), connections_.end(),
                             [](const Connection *c) { return c->isStream(); }));
}

void LiveServer::Connection::route(const Request &request) {
    const LiveServer &server = server_;
    Connection &connection = *this;
    const QByteArray text = "text/plain; charset=utf-8";
    const QByteArray noStore = "no-store";
    if (!request.host ? !request.http10 : !isOwnHost(*request.host)) {
        // Only HTTP/1.0 may leave out whom it asks.
        const bool missing = !request.host;
        connection.answer(
            request, missing ? 400 : 421, text,
            missing ? "Geen geldig verzoek.\n" : "Onbekende naam van deze computer.\n",
            {{"Cache-Control", noStore}}, true);
    } else if (request.method != "GET" && request.method != "HEAD") {
        connection.answer(request, 405, text, "Alleen GET en HEAD.\n",
                          {{"Allow", "GET, HEAD"}, {"Cache-Control", noStore}});
    } else if (request.bodyUnknown) {
        connection.answer(request, 400, text, "Geen geldig verzoek.\n",
                          {{"Cache-Control", noStore}});
    } else if (request.path == "/") {
        connection.answer(
            request, 200, "text/html; charset=utf-8", server.page_,
            {{"Cache-Control", "no-cache"}, {"Content-Security-Policy", server.policy_}});
    } else if (request.path == "/ronde.json") {
        if (request.ifNoneMatch == server.etag_) {
            connection.answer(request, 304, {}, {},
                              {{"ETag", server.etag_}, {"Cache-Control", "no-cache"}});
        } else {
            connection.answer(request, 200, "application/json", server.json_,
                              {{"ETag", server.etag_}, {"Cache-Control", "no-cache"}});
        }
    } else if (request.path == "/ronde.events") {
        if (request.method == "HEAD") {
            connection.answer(request, 200, "text/event-stream", {}, {{"Cache-Control", noStore}});
        } else if (server.viewers() >= kMaxStreams ||
                   server.count(connection.peer, true) >= kMaxStreamsPerAddress) {
            connection.answer(request, 503, text, "Te veel volgers; probeer het later opnieuw.\n",
                              {{"Retry-After", "10"}, {"Cache-Control", noStore}});
        } else {
            // No length: the answer goes on as long as the browser follows. The browser asks
            // again after two seconds when the connection breaks.
            connection.openStream(QByteArrayLiteral("retry: 2000\n\n") + streamEvent(server.json_));
            if (!server_.heartbeat_.isActive()) {
                server_.heartbeat_.start();
            }
        }
    } else {
        connection.answer(request, 404, text, "Niet gevonden.\n", {{"Cache-Control", noStore}});
    }
}

}  // namespace live
