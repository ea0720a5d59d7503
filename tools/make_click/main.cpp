// make_click: writes the click that confirms a transfer of parameters, a
// short mono 16-bit AIFF at 44.1 kHz, at build time.
//
//   make_click OUTPUT.aif
//
// The click is a soft-edged burst: a short noise transient over two damped
// partials, faded to silence at both ends so that it starts and stops
// without a pop. The noise comes from a fixed generator, so every build
// writes the same bytes.

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kLengthSeconds = 0.025;
constexpr double kAttackSeconds = 0.0004;
constexpr double kFadeSeconds = 0.002;
constexpr double kDecaySeconds = 0.0035;
constexpr double kNoiseSeconds = 0.0015;
constexpr double kPeak = 0.7; // of full scale

// A small linear congruential generator: the same noise on every machine.
class Noise {
public:
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x4b65737472756e65ULL;
};

double raisedCosine(double x) {
    return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0));
}

std::vector<double> clickSamples() {
    const auto frames = static_cast<std::size_t>(kLengthSeconds * kRate);
    std::vector<double> samples(frames);
    Noise noise;
    double largest = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double left = kLengthSeconds - t - 1.0 / kRate;
        const double envelope = raisedCosine(t / kAttackSeconds) * std::exp(-t / kDecaySeconds) *
                                raisedCosine(left / kFadeSeconds);
        const double tone = 0.65 * std::sin(2.0 * std::numbers::pi * 2300.0 * t) +
                            0.35 * std::sin(2.0 * std::numbers::pi * 5100.0 * t);
        const double burst = t < kNoiseSeconds ? noise.next() * (1.0 - t / kNoiseSeconds) : 0.0;
        samples[i] = envelope * (tone + 0.5 * burst);
        largest = std::max(largest, std::abs(samples[i]));
    }
    for (double& s : samples) {
        s *= kPeak / largest;
    }
    return samples;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: make_click OUTPUT.aif\n", stderr);
        return 2;
    }
    const std::string output = argv[1];
    const std::string partial = output + ".part";

    std::vector<short> pcm;
    for (double s : clickSamples()) {
        pcm.push_back(static_cast<short>(std::lround(s * 32767.0)));
    }

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(partial.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "make_click: %s: %s\n", partial.c_str(), sf_strerror(nullptr));
        return 1;
    }
    const auto frames = static_cast<sf_count_t>(pcm.size());
    const bool written = sf_writef_short(file, pcm.data(), frames) == frames;
    const bool closed = sf_close(file) == 0;
    if (!written || !closed || std::rename(partial.c_str(), output.c_str()) != 0) {
        std::fprintf(stderr, "make_click: cannot write %s\n", output.c_str());
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
