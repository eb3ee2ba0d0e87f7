#pragma once

#include <QDate>
#include <QWidget>

#include <vector>

namespace extra {

// The scale of the participants axis: from 0 to `top` in steps of `step`, both round numbers
// (1, 2 or 5 times a power of ten), with about five steps.
struct CountScale {
    int top = 1;
    int step = 1;
};
CountScale countScale(int most);

// The number of participants per round as a line over time, drawn by the window itself: a title,
// the participants axis on the left, months along the bottom (MM-yyyy). Rounds without a day are
// not on it. However many rounds there are, drawing costs one pass over at most two points per
// pixel column.
class ParticipantsChart : public QWidget {
    Q_OBJECT

public:
    struct Point {
        QDate date;
        int participants = 0;
    };

    explicit ParticipantsChart(QWidget *parent = nullptr);

    // The rounds, put in the order of their days.
    void setPoints(std::vector<Point> points);
    const std::vector<Point> &points() const { return points_; }
    CountScale scale() const { return scale_; }

    QSize sizeHint() const override { return {600, 260}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<Point> points_;
    CountScale scale_;
};

}  // namespace extra
