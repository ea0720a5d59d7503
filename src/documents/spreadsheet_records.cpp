#include "documents/spreadsheet_records.h"

#include "runtime/line_breaks.h"
#include "runtime/number_text.h"
#include "runtime/table_numbers.h"

#include <algorithm>
#include <cstring>

namespace kestrune {
namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// A blank that does not part fields.
bool isBlank(char c, char separator) {
    return c == ' ' || (c == '\t' && separator != '\t');
}

// The length of the line end at p: 2 for CR LF, else 1; 0 when a CR is the
// last byte and an LF could still follow it.
std::size_t lineEndLength(const char* p, const char* last, BytesEnd end) {
    if (*p == '\n') {
        return 1;
    }
    if (p + 1 == last) {
        return end == BytesEnd::More ? 0 : 1;
    }
    return p[1] == '\n' ? 2 : 1;
}

bool isBlankText(std::string_view field) {
    return field.find_first_not_of(" \t") == std::string_view::npos;
}

struct Cutter {
    const char* p;
    const char* const end;
    const char separator;
    const BytesEnd bytesEnd;
    TableRecord& record;
    // A quoted field closes before this, or it is no quoted field.
    const char* const reach = end - p > static_cast<std::ptrdiff_t>(kMaxTableRecord)
                                  ? p + kMaxTableRecord
                                  : end;

    std::string& storageOf(int field) const {
        return record.storage[static_cast<std::size_t>(std::min(field, kTableFields + 1))];
    }

    enum class Quoted { Yes, No, Unfinished };

    // A quoted field, from just after its opening quote to the separator or
    // line end after its closing one. No, with p and the line ends left
    // to the caller, when the quote does not open a quoted field.
    Quoted quoted(std::string_view& field) {
        const char* const start = p;
        std::string* text = nullptr; // once the field's text differs from its bytes
        const auto differ = [&](const char* upTo) {
            if (text == nullptr) {
                text = &storageOf(record.count);
                text->assign(start, upTo);
            }
        };
        for (;;) {
            const char* const run = p;
            p = FindLineBreakOr(p, reach, '"');
            if (text != nullptr) {
                text->append(run, p);
            }
            if (p >= reach) {
                // Never closed within its reach: the quote is a character.
                return reach == end && bytesEnd != BytesEnd::File ? Quoted::Unfinished : Quoted::No;
            }
            if (*p == '"') {
                if (p + 1 == end && bytesEnd != BytesEnd::File) {
                    return Quoted::Unfinished;
                }
                if (p + 1 < end && p[1] == '"') {
                    differ(p);
                    text->push_back('"');
                    p += 2;
                    continue;
                }
                break;
            }
            const std::size_t length = lineEndLength(p, end, bytesEnd);
            if (length == 0) {
                return Quoted::Unfinished;
            }
            differ(p);
            text->push_back(' ');
            p += length;
            ++record.lineEnds;
        }
        const char* const closing = p++;
        while (p < end && isBlank(*p, separator)) {
            ++p;
        }
        if (p == end && bytesEnd != BytesEnd::File) {
            return Quoted::Unfinished;
        }
        if (p < end && *p != separator && !isLineEnd(*p)) {
            return Quoted::No; // text after the closing quote
        }
        field = text != nullptr
                    ? std::string_view(*text)
                    : std::string_view(start, static_cast<std::size_t>(closing - start));
        return Quoted::Yes;
    }

    RecordCut cut() {
        const char* const begin = p;
        record.count = 0;
        record.used = 0;
        record.lineEnds = 0;
        for (;;) {
            const char* const fieldStart = p;
            while (p < end && isBlank(*p, separator)) {
                ++p;
            }
            std::string_view field;
            bool quotedField = false;
            if (p < end && *p == '"') {
                const std::int64_t lineEnds = record.lineEnds;
                ++p;
                const Quoted done = quoted(field);
                if (done == Quoted::Unfinished) {
                    return RecordCut::Unfinished;
                }
                quotedField = done == Quoted::Yes;
                if (!quotedField) {
                    p = fieldStart;
                    record.lineEnds = lineEnds;
                }
            }
            if (!quotedField) {
                p = FindLineBreakOr(fieldStart, end, separator);
                field = std::string_view(fieldStart, static_cast<std::size_t>(p - fieldStart));
            }
            if (record.count <= kTableFields) {
                record.fields[static_cast<std::size_t>(record.count)] = field;
            }
            ++record.count;
            if (!isBlankText(field)) {
                record.used = record.count;
            }
            if (p == end) {
                if (bytesEnd != BytesEnd::File) {
                    return RecordCut::Unfinished;
                }
                break;
            }
            if (*p == separator) {
                ++p;
                continue;
            }
            const std::size_t length = lineEndLength(p, end, bytesEnd);
            if (length == 0) {
                return RecordCut::Unfinished;
            }
            p += length;
            ++record.lineEnds;
            break;
        }
        record.length = static_cast<std::size_t>(p - begin);
        return RecordCut::Whole;
    }
};

// Past the blanks at p (a comma parts the fields, so a tab is a blank).
const char* pastBlanks(const char* p, const char* last) {
    while (p < last && (*p == ' ' || *p == '\t')) {
        ++p;
    }
    return p;
}

// The name field at p of a line that ends at last, and where the field after
// it begins; nullptr unless it is unquoted, or quoted with its closing quote
// right before the comma and no quote or line break inside.
const char* plainName(const char* p, const char* last, std::string_view& name) {
    const char* const opening = pastBlanks(p, last);
    const bool quoted = opening < last && *opening == '"';
    p = quoted ? opening + 1 : p;
    const auto* const stop = static_cast<const char*>(
        std::memchr(p, quoted ? '"' : ',', static_cast<std::size_t>(last - p)));
    if (stop == nullptr) {
        return nullptr;
    }
    name = std::string_view(p, static_cast<std::size_t>(stop - p));
    if (!quoted) {
        return stop + 1;
    }
    return stop + 1 < last && stop[1] == ',' ? stop + 2 : nullptr;
}

} // namespace

