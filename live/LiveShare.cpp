#include "live/LiveShare.h"

#include "live/RoundJson.h"

namespace live {

LiveShare::LiveShare(const roundmodel::RoundSheet &sheet, Factory factory, QObject *parent)
    : QObject(parent), sheet_(sheet), factory_(std::move(factory)) {
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &LiveShare::publish);

    using roundmodel::RoundSheet;
    const auto changed = [this] { roundChanged(); };
    connect(&sheet, &RoundSheet::textChanged, this, changed);
    connect(&sheet, &RoundSheet::cellChanged, this, changed);
    connect(&sheet, &RoundSheet::awayChanged, this, changed);
    connect(&sheet, &RoundSheet::listeningChanged, this, changed);
    connect(&sheet, &RoundSheet::turnChanged, this, changed);
    connect(&sheet, &RoundSheet::plannedTimeChanged, this, changed);
    connect(&sheet, &RoundSheet::beginTimeChanged, this, changed);
    connect(&sheet, &RoundSheet::roundShown, this, changed);
    connect(&sheet, &RoundSheet::stored, this, changed);
}

LiveShare::~LiveShare() = default;

bool LiveShare::start(quint16 port, QString *error) {
    if (isOn() && (port == 0 || port == server_->port())) {
        return true;
    }
    std::unique_ptr<Sharing> server = factory_(error);
    if (!server) {
        return false;
    }
    server->setOpenToAll(openToAll_);
    // A server on another port replaces the one before only once it listens.
    if (!server->listen(port, error)) {
        return false;
    }
    server->publish(roundJson(sheet_));
    const bool wasOn = isOn();
    server_ = std::move(server);
    if (!wasOn) {
        Q_EMIT sharingChanged(true);
    }
    return true;
}

void LiveShare::setOpenToAll(bool open) {
    openToAll_ = open;
    if (server_) {
        server_->setOpenToAll(open);
    }
}

void LiveShare::stop() {
    if (!server_) {
        return;
    }
    pending_.stop();
    server_.reset();
    Q_EMIT sharingChanged(false);
}

void LiveShare::roundChanged() {
    if (server_ && !pending_.isActive()) {
        pending_.start();
    }
}

void LiveShare::publish() {
    if (server_) {
        server_->publish(roundJson(sheet_));
    }
}

}  // namespace live
