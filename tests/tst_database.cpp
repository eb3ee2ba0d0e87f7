#include "TestMain.h"
class DatabaseTest : public QObject {
    Q_OBJECT
};
KB_TEST_MAIN(DatabaseTest)
#include "tst_database.moc"
