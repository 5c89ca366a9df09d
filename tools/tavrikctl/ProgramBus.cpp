#include "tools/tavrikctl/ProgramBus.h"

#include "app/sessionbus/SessionBusService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace tavrik::tools {
namespace {

// An import or a restore on a slow keyboard takes its time; the bus's own
// 25 s would give up on a write that still goes on.
constexpr int kCallMilliseconds = 10 * 60 * 1000;

QDBusMessage methodCall(const QString& interface, const QString& method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(app::kBusServiceName),
                                       QString::fromLatin1(app::kBusObjectPath), interface, method);
    // Nobody is started for the asking: without the program, tavrikctl
    // works on its own.
    call.setAutoStartService(false);
    return call;
}

// A method of the program's interface, waited for as long as its keyboard
// work may take.
QDBusMessage send(const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        methodCall(QString::fromLatin1(app::kBusInterfaceName), QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallMilliseconds);
}

} // namespace

std::optional<ProgramBus> ProgramBus::find() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(QString::fromLatin1(app::kBusServiceName))) {
        return std::nullopt;
    }
    return ProgramBus();
}

ProgramAnswer ProgramBus::call(const char* method, const QVariantList& arguments) const {
    const QDBusMessage answer = send(method, arguments);
    if (answer.type() == QDBusMessage::ReplyMessage) {
        return {true, {}};
    }
    return {false, answer.errorMessage().toStdString()};
}

std::optional<QVariantList> ProgramBus::query(const char* method,
                                              const QVariantList& arguments) const {
    const QDBusMessage answer = send(method, arguments);
    if (answer.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return answer.arguments();
}

std::optional<unsigned> ProgramBus::activeProfile() const {
    QDBusMessage call =
        methodCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(app::kBusInterfaceName) << QStringLiteral("ActiveProfile");
    const QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) {
        return std::nullopt;
    }
    return answer.arguments().first().value<QDBusVariant>().variant().toUInt();
}

} // namespace tavrik::tools
