#pragma once
// Runs a program to its end as a user runs it from a terminal, with the
// test's environment, and keeps its exit status and what it printed.

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tavrik::testing {

struct CommandOutcome {
    int status = -1; // the exit status; -1 when it did not start or did not exit
    std::string out;
    std::string err;
};

inline std::string readTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// `arguments` starts with the program: a path, or a name looked up on PATH.
// Standard output and error go through files in `scratchFolder`.
inline CommandOutcome runCommand(std::vector<std::string> arguments,
                                 const std::string& scratchFolder) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::string out = scratchFolder + "/command-out.txt";
    const std::string err = scratchFolder + "/command-err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    CommandOutcome run;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readTextFile(out);
    run.err = readTextFile(err);
    return run;
}

} // namespace tavrik::testing
