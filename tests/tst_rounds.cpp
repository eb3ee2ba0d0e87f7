#include "TestMain.h"
class RoundsTest : public QObject {
    Q_OBJECT
};
KB_TEST_MAIN(RoundsTest)
#include "tst_rounds.moc"
