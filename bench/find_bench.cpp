// Find and Check Parameters on a large catalogue: one step of Find that
// matches nothing reads every name once; counting the marked rows reads
// five numbers of every row once.

#include "catalogue.h"

#include "sheet/find_rows.h"
#include "sheet/parameter_checks.h"

#include <benchmark/benchmark.h>

using namespace kestrune;

namespace {

void findNoMatch(benchmark::State& state, const char* needle,
                 void (*fill)(ModelTable&, std::int32_t, unsigned)) {
    ModelTable table(nullptr);
    const auto rows = static_cast<std::int32_t>(state.range(0));
    fill(table, rows, 42);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindNextName(table, needle, 1));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_FindNoMatch(benchmark::State& state) {
    findNoMatch(state, "zz-9", bench::fillRandomCatalogue);
}
// A tenth of the names in Polish and Japanese letters, which the table
// cannot weigh.
void BM_FindNoMatchMixed(benchmark::State& state) {
    findNoMatch(state, "zz-9", bench::fillMixedCatalogue);
}
// A needle with a letter the table cannot weigh.
void BM_FindAccentedNoMatch(benchmark::State& state) {
    findNoMatch(state, "\u017Cz-9", bench::fillRandomCatalogue);
}

void BM_CountMarkedRows(benchmark::State& state) {
    ModelTable table(nullptr);
    const auto rows = static_cast<std::int32_t>(state.range(0));
    bench::fillRandomCatalogue(table, rows);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountMarkedRows(table));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_FindNoMatch)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNoMatchMixed)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAccentedNoMatch)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountMarkedRows)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
