#include "documents/data_sheet_format.h"
#include "runtime/number_text.h"
#include "support/file_trouble.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

using namespace kestrune;
using kestrune::test::TempDir;

namespace {

using Values = std::array<double, kParamCount>;
constexpr std::array<int, kParamCount> kScale = {100, 100, 100, 1000, 100, 100, 100, 10};

const std::string kGoldenLine = "Acme,PR-10, 25.4, 22.5, 110.25, 3.126, 506.7, 12, 633.38, 98.3\r";

// A table and the file errors its reads and writes met.
struct Sheet {
    void setRow(std::int32_t r, std::string_view manufacturer, std::string_view model,
                const Values& v) {
        table.fNum = std::max(table.fNum, r);
        table.Manufacturer.set(r, manufacturer);
        table.ModelName.set(r, model);
        for (Param p : kAllParams) {
            table.setValue(p, r, v[static_cast<std::size_t>(p)]);
        }
    }
    Values values(std::int32_t r) const {
        Values v{};
        for (Param p : kAllParams) {
            v[static_cast<std::size_t>(p)] = table.value(p, r);
        }
        return v;
    }
    std::string write() {
        std::ostringstream out;
        const SaveOutcome outcome = WriteDataSheet(table, out);
        EXPECT_TRUE(outcome.ok);
        errors.insert(errors.end(), outcome.errors.begin(), outcome.errors.end());
        return out.str();
    }
    // Reads the bytes into the table.
    void read(const std::string& bytes) {
        std::istringstream in(bytes);
        take(ReadDataSheet(std::move(table), in));
    }
    bool readFile(const std::string& path) { return take(ReadDataSheet(std::move(table), path)); }
    bool take(TableRead read) {
        table = std::move(read.table);
        errors.insert(errors.end(), read.errors.begin(), read.errors.end());
        return read.ok;
    }
    // Every row as its document line: a compact way to compare tables.
    std::string rows() const {
        std::string out;
        for (std::int32_t r = 1; r <= table.fNum; ++r) {
            out += std::to_string(table.Number.get(r)) + ":";
            AppendDocumentRecord(out, table, r);
        }
        return out;
    }

    ModelTable table{nullptr};
    FileErrors errors;
};

class DataSheetTest : public ::testing::Test {
protected:
    Sheet app;
    TempDir dir;
};

} // namespace

TEST_F(DataSheetTest, WritesTheGoldenRecord) {
    app.setRow(1, "Acme", "PR-10", {25.4, 22.5, 110.254, 3.1256, 506.7, 12, 633.375, 98.26});
    EXPECT_EQ(app.write(), kGoldenLine);

    const std::string path = dir.file("Sheet.kedata");
    const SaveOutcome outcome = WriteDataSheet(app.table, path);
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.alteredNameRows.empty());
    EXPECT_EQ(test::readFile(path), kGoldenLine);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Sheet.kedata"}));
    EXPECT_TRUE(app.errors.empty());
    EXPECT_TRUE(outcome.errors.empty());
}

TEST_F(DataSheetTest, TheFirstLineDecidesTheLayoutEvenWhenMmsLooksLikeAManufacturer) {
    app.setRow(1, "5", "PR-1", {1, 2, 3, 4, 5, 6, 7, 5});
    app.setRow(2, "Acme", "PR-2", {1, 2, 3, 4, 5, 6, 7, 8});
    const std::string bytes = app.write();
    Sheet other;
    other.read(bytes);
    EXPECT_EQ(other.rows(),
              "1:5,PR-1, 1, 2, 3, 4, 5, 6, 7, 5\r2:Acme,PR-2, 1, 2, 3, 4, 5, 6, 7, 8\r");
}

TEST_F(DataSheetTest, SavingTwiceGivesTheSameBytes) {
    app.setRow(1, "Acme", "PR-10", {25.4, 22.5, 110.254, 3.1256, 506.7, 12, 633.375, 98.26});
    app.setRow(2, "Big, Loud", " lead", {-1.005, 1e-9, 5e9, 0.0005, 2.675, 1.115, -0.0, 0.05});
    const std::string path = dir.file("twice.kedata");
    ASSERT_TRUE(WriteDataSheet(app.table, path).ok);
    const std::string first = test::readFile(path);
    ASSERT_TRUE(WriteDataSheet(app.table, path).ok);
    EXPECT_EQ(test::readFile(path), first);

    // What was read back writes the same bytes again.
    Sheet other;
    ASSERT_TRUE(other.readFile(path));
    ASSERT_TRUE(WriteDataSheet(other.table, path).ok);
    EXPECT_EQ(test::readFile(path), first);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"twice.kedata"}));
}

