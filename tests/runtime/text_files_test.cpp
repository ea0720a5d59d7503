#include "runtime/file_errors.h"
#include "runtime/line_breaks.h"
#include "runtime/text_files.h"
#include "support/file_trouble.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace kestrune;
using kestrune::test::LockHolder;
using kestrune::test::LockKind;
using kestrune::test::TempDir;

namespace {

using Errors = std::vector<std::pair<int, int>>;
using Texts = std::vector<std::string>;

class TextFilesTest : public ::testing::Test {
protected:
    TextFilesTest() {
        files.setErrorHandler([this](int n, int code) { errors.emplace_back(n, code); });
    }

    void openText(int n, const std::string& bytes) {
        auto& in = streams_.emplace_back(std::make_unique<std::istringstream>(bytes));
        files.FileOpenInput(n, *in);
    }

    Texts lines(const std::string& bytes) {
        openText(1, bytes);
        Texts out;
        while (!files.FileEof(1)) {
            out.push_back(files.FileLineInput(1).str());
        }
        return out;
    }

    Texts items(const std::string& bytes) {
        openText(1, bytes);
        Texts out;
        while (!files.FileEof(1) || files.lineHasMoreItems(1)) {
            out.push_back(files.FileInputItem(1).str());
        }
        return out;
    }

    TextFiles files;
    Errors errors;
    TempDir dir;

private:
    std::vector<std::unique_ptr<std::istringstream>> streams_;
};

const std::string k255(255, 'x');

} // namespace

TEST_F(TextFilesTest, LinesEndAtCrOrLfAndACrLfPairEndsOneLine) {
    EXPECT_EQ(lines("a\rb\rc\r"), (Texts{"a", "b", "c"}));
    EXPECT_EQ(lines("a\r\nb\r\nc\r\n"), (Texts{"a", "b", "c"}));
    EXPECT_EQ(lines("a\nb\nc\n"), (Texts{"a", "b", "c"}));
    EXPECT_EQ(lines("a\n\rb"), (Texts{"a", "", "b"}));
    EXPECT_EQ(lines("a\r\rb\n\nc"), (Texts{"a", "", "b", "", "c"}));
    EXPECT_EQ(lines("\r"), (Texts{""}));
    EXPECT_EQ(lines("a\rlast"), (Texts{"a", "last"}));
    EXPECT_TRUE(errors.empty());

    // A read that begins at the end gives an empty line and reports it.
    EXPECT_EQ(files.FileLineInput(1).str(), "");
    EXPECT_EQ(errors, (Errors{{1, FileErrorCode::kEndOfFile}}));
    EXPECT_EQ(files.LastFileError(), -39);
}

// Line ends at every place of texts longer than one block of sixteen bytes,
// among bytes that differ from CR and LF by one bit.
TEST(FindLineBreak, FindsTheFirstCrOrLfAnywhere) {
    for (std::size_t length = 0; length <= 40; ++length) {
        std::string text(length, '\x0c');
        for (std::size_t k = 0; k < length; ++k) {
            text[k] = k % 3 == 0 ? '\x0b' : k % 3 == 1 ? '\x8d' : '\x8a';
        }
        const char* begin = text.data();
        EXPECT_EQ(FindLineBreak(begin, begin + length), begin + length);
        for (std::size_t at = 0; at < length; ++at) {
            for (const char lineEnd : {'\r', '\n'}) {
                std::string broken = text;
                broken[at] = lineEnd;
                if (at + 1 < length) {
                    broken[length - 1] = lineEnd == '\r' ? '\n' : '\r'; // a later, other end
                }
                const char* b = broken.data();
                ASSERT_EQ(FindLineBreak(b, b + length), b + at) << length << " " << at;
                ASSERT_EQ(FindLineBreak(b, b + at), b + at) << "past the last byte";
            }
        }
    }
}

