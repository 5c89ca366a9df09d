#pragma once
// Control and command ids of the main window. A button's click reaches the
// window as the command message with its id (WindowMessage.h), as do the
// items of the main menu and the tray menu.

namespace tavrik::app::command {

inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int DefaultProfile = 1005; // current-profile button: the profile manager
inline constexpr int Apply = 1006;
inline constexpr int MacroEditor = 1007;
inline constexpr int Link = 1121;
inline constexpr int Help = 1122;
inline constexpr int Minimize = 1123;
inline constexpr int Close = 1124;
inline constexpr int Bank = 1128; // shows the G-key bank; no command of its own
inline constexpr int Flip0 = 1129;
inline constexpr int Flip1 = 1130;
inline constexpr int Flip2 = 1131;
inline constexpr int Profile1 = 1135;
inline constexpr int Profile2 = 1136;
inline constexpr int Profile3 = 1137;
inline constexpr int Menu = 1139;
inline constexpr int EffectList = 1146;
inline constexpr int FnKey = 1174;

// Main menu: import, export, back up keyboard, restore keyboard, about,
// close. About is the same command as the tray menu's (CTrayIcon.h has the
// tray menu's commands).
inline constexpr int Import = 32776;
inline constexpr int Export = 32777;
inline constexpr int BackupKeyboard = 32780;
inline constexpr int RestoreKeyboard = 32781;
// The rules of the profiles that follow the focused application.
inline constexpr int ApplicationProfiles = 32782;
inline constexpr int About = 32773;
inline constexpr int MenuClose = 32779;

} // namespace tavrik::app::command
