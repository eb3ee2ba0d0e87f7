#pragma once

#include "CoreTestMain.h"

#include <QApplication>
#include <QStyleFactory>

// The main of a window suite: headless on the offscreen platform, in the Fusion style, with the
// locale and data folders of every suite (CoreTestMain.h).
#define KB_TEST_MAIN(TestObject)                                 \
    int main(int argc, char *argv[]) {                           \
        qputenv("QT_QPA_PLATFORM", "offscreen");                 \
        testsetup::pinEnvironment();                             \
        QApplication app(argc, argv);                            \
        QApplication::setStyle(QStyleFactory::create("Fusion")); \
        TestObject tc;                                           \
        QTEST_SET_MAIN_SOURCE_PATH                               \
        return QTest::qExec(&tc, argc, argv);                    \
    }
