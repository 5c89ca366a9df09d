// The yardstick of start-up, memory and idle cost: the least a Qt Widgets
// tray program does. It puts an icon in the system tray and shows one window
// of the given size, or stays hidden in the tray with --hidden.
//
//   bare_window WIDTH HEIGHT [--hidden]
//
// The icon is painted in memory: decoding one from a file would load the
// image plugins on the tray's way only, and the yardstick's tray start
// would then be slower than its window start for a reason of its own.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3) {
        return 2;
    }
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    QSystemTrayIcon tray(QIcon{picture});
    tray.show();
    QWidget window;
    window.setFixedSize(arguments.at(1).toInt(), arguments.at(2).toInt());
    if (!arguments.contains(QStringLiteral("--hidden"))) {
        window.show();
    }
    return QApplication::exec();
}
