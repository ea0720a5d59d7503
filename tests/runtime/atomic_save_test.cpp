#include "runtime/byte_streams.h"
#include "runtime/file_errors.h"
#include "support/file_trouble.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace kestrune;
using kestrune::test::readFile;
using kestrune::test::TempDir;
using kestrune::test::writeFile;

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;
// A symbolic link: where it is and what it holds, both within the test
// folder; a leading '/' in what it holds stands for the test folder itself.
using Link = std::pair<std::string, std::string>;

const std::string kOld = "the old document\r";
const std::string kNew = "the new document\r";
const std::string kLongName = std::string(248, 'x') + ".kedata";

// Opens, writes and commits; the status of whichever step refused.
int save(const std::string& path, const std::string& bytes) {
    int status = 0;
    auto sink = openAtomicFileSink(path, status);
    if (!sink) {
        return status;
    }
    sink->write(bytes);
    return sink->commit();
}

Names sortedEntries(const fs::path& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicSave : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return dir.file(name); }

    void makeLinks(const std::vector<Link>& links) const {
        for (const auto& [where, what] : links) {
            const std::string content = what.front() == '/' ? dir.path().string() + what : what;
            fs::create_symlink(content, at(where));
        }
    }

    // Every link is still a link holding what it held.
    void expectLinksKept(const std::vector<Link>& links) const {
        for (const auto& [where, what] : links) {
            SCOPED_TRACE(where);
            ASSERT_TRUE(fs::is_symlink(fs::symlink_status(at(where))));
            const std::string content = fs::read_symlink(at(where)).string();
            EXPECT_EQ(content, what.front() == '/' ? dir.path().string() + what : what);
        }
    }

    TempDir dir;
};

} // namespace

TEST_F(AtomicSave, SavingThroughLinksWritesTheFileTheyName) {
    struct Case {
        const char* what;
        std::vector<Link> links;
        std::string saveTo;
        std::string target;
    };
    const std::vector<Case> cases = {
        {"one relative link",
         {{"link.kedata", "real/target.kedata"}},
         "link.kedata",
         "real/target.kedata"},
        {"a chain of two links",
         {{"first.kedata", "real/second.kedata"}, {"real/second.kedata", "target.kedata"}},
         "first.kedata",
         "real/target.kedata"},
        {"an absolute link through a linked folder",
         {{"alias", "real"}, {"link.kedata", "/alias/../alias/target.kedata"}},
         "link.kedata",
         "real/target.kedata"},
        {"a link in a linked folder",
         {{"alias", "real"}, {"real/link.kedata", "target.kedata"}},
         "alias/link.kedata",
         "real/target.kedata"},
        {"a dangling link",
         {{"link.kedata", "real/fresh.kedata"}},
         "link.kedata",
         "real/fresh.kedata"},
        {"a dangling link to a name of nearly the longest length",
         {{"link.kedata", "real/" + kLongName}},
         "link.kedata",
         "real/" + kLongName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(at("real"));
        fs::remove(at("alias"));
        fs::remove(at("link.kedata"));
        fs::remove(at("first.kedata"));
        fs::create_directory(at("real"));
        writeFile(at("real/target.kedata"), kOld);
        makeLinks(c.links);
        Names top = sortedEntries(dir.path());
        Names real = sortedEntries(at("real"));
        if (!fs::exists(at(c.target))) {
            real.push_back(fs::path(c.target).filename().string()); // the only new entry
            std::sort(real.begin(), real.end());
        }

        EXPECT_EQ(save(at(c.saveTo), kNew), 0);
        EXPECT_EQ(readFile(at(c.target)), kNew);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(at(c.target))));
        expectLinksKept(c.links);
        EXPECT_EQ(sortedEntries(dir.path()), top);
        EXPECT_EQ(sortedEntries(at("real")), real);
    }
}

