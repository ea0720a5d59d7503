#pragma once
// The command line: the documents to open, and the few options that answer
// on standard output or standard error without starting the program.

#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

struct CommandLine {
    enum class Action {
        Run,     // start (or hand files to the running Kestrune)
        Help,    // print text to standard output, exit 0
        Version, // print text to standard output, exit 0
        Error,   // print text to standard error, exit 2
    };
    Action action = Action::Run;
    // The file arguments in their order, as given.
    std::vector<std::string> files;
    std::string text;
};

// Reads the arguments after the program's name. "--help" (or "-h") and
// "--version" win wherever they stand before "--"; any other argument that
// begins with "-" before "--" is an unknown option; "-" alone and everything
// after "--" are file names.
CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments,
                             std::string_view version);

// What "--help" prints.
std::string CommandLineUsage();

} // namespace kestrune
