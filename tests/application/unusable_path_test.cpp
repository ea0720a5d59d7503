// A path whose bytes the file calls would read otherwise than they are
// written (a NUL byte stops them) is refused like any file that cannot be
// opened: no other file is read as the document, nor written over.

#include "application/commands.h"
#include "documents/document_paths.h"
#include "support/sheet_session.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

using UnusablePath = test::SheetSession;

TEST_F(UnusablePath, ANulInAHandedOverPathIsRefusedAndNothingIsWritten) {
    const std::string victim = dir.file("victim.csv");
    const std::string bytes = "Name,Model,1,2,3,4,5,6,7,8\n";
    test::writeFile(victim, bytes);
    const std::string raw = victim + std::string(1, '\0') + ".kedata";
    const std::string fromUri = DocumentPathFromArgument("file://" + victim + "%00.kedata", "/");
    ASSERT_EQ(fromUri, raw);
    for (const std::string& path : {raw, fromUri}) {
        const std::size_t notes = platform.notes.size();
        handOver({path});
        ASSERT_EQ(platform.notes.size(), notes + 1);
        EXPECT_NE(platform.notes.back().find("could not be opened"), std::string::npos);
        EXPECT_NE(platform.notes.back().find("no file name can hold"), std::string::npos);
        EXPECT_FALSE(platform.sheetShown);
    }
    // Nor does a save to such a path write the file its name stops at.
    NewDataSheet(app);
    platform.fileChoices = {raw};
    DispatchMenuCommand(app, MenuNum::kFile, 6); // Save As...
    EXPECT_FALSE(platform.fileErrors.empty());
    EXPECT_EQ(app.doc.DirtyFlag, 0); // the new sheet was never saved, nor changed
    EXPECT_EQ(test::readFile(victim), bytes);
}

} // namespace
