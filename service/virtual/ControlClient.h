#pragma once
// A client of the virtual keyboard's control socket, for the vkbd tool and
// for tests: sends one command line and returns the reply.
//
//   tavrik::service::ControlClient keyboard;            // controlSocketPath()
//   std::string reply, error;
//   keyboard.request("press bank", reply, error);       // reply == "ok"
//   std::vector<std::uint8_t> page;
//   keyboard.readArea("page0", page, error);            // 512 bytes

#include "platform/UniqueFd.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::service {

class ControlClient {
public:
    // The default is controlSocketPath().
    ControlClient();
    explicit ControlClient(std::string socketPath);
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    const std::string& socketPath() const { return socketPath_; }

    // Sends `command` (one line) and stores the reply, its lines joined by
    // '\n' without the closing ".", in `reply`. Connects on first use. False,
    // with `error` set, when the socket cannot be reached or the connection
    // breaks; a reply "error ..." is a successful exchange.
    bool request(std::string_view command, std::string& reply, std::string& error);

    // "dump raw <area>": the bytes of one memory area. False when the
    // exchange fails or the keyboard answers with an error.
    bool readArea(std::string_view area, std::vector<std::uint8_t>& bytes, std::string& error);

private:
    bool connect(std::string& error);
    void disconnect();

    std::string socketPath_;
    platform::UniqueFd fd_;
    std::string received_;
};

} // namespace tavrik::service
