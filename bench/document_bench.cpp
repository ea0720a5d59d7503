// Writing and reading data-sheet documents of 10k, 100k, 1M and 10M models.

#include "catalogue.h"
#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"
#include "floor.h"
#include "runtime/number_text.h"
#include "sheet/sorting.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrune;

namespace {

std::string benchPath(std::int32_t rows) {
    return "/tmp/kestrune_bench_" + std::to_string(::getpid()) + "_" + std::to_string(rows) +
           ".kedata";
}

// A random catalogue of rows models written as a document at path.
void writeCatalogue(std::int32_t rows, const std::string& path) {
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    WriteDataSheet(table, path);
}

// The same random catalogue as a CSV table with its header; its path.
std::string writeCSVCatalogue(std::int32_t rows) {
    const std::string path = benchPath(rows) + ".csv";
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    WriteCSVTable(table, path);
    return path;
}

constexpr int kFpItem = 3;

// The same catalogue written by a child process, so that the table it was
// made from never counts in this process's peak memory.
void writeCatalogueApart(std::int32_t rows, const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        writeCatalogue(rows, path);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// Writes the table to a document in every run; sortedByFp sorts it by Fp
// first, so that the rows' names lie in another order than they were made.
void writeTable(benchmark::State& state, bool sortedByFp) {
    ModelTable table(nullptr);
    const auto rows = static_cast<std::int32_t>(state.range(0));
    bench::fillRandomCatalogue(table, rows);
    if (sortedByFp) {
        AscendSort(table, kFpItem);
    }
    const std::string path = benchPath(rows);
    for (auto _ : state) {
        const SaveOutcome outcome = WriteDataSheet(table, path);
        benchmark::DoNotOptimize(outcome.ok);
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    state.counters["MB"] = static_cast<double>(in.tellg()) / 1e6;
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

void BM_WriteDocument(benchmark::State& state) {
    writeTable(state, false);
}

// A save after a sort: compare with BM_WriteDocument, the save in load order.
void BM_SaveAfterSort(benchmark::State& state) {
    writeTable(state, true);
}

// Reads the catalogue's document into a fresh table in every run; with
// lineFeeds its lines end in LF, as text tools on this system leave them,
// and reading must cost what it costs with CR.
void readCatalogue(benchmark::State& state, bool lineFeeds) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = benchPath(rows);
    writeCatalogue(rows, path);
    if (lineFeeds) {
        std::string bytes;
        {
            std::ifstream in(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::replace(bytes.begin(), bytes.end(), '\r', '\n');
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    for (auto _ : state) {
        const TableRead read = ReadDataSheet(ModelTable(nullptr), path);
        benchmark::DoNotOptimize(read.table.fNum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

void BM_ReadDocument(benchmark::State& state) {
    readCatalogue(state, false);
}

void BM_ReadDocumentWithLineFeeds(benchmark::State& state) {
    readCatalogue(state, true);
}

// Peak resident memory of the process (run each alone:
// --benchmark_filter=PeakMemoryOfLoadedTable/10000000 and so on) after
// loading a document into a fresh table, and then, by steps, sorting it by
// Fp and saving it; peak_per_document is that memory over the document's
// size.
void peakMemory(benchmark::State& state, int steps) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = benchPath(rows);
    writeCatalogueApart(rows, path);
    std::uint64_t documentBytes = 0;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        documentBytes = static_cast<std::uint64_t>(in.tellg());
    }
    for (auto _ : state) {
        TableRead read = ReadDataSheet(ModelTable(nullptr), path);
        if (steps >= 1) {
            AscendSort(read.table, kFpItem);
        }
        if (steps >= 2) {
            benchmark::DoNotOptimize(WriteDataSheet(read.table, path).ok);
        }
        benchmark::DoNotOptimize(read.table.fNum);
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    state.counters["peak_RSS_MB"] = peak / 1e6;
    state.counters["document_MB"] = static_cast<double>(documentBytes) / 1e6;
    state.counters["peak_per_document"] = peak / static_cast<double>(documentBytes);
    std::remove(path.c_str());
}

void BM_PeakMemoryOfLoadedTable(benchmark::State& state) {
    peakMemory(state, 0);
}
void BM_PeakMemoryOfSortedTable(benchmark::State& state) {
    peakMemory(state, 1);
}
void BM_PeakMemoryOfSortedAndSavedTable(benchmark::State& state) {
    peakMemory(state, 2);
}

// The floor (floor.h) for the bytes of the same document.
void BM_FloorWriteAndSync(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    std::string bytes;
    for (std::int32_t r = 1; r <= rows; ++r) {
        AppendDocumentRecord(bytes, table, r);
    }
    const std::string path = benchPath(rows) + ".floor";
    bench::timeWriteAndSync(state, bytes, path);
    state.SetItemsProcessed(state.iterations() * rows);
}

// Imports a CSV file of the catalogue (with its header) into a fresh table
// in every run.
void importCatalogue(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = writeCSVCatalogue(rows);
    for (auto _ : state) {
        const TableImport read = ReadCSVTable(ModelTable(nullptr), path);
        benchmark::DoNotOptimize(read.table.fNum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

// Peak resident memory of the process after importing; compare with
// BM_PeakMemoryOfLoadedTable (each run on its own:
// --benchmark_filter=PeakMemoryOfImported).
void BM_PeakMemoryOfImportedCSV(benchmark::State& state) {
    importCatalogue(state);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_RSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ImportCSV(benchmark::State& state) {
    importCatalogue(state);
}

void BM_PSstr(benchmark::State& state) {
    double x = 0.123456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PSstr(x));
        x += 1.37;
    }
}

// The text of every record on one core, with no file: what a save costs
// beyond the disk, without the disk's noise.
void BM_FormatRecords(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    ModelTable table(nullptr);
    bench::fillRandomCatalogue(table, rows);
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        for (std::int32_t r = 1; r <= rows; ++r) {
            AppendDocumentRecord(bytes, table, r);
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_PSval(benchmark::State& state) {
    const std::string text = " 1234.56";
    for (auto _ : state) {
        benchmark::DoNotOptimize(PSval(text));
    }
}

} // namespace

namespace {

// The sizes every document benchmark runs at: the cost per row must stay
// flat from the smallest to the largest. Timed by the clock on the wall, as
// a user waits: the work is shared over the cores, and the time of the
// calling thread alone would leave the others' out.
void documentSizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)
        ->Arg(100'000)
        ->Arg(1'000'000)
        ->Arg(10'000'000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}
// Peaks at the largest size, and at 1M for a quicker look.
void peakSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000'000)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_WriteDocument)->Apply(documentSizes);
BENCHMARK(BM_SaveAfterSort)->Apply(documentSizes);
BENCHMARK(BM_ReadDocument)->Apply(documentSizes);
BENCHMARK(BM_ReadDocumentWithLineFeeds)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryOfLoadedTable)->Apply(peakSizes);
BENCHMARK(BM_PeakMemoryOfSortedTable)->Apply(peakSizes);
BENCHMARK(BM_PeakMemoryOfSortedAndSavedTable)->Apply(peakSizes);
BENCHMARK(BM_ImportCSV)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryOfImportedCSV)->Arg(1'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorWriteAndSync)->Apply(documentSizes);
BENCHMARK(BM_FormatRecords)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PSstr);
BENCHMARK(BM_PSval);
