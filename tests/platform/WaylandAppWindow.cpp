// A window of a Wayland client whose app id is the first argument, for the
// foreign toplevel tests: it shows itself (titled with the app id) and stays
// until it is closed or its standard input ends.

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QSocketNotifier>
#include <unistd.h>

namespace {

class PlainWindow final : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    // Qt hands the desktop file name to the compositor as the app id.
    const QString appId = QString::fromLocal8Bit(argv[1]);
    QGuiApplication::setDesktopFileName(appId);
    PlainWindow window;
    window.setTitle(appId);
    window.resize(200, 150);
    window.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0) {
            QGuiApplication::quit();
        }
    });
    return QGuiApplication::exec();
}
