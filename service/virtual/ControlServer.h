#pragma once
// A Unix stream socket that takes one text command per line and answers each
// with the handler's reply followed by a line ".". Served by one thread of
// its own; several clients may be connected at once.

#include "platform/LocalSocket.h"

#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace tavrik::service {

class ControlServer {
public:
    // Returns the reply to one command line, without the closing ".".
    using Handler = std::function<std::string(std::string_view line)>;

    ControlServer(std::string path, Handler handler);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Binds the socket and starts the thread. A socket file left behind by a
    // process that is gone is replaced; one that still answers is not.
    bool start(std::string& error);
    // Stops the thread, closes every connection and removes the socket file.
    void stop();

private:
    void serve();

    const std::string path_;
    const Handler handler_;
    platform::LocalListener listener_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

} // namespace tavrik::service
