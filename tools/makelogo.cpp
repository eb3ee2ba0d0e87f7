// Draws the logo of the printed round list, print/logo.png: a lattice mast sending waves over a
// ring of linked stations, the net. Not part of the build; to draw it again:
//   g++ -std=c++20 -fPIC tools/makelogo.cpp -o /tmp/makelogo $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/makelogo print/logo.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const int n = 600, out = 400;
    QImage img(out, out, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(out) / n, double(out) / n);
    const QPointF c(n / 2.0, n / 2.0);
    const QColor navy(22, 52, 96), amber(240, 160, 30), sky(90, 150, 210);
    p.setPen(Qt::NoPen);
    p.setBrush(navy);
    p.drawEllipse(c, 290, 290);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 268, 268);
    p.setBrush(navy);
    p.drawEllipse(c, 258, 258);
    // The net: stations on a ring, each linked to its neighbours and to the centre.
    const int stations = 10;
    const double r = 200;
    QList<QPointF> pts;
    for (int i = 0; i < stations; ++i) {
        const double a = -M_PI / 2 + 2 * M_PI * i / stations;
        pts << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    p.setPen(QPen(sky, 6));
    for (int i = 0; i < stations; ++i)
        p.drawLine(pts[i], pts[(i + 1) % stations]);
    p.setPen(QPen(sky, 3, Qt::DashLine));
    for (int i = 0; i < stations; ++i)
        p.drawLine(pts[i], c + QPointF(0, -20));
    // Waves from the mast top.
    const QPointF top = c + QPointF(0, -60);
    p.setBrush(Qt::NoBrush);
    for (int k = 1; k <= 3; ++k) {
        const double rr = 40.0 * k;
        p.setPen(QPen(amber, 12, Qt::SolidLine, Qt::RoundCap));
        QRectF box(top.x() - rr, top.y() - rr, 2 * rr, 2 * rr);
        p.drawArc(box, 16 * 25, 16 * 50);
        p.drawArc(box, 16 * 105, 16 * 50);
    }
    // The mast: a lattice tower.
    QPainterPath mast;
    mast.moveTo(top);
    mast.lineTo(c + QPointF(-55, 130));
    mast.lineTo(c + QPointF(55, 130));
    mast.closeSubpath();
    p.setPen(QPen(Qt::white, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(mast);
    p.setPen(QPen(Qt::white, 6));
    for (int k = 0; k < 3; ++k) {
        const double y0 = top.y() + 47 * k, y1 = top.y() + 47 * (k + 1);
        const double w0 = 55.0 * (y0 - top.y()) / 190, w1 = 55.0 * (y1 - top.y()) / 190;
        p.drawLine(QPointF(c.x() - w0, y0), QPointF(c.x() + w1, y1));
        p.drawLine(QPointF(c.x() + w0, y0), QPointF(c.x() - w1, y1));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(amber);
    p.drawEllipse(top, 14, 14);
    for (const QPointF &pt : pts) {
        p.setBrush(Qt::white);
        p.drawEllipse(pt, 20, 20);
        p.setBrush(amber);
        p.drawEllipse(pt, 12, 12);
    }
    p.end();
    return img.save(argv[1]) ? 0 : 1;
}
