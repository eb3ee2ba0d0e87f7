// The ham rules and the hit line: the field forms take any text, every search the window can
// build is a criterion the store can parse (or none at all), and a hit line gives its position
// back.

#include "hamlist/HamRules.h"
#include "storage/Criterion.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const int selector = data[0];
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    hamlist::upperTrimmed(text);
    hamlist::postcodeForm(text);
    hamlist::gridTooShort(text);
    hamlist::gridForm(text);
    hamlist::countryForm(text);
    hamlist::emailForm(text);
    hamlist::isEmailText(text);

    const QString criterion = hamlist::searchCriterion(selector % 12 - 1, selector & 0x80, text);
    if (!criterion.isEmpty() && !text.contains(QLatin1Char('[')) &&
        !storage::Criterion::parse(criterion)) {
        std::abort();  // a text without a list always forms a criterion
    }

    const QStringList parts = text.split(QLatin1Char('\n'));
    const int position = (selector * 7919) % 100000;
    const QString line = hamlist::hitLine(position, parts.value(0), parts.value(1), parts.value(2));
    if (hamlist::hitLinePosition(line) != position) {
        std::abort();
    }
    hamlist::hitLinePosition(text);
    return 0;
}
