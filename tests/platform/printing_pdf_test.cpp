// The printed sheet through the real printer to PDF files, read back with
// the poppler tools.

#include "gui_fixture.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "model/app_state.h"
#include "model/menu_model.h"
#include "platform/page_setup_dialog.h"
#include "platform/print_dialogs.h"
#include "services/printing.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrune;

namespace {

constexpr int kPageSetupItem = 12;
constexpr int kPrintItem = 13;

// The core's printing goes to a PDF file; everything else is the fake's.
class PdfPlatform final : public test::FakePlatform {
public:
    explicit PdfPlatform(QPrinter& printer) : printer_(printer) {}
    PageFormat pageFormat() override { return PageFormatOf(printer_); }
    int printPages(const PrintRun& run) override {
        printRuns.push_back(run);
        return PrintPages(printer_, run);
    }

private:
    QPrinter& printer_;
};

std::string output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    pclose(pipe);
    return out;
}

int pdfPages(const std::string& pdf) {
    const std::string info = output("pdfinfo '" + pdf + "'");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// The page's text with every run of blanks made one, as the columns come
// out spaced by their positions.
std::string pdfPageText(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    const std::string text = output("pdftotext -layout -f " + p + " -l " + p + " '" + pdf + "' -");
    std::string squeezed;
    for (const char ch : text) {
        if (ch != ' ' || squeezed.empty() || squeezed.back() != ' ') {
            squeezed.push_back(ch);
        }
    }
    return squeezed;
}

std::string maker(std::int32_t row) {
    char name[16];
    std::snprintf(name, sizeof name, "Mk%03d", static_cast<int>(row));
    return name;
}

void fill(AppState& app, std::int32_t rows) {
    app.table.ensureRows(rows + 1);
    for (std::int32_t r = 1; r <= rows; ++r) {
        app.table.Number[r] = r;
        app.table.Manufacturer.set(r, maker(r));
        app.table.ModelName.set(r, "PR-" + std::to_string(r));
        app.table.setValue(Param::Fp, r, 20.0 + r);
        app.table.setValue(Param::Mms, r, 100.5);
    }
    app.table.emptyRow(rows + 1, true);
    app.table.fNum = rows;
}

struct PdfCase {
    std::int32_t rows;
    PageRange chosen;   // 0..0: all pages
    int pdfPages;       // pages in the file
    std::int32_t first; // first page printed
    std::int32_t last;  // last page of the range, in the labels
};

TEST(PrintingPdf, PagesTitlesLabelsAndRows) {
    const PdfCase cases[] = {
        {0, {0, 0}, 1, 1, 1},   {40, {0, 0}, 1, 1, 1},  {41, {0, 0}, 2, 1, 2},
        {120, {0, 0}, 3, 1, 3}, {120, {2, 3}, 2, 2, 3}, {120, {2, 9}, 2, 2, 3},
    };
    const test::TempDir dir;
    int n = 0;
    for (const PdfCase& c : cases) {
        const std::string pdf = dir.file("sheet" + std::to_string(++n) + ".pdf");
        SCOPED_TRACE(pdf);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        PdfPlatform platform(printer);
        AppState app{platform};
        NewDataSheet(app);
        fill(app, c.rows);
        platform.type(maker(1)); // the selected cell's text, stored before printing
        app.doc.fileName1 = "Speakers.kedata";

        ASSERT_TRUE(DispatchMenuCommand(app, MenuNum::kFile, kPrintItem));
        ASSERT_TRUE(platform.printDone);
        platform.printDone(true, c.chosen);
        ASSERT_TRUE(platform.notes.empty()) << platform.notes.front();

        ASSERT_EQ(pdfPages(pdf), c.pdfPages);
        for (int k = 0; k < c.pdfPages; ++k) {
            const std::int32_t page = c.first + k;
            const std::string text = pdfPageText(pdf, k + 1);
            SCOPED_TRACE("page " + std::to_string(page) + ":\n" + text);
            EXPECT_NE(text.find("Thiele/Small Parameters Table of ''Speakers''"),
                      std::string::npos);
            EXPECT_NE(text.find("Page : " + std::to_string(page) + "/ " + std::to_string(c.last)),
                      std::string::npos);
            EXPECT_NE(text.find("Manufacturer"), std::string::npos);
            EXPECT_NE(text.find("(grams)"), std::string::npos);
            const std::int32_t firstRow = 40 * (page - 1) + 1;
            const std::int32_t lastRow = std::min(40 * page, c.rows);
            if (firstRow <= lastRow) {
                EXPECT_NE(text.find(maker(firstRow)), std::string::npos);
                EXPECT_NE(text.find(maker(lastRow)), std::string::npos);
            }
            EXPECT_EQ(text.find(maker(firstRow - 1)), std::string::npos);
            EXPECT_EQ(text.find(maker(lastRow + 1)), std::string::npos);
        }
    }
}

TEST(PrintingPdf, WindowKeepsOneLandscapePrinter) {
    QWidget window;
    PrintDialogs& printing = PrintDialogs::forWindow(&window);
    EXPECT_EQ(&PrintDialogs::forWindow(&window), &printing);
    EXPECT_EQ(printing.printer().pageLayout().orientation(), QPageLayout::Landscape);
    const PageFormat format = printing.pageFormat();
    EXPECT_TRUE(format.landscape);
    EXPECT_LT(format.paperWidth, format.paperHeight);
    EXPECT_EQ(format.scale, 100.0);
}

// The words of a PDF page as pdftotext -bbox places them, in points.
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};

