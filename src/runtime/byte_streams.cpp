#include "runtime/byte_streams.h"

#include "runtime/file_errors.h"
#include "runtime/line_breaks.h"
#include "runtime/zeroed_column.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {
namespace {

constexpr std::size_t kBufferSize = 1 << 18;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// True when another process holds a lock that conflicts with the one we
// want: a POSIX record lock (queried) or a whole-file lock (tried). On
// success the whole-file lock is ours until the descriptor closes.
bool lockedByOther(int fd, bool exclusive) {
    struct flock query {};
    query.l_type = exclusive ? F_WRLCK : F_RDLCK;
    query.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK) {
        return true;
    }
    return ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

class FdSource final : public ByteSource {
public:
    FdSource(int fd, WorkProgress* progress)
        : ByteSource(kBufferSize), fd_(fd), progress_(progress) {}

protected:
    std::size_t fill(char* data, std::size_t size) override {
        for (;;) {
            beforeRead();
            const ssize_t n = ::read(fd_.get(), data, size);
            if (n >= 0) {
                return afterRead(n);
            }
            if (errno != EINTR) {
                setError(errno);
                return 0;
            }
        }
    }

    std::optional<std::uint64_t> wholeSize() const override {
        struct stat st {};
        if (::fstat(fd_.get(), &st) != 0 || st.st_size < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(st.st_size);
    }
    std::size_t readAt(char* data, std::size_t size, std::uint64_t offset) const override {
        for (;;) {
            beforeRead();
            const ssize_t n = ::pread(fd_.get(), data, size, static_cast<off_t>(offset));
            if (n >= 0) {
                return afterRead(n);
            }
            if (errno != EINTR) {
                return 0;
            }
        }
    }

private:
    void beforeRead() const {
        if (progress_ != nullptr) {
            progress_->stopIfCancelled();
        }
    }
    std::size_t afterRead(ssize_t n) const {
        const auto bytes = static_cast<std::size_t>(n);
        if (progress_ != nullptr) {
            progress_->advance(bytes);
        }
        return bytes;
    }

    FileDescriptor fd_;
    WorkProgress* progress_;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes)
        : ByteSource(kBufferSize), whole_(bytes), bytes_(bytes) {}

protected:
    std::size_t fill(char* data, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size());
        if (n == 0) {
            return 0; // an empty view may point nowhere, which memcpy must not see
        }
        std::memcpy(data, bytes_.data(), n);
        bytes_.remove_prefix(n);
        return n;
    }
    std::optional<std::uint64_t> wholeSize() const override { return whole_.size(); }
    std::size_t readAt(char* data, std::size_t size, std::uint64_t offset) const override {
        if (offset >= whole_.size()) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(size, whole_.size() - offset);
        std::memcpy(data, whole_.data() + offset, n);
        return n;
    }

private:
    std::string_view whole_;
    std::string_view bytes_;
};

class StreamSource final : public ByteSource {
public:
    explicit StreamSource(std::istream& in) : ByteSource(kBufferSize), in_(in) {}

protected:
    std::size_t fill(char* data, std::size_t size) override {
        in_.read(data, static_cast<std::streamsize>(size));
        const auto n = static_cast<std::size_t>(in_.gcount());
        if (n == 0 && in_.bad()) {
            setError(FileErrorCode::kIoError);
        }
        return n;
    }

private:
    std::istream& in_;
};

class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::ostream& out) : ByteSink(kBufferSize), out_(out) {}
    int commit() override {
        if (const int code = flushBuffer(); code != 0) {
            return code;
        }
        out_.flush();
        return out_ ? 0 : FileErrorCode::kIoError;
    }

protected:
    int writeOut(const char* data, std::size_t size) override {
        out_.write(data, static_cast<std::streamsize>(size));
        return out_ ? 0 : FileErrorCode::kIoError;
    }

private:
    std::ostream& out_;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string leafOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& leaf) {
    return folder == "/" ? "/" + leaf : folder + "/" + leaf;
}

// The place a save writes to: the folder without symbolic links in it and
// the file's own name there.
struct SaveTarget {
    std::string folder;
    std::string leaf;
    std::string path() const { return joinPath(folder, leaf); }
};

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;

// Follows the links at path to the file they name, which need not exist: a
// dangling link saves to where it points. Empty when the links loop or the
// folder cannot be found.
std::optional<SaveTarget> resolveSaveTarget(std::string path) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            std::unique_ptr<char, decltype(&::free)> folder(
                ::realpath(folderOf(path).c_str(), nullptr), &::free);
            if (!folder) {
                return std::nullopt;
            }
            return SaveTarget{folder.get(), leafOf(path)};
        }
        std::error_code failed;
        const std::string next = std::filesystem::read_symlink(path, failed).string();
        if (failed || next.empty()) {
            return std::nullopt;
        }
        path = next.front() == '/' ? next : joinPath(folderOf(path), next);
    }
    return std::nullopt;
}

