#pragma once
// An X server of the test's own (Xvfb) on a display number it picks itself,
// with no window manager and no tray host: a desktop on which no icon can
// wait in a notification area.

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <string>

namespace tavrik::testing {

class VirtualX11Display {
public:
    ~VirtualX11Display() {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(5000)) {
                server_.kill();
                server_.waitForFinished(5000);
            }
        }
    }

    // Starts it; empty when it serves, else why it cannot.
    std::string start() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) {
            return "Xvfb is not installed (scripts/setup installs it)";
        }
        // -displayfd: the server chooses a free display and writes its number
        // on its standard output once it accepts clients.
        server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                             QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1280x800x24")});
        const QDeadlineTimer deadline(15000);
        std::string said;
        while (!deadline.hasExpired() && server_.state() != QProcess::NotRunning) {
            server_.waitForReadyRead(50);
            said += server_.readAllStandardOutput().toStdString();
            if (const std::size_t end = said.find('\n'); end != std::string::npos) {
                display_ = ":" + said.substr(0, end);
                return "";
            }
        }
        return "Xvfb did not start: " + server_.readAllStandardError().toStdString();
    }

    // DISPLAY for its clients.
    const std::string& display() const { return display_; }

private:
    QProcess server_;
    std::string display_;
};

} // namespace tavrik::testing
