// Importing a UTF-8 table as a spreadsheet writes it (a byte-order mark, a
// header line, CR LF, accented names, some of them quoted) against reading
// the same rows as a document, at 10k, 100k, 1M and 10M models.

#include "documents/csv_export.h"
#include "documents/csv_import.h"
#include "documents/data_sheet_format.h"
#include "floor.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace kestrune;

namespace {

// Makers and models as a catalogue from several countries names them, in
// Mac OS Roman: é, ü, ñ, ø, å, ö, É, ç, “”, and commas that need quotes.
constexpr const char* kMakers[] = {
    "M\x9Fller Akustik", "Se\x96or Sonido", "Bj\xBFrn Lyd",   "\x83lan Audio", "Acme",
    "K\x9A\x9Fhler",     "Gar\x8Don, Fils", "\x8Cngstr\x9Am", "Caf\x8E Sound", "Borealis Audio"};
constexpr const char* kSeries[] = {"PR-", "Pass\x8E ", "Gr\x9F\x9Dn ", "\xD2Tief\xD3 ", "Basse, "};

// Rows first to first + count - 1 of a catalogue made from rng, written into
// rows 1 on of table.
void fillAccented(ModelTable& table, std::int32_t count, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr double kLow[kParamCount] = {5, 10, 1, 1, 50, 2, 100, 10};
    constexpr double kHigh[kParamCount] = {60, 60, 900, 20, 2500, 40, 9000, 900};
    table.fNum = count;
    table.ensureRows(count + 1);
    for (std::int32_t r = 1; r <= count; ++r) {
        table.Number[r] = r;
        table.Manufacturer.set(r, kMakers[rng() % std::size(kMakers)]);
        table.ModelName.set(r,
                            kSeries[rng() % std::size(kSeries)] + std::to_string(rng() % 100000));
        for (Param p : kAllParams) {
            const auto k = static_cast<std::size_t>(p);
            table.setValue(p, r, kLow[k] + (kHigh[k] - kLow[k]) * unit(rng));
        }
    }
}

// Writes rows models to path a block at a time, so that making the file
// costs the process little memory: begin opens the file, record appends
// one row's line.
using AppendRecord = std::function<void(std::string&, const ModelTable&, std::int32_t)>;
void writeRows(const std::string& path, std::int32_t rows, const std::string& begin,
               const AppendRecord& record) {
    constexpr std::int32_t kBlock = 50'000;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(begin.data(), 1, begin.size(), file);
    std::mt19937_64 rng(42);
    std::string bytes;
    for (std::int32_t done = 0; done < rows; done += kBlock) {
        ModelTable table(nullptr);
        fillAccented(table, std::min(kBlock, rows - done), rng);
        bytes.clear();
        for (std::int32_t r = 1; r <= table.fNum; ++r) {
            record(bytes, table, r);
        }
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    std::fclose(file);
}

std::string benchPath(std::int32_t rows, const char* extension) {
    return "/tmp/kestrune_import_bench_" + std::to_string(::getpid()) + "_" + std::to_string(rows) +
           extension;
}

// The catalogue as a spreadsheet exports it: UTF-8 behind a byte-order
// mark, CR LF.
std::string writeSpreadsheetCatalogue(std::int32_t rows) {
    const std::string path = benchPath(rows, ".csv");
    writeRows(path, rows, "\xEF\xBB\xBF" + std::string(kCSVHeader) + "\r\n",
              [](std::string& out, const ModelTable& table, std::int32_t r) {
                  AppendCSVRecord(out, table, r);
                  out.push_back('\n'); // after its CR
              });
    return path;
}

std::string writeDocumentCatalogue(std::int32_t rows) {
    const std::string path = benchPath(rows, ".kedata");
    writeRows(path, rows, "", [](std::string& out, const ModelTable& table, std::int32_t r) {
        AppendDocumentRecord(out, table, r);
    });
    return path;
}

// Reads the catalogue that write makes, with read, in every run.
template <typename Write, typename Read>
void readCatalogue(benchmark::State& state, Write write, Read read) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string path = write(rows);
    for (auto _ : state) {
        if (read(path).table.fNum != rows) {
            state.SkipWithError("the read lost rows");
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}

void importSpreadsheetCatalogue(benchmark::State& state) {
    readCatalogue(state, writeSpreadsheetCatalogue,
                  [](const std::string& path) { return ReadCSVTable(ModelTable(nullptr), path); });
}

void readDocumentCatalogue(benchmark::State& state) {
    readCatalogue(state, writeDocumentCatalogue,
                  [](const std::string& path) { return ReadDataSheet(ModelTable(nullptr), path); });
}

void reportPeakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_RSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ImportUtf8CSV(benchmark::State& state) {
    importSpreadsheetCatalogue(state);
}

void BM_ReadSameRowsAsDocument(benchmark::State& state) {
    readDocumentCatalogue(state);
}

// Peak resident memory of the process: each run on its own
// (--benchmark_filter=PeakMemoryOfUtf8Import/1000000 and so on).
void BM_PeakMemoryOfUtf8Import(benchmark::State& state) {
    importSpreadsheetCatalogue(state);
    reportPeakMemory(state);
}

void BM_PeakMemoryOfSameRowsAsDocument(benchmark::State& state) {
    readDocumentCatalogue(state);
    reportPeakMemory(state);
}

// The floor at ten million models too: the document's bytes, in memory,
// put into a file with one write and one fsync.
void BM_FloorWriteAndSyncOfSameRows(benchmark::State& state) {
    const auto rows = static_cast<std::int32_t>(state.range(0));
    const std::string source = writeDocumentCatalogue(rows);
    std::string bytes;
    {
        std::FILE* file = std::fopen(source.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::ftell(file)));
        std::rewind(file);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    std::remove(source.c_str());
    const std::string path = source + ".floor";
    bench::timeWriteAndSync(state, bytes, path);
}

} // namespace

BENCHMARK(BM_ImportUtf8CSV)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSameRowsAsDocument)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryOfUtf8Import)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryOfSameRowsAsDocument)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorWriteAndSyncOfSameRows)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
