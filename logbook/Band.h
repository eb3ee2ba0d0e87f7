#pragma once

#include <QString>

#include <optional>

namespace logbook {

// The frequency of the net in MHz from the station fields: the frequency as typed (a decimal
// point or comma, blanks around it allowed) and its unit ("Mhz" when empty; Hz, kHz, MHz and GHz
// in any letter case). Nothing when the text is no positive number or the unit is unknown.
std::optional<double> frequencyMHz(const QString &frequency, const QString &unit);

// The ADIF band of a frequency in MHz ("2m", "70cm", "80m"); empty when it lies in no band.
QString bandOf(double mhz);

// A frequency in MHz as ADIF writes it: a decimal point, at most six decimals (to the Hz), no
// trailing zeros ("145.2875", "3.65", "1298").
QString frequencyText(double mhz);

}  // namespace logbook
