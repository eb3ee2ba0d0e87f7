#include "extra/frmStatistieken.h"

#include "extra/ParticipantsChart.h"
#include "extra/frmPeriode.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace extra {

namespace {

QString dateText(const QDate &date) {
    return date.isValid() ? date.toString(QStringLiteral("dd-MM-yyyy")) : QStringLiteral("-");
}

QString roundText(int number, const QDate &date) {
    return QStringLiteral("%1 (%2)").arg(number).arg(dateText(date));
}

// The hams of the attendance as a table, read straight from the attendance: tens of thousands
// of hams cost nothing until they are shown.
class HamModel : public QAbstractTableModel {
public:
    HamModel(const std::vector<stats::HamAttendance> &hams, QObject *parent)
        : QAbstractTableModel(parent), hams_(hams) {}

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(hams_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid() || index.row() >= int(hams_.size())) {
            return {};
        }
        const stats::HamAttendance &ham = hams_[size_t(index.row())];
        if (role == Qt::TextAlignmentRole && index.column() == 1) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (role != Qt::DisplayRole) {
            return {};
        }
        switch (index.column()) {
            case 0:
                return ham.call;
            case 1:
                return QString::number(ham.rounds);
            case 2:
                return roundText(ham.firstRound, ham.firstDate);
            default:
                return roundText(ham.lastRound, ham.lastDate);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return QAbstractTableModel::headerData(section, orientation, role);
        }
        static const char *titles[] = {"Call", "Rondes", "Eerste ronde", "Laatste ronde"};
        return QString::fromUtf8(titles[section]);
    }

private:
    const std::vector<stats::HamAttendance> &hams_;
};

}  // namespace

frmStatistieken::frmStatistieken(stats::Attendance attendance, QWidget *parent)
    : QDialog(parent), attendance_(std::move(attendance)) {
    setObjectName(QStringLiteral("frmStatistieken"));
    setWindowTitle(QStringLiteral("Statistieken"));
    resize(1000, 700);

    grdHams = new QTableView(this);
    grdHams->setModel(new HamModel(attendance_.hams(), grdHams));
    grdHams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdHams->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdHams->verticalHeader()->hide();
    grdHams->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdHams->setColumnWidth(0, 110);
    grdHams->setColumnWidth(1, 60);
    grdHams->setColumnWidth(2, 130);
    grdHams->setColumnWidth(3, 130);

    lblPeriode = new QLabel(this);
    cmdPeriode = new QPushButton(QStringLiteral("&Periode…"), this);
    lstVaste = new QListWidget(this);

    chtDeelnemers = new ParticipantsChart(this);
    chtDeelnemers->setMinimumHeight(260);

    auto *hamsBox = new QWidget(this);
    auto *hamsLayout = new QVBoxLayout(hamsBox);
    hamsLayout->setContentsMargins(0, 0, 0, 0);
    hamsLayout->addWidget(new QLabel(QStringLiteral("Aanwezigheid per ham"), hamsBox));
    hamsLayout->addWidget(grdHams);
    auto *regularsBox = new QWidget(this);
    auto *regularsLayout = new QVBoxLayout(regularsBox);
    regularsLayout->setContentsMargins(0, 0, 0, 0);
    auto *periodRow = new QHBoxLayout;
    periodRow->addWidget(lblPeriode, 1);
    periodRow->addWidget(cmdPeriode);
    regularsLayout->addLayout(periodRow);
    regularsLayout->addWidget(lstVaste);
    auto *top = new QSplitter(Qt::Horizontal, this);
    top->addWidget(hamsBox);
    top->addWidget(regularsBox);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top, 3);
    layout->addWidget(chtDeelnemers, 2);

    connect(grdHams, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { grdHams_DblClick(index.row()); });
    connect(lstVaste, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { lstVaste_DblClick(lstVaste->row(item)); });
    connect(cmdPeriode, &QPushButton::clicked, this, &frmStatistieken::cmdPeriode_Click);

    fillChart();
    // The last year up to the latest round with a day.
    QDate latest;
    for (const stats::RoundDay &round : attendance_.rounds()) {
        if (round.date.isValid() && (!latest.isValid() || round.date > latest)) {
            latest = round.date;
        }
    }
    if (!latest.isValid()) {
        latest = QDate::currentDate();
    }
    showRegulars(latest.addYears(-1).addDays(1), latest);
}

void frmStatistieken::fillChart() {
    std::vector<ParticipantsChart::Point> points;
    points.reserve(attendance_.rounds().size());
    for (const stats::RoundDay &round : attendance_.rounds()) {
        if (round.date.isValid()) {
            points.push_back({round.date, round.participants});
        }
    }
    chtDeelnemers->setPoints(std::move(points));
}

void frmStatistieken::showRegulars(const QDate &from, const QDate &to) {
    from_ = from;
    to_ = to;
    regulars_ = attendance_.regulars(from, to);
    lblPeriode->setText(
        QStringLiteral("Vaste bezoekers van %1 tot en met %2").arg(dateText(from), dateText(to)));
    lstVaste->clear();
    int place = 0;
    for (const stats::Regular &regular : regulars_) {
        lstVaste->addItem(
            QStringLiteral("%1. %2  %3 rondes").arg(++place).arg(regular.call).arg(regular.rounds));
    }
}

void frmStatistieken::cmdPeriode_Click() {
    frmPeriode period(QStringLiteral("Periode van de vaste bezoekers"), from_, to_, this);
    if (period.exec() == QDialog::Accepted) {
        showRegulars(period.from(), period.to());
    }
}

void frmStatistieken::grdHams_DblClick(int row) {
    if (row >= 0 && row < int(attendance_.hams().size()) && openHam) {
        openHam(attendance_.hams()[size_t(row)].call);
    }
}

void frmStatistieken::lstVaste_DblClick(int row) {
    if (row >= 0 && row < int(regulars_.size()) && openHam) {
        openHam(regulars_[size_t(row)].call);
    }
}

}  // namespace extra
