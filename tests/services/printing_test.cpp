#include "services/printing.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "model/app_state.h"
#include "model/menu_model.h"
#include "services/print_scale.h"
#include "sheet/sheet_labels.h"
#include "support/fake_platform.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace kestrune;
using kestrune::test::DrawCall;
using kestrune::test::FakePlatform;
using kestrune::test::RecordingCanvas;

namespace {

constexpr int kPageSetupItem = 12;
constexpr int kPrintItem = 13;
const Colour kBlack{0.0, 0.0, 0.0};

constexpr double kMm = 72.0 / 25.4;

// Papers upright, in points.
PageFormat paper(double width, double height, bool landscape, double margin) {
    return {width, height, landscape, {margin, margin, margin, margin}, 100.0};
}
PageFormat a4(bool landscape, double margin) {
    return paper(595.0, 842.0, landscape, margin);
}
PageFormat letter(bool landscape, double margin) {
    return paper(612.0, 792.0, landscape, margin);
}

// US Letter in landscape with quarter-inch margins: 774 / 594 from the
// printable area's corner is below 1.35.
const PageFormat kLetterLandscape = letter(true, 18.0);

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        NewDataSheet(app);
        fill(120);
    }

    void fill(std::int32_t rows) {
        app.table.ensureRows(rows + 1);
        for (std::int32_t r = 1; r <= rows; ++r) {
            app.table.Number[r] = r;
            app.table.Manufacturer.set(r, "Maker" + std::to_string(r));
            app.table.ModelName.set(r, "PR-" + std::to_string(r));
            app.table.setValue(Param::Dia, r, 10.0 + r);
            app.table.setValue(Param::Qmp, r, 0.5 * r);
        }
        for (std::int32_t r = rows + 1; r <= app.table.fNum; ++r) {
            app.table.emptyRow(r, true);
        }
        app.table.fNum = rows;
    }

    // The page as printed, drawn into the printed page.
    RecordingCanvas printPage(std::int32_t page, std::int32_t lastPage,
                              const std::string& name = "Speakers.kedata") {
        RecordingCanvas canvas;
        canvas.st.DoPrint = 1;
        PrintSheet(canvas, app.table, name, page, lastPage);
        return canvas;
    }

    // The Manufacturer texts of a printed page, top to bottom.
    static std::vector<DrawCall> makers(const RecordingCanvas& canvas) {
        std::vector<DrawCall> out;
        for (const DrawCall& c : canvas.texts()) {
            if (c.x0 == kPageOriginX + 34.0) {
                out.push_back(c);
            }
        }
        return out;
    }

    bool usable(int item) const { return app.menus.usable(MenuNum::kFile, item); }

    FakePlatform platform;
    AppState app{platform};
};

