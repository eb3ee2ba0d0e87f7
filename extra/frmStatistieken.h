#pragma once

#include "stats/Attendance.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTableView;

namespace extra {

class frmPeriode;
class ParticipantsChart;

// Attendance at a glance: per ham the rounds attended with the first and the last, the regulars
// of a period ranked, and per round the number of participants as a chart over time. A
// double-click on a ham hands its call to openHam.
class frmStatistieken : public QDialog {
    Q_OBJECT

public:
    frmStatistieken(stats::Attendance attendance, QWidget *parent = nullptr);

    std::function<void(const QString &call)> openHam;

    QTableView *grdHams = nullptr;  // call, rounds, first round, last round
    QListWidget *lstVaste = nullptr;
    QLabel *lblPeriode = nullptr;
    QPushButton *cmdPeriode = nullptr;
    ParticipantsChart *chtDeelnemers = nullptr;

    // The regulars of this period, both days included.
    void showRegulars(const QDate &from, const QDate &to);
    void cmdPeriode_Click();
    void grdHams_DblClick(int row);
    void lstVaste_DblClick(int row);

private:
    void fillChart();

    stats::Attendance attendance_;
    std::vector<stats::Regular> regulars_;
    QDate from_;
    QDate to_;
};

}  // namespace extra