TEST_F(AtomicSave, RefusalsLookAtTheFileTheLinkNames) {
    fs::create_directory(at("real"));
    const std::string target = at("real/target.kedata");
    writeFile(target, kOld);
    makeLinks({{"link.kedata", "real/target.kedata"}});

    {
        test::LockHolder holder(target, test::LockKind::FlockExclusive);
        EXPECT_EQ(save(at("link.kedata"), kNew), FileErrorCode::kLocked);
    }
    if (::geteuid() != 0) { // root may write anything
        fs::permissions(target, fs::perms::owner_read);
        EXPECT_EQ(save(at("link.kedata"), kNew), FileErrorCode::kNoAccess);
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(readFile(target), kOld);

    // Links that lead nowhere a file could be saved.
    makeLinks({{"loop1", "loop2"},
               {"loop2", "loop1"},
               {"nofolder.kedata", "missing/x.kedata"},
               {"folder.kedata", "real"}});
    for (const char* name : {"loop1", "nofolder.kedata", "folder.kedata"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(save(at(name), kNew), FileErrorCode::kCannotCreate);
    }
    EXPECT_EQ(sortedEntries(dir.path()),
              (Names{"folder.kedata", "link.kedata", "loop1", "loop2", "nofolder.kedata", "real"}));
    EXPECT_EQ(sortedEntries(at("real")), Names{"target.kedata"});
    EXPECT_EQ(readFile(target), kOld);
}

TEST_F(AtomicSave, TheReplacedFileKeepsItsModeAndOwner) {
    const std::string target = at("doc.kedata");
    makeLinks({{"link.kedata", "doc.kedata"}});
    for (const mode_t mode : {0600, 0640, 0604, 0755, 0664}) {
        for (const char* through : {"doc.kedata", "link.kedata"}) {
            SCOPED_TRACE(std::to_string(mode) + " " + through);
            fs::remove(target);
            writeFile(target, kOld);
            ASSERT_EQ(::chmod(target.c_str(), mode), 0);
            struct stat before {};
            ASSERT_EQ(::stat(target.c_str(), &before), 0);
            if (::geteuid() == 0) { // only root can hand the file to someone else
                ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
                before.st_uid = 4242;
                before.st_gid = 4343;
            }

            ASSERT_EQ(save(at(through), kNew), 0);
            struct stat after {};
            ASSERT_EQ(::stat(target.c_str(), &after), 0);
            EXPECT_NE(after.st_ino, before.st_ino); // replaced, not written in place
            EXPECT_EQ(after.st_mode & 07777, mode);
            EXPECT_EQ(after.st_uid, before.st_uid);
            EXPECT_EQ(after.st_gid, before.st_gid);
            EXPECT_EQ(readFile(target), kNew);
        }
    }
}

TEST_F(AtomicSave, AFailedSaveLeavesTheFolderAsItWas) {
    fs::create_directory(at("real"));
    const std::string target = at("real/target.kedata");
    writeFile(target, kOld);
    makeLinks({{"link.kedata", "real/target.kedata"}});
    const Names top = sortedEntries(dir.path());
    const Names real = sortedEntries(at("real"));
    const auto unchanged = [&] {
        EXPECT_EQ(readFile(target), kOld);
        EXPECT_EQ(sortedEntries(dir.path()), top);
        EXPECT_EQ(sortedEntries(at("real")), real);
        expectLinksKept({{"link.kedata", "real/target.kedata"}});
    };

    for (const std::size_t size : {std::size_t{1000}, std::size_t{3} << 20}) {
        SCOPED_TRACE(size); // failing at the commit, and part-way through the writes
        int status = 0;
        auto sink = openAtomicFileSink(at("link.kedata"), status);
        ASSERT_TRUE(sink);
        {
            test::FileSizeLimit limit(100);
            sink->write(std::string(size, 'n'));
            EXPECT_EQ(sink->commit(), EFBIG);
        }
        sink.reset();
        unchanged();
    }

    // Given up before the commit.
    {
        int status = 0;
        auto sink = openAtomicFileSink(at("link.kedata"), status);
        ASSERT_TRUE(sink);
        sink->write(std::string(std::size_t{3} << 20, 'n'));
    }
    unchanged();

    // Failing at the very last step, when the complete file already has a name.
    const std::string fresh = at("real/fresh.kedata");
    int status = 0;
    auto sink = openAtomicFileSink(fresh, status);
    ASSERT_TRUE(sink);
    sink->write(kNew);
    fs::create_directory(fresh);
    writeFile(fresh + "/inside", kOld);
    EXPECT_EQ(sink->commit(), EISDIR);
    sink.reset();
    EXPECT_EQ(sortedEntries(fresh), Names{"inside"});
    fs::remove_all(fresh);
    unchanged();
}

TEST_F(AtomicSave, AKilledSaveLeavesNothingBehind) {
    {
        const int probe = ::open(dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
        if (probe < 0) {
            GTEST_SKIP() << "this file system has no unnamed files";
        }
        ::close(probe);
    }
    const std::string target = at("doc.kedata");
    writeFile(target, kOld);
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 0;
        auto sink = openAtomicFileSink(target, status);
        if (sink) {
            sink->write(std::string(std::size_t{4} << 20, 'n')); // well past the buffer
        }
        ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    EXPECT_EQ(sortedEntries(dir.path()), Names{"doc.kedata"});
    EXPECT_EQ(readFile(target), kOld);
}
