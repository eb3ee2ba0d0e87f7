#include "TestMain.h"
class HamListTest : public QObject {
    Q_OBJECT
};
KB_TEST_MAIN(HamListTest)
#include "tst_hamlist.moc"
