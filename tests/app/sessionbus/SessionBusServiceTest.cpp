// The session bus interface on a bus of the test's own: what a script sees
// of it (the name, the object, the interface as shipped), its properties and
// their PropertiesChanged, and how each method hands over to the program and
// answers, also later.

#include "app/sessionbus/SessionBusService.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/PrivateSessionBus.h"

#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

class FakeActions final : public SessionBusActions {
public:
    unsigned activeProfile() const override { return profile; }
    bool isConnected() const override { return connected; }
    void setActiveProfile(unsigned chosen, const BusReply& reply) override {
        calls.push_back(QStringLiteral("profile %1").arg(chosen));
        answer(reply);
    }
    void show(const BusReply& reply) override {
        calls.push_back(QStringLiteral("show"));
        answer(reply);
    }
    void importProfile(const QString& path, const BusReply& reply) override {
        calls.push_back("import " + path);
        answer(reply);
    }
    void exportProfile(const QString& path, const BusReply& reply) override {
        calls.push_back("export " + path);
        answer(reply);
    }
    void backUp(const QString& path, const BusReply& reply) override {
        calls.push_back("backup " + path);
        answer(reply);
    }
    void restore(const QString& path, const BusReply& reply) override {
        calls.push_back("restore " + path);
        answer(reply);
    }

    const ApplicationRules& applicationRules() const override { return rules; }
    std::optional<RuleChoice> applicationRuleInForce() const override { return inForce; }
    bool changeApplicationRules(const ApplicationRules& changed) override {
        if (storeKeeps) {
            rules = changed;
        }
        return storeKeeps;
    }
    void focusChanged(const FocusedApplication& application) override {
        calls.push_back("focus " + QString::fromStdString(application.id));
    }

    unsigned profile = 1;
    bool connected = true;
    ApplicationRules rules;
    std::optional<RuleChoice> inForce;
    bool storeKeeps = true;
    BusResult result;
    // Answer after the event loop has come round, as keyboard work does.
    bool later = false;
    QStringList calls;

private:
    void answer(const BusReply& reply) {
        if (!later) {
            reply(result);
            return;
        }
        QTimer::singleShot(0, [reply, answered = result] { reply(answered); });
    }
};

// Serves events until the call has its answer.
QDBusMessage answerOf(const QDBusPendingCall& call) {
    QDBusPendingCallWatcher watcher(call);
    const QDeadlineTimer patience(10000);
    while (!watcher.isFinished() && !patience.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return watcher.reply();
}

class SessionBusServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus_.started()) {
            GTEST_SKIP() << bus_.whyNot();
        }
        serving_ = bus_.connect(QStringLiteral("serving"));
        client_ = bus_.connect(QStringLiteral("client"));
        service_ = std::make_unique<SessionBusService>(actions_);
        ASSERT_TRUE(service_->publish(serving_));
    }

    QDBusMessage call(const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusServiceName, kBusObjectPath,
                                                              kBusInterfaceName, method);
        message.setArguments(arguments);
        return answerOf(client_.asyncCall(message));
    }
    QVariant property(const QString& name) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            kBusServiceName, kBusObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        message << QString::fromLatin1(kBusInterfaceName) << name;
        const QDBusMessage answer = answerOf(client_.asyncCall(message));
        return answer.arguments().isEmpty()
                   ? QVariant()
                   : answer.arguments().first().value<QDBusVariant>().variant();
    }

    testing::PrivateSessionBus bus_;
    QDBusConnection serving_{QString()};
    QDBusConnection client_{QString()};
    FakeActions actions_;
    std::unique_ptr<SessionBusService> service_;
};

// Receives PropertiesChanged of the interface.
class ChangeListener final : public QObject {
    Q_OBJECT
public:
    explicit ChangeListener(QDBusConnection connection) {
        connection.connect(kBusServiceName, kBusObjectPath,
                           QStringLiteral("org.freedesktop.DBus.Properties"),
                           QStringLiteral("PropertiesChanged"), this,
                           SLOT(changed(QString, QVariantMap, QStringList)));
    }
    std::vector<QVariantMap> received;

public Q_SLOTS:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
        if (interface == QLatin1String(kBusInterfaceName)) {
            received.push_back(properties);
        }
    }
};

