#pragma once
// A column of plain values that only ever grows, and only into fresh memory
// the system hands over zeroed: an element that was never written reads as
// zero because its memory never held anything else, so no value of before
// can show through. Nothing shrinks a column, and a copy or a growth past
// the memory held takes fresh memory; there is no way to add elements that
// are not zero.
//
// Growing writes nothing: the pages of a large column are first touched
// where its rows are filled, by whichever thread fills them. Large columns
// lie in the system's large pages where it offers them, so a million rows
// are filled and read back without a fault for every 4 KiB.

#include <algorithm>
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace kestrune {

// At least bytes of fresh zeroed memory, aligned for any type; nullptr when
// there is none. It is given back with the same size.
void* allocateZeroed(std::size_t bytes);
void freeZeroed(void* memory, std::size_t bytes) noexcept;
// Makes bytes at `from`, inside a block of blockBytes from allocateZeroed,
// zero again; whole pages of a block the system mapped go back to it.
void clearZeroed(void* from, std::size_t bytes, std::size_t blockBytes) noexcept;
// std::memcpy, kept out of line: inlined where the size has a small bound
// (a name's 255 bytes) it becomes a string move slower than the library's.
void copyBytes(void* to, const void* from, std::size_t bytes) noexcept;

template <typename T> class ZeroedColumn {
    // All bits zero is a value of T, and copying its bytes copies it.
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    ZeroedColumn() noexcept = default;
    // size zeros.
    explicit ZeroedColumn(std::size_t size) { growTo(size); }
    ZeroedColumn(const ZeroedColumn& other) { append(other.data_, other.size_); }
    ZeroedColumn(ZeroedColumn&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    // Copies into fresh memory, and leaves the old memory to be given back.
    ZeroedColumn& operator=(ZeroedColumn other) noexcept {
        swap(other);
        return *this;
    }
    ~ZeroedColumn() { freeZeroed(data_, capacity_ * sizeof(T)); }

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    T* data() noexcept { return data_; }
    const T* data() const noexcept { return data_; }
    T& operator[](std::size_t i) noexcept { return data_[i]; }
    const T& operator[](std::size_t i) const noexcept { return data_[i]; }
    T* begin() noexcept { return data_; }
    T* end() noexcept { return data_ + size_; }
    const T* begin() const noexcept { return data_; }
    const T* end() const noexcept { return data_ + size_; }

    // At least size elements; those added are zero.
    void growTo(std::size_t size) {
        if (size <= size_) {
            return;
        }
        if (size > capacity_) {
            // Geometric, so that a column grown a row at a time copies each
            // element a bounded number of times.
            moveTo(std::max(size, 2 * capacity_));
        }
        size_ = size;
    }
    // Room for capacity elements in all, so that growing that far takes no
    // memory (and cannot fail).
    void reserve(std::size_t capacity) {
        if (capacity > capacity_) {
            moveTo(capacity);
        }
    }
    // Keeps the first size elements; those after read as zero again, and a
    // large column gives the pages it no longer needs back to the system.
    void shrinkTo(std::size_t size) noexcept {
        if (size < size_) {
            clearZeroed(data_ + size, (size_ - size) * sizeof(T), capacity_ * sizeof(T));
            size_ = size;
        }
    }
    // Adds count elements copied from values, which must not lie in the column.
    void append(const T* values, std::size_t count) {
        if (count == 0) {
            return;
        }
        const std::size_t at = size_;
        growTo(size_ + count);
        copyBytes(data_ + at, values, count * sizeof(T));
    }
    void swap(ZeroedColumn& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    // Moves the elements into fresh memory for capacity of them.
    void moveTo(std::size_t capacity) {
        if (capacity > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        void* memory = allocateZeroed(capacity * sizeof(T));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        if (size_ > 0) {
            copyBytes(memory, data_, size_ * sizeof(T));
        }
        freeZeroed(data_, capacity_ * sizeof(T));
        data_ = static_cast<T*>(memory);
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    // Elements from size_ to here were never written: they are zero.
    std::size_t capacity_ = 0;
};

} // namespace kestrune
