#pragma once
// A reproducible random catalogue for the benchmarks, its numbers rounded
// as a document keeps them (two places, three for Qmp, one for Mms), as a
// sheet holds them once opened.

#include "model/app_state.h"
#include "runtime/number_text.h"

#include <random>
#include <string>

namespace kestrune::bench {

inline void fillRandomCatalogue(ModelTable& table, std::int32_t rows, unsigned seed = 42) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> dia(5.0, 60.0);
    std::uniform_real_distribution<double> fp(10.0, 60.0);
    std::uniform_real_distribution<double> vap(1.0, 900.0);
    std::uniform_real_distribution<double> qmp(1.0, 20.0);
    std::uniform_real_distribution<double> sd(50.0, 2500.0);
    std::uniform_real_distribution<double> xmax(2.0, 40.0);
    std::uniform_real_distribution<double> vd(100.0, 9000.0);
    std::uniform_real_distribution<double> mms(10.0, 900.0);
    static const char* const makers[] = {"Acme", "Borealis Audio", "Cardinal", "Dunmore",
                                         "Eastfield Sound"};
    table.fNum = rows;
    table.ensureRows(rows + 1);
    for (std::int32_t r = 1; r <= rows; ++r) {
        table.Number[r] = r;
        table.Manufacturer.set(r, makers[rng() % 5]);
        table.ModelName.set(r, "PR-" + std::to_string(rng() % 100000));
        table.setValue(Param::Dia, r, RoundToScale(dia(rng), 100));
        table.setValue(Param::Fp, r, RoundToScale(fp(rng), 100));
        table.setValue(Param::Vap, r, RoundToScale(vap(rng), 100));
        table.setValue(Param::Qmp, r, RoundToScale(qmp(rng), 1000));
        table.setValue(Param::Sd, r, RoundToScale(sd(rng), 100));
        table.setValue(Param::Xmax, r, RoundToScale(xmax(rng), 100));
        table.setValue(Param::Vd, r, RoundToScale(vd(rng), 100));
        table.setValue(Param::Mms, r, RoundToScale(mms(rng), 10));
    }
}

// The same catalogue, but a tenth of its rows, at random, by Polish and
// Japanese makers whose names are written in their own letters.
inline void fillMixedCatalogue(ModelTable& table, std::int32_t rows, unsigned seed = 42) {
    fillRandomCatalogue(table, rows, seed);
    std::mt19937_64 rng(seed + 1);
    static const char* const makers[] = {"\u0141\u00F3dzkie G\u0142o\u015Bniki",
                                         "\u017Bywiec Akustyka", "\u6771\u4EAC\u97F3\u97FF",
                                         "\u30AA\u30FC\u30C7\u30A3\u30AA\u5DE5\u623F"};
    static const char* const models[] = {"B\u0119ben ", "Membrana-", "\u30D1\u30C3\u30B7\u30D6-",
                                         "\u53D7\u52D5\u578B "};
    for (std::int32_t r = 1; r <= rows; ++r) {
        if (rng() % 10 != 0) {
            continue;
        }
        const std::size_t which = rng() % 4;
        table.Manufacturer.set(r, makers[which]);
        table.ModelName.set(r, models[which] + std::to_string(rng() % 100000));
    }
}

} // namespace kestrune::bench