TEST_F(SessionBusServiceTest, PropertiesFollowTheProgramAndTellWhatChanged) {
    EXPECT_EQ(property(QStringLiteral("ActiveProfile")).toUInt(), 1u);
    EXPECT_EQ(property(QStringLiteral("Connected")).toBool(), true);

    ChangeListener listener(client_);
    // A round trip, so that the listener's match is in place.
    property(QStringLiteral("Connected"));
    service_->noticeState(); // nothing changed: nothing said
    actions_.profile = 3;
    service_->noticeState();
    actions_.connected = false;
    service_->noticeState();
    const QDeadlineTimer patience(10000);
    while (listener.received.size() < 2 && !patience.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_EQ(listener.received.size(), 2u);
    EXPECT_EQ(listener.received[0], (QVariantMap{{"ActiveProfile", 3u}}));
    EXPECT_EQ(listener.received[1], (QVariantMap{{"ActiveProfile", 0u}, {"Connected", false}}))
        << "no keyboard: no profile";
    EXPECT_EQ(property(QStringLiteral("ActiveProfile")).toUInt(), 0u);
}

TEST_F(SessionBusServiceTest, EachMethodHandsOverAndAnswersWithItsResult) {
    const QString path = QStringLiteral("/tmp/some file.fwc");
    const struct {
        QString method;
        QVariantList arguments;
        QString call;
    } methods[] = {
        {"SetActiveProfile", {2u}, "profile 2"},     {"ImportProfile", {path}, "import " + path},
        {"ExportProfile", {path}, "export " + path}, {"Backup", {path}, "backup " + path},
        {"Restore", {path}, "restore " + path},
    };
    for (const bool later : {false, true}) {
        for (const BusResult& result :
             {BusResult::done(), BusResult{buserror::Failed, QStringLiteral("It went wrong.")}}) {
            actions_.later = later;
            actions_.result = result;
            for (const auto& m : methods) {
                SCOPED_TRACE(m.method.toStdString() + (later ? " later" : " at once"));
                actions_.calls.clear();
                const QDBusMessage answer = call(m.method, m.arguments);
                EXPECT_EQ(actions_.calls, QStringList{m.call});
                if (result.succeeded()) {
                    EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage);
                } else {
                    EXPECT_EQ(answer.errorName(), result.errorName);
                    EXPECT_EQ(answer.errorMessage(), result.message);
                }
            }
        }
    }
    actions_.later = false;
    actions_.result = BusResult::done();
    actions_.calls.clear();
    EXPECT_EQ(call(QStringLiteral("Show")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(actions_.calls, QStringList{"show"});
}

TEST_F(SessionBusServiceTest, AProfileOtherThanOneToThreeIsRefusedUnasked) {
    for (const uint profile : {0u, 4u, 99u}) {
        const QDBusMessage answer = call(QStringLiteral("SetActiveProfile"), {profile});
        EXPECT_EQ(answer.errorName(), QLatin1String(buserror::InvalidArgs)) << profile;
    }
    EXPECT_TRUE(actions_.calls.isEmpty());
}

// What `gdbus introspect` shows is what the package ships for scripts.
TEST_F(SessionBusServiceTest, TheInterfaceIsTheOneShipped) {
    // The interface's members, one line each: kind, name, type, access and
    // the arguments, sorted.
    const auto interfaceOf = [](const QString& xml) {
        QXmlStreamReader reader(xml);
        QStringList members;
        bool inside = false;
        QString member;
        while (!reader.atEnd()) {
            reader.readNext();
            const QString tag = reader.name().toString();
            const QXmlStreamAttributes attributes = reader.attributes();
            if (reader.isStartElement() && tag == "interface") {
                inside = attributes.value("name") == QLatin1String(kBusInterfaceName);
            } else if (reader.isEndElement() && tag == "interface") {
                inside = false;
            } else if (inside && reader.isStartElement() && tag == "arg") {
                member += " " + attributes.value("name").toString() + ":" +
                          attributes.value("type").toString() + ":" +
                          attributes.value("direction").toString();
            } else if (inside && reader.isStartElement() &&
                       (tag == "method" || tag == "property" || tag == "signal")) {
                member = tag + " " + attributes.value("name").toString() + " " +
                         attributes.value("type").toString() +
                         attributes.value("access").toString();
            } else if (inside && reader.isEndElement() &&
                       (tag == "method" || tag == "property" || tag == "signal")) {
                members << member;
            }
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        members.sort();
        return members;
    };
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        kBusServiceName, kBusObjectPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    const QDBusMessage answer = answerOf(client_.asyncCall(introspect));
    ASSERT_FALSE(answer.arguments().isEmpty()) << answer.errorMessage().toStdString();
    QFile shipped(QStringLiteral(TAVRIK_SOURCE_DIR "/packaging/dbus/org.tavrik.Tavrik1.xml"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QStringList published = interfaceOf(answer.arguments().first().toString());
    EXPECT_FALSE(published.isEmpty());
    EXPECT_EQ(published, interfaceOf(QString::fromUtf8(shipped.readAll())));
}

// A second login of the user on one user bus: its program has no interface,
// and the first keeps its name.
TEST_F(SessionBusServiceTest, ANameTakenAlreadyLeavesTheSecondProgramWithout) {
    QDBusConnection other = bus_.connect(QStringLiteral("other"));
    FakeActions otherActions;
    SessionBusService second(otherActions);
    EXPECT_FALSE(second.publish(other));
    EXPECT_FALSE(second.isPublished());
    actions_.calls.clear();
    call(QStringLiteral("Show"));
    EXPECT_EQ(actions_.calls, QStringList{"show"});
    EXPECT_TRUE(otherActions.calls.isEmpty());
}

// The rules of the profiles that follow the focused application, read and
// changed over the bus; bad arguments and a store that keeps nothing are
// refused with their error, and the rules stay as they were.
TEST_F(SessionBusServiceTest, ApplicationRulesAreListedChangedAndRefusedWithTheirErrors) {
    const QString invalid = QString::fromLatin1(buserror::InvalidArgs);
    const struct {
        QString method;
        QVariantList arguments;
        QString error; // empty: done
        QStringList rulesAfter;
        QString defaultAfter;
    } steps[] = {
        {"SetApplicationProfile", {QStringLiteral("Gimp"), 2u}, {}, {"Gimp=2"}, "none"},
        {"SetApplicationProfile",
         {QStringLiteral("steam_app_1"), 3u},
         {},
         {"Gimp=2", "steam_app_1=3"},
         "none"},
        {"SetApplicationProfile",
         {QStringLiteral("gimp"), 1u},
         {},
         {"Gimp=1", "steam_app_1=3"},
         "none"},
        {"SetApplicationProfile",
         {QStringLiteral("gimp"), 4u},
         invalid,
         {"Gimp=1", "steam_app_1=3"},
         "none"},
        {"SetApplicationProfile",
         {QStringLiteral("  "), 2u},
         invalid,
         {"Gimp=1", "steam_app_1=3"},
         "none"},
        {"UnsetApplicationProfile",
         {QStringLiteral("kate")},
         invalid,
         {"Gimp=1", "steam_app_1=3"},
         "none"},
        {"UnsetApplicationProfile", {QStringLiteral("GIMP")}, {}, {"steam_app_1=3"}, "none"},
        {"SetDefaultApplicationProfile", {QStringLiteral("2")}, {}, {"steam_app_1=3"}, "2"},
        {"SetDefaultApplicationProfile", {QStringLiteral("4")}, invalid, {"steam_app_1=3"}, "2"},
        {"SetDefaultApplicationProfile", {QStringLiteral("none")}, {}, {"steam_app_1=3"}, "none"},
    };
    for (const auto& step : steps) {
        const QDBusMessage answer = call(step.method, step.arguments);
        EXPECT_EQ(answer.type() == QDBusMessage::ErrorMessage ? answer.errorName() : QString(),
                  step.error)
            << step.method.toStdString() << " " << answer.errorMessage().toStdString();
        QString fallback;
        QString inForce;
        const QStringList rules = service_->GetApplicationProfiles(fallback, inForce);
        EXPECT_EQ(rules, step.rulesAfter) << step.method.toStdString();
        EXPECT_EQ(fallback, step.defaultAfter) << step.method.toStdString();
    }

    const QDBusMessage listed = call(QStringLiteral("GetApplicationProfiles"));
    ASSERT_EQ(listed.arguments().size(), 3);
    EXPECT_EQ(listed.arguments()[0].toStringList(), QStringList{"steam_app_1=3"});
    EXPECT_EQ(listed.arguments()[1].toString(), "none");
    EXPECT_EQ(listed.arguments()[2].toString(), "") << "no rule in force";
    actions_.inForce = RuleChoice{2, "steam_app_1"};
    EXPECT_EQ(call(QStringLiteral("GetApplicationProfiles")).arguments().value(2).toString(),
              "steam_app_1");
    actions_.inForce = RuleChoice{1, {}};
    EXPECT_EQ(call(QStringLiteral("GetApplicationProfiles")).arguments().value(2).toString(), "*")
        << "the default";

    actions_.storeKeeps = false;
    EXPECT_EQ(
        call(QStringLiteral("SetApplicationProfile"), {QStringLiteral("kate"), 1u}).errorName(),
        QString::fromLatin1(buserror::Failed));
    EXPECT_EQ(actions_.rules.rules().size(), 1u);

    EXPECT_EQ(
        call(QStringLiteral("SetFocusedApplication"), {QStringLiteral("org.kde.kate")}).type(),
        QDBusMessage::ReplyMessage);
    EXPECT_EQ(actions_.calls.back(), "focus org.kde.kate");
}

} // namespace
} // namespace tavrik::app

#include "SessionBusServiceTest.moc"
