#include "runtime/dynamic_array.h"
#include "runtime/str255.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kestrune;

TEST(DynamicArray, GrowsInWholePagesAndReadsZeroUntilWritten) {
    DynamicArray<double> doubles(5, nullptr);
    EXPECT_EQ(doubles.capacity(), 0);
    EXPECT_EQ(doubles.highestIndex(), -1);
    EXPECT_EQ(doubles[0], 0.0);
    EXPECT_EQ(doubles.capacity(), 512);
    EXPECT_EQ(doubles.highestIndex(), 0);
    for (int i = 0; i < 512; ++i) {
        doubles[i] = i + 0.5;
    }
    EXPECT_EQ(doubles.capacity(), 512);
    EXPECT_EQ(doubles[512], 0.0);
    EXPECT_EQ(doubles.capacity(), 1024);
    EXPECT_EQ(doubles.highestIndex(), 512);
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(doubles[i], i + 0.5);
    }
    for (int i = 512; i < 1024; ++i) {
        ASSERT_EQ(doubles.get(i), 0.0);
    }
    EXPECT_EQ(doubles.highestIndex(), 512); // lower indices do not lower it

    DynamicArray<double> edge(6, nullptr);
    (void)edge[510]; // 511 doubles fill less than a page
    EXPECT_EQ(edge.capacity(), 512);
    DynamicArray<double> full(7, nullptr);
    (void)full[511]; // exactly one page is not enough: strictly more is needed
    EXPECT_EQ(full.capacity(), 1024);

    DynamicArray<Str255> names(2, nullptr);
    EXPECT_EQ(names.elementSize(), 1022u); // 1,020 bytes and their length
    EXPECT_TRUE(names[15].empty());
    EXPECT_EQ(names.capacity(), 16);

    DynamicArray<std::int32_t> numbers(1, nullptr);
    EXPECT_EQ(numbers[0], 0);
    EXPECT_EQ(numbers.capacity(), 1024);
}

// Growing writes nothing: new elements are zero because the memory is.
TEST(DynamicArray, GrownElementsReadZeroAfterCopiesAndLargeGrowth) {
    DynamicArray<double> big(5, nullptr);
    for (int i = 0; i < 1'000'000; ++i) { // past the size taken from large pages
        big[i] = 1.5;
    }
    DynamicArray<double> small(5, nullptr);
    small[10] = 2.5;
    big = small; // the big array's old memory must not come back
    (void)big[999'999];
    EXPECT_EQ(big.get(10), 2.5);
    for (int i = 11; i < 1'000'000; ++i) {
        ASSERT_EQ(big.get(i), 0.0) << i;
    }
    DynamicArray<double> moved(std::move(small));
    (void)moved[2'000'000];
    EXPECT_EQ(moved.get(10), 2.5);
    EXPECT_EQ(moved.get(1'500'000), 0.0);
}

TEST(DynamicArray, ReadingWithoutGrowingLeavesTheArrayAlone) {
    DynamicArray<double> a(5, nullptr);
    EXPECT_EQ(a.get(1000), 0.0);
    EXPECT_EQ(a.get(-1), 0.0);
    EXPECT_EQ(a.capacity(), 0);
    a.ensure(600);
    EXPECT_EQ(a.capacity(), 1024);
    EXPECT_EQ(a.highestIndex(), -1);
}

TEST(DynamicArray, BadIndexIsFatalWithItsMessage) {
    std::vector<std::string> messages;
    const FatalErrorHandler handler = [&](const std::string& m) { messages.push_back(m); };
    DynamicArray<double> a(9, &handler);
    a[3] = 1.0;
    EXPECT_THROW(a[-1], std::out_of_range);
    EXPECT_THROW(a[INT32_MIN], std::out_of_range);
    EXPECT_THROW(a[INT32_MAX], std::out_of_range);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Bad index -1 for dynamic array (ref 9)");
    EXPECT_EQ(messages[1], "Bad index -2147483648 for dynamic array (ref 9)");
    EXPECT_EQ(messages[2], "Bad index 2147483647 for dynamic array (ref 9)");
    EXPECT_EQ(a.get(3), 1.0); // nothing else changed
    EXPECT_EQ(a.highestIndex(), 3);
}
