#pragma once
// What the packaging tests share: the tools they call, and the run of one.

#include "tests/support/CommandRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrik::packaging {

using tavrik::testing::CommandOutcome;
using tavrik::testing::readTextFile;

// Whether `tool` is on PATH. These tests do not pass without their tools:
// scripts/setup installs every one of them.
inline bool haveTool(const std::string& tool, const std::string& scratchFolder) {
    return tavrik::testing::runCommand({"sh", "-c", "command -v " + tool}, scratchFolder).status ==
           0;
}

#define TAVRIK_REQUIRE_TOOL(tool, scratch)                                                         \
    ASSERT_TRUE(::tavrik::packaging::haveTool(tool, scratch))                                      \
        << tool << " is missing; scripts/setup installs it"

// A command's outcome in words, for failure messages.
inline std::string describe(const CommandOutcome& outcome) {
    return "exit status " + std::to_string(outcome.status) + "\nout: " + outcome.out +
           "\nerr: " + outcome.err;
}

// The lines of a text.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace tavrik::packaging
