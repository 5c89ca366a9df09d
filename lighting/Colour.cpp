#include "lighting/Colour.h"

#include "platform/Unicode.h"

#include <string>

namespace tavrik::lighting {
namespace {

std::u16string_view trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::uint8_t> channelOf(std::u16string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

std::array<std::uint8_t, 3> colourBytes(Colour colour) {
    return {redOf(colour), greenOf(colour), blueOf(colour)};
}

Colour colourFromBytes(std::span<const std::uint8_t, 3> bytes) {
    return rgb(bytes[0], bytes[1], bytes[2]);
}

std::u16string colourText(Colour colour) {
    const std::string text = std::to_string(redOf(colour)) + "," + std::to_string(greenOf(colour)) +
                             "," + std::to_string(blueOf(colour));
    return platform::toUtf16(text);
}

std::optional<Colour> parseColourText(std::u16string_view text) {
    std::array<std::uint8_t, 3> channels{};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::size_t comma = text.find(u',');
        const bool last = i + 1 == channels.size();
        if (last != (comma == std::u16string_view::npos)) {
            return std::nullopt;
        }
        const auto channel = channelOf(text.substr(0, comma));
        if (!channel) {
            return std::nullopt;
        }
        channels[i] = *channel;
        text = last ? std::u16string_view() : text.substr(comma + 1);
    }
    return rgb(channels[0], channels[1], channels[2]);
}

} // namespace tavrik::lighting
