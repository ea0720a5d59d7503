// What the help documents tell the user, checked against the program: the
// worked examples come out of the calculators as printed, the example model
// is written to documents and the clipboard as shown, and every shortcut of
// the menu bar stands beside its command in the manuals' menu reference.

#include "pdf_text.h"

#include "calculators/formulas.h"
#include "calculators/mass_formulas.h"
#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "exchange/model_text.h"
#include "model/app_state.h"
#include "model/menu_model.h"
#include "runtime/number_text.h"
#include "sheet/cell_text.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <string_view>

namespace kestrune::test {
namespace {

const char* const kManual = "Kestrune's_Manual.pdf";
const char* const kManualJa = "Kestrune_Manual_ja.pdf";
const char* const kParameters = "T_S_Parameters_Description.pdf";

// The document's text twice: in reading order, and with the lines kept as
// they are laid out (a line at the foot of a page can come apart in reading
// order, a paragraph beside a table in the layout).
std::string documentText(const char* file) {
    const std::string path = imagesPath(file);
    return squeezed(pdfText(path)) + "\n" + squeezed(pdfText(path, true));
}

// A number as a calculator shows it, without the blank PSstr puts first.
std::string shown(std::string_view text) {
    return squeezed(text);
}

std::string shown(const Str255& text) {
    return shown(text.view());
}

// Row 1 holds the example model of the documents: the PR-250.
class WorkedExamples : public ::testing::Test {
protected:
    WorkedExamples() {
        app.table.fNum = 1;
        app.table.ensureRows(2);
        app.table.Manufacturer.set(1, "Orvane Audio");
        app.table.ModelName.set(1, "PR-250");
        const double values[] = {25.0, 21.5, 0.0, 6.2, 340.0, 14.0, 0.0, 145.0};
        for (Param p : kAllParams) {
            app.table.setValue(p, 1, values[static_cast<std::size_t>(p)]);
        }
        app.sel.cellV = 1;
    }

    void expectInDocuments(const std::string& phrase, std::initializer_list<const char*> files) {
        for (const char* file : files) {
            const std::string& text = texts_[file];
            if (text.empty()) {
                texts_[file] = documentText(file);
            }
            EXPECT_NE(texts_[file].find(phrase), std::string::npos)
                << file << " does not show: " << phrase;
        }
    }

