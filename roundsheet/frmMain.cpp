#include "roundsheet/frmMain.h"

#include "storage/Database.h"

#include <QCloseEvent>
#include <QDir>

namespace roundsheet {

frmMain::frmMain(QString dataFolder, platform::MessageBoxes &messages, QWidget *parent)
    : QMainWindow(parent), dataFolder_(std::move(dataFolder)), messages_(messages)
{
    setWindowTitle(QStringLiteral("ZUD arizizirirod"));
    Data1 = new storage::RecordControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setDatabaseName(QDir(dataFolder_).filePath(QString::fromLatin1(storage::Database::kFileName)));
    Data1->setRecordSource(QStringLiteral("ronde"));
    Data1->setMinimumHeight(24);
    setCentralWidget(Data1);
    resize(480, 60);
    connect(Data1, &storage::RecordControl::Reposition, this, &frmMain::onReposition);
    connect(Data1, &storage::RecordControl::Error, this, &frmMain::onError);
}

bool frmMain::load()
{
    if (Data1->open()) {
        return true;
    }
    messages_.show(this, Data1->lastError().description, platform::MessageStyle::OkCritical);
    return false;
}

void frmMain::onReposition()
{
    const auto &rs = Data1->Recordset();
    const int number = rs.state() == storage::CursorState::PendingNew ? rs.RecordCount() + 1
                                                                      : rs.AbsolutePosition() + 1;
    Data1->setCaption(QStringLiteral("Ronde : %1 van de %2").arg(number).arg(rs.RecordCount()));
}

void frmMain::onError(int, const QString &, int *response)
{
    *response = 0;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Data1->close();
    event->accept();
}

}  // namespace roundsheet