TEST_F(DataSheetTest, NamesThatNeedQuotesAreQuotedAndReadBack) {
    const std::vector<std::string> names = {"Big, Loud",
                                            "Tab\there",
                                            " Leading",
                                            "\tTab first",
                                            "   ",
                                            "trailing  ",
                                            "12\" woofer",
                                            "a\"b\"",
                                            "",
                                            "\u201D\u00E9 \u2022",
                                            std::string(255, ','),
                                            std::string(255, 'n')};
    std::int32_t r = 0;
    for (const std::string& a : names) {
        for (const std::string& b : {names[0], names[2], names[7], a}) {
            app.setRow(++r, a, b, {1, 2, 3, 4, 5, 6, 7, 8});
        }
    }
    const std::string before = app.rows();
    std::ostringstream out;
    const SaveOutcome outcome = WriteDataSheet(app.table, out);
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.alteredNameRows.empty());
    EXPECT_EQ(out.str().substr(0, 23), "\"Big, Loud\",\"Big, Loud\"");
    Sheet other;
    other.read(out.str());
    for (std::int32_t k = 1; k <= r; ++k) {
        ASSERT_EQ(other.table.Manufacturer.get(k), app.table.Manufacturer.get(k)) << k;
        ASSERT_EQ(other.table.ModelName.get(k), app.table.ModelName.get(k)) << k;
        ASSERT_EQ(other.values(k), app.values(k)) << k;
    }
    EXPECT_EQ(app.rows(), before);
    EXPECT_TRUE(other.errors.empty());

    EXPECT_EQ(EncodeNameField("plain").text, "plain");
    EXPECT_EQ(EncodeNameField("Big, Loud").text, "\"Big, Loud\"");
    EXPECT_EQ(EncodeNameField(" x").text, "\" x\"");
    EXPECT_EQ(EncodeNameField("12\" woofer").text, "12\" woofer");
    EXPECT_TRUE(EncodeNameField("Big, Loud").exact);
}

// A document is Mac OS Roman, byte for byte as ever, while every name fits
// it; one name beyond it makes the whole document UTF-8 behind a byte-order
// mark. Either reads back to the same names, from a file or a stream, by
// the whole-file reader and by the line reader alike.
TEST_F(DataSheetTest, NamesBeyondMacRomanMakeAUtf8DocumentThatReadsBack) {
    const struct {
        const char* manufacturer;
        const char* model;
        std::string bytes; // the document
    } cases[] = {
        {"Acme", "PR-1", "Acme,PR-1, 1, 2, 3, 4, 5, 6, 7, 8\r"},
        {"M\u00FCller \u201CPro\u201D", "Caf\u00E9\u2122",
         "M\x9Fller \xD2Pro\xD3,Caf\x8E\xAA, 1, 2, 3, 4, 5, 6, 7, 8\r"},
        {"\u0141\u00F3d\u017A Audio, \u010Capek", "\u30C6\u30B9\u30C8 \u0391\u03C9 \U0001F50A",
         "\xEF\xBB\xBF\"\u0141\u00F3d\u017A Audio, \u010Capek\",\u30C6\u30B9\u30C8 \u0391\u03C9 "
         "\U0001F50A, 1, 2, 3, 4, 5, 6, 7, 8\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.manufacturer);
        Sheet sheet;
        sheet.setRow(1, "Acme", "PR-1", {1, 2, 3, 4, 5, 6, 7, 8});
        sheet.setRow(1, c.manufacturer, c.model, {1, 2, 3, 4, 5, 6, 7, 8});
        const std::string bytes = sheet.write();
        EXPECT_EQ(bytes, c.bytes);
        const std::string path = dir.file("names.kedata");
        test::writeFile(path, bytes + bytes.substr(bytes.starts_with("\xEF") ? 3 : 0));
        for (const bool fromFile : {false, true}) {
            Sheet back;
            if (fromFile) {
                ASSERT_TRUE(back.readFile(path));
            } else {
                back.read(bytes);
            }
            ASSERT_EQ(back.table.fNum, fromFile ? 2 : 1);
            for (std::int32_t r = 1; r <= back.table.fNum; ++r) {
                EXPECT_EQ(back.table.Manufacturer.get(r), c.manufacturer);
                EXPECT_EQ(back.table.ModelName.get(r), c.model);
            }
            EXPECT_TRUE(back.errors.empty());
        }
    }
}

TEST_F(DataSheetTest, NamesTheFormatCannotCarryAreChangedAndListed) {
    EXPECT_EQ(EncodeNameField("a\rb\nc").text, "a b c");
    EXPECT_EQ(EncodeNameField("\"Q\"").text, "\u201CQ\u201D");
    EXPECT_EQ(EncodeNameField("Big, \"Loud\"").text, "\"Big, \u201CLoud\u201D\"");
    EXPECT_EQ(EncodeNameField("\r\nlead").text, "\"  lead\"");
    EXPECT_FALSE(EncodeNameField("\"Q\"").exact);
    EXPECT_EQ(WritableName("\tx\"y"), "\tx\u201Dy");
    EXPECT_EQ(WritableName("\tPR 250 (\"Pro\") 12\""), "\tPR 250 (\u201CPro\u201D) 12\u201D");
    EXPECT_EQ(WritableName("fine"), "fine");

    app.setRow(1, "a\rb", "ok", {});
    app.setRow(2, "ok", "ok", {});
    app.setRow(3, "\"Q\"", "Big, \"Loud\"", {});
    app.setRow(4, "x\ny", "\"", {});
    app.setRow(5, " \"lead", "ok", {});
    std::ostringstream out;
    const SaveOutcome outcome = WriteDataSheet(app.table, out);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.alteredNameRows, (std::vector<std::int32_t>{1, 3, 4, 5}));
    EXPECT_EQ(app.table.Manufacturer.get(1), "a b");
    EXPECT_EQ(app.table.ModelName.get(3), "Big, \u201CLoud\u201D");
    EXPECT_EQ(app.table.ModelName.get(4), "\u201C");
    EXPECT_EQ(app.table.Manufacturer.get(5), " \u201Clead");
    Sheet other;
    other.read(out.str());
    EXPECT_EQ(other.table.fNum, 5);
    for (std::int32_t r = 1; r <= 5; ++r) {
        EXPECT_EQ(other.table.Manufacturer.get(r), app.table.Manufacturer.get(r)) << r;
        EXPECT_EQ(other.table.ModelName.get(r), app.table.ModelName.get(r)) << r;
    }
}

