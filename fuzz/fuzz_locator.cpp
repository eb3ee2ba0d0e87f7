// The locator rules: any text is checked, a valid locator gives a point on the globe and a
// finite distance, and the field forms take anything.

#include "geo/Locator.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    geo::gridHomeForm(text);
    geo::bandUnitForm(text);
    if (!geo::LocatorCalculator::IsValidLocator(text)) {
        return 0;
    }
    const auto point = geo::LocatorCalculator::LocatorToLatLong(text);
    // The check admits field letters up to X, past the poles (R), so only finite is asked.
    if (!std::isfinite(point.latitude) || !std::isfinite(point.longitude)) {
        std::abort();
    }
    const auto home = geo::LocatorCalculator::LocatorToLatLong(QStringLiteral("JO22AB"));
    const geo::LocatorCalculator calculator(4 * std::atan(1.0));
    const double latitude[2] = {home.latitude, point.latitude};
    const double longitude[2] = {home.longitude, point.longitude};
    const double distance = calculator.GreatCircleDistance(latitude, longitude);
    if (!std::isfinite(distance) || distance < 0 || distance > 20100) {
        std::abort();
    }
    geo::LocatorCalculator::distanceText(distance);
    geo::LocatorCalculator::coordinateText(point.latitude, QLocale(QLocale::Dutch));
    return 0;
}
