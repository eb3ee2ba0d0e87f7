#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// Opens a web page in the user's browser and returns at once. Only https addresses are opened;
// anything else, or a browser that cannot be started, ends without effect.
class WebLauncher {
public:
    virtual ~WebLauncher() = default;
    virtual void open(const QUrl &address) = 0;
};

// Whether an address may be opened: a valid https address with a host.
bool isOpenable(const QUrl &address);

class DesktopWebLauncher : public WebLauncher {
public:
    void open(const QUrl &address) override;
};

// The addresses of the pages the program opens. Typed texts are percent-encoded, so no call,
// address or QTH can change the scheme, the host or the path the address starts with.
namespace webpages {

QUrl whatsApp();
QUrl jitsiRoom();
// The QRZ call-sign page; empty (invalid) when the call is empty, "." or "..".
QUrl qrzLookup(const QString &call);
// The Google Maps place page for an address and QTH: the trimmed address, "+", the QTH as it
// stands, every blank a "+"; empty (invalid) when the address is empty or only blanks.
QUrl mapsPlace(const QString &address, const QString &qth);
// Where a station finds its grid locator; only shown in a message, never opened.
QString locatorFinderAddress();

}  // namespace webpages

}  // namespace platform
