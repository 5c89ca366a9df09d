// The manual pages: clean under `man --warnings`, and saying what the
// commands' --help says: the same commands and options, environment
// variables and exit statuses.

#include "tests/packaging/PackagingSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <algorithm>
#include <map>
#include <set>

namespace tavrik::packaging {
namespace {

using Words = std::set<std::string>;

std::string manPage(const std::string& name) {
    return std::string(TAVRIK_MAN_DIR) + "/" + name + ".1";
}

// Literal words of a command line: punctuation left out, and placeholders
// (anything with a capital letter: FILE.fwc, N) unless `withCapitals`, for
// the names of environment variables.
void addLiteralWords(const std::string& text, Words& words, bool withCapitals = false) {
    std::string word;
    const auto flush = [&] {
        if (!word.empty() && (withCapitals || std::none_of(word.begin(), word.end(), ::isupper))) {
            words.insert(word);
        }
        word.clear();
    };
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) ||
            std::string_view("|[](),").find(c) != std::string_view::npos) {
            flush();
        } else {
            word += c;
        }
    }
    flush();
}

// The arguments of a roff macro line, with double-quoted arguments whole.
std::vector<std::string> macroArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::size_t at = line.find(' ');
    while (at != std::string::npos && at < line.size()) {
        at = line.find_first_not_of(' ', at);
        if (at == std::string::npos) {
            break;
        }
        if (line[at] == '"') {
            const std::size_t end = line.find('"', at + 1);
            arguments.push_back(line.substr(at + 1, end - at - 1));
            at = end == std::string::npos ? end : end + 1;
        } else {
            const std::size_t end = line.find(' ', at);
            arguments.push_back(line.substr(at, end - at));
            at = end;
        }
    }
    return arguments;
}

// The bold text of a roff line (a font macro with alternating fonts, or
// inline \fB...\fP), the bold runs separated by blanks.
std::string boldTextOf(const std::string& line) {
    static const std::map<std::string, std::string> fonts = {
        {".B", "B"},   {".I", "I"},   {".BI", "BI"}, {".BR", "BR"},
        {".IB", "IB"}, {".IR", "IR"}, {".RB", "RB"}, {".RI", "RI"}};
    const std::string macro = line.substr(0, line.find(' '));
    const auto found = fonts.find(macro);
    if (found == fonts.end()) {
        return {};
    }
    const std::vector<std::string> arguments = macroArguments(line);
    std::string bold;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& pattern = found->second;
        const char base = pattern.size() == 1 ? pattern[0] : pattern[i % 2];
        char font = base;
        const std::string& argument = arguments[i];
        for (std::size_t c = 0; c < argument.size(); ++c) {
            if (argument[c] == '\\' && c + 1 < argument.size() && argument[c + 1] == 'f') {
                const char requested = c + 2 < argument.size() ? argument[c + 2] : 'P';
                font = requested == 'B' || requested == 'I' ? requested : base;
                c += 2;
                bold += ' ';
                continue;
            }
            if (argument[c] == '\\' && c + 1 < argument.size() && argument[c + 1] == '-') {
                ++c;
            }
            bold += font == 'B' ? argument[c] : ' ';
        }
        bold += ' ';
    }
    return bold;
}

// The tags of the .TP entries in each section of a page.
std::map<std::string, std::vector<std::string>> tagsBySection(const std::string& page) {
    std::map<std::string, std::vector<std::string>> tags;
    std::string section;
    const std::vector<std::string> lines = linesOf(readTextFile(page));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(".SH ", 0) == 0) {
            section = lines[i].substr(4);
            section.erase(std::remove(section.begin(), section.end(), '"'), section.end());
        } else if (lines[i] == ".TP" && i + 1 < lines.size()) {
            tags[section].push_back(lines[i + 1]);
        }
    }
    return tags;
}

Words boldWordsOfTags(const std::vector<std::string>& tags, bool withCapitals = false) {
    Words words;
    for (const std::string& tag : tags) {
        addLiteralWords(boldTextOf(tag), words, withCapitals);
    }
    return words;
}

// What a --help lists: the literal words of its commands and options, its
// environment variables and its exit statuses.
struct HelpSections {
    Words commands;
    Words environment;
    Words exitStatuses;
};

