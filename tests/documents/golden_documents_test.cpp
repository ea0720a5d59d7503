// Walks tests/data/documents: each document there read as its NAME.expected
// says (see support/golden_documents.h).

#include "documents/data_sheet_format.h"
#include "support/golden_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrune;
using namespace kestrune::test::golden;

namespace {

class GoldenDocument : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(GoldenDocument, LoadsAsExpected) {
    const fs::path expectedPath = kFolder / (GetParam() + ".expected");
    const Expectation expected = parseExpectation(expectedPath);
    const fs::path document = documentFor(expectedPath);
    ASSERT_FALSE(document.empty()) << "no document for " << expectedPath;

    const TableRead read = ReadDataSheet(ModelTable(nullptr), document.string());
    ASSERT_TRUE(read.ok);
    std::vector<int> errors;
    for (const FileError& error : read.errors) {
        EXPECT_EQ(error.fileNumber, kDocumentFileNumber);
        errors.push_back(error.code);
    }
    expectRead(expected, read.table, errors);
}

INSTANTIATE_TEST_SUITE_P(Folder, GoldenDocument, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });
