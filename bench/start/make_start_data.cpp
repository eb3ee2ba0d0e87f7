// Makes the data folder the start benchmark copies for each run: the database with the ham list
// and the stored rounds at realistic size (see BenchData.h) and the station's settings files.
//
//   make_start_data FOLDER     (FOLDER must not exist yet)

#include "bench/BenchData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_start_data FOLDER\n", stderr);
        return 2;
    }
    const QFileInfo target(QString::fromLocal8Bit(argv[1]));
    if (target.exists()) {
        std::fprintf(stderr, "make_start_data: %s exists already\n", argv[1]);
        return 2;
    }
    const QString folder = benchdata::makeDataFolder(target.absolutePath(), target.fileName());
    benchdata::writeStationSettings(folder, QStringLiteral("JO22nb"));
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(folder)));
    return 0;
}