TEST_F(DataSheetTest, AFailedSaveKeepsTheOldDocument) {
    const std::string path = dir.file("Sheet.kedata");
    test::writeFile(path, kGoldenLine);
    for (std::int32_t r = 1; r <= 50; ++r) {
        app.setRow(r, "Acme", "PR-" + std::to_string(r), {1, 2, 3, 4, 5, 6, 7, 8});
    }
    SaveOutcome outcome;
    {
        test::FileSizeLimit limit(kGoldenLine.size());
        outcome = WriteDataSheet(app.table, path);
    }
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.errors, (FileErrors{{1, EFBIG}}));
    EXPECT_EQ(test::readFile(path), kGoldenLine);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Sheet.kedata"}));
}

namespace {

// An output device that takes the first bytes and fails after them.
class FailAfter : public std::streambuf {
public:
    explicit FailAfter(std::size_t limit) : limit_(limit) {}
    std::string taken;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()) || taken.size() >= limit_) {
            return traits_type::eof();
        }
        taken.push_back(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const auto room = static_cast<std::streamsize>(limit_ - taken.size());
        const std::streamsize k = std::min(n, room);
        taken.append(s, static_cast<std::size_t>(k));
        return k;
    }

private:
    std::size_t limit_;
};

} // namespace

TEST_F(DataSheetTest, AStreamThatFailsPartWayIsReported) {
    for (std::int32_t r = 1; r <= 20; ++r) {
        app.setRow(r, "Acme", "PR", {1, 2, 3, 4, 5, 6, 7, 8});
    }
    FailAfter device(100);
    std::ostream out(&device);
    const SaveOutcome outcome = WriteDataSheet(app.table, out);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.errors, (FileErrors{{1, 5}}));
    EXPECT_EQ(device.taken.size(), 100u);
}

// A file that cannot be written or read: not ok, and why.
TEST_F(DataSheetTest, RefusedFilesAreReported) {
    app.setRow(1, "Acme", "PR-10", {});
    const SaveOutcome unwritten = WriteDataSheet(app.table, dir.file("missing/Sheet.kedata"));
    EXPECT_FALSE(unwritten.ok);
    EXPECT_EQ(unwritten.errors, (FileErrors{{1, 2}}));
    const TableRead missing = ReadDataSheet(ModelTable(nullptr), dir.file("missing.kedata"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.errors, (FileErrors{{1, 13}}));
    EXPECT_EQ(missing.table.fNum, 0);
}

TEST_F(DataSheetTest, ReadsFromWhereTheStreamStands) {
    std::istringstream in("not part of the document\r" + kGoldenLine);
    std::string skipped;
    std::getline(in, skipped, '\r');
    EXPECT_TRUE(app.take(ReadDataSheet(std::move(app.table), in)));
    EXPECT_EQ(app.rows(), "1:" + kGoldenLine);
}

namespace {

std::string randomName(std::mt19937_64& rng) {
    static const std::string alphabet = "abcXYZ019 -,.\t\"\r\n\x8E\xA5\xD3\xFF/";
    std::string name;
    const auto len = rng() % 10 == 0 ? rng() % 256 : rng() % 16;
    for (std::size_t k = 0; k < len; ++k) {
        name.push_back(alphabet[rng() % alphabet.size()]);
    }
    return name;
}

double randomValue(std::mt19937_64& rng, int scale) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    switch (rng() % 5) {
    case 0:
        return std::round(unit(rng) * 1e6) / scale + 0.5 / scale; // a tie, or close to one
    case 1:
        return unit(rng) * std::pow(10.0, static_cast<double>(rng() % 13) - 3);
    case 2:
        return unit(rng) * 1e-4;
    case 3:
        return unit(rng) * 1e11; // past 2^32: scientific texts
    default:
        return std::abs(unit(rng)) * 1000.0;
    }
}

} // namespace

