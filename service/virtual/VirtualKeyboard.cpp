#include "service/virtual/VirtualKeyboard.h"

#include "platform/ByteOrder.h"
#include "service/virtual/DefaultLayout.h"

#include <algorithm>
#include <vector>

namespace tavrik::service {
namespace {

std::size_t lengthOf(const Packet& packet) {
    return packet[kPacketLengthOffset];
}

std::size_t addressOf(const Packet& packet) {
    return platform::readU16(&packet[kPacketAddressOffset]);
}

bool fits(std::size_t areaSize, const Packet& request) {
    return addressOf(request) + lengthOf(request) <= areaSize;
}

} // namespace

VirtualKeyboard::VirtualKeyboard() : VirtualKeyboard(KeyboardMemory::factoryFresh()) {}

VirtualKeyboard::VirtualKeyboard(const KeyboardMemory& stored)
    : memory_(std::make_unique<KeyboardMemory>(stored)),
      committed_(std::make_unique<KeyboardMemory>(stored)) {}

Packet VirtualKeyboard::emptyAnswer(const Packet& request, std::uint8_t status) {
    Packet answer{};
    answer[0] = kCommandReportId;
    std::copy_n(request.begin() + kPacketCodeOffset, kPacketDataOffset - kPacketCodeOffset,
                answer.begin() + kPacketCodeOffset);
    answer[kPacketStatusOffset] = status;
    sealPacket(answer);
    return answer;
}

VirtualKeyboard::Answer VirtualKeyboard::execute(const Packet& request) {
    Answer answer;
    answer.packet = emptyAnswer(request, kStatusAccepted);
    if (!hasValidChecksum(request)) {
        answer.packet = emptyAnswer(request, kStatusBadChecksum);
        return answer;
    }
    bool accepted = lengthOf(request) <= kPacketMaximumData;
    if (accepted) {
        KeyboardMemory& memory = *memory_;
        switch (request[kPacketCodeOffset]) {
        case kBeginWrite:
            break;
        case kEndWrite:
            *committed_ = memory;
            answer.committed = true;
            break;
        case kReadDeviceInfo:
            accepted = readArea(memory.info, request, answer.packet);
            break;
        case kWriteDeviceInfo:
            accepted = writeDeviceInfo(request, answer);
            break;
        case kReadParameters:
            accepted = readArea(memory.lighting, request, answer.packet);
            break;
        case kWriteParameters:
            accepted = writeArea(memory.lighting, request);
            break;
        case kReadKeyMapPage:
            accepted = readArea(memory.pages, request, answer.packet);
            break;
        case kWriteKeyMapPage:
            accepted = writeArea(memory.pages, request);
            break;
        case kReadMacroArea:
            accepted = readArea(memory.macro, request, answer.packet);
            break;
        case kWriteMacroArea:
            accepted = writeArea(memory.macro, request);
            break;
        case kReadDefaultLayout:
            accepted = readArea(defaultLayout(), request, answer.packet);
            break;
        case kReadColours:
            accepted = readArea(memory.zones, request, answer.packet);
            break;
        case kWriteColours:
            accepted = writeArea(memory.zones, request);
            break;
        default:
            accepted = false;
            break;
        }
    }
    if (!accepted) {
        answer.packet = emptyAnswer(request, kStatusRefused);
        answer.committed = false;
        return answer;
    }
    sealPacket(answer.packet);
    return answer;
}

bool VirtualKeyboard::readArea(std::span<const std::uint8_t> area, const Packet& request,
                               Packet& answer) const {
    if (!fits(area.size(), request)) {
        return false;
    }
    std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(addressOf(request)), lengthOf(request),
                answer.begin() + kPacketDataOffset);
    return true;
}

bool VirtualKeyboard::writeArea(std::span<std::uint8_t> area, const Packet& request) const {
    if (!fits(area.size(), request)) {
        return false;
    }
    std::copy_n(request.begin() + kPacketDataOffset, lengthOf(request),
                area.begin() + static_cast<std::ptrdiff_t>(addressOf(request)));
    return true;
}

bool VirtualKeyboard::writeDeviceInfo(const Packet& request, Answer& answer) {
    if (!fits(kDeviceInfoSize, request)) {
        return false;
    }
    const std::size_t address = addressOf(request);
    const std::size_t length = lengthOf(request);
    if (address <= kActiveProfileByte && kActiveProfileByte < address + length &&
        request[kPacketDataOffset + kActiveProfileByte - address] >= kProfileCount) {
        return false;
    }
    // Bytes 11..43 describe the hardware: the keyboard keeps them.
    for (std::size_t i = 0; i < length && address + i <= kActiveProfileByte; ++i) {
        memory_->info[address + i] = request[kPacketDataOffset + i];
    }
    committed_->info = memory_->info;
    answer.committed = true;
    return true;
}

void VirtualKeyboard::losePower() {
    *memory_ = *committed_;
}

std::uint8_t VirtualKeyboard::activeProfile() const {
    return memory_->info[kActiveProfileByte];
}

void VirtualKeyboard::switchProfile(std::uint8_t profile) {
    memory_->info[kActiveProfileByte] = profile;
    committed_->info[kActiveProfileByte] = profile;
}

void VirtualKeyboard::stepEffect() {
    std::vector<std::uint8_t> supported;
    for (std::size_t i = kFirstEffectByte; i < kDeviceInfoSize; ++i) {
        if (memory_->info[i] != 0) {
            supported.push_back(memory_->info[i]);
        }
    }
    if (supported.empty()) {
        return;
    }
    const std::size_t offset = activeProfile() * kLightingRecordSize;
    const auto current = std::find(supported.begin(), supported.end(), memory_->lighting[offset]);
    const std::uint8_t next = current == supported.end() || current + 1 == supported.end()
                                  ? supported.front()
                                  : *(current + 1);
    memory_->lighting[offset] = next;
    committed_->lighting[offset] = next;
}

} // namespace tavrik::service
