// A process that uses the keyboard through the real libVezAror.so, as every
// program does, for the tests that run several processes on one virtual
// keyboard. It prints "ready" once its channels are registered, then takes
// one command per line on standard input and prints one line for each, and
// one line for every consumer code the keyboard reports:
//
//   read ADDRESS         "read HEX": 56 bytes of the key map pages at ADDRESS
//   write ADDRESS BYTE   "write STATUS": 56 times BYTE there
//   begin | end          "begin STATUS" | "end STATUS"
//   (the keyboard)       "consumer CODE"
//
// STATUS is the answer's status byte in hex, or "failed" when the write was
// refused or no answer came.

#include "tests/service/ServiceTestSupport.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tavrik::service::testing;

constexpr std::uint8_t kBeginWrite = 0x01;
constexpr std::uint8_t kEndWrite = 0x02;
constexpr std::uint8_t kReadKeyMapPage = 0x07;
constexpr std::uint8_t kWriteKeyMapPage = 0x08;

std::mutex printing;

void print(const std::string& line) {
    std::lock_guard lock(printing);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::mutex answersMutex;
std::condition_variable answered;
std::deque<std::vector<std::uint8_t>> answers;

std::int32_t probeCallback(const ServiceEvent* event) {
    if (event->kind != VEZAROR_EVENT_INPUT_REPORT) {
        return 1;
    }
    const ServiceRequestRecord& record = *event->request;
    if (record.tag == VEZAROR_TAG_CONS) {
        print("consumer " + std::to_string(*record.report->consumerCode));
    } else if (record.tag == VEZAROR_TAG_CTRL) {
        std::lock_guard lock(answersMutex);
        answers.emplace_back(record.data, record.data + record.length);
        answered.notify_all();
    }
    return 1;
}

void listen(const DeviceSelector& selector, std::uint32_t tag) {
    std::uint32_t unit = 0;
    serviceLibrary().RequestAsyncRead(&selector, &probeCallback, tag,
                                      sign(selector, &probeCallback, tag), &unit);
}

std::optional<std::vector<std::uint8_t>> exchange(const CommandPacket& packet) {
    {
        std::lock_guard lock(answersMutex);
        answers.clear();
    }
    if (serviceLibrary().RequestWriteOne(&kCommandSelector, nullptr, 0, packet.data(), 64,
                                         sign(kCommandSelector, nullptr, 0, packet), 0) <= 0) {
        return std::nullopt;
    }
    std::unique_lock lock(answersMutex);
    const auto ours = [&] {
        while (!answers.empty() &&
               (answers.front().size() != 64 || answers.front()[3] != packet[3])) {
            answers.pop_front();
        }
        return !answers.empty();
    };
    if (!answered.wait_for(lock, kEventTimeout, ours)) {
        return std::nullopt;
    }
    return answers.front();
}

std::string hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02x", byte);
    return text;
}

std::string statusOf(const std::optional<std::vector<std::uint8_t>>& answer) {
    return answer ? hex((*answer)[7]) : "failed";
}

} // namespace

int main() {
    if (serviceLibrary().Init == nullptr || serviceLibrary().Init(0) <= 0) {
        print("no service");
        return 1;
    }
    listen(kCommandSelector, VEZAROR_TAG_CTRL);
    listen(kConsumerSelector, VEZAROR_TAG_CONS);
    print("ready");
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        unsigned address = 0;
        unsigned byte = 0;
        words >> command >> address >> byte;
        if (command == "read") {
            const auto answer =
                exchange(commandPacket(kReadKeyMapPage, 56, static_cast<std::uint16_t>(address)));
            std::string text;
            for (std::size_t i = 8; answer && i < 64; ++i) {
                text += hex((*answer)[i]);
            }
            print(answer && (*answer)[7] == 0 ? "read " + text : "read failed");
        } else if (command == "write") {
            const std::vector<std::uint8_t> data(56, static_cast<std::uint8_t>(byte));
            print("write " +
                  statusOf(exchange(commandPacket(kWriteKeyMapPage, 56,
                                                  static_cast<std::uint16_t>(address), data))));
        } else if (command == "begin") {
            print("begin " + statusOf(exchange(commandPacket(kBeginWrite))));
        } else if (command == "end") {
            print("end " + statusOf(exchange(commandPacket(kEndWrite))));
        }
    }
    return 0;
}
