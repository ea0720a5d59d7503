// Save when another program wrote the document since the sheet read or
// saved it: the question, and what each answer leaves on disk and on screen.

#include "application/commands.h"
#include "application/lifecycle.h"
#include "model/app_state.h"
#include "support/sheet_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace kestrune;
using test::readFile;
using test::writeFile;

namespace {

constexpr int kFile = MenuNum::kFile;
constexpr int kSaveItem = 5;

const std::string kRead = "Acme,PR-10, 10, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r";
const std::string kEdited = "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r";
const std::string kTheirs = "Other,PR-2, 10, 0, 0, 0, 0, 0, 0, 0\r";

// A session with the document a.kedata open and one cell changed.
struct EditedDocument : test::Session {
    explicit EditedDocument(bool edit = true) : path(dir.file("a.kedata")) {
        writeFile(path, kRead);
        handOver({path});
        if (edit) {
            editSomething();
        }
    }
    bool asked() const { return callsJoined().find("askChangedFile(a.kedata)") != npos; }
    std::string manufacturer() const { return std::string(app.table.Manufacturer.get(1)); }
    static constexpr auto npos = std::string::npos;
    std::string path;
};

void setModified(const std::string& path, std::int64_t seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

} // namespace

TEST(OtherProgram, SaveAsksOnlyWhenTheDocumentWasWrittenMeanwhile) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> meanwhile;
        bool asks;
    };
    const std::vector<Case> cases = {
        {"nothing happened", [](const std::string&) {}, false},
        {"rewritten in place", [](const std::string& p) { writeFile(p, kTheirs); }, true},
        {"the same size, a later time",
         [](const std::string& p) {
             struct stat st {};
             ::stat(p.c_str(), &st);
             writeFile(p, std::string(kRead.size() - 1, 'x') + "\r");
             setModified(p, st.st_mtim.tv_sec + 1);
         },
         true},
        {"replaced by another file of the same size and time",
         [](const std::string& p) {
             struct stat st {};
             ::stat(p.c_str(), &st);
             writeFile(p + ".new", kRead);
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, (p + ".new").c_str(), times, 0);
             std::filesystem::rename(p + ".new", p);
         },
         true},
        {"only its permissions changed", [](const std::string& p) { ::chmod(p.c_str(), 0640); },
         false},
        {"removed", [](const std::string& p) { std::filesystem::remove(p); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditedDocument s;
        c.meanwhile(s.path);
        const bool existed = std::filesystem::exists(s.path);
        const std::string before = existed ? readFile(s.path) : "";
        DispatchMenuCommand(s.app, kFile, kSaveItem); // asked: Cancel
        EXPECT_EQ(s.asked(), c.asks);
        EXPECT_EQ(readFile(s.path), c.asks ? before : kEdited);
        EXPECT_EQ(s.app.doc.DirtyFlag, c.asks ? 1 : 0);
        EXPECT_TRUE(s.usable(kFile, kSaveItem));
    }
}

TEST(OtherProgram, EachAnswerLeavesTheFileAndTheSheetAsItSays) {
    struct Case {
        const char* what;
        bool quit; // Quit, answered Save, instead of the Save command
        std::vector<ChangedFileAnswer> answers;
        std::vector<SaveChangesAnswer> saveChanges;
        std::string file;  // the document's bytes after
        std::string sheet; // the manufacturer on row 1 after
        bool dirty;
        bool copySaved; // the sheet went to copy.kedata through Save As
    };
    using C = ChangedFileAnswer;
    using S = SaveChangesAnswer;
    const std::vector<Case> cases = {
        {"Save Anyway", false, {C::SaveAnyway}, {}, kEdited, "Acme", false, false},
        {"Cancel", false, {C::Cancel}, {}, kTheirs, "Acme", true, false},
        {"Reopen, Don't Save", false, {C::Reopen}, {S::DontSave}, kTheirs, "Other", false, false},
        {"Reopen, Save as a copy", false, {C::Reopen}, {S::Save}, kTheirs, "Other", false, true},
        {"Reopen, Cancel", false, {C::Reopen}, {S::Cancel}, kTheirs, "Acme", true, false},
        {"Quit, Cancel", true, {C::Cancel}, {S::Save}, kTheirs, "Acme", true, false},
        {"Quit, Save Anyway", true, {C::SaveAnyway}, {S::Save}, kEdited, "Acme", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditedDocument s;
        writeFile(s.path, kTheirs);
        s.platform.changedFileAnswers.assign(c.answers.begin(), c.answers.end());
        s.platform.saveChangesAnswers.assign(c.saveChanges.begin(), c.saveChanges.end());
        const std::string copy = s.dir.file("copy.kedata");
        s.platform.fileChoices = {copy};
        if (c.quit) {
            QuitSequence(s.app);
        } else {
            DispatchMenuCommand(s.app, kFile, kSaveItem);
        }
        EXPECT_TRUE(s.asked());
        EXPECT_EQ(readFile(s.path), c.file);
        EXPECT_EQ(s.platform.quit, c.quit && !c.dirty);
        if (s.platform.quit) {
            continue;
        }
        EXPECT_EQ(s.manufacturer(), c.sheet);
        EXPECT_EQ(s.app.doc.DirtyFlag, c.dirty ? 1 : 0);
        EXPECT_EQ(s.app.doc.fileUrl, s.path);
        EXPECT_EQ(std::filesystem::exists(copy), c.copySaved);
        if (c.copySaved) {
            EXPECT_EQ(readFile(copy), kEdited);
        }
        EXPECT_TRUE(s.usable(kFile, kSaveItem));

        // What the sheet now holds counts as read or saved: the next Save
        // asks nothing unless the file changes again.
        s.platform.calls.clear();
        s.editSomething();
        DispatchMenuCommand(s.app, kFile, kSaveItem);
        EXPECT_EQ(s.asked(), c.dirty);
    }
}

TEST(OtherProgram, AnUnchangedSheetHandedItsOwnDocumentReadsItAgain) {
    EditedDocument s(false);
    writeFile(s.path, kTheirs);
    s.handOver({s.path});
    EXPECT_EQ(s.manufacturer(), "Other");
    EXPECT_EQ(s.callsJoined().find("askSaveChanges"), std::string::npos);
    s.editSomething();
    DispatchMenuCommand(s.app, kFile, kSaveItem);
    EXPECT_FALSE(s.asked());
    EXPECT_EQ(readFile(s.path), "Other,PR-2, 25.4, 0, 0, 0, 0, 0, 0, 0\r");
}
