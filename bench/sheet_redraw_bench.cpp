// The interactive path at 100 and 1,000,000 rows: one redraw (bookkeeping and
// the paint of a 600-pixel window) and one key press that selects the next
// cell. Neither may grow with the table.

#include "catalogue.h"
#include "counting_canvas.h"
#include "model/app_state.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_painter.h"
#include "sheet/sheet_redraw.h"
#include "silent_platform.h"

#include <benchmark/benchmark.h>

using namespace kestrune;

namespace {

constexpr std::int32_t kWindowHeight = 600;

// A sheet scrolled to its middle with a cell of a visible row selected.
void openSheet(AppState& app, bench::SilentPlatform& platform, std::int32_t rows) {
    platform.height = kWindowHeight;
    bench::fillRandomCatalogue(app.table, rows);
    app.flags.MainWndOpenFlag = 1;
    app.snap.prefNum = rows;
    SetInstallScrollButton(app);
    app.sel.ScrollValue = rows > 40 ? rows / 2 : 0;
    app.sel.cellV = app.sel.ScrollValue + 3;
    app.sel.cellH = 4;
    DrawSheet(app);
}

void BM_DrawSheetAndPaint(benchmark::State& state) {
    bench::SilentPlatform platform;
    AppState app(platform);
    openSheet(app, platform, static_cast<std::int32_t>(state.range(0)));
    bench::CountingCanvas canvas;
    for (auto _ : state) {
        DrawSheet(app);
        PaintSheet(canvas, app, 0.0, kWindowHeight);
        benchmark::DoNotOptimize(canvas.primitives);
    }
}

void BM_KeyPressNextCell(benchmark::State& state) {
    bench::SilentPlatform platform;
    AppState app(platform);
    openSheet(app, platform, static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        SheetKeyDown(app, SheetKey::kRight, {}); // wraps to row mode after Mms
        benchmark::DoNotOptimize(app.sel.cellH);
    }
}

// The far keys alternate so the selection stays inside the table: Page Down
// then Page Up, Ctrl+End then Ctrl+Home, Tab then Shift+Tab.
void BM_FarKeyPair(benchmark::State& state) {
    bench::SilentPlatform platform;
    AppState app(platform);
    openSheet(app, platform, static_cast<std::int32_t>(state.range(0)));
    const KeyModifiers none;
    const KeyModifiers ctrl{false, false, true, false};
    const KeyModifiers shift{false, true, false, false};
    const struct {
        std::int32_t code;
        KeyModifiers mods;
    } pairs[3][2] = {{{SheetKey::kPageDown, none}, {SheetKey::kPageUp, none}},
                     {{SheetKey::kEnd, ctrl}, {SheetKey::kHome, ctrl}},
                     {{SheetKey::kTab, none}, {SheetKey::kTab, shift}}};
    const auto& pair = pairs[state.range(1)];
    for (auto _ : state) {
        SheetKeyDown(app, pair[0].code, pair[0].mods);
        SheetKeyDown(app, pair[1].code, pair[1].mods);
        benchmark::DoNotOptimize(app.sel.cellV);
    }
    state.SetLabel(state.range(1) == 0   ? "Page Down, Page Up"
                   : state.range(1) == 1 ? "Ctrl+End, Ctrl+Home"
                                         : "Tab, Shift+Tab");
}

} // namespace

BENCHMARK(BM_DrawSheetAndPaint)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyPressNextCell)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FarKeyPair)->ArgsProduct({{100, 1'000'000}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);