// Enough rows that the save makes blocks on both cores more than once, with
// changed names in blocks of each.
TEST_F(DataSheetTest, ARandomCatalogueSurvivesTheRoundTrip) {
    std::mt19937_64 rng(1000);
    const std::int32_t rows = 36000;
    for (std::int32_t r = 1; r <= rows; ++r) {
        Values v{};
        for (std::size_t p = 0; p < v.size(); ++p) {
            v[p] = randomValue(rng, kScale[p]);
        }
        app.setRow(r, randomName(rng), randomName(rng), v);
    }
    const std::string path = dir.file("Catalogue.kedata");
    const SaveOutcome outcome = WriteDataSheet(app.table, path);
    ASSERT_TRUE(outcome.ok);
    EXPECT_FALSE(outcome.alteredNameRows.empty()); // the alphabet has line breaks and quotes
    const std::string bytes = test::readFile(path);
    EXPECT_EQ(app.write(), bytes); // the stream form writes the same

    Sheet viaStream;
    viaStream.read(bytes);
    Sheet viaFile;
    ASSERT_TRUE(viaFile.readFile(path));
    for (Sheet* other : {&viaStream, &viaFile}) {
        ASSERT_EQ(other->table.fNum, rows);
        for (std::int32_t r = 1; r <= rows; ++r) {
            ASSERT_EQ(other->table.Number.get(r), r);
            ASSERT_EQ(other->table.Manufacturer.get(r), app.table.Manufacturer.get(r)) << r;
            ASSERT_EQ(other->table.ModelName.get(r), app.table.ModelName.get(r)) << r;
            for (Param p : kAllParams) {
                const double rounded =
                    RoundToScale(app.table.value(p, r), kScale[static_cast<std::size_t>(p)]);
                const double read = other->table.value(p, r);
                // The value of the text written; for ordinary magnitudes that
                // text holds every decimal kept, so it is the rounded value.
                ASSERT_EQ(read, std::strtod(PSstr(rounded).c_str(), nullptr))
                    << "row " << r << " column " << static_cast<int>(p);
                if (std::fabs(rounded) < 1e7) {
                    ASSERT_EQ(read, rounded) << "row " << r << " column " << static_cast<int>(p);
                }
            }
        }
        EXPECT_EQ(other->write(), bytes);
        EXPECT_TRUE(other->errors.empty());
    }
}

// A number given (typed, pasted, imported, read) with more places than its
// column writes is written with every digit, reads back as the very same
// double and writes the same bytes again, through either reader; one within
// the places, or worked out (after "~"), is written as documents always were.
TEST_F(DataSheetTest, GivenDigitsSurviveTheDocument) {
    std::istringstream given("16.5500 12345678912.5 0.00345 -0.12345 214.25 1e-20 3.14159265358979 "
                             "74.45 ~16.5549 ~1e-20 1 0.004 214.2 ~2.5 3.47 ~74.4539");
    for (std::int32_t r = 1; r <= 2; ++r) {
        app.setRow(r, "Acme", "R", {});
        for (Param p : kAllParams) {
            std::string text;
            given >> text;
            const double value = PSval(text.substr(text.starts_with('~') ? 1 : 0));
            text.starts_with('~') ? app.table.setValue(p, r, value)
                                  : app.table.setGivenValue(p, r, value);
        }
    }
    const std::string expected =
        "Acme,R, 16.55, 12345678912.5, 0.00345,-0.12345, 214.25, 1e-20, 3.14159265358979, 74.45\r"
        "Acme,R, 16.55, 0, 1,4e-03, 214.2, 2.5, 3.47, 74.5\r";
    ASSERT_EQ(app.write(), expected);
    const std::string path = dir.file("digits.kedata");
    ASSERT_TRUE(WriteDataSheet(app.table, path).ok);
    Sheet viaStream;
    viaStream.read(expected);
    Sheet viaFile;
    ASSERT_TRUE(viaFile.readFile(path));
    for (Sheet* other : {&viaStream, &viaFile}) {
        EXPECT_EQ(other->values(1), app.values(1));
        EXPECT_EQ(other->write(), expected);
    }
}
