#include "exchange/pasted_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

struct Row {
    std::string maker;
    std::string name;
    std::array<double, kParamCount> values;
};

struct Case {
    const char* title;
    std::string text;
    std::vector<Row> rows; // empty: the paste is refused
    std::string refusal{}; // and why
};

const std::string kCells = "\t25.4\t20.5\t100.25\t5.1\t500\t8.5\t425\t100";
constexpr std::array<double, kParamCount> kValues = {25.4, 20.5, 100.25, 5.1, 500, 8.5, 425, 100};

TEST(ReadPastedRows, ClipboardTextsGiveModelsOrNothing) {
    const std::vector<Case> cases = {
        {"a spreadsheet's row", "Acme\tPX-1" + kCells + "\n", {{"Acme", "PX-1", kValues}}},
        {"three rows with CR LF, a decimal comma and an empty cell",
         "A\ta1" + kCells + "\r\nB\tb 2\t12,5\t-1\t0,001\t\t1e3\t2\t3\t4\r\nC\tc3" + kCells,
         {{"A", "a1", kValues},
          {"B", "b 2", {12.5, -1, 0.001, 0, 1000, 2, 3, 4}},
          {"C", "c3", kValues}}},
        {"lines ended by CR alone",
         "A\ta" + kCells + "\rB\tb" + kCells + "\r",
         {{"A", "a", kValues}, {"B", "b", kValues}}},
        {"quoted cells hold tabs, quotes and line breaks, which become blanks",
         "\"Acme\tAudio\"\t\"PX "
         "\"\"12\"\"\r\nrev\"\t\"25,4\"\t20.5\t100.25\t5.1\t500\t8.5\t425\t100",
         {{"Acme\tAudio", "PX \"12\" rev", kValues}}},
        {"a spreadsheet's header row, then rows with grouped numbers",
         "Manufacturer\tModel Name\tDia (cm)\tFp\tVap\tQmp\tSd\tXmax\tVd\tMms\r\n"
         "A\ta\t25.4\t20.5\t100.25\t5.1\t500\t8.5\t\"1,089.0\"\t100\r\n"
         "B\tb\t25.4\t20.5\t100.25\t5.1\t1,089\t8.5\t2,052.5\t100\r\n",
         {{"A", "a", {25.4, 20.5, 100.25, 5.1, 500, 8.5, 1089, 100}},
          {"B", "b", {25.4, 20.5, 100.25, 5.1, 1089, 8.5, 2052.5, 100}}}},
        {"decimal commas and grouping points",
         "A\ta\t25,4\t20,5\t1.100,25\t5,1\t500\t8,5\t1.089\t100",
         {{"A", "a", {25.4, 20.5, 1100.25, 5.1, 500, 8.5, 1089, 100}}}},
        {"a quote inside a cell is a character",
         "\"Big\" Audio\t12\" PR" + kCells,
         {{"\"Big\" Audio", "12\" PR", kValues}}},
        {"a row number before and empty cells after",
         "17\tAcme\tPX" + kCells + "\t\t\t\n",
         {{"Acme", "PX", kValues}}},
        {"the model text as this program writes it",
         "Brimfield  BX-9  30.5  22.1  150.125  3.3  510  9.25  472  95.5  \r",
         {{"Brimfield", "BX-9", {30.5, 22.1, 150.125, 3.3, 510, 9.25, 472, 95.5}}}},
        {"model texts and a spreadsheet's row mixed, blank lines skipped",
         "\n  \nA  a  1  2  3  4  5  6  7  -8  \r\t\t\nB\tb" + kCells + "\n\n",
         {{"A", "a", {1, 2, 3, 4, 5, 6, 7, -8}}, {"B", "b", kValues}}},
        {"the model text of a name holding a tab",
         "Acme\tAudio  PX-1  25.4  20.5  100.25  5.1  500  8.5  425  100  \r",
         {{"Acme\tAudio", "PX-1", kValues}}},
        {"nine cells",
         "Acme\tPX-1\t25.4\t20.5\t100.25\t5.1\t500\t8.5\t425\n",
         {},
         "Line 1: 9 fields, 10 expected"},
        {"eleven cells", "Acme\tPX-1" + kCells + "\t7\n", {}, "Line 1: 11 fields, 10 expected"},
        {"a first cell too many that is no row number",
         "x\tAcme\tPX-1" + kCells,
         {},
         "Line 1: 11 fields, 10 expected"},
        {"a word where a number belongs, after a header and a row",
         "Manufacturer\tModel Name\n\nA\ta" + kCells + "\nAcme\tPX-1\t25.4\tabc\t1\t1\t1\t1\t1\t1",
         {},
         "Line 4: Fp \u201Cabc\u201D is not a number"},
        {"a number with its unit",
         "Acme\tPX-1\t12.5\t20.5\t1\t1\t1\t1\t1,089.5 mm\t1",
         {},
         "Line 1: Vd \u201C1,089.5 mm\u201D is not a number"},
        {"a number beyond the doubles",
         "Acme\tPX-1\t1e400\t20.5\t1\t1\t1\t1\t1\t1",
         {},
         "Line 1: Dia \u201C1e400\u201D is not a number"},
        {"one bad line refuses the others",
         "A\ta" + kCells + "\nSome words from a long mail to a friend\nB\tb" + kCells,
         {},
         "Line 2: \u201CSome words from a long m\u2026\u201D is not a model"},
        {"a header row alone",
         "Manufacturer\tModel Name\tDia\r\n",
         {},
         "Only a header row to paste"},
        {"a header row only at the top: further down it is a model",
         "A\ta" + kCells + "\nManufacturer\tModel Name" + kCells,
         {{"A", "a", kValues}, {"Manufacturer", "Model Name", kValues}}},
        {"a model text typed with single spaces",
         "A  a 1 2 3 4 5 6 7 -8",
         {{"A", "a", {1, 2, 3, 4, 5, 6, 7, -8}}}},
        {"a model text with a ninth number", "A  a  1  2  3  4  5  6  7  8  9  \r", {}},
        {"a model text with seven numbers", "A  a  1  2  3  4  5  6  7  \r", {}},
        {"a model text without a Model Name", "A  1  2  3  4  5  6  7  8  \r", {}},
        {"a model text with a decimal comma", "A  a  1,5  2  3  4  5  6  7  8  \r", {}},
        {"words", "Some words  from a mail ..........................", {}},
        {"nothing but blank lines", "\r\n  \n\t\n", {}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const PastedRows pasted = ReadPastedRows(c.text);
        const std::vector<PasteBuffer>& models = pasted.models;
        ASSERT_EQ(models.size(), c.rows.size());
        if (!c.refusal.empty()) {
            EXPECT_EQ(pasted.refusal, c.refusal);
        }
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(models[i].s_Manuf.str(), c.rows[i].maker);
            EXPECT_EQ(models[i].s_SP.str(), c.rows[i].name);
            EXPECT_EQ(models[i].values, c.rows[i].values);
        }
    }
}

