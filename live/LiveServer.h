#pragma once

#include "live/Sharing.h"

#include <QtHttpServer/QAbstractHttpServer>

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <vector>

class QTcpServer;

namespace live {

// The live page over HTTP (Qt HTTP Server). Routes, GET and HEAD only:
//   /              the page (the query, such as ?overlay=1, is for the page itself)
//   /ronde.json    the round as JSON, with an ETag; If-None-Match answers 304
//   /ronde.events  Server-Sent Events: the round at once, then at every change
// Any other method gets 405, any other path 404. Nothing else is served: no file from disk.
// A connection that sends more than kMaxPendingBytes for one request, one that stays idle for
// the idle time without a complete request (30 s; keep-alive connections too), and any beyond
// kMaxConnections are closed; so is a stream whose browser stopped reading (more than
// kMaxStreamBacklog waiting). Streams get a comment line every kHeartbeatMs.
class LiveServer final : public QAbstractHttpServer, public Sharing {
    Q_OBJECT

public:
    static constexpr qint64 kMaxPendingBytes = 4 * 1024 * 1024;
    static constexpr int kMaxConnections = 512;
    static constexpr int kMaxStreams = 256;

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

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void openStream(const QHttpServerRequest &request, QTcpSocket *socket);
    void dropClosedStreams();
    void sendToStreams(const QByteArray &bytes);

    int idleMs_;
    QTcpServer *listener_ = nullptr;
    QByteArray json_ = "{}";
    QByteArray etag_;
    QByteArray page_;
    std::vector<QPointer<QTcpSocket>> streams_;
    QTimer heartbeat_;
};

}  // namespace live
