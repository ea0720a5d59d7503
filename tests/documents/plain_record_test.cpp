#include "documents/spreadsheet_records.h"

#include "runtime/number_field.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>

using namespace kestrune;

namespace {

// A record as the cutter and the number reader see it.
struct Cut {
    std::string_view manufacturer;
    std::string_view modelName;
    std::array<double, kTableFields - 2> values{};
    std::size_t length = 0;
};

// Nothing when it is not one model.
std::optional<Cut> cutAndRead(std::string_view bytes) {
    TableRecord cut;
    if (CutRecord(bytes, ',', BytesEnd::More, cut) != RecordCut::Whole ||
        cut.count != kTableFields) {
        return std::nullopt;
    }
    Cut record;
    record.manufacturer = cut.fields[0];
    record.modelName = cut.fields[1];
    record.length = cut.length;
    for (std::size_t k = 0; k < record.values.size(); ++k) {
        const std::optional<double> value = ReadNumberField(cut.fields[k + 2], DecimalMarks::Point);
        if (!value) {
            return std::nullopt;
        }
        record.values[k] = *value;
    }
    return record;
}

// The one-pass reader takes the common records and leaves every other to
// the cutter; what it takes, it reads exactly as the cutter and the number
// reader do, to the bit (a sign of zero included) and to the byte.
TEST(PlainRecord, ReadsWhatItTakesAsTheCutterDoes) {
    struct Case {
        std::string bytes;
        bool taken;
    };
    const std::string numbers = "1,2.5,-3,+4,0.125,1234.5678,7,8";
    const Case cases[] = {
        {"Acme,PR-1," + numbers + "\nB", true},
        {"Acme,PR-1," + numbers + "\r\nB", true},
        {"Acme,PR-1," + numbers + "\rB", true},   // a CR alone ends the line
        {"Acme,PR-1," + numbers + "\n", true},    // the line end closes the bytes
        {"Acme,PR-1," + numbers + "\r", false},   // its LF may follow
        {"Acme,PR-1," + numbers, false},          // the line goes on
        {"Acme,PR-1," + numbers + ",9\n", false}, // a field too many
        {"Acme,PR-1,1,2,3,4,5,6,7\n", false},     // one too few
        {"\"Gar\xC3\xA7on, Fils\",\"Basse, 12\"," + numbers + "\n", true},
        {" \t\"Quoted\",\tLeading blanks," + numbers + "\n", true},
        {"Ac\"me,\" PR \"," + numbers + "\n", true},
        {"Trailing blank ,PR\t," + numbers + "\n", true},
        {",," + numbers + "\n", true}, // empty names
        {"\"A\"\"B\",PR," + numbers + "\n", false},
        {"\"A\" ,PR," + numbers + "\n", false},
        {"\"A\"x,PR," + numbers + "\n", false},
        {"\"A\"1,2,3,4,5,6,7,8,9\n", false}, // text after a quote belongs to its field
        {"\"Over\nlines\",PR," + numbers + "\n", false},
        {"\"Open,PR," + numbers + "\n", false},
        {"A,B, 1,\t\t2,  -0,.5,5.,+.25,-1.,0\r\n", true},
        {"A,B,1,2,3,4,5,6,7,\n", false}, // an empty number is 0
        {"A,B,,2,3,4,5,6,7,8\n", false},
        {"A,B,1 ,2,3,4,5,6,7,8\n", false}, // blanks after a number
        {"A,B,1,2,3,4,5,6,7,8 \n", false},
        {"A,B,1e3,2,3,4,5,6,7,8\n", false},   // an exponent
        {"A,B,\"1\",2,3,4,5,6,7,8\n", false}, // a quoted number
        {"A,B,1,2,3,4,5,6,7,12345678901234567890\n", false},
        {"A,B,1,2,3,4,5,6,7,9007199254740993\n", false},
        {"A,B,1,2,3,4,5,6,7,9007199254740991\n", true},
        {"A,B,1,2,3,4,5,6,7,-\n", false},
        {"A,B,1,2,3,4,5,6,7,.\n", false},
        {"A,B,1,2,3,4,5,6,7,x\n", false},
        {"A;B;12,5;3;4;5;6;7;8;9\n", false}, // semicolons with decimal commas
        {"A\tB\t1\t2\t3\t4\t5\t6\t7\t8\n", false},
    };
    for (const Case& c : cases) {
        PlainRecord plain;
        const bool taken = ReadPlainRecord(c.bytes, plain);
        EXPECT_EQ(taken, c.taken) << c.bytes;
        if (!taken) {
            continue;
        }
        const std::optional<Cut> cut = cutAndRead(c.bytes);
        ASSERT_TRUE(cut.has_value()) << c.bytes;
        EXPECT_EQ(plain.manufacturer, cut->manufacturer) << c.bytes;
        EXPECT_EQ(plain.modelName, cut->modelName) << c.bytes;
        EXPECT_EQ(plain.length, cut->length) << c.bytes;
        for (std::size_t k = 0; k < plain.values.size(); ++k) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(plain.values[k].value()),
                      std::bit_cast<std::uint64_t>(cut->values[k]))
                << c.bytes << " field " << k;
        }
    }
}

// Every number text a short field can hold, at every place in the record:
// the eight-at-once reading inside the record and the byte loop at its end
// must agree with the number reader.
TEST(PlainRecord, NumbersReadAsTheNumberReaderReadsThem) {
    const std::string texts[] = {"0",        "7",         "-7",         "12.5",       "0.001",
                                 "99999999", "1234567.8", "-1234.5678", "123456789",  "3.",
                                 "+.5",      "0000012",   "1.23456789", "4503599.25", "-0.0"};
    for (const std::string& text : texts) {
        for (std::size_t at = 0; at < 8; ++at) {
            std::string bytes = "M,N";
            for (std::size_t k = 0; k < 8; ++k) {
                bytes += "," + (k == at ? text : std::string("1"));
            }
            bytes += "\r\nnext";
            PlainRecord plain;
            ASSERT_TRUE(ReadPlainRecord(bytes, plain)) << bytes;
            const std::optional<Cut> cut = cutAndRead(bytes);
            ASSERT_TRUE(cut.has_value()) << bytes;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(plain.values[at].value()),
                      std::bit_cast<std::uint64_t>(cut->values[at]))
                << bytes;
        }
    }
}

} // namespace
