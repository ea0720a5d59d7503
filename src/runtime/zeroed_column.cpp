#include "runtime/zeroed_column.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace kestrune {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Smaller blocks come from the ordinary heap. Larger ones are mapped on
// their own, in large pages: the heap would fault its memory in a small
// page at a time, or hand back memory it held before and clear every byte,
// where a large page costs one fault, and a block this large fills most of
// the one it ends in.
constexpr std::size_t kLargeFrom = std::size_t{512} << 10;

std::size_t roundedUp(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

} // namespace

void* allocateZeroed(std::size_t bytes) {
    if (bytes < kLargeFrom) {
        return std::calloc(bytes == 0 ? 1 : bytes, 1);
    }
    // Mapped on its own, a block starts on a large page, comes zeroed from
    // the system and goes back to it whole when freed.
    const std::size_t size = roundedUp(bytes);
    void* mapped = ::mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > start) {
        ::munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + size + kLargePage;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    // Only a wish: where large pages are not offered, small ones serve.
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void copyBytes(void* to, const void* from, std::size_t bytes) noexcept {
    std::memcpy(to, from, bytes);
}

void clearZeroed(void* from, std::size_t bytes, std::size_t blockBytes) noexcept {
    if (blockBytes < kLargeFrom) {
        std::memset(from, 0, bytes);
        return;
    }
    constexpr std::uintptr_t kPage = 4096;
    const auto begin = reinterpret_cast<std::uintptr_t>(from);
    const std::uintptr_t end = begin + bytes;
    const std::uintptr_t pagesBegin = (begin + kPage - 1) / kPage * kPage;
    const std::uintptr_t pagesEnd = end / kPage * kPage;
    if (pagesBegin >= pagesEnd) {
        std::memset(from, 0, bytes);
        return;
    }
    std::memset(from, 0, pagesBegin - begin);
    // A private mapping's pages given back read as zero when next touched.
    if (::madvise(reinterpret_cast<void*>(pagesBegin), pagesEnd - pagesBegin, MADV_DONTNEED) != 0) {
        std::memset(reinterpret_cast<void*>(pagesBegin), 0, pagesEnd - pagesBegin);
    }
    std::memset(reinterpret_cast<void*>(pagesEnd), 0, end - pagesEnd);
}

void freeZeroed(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr) {
        return;
    }
    if (bytes < kLargeFrom) {
        std::free(memory);
        return;
    }
    ::munmap(memory, roundedUp(bytes));
}

} // namespace kestrune
