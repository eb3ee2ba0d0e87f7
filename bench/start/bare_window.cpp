// The yardstick of the start benchmark: a bare Qt main window with a menu bar and nothing behind
// it, as Qt's own examples start one, as large as the program's main window (the screen memory
// of a window grows with its size).

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kale werkbalk"));
    for (const char *title : {"&Bestand", "&Ronde", "&Extra", "&Help"}) {
        window.menuBar()->addMenu(QString::fromUtf8(title))->addAction(QStringLiteral("Item"));
    }
    window.setFixedSize(1249, 905);
    window.show();
    return QApplication::exec();
}
