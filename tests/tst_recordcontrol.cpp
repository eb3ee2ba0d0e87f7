#include "TestMain.h"
class RecordControlTest : public QObject {
    Q_OBJECT
};
KB_TEST_MAIN(RecordControlTest)
#include "tst_recordcontrol.moc"
