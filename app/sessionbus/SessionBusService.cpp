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

} // namespace tavrik::app
