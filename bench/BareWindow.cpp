// The yardstick of start-up, memory and idle cost: the least a Qt Widgets
// tray program does. It puts an icon in the system tray and shows one window
// of the given size, or stays hidden in the tray with --hidden.
//
//   bare_window WIDTH HEIGHT ICON [--hidden]

#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 4) {
        return 2;
    }
    QSystemTrayIcon tray(QIcon(arguments.at(3)));
    tray.show();
    QWidget window;
    window.setFixedSize(arguments.at(1).toInt(), arguments.at(2).toInt());
    if (!arguments.contains(QStringLiteral("--hidden"))) {
        window.show();
    }
    return QApplication::exec();
}
