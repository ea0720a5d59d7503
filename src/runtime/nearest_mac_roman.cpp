#include "runtime/nearest_mac_roman.h"

#include "runtime/mac_roman.h"

#include <memory>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace kestrune {
namespace {

// The Mac OS Roman bytes of text, when every character of it has one.
bool allMacRoman(const icu::UnicodeString& text, std::string& out) {
    std::string bytes;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        char byte = 0;
        if (!macRomanByteOf(static_cast<char32_t>(text.char32At(i)), byte)) {
            return false;
        }
        bytes.push_back(byte);
    }
    out = std::move(bytes);
    return !out.empty();
}

class Nearest {
public:
    // The stand-in for a character Mac OS Roman lacks.
    std::string of(char32_t cp) {
        const icu::UnicodeString character(static_cast<UChar32>(cp));
        std::string out;
        // A letter with marks: the letter, kept with any mark Mac OS Roman
        // has for it.
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
        if (U_SUCCESS(status)) {
            const icu::UnicodeString decomposed = nfd->normalize(character, status);
            if (U_SUCCESS(status) && decomposed != character &&
                allMacRoman(decomposed.tempSubString(0, decomposed.moveIndex32(0, 1)), out)) {
                return out;
            }
        }
        // Letters such as Ł, whose stroke is no mark of their own.
        if (latin() != nullptr) {
            icu::UnicodeString spelt(character);
            latin_->transliterate(spelt);
            if (spelt != character && allMacRoman(spelt, out)) {
                return out;
            }
        }
        return "?";
    }

private:
    icu::Transliterator* latin() {
        if (!tried_) {
            tried_ = true;
            UErrorCode status = U_ZERO_ERROR;
            latin_.reset(
                icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
            if (U_FAILURE(status)) {
                latin_.reset();
            }
        }
        return latin_.get();
    }

    bool tried_ = false;
    std::unique_ptr<icu::Transliterator> latin_;
};

} // namespace

std::string NearestMacRoman(std::string_view utf8, bool& changed) {
    std::string out;
    out.reserve(utf8.size());
    Nearest nearest;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(utf8, i, cp);
        char byte = 0;
        if (length > 0 && macRomanByteOf(cp, byte)) {
            out.push_back(byte);
            i += length;
            continue;
        }
        changed = true;
        out += length > 0 ? nearest.of(cp) : "?";
        i += length > 0 ? length : 1;
    }
    return out;
}

} // namespace kestrune
