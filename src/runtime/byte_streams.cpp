#include "runtime/byte_streams.h"

#include "runtime/file_errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    explicit FdSource(int fd) : ByteSource(kBufferSize), fd_(fd) {}

protected:
    std::size_t fill(char* data, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_.get(), data, size);
            if (n >= 0) {
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) {
                setError(errno);
                return 0;
            }
        }
    }

private:
    FileDescriptor fd_;
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

class AtomicFileSink final : public ByteSink {
public:
    AtomicFileSink(std::string target, std::string temp, int tempFd, int targetLockFd)
        : ByteSink(kBufferSize), target_(std::move(target)), temp_(std::move(temp)), fd_(tempFd),
          targetLock_(targetLockFd) {}
    ~AtomicFileSink() override {
        if (!committed_) {
            ::unlink(temp_.c_str());
        }
    }

    int commit() override {
        int code = flushBuffer();
        if (code == 0 && ::fsync(fd_.get()) != 0) {
            code = errno;
        }
        if (code == 0 && ::close(fd_.release()) != 0) {
            code = errno;
        }
        if (code != 0) {
            return code; // the destructor removes the temporary file
        }
        if (::rename(temp_.c_str(), target_.c_str()) != 0) {
            return errno;
        }
        committed_ = true;
        syncFolder();
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
        }
        return 0;
    }

private:
    void syncFolder() const {
        const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

    std::string target_;
    std::string temp_;
    FileDescriptor fd_;
    FileDescriptor targetLock_;
    bool committed_ = false;
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

std::unique_ptr<ByteSource> openFileSource(const std::string& path, int& status) {
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
    return std::make_unique<FdSource>(fd.release());
}

std::unique_ptr<ByteSink> openAtomicFileSink(const std::string& path, int& status) {
    // The lock and permissions of an existing target decide first.
    FileDescriptor targetLock(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    mode_t mode = 0666;
    if (targetLock.get() >= 0) {
        struct stat st {};
        if (::fstat(targetLock.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            status = FileErrorCode::kCannotCreate;
            return nullptr;
        }
        if (lockedByOther(targetLock.get(), true)) {
            status = FileErrorCode::kLocked;
            return nullptr;
        }
        if (::access(path.c_str(), W_OK) != 0) {
            status = FileErrorCode::kNoAccess;
            return nullptr;
        }
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        status = FileErrorCode::kCannotCreate;
        return nullptr;
    }

    std::random_device entropy;
    const std::string stem = folderOf(path) + "/." + leafOf(path) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = stem + std::to_string(entropy() % 1000000000u) + ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            if (targetLock.get() >= 0) {
                ::fchmod(fd, mode); // keep the document's permissions
            }
            ::flock(fd, LOCK_EX | LOCK_NB);
            status = 0;
            return std::make_unique<AtomicFileSink>(path, temp, fd, targetLock.release());
        }
        if (errno != EEXIST) {
            break;
        }
    }
    status = FileErrorCode::kCannotCreate;
    return nullptr;
}

std::unique_ptr<ByteSource> makeStreamSource(std::istream& in) { return std::make_unique<StreamSource>(in); }

std::unique_ptr<ByteSink> makeStreamSink(std::ostream& out) { return std::make_unique<StreamSink>(out); }

} // namespace kestrune
