#include "platform/WebLauncher.h"

#include <algorithm>

#include <QDesktopServices>

namespace platform {

namespace {

// Builds an address from a fixed https prefix and an already percent-encoded tail, so Qt takes
// every byte as it stands.
QUrl fromEncoded(const QByteArray &prefix, const QByteArray &encodedTail) {
    return QUrl::fromEncoded(prefix + encodedTail, QUrl::StrictMode);
}

// "." and ".." stay dots after percent-encoding (browsers also read "%2E" as a dot), and as the
// last path segment they would take the browser out of the page's folder.
bool isDotSegment(const QString &text) {
    return text == QLatin1String(".") || text == QLatin1String("..");
}

}  // namespace

bool isOpenable(const QUrl &address) {
    return address.isValid() &&
           address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
           !address.host().isEmpty();
}

void DesktopWebLauncher::open(const QUrl &address) {
    if (!isOpenable(address)) {
        return;
    }
    // Starts the browser and returns at once; when no browser starts, nothing else happens.
    QDesktopServices::openUrl(address);
}

namespace webpages {

QUrl whatsApp() {
    return QUrl(QStringLiteral("https://web.whatsapp.com/"), QUrl::StrictMode);
}

QUrl jitsiRoom() {
    return QUrl(QStringLiteral("https://meet.jit.si/KringbaasRonde"), QUrl::StrictMode);
}

QUrl qrzLookup(const QString &call) {
    // A "." or ".." between slashes would take the browser out of the look-up page.
    const QStringList segments = call.split(QLatin1Char('/'));
    if (call.isEmpty() || std::any_of(segments.begin(), segments.end(), isDotSegment)) {
        return {};
    }
    // The call goes into the path as typed (a portable call keeps its "/"); only what cannot
    // stand in a path is encoded: blanks, "#", "?", "%", control and non-ASCII characters.
    return fromEncoded("https://www.qrz.com/db/",
                       QUrl::toPercentEncoding(call, QByteArrayLiteral("/!$&'()*+,;=:@")));
}

QUrl mapsPlace(const QString &address, const QString &qth) {
    const QString street = address.trimmed();
    if (street.isEmpty()) {
        return {};
    }
    QString place = street + QLatin1Char('+') + qth;
    place.replace(QLatin1Char(' '), QLatin1Char('+'));
    return fromEncoded("https://www.google.com/maps/place/",
                       QUrl::toPercentEncoding(place, QByteArrayLiteral("+")));
}

QString locatorFinderAddress() {
    return QStringLiteral("https://www.levinecentral.com/ham/grid_square.php");
}

}  // namespace webpages

}  // namespace platform
