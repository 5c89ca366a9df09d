#include "app/mainwindow/LinkAddress.h"

#include "platform/Unicode.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tavrik::app {
namespace {

bool hasUrlScheme(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2) {
        return false;
    }
    if (std::isalpha(static_cast<unsigned char>(text.front())) == 0) {
        return false;
    }
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return std::isalnum(byte) != 0 || c == '+' || c == '-' || c == '.';
    });
}

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

} // namespace

std::string resolveLinkAddress(std::u16string_view value, const std::string& skinFolder,
                               const std::string& defaultAddress) {
    std::string address = trimmed(platform::toUtf8(value));
    if (address.empty()) {
        return defaultAddress;
    }
    if (hasUrlScheme(address)) {
        return address;
    }
    std::replace(address.begin(), address.end(), '\\', '/');
    // Shown as it stands in the About box: without "." and ".." steps.
    const std::filesystem::path file(address.front() == '/' ? address : skinFolder + address);
    return file.lexically_normal().string();
}

} // namespace tavrik::app
