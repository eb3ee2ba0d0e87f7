#pragma once

#include <QApplication>
#include <QLocale>
#include <QStyleFactory>
#include <QTest>

// Pins the headless set-up of every test: offscreen platform, Fusion style and a Dutch locale,
// so results do not depend on the machine the tests run on.
#define KB_TEST_MAIN(TestObject)                                            \
    int main(int argc, char *argv[]) {                                      \
        qputenv("QT_QPA_PLATFORM", "offscreen");                            \
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); \
        QApplication app(argc, argv);                                       \
        QApplication::setStyle(QStyleFactory::create("Fusion"));            \
        TestObject tc;                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                          \
        return QTest::qExec(&tc, argc, argv);                               \
    }
