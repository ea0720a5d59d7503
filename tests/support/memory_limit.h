#pragma once
// A piece of a test run with little memory to spare: in a child process
// whose address space may grow only so far beyond what it holds, so that
// what would take more fails as it does on a machine out of memory (the
// allocation throws std::bad_alloc, a thread cannot be started).

#include <cstddef>
#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrune::test {

// The bytes of address space this process holds.
inline std::size_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// From now on this process may take spare bytes of address space more than
// it holds; false when the limit cannot be set.
inline bool LimitSpareMemory(std::size_t spare) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0) {
        return false;
    }
    limit.rlim_cur = AddressSpaceInUse() + spare;
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

inline void LiftMemoryLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_AS, &limit);
}

// Runs body in a child process that may take spare bytes of address space
// more than it holds; returns what body returned (0 to 255), or -1 when the
// child did not end by itself. In the child every allocation of 64 KiB or
// more takes address space of its own, as it would not from memory the heap
// kept: what a step needs is what the limit counts, on any machine.
inline int RunInChildWithSpareMemory(std::size_t spare, const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::mallopt(M_MMAP_THRESHOLD, 64 << 10);
        const int code = LimitSpareMemory(spare) ? body() : 99;
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace kestrune::test

// The sanitizers' own memory does not bear a limit on the address space:
// their allocators end the program where ours would throw.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED()                                                      \
    GTEST_SKIP() << "the sanitizers take the address space a limit would count"
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED()                                                      \
    GTEST_SKIP() << "the sanitizers take the address space a limit would count"
#endif
#endif
#ifndef SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED
#define SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED() static_cast<void>(0)
#endif
