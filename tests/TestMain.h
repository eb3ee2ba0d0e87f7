#pragma once

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTest>

// Pins the headless set-up of every test: offscreen platform, Fusion style and a Dutch locale,
// so results do not depend on the machine the tests run on. The temporary data folders live in
// memory where the machine has a RAM-backed folder, so the databases' syncs cost nothing.
#define KB_TEST_MAIN(TestObject)                                            \
    int main(int argc, char *argv[]) {                                      \
        qputenv("QT_QPA_PLATFORM", "offscreen");                            \
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {           \
            qputenv("TMPDIR", "/dev/shm");                                  \
        }                                                                   \
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); \
        QApplication app(argc, argv);                                       \
        QApplication::setStyle(QStyleFactory::create("Fusion"));            \
        TestObject tc;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                          \
        return QTest::qExec(&tc, argc, argv);                               \
    }