TEST(PrintPaging, FortyRowsAPageAndAtLeastOne) {
    const struct {
        std::int32_t rows;
        std::int32_t pages;
    } cases[] = {{0, 1}, {1, 1}, {40, 1}, {41, 2}, {80, 2}, {81, 3}, {120, 3}, {121, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(MyGetDocumentNumPagesInDoc(c.rows), c.pages) << c.rows << " rows";
    }
}

TEST(PrintTexts, TitleAndJobNameDropTheExtensionOnce) {
    const struct {
        std::string fileName;
        std::string job;
        std::string title;
    } cases[] = {
        {"Speakers.kedata", "Speakers", "Thiele/Small Parameters Table of ''Speakers''"},
        {"", "", "Thiele/Small Parameters Table"},
        {".kedata", "", "Thiele/Small Parameters Table"},
        {"Radiators.KEData", "Radiators", "Thiele/Small Parameters Table of ''Radiators''"},
        {"a.kedata.kedata", "a.kedata", "Thiele/Small Parameters Table of ''a.kedata''"},
        {"Untitled", "Untitled", "Thiele/Small Parameters Table of ''Untitled''"},
        {"B\xC3\xBCro.kedata", "B\xC3\xBCro", "Thiele/Small Parameters Table of ''B\xC3\xBCro''"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintJobName(c.fileName), c.job) << c.fileName;
        EXPECT_EQ(PrintTitle(c.fileName).str(), c.title) << c.fileName;
    }
}

TEST(PrintTexts, PageLabelsAndErrors) {
    EXPECT_EQ(PageLabel(1, 3).str(), "Page :  1/ 3");
    EXPECT_EQ(PageLabel(3, 3).str(), "Page :  3/ 3");
    EXPECT_EQ(PageLabel(12, 140).str(), "Page :  12/ 140");
    EXPECT_EQ(PrintErrorMessage(-30872), "Error code -30872");
    EXPECT_EQ(PrintErrorExplanation(-30872), "No default printer specified");
    EXPECT_EQ(PrintErrorMessage(-30870), "Error code -30870");
    EXPECT_EQ(PrintErrorExplanation(-30870), "Printing error");
    EXPECT_EQ(PrintErrorExplanation(-1), "Printing error");
}

TEST(PrintPaging, ChosenRangeIsCutToTheDocument) {
    const struct {
        PageRange chosen;
        std::int32_t pages;
        PageRange printed;
    } cases[] = {
        {{0, 0}, 3, {1, 3}}, {{2, 3}, 3, {2, 3}}, {{2, 9}, 3, {2, 3}},
        {{1, 1}, 3, {1, 1}}, {{5, 9}, 3, {5, 3}}, {{0, 0}, 1, {1, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutPageRange(c.chosen, c.pages), c.printed)
            << c.chosen.first << ".." << c.chosen.last;
    }
}

TEST(PrintScale, FittedByWidthOrHeightAndUserScaleOnce) {
    const struct {
        PageFormat format;
        double userScale;
        double percent;
    } cases[] = {
        // (0.0973154 * 774 - 0.399329) * 1.04 = 77.92
        {kLetterLandscape, 100.0, 78.0},
        // Applied once: 78 * 50 / 100, not 78 * (50 / 100)^2.
        {kLetterLandscape, 50.0, 39.0},
        {kLetterLandscape, 150.0, 117.0},
        // W / B = 1.35 exactly is not wide: (0.0973154 * 540 - 0.399329) * 1.04 = 54.24
        {paper(400.0, 540.0, true, 0.0), 100.0, 54.0},
        // Just wider: 0.1374408 * 400 + 1.222749 = 56.20
        {paper(400.0, 541.0, true, 0.0), 100.0, 56.0},
        // A4 landscape without margins: 0.1374408 * 595 + 1.222749 = 83.00
        {a4(true, 0.0), 100.0, 83.0},
        {a4(true, 0.0), 200.0, 166.0},
        // With the printer's 10-point margins the fitted 82 would end the
        // frame 7 points above the paper's edge; 575 / 705 leaves 81.
        {a4(true, 10.0), 100.0, 81.0},
        {a4(true, 10.0), 50.0, 40.5},
        // Portrait is fitted by its width: (0.0973154 * 585 - 0.399329) * 1.04 = 58.79
        {a4(false, 10.0), 100.0, 59.0},
        // Margins too wide for any table still print something.
        {paper(100.0, 100.0, false, 60.0), 100.0, 1.0},
    };
    for (const auto& c : cases) {
        const PageRect page = AdjustedPageRect(c.format);
        EXPECT_DOUBLE_EQ(CalcPrintPageScale(c.format, c.userScale), c.percent)
            << page.right << "x" << page.bottom << " at " << c.userScale;
    }
}

// Everything a page draws, in unscaled page points: glyphs by their
// estimated widths and the font size above the baseline, lines with half
// their width around them.
PageRect drawnExtent(RecordingCanvas& canvas) {
    PageRect box{1e9, 1e9, -1e9, -1e9};
    for (const DrawCall& c : canvas.calls) {
        double left = std::min(c.x0, c.x1) - c.lineWidth / 2.0;
        double right = std::max(c.x0, c.x1) + c.lineWidth / 2.0;
        if (c.kind == DrawCall::Kind::Text) {
            std::tie(left, right) = canvas.glyphSpan(c);
        }
        box = {std::min(box.top, c.top()), std::min(box.left, left),
               std::max(box.bottom, c.bottom()), std::max(box.right, right)};
    }
    return box;
}

TEST_F(PrintingTest, TableStaysInsideTheMarginsOfA4AndLetter) {
    fill(40);
    app.table.ModelName.set(40, "gjpqy"); // descenders on the last line
    // A name as long as any, and more pages than any catalogue needs.
    const std::string name(255, 'W');
    RecordingCanvas canvas;
    canvas.st.DoPrint = 1;
    PrintSheet(canvas, app.table, name + ".kedata", 9998, 9999);
    const PageRect drawn = drawnExtent(canvas);
    ASSERT_GT(drawn.top, 0.0);
    ASSERT_GT(drawn.left, 0.0);

    for (const bool landscape : {true, false}) {
        for (const double margin : {0.0, 10.0, 10.0 * kMm, 25.0 * kMm}) {
            for (const PageFormat& format : {a4(landscape, margin), letter(landscape, margin)}) {
                const PrintableSize room = PrintableSizeOf(format);
                const double fitted = FittedPageScale(AdjustedPageRect(format));
                const bool fittedFits = drawn.right * fitted / 100.0 <= room.width &&
                                        drawn.bottom * fitted / 100.0 <= room.height;
                for (const double userScale : {100.0, 75.0, 25.0}) {
                    const double scale = CalcPrintPageScale(format, userScale) / 100.0;
                    SCOPED_TRACE(testing::Message()
                                 << format.paperWidth << (landscape ? " landscape" : " portrait")
                                 << " margin " << margin << " at " << userScale << "%");
                    EXPECT_LE(drawn.right * scale, room.width);
                    EXPECT_LE(drawn.bottom * scale, room.height);
                    if (fittedFits) {
                        EXPECT_DOUBLE_EQ(scale, fitted * userScale / 10000.0);
                    } else {
                        // As large as still fits, in whole percent.
                        const double larger = (scale * 10000.0 / userScale + 1.0) / 100.0;
                        EXPECT_TRUE(drawn.right * larger > room.width ||
                                    drawn.bottom * larger > room.height);
                    }
                }
            }
        }
    }
}

TEST_F(PrintingTest, PageDrawsTitleLabelHeaderAndRowsLikeTheSheet) {
    const RecordingCanvas page = printPage(2, 3);

    // The sheet's own routines at origin 0, shifted to the page's origin.
    RecordingCanvas sheet;
    sheet.st.DoPrint = 1;
    DrawAllTopLabel(sheet, 0.0);
    for (std::int32_t k = 1; k <= kRowsPerPage; ++k) {
        DrawLongCell(sheet, app.table, 0.0, k, 40 + k, 0);
    }
    std::vector<DrawCall> expected = sheet.texts();
    for (DrawCall& c : expected) {
        c.x0 += kPageOriginX;
        c.y0 += kPageOriginY;
    }

    const std::vector<DrawCall> texts = page.texts();
    ASSERT_EQ(texts.size(), expected.size() + 2);
    const DrawTarget onPage{true, 0};
    EXPECT_EQ(texts[0], (DrawCall{DrawCall::Kind::Text, onPage, 54.0, 22.0, 0.0, 0.0, kBlack, 0.0,
                                  8, "Helvetica Bold", 17.0,
                                  "Thiele/Small Parameters Table of ''Speakers''", 1.0}));
    EXPECT_EQ(texts[1], (DrawCall{DrawCall::Kind::Text, onPage, 704.0, 22.0, 0.0, 0.0, kBlack, 0.0,
                                  5, "Geneva", 13.0, "Page :  2/ 3", 1.0}));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(texts[i + 2], expected[i]) << i;
    }
    // Row numbers are black on paper.
    for (const DrawCall& c : texts) {
        EXPECT_EQ(c.colour, kBlack) << c.text;
    }
}

TEST_F(PrintingTest, RowsOfEachPageAreCutAtTheLastRow) {
    const struct {
        std::int32_t rows;
        std::int32_t page;
        std::size_t count;
        std::string first;
        std::string last;
    } cases[] = {
        {0, 1, 0, "", ""},
        {40, 1, 40, "Maker1", "Maker40"},
        {41, 1, 40, "Maker1", "Maker40"},
        {41, 2, 1, "Maker41", "Maker41"},
        {120, 2, 40, "Maker41", "Maker80"},
        {120, 3, 40, "Maker81", "Maker120"},
    };
    for (const auto& c : cases) {
        fill(c.rows);
        const std::vector<DrawCall> rows = makers(printPage(c.page, 3));
        ASSERT_EQ(rows.size(), c.count) << c.rows << " rows, page " << c.page;
        if (c.count > 0) {
            EXPECT_EQ(rows.front().text, c.first);
            EXPECT_EQ(rows.front().y0, 32.0 + 45.0); // the first line under the header
            EXPECT_EQ(rows.back().text, c.last);
            EXPECT_EQ(rows.back().y0, 32.0 + 29.0 + 16.0 * static_cast<double>(c.count));
        }
    }
}

TEST_F(PrintingTest, FrameAndGrid) {
    fill(0);
    const RecordingCanvas page = printPage(1, 1, "");
    EXPECT_EQ(page.texts()[0].text, "Thiele/Small Parameters Table");

    const std::vector<DrawCall> frames = page.ofKind(DrawCall::Kind::FrameRect);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].x0, 54.0);
    EXPECT_EQ(frames[0].y0, 32.0);
    EXPECT_EQ(frames[0].x1, 782.0);
    EXPECT_EQ(frames[0].y1, 704.0);
    EXPECT_EQ(frames[0].lineWidth, 1.0);
    EXPECT_TRUE(page.ofKind(DrawCall::Kind::FillRect).empty());

    std::vector<double> columns;
    std::vector<double> rows;
    for (const DrawCall& line : page.ofKind(DrawCall::Kind::Line)) {
        EXPECT_EQ(line.colour, kBlack);
        EXPECT_TRUE(line.target.printPage);
        if (line.x0 == line.x1) {
            EXPECT_EQ(line.lineWidth, 0.5);
            EXPECT_EQ(line.y0, 32.0);
            EXPECT_EQ(line.y1, 704.0);
            columns.push_back(line.x0 - 54.0);
        } else {
            EXPECT_EQ(line.x0, 54.0);
            EXPECT_EQ(line.x1, 782.0);
            EXPECT_EQ(line.y0, line.y1);
            EXPECT_EQ(line.lineWidth, line.y0 == 64.0 ? 1.0 : 0.5) << line.y0;
            rows.push_back(line.y0 - 32.0);
        }
    }
    EXPECT_EQ(columns, (std::vector<double>{28, 140, 280, 336, 392, 448, 504, 560, 616, 672}));
    ASSERT_EQ(rows.size(), 40U); // the header line and 39 between the body's lines
    EXPECT_EQ(rows.front(), 32.0);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], 32.0 + 16.0 * static_cast<double>(i));
    }
}

