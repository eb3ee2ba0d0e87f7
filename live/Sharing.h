#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace live {

// The server of the live page: it serves the page, the round as JSON and its changes to any
// browser of the local network (of any network when opened to all) while it exists. Made by the
// module kringbaas-live (see LoadedSharing), so that its network libraries are not loaded while the
// program starts.
class Sharing {
public:
    virtual ~Sharing() = default;

    // Listens on all interfaces on this port (0: a free one the system picks). False, with
    // *error saying why in Dutch, when it cannot.
    virtual bool listen(quint16 port, QString *error) = 0;
    // The port it listens on; 0 when it does not.
    virtual quint16 port() const = 0;
    // The addresses others open (http://address:port/), those of the local network first.
    virtual QStringList addresses() const = 0;
    // The round as it now stands (what live::roundJson makes), for every request and every
    // browser that follows the page.
    virtual void publish(const QByteArray &roundJson) = 0;
    // The browsers that follow the page now.
    virtual int viewers() const = 0;
    // Whether browsers outside the local network are answered too (at first they are not).
    virtual void setOpenToAll(bool open) = 0;
};

}  // namespace live
