// The keyboard's udev rule as udev reads it: every rule gives access through
// the uaccess tag alone (the user at the seat, no group, no mode for all)
// and only to the hidraw nodes of this keyboard, matched by vendor and
// product. The checker is tried on rules that break each promise, then on
// the rule file the installation ships.

#include "VezAror.h"
#include "tests/packaging/PackagingSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tavrik::packaging {
namespace {

// One key of a rule: `ATTRS{idVendor}`, its operator and its value.
struct RuleKey {
    std::string name;
    std::string op;
    std::string value;
};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The keys of one rule line; a key that does not parse is returned with an
// empty operator.
std::vector<RuleKey> keysOf(const std::string& line) {
    std::vector<RuleKey> keys;
    std::string::size_type start = 0;
    while (start < line.size()) {
        auto end = line.find(',', start);
        // A comma inside a quoted value belongs to it.
        const auto quote = line.find('"', start);
        if (quote != std::string::npos && quote < end) {
            const auto closing = line.find('"', quote + 1);
            end = closing == std::string::npos ? std::string::npos : line.find(',', closing);
        }
        const std::string part =
            trimmed(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        const auto op = part.find_first_of("=!+-:");
        RuleKey key;
        if (op != std::string::npos) {
            const auto value = part.find('"', op);
            key.name = trimmed(part.substr(0, op));
            key.op = value == std::string::npos ? "" : trimmed(part.substr(op, value - op));
            if (value != std::string::npos && part.size() >= value + 2 && part.back() == '"') {
                key.value = part.substr(value + 1, part.size() - value - 2);
            }
        }
        keys.push_back(key.op.empty() ? RuleKey{part, "", ""} : key);
        start = end == std::string::npos ? line.size() : end + 1;
    }
    return keys;
}

// What is wrong with a rule file; empty when every rule is as promised.
std::vector<std::string> problemsOf(const std::string& rules) {
    char vendor[8];
    char product[8];
    std::snprintf(vendor, sizeof vendor, "%04x", VEZAROR_VENDOR_ID);
    std::snprintf(product, sizeof product, "%04x", VEZAROR_PRODUCT_ID);
    const std::map<std::string, std::string> required = {
        {"SUBSYSTEM", "hidraw"}, {"ATTRS{idVendor}", vendor}, {"ATTRS{idProduct}", product}};

    std::vector<std::string> problems;
    std::size_t rulesSeen = 0;
    for (const std::string& raw : linesOf(rules)) {
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ++rulesSeen;
        std::map<std::string, std::string> matches;
        bool tagged = false;
        for (const RuleKey& key : keysOf(line)) {
            if (key.op == "==") {
                matches[key.name] = key.value;
            } else if (key.name == "TAG" && key.op == "+=" && key.value == "uaccess") {
                tagged = true;
            } else {
                problems.push_back("not a match or the uaccess tag: " + key.name + key.op +
                                   key.value + " in " + line);
            }
        }
        for (const auto& [name, value] : required) {
            if (matches[name] != value) {
                problems.push_back(name + " is not \"" + value + "\" in " + line);
            }
        }
        if (!tagged) {
            problems.push_back("no uaccess tag in " + line);
        }
    }
    if (rulesSeen == 0) {
        problems.push_back("no rule");
    }
    return problems;
}

const std::string kSound = "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", "
                           "ATTRS{idProduct}==\"6523\", TAG+=\"uaccess\"\n";

TEST(UdevRule, TheCheckerFindsEveryBrokenPromise) {
    struct Case {
        const char* why;
        std::string rules;
    };
    const std::vector<Case> broken = {
        {"no rule at all", "# only a comment\n"},
        {"access for everyone",
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", ATTRS{idProduct}==\"6523\", "
         "MODE=\"0666\"\n"},
        {"access for a group", "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", "
                               "ATTRS{idProduct}==\"6523\", GROUP=\"plugdev\", TAG+=\"uaccess\"\n"},
        {"every keyboard of the vendor",
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", TAG+=\"uaccess\"\n"},
        {"another product", "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", "
                            "ATTRS{idProduct}==\"6524\", TAG+=\"uaccess\"\n"},
        {"every hidraw node", "SUBSYSTEM==\"hidraw\", TAG+=\"uaccess\"\n"},
        {"the whole USB device", "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"0c45\", "
                                 "ATTRS{idProduct}==\"6523\", TAG+=\"uaccess\"\n"},
        {"a second, open rule", kSound + "KERNEL==\"hidraw*\", TAG+=\"uaccess\"\n"},
        {"a program run as root", kSound.substr(0, kSound.size() - 1) + ", RUN+=\"/bin/sh\"\n"},
        {"no tag",
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0c45\", ATTRS{idProduct}==\"6523\"\n"},
    };
    EXPECT_TRUE(problemsOf(kSound).empty()) << ::testing::PrintToString(problemsOf(kSound));
    for (const Case& each : broken) {
        EXPECT_FALSE(problemsOf(each.rules).empty()) << each.why;
    }
}

TEST(UdevRule, TheShippedRuleGivesTheUserAtTheSeatThisKeyboardAlone) {
    const std::string file = std::string(TAVRIK_SOURCE_DIR) + "/packaging/60-tavrik-keyboard.rules";
    const std::string rules = readTextFile(file);
    ASSERT_FALSE(rules.empty()) << file;
    EXPECT_TRUE(problemsOf(rules).empty()) << ::testing::PrintToString(problemsOf(rules));
}

} // namespace
} // namespace tavrik::packaging
