#pragma once

#include "storage/Records.h"

#include <QString>

#include <optional>

namespace fixture {

// A ham with everything the ham list holds, its private fields marked "GEHEIM" (the e-mail
// "geheim@") so that a leak shows.
inline storage::Ham privateHam(const QString &call, const QString &name) {
    storage::Ham ham;
    ham.call = call;
    ham.name = name;
    ham.qth = QStringLiteral("Gouda");
    ham.grid = QStringLiteral("JO22IA");
    ham.address = QStringLiteral("GEHEIM-adres 1");
    ham.postcode = QStringLiteral("GEHEIM-1234");
    ham.phone = QStringLiteral("GEHEIM-06");
    ham.email = QStringLiteral("geheim@example.org");
    ham.particulars = QStringLiteral("GEHEIM-bijzonderheden");
    return ham;
}

}  // namespace fixture
