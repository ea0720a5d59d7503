#pragma once
// A canvas for benchmarks: counts the primitives and touches what they carry.

#include "ports/canvas.h"

#include <cstdint>

namespace kestrune::bench {

class CountingCanvas : public Canvas {
public:
    std::int64_t primitives = 0;
    std::size_t textBytes = 0;

protected:
    void drawText(const DrawTarget&, const TextRun& run) override {
        ++primitives;
        textBytes += run.bytes.size();
    }
    void strokeLine(const DrawTarget&, double, double, double, double, double, Colour) override {
        ++primitives;
    }
    void strokeRect(const DrawTarget&, double, double, double, double, double, Colour) override {
        ++primitives;
    }
    void fillRect(const DrawTarget&, double, double, double, double, Colour) override {
        ++primitives;
    }
    void eraseRect(const DrawTarget&, double, double, double, double) override { ++primitives; }
};

} // namespace kestrune::bench
