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
#include <functional>
#include <iostream>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
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
int save(const std::string& path, const std::string& bytes,
         TempFiles temps = TempFiles::UnnamedWherePossible) {
    int status = 0;
    auto sink = openAtomicFileSink(path, status, temps);
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
        EXPECT_EQ(save(at("link.kedata"), kNew), FileErrorCode::kNoWritePermission);
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

namespace {

// Ages a file by its modification time.
void makeOld(const std::string& path, int seconds) {
    const timespec times[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A process id that no process has now: a child that has ended and been reaped.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST_F(AtomicSave, WithoutUnnamedFilesAKilledSaveLeavesOneKindOfNameTheNextSaveClears) {
    const std::string target = at("doc.kedata");
    writeFile(target, kOld);
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 0;
        auto sink = openAtomicFileSink(target, status, TempFiles::AlwaysNamed);
        if (sink) {
            sink->write(std::string(std::size_t{4} << 20, 'n'));
        }
        ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string left = ".doc.kedata.kestrune-" + std::to_string(child) + "-";
    Names names = sortedEntries(dir.path());
    ASSERT_EQ(names.size(), 2u);
    ASSERT_EQ(names[0].rfind(left, 0), 0u) << names[0];
    ASSERT_TRUE(names[0].ends_with(".tmp")) << names[0];
    EXPECT_EQ(readFile(target), kOld);

    const std::string dead = std::to_string(endedProcess());
    const std::string running = std::to_string(::getppid());
    struct Case {
        std::string name;
        int age; // seconds
        bool removed;
    };
    const std::vector<Case> cases = {
        {names[0], 11 * 60, true}, // the killed save's own
        {".other.kedata.kestrune-" + dead + "-7.tmp", 3600, true},
        {".doc.kedata.kestrune-" + dead + "-8.tmp", 60, false},      // too young
        {".doc.kedata.kestrune-" + running + "-9.tmp", 3600, false}, // its process runs
        {".doc.kedata.12345.tmp", 3600, false},                      // another program's
        {".doc.kedata.kestrune-" + dead + "-x.tmp", 3600, false},
        {"doc.kedata.kestrune-" + dead + "-10.tmp", 3600, false},
        {".doc.kedata.kestrune-" + dead + "-11.tmp.bak", 3600, false},
    };
    for (const Case& c : cases) {
        if (!fs::exists(at(c.name))) {
            writeFile(at(c.name), "someone's bytes");
        }
        makeOld(at(c.name), c.age);
    }
    fs::create_directory(at(".dir.kestrune-" + dead + "-12.tmp"));
    makeOld(at(".dir.kestrune-" + dead + "-12.tmp"), 3600);

    // A save in another folder touches nothing here; one in this folder clears.
    fs::create_directory(at("elsewhere"));
    EXPECT_EQ(save(at("elsewhere/x.kedata"), kNew, TempFiles::AlwaysNamed), 0);
    EXPECT_EQ(sortedEntries(at("elsewhere")), Names{"x.kedata"});
    for (const Case& c : cases) {
        EXPECT_TRUE(fs::exists(at(c.name))) << c.name;
    }
    EXPECT_EQ(save(target, kNew, TempFiles::AlwaysNamed), 0);
    EXPECT_EQ(readFile(target), kNew);
    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(at(c.name)), !c.removed) << c.name;
    }
    EXPECT_TRUE(fs::is_directory(at(".dir.kestrune-" + dead + "-12.tmp")));
}

namespace {

// Runs a save in a child process after setting it apart (a user that may
// not write, a read-only mount); the save's status, or nothing when the
// child could not be set apart.
template <typename SetApart>
std::optional<int> saveApart(const std::string& path, SetApart setApart) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        int result = 1; // any status: the child could not be set apart
        const bool apart = setApart();
        if (apart) {
            result = save(path, kNew);
        }
        const int message[2] = {apart ? 1 : 0, result};
        (void)!::write(pipeFds[1], message, sizeof message);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int message[2] = {0, 0};
    const bool got = ::read(pipeFds[0], message, sizeof message) == sizeof message;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!got || message[0] == 0) {
        return std::nullopt;
    }
    return message[1];
}

} // namespace

TEST_F(AtomicSave, ARefusedSaveSaysWhyItCannotBeSaved) {
    const std::string target = at("doc.kedata");
    const std::string folder = dir.path().string();
    writeFile(target, kOld);
    fs::permissions(dir.path(), fs::perms::all);

    struct Case {
        const char* what;
        std::string path;
        std::function<bool()> setApart;
        int expected;
    };
    const uid_t nobody = 65534;
    const auto readOnlyMount = [folder] {
        // A mount of our own, seen only by this process.
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return false;
        }
        const auto put = [](const char* file, const std::string& text) {
            const int fd = ::open(file, O_WRONLY);
            const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) ==
                                           static_cast<ssize_t>(text.size());
            ::close(fd);
            return ok;
        };
        put("/proc/self/setgroups", "deny");
        if (!put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return false;
        }
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                       nullptr) == 0;
    };
    const auto mayNotWrite = [target, nobody] {
        if (::geteuid() == 0) {
            return ::setresgid(nobody, nobody, nobody) == 0 &&
                   ::setresuid(nobody, nobody, nobody) == 0;
        }
        return ::chmod(target.c_str(), 0444) == 0;
    };
    const std::vector<Case> cases = {
        {"a document on a read-only disk", target, readOnlyMount, FileErrorCode::kDiskReadOnly},
        {"a new document on a read-only disk", at("new.kedata"), readOnlyMount,
         FileErrorCode::kDiskReadOnly},
        {"a document the user may not change", target, mayNotWrite,
         FileErrorCode::kNoWritePermission},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<int> status = saveApart(c.path, c.setApart);
        if (!status) {
            std::cout << "skipped (cannot be set up here): " << c.what << "\n";
            continue;
        }
        EXPECT_EQ(*status, c.expected);
        EXPECT_EQ(readFile(target), kOld);
        EXPECT_EQ(sortedEntries(dir.path()), Names{"doc.kedata"});
        ::chmod(target.c_str(), 0644);
    }
}
