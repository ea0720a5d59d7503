#include "exchange/model_text.h"
#include "exchange/own_models.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

using namespace kestrune;

namespace {

// Rows whose names and numbers the model text cannot carry come back from
// the own form bit for bit, each number worked out or given as it was.
TEST(OwnModels, RowsComeBackBitForBit) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        std::string maker;
        std::string name;
        std::array<double, kParamCount> values;
        Param workedOut;
    };
    const Row rows[] = {
        {"Acme", "PR-1", {16.55, 22.5, 0.00345, 3.1256, 214.25, -1, 633.375, 74.45}, Param::Qmp},
        {"Tab\there",
         "back\\slash\r\n\\t",
         {-0.0, 1e-300, 5e9, 1.0 / 3, 0, 1e22, nan, 0.1 + 0.2},
         Param::Vd},
        {"\u00C5lborg \u97F3", std::string(255, 'n'), {1, 2, 3, 4, 5, 6, 7, -1e-20}, Param::Mms},
    };
    ModelTable table(nullptr);
    table.ensureRows(4);
    std::int32_t r = 0;
    for (const Row& row : rows) {
        ++r;
        table.Manufacturer.set(r, row.maker);
        table.ModelName.set(r, row.name);
        for (Param p : kAllParams) {
            const double v = row.values[static_cast<std::size_t>(p)];
            p == row.workedOut ? table.setValue(p, r, v) : table.setGivenValue(p, r, v);
        }
    }
    const std::optional<std::vector<PasteBuffer>> read = ReadOwnModels(OwnModelsText(table, 1, r));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), std::size(rows));
    for (std::int32_t k = 1; k <= r; ++k) {
        const PasteBuffer& model = (*read)[static_cast<std::size_t>(k - 1)];
        const PasteBuffer original = ModelOfRow(table, k);
        EXPECT_EQ(model.s_Manuf, original.s_Manuf);
        EXPECT_EQ(model.s_SP, original.s_SP);
        EXPECT_EQ(model.workedOut, original.workedOut) << k;
        for (std::size_t p = 0; p < kParamCount; ++p) {
            if (std::isnan(original.values[p])) {
                EXPECT_TRUE(std::isnan(model.values[p]));
            } else {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(model.values[p]),
                          std::bit_cast<std::uint64_t>(original.values[p]))
                    << k << " " << p;
            }
        }
    }
}

TEST(OwnModels, AnythingElseIsRefused) {
    const std::string fine = "Acme\tPR-1\t1\t2\t3\t4\t5\t6\t7\t~8\n";
    EXPECT_TRUE(ReadOwnModels(fine + fine));
    for (const std::string& text : {
             std::string(),
             std::string("Acme\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8"), // no line end
             std::string("Acme\tPR-1\t1\t2\t3\t4\t5\t6\t7\n"),  // a field short
             fine.substr(0, fine.size() - 1) + "\t9\n",         // one too many
             std::string("Acme\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8 g\n"),
             std::string("Acme\tPR-1\t1\t2\t3\t4\t5\t6\t\t8\n"),
             std::string("Acme\tPR-1\t1\t2\t3\t4\t5\t6\t~~7\t8\n"),
             std::string("A\\x\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8\n"), // no such escape
             std::string("A\\\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8\n"),
             std::string("\xC3\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8\n"), // not UTF-8
             std::string(256, 'a') + "\tPR-1\t1\t2\t3\t4\t5\t6\t7\t8\n",
             fine + "\n",
         }) {
        EXPECT_FALSE(ReadOwnModels(text)) << text;
    }
}

} // namespace