TEST_F(PrintingTest, PrintCommandPrintsTheChosenPagesAtTheFittedScale) {
    app.doc.fileName1 = "Speakers.kedata";
    platform.format = kLetterLandscape;
    app.GPrintScale = 50.0;

    ASSERT_TRUE(usable(kPrintItem));
    ASSERT_TRUE(DispatchMenuCommand(app, MenuNum::kFile, kPrintItem));
    ASSERT_EQ(platform.printRequests.size(), 1U);
    EXPECT_EQ(platform.printRequests[0].jobName, "Speakers");
    EXPECT_EQ(platform.printRequests[0].pageCount, 3);
    EXPECT_EQ(platform.printRequests[0].copies, 1);
    EXPECT_FALSE(usable(kPrintItem));
    EXPECT_FALSE(usable(kPageSetupItem));
    EXPECT_TRUE(platform.notes.empty());

    platform.printDone(true, PageRange{2, 7});
    ASSERT_EQ(platform.printRuns.size(), 1U);
    const PrintRun& run = platform.printRuns[0];
    EXPECT_EQ(run.pages, (PageRange{2, 3}));
    EXPECT_EQ(run.jobName, "Speakers");
    EXPECT_DOUBLE_EQ(run.scalePercent, 39.0);
    EXPECT_TRUE(usable(kPrintItem));
    EXPECT_TRUE(usable(kPageSetupItem));
    EXPECT_EQ(app.flags.DialogsUp, 0);

    RecordingCanvas canvas;
    run.drawPage(canvas, 3);
    const std::vector<DrawCall> texts = canvas.texts();
    ASSERT_GE(texts.size(), 2U);
    EXPECT_EQ(texts[1].text, "Page :  3/ 3");
    EXPECT_TRUE(texts[1].target.printPage);
    EXPECT_EQ(makers(canvas).front().text, "Maker81");
    EXPECT_EQ(canvas.st.DoPrint, 0);
}

