// The readers and writers of documents and tables know only the table: no
// file of src/documents/ names the application object, so that putting a
// read table into the application stays in application/.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(Codecs, NoFileOfTheFormatsNamesTheApplication) {
    const fs::path folder = fs::path(KESTRUNE_SOURCE_ROOT) / "src" / "documents";
    ASSERT_TRUE(fs::is_directory(folder));
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            if (line.find("AppState") != std::string::npos ||
                line.find("model/app_state.h") != std::string::npos) {
                found.push_back(entry.path().filename().string() + ":" + std::to_string(number));
            }
        }
    }
    EXPECT_TRUE(found.empty()) << ::testing::PrintToString(found);
}

} // namespace
