// The click that confirms a transfer: a short, clean, mono 16-bit AIFF at
// 44.1 kHz that libsndfile (and so the program) can read.

#include "pdf_text.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace kestrune::test {
namespace {

class ClickSound : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = sf_open(imagesPath("Click.aif").c_str(), SFM_READ, &info_);
        ASSERT_NE(file_, nullptr) << sf_strerror(nullptr);
    }
    void TearDown() override {
        if (file_ != nullptr) {
            sf_close(file_);
        }
    }
    std::vector<short> samples() {
        std::vector<short> out(static_cast<std::size_t>(info_.frames));
        EXPECT_EQ(sf_readf_short(file_, out.data(), info_.frames), info_.frames);
        return out;
    }

    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
};

TEST_F(ClickSound, IsAMonoSixteenBitAiffAt44100Hz) {
    EXPECT_EQ(info_.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AIFF);
    EXPECT_EQ(info_.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_EQ(info_.channels, 1);
    EXPECT_EQ(info_.samplerate, 44100);
}

TEST_F(ClickSound, LastsAFewMillisecondsUpToFifty) {
    const double seconds = static_cast<double>(info_.frames) / info_.samplerate;
    EXPECT_GE(seconds, 0.003);
    EXPECT_LE(seconds, 0.050);
}

// Loud enough to hear, never clipped, and silent at both ends so that it
// starts and stops without a pop of its own.
TEST_F(ClickSound, IsAudibleUnclippedAndStartsAndEndsAtSilence) {
    const std::vector<short> s = samples();
    ASSERT_GE(s.size(), 4u);
    int peak = 0;
    for (short v : s) {
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    EXPECT_GE(peak, 32767 / 4);
    EXPECT_LT(peak, 32767);
    EXPECT_LE(std::abs(static_cast<int>(s.front())), 32767 / 100);
    EXPECT_LE(std::abs(static_cast<int>(s.back())), 32767 / 100);
}

} // namespace
} // namespace kestrune::test
