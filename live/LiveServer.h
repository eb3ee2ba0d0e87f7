#pragma once

#include "live/Sharing.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <vector>

class QTcpServer;

namespace live {

// The live page over HTTP/1.1, on a plain TCP server: it reads each connection's requests itself,
// one at a time, so that what a client sends and what it fails to read stay bounded. Routes, GET
// and HEAD only:
//   /              the page (the query, such as ?overlay=1, is for the page itself)
//   /ronde.json    the round as JSON, with an ETag; If-None-Match answers 304
//   /ronde.events  Server-Sent Events: the round at once, then at every change
// Any other method gets 405, any other path 404. Nothing else is served: no file from disk.
//
// Guards. Only browsers on the local network (private, loopback and link-local addresses) are
// answered unless the server is opened to all, and only when their Host is this machine by a name
// that no other site can take (an IP address, localhost, its own host name), so that a web site
// whose name is made to point here cannot read the round as its own. A request's head (its line
// and headers) is held to kMaxHeadBytes and kMaxHeaderLines (more gets 431 and is closed); a body
// is read and thrown away, never kept, and one beyond kMaxBodyBytes closes the connection. What
// connections hold of what came in and is not yet answered is held to kMaxPendingPerAddress for
// one address and kMaxPendingTotal for all: beyond either, the connection holding the most is
// closed, so that small requests are still served. A connection is also closed when it stays idle
// for the idle time without a complete request (30 s; keep-alive connections too), when
// kMaxWaitingRequests of its requests wait while an answer of it waits unsent (its requests are
// not read meanwhile), when it is beyond kMaxConnections or kMaxConnectionsPerAddress, after an
// answer to HTTP/1.0, and when it is a stream that sends anything more or whose browser stopped
// reading (more than kMaxStreamBacklog waiting). A follower beyond kMaxStreams or
// kMaxStreamsPerAddress gets 503. Streams get a comment line every kHeartbeatMs.
class LiveServer final : public QObject, public Sharing {
    Q_OBJECT

public:
    static constexpr qint64 kMaxHeadBytes = 32 * 1024;
    static constexpr int kMaxHeaderLines = 100;
    static constexpr qint64 kMaxBodyBytes = 4 * 1024 * 1024;
    static constexpr qint64 kMaxPendingPerAddress = 256 * 1024;
    static constexpr qint64 kMaxPendingTotal = 4 * 1024 * 1024;
    static constexpr qint64 kMaxWaitingRequests = 64 * 1024;
    static constexpr int kMaxConnections = 512;
    static constexpr int kMaxStreams = 256;
    static constexpr int kMaxConnectionsPerAddress = 16;
    static constexpr int kMaxStreamsPerAddress = 8;

    static constexpr qint64 kMaxStreamBacklog = 256 * 1024;
    static constexpr int kIdleMs = 30'000;
    static constexpr int kHeartbeatMs = 25'000;

    explicit LiveServer(QObject *parent = nullptr, int idleMs = kIdleMs,
                        int heartbeatMs = kHeartbeatMs);
    ~LiveServer() override;

    bool listen(quint16 port, QString *error) override;
    quint16 port() const override;
    QStringList addresses() const override;
    void publish(const QByteArray &roundJson) override;
    int viewers() const override;
    void setOpenToAll(bool open) override;

    // What the server holds for its clients now: answers not yet sent, requests not yet read or
    // not yet answered.
    qint64 queuedBytes() const;
    // The page's Content-Security-Policy: only its own inline script and style, by their hashes.
    QByteArray pagePolicy() const { return policy_; }

    // Whether a request's Host names this machine by a name no other site can take: an IPv4
    // address, an IPv6 address in brackets, localhost or this machine's host name (also with
    // .local), in any case, each with an optional port.
    static bool isOwnHost(QByteArrayView host);

    // Whether an address is one of the local network: loopback, private (IPv4 10/8, 172.16/12,
    // 192.168/16; IPv6 fc00::/7) or link-local (169.254/16, fe80::/10), also as IPv4-mapped IPv6.
    static bool isLocalNetwork(const QHostAddress &address);

private:
    class Connection;
    struct Request;

    void accept();
    void sendToStreams(const QByteArray &bytes);
    int count(const QHostAddress &peer, bool streamsOnly) const;
    bool withinLimits(const Connection &reading);

    int idleMs_;
    bool openToAll_ = false;
    QTcpServer *listener_ = nullptr;
    QByteArray json_ = "{}";
    QByteArray etag_;
    QByteArray page_;
    QByteArray policy_;
    std::vector<Connection *> connections_;
    QTimer heartbeat_;
};

}  // namespace live
