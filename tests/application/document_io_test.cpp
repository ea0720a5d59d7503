// A file read into the sheet and the sheet written out: the document state a
// read leaves, the alerts for the file errors met on the way, and what stays
// as it was when a file cannot be read or written.

#include "application/document_io.h"
#include "application/open_documents.h"
#include "documents/csv_export.h"
#include "model/app_state.h"
#include "runtime/file_errors.h"
#include "support/fake_platform.h"
#include "support/file_trouble.h"
#include "support/golden_documents.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrune;
using kestrune::test::FakePlatform;
using kestrune::test::TempDir;

namespace {

const std::string kGoldenLine = "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r";

// An application whose file errors are collected instead of shown.
struct App {
    App() {
        state.files.setErrorHandler([this](int n, int code) { errors.push_back({n, code}); });
    }
    void setRow(std::int32_t r, std::string_view manufacturer, std::string_view model) {
        state.table.fNum = std::max(state.table.fNum, r);
        state.table.ensureRows(r + 1);
        state.table.Manufacturer.set(r, manufacturer);
        state.table.ModelName.set(r, model);
    }
    // Every row as its document line.
    std::string rows() const {
        std::string out;
        for (std::int32_t r = 1; r <= state.table.fNum; ++r) {
            out += std::to_string(state.table.Number.get(r)) + ":";
            AppendDocumentRecord(out, state.table, r);
        }
        return out;
    }

    FakePlatform platform;
    AppState state{platform};
    FileErrors errors;
};

class DocumentIO : public ::testing::Test {
protected:
    App app;
    TempDir dir;
};

} // namespace