bool ReadPlainRecord(std::string_view bytes, PlainRecord& record) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* const lineEnd = FindLineBreak(begin, end);
    // A CR that closes the bytes may still have its LF to come.
    if (lineEnd == end || (*lineEnd == '\r' && lineEnd + 1 == end)) {
        return false;
    }
    const char* p = plainName(begin, lineEnd, record.manufacturer);
    if (p == nullptr || (p = plainName(p, lineEnd, record.modelName)) == nullptr) {
        return false;
    }
    const std::string_view line(begin, static_cast<std::size_t>(lineEnd - begin));
    auto at = static_cast<std::size_t>(p - begin);
    for (std::size_t k = 0; k < record.values.size(); ++k) {
        at = static_cast<std::size_t>(pastBlanks(begin + at, lineEnd) - begin);
        if (!readPlainDecimalField(line, at, record.values[k])) {
            return false;
        }
        // A comma after each but the last, and the line end after that.
        if ((at == line.size()) != (k + 1 == record.values.size())) {
            return false;
        }
        ++at;
    }
    record.length =
        line.size() + (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n' ? 2 : 1);
    return true;
}

RecordCut CutRecord(std::string_view bytes, char separator, BytesEnd end, TableRecord& record) {
    Cutter cutter{bytes.data(), bytes.data() + bytes.size(), separator, end, record};
    return cutter.cut();
}

std::size_t LineLength(std::string_view bytes, BytesEnd end) {
    const char* const begin = bytes.data();
    const char* const last = begin + bytes.size();
    const char* const p = FindLineBreak(begin, last);
    if (p == last) {
        return end == BytesEnd::File ? bytes.size() : 0;
    }
    const std::size_t length = lineEndLength(p, last, end);
    return length == 0 ? 0 : static_cast<std::size_t>(p - begin) + length;
}

bool IsBlankLine(std::string_view bytes) {
    const auto p = std::find_if(bytes.begin(), bytes.end(), [](char c) { return !isBlank(c, 0); });
    return p == bytes.end() || isLineEnd(*p);
}

bool SkipToFirstRecord(std::string_view& start, BytesEnd end) {
    if (start.starts_with(kUtf8ByteOrderMark)) {
        start.remove_prefix(kUtf8ByteOrderMark.size());
    }
    while (!start.empty() && IsBlankLine(start)) {
        const std::size_t length = LineLength(start, end);
        if (length == 0) {
            return false;
        }
        start.remove_prefix(length);
    }
    return true;
}

int ModelFieldCount(const TableRecord& record) {
    return record.count > kTableFields ? std::max(record.used, kTableFields) : record.count;
}

DecimalMarks DecimalMarksOf(std::string_view bytes, char separator, BytesEnd end,
                            DecimalMarks fallback) {
    DecimalMarkVotes votes;
    TableRecord record;
    while (!bytes.empty() && !votes.settled()) {
        if (IsBlankLine(bytes)) {
            const std::size_t length = LineLength(bytes, end);
            if (length == 0) {
                break;
            }
            bytes.remove_prefix(length);
            continue;
        }
        if (CutRecord(bytes, separator, end, record) != RecordCut::Whole) {
            break;
        }
        const int fields = std::min(record.count, kTableFields + 1);
        for (int k = 2; k < fields; ++k) {
            votes.add(record.fields[static_cast<std::size_t>(k)]);
        }
        bytes.remove_prefix(record.length);
    }
    return votes.decided(fallback);
}

TableLayout TableLayoutOf(std::string_view start, BytesEnd end) {
    if (!SkipToFirstRecord(start, end)) {
        return {};
    }
    TableRecord record;
    int fields[3] = {};
    constexpr char kSeparators[3] = {',', '\t', ';'};
    for (int k = 0; k < 3; ++k) {
        if (CutRecord(start, kSeparators[k], end, record) == RecordCut::Unfinished) {
            return {};
        }
        fields[k] = ModelFieldCount(record);
    }
    const int commas = fields[0];
    const int tabs = fields[1];
    const int semicolons = fields[2];
    if (tabs > 1 && (commas == 1 || (tabs == kTableFields && commas != kTableFields))) {
        return {'\t', DecimalMarksOf(start, '\t', end, DecimalMarks::Point)};
    }
    if (semicolons == kTableFields && commas != kTableFields) {
        return {';', DecimalMarksOf(start, ';', end, DecimalMarks::Comma)};
    }
    return {};
}

} // namespace kestrune