TEST_F(PrintingTest, PrintOutcomesAndAlerts) {
    const struct {
        bool printable;
        bool accepted;
        int printError;
        std::size_t dialogs;
        std::size_t runs;
        std::vector<std::string> notes;
    } cases[] = {
        {true, false, 0, 1, 0, {}},
        {true, true, 0, 1, 1, {}},
        {true, true, -9, 1, 1, {"Error code -9\nPrinting error"}},
        // Nothing at all can print: said at once, and no dialog.
        {false, true, 0, 0, 0, {"Error code -30872\nNo default printer specified"}},
    };
    for (const auto& c : cases) {
        platform.notes.clear();
        platform.printRuns.clear();
        platform.printRequests.clear();
        platform.printable = c.printable;
        platform.printError = c.printError;
        DispatchMenuCommand(app, MenuNum::kFile, kPrintItem);
        ASSERT_EQ(platform.printRequests.size(), c.dialogs);
        if (c.dialogs > 0) {
            EXPECT_TRUE(platform.notes.empty());
            platform.printDone(c.accepted, PageRange{});
        }
        EXPECT_EQ(platform.printRuns.size(), c.runs);
        EXPECT_EQ(platform.notes, c.notes);
        EXPECT_TRUE(usable(kPrintItem));
        EXPECT_EQ(app.flags.DialogsUp, 0);
    }
}

