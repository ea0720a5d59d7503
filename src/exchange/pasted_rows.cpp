#include "exchange/pasted_rows.h"

#include "exchange/model_text.h"
#include "runtime/number_field.h"

#include <algorithm>
#include <string>

namespace kestrune {
namespace {

constexpr char kTab = '\t';
constexpr char kQuote = '"';
// Manufacturer, Model Name and the eight numbers.
constexpr std::size_t kCellsPerRow = 2 + kParamCount;

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

bool isBlank(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

bool isRowNumber(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A line of a clipboard text: its cells, and its text as it stands when no
// quoted cell carried it past its first line break.
struct Line {
    std::vector<std::string> cells;
    std::optional<std::string_view> text;
};

// Walks a clipboard text line by line. A quoted cell may hold line breaks,
// so a line ends at the first line break outside quotes.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    // The next line, its cells split at tabs. A line without a tab is one
    // cell that holds the line as it stands, quotes and all.
    Line next() {
        const std::size_t start = pos_;
        const std::size_t end = std::min(text_.find_first_of("\r\n", start), text_.size());
        Line line;
        line.cells.push_back(readCell());
        while (pos_ < text_.size() && text_[pos_] == kTab) {
            ++pos_;
            line.cells.push_back(readCell());
        }
        if (line.cells.size() == 1) {
            pos_ = end;
            line.cells.front() = std::string(text_.substr(start, end - start));
        }
        if (pos_ == end) {
            line.text = text_.substr(start, end - start);
        }
        skipLineBreak();
        return line;
    }

private:
    bool endsCell(std::size_t i) const {
        return i == text_.size() || text_[i] == kTab || isLineBreak(text_[i]);
    }

    std::string readCell() {
        if (pos_ < text_.size() && text_[pos_] == kQuote) {
            if (std::optional<std::string> quoted = readQuoted()) {
                return std::move(*quoted);
            }
        }
        const std::size_t start = pos_;
        while (!endsCell(pos_)) {
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    // A cell in double quotes, with "" for each quote inside, counts only
    // when its closing quote ends the cell; otherwise its first quote is
    // just a character of the cell. (A failed search stops at the first
    // lone quote, so no byte is searched twice over.)
    std::optional<std::string> readQuoted() {
        std::string cell;
        for (std::size_t i = pos_ + 1; i < text_.size(); ++i) {
            if (text_[i] != kQuote) {
                cell += text_[i];
            } else if (i + 1 < text_.size() && text_[i + 1] == kQuote) {
                cell += kQuote;
                ++i;
            } else if (endsCell(i + 1)) {
                pos_ = i + 1;
                return cell;
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    void skipLineBreak() {
        if (pos_ < text_.size() && text_[pos_] == '\r') {
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// A spreadsheet's row. Spreadsheets in decimal-comma locales copy 12,5.
std::optional<PasteBuffer> readCells(std::vector<std::string> cells) {
    while (cells.size() > kCellsPerRow && cells.back().empty()) {
        cells.pop_back();
    }
    if (cells.size() == kCellsPerRow + 1 && isRowNumber(cells.front())) {
        cells.erase(cells.begin());
    }
    if (cells.size() != kCellsPerRow) {
        return std::nullopt;
    }
    PasteBuffer model;
    model.s_Manuf = Str255(cells[0]);
    model.s_SP = Str255(cells[1]);
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const std::optional<double> value =
            ReadNumberField(cells[2 + i], DecimalMarks::PointOrComma);
        if (!value) {
            return std::nullopt;
        }
        model.values[i] = *value;
    }
    return model;
}

} // namespace

std::optional<std::vector<PasteBuffer>> ReadPastedRows(std::string_view text) {
    if (text.size() > kMaxPastedRowsBytes) {
        return std::nullopt;
    }
    std::vector<PasteBuffer> models;
    LineReader lines(text);
    while (!lines.atEnd()) {
        Line line = lines.next();
        if (std::all_of(line.cells.begin(), line.cells.end(),
                        [](const std::string& c) { return isBlank(c); })) {
            continue;
        }
        if (models.size() == kMaxPastedRows) {
            return std::nullopt;
        }
        std::optional<PasteBuffer> model = line.cells.size() == 1
                                               ? TextToParameterValue(line.cells.front())
                                               : readCells(std::move(line.cells));
        if (!model && line.text) {
            // The model text of a row whose name holds a tab.
            model = TextToParameterValue(*line.text);
        }
        if (!model) {
            return std::nullopt;
        }
        models.push_back(std::move(*model));
    }
    if (models.empty()) {
        return std::nullopt;
    }
    return models;
}

} // namespace kestrune
