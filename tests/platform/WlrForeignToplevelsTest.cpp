// The foreign toplevel watch under a headless sway: two clients with their
// own app ids, focused in turn by the compositor's own command, and the
// watch names each as it gets the focus.

#include "platform/WlrForeignToplevels.h"

#include "tests/app/startup/HeadlessSway.h"
#include "tests/support/GuiTestApplication.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace tavrik::platform {
namespace {

using tavrik::testing::HeadlessSway;

const QString kFirst = QStringLiteral("org.tavrik.test.First");
const QString kSecond = QStringLiteral("org.tavrik.test.Second");

class WlrForeignToplevelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = sway_.start(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        display_ = QString::fromStdString(sway_.display());
        ASSERT_TRUE(clientRuntime_.isValid());
    }
    void TearDown() override {
        for (auto& client : clients_) {
            client->closeWriteChannel();
            if (!client->waitForFinished(5000)) {
                client->kill();
                client->waitForFinished(5000);
            }
        }
    }

    // A client window with `appId`, once the compositor has mapped it.
    ::testing::AssertionResult openWindow(const QString& appId) {
        auto client = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), display_);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), clientRuntime_.path());
        client->setProcessEnvironment(environment);
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->start(QStringLiteral(TAVRIK_WAYLAND_APP_WINDOW), {appId});
        QProcess* started = client.get();
        clients_.push_back(std::move(client));
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && started->state() != QProcess::NotRunning) {
            if (sway_.window(appId)) {
                return ::testing::AssertionSuccess();
            }
            started->waitForFinished(50);
        }
        return ::testing::AssertionFailure()
               << "the window " << appId.toStdString() << " was not mapped";
    }

    // Asks the compositor to focus the window of `appId`.
    ::testing::AssertionResult focus(const QString& appId) {
        QProcess message;
        message.start(QStringLiteral("swaymsg"),
                      {QStringLiteral("-s"), ipcSocket(),
                       QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
        if (!message.waitForFinished(10000) || message.exitCode() != 0) {
            return ::testing::AssertionFailure()
                   << "swaymsg failed: " << message.readAll().toStdString();
        }
        return ::testing::AssertionSuccess();
    }

    // Keeps what the watch names, in order.
    void record(WlrForeignToplevels& watch) {
        QObject::connect(&watch, &WlrForeignToplevels::activated, &watch,
                         [this](const QString& appId) { named_ << appId; });
    }
    // Waits until the last application the watch named is `appId`.
    ::testing::AssertionResult waitForActivated(const QString& appId) {
        const QDeadlineTimer deadline(10000);
        while (named_.isEmpty() || named_.last() != appId) {
            if (deadline.hasExpired()) {
                return ::testing::AssertionFailure()
                       << "waited for " << appId.toStdString()
                       << ", named: " << named_.join(QStringLiteral(", ")).toStdString();
            }
            QEventLoop loop;
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return ::testing::AssertionSuccess();
    }

    QString ipcSocket() const {
        const QDir folder = QFileInfo(display_).dir();
        const QStringList sockets =
            folder.entryList({QStringLiteral("sway-ipc.*")}, QDir::System | QDir::Files);
        return sockets.isEmpty() ? QString() : folder.filePath(sockets.first());
    }

    HeadlessSway sway_;
    QString display_;
    QTemporaryDir clientRuntime_;
    std::vector<std::unique_ptr<QProcess>> clients_;
    QStringList named_;
};

TEST_F(WlrForeignToplevelsTest, NamesEachApplicationAsItGetsTheFocus) {
    // The first window has the focus before the watch starts: it is named at
    // once.
    ASSERT_TRUE(openWindow(kFirst));
    WlrForeignToplevels watch;
    record(watch);
    ASSERT_TRUE(watch.start(display_));
    ASSERT_TRUE(waitForActivated(kFirst));

    // A new window takes the focus when the compositor maps it.
    ASSERT_TRUE(openWindow(kSecond));
    ASSERT_TRUE(waitForActivated(kSecond));

    for (const QString& appId : {kFirst, kSecond, kFirst}) {
        SCOPED_TRACE(appId.toStdString());
        ASSERT_TRUE(focus(appId));
        EXPECT_TRUE(waitForActivated(appId));
    }
}

TEST_F(WlrForeignToplevelsTest, ClosedWindowGivesTheFocusToTheOther) {
    WlrForeignToplevels watch;
    record(watch);
    ASSERT_TRUE(watch.start(display_));
    ASSERT_TRUE(openWindow(kFirst));
    ASSERT_TRUE(waitForActivated(kFirst));
    ASSERT_TRUE(openWindow(kSecond));
    ASSERT_TRUE(waitForActivated(kSecond));

    clients_.back()->closeWriteChannel();
    ASSERT_TRUE(clients_.back()->waitForFinished(10000));
    EXPECT_TRUE(waitForActivated(kFirst));
}

// Where there is no compositor to ask, start() says so instead of
// connecting to some other display.
TEST(WlrForeignToplevelsStartTest, FailsWithoutAReachableDisplay) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray saved = qgetenv("WAYLAND_DISPLAY");
    struct Cases {
        const char* environment;
        QString display;
    };
    for (const Cases& item : {Cases{"", {}}, Cases{"", folder.filePath("no-such-socket")},
                              Cases{"no-such-display-\x01", {}}}) {
        SCOPED_TRACE(item.environment);
        qputenv("WAYLAND_DISPLAY", item.environment);
        WlrForeignToplevels watch;
        EXPECT_FALSE(watch.start(item.display));
    }
    qputenv("WAYLAND_DISPLAY", saved);
}

} // namespace
} // namespace tavrik::platform
