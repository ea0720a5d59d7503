#pragma once
// The floor the document benchmarks are measured against: bytes already in
// memory put into a file with one write and made durable with one fsync.
// Nothing reads or writes a document faster.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace kestrune::bench {

inline void timeWriteAndSync(benchmark::State& state, const std::string& bytes,
                             const std::string& path) {
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        const int synced = ::fsync(fd);
        ::close(fd);
        if (written != static_cast<ssize_t>(bytes.size()) || synced != 0) {
            state.SkipWithError("the floor file could not be written");
            break;
        }
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
    std::remove(path.c_str());
}

} // namespace kestrune::bench
