#include "extra/ParticipantsChart.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace extra {

CountScale countScale(int most) {
    most = std::max(most, 1);
    // About five steps of 1, 2 or 5 times a power of ten.
    const double rough = double(most) / 5.0;
    int power = 1;
    while (power * 10 <= rough) {
        power *= 10;
    }
    int step = power;
    for (const int factor : {1, 2, 5, 10}) {
        step = factor * power;
        if (step >= rough) {
            break;
        }
    }
    const int top = (most + step - 1) / step * step;
    return {top, step};
}

ParticipantsChart::ParticipantsChart(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chtDeelnemers"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

void ParticipantsChart::setPoints(std::vector<Point> points) {
    points_ = std::move(points);
    std::stable_sort(points_.begin(), points_.end(),
                     [](const Point &a, const Point &b) { return a.date < b.date; });
    int most = 1;
    for (const Point &point : points_) {
        most = std::max(most, point.participants);
    }
    scale_ = countScale(most);
    update();
}

void ParticipantsChart::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();

    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const QRect titleBox(0, line / 2, width(), QFontMetrics(titleFont).height());
    painter.drawText(titleBox, Qt::AlignCenter, QStringLiteral("Deelnemers per ronde"));
    painter.setFont(font());

    // The plot area: room for the axis title and the numbers on the left, the months below.
    const int left = line * 2 + metrics.horizontalAdvance(QString::number(scale_.top)) + 8;
    const QRect plot(left, titleBox.bottom() + line, std::max(width() - left - line * 2, 10),
                     std::max(height() - titleBox.bottom() - line * 4, 10));

    painter.save();
    painter.translate(line, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, -line / 2, plot.height(), line), Qt::AlignCenter,
                     QStringLiteral("Deelnemers"));
    painter.restore();

    // The participants axis with its grid lines.
    const QPen gridPen(QColor(220, 220, 220), 1);
    const QPen axisPen(palette().color(QPalette::WindowText), 1);
    auto yOf = [&](double count) { return plot.bottom() - count / scale_.top * plot.height(); };
    for (int value = 0; value <= scale_.top; value += scale_.step) {
        const double y = yOf(value);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(axisPen);
        painter.drawText(QRectF(0, y - line / 2.0, plot.left() - 6, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (points_.empty()) {
        return;
    }

    // The months along the bottom: five marks from the first round to the last.
    const qint64 firstDay = points_.front().date.toJulianDay();
    const qint64 days = std::max<qint64>(points_.back().date.toJulianDay() - firstDay, 1);
    auto xOf = [&](const QDate &date) {
        return plot.left() + double(date.toJulianDay() - firstDay) / double(days) * plot.width();
    };
    constexpr int kMarks = 5;
    for (int mark = 0; mark < kMarks; ++mark) {
        const QDate date = QDate::fromJulianDay(firstDay + days * mark / (kMarks - 1));
        const double x = xOf(date);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(axisPen);
        painter.drawText(QRectF(x - 50, plot.bottom() + 4, 100, line), Qt::AlignCenter,
                         date.toString(QStringLiteral("MM-yyyy")));
    }

    // The line: per pixel column the first, the lowest, the highest and the last point, drawn
    // as one thin polyline (a thin pen is drawn directly, a wide one would be outlined first).
    QPolygonF trace;
    int column = -1;
    double low = 0;
    double high = 0;
    double lastY = 0;
    auto flush = [&] {
        if (low != high) {
            trace << QPointF(column, low) << QPointF(column, high);
        }
        trace << QPointF(column, lastY);
    };
    for (const Point &point : points_) {
        const double x = xOf(point.date);
        const double y = yOf(point.participants);
        const int here = int(x);
        if (here != column) {
            if (column >= 0) {
                flush();
            }
            trace << QPointF(x, y);
            column = here;
            low = high = y;
        }
        low = std::min(low, y);
        high = std::max(high, y);
        lastY = y;
    }
    flush();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    QPen linePen(QColor(32, 159, 223), 1);
    linePen.setCosmetic(true);
    painter.setPen(linePen);
    painter.drawPolyline(trace);
}

}  // namespace extra
