#pragma once
// A headless sway of the test's own: a Wayland compositor with one output
// and no input devices, which tiles as the desktops that tile do, answers
// questions about its windows (swaymsg) and takes screenshots (grim). sway
// refuses to run as root; a root test runs it as the ordinary user nobody,
// in a runtime folder of that user's.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace tavrik::testing {

class HeadlessSway {
public:
    // The colour of the output behind every window.
    static constexpr QRgb kBackground = 0xffff00ff;
    static constexpr uid_t kNobody = 65534;

    ~HeadlessSway() {
        if (sway_.state() != QProcess::NotRunning) {
            sway_.terminate();
            if (!sway_.waitForFinished(5000)) {
                sway_.kill();
                sway_.waitForFinished(5000);
            }
        }
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }

    // Starts it; empty when it runs, else why it cannot.
    std::string start() {
        const QString sway = QStandardPaths::findExecutable(QStringLiteral("sway"));
        if (sway.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("swaymsg")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty()) {
            return "sway, swaymsg or grim is not installed (scripts/setup installs them)";
        }
        char name[] = "/tmp/tavrik-sway-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            return "no runtime folder for the compositor";
        }
        folder_ = name;
        std::ofstream(folder_ + "/config") << "output * bg #ff00ff solid_color\n"
                                              "default_border none\n"
                                              "default_floating_border none\n";
        QStringList arguments{QStringLiteral("-c"), QString::fromStdString(folder_ + "/config")};
        QString program = sway;
        if (::geteuid() == 0) {
            const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            if (setpriv.isEmpty() || ::chown(folder_.c_str(), kNobody, kNobody) != 0) {
                return "sway does not run as root, and no other user can be taken";
            }
            arguments =
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), sway} +
                arguments;
            program = setpriv;
        }
        std::filesystem::permissions(folder_ + "/config", std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::others_read);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const auto set = [&](const char* key, const std::string& value) {
            environment.insert(QString::fromLatin1(key), QString::fromStdString(value));
        };
        set("XDG_RUNTIME_DIR", folder_);
        set("HOME", folder_);
        set("WLR_BACKENDS", "headless");
        set("WLR_RENDERER", "pixman");
        set("WLR_LIBINPUT_NO_DEVICES", "1");
        for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY", "SWAYSOCK", "I3SOCK"}) {
            environment.remove(QString::fromLatin1(variable));
        }
        sway_.setProcessEnvironment(environment);
        sway_.setProcessChannelMode(QProcess::MergedChannels);
        sway_.start(program, arguments);
        if (!sway_.waitForStarted(5000)) {
            return "sway could not be started";
        }
        // Ready once both of its sockets are there.
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired() && sway_.state() == QProcess::Running) {
            findSockets();
            if (!display_.empty() && !ipc_.empty()) {
                return "";
            }
            sway_.waitForReadyRead(20);
        }
        return "sway did not start: " + sway_.readAll().toStdString();
    }

    // WAYLAND_DISPLAY for its clients: the socket's full path.
    const std::string& display() const { return display_; }

    // The windows, as swaymsg's tree has them: the first whose title is
    // `title`, if there is one.
    std::optional<QJsonObject> window(const QString& title) {
        const QJsonDocument tree = QJsonDocument::fromJson(swaymsg({"-t", "get_tree"}));
        return findNode(tree.object(), title);
    }
    // How many windows the process `pid` has mapped.
    int windowCount(qint64 pid) {
        const QJsonDocument tree = QJsonDocument::fromJson(swaymsg({"-t", "get_tree"}));
        return countNodes(tree.object(), pid);
    }
    // The output's size, in the layout's coordinates.
    QSize outputSize() {
        const QJsonArray outputs = QJsonDocument::fromJson(swaymsg({"-t", "get_outputs"})).array();
        if (outputs.isEmpty()) {
            return {};
        }
        const QJsonObject rect =
            outputs.first().toObject().value(QStringLiteral("rect")).toObject();
        return {rect.value(QStringLiteral("width")).toInt(),
                rect.value(QStringLiteral("height")).toInt()};
    }

    // The whole output as it shows now; null when grim fails.
    QImage screenshot() {
        const std::string file = folder_ + "/shot.png";
        QProcess grim;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromStdString(display_));
        grim.setProcessEnvironment(environment);
        grim.start(QStringLiteral("grim"), {QString::fromStdString(file)});
        if (!grim.waitForFinished(10000) || grim.exitCode() != 0) {
            return {};
        }
        return QImage(QString::fromStdString(file));
    }

    static QRect rectOf(const QJsonObject& node) {
        const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
        return {rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                rect.value(QStringLiteral("width")).toInt(),
                rect.value(QStringLiteral("height")).toInt()};
    }

private:
    void findSockets() {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_socket()) {
                continue;
            }
            if (name.starts_with("wayland-")) {
                display_ = entry.path().string();
            } else if (name.starts_with("sway-ipc.")) {
                ipc_ = entry.path().string();
            }
        }
    }

    QByteArray swaymsg(const QStringList& arguments) {
        QProcess message;
        message.start(
            QStringLiteral("swaymsg"),
            QStringList{QStringLiteral("-s"), QString::fromStdString(ipc_), QStringLiteral("-r")} +
                arguments);
        message.waitForFinished(10000);
        return message.readAllStandardOutput();
    }

    static std::optional<QJsonObject> findNode(const QJsonObject& node, const QString& title) {
        if (node.value(QStringLiteral("name")).toString() == title &&
            node.contains(QStringLiteral("pid"))) {
            return node;
        }
        for (const char* children : {"nodes", "floating_nodes"}) {
            for (const QJsonValue& child : node.value(QString::fromLatin1(children)).toArray()) {
                if (std::optional<QJsonObject> found = findNode(child.toObject(), title)) {
                    return found;
                }
            }
        }
        return std::nullopt;
    }

    static int countNodes(const QJsonObject& node, qint64 pid) {
        int count = node.value(QStringLiteral("pid")).toInteger(-1) == pid ? 1 : 0;
        for (const char* children : {"nodes", "floating_nodes"}) {
            for (const QJsonValue& child : node.value(QString::fromLatin1(children)).toArray()) {
                count += countNodes(child.toObject(), pid);
            }
        }
        return count;
    }

    QProcess sway_;
    std::string folder_;
    std::string display_;
    std::string ipc_;
};

} // namespace tavrik::testing