    FakePlatform platform;
    AppState app{platform};
    std::map<std::string, std::string> texts_;
};

TEST_F(WorkedExamples, VapAndVdAsTheVapCalculatorGivesThem) {
    VasCalc(app, CalcFields{"21.5", "145", "340", "6.2", "14"});
    ASSERT_FALSE(app.calc.UncalcFlag);
    expectInDocuments("= " + shown(app.calc.s_VAS5), {kManual, kParameters, kManualJa});
    expectInDocuments("= " + shown(app.calc.s_VD5) + " cm³", {kManual, kParameters, kManualJa});
    // The Vap the row then holds, as the manuals quote it.
    expectInDocuments(shown(RoundedPSstr(app.calc.VAS5, 1000)) + "...", {kManual, kManualJa});
}

TEST_F(WorkedExamples, SdFromTheEffectiveDiameter) {
    SdCalc(app, CalcFields{"208"});
    ASSERT_FALSE(app.calc.UncalcFlag);
    expectInDocuments(shown(app.calc.s_SD5), {kManual, kParameters, kManualJa});
    const std::string hundredths = shown(RoundedPSstr(app.calc.SD5, 100));
    expectInDocuments("π × 10.4² = " + hundredths + " cm²", {kManual, kManualJa});
}

TEST_F(WorkedExamples, VdInSquareCentimetresAndSquareMetres) {
    VdCalc(app, CalcFields{"339.8", "14"});
    ASSERT_FALSE(app.calc.UncalcFlag);
    const std::string vd = shown(app.calc.s_VD5);
    expectInDocuments("= " + vd + " cm³", {kManual, kManualJa});

    app.calc.VdRadioID = 2;
    VdCalc(app, CalcFields{"0.03398", "14"});
    ASSERT_FALSE(app.calc.UncalcFlag);
    EXPECT_EQ(shown(app.calc.s_VD5), vd) << "the manuals say both units give the same Vd";
    TransToSheetVd(app);
    EXPECT_DOUBLE_EQ(app.table.value(Param::Sd, 1), 339.8) << "stored in cm², as the manuals say";
}

TEST_F(WorkedExamples, FeetToMetricTable) {
    struct Conversion {
        std::int32_t tab;
        const char* input;
        const char* from;
        const char* to;
    };
    const Conversion conversions[] = {{1, "10", "10 inch", " cm"},
                                      {2, "2.2", "2.2 feet³", " "},
                                      {3, "52.7", "52.7 inch²", " cm²"},
                                      {4, "0.55", "0.55 inch", " mm"},
                                      {5, "29", "29 inch³", " cm³"}};
    for (const Conversion& c : conversions) {
        app.calc.tabItem = c.tab;
        CalcFtToMet(app, CalcFields{c.input});
        ASSERT_FALSE(app.calc.UncalcFlag) << c.input;
        const std::string phrase = std::string(c.from) + " = " + shown(app.calc.s_FTMout) + c.to;
        expectInDocuments(phrase, {kManual, kManualJa});
    }
}

TEST_F(WorkedExamples, MmsFromVapAndTheMassThatTunesABox) {
    MmsCalc(app, CalcFields{"21.5", "61.36", "340"});
    ASSERT_FALSE(app.calc.UncalcFlag);
    const std::string mms = shown(PlusCommaZero(app.calc.s_MMS5, 1)); // to tenths, as written
    expectInDocuments("= " + mms + " grams", {kManual});
    expectInDocuments("= " + mms + " グラム", {kManualJa});

    app.calc.AddMassRadioID = 2; // two of them, 150 liters tuned to 16 Hz
    AddMassRun run;
    CalcFields fields{"21.5", "145", "61.36"};
    fields.field109 = "150";
    fields.field110 = "2";
    fields.field111 = "16";
    ASSERT_EQ(AddMassCalc(app, fields, run), CalcOutcome::Computed);
    expectInDocuments(shown(app.calc.s_ADDM5) + " grams on each radiator", {kManual});
    expectInDocuments(shown(app.calc.s_ADDM5) + " グラム", {kManualJa});
    expectInDocuments(shown(app.calc.s_NEWFP5) + " Hz", {kManual, kManualJa});
}

// After the Vap calculator has written its results, the example model is
// stored and copied exactly as the manuals print it.
TEST_F(WorkedExamples, TheExampleModelAsDocumentLineAndClipboardText) {
    VasCalc(app, CalcFields{"21.5", "145", "340", "6.2", "14"});
    TransToSheetVas(app);

    std::string record;
    AppendDocumentRecord(record, app.table, 1);
    expectInDocuments(squeezed(record), {kManual, kManualJa});
    expectInDocuments(squeezed(ParameterValueToText(app.table, 1).view()), {kManual, kManualJa});
    expectInDocuments(std::string(kCSVHeader), {kManual, kManualJa});
}

std::string shortcutText(const Shortcut& s) {
    return std::string("Ctrl+") + (s.shift ? "Shift+" : "") + s.key;
}

// Each command with a shortcut has a row of the menu reference that holds
// both its title and its shortcut.
TEST(MenuReference, ListsEveryShortcutBesideItsCommand) {
    const MenuModel menus;
    for (const char* file : {kManual, kManualJa}) {
        const std::vector<std::string> rows = lines(pdfText(imagesPath(file), true));
        ASSERT_GT(rows.size(), 100u) << file;
        int checked = 0;
        for (const Menu& menu : menus.menus()) {
            for (const MenuItem& item : menu.items) {
                if (item.separator || item.shortcut.empty() || item.title.empty()) {
                    continue;
                }
                const std::string keys = shortcutText(item.shortcut);
                bool found = false;
                for (const std::string& row : rows) {
                    const auto at = row.find(item.title);
                    if (at == std::string::npos) {
                        continue;
                    }
                    const auto key = row.find(keys, at + item.title.size());
                    // Ctrl+S must not be found as the start of Ctrl+Shift+S: the
                    // shortcut ends where no letter, digit or '+' follows.
                    if (key != std::string::npos) {
                        const auto end = key + keys.size();
                        const auto next =
                            end < row.size() ? static_cast<unsigned char>(row[end]) : 0;
                        if (next != '+' && !std::isalnum(next)) {
                            found = true;
                            break;
                        }
                    }
                }
                EXPECT_TRUE(found) << file << ": no row with " << item.title << " and " << keys;
                ++checked;
            }
        }
        EXPECT_GE(checked, 20);
    }
}

} // namespace
} // namespace kestrune::test
