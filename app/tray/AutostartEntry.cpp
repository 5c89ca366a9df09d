#include "app/tray/AutostartEntry.h"

#include "platform/AtomicFile.h"
#include "platform/HomeFolder.h"
#include "platform/IniDocument.h"
#include "platform/PathSet.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

namespace tavrik::app {
namespace {

constexpr std::string_view kEntryFileName = "tavrik.desktop";
constexpr std::string_view kIconName = "org.tavrik.Tavrik";
// Characters for which an Exec argument has to be quoted.
constexpr std::string_view kReservedCharacters = " \t\n\"'\\><~|&;$*?#()`";

bool isSwitchedOff(const platform::IniDocument& entry) {
    const auto hidden = entry.find(u"Desktop Entry", u"Hidden");
    const auto enabled = entry.find(u"Desktop Entry", u"X-GNOME-Autostart-enabled");
    return (hidden && *hidden == u"true") || (enabled && *enabled == u"false");
}

} // namespace

AutostartEntry::AutostartEntry(std::string entryPath, std::string programPath)
    : entryPath_(std::move(entryPath)), programPath_(std::move(programPath)) {}

AutostartEntry AutostartEntry::ofThisProgram() {
    const platform::PathSet& paths = platform::pathSet();
    return AutostartEntry(defaultEntryPath(), paths.exeFolder + paths.ownFileName);
}

std::string AutostartEntry::defaultEntryPath() {
    const std::string folder = platform::xdgBaseFolder("XDG_CONFIG_HOME", ".config");
    return folder.empty() ? std::string() : folder + "/autostart/" + std::string(kEntryFileName);
}

bool AutostartEntry::isEnabled() const {
    std::string bytes;
    if (entryPath_.empty() || !platform::readWholeFile(entryPath_, bytes)) {
        return false;
    }
    return !isSwitchedOff(platform::IniDocument::parse(bytes));
}

bool AutostartEntry::setEnabled(bool enabled) const {
    if (entryPath_.empty()) {
        return false;
    }
    std::error_code error;
    if (!enabled) {
        std::filesystem::remove(entryPath_, error);
        return !error;
    }
    std::filesystem::create_directories(std::filesystem::path(entryPath_).parent_path(), error);
    const std::string text = contents();
    return !error && platform::writeFileAtomically(
                         entryPath_, {std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                text.size())});
}

std::string AutostartEntry::contents() const {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Tavrik\n"
                       "Name[zh_CN]=Tavrik\n"
                       "Comment=Starts Tavrik hidden in the tray\n"
                       "Comment[zh_CN]=启动 Tavrik 并隐藏在托盘中\n";
    text += "Exec=" + desktopExecArgument(programPath_) + " /Start\n";
    text += "TryExec=" + desktopStringValue(programPath_) + "\n";
    text += "Icon=" + std::string(kIconName) + "\n";
    text += "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

std::string desktopStringValue(const std::string& text) {
    std::string value;
    for (const char c : text) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::string desktopExecArgument(const std::string& path) {
    const bool quoted = path.find_first_of(kReservedCharacters) != std::string::npos;
    std::string argument = quoted ? "\"" : "";
    for (const char c : path) {
        if (c == '%') {
            argument += "%%";
            continue;
        }
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            argument += '\\';
        }
        argument += c;
    }
    if (quoted) {
        argument += '"';
    }
    return desktopStringValue(argument);
}

} // namespace tavrik::app
