// A column grows only into zeros, whatever its memory held before: a value
// once written never shows through where the column grows again.

#include "runtime/zeroed_column.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

using namespace kestrune;

namespace {

bool allZeroFrom(const ZeroedColumn<std::uint64_t>& column, std::size_t from) {
    for (std::size_t i = from; i < column.size(); ++i) {
        if (column[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(ZeroedColumn, GrowsIntoZerosAfterCopiesMovesAndReservedRoom) {
    // Small columns come from the heap, large ones (from 512 KiB) are mapped,
    // one ending inside its last large page and one filling it.
    for (const std::size_t size : {std::size_t{10}, std::size_t{100000}, std::size_t{1} << 20}) {
        SCOPED_TRACE(size);
        ZeroedColumn<std::uint64_t> full(size);
        EXPECT_TRUE(allZeroFrom(full, 0));
        for (std::size_t i = 0; i < size; ++i) {
            full[i] = ~std::uint64_t{0} - i;
        }
        full.growTo(size / 2); // never shrinks
        EXPECT_EQ(full.size(), size);

        ZeroedColumn<std::uint64_t> copy = full;
        copy.growTo(3 * size);
        EXPECT_EQ(copy[size - 1], ~std::uint64_t{0} - (size - 1));
        EXPECT_TRUE(allZeroFrom(copy, size));

        // A small column put in place of the full one: the full one's memory
        // does not come back where it grows.
        ZeroedColumn<std::uint64_t> small(3);
        small[2] = 7;
        full = small;
        full.growTo(size);
        EXPECT_EQ(full[2], 7u);
        EXPECT_TRUE(allZeroFrom(full, 3));

        ZeroedColumn<std::uint64_t> moved(std::move(copy));
        EXPECT_EQ(copy.size(), 0u); // NOLINT: what a move leaves is empty
        copy.growTo(size);
        EXPECT_TRUE(allZeroFrom(copy, 0));

        ZeroedColumn<std::uint64_t> room;
        room.reserve(2 * size);
        room.growTo(size);
        EXPECT_TRUE(allZeroFrom(room, 0));
    }
}

TEST(ZeroedColumn, AppendsAcrossEveryGrowth) {
    ZeroedColumn<char> bytes;
    std::string expected;
    for (int i = 0; expected.size() < (std::size_t{9} << 20); ++i) {
        const std::string piece(static_cast<std::size_t>(i % 251) + 1,
                                static_cast<char>('a' + i % 26));
        bytes.append(piece.data(), piece.size());
        expected += piece;
    }
    ASSERT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == expected);
}

// Shrunk and grown again, a column reads zeros where it held values,
// whether the cut falls inside a page or over many of a mapped block.
TEST(ZeroedColumn, ReadsZerosWhereItWasShrunk) {
    for (const std::size_t size : {std::size_t{100}, std::size_t{100000}, std::size_t{1} << 20}) {
        for (const std::size_t keep : {std::size_t{0}, std::size_t{3}, size / 2 + 1}) {
            SCOPED_TRACE(std::to_string(size) + " cut to " + std::to_string(keep));
            ZeroedColumn<std::uint64_t> column(size);
            for (std::size_t i = 0; i < size; ++i) {
                column[i] = i + 1;
            }
            column.shrinkTo(keep);
            ASSERT_EQ(column.size(), keep);
            column.growTo(size);
            EXPECT_TRUE(allZeroFrom(column, keep));
            EXPECT_EQ(keep == 0 ? 0 : column[keep - 1], keep);
        }
    }
}

} // namespace
