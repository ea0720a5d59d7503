#pragma once
// Memory for the big columns of a large catalogue, in the system's large
// pages where it offers them: a million rows touch far fewer pages, so they
// are filled and read back without a fault for every 4 KiB.

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace kestrune {

// At least bytes of zeroed memory, aligned for any type; nullptr when there
// is none. It is given back with the same size.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* memory, std::size_t bytes) noexcept;

template <typename T> struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U> LargePageAllocator(const LargePageAllocator<U>&) noexcept {} // NOLINT
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        void* memory = allocateLarge(n * sizeof(T));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(memory);
    }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }
    // An element made without a value keeps the zero its memory came with,
    // so growing a column writes nothing: its pages are first touched where
    // its rows are filled, by whichever thread fills them.
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) != 0 || !std::is_trivially_default_constructible_v<U>) {
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    }
    template <typename U> bool operator==(const LargePageAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace kestrune
