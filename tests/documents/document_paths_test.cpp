#include "documents/document_paths.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(DocumentPaths, ArgumentsBecomeAbsolutePathsOfTheFileSystemsBytes) {
    struct Case {
        std::string argument;
        std::string folder;
        std::string expected;
    };
    const Case cases[] = {
        {"rel.kedata", "/home/u/docs", "/home/u/docs/rel.kedata"},
        {"./rel.kedata", "/home/u/docs/", "/home/u/docs/rel.kedata"},
        {"sub/x.csv", "/", "/sub/x.csv"},
        {"/abs/x.kedata", "/elsewhere", "/abs/x.kedata"},
        {"caf\xE9.kedata", "/tmp", "/tmp/caf\xE9.kedata"}, // not UTF-8, kept as it is
        {"file:///home/u/My%20Speakers.kedata", "", "/home/u/My Speakers.kedata"},
        {"FILE://localhost/tmp/caf%E9.csv", "", "/tmp/caf\xE9.csv"},
        {"file:///tmp/100%.kedata", "", "/tmp/100%.kedata"}, // a lone % stays
        {"file:///tmp/a.kedata?x#y", "", "/tmp/a.kedata"},
        {"file://otherhost/tmp/a.kedata", "", ""},
        {"rel.kedata", "", ""}, // no folder to resolve it against
        {"", "/tmp", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocumentPathFromArgument(c.argument, c.folder), c.expected) << c.argument;
    }
}

} // namespace
} // namespace kestrune
