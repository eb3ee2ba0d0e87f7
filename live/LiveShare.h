#pragma once

#include "live/Sharing.h"
#include "roundmodel/RoundSheet.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace live {

// Sharing the round on screen as a live page: while on, a server (made anew at every start) gets
// the round as JSON at every change of the sheet. The changes of one action (a call placed with
// its look-up, a stored round shown) go out as one, once the action is done.
class LiveShare : public QObject {
    Q_OBJECT

public:
    // Makes a server; none when it cannot (*error says why, in Dutch).
    using Factory = std::function<std::unique_ptr<Sharing>(QString *error)>;

    LiveShare(const roundmodel::RoundSheet &sheet, Factory factory, QObject *parent = nullptr);
    ~LiveShare() override;

    // Shares on this port (0: a free one). False, with *error saying why, when it cannot; an
    // earlier sharing then goes on as it was.
    bool start(quint16 port, QString *error);
    void stop();

    // Whether browsers outside the local network get the page too, now and at every start.
    void setOpenToAll(bool open);
    bool isOpenToAll() const { return openToAll_; }

    bool isOn() const { return server_ != nullptr; }
    quint16 port() const { return server_ ? server_->port() : 0; }
    QStringList addresses() const { return server_ ? server_->addresses() : QStringList(); }
    int viewers() const { return server_ ? server_->viewers() : 0; }

Q_SIGNALS:
    void sharingChanged(bool on);

private:
    void roundChanged();
    void publish();

    const roundmodel::RoundSheet &sheet_;
    Factory factory_;
    std::unique_ptr<Sharing> server_;
    bool openToAll_ = false;
    QTimer pending_;
};

}  // namespace live
