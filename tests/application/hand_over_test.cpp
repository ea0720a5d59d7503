// Documents handed over while the program works: what may never be lost,
// replaced by surprise, or opened at the wrong moment.

#include "application/commands.h"
#include "calculators/calculator_window.h"
#include "support/sheet_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace kestrune;

namespace {

constexpr int kFile = MenuNum::kFile;
const std::string kOriginal = "Acme,PR-10, 20.5, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r";
const std::string kOther = "Other,PR-2, 10, 0, 0, 0, 0, 0, 0, 0\r";

class HandOver : public test::SheetSession {
protected:
    // The user's document, open and changed.
    std::string openChangedDocument() {
        const std::string path = dir.file("mine.kedata");
        test::writeFile(path, kOriginal);
        handOver({path});
        editSomething();
        EXPECT_EQ(app.doc.DirtyFlag, 1);
        return path;
    }
    std::string other(const std::string& name = "other.kedata") {
        const std::string path = dir.file(name);
        test::writeFile(path, kOther);
        return path;
    }
    bool asked() const { return callsJoined().find("askSaveChanges") != std::string::npos; }
};

// A held exclusive lock, as another program would take it.
class HeldLock {
public:
    explicit HeldLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
        ::flock(fd_, LOCK_EX);
    }
    ~HeldLock() { ::close(fd_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int fd_;
};

TEST_F(HandOver, ADocumentThatCannotBeReadNeverTouchesTheSheetNorItsFile) {
    struct Case {
        const char* what;
        std::function<std::string(test::TempDir&)> make;
        std::string reason;
    };
    const Case cases[] = {
        {"missing", [](test::TempDir& d) { return d.file("gone.kedata"); }, "does not exist"},
        {"a folder",
         [](test::TempDir& d) {
             const std::string p = d.file("folder.kedata");
             std::filesystem::create_directory(p);
             return p;
         },
         "folder"},
        {"locked", [](test::TempDir& d) { return d.file("locked.kedata"); }, "locked"},
    };
    const std::string mine = openChangedDocument();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make(dir);
        std::optional<HeldLock> lock;
        if (c.reason == "locked") {
            test::writeFile(path, kOther);
            lock.emplace(path);
        }
        platform.notes.clear();
        handOver({path});
        EXPECT_FALSE(asked()); // refused before any question
        ASSERT_EQ(platform.notes.size(), 1u);
        EXPECT_NE(platform.notes[0].find(c.reason), std::string::npos) << platform.notes[0];
        EXPECT_EQ(app.doc.fileUrl, mine);
        EXPECT_EQ(app.doc.DirtyFlag, 1);
        EXPECT_EQ(app.table.value(Param::Dia, 1), 25.4);
    }
    // Save still goes to the sheet's own document.
    SaveCommand(app);
    EXPECT_EQ(test::readFile(mine).substr(0, 22), "Acme,PR-10, 25.4, 22.5");
}

TEST_F(HandOver, AReadThatFailsPartWayGivesASheetWithoutAFile) {
    const std::string torn = dir.file("torn.kedata");
    test::writeFile(torn, kOriginal + "Half,record");
    handOver({torn});
    EXPECT_FALSE(platform.fileErrors.empty()); // the user saw the read fail
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme");
    EXPECT_EQ(app.doc.FileOpenFlag, 0);
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    SaveCommand(app); // asks for a name; cancelled
    EXPECT_NE(callsJoined().find("askSaveFile(Save This File As...,torn.kedata)"),
              std::string::npos);
    EXPECT_EQ(test::readFile(torn), kOriginal + "Half,record");
}

// A Quit goes through and hands the document to the next run; a Close goes
// through and the document opens after it; a cancelled Close leaves the
// document to the usual save question.
TEST_F(HandOver, DocumentsWaitWhileAQuestionIsUpAndOpenOnceItIsAnswered) {
    struct Case {
        const char* what;
        std::function<void(AppState&)> command;
        SaveChangesAnswer answer;
        bool quits;
        bool sheetAfter;  // a sheet is open at the end
        bool otherOpened; // the handed-over document became the sheet
    };
    const Case cases[] = {
        {"quit, don't save", QuitSequence, SaveChangesAnswer::DontSave, true, false, false},
        {"close, don't save", CloseSequence, SaveChangesAnswer::DontSave, false, true, true},
        {"close, cancel", CloseSequence, SaveChangesAnswer::Cancel, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::Session s;
        const std::string mine = s.dir.file("mine.kedata");
        test::writeFile(mine, kOriginal);
        s.handOver({mine});
        s.editSomething();
        s.platform.holdAnswers = true;
        c.command(s.app);
        const std::string path = s.dir.file("other.kedata");
        test::writeFile(path, kOther);
        s.handOver({path});
        EXPECT_EQ(s.app.table.Manufacturer.get(1), "Acme"); // nothing happened inside the question
        s.platform.saveChangesAnswers = {c.answer, SaveChangesAnswer::Cancel};
        s.platform.answerHeld();
        s.platform.fireTimers();
        EXPECT_EQ(s.platform.quit, c.quits);
        EXPECT_EQ(s.platform.sheetShown, c.sheetAfter);
        EXPECT_EQ(s.app.table.Manufacturer.get(1) == "Other", c.otherOpened);
        EXPECT_EQ(test::readFile(mine), kOriginal);
        // A document this run took but will not open goes to the next run.
        EXPECT_EQ(s.platform.newInstanceDocuments,
                  c.quits ? std::vector<std::string>{path} : std::vector<std::string>{});
    }
}

TEST_F(HandOver, ADocumentArrivingWhileTheOpenDialogIsUpWaitsForIt) {
    platform.holdAnswers = true;
    DispatchMenuCommand(app, kFile, 2); // Open...
    handOver({other()});
    EXPECT_FALSE(platform.sheetShown);
    platform.answerHeld();         // Cancel
    EXPECT_TRUE(usable(kFile, 1)); // the no-sheet menus, as nothing is open yet
    platform.fireTimers();
    EXPECT_TRUE(platform.sheetShown);
    EXPECT_EQ(app.table.Manufacturer.get(1), "Other");
    EXPECT_FALSE(usable(kFile, 1));
    EXPECT_TRUE(usable(kFile, 5)); // Save
}

TEST_F(HandOver, TablesHandedOverGetTheSheetsMenus) {
    const std::string csv = dir.file("data.csv");
    test::writeFile(csv, "Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r");
    for (bool behindQuestion : {false, true}) {
        SCOPED_TRACE(behindQuestion ? "behind the question" : "no sheet open");
        if (behindQuestion) {
            NewDataSheet(app);
            editSomething();
            platform.saveChangesAnswers = {SaveChangesAnswer::DontSave};
        }
        handOver({csv});
        EXPECT_EQ(platform.windowTitle, "data.kedata");
        EXPECT_FALSE(usable(kFile, 1));                // New
        EXPECT_TRUE(usable(kFile, 5));                 // Save
        EXPECT_TRUE(usable(kFile, 10));                // Export
        EXPECT_TRUE(usable(MenuNum::kEdit, 5));        // Copy
        EXPECT_TRUE(usable(MenuNum::kApplication, 6)); // Quit
        CloseFile(app);
    }
}

TEST_F(HandOver, AReplacedSheetTakesItsCalculatorAlong) {
    openChangedDocument();
    CalculateMenuCommand(app, {Command::Calculator, 1}); // Vap
    ASSERT_TRUE(platform.calculatorOpen);
    platform.saveChangesAnswers = {SaveChangesAnswer::DontSave};
    handOver({other()});
    EXPECT_FALSE(platform.calculatorOpen);
    EXPECT_EQ(app.calc.CalcWndOnFlag, 0);
    EXPECT_EQ(app.table.Manufacturer.get(1), "Other");
    EXPECT_TRUE(usable(kFile, 5));
}

TEST_F(HandOver, OfOneHandOverTheLastReadableKindWinsAndRefusalsAreSaidOnce) {
    std::vector<std::string> paths;
    for (int k = 0; k < 10000; ++k) {
        paths.push_back(dir.file("missing" + std::to_string(k) + ".kedata"));
    }
    handOver(paths);
    EXPECT_EQ(platform.notes.size(), 1u);
    handOver({other("first.kedata"), other("second.kedata"), dir.file("notes.pdf")});
    EXPECT_EQ(platform.windowTitle, "second.kedata");
    EXPECT_EQ(platform.beeps, 0);
}

// While a note or a question is up, hand-overs wait: only what can still
// win is kept of each, only the last few wait, and those that cannot be
// opened are told about in one note before the last document opens.
TEST_F(HandOver, AFloodWhileANoteIsUpIsBoundedAndGivesOneNote) {
    struct Case {
        const char* what;
        int calls;
        std::function<std::string(test::TempDir&, int call, int k)> path;
        bool lastOpens; // a last call with a readable document
        std::string message;
        std::vector<std::string> detailParts;
    };
    const std::string longName(300, 'n');
    const Case cases[] = {
        {"40 calls of missing documents",
         40,
         [](test::TempDir& d, int call, int k) {
             return d.file("gone" + std::to_string(call) + "-" + std::to_string(k) + ".kedata");
         },
         true,
         "40 documents could not be opened.",
         {"\u201Cgone25-9999.kedata\u201D", "and 35 more", "does not exist"}},
        {"files of other kinds and long names",
         3,
         [&](test::TempDir& d, int call, int k) {
             return d.file(longName + std::to_string(call) + "-" + std::to_string(k) + ".pdf");
         },
         false,
         "3 documents could not be opened.",
         {"\u2026", "n0-9999.pdf\u201D, \u201C", "(names ending in .kedata"}},
        {"one call",
         1,
         [](test::TempDir& d, int, int k) { return d.file(std::to_string(k) + ".txt5"); },
         true,
         "The document \u201C9999.txt5\u201D could not be opened.",
         {"(names ending in"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::Session s;
        ++s.app.flags.DialogsUp; // a note is up
        for (int call = 0; call < c.calls; ++call) {
            std::vector<std::string> paths;
            for (int k = 0; k < 10000; ++k) {
                paths.push_back(c.path(s.dir, call, k));
            }
            s.handOver(paths);
        }
        if (c.lastOpens) {
            const std::string last = s.dir.file("last.kedata");
            test::writeFile(last, kOther);
            s.handOver({s.dir.file("first.kedata"), last});
        }
        EXPECT_LE(s.app.handOver.batches.size(), HandOverQueue::kMaxWaiting);
        EXPECT_TRUE(s.platform.notes.empty());
        --s.app.flags.DialogsUp;
        s.platform.fireTimers();
        ASSERT_EQ(s.platform.notes.size(), 1u);
        const std::string& note = s.platform.notes[0];
        EXPECT_EQ(note.substr(0, note.find('\n')), c.message);
        for (const std::string& part : c.detailParts) {
            EXPECT_NE(note.find(part), std::string::npos) << part << " in " << note;
        }
        EXPECT_LT(note.size(), 1000u) << note;
        s.platform.fireTimers(); // the note is answered
        EXPECT_EQ(s.platform.windowTitle == "last.kedata", c.lastOpens);
        EXPECT_TRUE(s.app.handOver.batches.empty());
    }
}

} // namespace