// ".name.kestrune-<pid>-<random>.tmp": one pattern for every temporary a
// save names, so that the ones a killed save left behind can be told from
// any other program's files. The name is shortened so that the whole stays
// within the 255 bytes a file name may have.
constexpr std::string_view kTempMark = ".kestrune-";
constexpr std::string_view kTempEnd = ".tmp";

std::string hiddenTempName(const std::string& leaf, std::random_device& entropy) {
    return "." + leaf.substr(0, 200) + std::string(kTempMark) + std::to_string(::getpid()) + "-" +
           std::to_string(entropy() % 1000000000u) + std::string(kTempEnd);
}

// The process that made a temporary of that pattern, or nothing when the
// name is not one of them.
std::optional<pid_t> tempNameOwner(std::string_view name) {
    if (name.size() < 2 || name.front() != '.' || !name.ends_with(kTempEnd)) {
        return std::nullopt;
    }
    name.remove_suffix(kTempEnd.size());
    const auto mark = name.rfind(kTempMark);
    if (mark == std::string_view::npos || mark == 0) {
        return std::nullopt;
    }
    const std::string_view numbers = name.substr(mark + kTempMark.size());
    const auto dash = numbers.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 10 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (dash == std::string_view::npos || !digits(numbers.substr(0, dash)) ||
        !digits(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    const long long pid = std::stoll(std::string(numbers.substr(0, dash)));
    if (pid <= 0 || pid > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<pid_t>(pid);
}

// A temporary younger than this may still be on its way to become a
// document, even when its process is gone from this machine's view (a
// folder shared with another machine).
constexpr std::int64_t kStaleTempSeconds = 10 * 60;

// Removes the temporaries of our pattern that saves of this program left in
// the folder when they were killed: files of this user, untouched for ten
// minutes, whose process no longer runs. Nothing else is touched.
void removeStaleTemporaries(int folder) {
    const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return;
    }
    DIR* list = ::fdopendir(listFd);
    if (list == nullptr) {
        ::close(listFd);
        return;
    }
    const std::int64_t now = static_cast<std::int64_t>(::time(nullptr));
    while (const dirent* entry = ::readdir(list)) {
        const std::optional<pid_t> owner = tempNameOwner(entry->d_name);
        if (!owner || *owner == ::getpid()) {
            continue;
        }
        struct stat st {};
        if (::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
            now - static_cast<std::int64_t>(st.st_mtime) < kStaleTempSeconds) {
            continue;
        }
        if (::kill(*owner, 0) == 0 || errno != ESRCH) {
            continue; // its process still runs
        }
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(list);
}

// Why a save may not write the file or its folder, as the alert tells it.
int refusalCode(int error, int otherwise) {
    if (error == EROFS) {
        return FileErrorCode::kDiskReadOnly;
    }
    if (error == EACCES || error == EPERM) {
        return FileErrorCode::kNoWritePermission;
    }
    return otherwise;
}

std::string procPathOf(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// An unnamed file in the folder, when the file system makes them and the
// process can name them later through /proc; -1 with errno otherwise.
int openUnnamedFile(int folder, mode_t mode) {
    FileDescriptor fd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.get() < 0) {
        return -1;
    }
    struct stat own {};
    struct stat seen {};
    if (::fstat(fd.get(), &own) != 0 || ::stat(procPathOf(fd.get()).c_str(), &seen) != 0 ||
        own.st_dev != seen.st_dev || own.st_ino != seen.st_ino) {
        fd.reset();
        errno = EOPNOTSUPP; // no way to name it: use a named file instead
        return -1;
    }
    return fd.release();
}

// A fresh hidden file in the folder, for file systems without unnamed
// files; -1 with errno on failure.
int openNamedTempFile(int folder, const std::string& leaf, mode_t mode, std::string& name) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = hiddenTempName(leaf, entropy);
        const int fd =
            ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives the new file the owner, group and permissions of the one it
// replaces, as far as the process may: a user who cannot give a file away
// can still keep the group when they belong to it.
void takeOverOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno == EPERM) {
        (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    ::fchmod(fd, old.st_mode & 07777); // after fchown, which may clear set-id bits
}

class AtomicFileSink final : public ByteSink {
public:
    // temp is empty while the file has no name yet.
    AtomicFileSink(int folderFd, std::string leaf, std::string temp, int tempFd, int targetLockFd)
        : ByteSink(kBufferSize), folder_(folderFd), leaf_(std::move(leaf)), temp_(std::move(temp)),
          fd_(tempFd), targetLock_(targetLockFd) {}
    ~AtomicFileSink() override { removeTemp(); }

    int commit() override {
        if (finished_) {
            return result_;
        }
        finished_ = true;
        int code = flushBuffer();
        if (code == 0 && ::fsync(fd_.get()) != 0) {
            code = errno;
        }
        if (code == 0 && temp_.empty()) {
            code = nameUnnamedFile();
        }
        if (code == 0 && ::close(fd_.release()) != 0) {
            code = errno;
        }
        if (code == 0 &&
            ::renameat(folder_.get(), temp_.c_str(), folder_.get(), leaf_.c_str()) != 0) {
            code = errno;
        }
        if (code != 0) {
            removeTemp();
            result_ = refusalCode(code, code);
            return result_;
        }
        temp_.clear(); // it is the target now
        syncFolder();
        removeStaleTemporaries(folder_.get());
        return 0;
    }

protected:
    int writeOut(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = ::write(fd_.get(), data, size);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
            written_ += n;
        }
        // The disk starts on what is written while the rest is still being
        // made, so the closing fsync has less left to wait for.
        if (written_ - flushedTo_ >= kWriteBehind) {
            ::sync_file_range(fd_.get(), flushedTo_, written_ - flushedTo_, SYNC_FILE_RANGE_WRITE);
            flushedTo_ = written_;
        }
        return 0;
    }

private:
    static constexpr off_t kWriteBehind = off_t{8} << 20;

    // Links the complete unnamed file into the folder under a fresh hidden
    // name, ready to be renamed over the target.
    int nameUnnamedFile() {
        const std::string source = procPathOf(fd_.get());
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenTempName(leaf_, entropy);
            if (::linkat(AT_FDCWD, source.c_str(), folder_.get(), name.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                temp_ = std::move(name);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    void removeTemp() {
        if (!temp_.empty()) {
            ::unlinkat(folder_.get(), temp_.c_str(), 0);
            temp_.clear();
        }
    }

    void syncFolder() const {
        const FileDescriptor dir(::openat(folder_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) {
            ::fsync(dir.get());
        }
    }

    FileDescriptor folder_;
    std::string leaf_;
    std::string temp_;
    FileDescriptor fd_;
    FileDescriptor targetLock_;
    bool finished_ = false;
    int result_ = 0;
    off_t written_ = 0;
    off_t flushedTo_ = 0;
};

} // namespace

std::size_t ByteSource::readUntilLineEnd(std::string& out, std::size_t max) {
    std::size_t taken = 0;
    while (taken < max) {
        if (pos_ == end_ && !refill()) {
            break;
        }
        const char* begin = buffer_.data() + pos_;
        const std::size_t avail = std::min(end_ - pos_, max - taken);
        std::size_t n = 0;
        while (n < avail && begin[n] != '\r' && begin[n] != '\n') {
            ++n;
        }
        out.append(begin, n);
        pos_ += n;
        taken += n;
        if (n < avail) {
            break; // stopped at a line end
        }
    }
    return taken;
}

bool ByteSource::takeBufferedLine(std::string_view& line, std::size_t max) {
    const char* begin = buffer_.data() + pos_;
    const std::size_t span = std::min(end_ - pos_, max);
    const char* lineBreak = FindLineBreak(begin, begin + span);
    if (lineBreak == begin + span) {
        return false;
    }
    const auto length = static_cast<std::size_t>(lineBreak - begin);
    std::size_t ending = 1;
    if (*lineBreak == '\r') {
        if (pos_ + length + 1 == end_) {
            return false; // whether LF follows is not known yet
        }
        ending = begin[length + 1] == '\n' ? 2 : 1;
    }
    line = std::string_view(begin, length);
    pos_ += length + ending;
    return true;
}

void ByteBlock::Free::operator()(char* p) const noexcept {
    freeZeroed(p, capacity);
}

void ByteBlock::reserve(std::size_t capacity) {
    if (capacity <= capacity_) {
        return;
    }
    std::unique_ptr<char[], Free> larger(static_cast<char*>(allocateZeroed(capacity)),
                                         Free{capacity});
    if (!larger) {
        throw std::bad_alloc();
    }
    if (size_ > 0) {
        std::memcpy(larger.get(), data_.get(), size_);
    }
    data_ = std::move(larger);
    capacity_ = capacity;
}

bool ByteSource::skipPrefix(std::string_view prefix) {
    if (pos_ == end_ && !refill()) {
        return false;
    }
    if (end_ - pos_ < prefix.size() ||
        std::string_view(buffer_.data() + pos_, prefix.size()) != prefix) {
        return false;
    }
    pos_ += prefix.size();
    return true;
}

bool ByteSource::refill() {
    if (error_ != 0) {
        return false;
    }
    pos_ = 0;
    end_ = fill(buffer_.data(), buffer_.size());
    return end_ > 0;
}

bool ByteSink::write(const char* data, std::size_t size) {
    if (error_ != 0) {
        return false;
    }
    if (buffer_.size() + size > buffer_.capacity()) {
        if (const int code = flushBuffer(); code != 0) {
            return false;
        }
        if (size > buffer_.capacity()) {
            if (const int code = writeOut(data, size); code != 0) {
                setError(code);
                return false;
            }
            return true;
        }
    }
    buffer_.insert(buffer_.end(), data, data + size);
    return true;
}

int ByteSink::flushBuffer() {
    if (error_ != 0) {
        return error_;
    }
    if (!buffer_.empty()) {
        const int code = writeOut(buffer_.data(), buffer_.size());
        buffer_.clear();
        if (code != 0) {
            setError(code);
        }
    }
    return error_;
}

std::unique_ptr<ByteSource> makeMemorySource(std::string_view bytes) {
    return std::make_unique<MemorySource>(bytes);
}

std::unique_ptr<ByteSource> openFileSource(const std::string& path, int& status,
                                           WorkProgress* progress) {
    // Non-blocking, so that a pipe is refused instead of waited on; a regular
    // file reads the same either way.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        status = FileErrorCode::kNoAccess;
        return nullptr;
    }
    if (lockedByOther(fd.get(), false)) {
        status = FileErrorCode::kLocked;
        return nullptr;
    }
    status = 0;
    return std::make_unique<FdSource>(fd.release(), progress);
}

std::unique_ptr<ByteSink> openAtomicFileSink(const std::string& path, int& status,
                                             TempFiles temps) {
    status = FileErrorCode::kCannotCreate;
    const auto target = resolveSaveTarget(path);
    if (!target) {
        return nullptr;
    }
    const std::string targetPath = target->path();

    // The lock and permissions of an existing target decide first.
    FileDescriptor targetLock(::open(targetPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat old {};
    if (targetLock.get() >= 0) {
        if (::fstat(targetLock.get(), &old) != 0 || !S_ISREG(old.st_mode)) {
            return nullptr;
        }
        if (lockedByOther(targetLock.get(), true)) {
            status = FileErrorCode::kLocked;
            return nullptr;
        }
        if (::access(targetPath.c_str(), W_OK) != 0) {
            status = refusalCode(errno, FileErrorCode::kNoWritePermission);
            return nullptr;
        }
    } else if (errno != ENOENT) {
        return nullptr;
    }
    const mode_t mode = targetLock.get() >= 0 ? (old.st_mode & 07777) : 0666;

    FileDescriptor folder(::open(target->folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        return nullptr;
    }
    // The new bytes go to an unnamed file, so that a save cut short leaves
    // nothing behind; it gets a name only once it is complete.
    std::string temp;
    FileDescriptor fd(temps == TempFiles::UnnamedWherePossible ? openUnnamedFile(folder.get(), mode)
                                                               : -1);
    if (fd.get() < 0) {
        if (temps == TempFiles::UnnamedWherePossible && errno != EOPNOTSUPP && errno != EISDIR &&
            errno != EINVAL) {
            status = refusalCode(errno, status);
            return nullptr;
        }
        fd.reset(openNamedTempFile(folder.get(), target->leaf, mode, temp));
        if (fd.get() < 0) {
            status = refusalCode(errno, status);
            return nullptr;
        }
    }
    if (targetLock.get() >= 0) {
        takeOverOwnerAndMode(fd.get(), old);
    }
    ::flock(fd.get(), LOCK_EX | LOCK_NB);
    status = 0;
    return std::make_unique<AtomicFileSink>(folder.release(), target->leaf, std::move(temp),
                                            fd.release(), targetLock.release());
}

std::unique_ptr<ByteSource> makeStreamSource(std::istream& in) {
    return std::make_unique<StreamSource>(in);
}

std::unique_ptr<ByteSink> makeStreamSink(std::ostream& out) {
    return std::make_unique<StreamSink>(out);
}

} // namespace kestrune
