// What showing progress costs the long work itself: the same document read,
// written and sorted with and without a progress to advance.

#include "catalogue.h"
#include "documents/data_sheet_format.h"
#include "sheet/sorting.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

using namespace kestrune;

namespace {

std::string benchPath(std::int32_t rows) {
    return "/tmp/kestrune_progress_bench_" + std::to_string(::getpid()) + "_" +
           std::to_string(rows) + ".kedata";
}

// state.range(1): 1 with a progress, 0 without.
WorkProgress* progressFor(benchmark::State& state, WorkProgress& progress) {
    return state.range(1) != 0 ? &progress : nullptr;
}

void BM_ReadWithProgress(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = benchPath(rows);
    {
        ModelTable table(nullptr);
        bench::fillRandomCatalogue(table, rows);
        WriteDataSheet(table, path);
    }
    for (auto _ : state) {
        WorkProgress progress;
        const TableRead read =
            ReadDataSheet(ModelTable(nullptr), path, progressFor(state, progress));
        benchmark::DoNotOptimize(read.table.fNum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

void BM_WriteWithProgress(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = benchPath(rows);
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    for (auto _ : state) {
        WorkProgress progress(static_cast<std::uint64_t>(rows));
        const SaveOutcome outcome = WriteDataSheet(table, path, progressFor(state, progress));
        benchmark::DoNotOptimize(outcome.ok);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

void BM_SortWithProgress(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    for (auto _ : state) {
        WorkProgress progress;
        AscendSort(table, 3, progressFor(state, progress)); // Fp
        state.PauseTiming();
        AscendSort(table, 1); // back to the load order
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_ReadWithProgress)
    ->ArgsProduct({{1'000'000, 10'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWithProgress)
    ->ArgsProduct({{1'000'000, 10'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortWithProgress)
    ->ArgsProduct({{1'000'000, 10'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
