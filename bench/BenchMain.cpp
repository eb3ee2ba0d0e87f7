#include "bench/BenchMain.h"

#include <QLocale>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

namespace benchmain {

std::unique_ptr<QApplication> start(int &argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return nullptr;
    }
    return app;
}

}  // namespace benchmain