std::vector<Word> pdfWords(const std::string& pdf) {
    std::vector<Word> words;
    std::istringstream html(output("pdftotext -bbox -f 1 -l 1 '" + pdf + "' -"));
    std::string line;
    while (std::getline(html, line)) {
        Word w{};
        char text[256] = {};
        if (std::sscanf(line.c_str(),
                        " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%255[^<]",
                        &w.xMin, &w.yMin, &w.xMax, &w.yMax, text) == 5) {
            w.text = text;
            words.push_back(w);
        }
    }
    return words;
}

// Page Setup and Print through the window's own dialogs, as a user has
// them, printing to PDF files.
class PrintingWindow : public test::GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        platform.setDialogAnswerer(nullptr);
    }
    template <typename T> T* dialog() {
        settle();
        return window.findChild<T*>();
    }
    // Page Setup with the orientation button of that name pressed and the
    // top margin set; what it chose.
    PageFormat pageSetup(const QString& orientation, double topMm) {
        choose(MenuNum::kFile, kPageSetupItem);
        auto* setup = dialog<PageSetupDialog>();
        EXPECT_NE(setup, nullptr);
        if (setup == nullptr) {
            return {};
        }
        for (QRadioButton* button : setup->findChildren<QRadioButton*>()) {
            if (button->text() == orientation) {
                button->click();
            }
        }
        setup->findChildren<QDoubleSpinBox*>().front()->setValue(topMm);
        const PageFormat chosen = setup->chosen();
        setup->accept();
        settle();
        return chosen;
    }
    // Print, to the file pdf.
    void printTo(const std::string& pdf) {
        choose(MenuNum::kFile, kPrintItem);
        auto* print = dialog<QPrintDialog>();
        ASSERT_NE(print, nullptr);
        auto* file = print->findChild<QLineEdit*>(QStringLiteral("filename"));
        ASSERT_NE(file, nullptr);
        file->setText(QString::fromStdString(pdf));
        print->accept();
        settle();
    }
};

TEST_F(PrintingWindow, PagesComeOutAsSetUpWithTheTableInsideTheMargins) {
    choose(MenuNum::kFile, 1);
    fill(app, 40);
    app.table.ModelName.set(40, "gjpqy"); // descenders on the last line
    app.doc.fileName1 = "Speakers.kedata";

    const struct {
        QString orientation;
        double topMm;
        bool portrait;
    } cases[] = {
        {QStringLiteral("&Portrait"), 12.0, true},
        // The printer's margins on A4 landscape were the tightest.
        {QStringLiteral("&Landscape"), 10.0 / (72.0 / 25.4), false},
    };
    const test::TempDir dir;
    for (const auto& c : cases) {
        const std::string pdf =
            dir.file((c.portrait ? "portrait" : "landscape") + std::string(".pdf"));
        SCOPED_TRACE(pdf);
        const PageFormat chosen = pageSetup(c.orientation, c.topMm);
        ASSERT_EQ(chosen.landscape, !c.portrait);
        printTo(pdf);
        EXPECT_TRUE(user.asked.empty());

        const std::string info = output("pdfinfo '" + pdf + "'");
        const std::size_t at = info.find("Page size:");
        ASSERT_NE(at, std::string::npos) << info;
        double width = 0.0;
        double height = 0.0;
        ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height), 2);
        EXPECT_EQ(height > width, c.portrait);
        EXPECT_EQ(std::min(width, height), chosen.paperWidth);

        const std::vector<Word> words = pdfWords(pdf);
        ASSERT_GT(words.size(), 40U);
        const PageMargins& m = chosen.margins;
        for (const Word& w : words) {
            EXPECT_GE(w.xMin, m.left) << w.text;
            EXPECT_GE(w.yMin, m.top) << w.text;
            EXPECT_LE(w.xMax, width - m.right) << w.text;
            EXPECT_LE(w.yMax, height - m.bottom) << w.text;
        }
    }
}

} // namespace
