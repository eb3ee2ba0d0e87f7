#pragma once

#include "platform/MessageBoxes.h"
#include "storage/RecordControl.h"

#include <QMainWindow>

namespace roundsheet {

// The main window over the stored rounds. For now it shows the rounds' navigation bar; the round
// sheet itself follows.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    frmMain(QString dataFolder, platform::MessageBoxes &messages, QWidget *parent = nullptr);

    // Opens the rounds; false when the database cannot be used (the user has been told why).
    bool load();

    storage::RecordControl *Data1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onReposition();
    void onError(int dataErr, const QString &description, int *response);

    QString dataFolder_;
    platform::MessageBoxes &messages_;
};

}  // namespace roundsheet