TEST_F(PrintingTest, PaperChosenInPageSetupOrPrintIsKeptAndPrintedOn) {
    platform.format = a4(true, 10.0); // the printer's own, at first
    ASSERT_TRUE(DispatchMenuCommand(app, MenuNum::kFile, kPageSetupItem));
    EXPECT_EQ(platform.pageSetupShown, a4(true, 10.0));

    // A cancelled Page Setup changes nothing.
    PageFormat portrait = letter(false, 20.0);
    portrait.scale = 50.0;
    platform.pageSetupDone(false, portrait);
    EXPECT_EQ(app.GPrintScale, 100.0);
    DispatchMenuCommand(app, MenuNum::kFile, kPageSetupItem);
    EXPECT_EQ(platform.pageSetupShown, a4(true, 10.0));

    platform.pageSetupDone(true, portrait);
    EXPECT_EQ(app.GPrintScale, 50.0);
    DispatchMenuCommand(app, MenuNum::kFile, kPrintItem);
    ASSERT_EQ(platform.printRequests.size(), 1U);
    EXPECT_EQ(platform.printRequests[0].format, portrait);

    // The printer reports the paper as the dialog left it.
    platform.format = portrait;
    platform.printDone(true, PageRange{});
    ASSERT_EQ(platform.printRuns.size(), 1U);
    EXPECT_DOUBLE_EQ(platform.printRuns[0].scalePercent, CalcPrintPageScale(portrait, 50.0));

    // Turned in the Print dialog: the next Page Setup starts from there.
    platform.format = a4(true, 10.0);
    DispatchMenuCommand(app, MenuNum::kFile, kPrintItem);
    platform.printDone(true, PageRange{});
    ASSERT_EQ(platform.printRuns.size(), 2U);
    EXPECT_DOUBLE_EQ(platform.printRuns[1].scalePercent, 81.0 / 2.0);
    DispatchMenuCommand(app, MenuNum::kFile, kPageSetupItem);
    PageFormat expected = a4(true, 10.0);
    expected.scale = 50.0;
    EXPECT_EQ(platform.pageSetupShown, expected);
}

TEST_F(PrintingTest, PageSetupKeepsTheUserScale) {
    ASSERT_TRUE(DispatchMenuCommand(app, MenuNum::kFile, kPageSetupItem));
    ASSERT_TRUE(platform.pageSetupDone);
    EXPECT_FALSE(usable(kPageSetupItem));
    EXPECT_EQ(platform.pageSetupShown.scale, 100.0);
    PageFormat chosen = platform.pageSetupShown;
    chosen.scale = 80.0;
    platform.pageSetupDone(true, chosen);
    EXPECT_EQ(app.GPrintScale, 80.0);
    EXPECT_TRUE(usable(kPageSetupItem));
    EXPECT_EQ(app.flags.DialogsUp, 0);
}

TEST(PrintCommands, WithoutASheetPrintBeepsAndPageSetupDoesNothing) {
    FakePlatform platform;
    AppState app{platform};
    DispatchMenuCommand(app, MenuNum::kFile, kPrintItem);
    DispatchMenuCommand(app, MenuNum::kFile, kPageSetupItem);
    EXPECT_EQ(platform.calls, std::vector<std::string>{"SysBeep"});
}

} // namespace
