#pragma once
// A program of the build started as a child whose standard output the test
// reads line by line, and which the test may kill; or, started interactive,
// one that the test also sends lines and whose errors it reads with its
// output.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tavrik::reliability {

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    ~ChildProcess() {
        kill();
        if (output_ >= 0) {
            ::close(output_);
        }
        if (input_ >= 0) {
            ::close(input_);
        }
    }

    // Starts arguments[0] with the test's environment; stderr is discarded.
    bool start(std::vector<std::string> arguments) { return start(std::move(arguments), false); }
    // The same with standard input from send() and standard error beside the
    // output.
    bool startInteractive(std::vector<std::string> arguments) {
        return start(std::move(arguments), true);
    }

    // One line to the child's standard input.
    bool send(const std::string& line) {
        const std::string text = line + "\n";
        return input_ >= 0 &&
               ::write(input_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // The child closed its output (it ended, as a rule).
    bool outputEnded() const { return outputEnded_; }

    // True once the child printed `line`; false when it ended or closed its
    // output first, or after `limit`, which only a broken child reaches.
    bool waitForLine(const std::string& line,
                     std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (received_.find(line + "\n") == std::string::npos) {
            if (!receiveMore(end)) {
                return false;
            }
        }
        return true;
    }

    // The next line the child prints, without its line feed; false as above.
    bool readLine(std::string& line, std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        std::size_t feed = received_.find('\n');
        while (feed == std::string::npos) {
            if (!receiveMore(end)) {
                return false;
            }
            feed = received_.find('\n');
        }
        line = received_.substr(0, feed);
        received_.erase(0, feed + 1);
        return true;
    }

    // SIGKILL and reap; harmless once the child is gone.
    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }

    // Waits for the child's end: its exit status, or -1 when a signal ended it.
    int wait() {
        int status = 0;
        while (pid_ > 0 && ::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool start(std::vector<std::string> arguments, bool interactive) {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            return false;
        }
        int input[2] = {-1, -1};
        if (interactive && ::pipe2(input, O_CLOEXEC) != 0) {
            ::close(pipe[0]);
            ::close(pipe[1]);
            return false;
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
        if (interactive) {
            posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
            posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        const bool started =
            posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        output_ = pipe[0];
        if (interactive) {
            ::close(input[0]);
            input_ = input[1];
        }
        if (!started) {
            pid_ = -1;
        }
        return started;
    }

    bool receiveMore(std::chrono::steady_clock::time_point end) {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd watched{output_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            char buffer[256];
            const ssize_t read = ::read(output_, buffer, sizeof buffer);
            if (read > 0) {
                received_.append(buffer, static_cast<std::size_t>(read));
                return true;
            }
            if (read == 0 || errno != EINTR) {
                outputEnded_ = true;
                return false;
            }
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    int input_ = -1;
    bool outputEnded_ = false;
    std::string received_;
};

} // namespace tavrik::reliability
