#pragma once
// The program's icon in the notification area, with its context menu. The
// icon's mouse notifications reach the owner window as the callback message
// (wParam the icon id, lParam the mouse action); a hook on the owner
// (CTrayIcon::CTrayHook) takes them out of the owner's events and hands them
// to onNotification, so the owner needs no handling of its own for them. The
// menu's commands go to the owner as command messages (WindowMessage.h).

#include "app/tray/AutostartEntry.h"
#include "app/tray/CSubclassWnd.h"
#include "app/tray/TrayActivation.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QSystemTrayIcon;
class QWidget;

namespace tavrik::ui {
class LanguageMenu;
}

namespace tavrik::app {

// Values the main window uses.
inline constexpr std::uint32_t kTrayCallbackMessage = 1725;
inline constexpr std::uint32_t kTrayIconId = 140;
inline constexpr std::size_t kTrayTipMaxLength = 127;

// Commands of the tray menu's items: Open, About, Start with the desktop,
// Exit.
namespace traycommand {
inline constexpr int Open = 32771;
inline constexpr int About = 32773;
inline constexpr int StartWithDesktop = 32775;
inline constexpr int Exit = 32774;
} // namespace traycommand

// Mouse actions in lParam of the callback message.
namespace traymouse {
inline constexpr std::intptr_t LeftButtonUp = 0x0202;
inline constexpr std::intptr_t LeftButtonDoubleClick = 0x0203;
inline constexpr std::intptr_t RightButtonUp = 0x0205;
} // namespace traymouse

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Adds the icon for `owner` with the tip cut to 127 characters. Returns
    // whether the icon was added, which the active flag then tells; false
    // without an owner or an icon.
    bool create(QWidget* owner, std::uint32_t callbackMessage, const std::u16string& tip,
                const QIcon& icon, std::uint32_t id);
    // Shows the icon file "tray<iconId>.png" of the icon folder. Nothing
    // happens, and false comes back, when the icon is not active or the file
    // cannot be loaded.
    bool setIcon(int iconId);
    // Takes the icon out of the notification area; the active flag clears.
    void remove();

    // Handles one mouse notification; acts only on this icon's id. The click
    // that opens the window on this notification area (TrayActivation.h), a
    // single click or a double click with the left button, sends the menu's
    // first command (Open) to the owner. The menu itself is shown by the
    // notification area on a right click, or at the pointer where the area
    // asks for it through the right click (TrayActivation.h).
    virtual void onNotification(std::uintptr_t wParam, std::intptr_t lParam);
    // The notification area came back after a restart: the icon is added
    // again with its icon and tip, if it is active.
    void onTrayHostRestarted();

    // Whether a notification area is there to show the icon now
    // (QSystemTrayIcon::isSystemTrayAvailable); where none is, the window
    // cannot wait hidden. Tests put their own answer in its place; an empty
    // one puts back the desktop's.
    static bool isHostAvailable();
    static void setHostCheck(std::function<bool()> check);

    bool isActive() const { return active_; }
    std::u16string tip() const;
    QIcon icon() const;
    // The context menu: Open, About, Start with the desktop, Exit.
    ui::LanguageMenu* menu() const { return menu_; }

    // "Start with the desktop": its check mark shows whether the autostart
    // entry is on, read again each time the menu opens; the owner hands the
    // item's command here, which switches the entry. One that cannot be
    // written or removed says so (AUTOSTART_FAILED).
    void toggleStartWithDesktop();
    // By default the running program's entry (AutostartEntry::ofThisProgram).
    void setAutostartEntry(AutostartEntry entry);
    const AutostartEntry& autostartEntry() const { return autostart_; }

    // Where the texts and the icon files come from; by default the language
    // file and the Skins folder of the path set as it was at construction.
    void setLanguageFile(std::string path);
    void setIconFolder(std::string folder) { iconFolder_ = std::move(folder); }
    // "<folder>/tray<iconId>.png" (trayIconFile)
    static std::string iconFile(const std::string& folder, int iconId);

signals:
    // The notification area went away (its StatusNotifierItem watcher left
    // the session bus).
    void hostLost();

private:
    class CTrayHook final : public CSubclassWnd {
    public:
        explicit CTrayHook(CTrayIcon& tray) : tray_(tray) {}

    protected:
        bool windowProc(QObject* window, QEvent* event) override;

    private:
        CTrayIcon& tray_;
    };

    void forwardActivation(int reason);
    void showMenuAtPointer();
    void watchTrayHost();
    void showAutostartState();

    QSystemTrayIcon* icon_;
    // Decided with the icon, as Qt chooses the kind of tray for it.
    TrayActivation activation_;
    ui::LanguageMenu* menu_;
    QPointer<QWidget> owner_;
    CTrayHook hook_;
    std::uint32_t callbackMessage_ = 0;
    std::uint32_t id_ = 0;
    bool active_ = false;
    std::string iconFolder_;
    AutostartEntry autostart_;
};

} // namespace tavrik::app
