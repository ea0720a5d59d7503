#include "application/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using namespace kestrune;

namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsAnswerAndFilesPassThrough) {
    struct Case {
        std::vector<std::string_view> arguments;
        Action action;
        std::vector<std::string> files;
        const char* textStart;
    };
    const Case cases[] = {
        {{}, Action::Run, {}, ""},
        {{"a.kedata", "file:///x/b.csv"}, Action::Run, {"a.kedata", "file:///x/b.csv"}, ""},
        {{"a.kedata", "--help"}, Action::Help, {}, "Usage: kestrune [OPTION]... [FILE]..."},
        {{"-h"}, Action::Help, {}, "Usage:"},
        {{"--version", "--bogus"}, Action::Version, {}, "Kestrune 1.2.3\n"},
        {{"a.kedata", "--bogus", "-x"}, Action::Error, {}, "kestrune: unknown option '--bogus'"},
        {{"--", "--help", "-"}, Action::Run, {"--help", "-"}, ""},
        {{"-", "--version"}, Action::Version, {}, "Kestrune"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments, "1.2.3");
        SCOPED_TRACE(c.textStart);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.files, c.files);
        EXPECT_TRUE(line.text.starts_with(c.textStart)) << line.text;
    }
}

} // namespace
