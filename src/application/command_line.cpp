#include "application/command_line.h"

namespace kestrune {

std::string CommandLineUsage() {
    return "Usage: kestrune [OPTION]... [FILE]...\n"
           "Keep a catalogue of loudspeaker passive radiators.\n"
           "\n"
           "Each FILE may be a data sheet (.kedata), stationery (.kedatasta) or a table\n"
           "from a spreadsheet (.csv, .txt); a file:// URI is accepted as well. When\n"
           "Kestrune already runs, the files are handed to it and this command ends.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "      --         end of options: what follows are file names\n"
           "\n"
           "Exit status: 0 when Kestrune ended through Quit or the files were handed\n"
           "over, 1 when a running Kestrune did not answer, 2 for a wrong option.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments,
                             std::string_view version) {
    CommandLine line;
    std::string unknown;
    bool options = true;
    for (const std::string_view argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "--help" || argument == "-h")) {
            return CommandLine{CommandLine::Action::Help, {}, CommandLineUsage()};
        } else if (options && argument == "--version") {
            return CommandLine{
                CommandLine::Action::Version, {}, "Kestrune " + std::string(version) + "\n"};
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            if (unknown.empty()) {
                unknown = argument;
            }
        } else {
            line.files.emplace_back(argument);
        }
    }
    if (!unknown.empty()) {
        line.action = CommandLine::Action::Error;
        line.text = "kestrune: unknown option '" + unknown +
                    "'\nTry 'kestrune --help' for more information.\n";
        line.files.clear();
    }
    return line;
}

} // namespace kestrune
