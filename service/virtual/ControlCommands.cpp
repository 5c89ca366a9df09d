#include "service/virtual/ControlCommands.h"

#include "service/virtual/AreaHex.h"
#include "service/virtual/VirtualDevice.h"

#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace tavrik::service {
namespace {

constexpr std::uint16_t kBankCode = 767;
constexpr std::array<std::string_view, 9> kAreaNames = {
    "info", "page0", "page1", "page2", "layout", "macro", "lighting", "zones", "led"};

constexpr const char* kUnplugged = "error the keyboard is unplugged";

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", position);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        position = end;
    }
    return words;
}

template <typename Number> std::optional<Number> numberOf(std::string_view word) {
    Number value{};
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || result.ec != std::errc() || result.ptr != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

std::string okOrUnplugged(bool done) {
    return done ? "ok" : kUnplugged;
}

std::string press(VirtualDevice& keyboard, const std::vector<std::string_view>& words) {
    const std::string_view key = words.size() > 1 ? words[1] : std::string_view();
    if (key == "bank" && words.size() == 2) {
        return okOrUnplugged(keyboard.sendConsumerCode(kBankCode));
    }
    if (key == "lighting" && words.size() == 2) {
        return okOrUnplugged(keyboard.pressLightingKey());
    }
    if (key == "profile" && words.size() <= 3) {
        std::optional<std::uint8_t> profile;
        if (words.size() == 3) {
            profile = numberOf<std::uint8_t>(words[2]);
            if (!profile || *profile > 2) {
                return "error profile is 0, 1 or 2";
            }
        }
        return okOrUnplugged(keyboard.pressProfileKey(profile));
    }
    if (key == "tray" && words.size() == 3) {
        const auto code = numberOf<std::uint16_t>(words[2]);
        if (!code || (*code != 6160 && *code != 6161)) {
            return "error tray code is 6160 or 6161";
        }
        return okOrUnplugged(keyboard.sendConsumerCode(*code));
    }
    if (key == "code" && words.size() == 3) {
        const auto code = numberOf<std::uint16_t>(words[2]);
        if (!code) {
            return "error consumer code is a decimal number 0..65535";
        }
        return okOrUnplugged(keyboard.sendConsumerCode(*code));
    }
    return "error usage: press bank|lighting|profile [N]|tray 6160|6161|code <decimal>";
}

std::string fault(VirtualDevice& keyboard, std::vector<std::string_view> words) {
    const std::string usage = "error usage: fault none|noanswer N|wrongcode N|status ff N|status "
                              "fe N [after M]|unplug-after N";
    if (words.size() == 2 && words[1] == "none") {
        keyboard.clearFaults();
        return "ok";
    }
    std::optional<std::uint32_t> after = 0;
    if (words.size() >= 4 && words[words.size() - 2] == "after") {
        after = numberOf<std::uint32_t>(words.back());
        words.resize(words.size() - 2);
    }
    const std::optional<std::uint32_t> count =
        words.empty() ? std::nullopt : numberOf<std::uint32_t>(words.back());
    if (!count || !after) {
        return usage;
    }
    if (words.size() == 3 && words[1] == "noanswer") {
        keyboard.setFault(Fault::NoAnswer, *count, *after);
    } else if (words.size() == 3 && words[1] == "wrongcode") {
        keyboard.setFault(Fault::WrongCode, *count, *after);
    } else if (words.size() == 4 && words[1] == "status" && words[2] == "ff") {
        keyboard.setFault(Fault::StatusRefused, *count, *after);
    } else if (words.size() == 4 && words[1] == "status" && words[2] == "fe") {
        keyboard.setFault(Fault::StatusBadChecksum, *count, *after);
    } else if (words.size() == 3 && words[1] == "unplug-after" && *after == 0) {
        keyboard.unplugAfter(*count);
    } else {
        return usage;
    }
    return "ok";
}

std::string dump(VirtualDevice& keyboard, const std::vector<std::string_view>& words) {
    if (words.size() == 1) {
        std::string reply = "ok\n";
        for (const std::string_view name : kAreaNames) {
            reply += formatArea(name, *keyboard.area(name));
        }
        return reply;
    }
    if (words.size() == 3 && words[1] == "raw") {
        const auto bytes = keyboard.area(words[2]);
        if (!bytes) {
            return "error unknown area; areas: info page0 page1 page2 layout macro lighting "
                   "zones led";
        }
        return "ok " + formatArea(words[2], *bytes);
    }
    return "error usage: dump | dump raw <area>";
}

} // namespace

std::string runControlCommand(VirtualDevice& keyboard, std::string_view line) {
    const std::vector<std::string_view> words = wordsOf(line);
    const std::string_view command = words.empty() ? std::string_view() : words[0];
    if (command == "press") {
        return press(keyboard, words);
    }
    if (command == "unplug" && words.size() == 1) {
        keyboard.unplug();
        return "ok";
    }
    if (command == "plug" && words.size() == 1) {
        keyboard.plug();
        return "ok";
    }
    if (command == "latency") {
        const auto milliseconds =
            words.size() == 2 ? numberOf<std::uint32_t>(words[1]) : std::nullopt;
        if (!milliseconds || *milliseconds > VirtualDevice::kMaximumLatencyMilliseconds) {
            return "error usage: latency <milliseconds 0.." +
                   std::to_string(VirtualDevice::kMaximumLatencyMilliseconds) + ">";
        }
        keyboard.setLatency(*milliseconds);
        return "ok";
    }
    if (command == "fault") {
        return fault(keyboard, words);
    }
    if (command == "dump") {
        return dump(keyboard, words);
    }
    if (command == "state" && words.size() == 1) {
        const VirtualDevice::Status status = keyboard.status();
        return "ok plugged=" + std::to_string(status.plugged ? 1 : 0) +
               " profile=" + std::to_string(status.profile) +
               " commands=" + std::to_string(status.commandsAnswered);
    }
    return "error unknown command '" + std::string(command) + "'";
}

} // namespace tavrik::service
