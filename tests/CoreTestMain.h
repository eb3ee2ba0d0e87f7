#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTest>

namespace testsetup {

// What every suite pins before its application is made, so results do not depend on the machine
// the tests run on: a Dutch locale, and the temporary data folders in memory where the machine
// has a RAM-backed folder, so the databases' syncs cost nothing.
inline void pinEnvironment() {
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        qputenv("TMPDIR", "/dev/shm");
    }
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
}

}  // namespace testsetup

// The main of a suite that makes no window: the same set-up under a QCoreApplication, so the
// suite links Qt Core and what it tests, nothing of Gui or Widgets.
#define KB_CORE_TEST_MAIN(TestObject)         \
    int main(int argc, char *argv[]) {        \
        testsetup::pinEnvironment();          \
        QCoreApplication app(argc, argv);     \
        TestObject tc;                        \
        QTEST_SET_MAIN_SOURCE_PATH            \
        return QTest::qExec(&tc, argc, argv); \
    }
