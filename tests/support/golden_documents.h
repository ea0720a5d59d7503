#pragma once
// The golden documents in tests/data/documents: each NAME.expected describes
// what reading the document NAME.<extension> beside it must give. Lines of
// an .expected file:
//   # comment
//   state FILENAME FILEOPENFLAG DIRTYFLAG   the document state once opened
//   rows N                the exact row count
//   max-rows N            an upper bound, for broken documents
//   errors C C ...        the exact file-error codes reported, in order
//   errors-only C         any number of reports, all with this code
//   row M|N|Dia|Fp|Vap|Qmp|Sd|Xmax|Vd|Mms   the next row, from row 1 on;
//                         \t \r \n \\ and \| stand for their bytes
// Without an errors line no error may be reported.

#include "model/model_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrune::test::golden {

namespace fs = std::filesystem;

inline const fs::path kFolder = fs::path(KESTRUNE_TEST_DATA) / "documents";

struct ExpectedRow {
    std::string manufacturer;
    std::string model;
    std::vector<double> values;
};

struct Expectation {
    std::optional<std::string> fileName;
    int fileOpenFlag = 0;
    int dirtyFlag = 0;
    std::optional<int> rows;
    std::optional<int> maxRows;
    std::vector<int> errors;
    std::optional<int> onlyError;
    std::vector<ExpectedRow> rowList;
};

inline std::vector<std::string> splitEscaped(const std::string& text) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '|') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < text.size()) {
            const char n = text[++i];
            if (n == 't') {
                fields.back() += '\t';
            } else if (n == 'r') {
                fields.back() += '\r';
            } else if (n == 'n') {
                fields.back() += '\n';
            } else {
                fields.back() += n;
            }
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

inline Expectation parseExpectation(const fs::path& path) {
    Expectation e;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        std::istringstream words(rest);
        if (key == "state") {
            std::string name;
            words >> name >> e.fileOpenFlag >> e.dirtyFlag;
            e.fileName = name;
        } else if (key == "rows") {
            e.rows = std::stoi(rest);
        } else if (key == "max-rows") {
            e.maxRows = std::stoi(rest);
        } else if (key == "errors") {
            for (int code = 0; words >> code;) {
                e.errors.push_back(code);
            }
        } else if (key == "errors-only") {
            e.onlyError = std::stoi(rest);
        } else if (key == "row") {
            const auto fields = splitEscaped(rest);
            if (fields.size() != 2 + kParamCount) {
                throw std::runtime_error(path.string() + ": a row needs ten fields: " + rest);
            }
            ExpectedRow row{fields[0], fields[1], {}};
            for (std::size_t k = 2; k < fields.size(); ++k) {
                row.values.push_back(std::strtod(fields[k].c_str(), nullptr));
            }
            e.rowList.push_back(std::move(row));
        } else {
            throw std::runtime_error(path.string() + ": unknown line: " + line);
        }
    }
    return e;
}

// The document beside NAME.expected: the one other file named NAME.*.
inline fs::path documentFor(const fs::path& expected) {
    for (const auto& entry : fs::directory_iterator(kFolder)) {
        if (entry.path().stem() == expected.stem() && entry.path().extension() != ".expected") {
            return entry.path();
        }
    }
    return {};
}

inline std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFolder)) {
        if (entry.path().extension() == ".expected") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The rows and the error codes of a read against what is expected.
inline void expectRead(const Expectation& expected, const ModelTable& table,
                       const std::vector<int>& errors) {
    const std::int32_t rows = table.fNum;
    if (expected.rows) {
        EXPECT_EQ(rows, *expected.rows);
    }
    if (expected.maxRows) {
        EXPECT_GE(rows, 0);
        EXPECT_LE(rows, *expected.maxRows);
    }
    if (expected.onlyError) {
        for (int code : errors) {
            EXPECT_EQ(code, *expected.onlyError);
        }
    } else {
        EXPECT_EQ(errors, expected.errors);
    }
    ASSERT_LE(expected.rowList.size(), static_cast<std::size_t>(std::max(rows, 0)));
    for (std::int32_t r = 1; r <= rows; ++r) {
        ASSERT_EQ(table.Number.get(r), r);
        ASSERT_LE(table.Manufacturer.get(r).size(), 255u);
        ASSERT_LE(table.ModelName.get(r).size(), 255u);
        if (static_cast<std::size_t>(r) > expected.rowList.size()) {
            continue;
        }
        const ExpectedRow& want = expected.rowList[static_cast<std::size_t>(r - 1)];
        EXPECT_EQ(table.Manufacturer.get(r), want.manufacturer) << "row " << r;
        EXPECT_EQ(table.ModelName.get(r), want.model) << "row " << r;
        for (Param p : kAllParams) {
            EXPECT_EQ(table.value(p, r), want.values[static_cast<std::size_t>(p)])
                << "row " << r << " column " << static_cast<int>(p);
        }
    }
}

} // namespace kestrune::test::golden
