// The sixteen-bytes-at-a-time searches must agree with a byte-by-byte look
// wherever the bytes begin and end.

#include "runtime/line_breaks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace kestrune;

namespace {

TEST(LineBreaks, SearchesAgreeWithAByteByByteLook) {
    std::mt19937 random(5);
    const std::string alphabet = "\r\n\r\n,;\"ab\x80\xC3";
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 90), '\0');
        for (char& c : bytes) {
            c = random() % 3 == 0 ? alphabet[random() % alphabet.size()] : 'x';
        }
        const char* const begin = bytes.data();
        for (std::size_t from = 0; from <= bytes.size(); ++from) {
            const char* const p = begin + from;
            const char* const last = begin + bytes.size();
            const bool afterCR = from > 0 ? bytes[from - 1] == '\r' : round % 2 == 0;
            std::uint64_t ends = 0;
            bool ascii = true;
            const char* firstStop = last;
            for (const char* q = p; q < last; ++q) {
                const bool crBefore = q == p ? afterCR : q[-1] == '\r';
                ends += *q == '\r' || (*q == '\n' && !crBefore) ? 1 : 0;
                ascii = ascii && static_cast<unsigned char>(*q) < 0x80;
                if (firstStop == last && (*q == '\r' || *q == '\n' || *q == ';')) {
                    firstStop = q;
                }
            }
            ASSERT_EQ(CountLineEnds(p, last, afterCR), ends) << round << " " << from;
            ASSERT_EQ(IsAscii(p, last), ascii) << round << " " << from;
            ASSERT_EQ(FindLineBreakOr(p, last, ';'), firstStop) << round << " " << from;
        }
    }
}

} // namespace
