#pragma once
// Growable, zero-filled arrays identified by a small number. An element past
// the capacity is created on first access; capacity grows in whole 4096-byte
// pages. A negative index is a fatal error reported through a handler.

#include "runtime/zeroed_column.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace kestrune {

// Shows a fatal runtime alert and ends the program. If it returns (tests),
// the access that failed throws std::out_of_range.
using FatalErrorHandler = std::function<void(const std::string& message)>;

std::string badIndexMessage(std::int64_t index, int arrayNumber);

template <typename T> class DynamicArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    static constexpr std::size_t kPage = 4096;

    DynamicArray(int arrayNumber, const FatalErrorHandler* onFatal)
        : number_(arrayNumber), onFatal_(onFatal) {}

    // Where a bad index is reported from now on (nothing when null).
    void setFatalHandler(const FatalErrorHandler* onFatal) { onFatal_ = onFatal; }
    int arrayNumber() const { return number_; }
    std::size_t elementSize() const { return sizeof(T); }
    std::int64_t capacity() const { return capacity_; }
    std::int64_t highestIndex() const { return highest_; }

    // The element at index, created (zero) when it lies beyond the capacity.
    T& DynamicArrayElement(std::int32_t index) {
        if (static_cast<std::uint32_t>(index) >= static_cast<std::uint64_t>(capacity_)) {
            grow(index);
        }
        if (index > highest_) {
            highest_ = index;
        }
        return storage_[static_cast<std::size_t>(index)];
    }
    T& operator[](std::int32_t index) { return DynamicArrayElement(index); }
    // Read access that does not grow: elements never created read as zero.
    T get(std::int32_t index) const {
        return index >= 0 && index < capacity_ ? storage_[static_cast<std::size_t>(index)] : T{};
    }
    // Makes indices 0 to last addressable without growth on each access.
    void ensure(std::int32_t last) {
        if (last >= 0 && last >= capacity_) {
            grow(last);
        }
    }
    T* data() { return storage_.data(); }
    const T* data() const { return storage_.data(); }

    using Storage = ZeroedColumn<T>;
    // How many elements the storage holds (the capacity and a little more).
    std::size_t storageSize() const { return storage_.size(); }
    // Puts other, a buffer of storageSize() elements written whole, in place
    // of the elements, and gives the old ones back in other: a column
    // rewritten elsewhere takes its place without a copy.
    void exchangeStorage(Storage& other) {
        if (other.size() != storage_.size()) {
            throw std::invalid_argument("exchangeStorage: sizes differ");
        }
        storage_.swap(other);
    }

private:
    void grow(std::int32_t index) {
        if (index < 0 || index == INT32_MAX) {
            const std::string message = badIndexMessage(index, number_);
            if (onFatal_ != nullptr && *onFatal_) {
                (*onFatal_)(message);
            }
            throw std::out_of_range(message);
        }
        // The smallest whole number of pages strictly larger than the
        // elements up to index.
        const std::uint64_t bytes = (static_cast<std::uint64_t>(index) + 1) * sizeof(T);
        const std::uint64_t pages = bytes / kPage + 1;
        capacity_ = static_cast<std::int64_t>(pages * kPage / sizeof(T));
        storage_.growTo(static_cast<std::size_t>(capacity_)); // geometric underneath, zeros
    }

    int number_;
    const FatalErrorHandler* onFatal_;
    std::int64_t capacity_ = 0;
    std::int64_t highest_ = -1;
    Storage storage_;
};

} // namespace kestrune