TEST_F(TextFilesTest, LongLinesAreCutAt255Bytes) {
    EXPECT_EQ(lines(std::string(300, 'x') + "\r"), (Texts{k255, std::string(45, 'x')}));
    EXPECT_EQ(lines(k255 + "\ry"), (Texts{k255, "y"}));
    EXPECT_EQ(lines(k255 + "\r\ny"), (Texts{k255, "y"}));
    EXPECT_EQ(lines(k255 + "z\ry"), (Texts{k255, "z", "y"}));
    EXPECT_EQ(lines(k255 + k255), (Texts{k255, k255}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, ItemsFollowTheFieldRules) {
    EXPECT_EQ(items("  x , y"), (Texts{"x ", "y"}));
    EXPECT_EQ(items("\"a,b\",c"), (Texts{"a,b", "c"}));
    EXPECT_EQ(items("a,,b"), (Texts{"a", "", "b"}));
    EXPECT_EQ(items("a\t\tb"), (Texts{"a", "b"}));
    EXPECT_EQ(items("a\t,b"), (Texts{"a", "b"}));
    EXPECT_EQ(items("a,\rb"), (Texts{"a", "b"}));
    EXPECT_EQ(items("a\r\rb"), (Texts{"a", "", "b"}));
    EXPECT_EQ(items(","), (Texts{""}));
    EXPECT_EQ(items("\"abc"), (Texts{"abc"}));
    EXPECT_EQ(items("\"a\" , b"), (Texts{"a", "b"}));
    EXPECT_EQ(items("\" x \",\"\",\"\t\""), (Texts{" x ", "", "\t"}));
    EXPECT_EQ(items("12\" x,y"), (Texts{"12\" x", "y"}));
    EXPECT_EQ(items("a,b\rc,d\r\n e\n"), (Texts{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(items("\xD3\x8E,\x01"), (Texts{"\xD3\x8E", "\x01"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, NumberItemsReadThroughPSval) {
    openText(1, " 25.4, -2.5,abc,&H1F\r3.9,-3.9");
    EXPECT_EQ(files.FileInputItemNumber(1), 25.4);
    EXPECT_EQ(files.FileInputItemNumber(1), -2.5);
    EXPECT_EQ(files.FileInputItemNumber(1), 0.0);
    EXPECT_EQ(files.FileInputItemNumber(1), 31.0);
    EXPECT_EQ(files.FileInputItemInteger(1), 3);
    EXPECT_EQ(files.FileInputItemInteger(1), -3);
    EXPECT_EQ(files.FileInputItemNumber(1), 0.0); // past the end: reported, reads 0
    EXPECT_EQ(errors, (Errors{{1, -39}}));
}

TEST_F(TextFilesTest, LongItemsAreCutWithoutShiftingTheFieldsAfterThem) {
    openText(1, std::string(300, 'a') + ",next\rlast");
    EXPECT_EQ(files.FileInputItem(1).str(), std::string(255, 'a'));
    EXPECT_EQ(files.FileInputItem(1).str(), "next");
    EXPECT_EQ(files.FileInputItem(1).str(), "last");

    // Lines beyond the item-line limit go on as the next line.
    const std::size_t limit = TextFiles::kMaxItemLine;
    openText(2, std::string(limit + 10, 'b') + ",z");
    EXPECT_EQ(files.FileInputItemBytes(2).size(), limit);
    EXPECT_EQ(files.FileInputItemBytes(2), std::string(10, 'b'));
    EXPECT_EQ(files.FileInputItem(2).str(), "z");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, OneLineBufferServesAllFiles) {
    openText(1, "a,b\rc");
    openText(2, "x,y\rz");
    EXPECT_EQ(files.FileInputItem(1).str(), "a");
    EXPECT_EQ(files.FileInputItem(2).str(), "x");
    EXPECT_EQ(files.FileInputItem(1).str(), "c"); // "b" went with the line
    EXPECT_EQ(files.FileInputItem(2).str(), "z");

    // Closing any number drops the held line.
    openText(3, "a,b\rc");
    EXPECT_EQ(files.FileInputItem(3).str(), "a");
    files.FileClose(9);
    EXPECT_EQ(files.FileInputItem(3).str(), "c");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, MisuseIsReportedWithItsCode) {
    EXPECT_EQ(files.FileInputItem(4).str(), "");
    EXPECT_EQ(files.FileLineInput(4).str(), "");
    EXPECT_TRUE(files.FileEof(4)); // not open counts as ended, silently
    files.FilePrintString(4, "x");
    openText(5, "abc");
    files.FilePrintCR(5);
    std::ostringstream out;
    files.FileOpenOutput(6, out);
    EXPECT_EQ(files.FileInputItem(6).str(), "");
    EXPECT_EQ(errors, (Errors{{4, -38}, {4, -38}, {4, -61}, {5, -61}, {6, -38}}));
    EXPECT_EQ(files.FileLineInput(5).str(), "abc"); // the failed print changed nothing

    errors.clear();
    files.FileOpenOutput(0, dir.file("zero"));
    files.FileOpenInput(256, dir.file("zero"));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_FALSE(files.isOpen(0));
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(TextFilesTest, CheckFileErrorRecordsAndReportsNonZeroCodes) {
    files.CheckFileError(5, 0);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(files.LastFileError(), 0);
    files.CheckFileError(5, 35);
    files.CheckFileError(5, 0);
    EXPECT_EQ(errors, (Errors{{5, 35}}));
    EXPECT_EQ(files.LastFileError(), 35);
    EXPECT_EQ(FileErrorMessage(7, 35).rfind("The program returned a file error.\nFile ref:7\n", 0),
              0u);
}

TEST_F(TextFilesTest, MissingFilesAndFoldersAreRefused) {
    files.FileOpenInput(1, dir.file("missing.kedata"));
    files.FileOpenInput(2, dir.path().string()); // a folder is not a text file
    files.FileOpenOutput(3, dir.file("no/such/folder.kedata"));
    EXPECT_EQ(errors, (Errors{{1, 13}, {2, 13}, {3, 2}}));
    EXPECT_FALSE(files.isOpen(1) || files.isOpen(2) || files.isOpen(3));
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(TextFilesTest, PipesAreRefusedWithoutWaitingForTheOtherEnd) {
    const std::string path = dir.file("pipe.kedata");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // In a child, so that an open that waits for a writer cannot stall the run.
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        TextFiles own;
        Errors seen;
        own.setErrorHandler([&](int n, int code) { seen.emplace_back(n, code); });
        own.FileOpenInput(1, path);
        own.FileOpenOutput(2, path);
        ::_exit(seen == Errors{{1, 13}, {2, 2}} ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(TextFilesTest, PrintWritesTheBytesAsTheyStandWithCrLineEnds) {
    const std::string path = dir.file("out.txt");
    test::writeFile(path, std::string(1000, '#'));
    files.FileOpenOutput(1, path);
    files.FilePrintString(1, "Acme,\x8E");
    files.FilePrintFloat(1, 25.4);
    files.FilePrintCR(1);
    files.FilePrintFloat(1, -2.5);
    files.FilePrintString(1, "");
    files.FilePrintCR(1);
    EXPECT_EQ(test::readFile(path), std::string(1000, '#')); // replaced only when complete
    EXPECT_TRUE(files.FileClose(1));
    EXPECT_EQ(test::readFile(path), "Acme,\x8E 25.4\r-2.5\r");
    EXPECT_EQ(dir.entries(), (Texts{"out.txt"}));

    std::ostringstream out;
    files.FileOpenOutput(2, out);
    files.FilePrintString(2, "a");
    files.FilePrintCR(2);
    EXPECT_TRUE(files.FileClose(2));
    EXPECT_EQ(out.str(), "a\r");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, CloseZeroClosesEverySlot) {
    files.FileOpenOutput(1, dir.file("one"));
    files.FileOpenOutput(200, dir.file("two"));
    openText(3, "x");
    files.FilePrintString(1, "1");
    files.FilePrintString(200, "2");
    EXPECT_TRUE(files.FileClose(0));
    EXPECT_FALSE(files.isOpen(1) || files.isOpen(200) || files.isOpen(3));
    EXPECT_EQ(test::readFile(dir.file("one")), "1");
    EXPECT_EQ(test::readFile(dir.file("two")), "2");
}

TEST_F(TextFilesTest, FilesLockedByAnotherProcessAreRefused) {
    const std::string path = dir.file("held.kedata");
    struct Case {
        LockKind kind;
        bool refusesInput;
    };
    for (const Case c : {Case{LockKind::FlockExclusive, true}, Case{LockKind::FlockShared, false},
                         Case{LockKind::FcntlWrite, true}, Case{LockKind::FcntlRead, false}}) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        test::writeFile(path, "old\r");
        errors.clear();
        {
            LockHolder holder(path, c.kind);
            files.FileOpenOutput(1, path);
            EXPECT_FALSE(files.isOpen(1));
            files.FileOpenInput(2, path);
            EXPECT_EQ(files.isOpen(2), !c.refusesInput);
            if (c.refusesInput) {
                EXPECT_EQ(errors, (Errors{{1, 35}, {2, 35}}));
            } else {
                EXPECT_EQ(errors, (Errors{{1, 35}}));
                EXPECT_EQ(files.FileLineInput(2).str(), "old");
            }
            files.FileClose(2);
        }
        EXPECT_EQ(test::readFile(path), "old\r");
        files.FileOpenOutput(1, path); // free again once the other process let go
        files.FilePrintString(1, "new");
        EXPECT_TRUE(files.FileClose(1));
        EXPECT_EQ(test::readFile(path), "new");
    }
}

TEST_F(TextFilesTest, OpenSlotsHoldTheirLockUntilClosed) {
    const std::string path = dir.file("ours.kedata");
    test::writeFile(path, "x\r");
    files.FileOpenInput(1, path);
    EXPECT_FALSE(test::otherProcessCanLock(path, LockKind::FlockExclusive));
    EXPECT_TRUE(test::otherProcessCanLock(path, LockKind::FlockShared));
    files.FileClose(1);
    EXPECT_TRUE(test::otherProcessCanLock(path, LockKind::FlockExclusive));

    files.FileOpenOutput(1, path);
    EXPECT_FALSE(test::otherProcessCanLock(path, LockKind::FlockShared));
    files.FileClose(1);
    EXPECT_TRUE(test::otherProcessCanLock(path, LockKind::FlockExclusive));
    EXPECT_TRUE(errors.empty());
}

TEST_F(TextFilesTest, AFailedWriteIsReportedOnceAndKeepsTheOldFile) {
    const std::string path = dir.file("doc.kedata");
    const std::string old = "the old document\r";

    // Failing when the output is completed.
    test::writeFile(path, old);
    files.FileOpenOutput(1, path);
    bool closed = true;
    {
        test::FileSizeLimit limit(100);
        files.FilePrintString(1, std::string(1000, 'n'));
        closed = files.FileClose(1);
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(errors, (Errors{{1, EFBIG}}));
    EXPECT_EQ(files.LastFileError(), EFBIG);
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(dir.entries(), (Texts{"doc.kedata"}));

    // Failing part-way through a long output.
    errors.clear();
    files.FileOpenOutput(1, path);
    {
        test::FileSizeLimit limit(1000);
        for (int i = 0; i < 1000; ++i) {
            files.FilePrintString(1, std::string(1000, 'n'));
            files.FilePrintCR(1);
        }
        closed = files.FileClose(1);
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(errors, (Errors{{1, EFBIG}}));
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(dir.entries(), (Texts{"doc.kedata"}));
}
