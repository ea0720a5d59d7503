#include "documents/csv_export.h"

#include "core/app_state.h"
#include "runtime/file_errors.h"
#include "runtime/number_text.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

using namespace kestrune;

namespace {

void setRow(ModelTable& t, std::int32_t r, std::string_view manufacturer, std::string_view model,
            std::array<double, kParamCount> values) {
    t.ensureRows(r + 1);
    t.Number[r] = r;
    t.Manufacturer.set(r, manufacturer);
    t.ModelName.set(r, model);
    for (Param p : kAllParams) {
        t.setValue(p, r, values[static_cast<std::size_t>(p)]);
    }
    t.fNum = std::max(t.fNum, r);
}

const std::string kHeaderLine = std::string(kCSVHeader) + "\r";

// Accepts a few bytes, then fails every write.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t room) : room_(room) {}

protected:
    int_type overflow(int_type c) override {
        if (room_ == 0) {
            return traits_type::eof();
        }
        --room_;
        return traits_type::not_eof(c);
    }

private:
    std::size_t room_;
};

TEST(CSVExport, WritesTheHeaderAndRoundedRowsWithCRLineEnds) {
    test::FakePlatform platform;
    AppState app(platform);
    setRow(app.table, 1, "Acme", "PR-200", {25.4, 18.25, 0.005, 5.12345, 220, 12.5, 275, 12.35});
    setRow(app.table, 2, "Acme", "PR-10", {20, -3.5, 45.1, 0.004, 0, 0, 0, 12.25});

    std::ostringstream out;
    const ExportOutcome outcome = WriteCSVTable(app, out);

    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.alteredNameRows.empty());
    // Ties go to the even step (12.35 -> 12.4, 12.25 -> 12.2); Qmp 0.004 stays
    // below 2^-7 and takes the scientific style.
    EXPECT_EQ(PSval(PSstr(0.004)), 0.004);
    EXPECT_EQ(out.str(), kHeaderLine +
                             "Acme,PR-200, 25.4, 18.25, 0, 5.123, 220, 12.5, 275, 12.4\r" +
                             "Acme,PR-10, 20,-3.5, 45.1," + PSstr(0.004) + ", 0, 0, 0, 12.2\r");
}

TEST(CSVExport, QuotesNamesThatWouldSplitAndLeavesTheDocumentAlone) {
    test::FakePlatform platform;
    AppState app(platform);
    setRow(app.table, 1, "Smith, Jones & Co", "\tTab", {1, 1, 1, 1, 1, 1, 1, 1});
    setRow(app.table, 2, " Lead", "Plain \"Q\"", {1, 1, 1, 1, 1, 1, 1, 1});
    setRow(app.table, 3, "Two\rLines", "\"Quoted\"", {1, 1, 1, 1, 1, 1, 1, 1});
    app.doc.DirtyFlag = 1;
    app.doc.FileOpenFlag = 1;
    app.doc.fileName1 = "cat.kedata";
    app.sel.cellV = 2;
    app.sel.cellH = 4;

    std::ostringstream out;
    const ExportOutcome outcome = WriteCSVTable(app, out);

    const std::string numbers = ", 1, 1, 1, 1, 1, 1, 1, 1\r";
    EXPECT_EQ(out.str(), kHeaderLine + "\"Smith, Jones & Co\",\"\tTab\"" + numbers +
                             "\" Lead\",Plain \"Q\"" + numbers + "Two Lines,\xD3Quoted\xD3" +
                             numbers);
    EXPECT_EQ(outcome.alteredNameRows, std::vector<std::int32_t>{3});
    // The table keeps the names; the document state is untouched.
    EXPECT_EQ(app.table.Manufacturer.get(3), "Two\rLines");
    EXPECT_EQ(app.doc.DirtyFlag, 1);
    EXPECT_EQ(app.doc.FileOpenFlag, 1);
    EXPECT_EQ(app.doc.fileName1, "cat.kedata");
    EXPECT_EQ(app.sel.cellV, 2);
    EXPECT_EQ(app.sel.cellH, 4);
}

TEST(CSVExport, AFailedWriteIsReported) {
    test::FakePlatform platform;
    AppState app(platform);
    for (std::int32_t r = 1; r <= 2000; ++r) {
        setRow(app.table, r, "Acme", "PR", {1, 2, 3, 4, 5, 6, 7, 8});
    }
    FailingBuffer buffer(100);
    std::ostream out(&buffer);
    EXPECT_FALSE(WriteCSVTable(app, out).ok);
    EXPECT_EQ(platform.fileErrors.size(), 1u);

    // A folder that does not exist: nothing is written, the alert says why.
    const auto missing =
        std::filesystem::temp_directory_path() / "kestrune-no-such-folder" / "x.csv";
    EXPECT_FALSE(WriteCSVTable(app, missing.string()).ok);
    EXPECT_EQ(platform.fileErrors.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(CSVExport, ProposesTheDocumentNameWithTheCSVExtension) {
    EXPECT_EQ(ProposedCSVExportName("untitled.kedata"), "untitled.csv");
    EXPECT_EQ(ProposedCSVExportName("Catalogue.KEDATA"), "Catalogue.csv");
    EXPECT_EQ(ProposedCSVExportName("notes.txt"), "notes.txt");
    EXPECT_EQ(ProposedCSVExportName("Template.kedatasta"), "Template.kedatasta");
    EXPECT_EQ(ProposedCSVExportName("kedata"), "kedata");
    EXPECT_EQ(CFStringCopyPathReplacingExtension("/a.kedata/b.Csv", "csv", "kedata"),
              "/a.kedata/b.kedata");
    EXPECT_EQ(CFStringCopyPathReplacingExtension("/a.kedata/b", "kedata", "csv"), "/a.kedata/b");
}

} // namespace
