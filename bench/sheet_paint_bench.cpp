// One paint of the sheet in a 600-pixel-high window, for a small catalogue
// and for a million models: the cost must not follow the table's size.

#include "catalogue.h"
#include "counting_canvas.h"
#include "sheet/selection_rect.h"
#include "sheet/sheet_painter.h"
#include "silent_platform.h"

#include <benchmark/benchmark.h>

using namespace kestrune;

namespace {

constexpr double kWindowHeight = 600.0;

void BM_PaintSheet(benchmark::State& state) {
    bench::SilentPlatform platform;
    AppState app(platform);
    const auto rows = static_cast<std::int32_t>(state.range(0));
    bench::fillRandomCatalogue(app.table, rows);
    // Scrolled to the middle, a cell of the first visible row selected.
    app.sel.ScrollValue = rows > 40 ? rows / 2 : 0;
    app.sel.cellV = app.sel.ScrollValue + 1;
    app.sel.cellVscroll = app.sel.cellV;
    app.sel.cellH = 5;
    ComputeSelectionRect(app);

    bench::CountingCanvas canvas;
    for (auto _ : state) {
        canvas.primitives = 0;
        PaintSheet(canvas, app, 0.0, kWindowHeight);
        benchmark::DoNotOptimize(canvas.textBytes);
    }
    state.counters["primitives"] = static_cast<double>(canvas.primitives);
}

} // namespace

BENCHMARK(BM_PaintSheet)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
