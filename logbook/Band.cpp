#include "logbook/Band.h"

#include <cmath>
#include <iterator>

namespace logbook {

namespace {

struct Band {
    const char *name;
    double lowMHz;
    double highMHz;
};

// The bands of the ADIF band enumeration, with their edges in MHz.
constexpr Band kBands[] = {
    {"2190m", 0.1357, 0.1378},   {"630m", 0.472, 0.479},      {"560m", 0.501, 0.504},
    {"160m", 1.8, 2.0},          {"80m", 3.5, 4.0},           {"60m", 5.06, 5.45},
    {"40m", 7.0, 7.3},           {"30m", 10.1, 10.15},        {"20m", 14.0, 14.35},
    {"17m", 18.068, 18.168},     {"15m", 21.0, 21.45},        {"12m", 24.890, 24.99},
    {"10m", 28.0, 29.7},         {"8m", 40.0, 45.0},          {"6m", 50.0, 54.0},
    {"5m", 54.000001, 69.9},     {"4m", 70.0, 71.0},          {"2m", 144.0, 148.0},
    {"1.25m", 222.0, 225.0},     {"70cm", 420.0, 450.0},      {"33cm", 902.0, 928.0},
    {"23cm", 1240.0, 1300.0},    {"13cm", 2300.0, 2450.0},    {"9cm", 3300.0, 3500.0},
    {"6cm", 5650.0, 5925.0},     {"3cm", 10000.0, 10500.0},   {"1.25cm", 24000.0, 24250.0},
    {"6mm", 47000.0, 47200.0},   {"4mm", 75500.0, 81000.0},   {"2.5mm", 119980.0, 123000.0},
    {"2mm", 134000.0, 149000.0}, {"1mm", 241000.0, 250000.0}, {"submm", 300000.0, 7500000.0},
};

}  // namespace

std::optional<double> frequencyMHz(const QString &frequency, const QString &unit) {
    QString number = frequency.trimmed();
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    const QString u = unit.trimmed().toLower();
    double factor = 0;
    if (u.isEmpty() || u == QLatin1String("mhz")) {
        factor = 1;
    } else if (u == QLatin1String("khz")) {
        factor = 1e-3;
    } else if (u == QLatin1String("ghz")) {
        factor = 1e3;
    } else if (u == QLatin1String("hz")) {
        factor = 1e-6;
    } else {
        return std::nullopt;
    }
    return value * factor;
}

QString bandOf(double mhz) {
    for (const Band &band : kBands) {
        if (mhz >= band.lowMHz && mhz <= band.highMHz) {
            return QString::fromLatin1(band.name);
        }
    }
    return {};
}

QString frequencyText(double mhz) {
    QString text = QString::number(std::round(mhz * 1e6) / 1e6, 'f', 6);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text;
}

}  // namespace logbook
