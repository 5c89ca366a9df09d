// The running program on a session bus of the test's own, as scripts,
// desktop shortcuts and tavrikctl reach it: the keyboard's profile switched
// and followed, the window shown, a profile file written through the program,
// refusals answered by errors; and a tavrikctl that cannot reach it writes
// nothing behind its back.

#include "app/sessionbus/SessionBusService.h"
#include "tests/app/startup/ProgramProcessFixture.h"
#include "tests/support/CommandRun.h"
#include "tests/support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace tavrik::app {
namespace {

using namespace tavrik::testing;

QDBusMessage answerOf(const QDBusPendingCall& call) {
    QDBusPendingCallWatcher watcher(call);
    const QDeadlineTimer patience(60000);
    while (!watcher.isFinished() && !patience.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return watcher.reply();
}

class SessionBusProgramTest : public ProgramProcessTest {
protected:
    void SetUp() override {
        if (!bus_.started()) {
            GTEST_SKIP() << bus_.whyNot();
        }
        ProgramProcessTest::SetUp();
        client_ = bus_.connect(QStringLiteral("script"));
    }

    // Waits until the program owns its name on the bus.
    bool waitForTheProgram() {
        const QDeadlineTimer patience(kStartMilliseconds);
        while (!client_.interface()->isServiceRegistered(QString::fromLatin1(kBusServiceName))) {
            if (patience.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    QDBusMessage call(const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusServiceName, kBusObjectPath,
                                                              kBusInterfaceName, method);
        message.setArguments(arguments);
        return answerOf(client_.asyncCall(message, 60000));
    }
    uint activeProfile() {
        QDBusMessage message = QDBusMessage::createMethodCall(
            kBusServiceName, kBusObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        message << QString::fromLatin1(kBusInterfaceName) << QStringLiteral("ActiveProfile");
        const QDBusMessage answer = answerOf(client_.asyncCall(message));
        return answer.arguments().isEmpty()
                   ? 99
                   : answer.arguments().first().value<QDBusVariant>().variant().toUInt();
    }
    std::string keyboard(const std::string& command) {
        service::ControlClient control(folder_.file("vkbd.sock"));
        std::string reply;
        std::string error;
        EXPECT_TRUE(control.request(command, reply, error)) << command << ": " << error;
        return reply;
    }
    bool keyboardProfileIs(int index) {
        const QDeadlineTimer patience(kStartMilliseconds);
        while (keyboard("state").find("profile=" + std::to_string(index)) == std::string::npos) {
            if (patience.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    CommandOutcome tavrikctl(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{std::string(TAVRIK_BIN_DIR) + "/tavrikctl"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runCommand(command, folder_.path());
    }

    PrivateSessionBus bus_;
    QDBusConnection client_{QString()};
};

// Receives the interface's PropertiesChanged.
class Changes final : public QObject {
    Q_OBJECT
public:
    explicit Changes(QDBusConnection connection) {
        connection.connect(QString(), kBusObjectPath,
                           QStringLiteral("org.freedesktop.DBus.Properties"),
                           QStringLiteral("PropertiesChanged"), this,
                           SLOT(changed(QString, QVariantMap, QStringList)));
    }
    bool waitFor(const QVariantMap& wanted) {
        const QDeadlineTimer patience(kStartMilliseconds);
        while (std::find(seen.begin(), seen.end(), wanted) == seen.end()) {
            if (patience.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    std::vector<QVariantMap> seen;

public Q_SLOTS:
    void changed(const QString&, const QVariantMap& properties, const QStringList&) {
        seen.push_back(properties);
    }
};

TEST_F(SessionBusProgramTest, ScriptsSwitchProfilesAndFollowTheKeyboard) {
    Instance program = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(program.waitForLog(kInitHandled)) << program.log();
    ASSERT_TRUE(waitForTheProgram()) << program.log();
    Changes changes(client_);
    ASSERT_TRUE(keyboardProfileIs(0));
    EXPECT_EQ(activeProfile(), 1u);

    // What gdbus call ... SetActiveProfile 2 does.
    EXPECT_EQ(call(QStringLiteral("SetActiveProfile"), {2u}).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(keyboardProfileIs(1));
    EXPECT_EQ(activeProfile(), 2u);
    EXPECT_TRUE(changes.waitFor({{"ActiveProfile", 2u}}));

    // A switch made on the keyboard is told too.
    keyboard("press profile 2");
    EXPECT_TRUE(changes.waitFor({{"ActiveProfile", 3u}}));

    // tavrikctl goes through the program while it runs.
    const CommandOutcome switched = tavrikctl({"profile", "1"});
    EXPECT_EQ(switched.status, 0) << switched.err;
    EXPECT_EQ(switched.out, "active profile 1\n");
    EXPECT_TRUE(keyboardProfileIs(0));

    // The window comes to the front.
    EXPECT_EQ(call(QStringLiteral("Show")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(program.waitForLog(kWindowShown)) << program.log();

    // Without a keyboard: errors that say so, and the property says 0.
    keyboard("unplug");
    EXPECT_TRUE(changes.waitFor({{"ActiveProfile", 0u}, {"Connected", false}}));
    const QDBusMessage refused = call(QStringLiteral("SetActiveProfile"), {3u});
    EXPECT_EQ(refused.errorName(), QLatin1String(buserror::NoKeyboard));
    EXPECT_EQ(refused.errorMessage(), "No keyboard is connected.");
    const CommandOutcome ctlRefused = tavrikctl({"profile", "3"});
    EXPECT_EQ(ctlRefused.status, 1);
    EXPECT_NE(ctlRefused.err.find("No keyboard is connected."), std::string::npos)
        << ctlRefused.err;
}

TEST_F(SessionBusProgramTest, AProfileFileWrittenThroughTheProgramIsWhatItThenShows) {
    Instance program = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTheProgram()) << program.log();
    ASSERT_TRUE(keyboardProfileIs(0));

    // What the keyboard holds now, saved by the program; then written back.
    const std::string saved = folder_.file("saved.fwc");
    const CommandOutcome read = tavrikctl({"read", saved});
    ASSERT_EQ(read.status, 0) << read.err;
    ASSERT_TRUE(fs::exists(saved));
    const CommandOutcome written = tavrikctl({"write", saved});
    EXPECT_EQ(written.status, 0) << written.err;

    // A damaged file: the program's own message, no dialog, nothing changed.
    std::ofstream(folder_.file("broken.fwc")) << std::string(40000, 'x');
    const QDBusMessage broken =
        call(QStringLiteral("ImportProfile"), {QString::fromStdString(folder_.file("broken.fwc"))});
    EXPECT_EQ(broken.errorName(), QLatin1String(buserror::Failed));
    EXPECT_NE(broken.errorMessage().indexOf("broken.fwc"), -1)
        << broken.errorMessage().toStdString();
    const QDBusMessage nowhere = call(QStringLiteral("ExportProfile"),
                                      {QString::fromStdString(folder_.file("no/such/x.fwc"))});
    EXPECT_EQ(nowhere.errorName(), QLatin1String(buserror::Failed));
    EXPECT_NE(nowhere.errorMessage().indexOf("No such file or directory"), -1);

    // Backup and restore through the program.
    const CommandOutcome backup = tavrikctl({"backup", folder_.file("all.tkb")});
    EXPECT_EQ(backup.status, 0) << backup.err;
    const CommandOutcome restore = tavrikctl({"restore", folder_.file("all.tkb")});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(program.process().state(), QProcess::Running);
    EXPECT_EQ(program.log().find("tavrik.prompt"), std::string::npos)
        << "no message box was shown: " << program.log();
}

// A desktop's focus script (the KWin script, the GNOME Shell extension) and
// tavrikctl, against the running program: the rules set through it take
// effect at once, the focused application's rule switches the keyboard, the
// default covers the rest, and the rules outlive the program.
TEST_F(SessionBusProgramTest, TheFocusedApplicationsRuleSwitchesTheKeyboard) {
    Instance program = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(program.waitForLog(kInitHandled)) << program.log();
    ASSERT_TRUE(waitForTheProgram()) << program.log();
    ASSERT_TRUE(keyboardProfileIs(0));
    const auto focus = [this](const char* application) {
        return call(QStringLiteral("SetFocusedApplication"), {QString::fromLatin1(application)})
            .type();
    };

    ASSERT_EQ(tavrikctl({"app-profile", "set", "gimp", "3"}).status, 0);
    // Classes come in any case.
    EXPECT_EQ(focus("GIMP"), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(keyboardProfileIs(2));
    // No rule and no default: the keyboard stays as it is.
    EXPECT_EQ(focus("xterm"), QDBusMessage::ReplyMessage);
    ASSERT_EQ(tavrikctl({"app-profile", "default", "1"}).status, 0);
    EXPECT_EQ(focus("kate"), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(keyboardProfileIs(0));
    const CommandOutcome listed = tavrikctl({"app-profile", "list"});
    EXPECT_EQ(listed.out, "gimp     3\ndefault  1  (in force)\n") << listed.err;

    // A rule removed through the program is gone from the store as well.
    ASSERT_EQ(tavrikctl({"app-profile", "set", "steam", "2"}).status, 0);
    ASSERT_EQ(tavrikctl({"app-profile", "unset", "steam"}).status, 0);
    Instance kill = launch({QStringLiteral("/Kill")});
    ASSERT_TRUE(kill.endsWithZero()) << kill.log();
    ASSERT_TRUE(program.endsWithZero()) << program.log();
    ::setenv("XDG_CONFIG_HOME", folder_.file("config").c_str(), 1);
    const CommandOutcome stored = tavrikctl({"app-profile", "list"});
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(stored.out, "gimp     3\ndefault  1\n(Tavrik does not run: no rule is in force)\n")
        << stored.err;
}

// From a shell without the session's runtime folder and bus (cron, su, ssh)
// tavrikctl cannot reach the program, sees that it runs, and refuses: its
// write would be undone by the program's next save.
TEST_F(SessionBusProgramTest, AWriterBesideTheProgramIsRefusedNotUndoneLater) {
    Instance program = launch({QStringLiteral("/Start")});
    ASSERT_TRUE(waitForTheProgram()) << program.log();
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string busAddress = address != nullptr ? address : "";
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_STATE_HOME", folder_.file("state").c_str(), 1);
    ::setenv("VEZAROR_BACKEND", "virtual", 1);
    ::setenv("VEZAROR_VIRTUAL_STATE", folder_.file("keyboard.state").c_str(), 1);
    const std::string before = keyboard("dump");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"profile", "2"},
          std::vector<std::string>{"write", folder_.file("missing.fwc")},
          std::vector<std::string>{"read", folder_.file("read.fwc")}}) {
        const CommandOutcome refused = tavrikctl(command);
        EXPECT_EQ(refused.status, 1) << command[0];
        EXPECT_NE(refused.err.find("Tavrik is running"), std::string::npos) << refused.err;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", busAddress.c_str(), 1);
    EXPECT_EQ(keyboard("dump"), before);
    EXPECT_FALSE(fs::exists(folder_.file("read.fwc")));
}

} // namespace
} // namespace tavrik::app

#include "SessionBusProgramTest.moc"