HelpSections readHelp(const std::string& help) {
    HelpSections sections;
    std::string section;
    const std::vector<std::string> lines = linesOf(help);
    // Options named in the usage line.
    if (!lines.empty()) {
        Words usage;
        addLiteralWords(lines.front(), usage);
        for (const std::string& word : usage) {
            if (word.rfind("--", 0) == 0) {
                sections.commands.insert(word);
            }
        }
    }
    for (const std::string& line : lines) {
        if (!line.empty() && line.back() == ':' && line[0] != ' ') {
            section = line;
            continue;
        }
        if (line.size() < 3 || line.rfind("  ", 0) != 0 || line[2] == ' ') {
            continue;
        }
        const std::string entry = line.substr(2, line.find("  ", 2) - 2);
        if (section == "Commands:") {
            addLiteralWords(entry, sections.commands);
        } else if (section == "Environment:") {
            sections.environment.insert(entry);
        } else if (section == "Exit status:") {
            sections.exitStatuses.insert(entry);
        }
    }
    return sections;
}

std::string join(const Words& words) {
    std::string text;
    for (const std::string& word : words) {
        text += word + " ";
    }
    return text;
}

class ManualPageTest : public ::testing::Test {
protected:
    tavrik::testing::TemporaryFolder scratch_;
};

TEST_F(ManualPageTest, EveryPageIsCleanUnderManWarnings) {
    TAVRIK_REQUIRE_TOOL("man", scratch_.path());
    for (const char* name : {"tavrik", "tavrikctl", "vkbd"}) {
        SCOPED_TRACE(name);
        const CommandOutcome shown = tavrik::testing::runCommand(
            {"man", "--warnings", "-l", manPage(name)}, scratch_.path());
        EXPECT_EQ(shown.status, 0) << describe(shown);
        EXPECT_EQ(shown.err, "");
        EXPECT_NE(shown.out.find("EXIT STATUS"), std::string::npos);
        EXPECT_NE(shown.out.find("ENVIRONMENT"), std::string::npos);
        EXPECT_NE(shown.out.find("FILES"), std::string::npos) << name;
    }
}

TEST_F(ManualPageTest, TheHelpOfEachToolSaysWhatItsPageSays) {
    for (const char* name : {"tavrikctl", "vkbd"}) {
        SCOPED_TRACE(name);
        const CommandOutcome help = tavrik::testing::runCommand(
            {std::string(TAVRIK_BIN_DIR) + "/" + name, "--help"}, scratch_.path());
        ASSERT_EQ(help.status, 0) << describe(help);
        const HelpSections said = readHelp(help.out);
        ASSERT_FALSE(said.commands.empty()) << help.out;

        const auto tags = tagsBySection(manPage(name));
        Words pageCommands = boldWordsOfTags(tags.count("COMMANDS") ? tags.at("COMMANDS")
                                                                    : std::vector<std::string>{});
        if (tags.count("OPTIONS")) {
            const Words options = boldWordsOfTags(tags.at("OPTIONS"));
            pageCommands.insert(options.begin(), options.end());
        }
        EXPECT_EQ(join(said.commands), join(pageCommands));
        EXPECT_EQ(join(said.environment), join(boldWordsOfTags(tags.at("ENVIRONMENT"), true)));
        EXPECT_EQ(join(said.exitStatuses), join(boldWordsOfTags(tags.at("EXIT STATUS"))));
    }
}

// The reading of the pages and the help that the comparison stands on.
TEST(ManualPageReading, BoldWordsAndHelpEntriesAreFound) {
    Words words;
    addLiteralWords(boldTextOf(".BI dump \" file.fwc\""), words);
    addLiteralWords(boldTextOf(".BR profile \" [\" 1 | 2 ]"), words);
    addLiteralWords(boldTextOf(".BR fault \" \\fBnone\\fP | \" noanswer \" \\fIn\\fP\""), words);
    addLiteralWords(boldTextOf(".BR \\-\\-help \", \" \\-h"), words);
    addLiteralWords(boldTextOf(".I /usr/lib/tavrik/"), words);
    EXPECT_EQ(join(words), "--help -h 1 2 dump fault noanswer none profile ");

    const HelpSections help = readHelp("usage: x [--socket PATH] COMMAND\n\nCommands:\n"
                                       "  dump FILE.fwc    show it\n"
                                       "  fault none | fault noanswer N\n"
                                       "                   continued (not a command)\n\n"
                                       "Environment:\n  VEZAROR_DEBUG   1: errors\n\n"
                                       "Exit status:\n  0  done\n  2  wrong usage\n");
    EXPECT_EQ(join(help.commands), "--socket dump fault noanswer none ");
    EXPECT_EQ(join(help.environment), "VEZAROR_DEBUG ");
    EXPECT_EQ(join(help.exitStatuses), "0 2 ");
}

} // namespace
} // namespace tavrik::packaging
