#include "extra/frmStatistieken.h"

#include "extra/frmPeriode.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>
#include <QValueAxis>

namespace extra {

namespace {

QString dateText(const QDate &date) {
    return date.isValid() ? date.toString(QStringLiteral("dd-MM-yyyy")) : QStringLiteral("-");
}

QString roundText(int number, const QDate &date) {
    return QStringLiteral("%1 (%2)").arg(number).arg(dateText(date));
}

}  // namespace

frmStatistieken::frmStatistieken(stats::Attendance attendance, QWidget *parent)
    : QDialog(parent), attendance_(std::move(attendance)) {
    setObjectName(QStringLiteral("frmStatistieken"));
    setWindowTitle(QStringLiteral("Statistieken"));
    resize(1000, 700);

    grdHams = new QTableWidget(this);
    grdHams->setColumnCount(4);
    grdHams->setHorizontalHeaderLabels({QStringLiteral("Call"), QStringLiteral("Rondes"),
                                        QStringLiteral("Eerste ronde"),
                                        QStringLiteral("Laatste ronde")});
    grdHams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdHams->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdHams->verticalHeader()->hide();
    grdHams->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    lblPeriode = new QLabel(this);
    cmdPeriode = new QPushButton(QStringLiteral("&Periode…"), this);
    lstVaste = new QListWidget(this);

    chtDeelnemers = new QChartView(this);
    chtDeelnemers->setRenderHint(QPainter::Antialiasing);
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

    connect(grdHams, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { grdHams_DblClick(row); });
    connect(lstVaste, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { lstVaste_DblClick(lstVaste->row(item)); });
    connect(cmdPeriode, &QPushButton::clicked, this, &frmStatistieken::cmdPeriode_Click);

    fillHams();
    fillChart();
    // The last year up to the latest round with a day.
    QDate latest;
    for (const stats::RoundCalls &round : attendance_.rounds()) {
        if (round.date.isValid() && (!latest.isValid() || round.date > latest)) {
            latest = round.date;
        }
    }
    if (!latest.isValid()) {
        latest = QDate::currentDate();
    }
    showRegulars(latest.addYears(-1).addDays(1), latest);
}

void frmStatistieken::fillHams() {
    const std::vector<stats::HamAttendance> &hams = attendance_.hams();
    grdHams->setUpdatesEnabled(false);
    grdHams->setRowCount(int(hams.size()));
    for (int row = 0; row < int(hams.size()); ++row) {
        const stats::HamAttendance &ham = hams[size_t(row)];
        auto *rounds = new QTableWidgetItem(QString::number(ham.rounds));
        rounds->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdHams->setItem(row, 0, new QTableWidgetItem(ham.call));
        grdHams->setItem(row, 1, rounds);
        grdHams->setItem(row, 2, new QTableWidgetItem(roundText(ham.firstRound, ham.firstDate)));
        grdHams->setItem(row, 3, new QTableWidgetItem(roundText(ham.lastRound, ham.lastDate)));
    }
    grdHams->setUpdatesEnabled(true);
}

void frmStatistieken::fillChart() {
    auto *series = new QLineSeries;
    series->setName(QStringLiteral("Deelnemers per ronde"));
    QList<QPointF> points;
    points.reserve(qsizetype(attendance_.rounds().size()));
    int most = 1;
    for (const stats::RoundCalls &round : attendance_.rounds()) {
        if (round.date.isValid()) {
            points.append(QPointF(double(round.date.startOfDay(Qt::UTC).toMSecsSinceEpoch()),
                                  double(round.calls.size())));
            most = std::max(most, int(round.calls.size()));
        }
    }
    series->replace(points);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("Deelnemers per ronde"));
    auto *x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("MM-yyyy"));

    auto *y = new QValueAxis;
    y->setRange(0, most);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("Deelnemers"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    if (!points.isEmpty()) {
        x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(points.front().x()), Qt::UTC),
                    QDateTime::fromMSecsSinceEpoch(qint64(points.back().x()), Qt::UTC));
    }
    chtDeelnemers->setChart(chart);
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
    const QTableWidgetItem *item = grdHams->item(row, 0);
    if (item && openHam) {
        openHam(item->text());
    }
}

void frmStatistieken::lstVaste_DblClick(int row) {
    if (row >= 0 && row < int(regulars_.size()) && openHam) {
        openHam(regulars_[size_t(row)].call);
    }
}

}  // namespace extra