TEST_F(DocumentIO, LoadingSetsUpAFreshSheet) {
    const std::string path = dir.file("Sheet.kedata");
    test::writeFile(path, kGoldenLine);
    app.state.sel = {5, 7, 7, 7, 3};
    app.state.doc.DirtyFlag = 1;
    ASSERT_TRUE(LoadDataSheet(app.state, path).loaded());
    EXPECT_EQ(app.rows(), "1:" + kGoldenLine);
    EXPECT_EQ(app.state.doc.fileUrl, path);
    EXPECT_EQ(app.state.doc.DirtyFlag, 0);
    EXPECT_EQ(app.state.snap.prefNum, 1);
    EXPECT_EQ(app.state.sel.cellH, 0);
    EXPECT_EQ(app.state.sel.cellV, 1);
    EXPECT_EQ(app.state.sel.cellVshift, 1);
    EXPECT_EQ(app.state.sel.ScrollValue, 0);
    EXPECT_TRUE(app.platform.calls.empty()); // loading marks nothing modified

    // Stationery is only read: the sheet has no file of its own.
    const std::string stationery = dir.file("Template.kedatasta");
    test::writeFile(stationery, kGoldenLine);
    ASSERT_TRUE(LoadDataSheet(app.state, stationery).loaded());
    EXPECT_TRUE(app.state.doc.fileUrl.empty());
    EXPECT_EQ(app.state.doc.DirtyFlag, 1);
    EXPECT_EQ(test::readFile(stationery), kGoldenLine);
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(DocumentIO, AFailedSaveIsShownAndKeepsTheOldDocument) {
    const std::string path = dir.file("Sheet.kedata");
    test::writeFile(path, kGoldenLine);
    // Through the application's own handler the alert is shown.
    FakePlatform platform;
    AppState plain(platform);
    plain.table.fNum = 30;
    {
        test::FileSizeLimit limit(10);
        EXPECT_FALSE(WriteDataSheet(plain, path).ok);
    }
    ASSERT_EQ(platform.fileErrors.size(), 1u);
    EXPECT_EQ(platform.fileErrors[0].fileNumber, 1);
    EXPECT_EQ(test::readFile(path), kGoldenLine);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Sheet.kedata"}));
    EXPECT_FALSE(plain.files.isOpen(kDocumentFileNumber));
}

TEST_F(DocumentIO, RefusedFilesAreReportedAndChangeNothing) {
    app.setRow(1, "Acme", "PR-10");
    EXPECT_FALSE(WriteDataSheet(app.state, dir.file("missing/Sheet.kedata")).ok);
    EXPECT_FALSE(LoadDataSheet(app.state, dir.file("missing.kedata")).loaded());
    EXPECT_EQ(app.errors, (FileErrors{{1, 2}, {1, 13}}));
    EXPECT_EQ(app.state.table.fNum, 1);
    EXPECT_TRUE(app.state.doc.fileName1.empty());

    const std::string path = dir.file("Held.kedata");
    test::writeFile(path, kGoldenLine);
    app.errors.clear();
    {
        test::LockHolder holder(path, test::LockKind::FcntlWrite);
        EXPECT_FALSE(WriteDataSheet(app.state, path).ok);
        EXPECT_FALSE(LoadDataSheet(app.state, path).loaded());
    }
    EXPECT_EQ(app.errors, (FileErrors{{1, 35}, {1, 35}}));
    EXPECT_EQ(test::readFile(path), kGoldenLine);
    EXPECT_EQ(app.state.table.ModelName.get(1), "PR-10");
}

TEST_F(DocumentIO, ImportMakesAnUnsavedDocumentNamedAfterTheFile) {
    const auto file = [&](const std::string& name) {
        test::writeFile(dir.file(name), "A\tB\t1\t2\t3\t4\t5\t6\t7\t8\n");
        return dir.file(name);
    };
    FakePlatform platform; // file errors are shown
    AppState s(platform);
    s.sel.cellH = 3;
    s.sel.cellV = 7;
    s.sel.ScrollValue = 4;
    // Handed over, only the exact extensions "csv" and "txt" are tables.
    ProcessUserDocsFromFinder(s, file("DATA.CSV"));
    EXPECT_EQ(platform.notes.size(), 1u);
    EXPECT_EQ(s.table.fNum, 0);
    ASSERT_TRUE(ImportCSVTable(s, file("data.txt")).loaded());
    EXPECT_EQ(s.table.fNum, 1);
    EXPECT_EQ(s.doc.fileName1, "data.kedata");
    EXPECT_EQ(s.doc.FileOpenFlag, 0);
    EXPECT_EQ(s.doc.DirtyFlag, 1);
    EXPECT_EQ(s.snap.prefNum, 1);
    EXPECT_EQ(
        std::vector<std::int32_t>({s.sel.cellH, s.sel.cellV, s.sel.cellVshift, s.sel.ScrollValue}),
        std::vector<std::int32_t>({0, 1, 1, 0}));

    // Files that cannot be read or written: the alert, and nothing changes.
    EXPECT_FALSE(ImportCSVTable(s, dir.file("gone.csv")).loaded());
    EXPECT_FALSE(WriteCSVTable(s, dir.file("no/x.csv")));
    EXPECT_EQ(platform.fileErrors.size(), 2u);
    EXPECT_EQ(platform.fileErrors[0].message, FileErrorMessage(1, FileErrorCode::kNoAccess));
    EXPECT_EQ(s.doc.fileName1, "data.kedata");
}

TEST_F(DocumentIO, AnExportLeavesTheSheetAndTheDocumentAsTheyWere) {
    app.setRow(1, "Two\rLines", "\"Quoted\"");
    app.state.doc.FileOpenFlag = 1;
    app.state.doc.fileName1 = "cat.kedata";
    const std::string path = dir.file("cat.csv");
    EXPECT_TRUE(WriteCSVTable(app.state, path));
    EXPECT_EQ(test::readFile(path), std::string(kCSVHeader) +
                                        "\r\"Two\rLines\",\"\"\"Quoted\"\"\", 0, 0, 0, 0, 0, 0, "
                                        "0, 0\r");
    // The export changes neither the table nor the document.
    EXPECT_EQ(app.state.table.Manufacturer.get(1), "Two\rLines");
    EXPECT_EQ(app.state.doc.DirtyFlag, 0);
    EXPECT_EQ(app.state.doc.FileOpenFlag, 1);
    EXPECT_EQ(app.state.doc.fileName1, "cat.kedata");
    EXPECT_TRUE(app.errors.empty());
}

namespace {

class LoadedGoldenDocument : public ::testing::TestWithParam<std::string> {};

} // namespace

// Each golden document opened as the sheet: its rows, every file error met
// shown in order, and the document state its name and its errors give (one
// read with errors has no file behind it, so Save asks for a name).
TEST_P(LoadedGoldenDocument, BecomesTheSheet) {
    using namespace kestrune::test::golden;
    const fs::path expectedPath = kFolder / (GetParam() + ".expected");
    const Expectation expected = parseExpectation(expectedPath);
    const fs::path document = documentFor(expectedPath);
    ASSERT_FALSE(document.empty()) << "no document for " << expectedPath;

    App app;
    const LoadOutcome outcome = LoadDataSheet(app.state, document.string());
    EXPECT_FALSE(app.state.files.isOpen(kDocumentFileNumber));
    std::vector<int> errors;
    for (const FileError& error : app.errors) {
        EXPECT_EQ(error.fileNumber, kDocumentFileNumber);
        errors.push_back(error.code);
    }
    expectRead(expected, app.state.table, errors);
    if (expected.fileName) {
        EXPECT_EQ(app.state.doc.fileName1, *expected.fileName);
        EXPECT_EQ(app.state.doc.FileOpenFlag, expected.fileOpenFlag);
        EXPECT_EQ(app.state.doc.DirtyFlag, expected.dirtyFlag);
    }
    if (errors.empty()) {
        EXPECT_EQ(outcome.result, LoadResult::Whole);
    } else {
        EXPECT_EQ(outcome.result, LoadResult::Partial);
        EXPECT_EQ(app.state.doc.FileOpenFlag, 0);
        EXPECT_EQ(app.state.doc.DirtyFlag, 1);
        EXPECT_TRUE(app.state.doc.fileUrl.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Folder, LoadedGoldenDocument,
                         ::testing::ValuesIn(kestrune::test::golden::caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });
