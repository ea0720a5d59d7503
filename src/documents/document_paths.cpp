#include "documents/document_paths.h"

namespace kestrune {
namespace {

constexpr std::string_view kFileScheme = "file://";

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            bytes.push_back(text[i]);
        }
    }
    return bytes;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
        if (a != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string DocumentPathFromArgument(std::string_view argument, std::string_view workingFolder) {
    if (argument.empty()) {
        return {};
    }
    if (startsWithNoCase(argument, kFileScheme)) {
        std::string_view rest = argument.substr(kFileScheme.size());
        const auto slash = rest.find('/');
        if (slash == std::string_view::npos) {
            return {};
        }
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && host != "localhost") {
            return {};
        }
        rest = rest.substr(slash);
        rest = rest.substr(0, rest.find_first_of("?#"));
        return percentDecoded(rest);
    }
    if (argument.front() == '/') {
        return std::string(argument);
    }
    if (workingFolder.empty() || workingFolder.front() != '/') {
        return {};
    }
    std::string path(workingFolder);
    if (path.back() != '/') {
        path.push_back('/');
    }
    if (argument.starts_with("./")) {
        argument.remove_prefix(2);
    }
    path.append(argument);
    return path;
}

} // namespace kestrune
