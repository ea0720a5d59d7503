#include "runtime/utf8_text.h"

namespace kestrune {

std::size_t CharacterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = lead <= 0xEF ? 3 : 1;
    } else if (lead >= 0xC2) {
        length = 2;
    }
    if (at + length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

std::size_t EightBitToUtf8(std::string_view text, char32_t (*codePoint)(unsigned char), char* out) {
    char* const first = out;
    for (const char c : text) {
        const char32_t cp = codePoint(static_cast<unsigned char>(c));
        if (cp < 0x80) {
            *out++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *out++ = static_cast<char>(0xC0 | (cp >> 6));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *out++ = static_cast<char>(0xE0 | (cp >> 12));
            *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - first);
}

std::string_view CutLongText(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t count = 0; count < characters && at < text.size(); ++count) {
        at += CharacterLength(text, at);
    }
    return text.substr(0, at);
}

} // namespace kestrune
