#pragma once
// Ways to make file access fail on purpose: another process holding an
// advisory lock, and a file-size limit that makes writes fail part-way.

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrune::test {

enum class LockKind { FlockExclusive, FlockShared, FcntlWrite, FcntlRead };

namespace detail {

inline bool takeLock(int fd, LockKind kind) {
    switch (kind) {
    case LockKind::FlockExclusive:
        return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    case LockKind::FlockShared:
        return ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    case LockKind::FcntlWrite:
    case LockKind::FcntlRead: {
        struct flock fl {};
        fl.l_type = kind == LockKind::FcntlWrite ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        return ::fcntl(fd, F_SETLK, &fl) == 0;
    }
    }
    return false;
}

inline int openFor(const std::string& path, LockKind kind) {
    return ::open(path.c_str(), kind == LockKind::FcntlWrite ? O_RDWR : O_RDONLY);
}

} // namespace detail

// A child process that holds a lock on a file for as long as this object lives.
class LockHolder {
public:
    LockHolder(const std::string& path, LockKind kind) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            throw std::runtime_error("pipe");
        }
        child_ = ::fork();
        if (child_ < 0) {
            throw std::runtime_error("fork");
        }
        if (child_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = detail::openFor(path, kind);
            const char ok = fd >= 0 && detail::takeLock(fd, kind) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            char done = 0;
            (void)!::read(release[0], &done, 1); // returns when the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char ok = '0';
        const bool got = ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
        if (!got) {
            stop();
            throw std::runtime_error("the child could not take its lock");
        }
    }
    ~LockHolder() { stop(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    void stop() {
        if (release_ >= 0) {
            ::close(release_);
            release_ = -1;
        }
        if (child_ > 0) {
            int status = 0;
            ::waitpid(child_, &status, 0);
            child_ = -1;
        }
    }
    pid_t child_ = -1;
    int release_ = -1;
};

// Whether another process could take the lock on the file right now.
inline bool otherProcessCanLock(const std::string& path, LockKind kind) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = detail::openFor(path, kind);
        ::_exit(fd >= 0 && detail::takeLock(fd, kind) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// While it lives, no file of this process may grow past the given size: a
// write beyond it fails with EFBIG (the signal that would end the process is
// ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, savedHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit saved_ {};
    void (*savedHandler_)(int) = SIG_DFL;
};

} // namespace kestrune::test
