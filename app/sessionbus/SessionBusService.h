#pragma once
// The program's session bus interface, for scripts and desktop shortcuts:
// the running program owns "org.tavrik.Tavrik" and serves the object
// "/org/tavrik/Tavrik" with the interface "org.tavrik.Tavrik1":
//
//   property ActiveProfile u (1..3, 0 while no keyboard), read-only
//   property Connected     b, read-only
//   SetActiveProfile(u profile)       as the profile buttons
//   Show()                            the window in front
//   ImportProfile(s path)             a profile file onto the keyboard
//   ExportProfile(s path)             the working set into a profile file
//   Backup(s path), Restore(s path)   the whole keyboard, to and from a file
//   SetFocusedApplication(s app_id)   a desktop script's word on the focus
//   GetApplicationProfiles() -> (as rules, s default, s in_force)
//                                     rules as "<app id>=<1..3>", the default
//                                     "none" or "1".."3", the rule in force
//                                     (its id, "*" for the default, "")
//   SetApplicationProfile(s app_id, u profile), UnsetApplicationProfile(s),
//   SetDefaultApplicationProfile(s "none"|"1".."3")
//
// org.freedesktop.DBus.Properties.PropertiesChanged tells when either
// property changes, a switch made on the keyboard included. A method that
// cannot do what it was asked answers with an error whose message says why.
// packaging/dbus/org.tavrik.Tavrik1.xml is the interface as it is published.

#include "app/sessionbus/SessionBusActions.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <optional>

namespace tavrik::app {

inline constexpr const char* kBusServiceName = "org.tavrik.Tavrik";
inline constexpr const char* kBusObjectPath = "/org/tavrik/Tavrik";
inline constexpr const char* kBusInterfaceName = "org.tavrik.Tavrik1";

class SessionBusService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tavrik.Tavrik1")
    Q_PROPERTY(uint ActiveProfile READ activeProfile)
    Q_PROPERTY(bool Connected READ connected)
public:
    explicit SessionBusService(SessionBusActions& actions, QObject* parent = nullptr);
    ~SessionBusService() override;

    // Serves the object and takes the name on `connection`. False, with
    // nothing served, where there is no session bus or another program has
    // the name (a second login of the user on one user bus); the program
    // goes on without the interface.
    bool publish(const QDBusConnection& connection = QDBusConnection::sessionBus());
    // Gives the name back; calls under way are still answered.
    void withdraw();
    bool isPublished() const { return connection_.has_value(); }

    // Sends PropertiesChanged for what differs from what was last told.
    void noticeState();

    uint activeProfile() const;
    bool connected() const;

public Q_SLOTS:
    void SetActiveProfile(uint profile);
    void Show();
    void ImportProfile(const QString& path);
    void ExportProfile(const QString& path);
    void Backup(const QString& path);
    void Restore(const QString& path);
    void SetFocusedApplication(const QString& applicationId);
    QStringList GetApplicationProfiles(QString& defaultProfile, QString& inForce);
    void SetApplicationProfile(const QString& applicationId, uint profile);
    void UnsetApplicationProfile(const QString& applicationId);
    void SetDefaultApplicationProfile(const QString& profile);

private:
    // The reply of the call being handled, sent once it has a result.
    BusReply replyLater();
    // Stores changed rules, or answers the call with the failure.
    void storeRules(const ApplicationRules& rules);

    SessionBusActions& actions_;
    std::optional<QDBusConnection> connection_;
    uint toldProfile_ = 0;
    bool toldConnected_ = false;
};

} // namespace tavrik::app
