#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace hamlist {

class frmAmateur;

// The hits of a search with more than one result; a double-click on a line moves the ham list to
// that ham.
class frmMultiFound : public QDialog {
    Q_OBJECT

public:
    explicit frmMultiFound(frmAmateur *amateur);

    QLabel *Label1 = nullptr;
    QListWidget *List1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command2 = nullptr;  // "&Annuleren"

    void List1_DblClick();
    void Command2_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    frmAmateur *amateur_;
};

}  // namespace hamlist
