#pragma once
// The made help documents as a reader sees them: their text and page count,
// through the PDF tools the build machine has (poppler's pdftotext, pdfinfo
// and pdffonts).

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::test {

// The Images folder of the build tree, where the documents are made.
inline std::string imagesPath(std::string_view name) {
    return std::string(KESTRUNE_IMAGES_DIR) + "/" + std::string(name);
}

// Standard output of a command, or the empty string when it cannot run.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    ::pclose(pipe);
    return out;
}

inline std::string quoted(std::string_view path) {
    std::string q = "'";
    for (char c : path) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// The text of the document, or of pages first to last; with layout, the
// cells of a table row stay on one line.
inline std::string pdfText(const std::string& path, bool layout = false, int first = 0,
                           int last = 0) {
    std::string command = std::string(KESTRUNE_PDFTOTEXT) + " -enc UTF-8";
    if (layout) {
        command += " -layout";
    }
    if (first > 0) {
        command += " -f " + std::to_string(first) + " -l " + std::to_string(last);
    }
    return commandOutput(command + " " + quoted(path) + " - 2>/dev/null");
}

inline int pdfPages(const std::string& path) {
    const std::string info =
        commandOutput(std::string(KESTRUNE_PDFINFO) + " " + quoted(path) + " 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

inline std::string pdfFonts(const std::string& path) {
    return commandOutput(std::string(KESTRUNE_PDFFONTS) + " " + quoted(path) + " 2>/dev/null");
}

// Runs of blanks, tabs and line ends become one blank, so that text compares
// the same however the PDF tools space it.
inline std::string squeezed(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        const bool isBlank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        if (isBlank) {
            blank = !out.empty();
            continue;
        }
        if (blank) {
            out += ' ';
            blank = false;
        }
        out += c;
    }
    return out;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        out.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return out;
}

} // namespace kestrune::test
