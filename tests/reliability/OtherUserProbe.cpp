// What another local user can do to a running instance: started as root, it
// becomes the user given on its command line, then tries each request and
// prints one line per request, "<request> <target>: yes" or ": no (<why>)".
//
//   reliability_other_user UID GID REQUEST TARGET [REQUEST TARGET]...
//
//   connect PATH    connect to a local socket
//   read PATH       open a file for reading and read a byte
//   lock PATH       open a lock file and take its lock
//   instance -      the instance lock as this user's program sees it, with the
//                   environment it was given: "exists" when another instance
//                   holds it, then "taken" when this one can take it
//   events -        create this user's 210 named events

#include "platform/InstanceLock.h"
#include "platform/NamedEvents.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace tavrik;

std::string outcome(bool done) {
    return done ? "yes" : std::string("no (") + std::strerror(errno) + ")";
}

bool connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return connected;
}

bool readFrom(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char byte = 0;
    const bool read = ::read(fd, &byte, 1) >= 0;
    ::close(fd);
    return read;
}

bool lockOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

std::string instance() {
    const bool exists = platform::InstanceLock::exists(platform::kInstanceMutexName);
    platform::InstanceLock lock;
    const bool taken = lock.createOwned(platform::kInstanceMutexName);
    return std::string(exists ? "exists" : "none") + (taken ? " taken" : " refused") + " at " +
           platform::instanceLockPath(platform::kInstanceMutexName);
}

std::string events() {
    platform::NamedEvents events;
    return std::to_string(events.create()) + " created";
}

bool becomeUser(const char* uid, const char* gid) {
    const auto user = static_cast<uid_t>(std::strtoul(uid, nullptr, 10));
    const auto group = static_cast<gid_t>(std::strtoul(gid, nullptr, 10));
    return user != 0 && ::setgroups(0, nullptr) == 0 && ::setgid(group) == 0 &&
           ::setuid(user) == 0 && ::getuid() == user && ::geteuid() == user;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s UID GID REQUEST TARGET [REQUEST TARGET]...\n", argv[0]);
        return 2;
    }
    if (!becomeUser(argv[1], argv[2])) {
        std::fprintf(stderr, "%s: cannot become user %s: %s\n", argv[0], argv[1],
                     std::strerror(errno));
        return 1;
    }
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string request = argv[i];
        const std::string target = argv[i + 1];
        std::string result;
        if (request == "connect") {
            result = outcome(connectTo(target));
        } else if (request == "read") {
            result = outcome(readFrom(target));
        } else if (request == "lock") {
            result = outcome(lockOf(target));
        } else if (request == "instance") {
            result = instance();
        } else if (request == "events") {
            result = events();
        } else {
            result = "unknown request";
        }
        std::printf("%s %s: %s\n", request.c_str(), target.c_str(), result.c_str());
    }
    return 0;
}
