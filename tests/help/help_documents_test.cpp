// The four help documents as the Help menu opens them: each is there, has
// its title page, its sections and enough pages, its contents point at the
// pages where the sections really are, and the Japanese manual shows and
// yields Japanese text.

#include "pdf_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace kestrune::test {
namespace {

struct HelpDocument {
    std::string file;
    std::string title;
    std::string footer; // the footer of page 2 of N, N written as {N}
    int minimumPages;
    std::vector<std::string> headings;
};

void PrintTo(const HelpDocument& doc, std::ostream* out) {
    *out << doc.file;
}

std::string withPages(std::string footer, int pages) {
    footer.replace(footer.find("{N}"), 3, std::to_string(pages));
    return footer;
}

const std::vector<HelpDocument>& helpDocuments() {
    static const std::vector<HelpDocument> documents = {
        {"Kestrune's_Manual.pdf",
         "Kestrune's Manual",
         "Page 2 of {N}",
         10,
         {"What Kestrune is for", "Getting started", "The data-sheet window",
          "Selecting and editing", "Working with rows", "The calculators", "Vap calculator",
          "Sd calculator", "Vd calculator", "Feet to Metric calculator",
          "Cut, copy, paste and the clipboard", "Sending parameters to Tarnwell", "Documents",
          "The document format", "Exchanging tables as CSV", "Printing", "Preferences",
          "Opening documents from a file manager", "Menu reference"}},
        {"Kestrune_Manual_ja.pdf",
         "Kestrune マニュアル",
         "2 / {N} ページ",
         10,
         {"Kestrune について", "はじめに", "データシートのウィンドウ", "選択と編集", "行の操作",
          "計算ツール", "Vap の計算", "カット、コピー、ペーストとクリップボード", "書類",
          "CSV によるテーブルの交換", "印刷", "環境設定", "ファイルマネージャーから書類を開く",
          "メニュー一覧"}},
        {"T_S_Parameters_Description.pdf",
         "Thiele/Small Parameters Description",
         "Page 2 of {N}",
         5,
         {"Passive radiators in brief", "The eight parameters", "Dia: nominal diameter (cm)",
          "Fp: free-air resonance (Hz)", "Vap: acoustic volume (liters)",
          "Qmp: mechanical Q factor (no unit)", "Sd: effective area (cm²)",
          "Xmax: peak linear displacement (mm)", "Vd: peak displacement volume (cm³)",
          "Mms: moving mass (grams)", "How Vap, Sd and Vd relate", "A worked example",
          "Units and precision in Kestrune"}},
        {"Kestrune_Release_Notes.pdf",
         "Kestrune Release Notes",
         "Page 2 of {N}",
         3,
         {"About this release", "What Kestrune " KESTRUNE_VERSION " does", "Requirements",
          "Known limits", "Reporting problems"}},
    };
    return documents;
}

class HelpDocuments : public ::testing::TestWithParam<HelpDocument> {};

TEST_P(HelpDocuments, HaveTheirSectionsOnEnoughPages) {
    const HelpDocument& doc = GetParam();
    const std::string path = imagesPath(doc.file);
    const int pages = pdfPages(path);
    ASSERT_GE(pages, doc.minimumPages) << path << " (is poppler-utils installed?)";
    const std::string text = squeezed(pdfText(path));
    for (const std::string& heading : doc.headings) {
        EXPECT_NE(text.find(heading), std::string::npos) << doc.file << " lacks: " << heading;
    }
}

TEST_P(HelpDocuments, OpenWithATitlePageAndNumberTheOthers) {
    const HelpDocument& doc = GetParam();
    const std::string path = imagesPath(doc.file);
    const int pages = pdfPages(path);
    ASSERT_GE(pages, 2);
    const std::string first = squeezed(pdfText(path, false, 1, 1));
    EXPECT_NE(first.find(doc.title), std::string::npos) << first;
    EXPECT_NE(first.find(KESTRUNE_VERSION), std::string::npos) << first;
    EXPECT_EQ(first.find(withPages(doc.footer, pages)), std::string::npos)
        << "the title page has no footer";
    const std::string second = squeezed(pdfText(path, false, 2, 2));
    EXPECT_NE(second.find(withPages(doc.footer, pages)), std::string::npos) << second;
    EXPECT_NE(second.find(doc.title), std::string::npos) << "the footer names the document";
}

// The contents on page 2 list every section with a page number, and each
// section heading is on the page the contents give.
TEST_P(HelpDocuments, ContentsPointAtTheRightPages) {
    const HelpDocument& doc = GetParam();
    const std::string path = imagesPath(doc.file);
    const int pages = pdfPages(path);
    ASSERT_GE(pages, 2);
    const std::regex entry(R"(^\s*(\S.*?\S)\s{2,}(\d+)\s*$)");
    int entries = 0;
    for (const std::string& line : lines(pdfText(path, true, 2, 2))) {
        std::smatch m;
        if (!std::regex_match(line, m, entry)) {
            continue;
        }
        const std::string heading = m[1];
        const int page = std::stoi(m[2]);
        if (page < 1 || page > pages) {
            continue; // the footer's page numbers
        }
        ++entries;
        const std::string onPage = squeezed(pdfText(path, false, page, page));
        EXPECT_NE(onPage.find(heading), std::string::npos)
            << doc.file << ": \"" << heading << "\" is not on page " << page;
    }
    EXPECT_GE(entries, 4) << doc.file << ": no contents on page 2";
}

INSTANTIATE_TEST_SUITE_P(Made, HelpDocuments, ::testing::ValuesIn(helpDocuments()),
                         [](const ::testing::TestParamInfo<HelpDocument>& info) {
                             std::string name;
                             for (char c : info.param.file.substr(0, info.param.file.find('.'))) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) {
                                     name += c;
                                 }
                             }
                             return name;
                         });

// Japanese fonts draw the Kangxi radicals with the ideographs' glyphs; the
// text a reader searches and copies must still be the ideographs.
TEST(JapaneseManual, EmbedsAJapaneseFontAndYieldsJapaneseText) {
    const std::string path = imagesPath("Kestrune_Manual_ja.pdf");
    EXPECT_NE(pdfFonts(path).find("IPAexGothic"), std::string::npos) << pdfFonts(path);
    const std::string text = pdfText(path);
    EXPECT_NE(text.find("目次"), std::string::npos);
    EXPECT_NE(text.find("メニュー一覧"), std::string::npos);
    EXPECT_NE(text.find("行モード"), std::string::npos);
    // U+2E80 to U+2FDF are E2 BA 80 to E2 BF 9F in UTF-8.
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (byte(0) == 0xe2 && byte(1) >= 0xba && byte(1) <= 0xbf) {
            ADD_FAILURE() << "a radical in place of an ideograph: " << text.substr(i, 3) << " in "
                          << text.substr(i > 30 ? i - 30 : 0, 60);
            break;
        }
    }
}

} // namespace
} // namespace kestrune::test
