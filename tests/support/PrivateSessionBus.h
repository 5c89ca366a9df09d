#pragma once
// A session bus of the test's own: a dbus-daemon started for the test and
// ended with it, so that tests of the program's bus interface neither need
// the desktop's bus nor touch it. Child processes reach it through
// DBUS_SESSION_BUS_ADDRESS, which it sets for as long as it lives.

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::testing {

class PrivateSessionBus {
public:
    PrivateSessionBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            whyNot_ = "dbus-daemon is not installed (Debian package dbus-daemon)";
            return;
        }
        daemon_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address")});
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) {
        }
        address_ = daemon_.readLine().trimmed().toStdString();
        if (address_.empty()) {
            whyNot_ = "dbus-daemon did not start: " + daemon_.readAllStandardError().toStdString();
            return;
        }
        const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (previous != nullptr) {
            previous_ = previous;
        }
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateSessionBus() {
        for (const QString& name : names_) {
            QDBusConnection::disconnectFromBus(name);
        }
        if (previous_) {
            ::setenv("DBUS_SESSION_BUS_ADDRESS", previous_->c_str(), 1);
        } else {
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool started() const { return !address_.empty(); }
    // Why there is no bus, for the test's skip.
    const std::string& whyNot() const { return whyNot_; }
    const std::string& address() const { return address_; }

    // A connection of its own to the bus, under `name` in this process.
    QDBusConnection connect(const QString& name) {
        names_.push_back(name);
        return QDBusConnection::connectToBus(QString::fromStdString(address_), name);
    }

private:
    QProcess daemon_;
    std::string address_;
    std::string whyNot_;
    std::optional<std::string> previous_;
    std::vector<QString> names_;
};

} // namespace tavrik::testing
