#include "exchange/model_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(0.0078125, 5000.0);
    for (int i = 0; i < 500; ++i) {
        std::array<double, kParamCount> v{};
        for (double& x : v) {
            x = value(rng);
        }
        const Str255 written = text("Orvane Audio " + std::to_string(i), "PR 12-A (rev. 2)", v);
        StoreModel(table, 2, TextToParameterValue(written));
        ASSERT_EQ(ParameterValueToText(table, 2), written) << written.str();
    }
}

TEST_F(ModelText, TextsThatShiftWhenReadBack) {
    // A negative number has no leading space, so it joins the field before.
    std::array<double, kParamCount> v = kAcme;
    v[static_cast<std::size_t>(Param::Xmax)] = -1;
    PasteBuffer model = TextToParameterValue(text("Acme", "PX-1", v));
    EXPECT_EQ(model[Param::Xmax], 425);
    EXPECT_EQ(model[Param::Mms], 0);
    // Two spaces inside a name split it.
    model = TextToParameterValue(text("Acme  Audio", "PX-1", kAcme));
    EXPECT_EQ(model.s_SP.str(), "Audio");
    EXPECT_EQ(model[Param::Fp], 25.4);
    // The send text reads "DUMMY&" as the Manufacturer.
    model = TextToParameterValue(SendText(table, 1));
    EXPECT_EQ(model.s_Manuf.str(), "DUMMY&");
    EXPECT_EQ(model.s_SP.str(), "Acme");
}

TEST_F(ModelText, LongNamesCutTheTextAt255BytesAndTheLostFieldsReadEmpty) {
    const std::string maker(120, 'm');
    const std::string name(120, 'n');
    const Str255 cut = text(maker, name, kAcme);
    EXPECT_EQ(cut.str(), maker + "  " + name + "  25.4  20.5 "); // no carriage return
    const PasteBuffer model = TextToParameterValue(cut);
    EXPECT_EQ(model.s_SP.str(), name);
    EXPECT_EQ(model[Param::Fp], 20.5);
    for (Param p : {Param::Vap, Param::Qmp, Param::Sd, Param::Xmax, Param::Vd, Param::Mms}) {
        EXPECT_EQ(model[p], 0);
    }
    // Without any separator every field is empty, whatever numbers it holds.
    EXPECT_EQ(TextToParameterValue(
                  Str255("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"))[Param::Fp],
              0);
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
        const PasteBuffer model = TextToParameterValue(Str255(bytes));
        ASSERT_LE(model.s_Manuf.length() + model.s_SP.length(), 255);
    }
}

} // namespace
