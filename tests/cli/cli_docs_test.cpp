// The manual page and the shell completions name the commands and options the
// parser knows: all of them, and no others.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "CliParser.h"

namespace {

using Names = std::set<std::string>;

// The words of each match's first group.
Names matches(const std::string& text, const std::string& pattern) {
    Names out;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
        std::istringstream words((*it)[1]);
        for (std::string w; words >> w;) out.insert(w);
    }
    return out;
}

struct Doc {
    const char* path;
    const char* commands;  // the pattern whose first group holds commands' names
    Names shellFlags;      // flags of the shell's own commands, not velmora-cli's
};

class CliDocs : public ::testing::TestWithParam<Doc> {};

TEST_P(CliDocs, NameWhatTheParserKnows) {
    velmora::cli::CommandLine line;
    const auto app = velmora::cli::declareCommandLine(line);
    Names commands, options;
    std::vector<const CLI::App*> apps = {app.get()};
    for (const CLI::App* sub : app->get_subcommands({})) {
        commands.insert(sub->get_name());
        apps.push_back(sub);
    }
    for (const CLI::App* a : apps) {
        for (const CLI::Option* o : a->get_options()) {
            for (const std::string& n : o->get_lnames()) options.insert("--" + n);
            for (const std::string& n : o->get_snames()) options.insert("-" + n);
        }
    }
    std::stringstream file;
    file << std::ifstream(GetParam().path).rdbuf();
    // Without the manual's font changes and escaped dashes.
    const std::string text = std::regex_replace(std::regex_replace(file.str(), std::regex(R"(\\f[BIRP])"), " "),
                                                std::regex(R"(\\-)"), "-");
    // An option is a word of dashes and letters standing on its own.
    Names named = matches(text, R"((?:^|[\s'"|(\[{,])(--?[a-z][a-z-]*)(?=[\s'"|)\[\].,;:}]|$))");
    for (const std::string& f : GetParam().shellFlags) named.erase(f);
    EXPECT_EQ(named, options);
    EXPECT_EQ(matches(text, GetParam().commands), commands);
}

INSTANTIATE_TEST_SUITE_P(
    files, CliDocs,
    ::testing::Values(Doc{VELMORA_CLI_MAN, R"(velmora-cli ([a-z]+))", {}},
                      Doc{VELMORA_CLI_BASH, R"re(commands="([a-z ]+)")re", {"-W", "-F", "-d", "-z"}},
                      Doc{VELMORA_CLI_ZSH, R"(\n\s+'([a-z]+):)", {"-a", "-g", "-t"}}),
    [](const auto& info) { return std::string(info.index == 0 ? "man" : info.index == 1 ? "bash" : "zsh"); });

}  // namespace
