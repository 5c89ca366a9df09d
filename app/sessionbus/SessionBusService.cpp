#include "app/sessionbus/SessionBusService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>
#include <QPointer>
#include <QVariantMap>

namespace tavrik::app {
namespace {

Q_LOGGING_CATEGORY(busLog, "tavrik.bus", QtInfoMsg)

constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

} // namespace

SessionBusService::SessionBusService(SessionBusActions& actions, QObject* parent)
    : QObject(parent), actions_(actions) {}

SessionBusService::~SessionBusService() {
    withdraw();
}

bool SessionBusService::publish(const QDBusConnection& connection) {
    if (connection_ || !connection.isConnected()) {
        return connection_.has_value();
    }
    QDBusConnection bus = connection;
    if (!bus.registerObject(QString::fromLatin1(kBusObjectPath), this,
                            QDBusConnection::ExportAllSlots |
                                QDBusConnection::ExportAllProperties)) {
        qCWarning(busLog, "the session bus object cannot be served");
        return false;
    }
    // Queued requests would hand the name over behind the user's back once
    // the other owner ends; a program started later simply has none.
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr || names->registerService(QString::fromLatin1(kBusServiceName),
                                                   QDBusConnectionInterface::DontQueueService,
                                                   QDBusConnectionInterface::DontAllowReplacement)
                                    .value() != QDBusConnectionInterface::ServiceRegistered) {
        qCWarning(busLog, "%s is taken on the session bus: no interface for this instance",
                  kBusServiceName);
        bus.unregisterObject(QString::fromLatin1(kBusObjectPath));
        return false;
    }
    connection_ = bus;
    toldProfile_ = activeProfile();
    toldConnected_ = connected();
    return true;
}

void SessionBusService::withdraw() {
    if (!connection_) {
        return;
    }
    connection_->unregisterService(QString::fromLatin1(kBusServiceName));
    connection_->unregisterObject(QString::fromLatin1(kBusObjectPath));
    connection_.reset();
}

void SessionBusService::noticeState() {
    if (!connection_) {
        return;
    }
    QVariantMap changed;
    if (const uint profile = activeProfile(); profile != toldProfile_) {
        toldProfile_ = profile;
        changed.insert(QStringLiteral("ActiveProfile"), profile);
    }
    if (const bool isConnected = connected(); isConnected != toldConnected_) {
        toldConnected_ = isConnected;
        changed.insert(QStringLiteral("Connected"), isConnected);
    }
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kBusObjectPath),
                                                     QString::fromLatin1(kPropertiesInterface),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kBusInterfaceName) << changed << QStringList();
    connection_->send(signal);
}

uint SessionBusService::activeProfile() const {
    return actions_.isConnected() ? actions_.activeProfile() : 0;
}

bool SessionBusService::connected() const {
    return actions_.isConnected();
}

BusReply SessionBusService::replyLater() {
    setDelayedReply(true);
    const QDBusMessage call = message();
    const QDBusConnection bus = connection();
    const QPointer<SessionBusService> self(this);
    return [call, bus, self](const BusResult& result) {
        bus.send(result.succeeded() ? call.createReply()
                                    : call.createErrorReply(result.errorName, result.message));
        // What the command changed, told after its answer.
        if (self != nullptr) {
            self->noticeState();
        }
    };
}

void SessionBusService::SetActiveProfile(uint profile) {
    const BusReply reply = replyLater();
    if (profile < 1 || profile > 3) {
        reply({QString::fromLatin1(buserror::InvalidArgs),
               QStringLiteral("The profile is 1, 2 or 3, not %1.").arg(profile)});
        return;
    }
    actions_.setActiveProfile(profile, reply);
}

void SessionBusService::Show() {
    actions_.show(replyLater());
}

void SessionBusService::ImportProfile(const QString& path) {
    actions_.importProfile(path, replyLater());
}

void SessionBusService::ExportProfile(const QString& path) {
    actions_.exportProfile(path, replyLater());
}

void SessionBusService::Backup(const QString& path) {
    actions_.backUp(path, replyLater());
}

void SessionBusService::Restore(const QString& path) {
    actions_.restore(path, replyLater());
}

void SessionBusService::SetFocusedApplication(const QString& applicationId) {
    actions_.focusChanged({applicationId.toStdString(), {}});
}

QStringList SessionBusService::GetApplicationProfiles(QString& defaultProfile, QString& inForce) {
    const ApplicationRules& rules = actions_.applicationRules();
    QStringList stored;
    for (const ApplicationRule& rule : rules.rules()) {
        stored << QString::fromStdString(storedRule(rule));
    }
    defaultProfile = QString::fromStdString(storedDefault(rules.defaultProfile()));
    const std::optional<RuleChoice> chosen = actions_.applicationRuleInForce();
    inForce = !chosen                  ? QString()
              : chosen->ruleId.empty() ? QStringLiteral("*")
                                       : QString::fromStdString(chosen->ruleId);
    return stored;
}

void SessionBusService::storeRules(const ApplicationRules& rules) {
    if (!actions_.changeApplicationRules(rules)) {
        sendErrorReply(QString::fromLatin1(buserror::Failed),
                       QStringLiteral("The settings could not be saved."));
    }
}

void SessionBusService::SetApplicationProfile(const QString& applicationId, uint profile) {
    ApplicationRules rules = actions_.applicationRules();
    if (profile < 1 || profile > 3 ||
        !rules.set(applicationId.toStdString(), static_cast<int>(profile) - 1)) {
        sendErrorReply(QString::fromLatin1(buserror::InvalidArgs),
                       QStringLiteral("A rule needs an application id and profile 1, 2 or 3."));
        return;
    }
    storeRules(rules);
}

void SessionBusService::UnsetApplicationProfile(const QString& applicationId) {
    ApplicationRules rules = actions_.applicationRules();
    if (!rules.unset(applicationId.toStdString())) {
        sendErrorReply(QString::fromLatin1(buserror::InvalidArgs),
                       QStringLiteral("No rule names %1.").arg(applicationId));
        return;
    }
    storeRules(rules);
}

void SessionBusService::SetDefaultApplicationProfile(const QString& profile) {
    const std::string text = profile.trimmed().toStdString();
    const std::optional<int> chosen = parseStoredDefault(text);
    if (!chosen && text != "none") {
        sendErrorReply(QString::fromLatin1(buserror::InvalidArgs),
                       QStringLiteral("The default is none, 1, 2 or 3, not %1.").arg(profile));
        return;
    }
    ApplicationRules rules = actions_.applicationRules();
    rules.setDefault(chosen);
    storeRules(rules);
}

} // namespace tavrik::app
