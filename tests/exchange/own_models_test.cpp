#include "exchange/model_text.h"
#include "exchange/own_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace kestrune;

namespace {

// Rows the model text cannot carry come back from the own form bit for bit,
// each number worked out (Qmp here) or given as it was; nothing else reads.
TEST(OwnModels, RowsComeBackBitForBitAndNothingElseReads) {
    const std::array<std::array<double, kParamCount>, 2> values = {{
        {16.55, 22.5, 0.00345, 3.1256, 214.25, -1, 633.375, 74.45},
        {-0.0, 1e-300, 5e9, 1.0 / 3, std::nan(""), 1e22, 0.1 + 0.2, -1e-20},
    }};
    ModelTable table(nullptr);
    table.Manufacturer.set(2, "Tab\there \u00C5lborg");
    table.ModelName.set(2, "back\\slash\r\n\\t");
    for (std::int32_t r = 1; r <= 2; ++r) {
        for (Param p : kAllParams) {
            const double v = values[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(p)];
            p == Param::Qmp ? table.setValue(p, r, v) : table.setGivenValue(p, r, v);
        }
    }
    const std::optional<std::vector<PasteBuffer>> read = ReadOwnModels(OwnModelsText(table, 1, 2));
    ASSERT_TRUE(read && read->size() == 2);
    for (std::int32_t r = 1; r <= 2; ++r) {
        const PasteBuffer& model = (*read)[static_cast<std::size_t>(r - 1)];
        const PasteBuffer original = ModelOfRow(table, r);
        EXPECT_EQ(model.s_Manuf, original.s_Manuf);
        EXPECT_EQ(model.s_SP, original.s_SP);
        EXPECT_EQ(model.workedOut, original.workedOut);
        EXPECT_EQ(std::memcmp(&model.values, &original.values, sizeof(model.values)), 0) << r;
    }

    const std::string fine = "A\tB\t1\t2\t3\t4\t5\t6\t7\t~8";
    EXPECT_TRUE(ReadOwnModels(fine + "\n" + fine + "\n"));
    EXPECT_FALSE(ReadOwnModels(std::string(256, 'a') + fine.substr(1) + "\n"));
    const char* const refused[] = {"",
                                   "A\tB\t1\t2\t3\t4\t5\t6\t7\t8",
                                   "A\tB\t1\t2\t3\t4\t5\t6\t7\n",
                                   "A\tB\t1\t2\t3\t4\t5\t6\t7\t8\t9\n",
                                   "A\tB\t1\t2\t3\t4\t5\t6\t7\t8 g\n",
                                   "\\x\tB\t1\t2\t3\t4\t5\t6\t7\t8\n",
                                   "\xC3\tB\t1\t2\t3\t4\t5\t6\t7\t8\n"};
    for (const std::string text : refused) {
        EXPECT_FALSE(ReadOwnModels(text)) << text;
    }
}

} // namespace