TEST(ReadPastedRows, LongTextsAreRefusedAndLongNamesCut) {
    const std::string line = "A\ta" + kCells + "\n";
    std::string text;
    for (std::size_t i = 0; i < kMaxPastedRows; ++i) {
        text += line;
    }
    ASSERT_LE(text.size(), kMaxPastedRowsBytes);
    EXPECT_EQ(ReadPastedRows(text).models.size(), kMaxPastedRows);
    EXPECT_TRUE(ReadPastedRows(text + line).models.empty());
    // Blank lines do not count as rows, but bytes do.
    EXPECT_TRUE(ReadPastedRows(line + std::string(kMaxPastedRowsBytes, '\n')).models.empty());

    const std::vector<PasteBuffer> models =
        ReadPastedRows(std::string(300, 'm') + "\t" + std::string(256, 'n') + kCells).models;
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(models.front().s_Manuf.str(), std::string(255, 'm'));
    EXPECT_EQ(models.front().s_SP.str(), std::string(255, 'n'));
}

TEST(ReadPastedRows, SurvivesAnyBytes) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> length(0, 600);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string common = "\t\t\t\"\"\r\n  0123456789.,-e"; // what cells are made of
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(rng)), '\0');
        for (char& c : bytes) {
            const int b = byte(rng);
            c = b < 160 ? common[static_cast<std::size_t>(b) % common.size()]
                        : static_cast<char>(byte(rng));
        }
        const PastedRows pasted = ReadPastedRows(bytes);
        ASSERT_LE(pasted.models.size(), bytes.size());
        ASSERT_NE(pasted.models.empty(), pasted.refusal.empty());
    }
}

} // namespace
