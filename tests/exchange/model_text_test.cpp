#include "exchange/model_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

class ModelText : public ::testing::Test {
protected:
    ModelText() { table.ensureRows(3); }
    Str255 text(std::string_view maker, std::string_view name,
                const std::array<double, kParamCount>& v) {
        table.Manufacturer.set(1, maker);
        table.ModelName.set(1, name);
        for (Param p : kAllParams) {
            table.setValue(p, 1, v[static_cast<std::size_t>(p)]);
        }
        return ParameterValueToText(table, 1);
    }
    ModelTable table{nullptr};
};

constexpr std::array<double, kParamCount> kAcme = {25.4, 20.5, 100.25, 5.1, 500, 8.5, 425, 100};

TEST_F(ModelText, FieldsAreTwoSpacesApartAndRoundedPerParameter) {
    EXPECT_EQ(text("Acme", "PX-1", kAcme).str(),
              "Acme  PX-1  25.4  20.5  100.25  5.1  500  8.5  425  100  \r");
    EXPECT_EQ(SendText(table, 1).str(),
              "DUMMY&  Acme  PX-1  25.4  20.5  100.25  5.1  500  8.5  425  100  \r");
    // Ties go to even: 20.125 -> 20.12, 12.25 -> 12.2, 0.05 -> 0.
    EXPECT_EQ(text("M", "N", {25.44, 20.125, 1.23456, 0.5555, 12.25, 3.14159, 7.005, 0.05}).str(),
              "M  N  25.4  20.12  1.235  0.556  12.2  3.14  7  0  \r");
}

TEST_F(ModelText, WhatItWritesReadsBackByteForByte) {
    // Negative numbers and those PSstr writes in scientific style have no
    // leading space; names may hold single spaces or be empty.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> magnitude(-8.0, 4.0);
    std::uniform_int_distribution<int> coin(0, 3);
    const std::array<std::string, 4> makers = {"Orvane Audio", "", " Lead", "X"};
    const std::array<std::string, 4> names = {"PR 12-A (rev. 2)", "", "PX-1", "a b c "};
    for (int i = 0; i < 2000; ++i) {
        std::array<double, kParamCount> v{};
        for (double& x : v) {
            x = (coin(rng) == 0 ? -1 : 1) * std::pow(10.0, magnitude(rng));
        }
        const Str255 written = text(makers[static_cast<std::size_t>(coin(rng))],
                                    names[static_cast<std::size_t>(coin(rng))], v);
        const std::optional<PasteBuffer> model = TextToParameterValue(written.view());
        ASSERT_TRUE(model.has_value()) << written.str();
        StoreModel(table, 2, *model);
        ASSERT_EQ(ParameterValueToText(table, 2).str(), written.str());
    }
}

TEST_F(ModelText, LongNamesCutTheTextAt255BytesAndItNoLongerReadsAsAModel) {
    const std::string maker(120, 'm');
    const std::string name(120, 'n');
    const Str255 cut = text(maker, name, kAcme);
    EXPECT_EQ(cut.str(), maker + "  " + name + "  25.4  20.5 "); // no carriage return
    EXPECT_FALSE(TextToParameterValue(cut.view()).has_value());
}

TEST_F(ModelText, TextsThatReadBackOtherwise) {
    // Two spaces inside the Manufacturer end it there.
    std::optional<PasteBuffer> model =
        TextToParameterValue(text("Acme  Audio", "PX-1", kAcme).view());
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->s_Manuf.str(), "Acme");
    EXPECT_EQ(model->s_SP.str(), "Audio  PX-1");
    EXPECT_EQ((*model)[Param::Dia], 25.4);
    // The send text reads "DUMMY&" as the Manufacturer.
    model = TextToParameterValue(SendText(table, 1).view());
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->s_Manuf.str(), "DUMMY&");
    EXPECT_EQ(model->s_SP.str(), "Acme  Audio  PX-1");
}

TEST(TextToParameterValue, SurvivesAnyBytes) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string common = "  0123456789.-+eE&Hx"; // separators and numbers turn up often
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(rng)), '\0');
        for (char& c : bytes) {
            const int b = byte(rng);
            c = b < 128 ? common[static_cast<std::size_t>(b) % common.size()]
                        : static_cast<char>(byte(rng));
        }
        const std::optional<PasteBuffer> model = TextToParameterValue(bytes);
        if (model) {
            ASSERT_LE(model->s_Manuf.length() + model->s_SP.length(), bytes.size());
        }
    }
}

} // namespace
