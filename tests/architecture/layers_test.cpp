// The folders of src/ are layers: each may include only itself and the
// layers below it, and only the Qt shell and the program's entry point may
// see Qt. This test reads every include of the tree and names each one that
// breaks the order.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lower numbers lie lower; folders of the same number may not include each other.
const std::map<std::string, int> kLayers = {
    {"runtime", 1},     {"ports", 2},       {"model", 3},    {"documents", 4},
    {"sheet", 4},       {"calculators", 5}, {"exchange", 6}, {"services", 7},
    {"application", 8}, {"platform", 9},    {"app", 10},
};

bool mayUseQt(const std::string& folder) {
    return folder == "platform" || folder == "app";
}

struct Violation {
    std::string file;
    int line = 0;
    std::string text;
    std::string why;
};

// The folder under src/ (or "app") that holds path, relative to the root.
std::string layerOf(const fs::path& relative) {
    auto it = relative.begin();
    if (it == relative.end()) {
        return {};
    }
    if (*it == "src") {
        ++it;
        return it == relative.end() ? std::string() : it->string();
    }
    return it->string();
}

std::vector<Violation> checkTree(const fs::path& root) {
    std::vector<Violation> found;
    for (const char* top : {"src", "app"}) {
        if (!fs::exists(root / top)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
                continue;
            }
            const fs::path relative = fs::relative(entry.path(), root);
            const std::string folder = layerOf(relative);
            const auto own = kLayers.find(folder);
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                const auto start = line.find_first_not_of(" \t");
                if (start == std::string::npos || line.compare(start, 8, "#include") != 0) {
                    continue;
                }
                const auto open = line.find_first_of("\"<", start + 8);
                if (open == std::string::npos) {
                    continue;
                }
                const auto close = line.find(line[open] == '"' ? '"' : '>', open + 1);
                const std::string target = line.substr(open + 1, close - open - 1);
                auto report = [&](const std::string& why) {
                    found.push_back({relative.string(), number, line, why});
                };
                if (line[open] == '<') {
                    if (target.starts_with("Q") && !mayUseQt(folder)) {
                        report("Qt outside the shell");
                    }
                    continue;
                }
                if (own == kLayers.end()) {
                    report("a folder outside the layers");
                    continue;
                }
                const auto slash = target.find('/');
                const std::string used = slash == std::string::npos ? "" : target.substr(0, slash);
                const auto theirs = kLayers.find(used);
                if (theirs == kLayers.end()) {
                    report("not a layer's header (write folder/name.h)");
                } else if (used != folder && theirs->second >= own->second) {
                    report(used + "/ is not below " + folder + "/");
                }
            }
        }
    }
    return found;
}

std::string describe(const std::vector<Violation>& violations) {
    std::string text;
    for (const Violation& v : violations) {
        text += v.file + ":" + std::to_string(v.line) + ": " + v.text + "  (" + v.why + ")\n";
    }
    return text;
}

TEST(Layers, EveryIncludeGoesDownOrStaysInItsFolder) {
    const std::vector<Violation> violations = checkTree(KESTRUNE_SOURCE_ROOT);
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

// The check itself: a tree with one file of each kind of fault.
TEST(Layers, TheCheckNamesUpwardSidewaysAndQtIncludes) {
    const fs::path root =
        fs::temp_directory_path() / ("kestrune-layers-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const std::map<std::string, std::string> files = {
        {"src/model/fine.h", "#include \"runtime/str255.h\"\n#include <vector>\n"},
        {"src/model/up.h", "#pragma once\n  #include \"sheet/sheet_redraw.h\"\n"},
        {"src/sheet/sideways.cpp", "#include \"documents/data_sheet_format.h\"\n"},
        {"src/runtime/qt.cpp", "#include <QString>\n"},
        {"src/platform/qt.cpp", "#include <QString>\n#include \"application/commands.h\"\n"},
        {"app/main.cpp", "#include \"platform/main_window.h\"\n"},
        {"src/application/loose.cpp", "#include \"helpers.h\"\n"},
    };
    for (const auto& [path, text] : files) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    }
    std::vector<Violation> violations = checkTree(root);
    fs::remove_all(root);
    std::vector<std::string> where;
    for (const Violation& v : violations) {
        where.push_back(v.file + ":" + std::to_string(v.line));
    }
    std::sort(where.begin(), where.end());
    EXPECT_EQ(where, (std::vector<std::string>{"src/application/loose.cpp:1", "src/model/up.h:2",
                                               "src/runtime/qt.cpp:1", "src/sheet/sideways.cpp:1"}))
        << describe(violations);
}

} // namespace
