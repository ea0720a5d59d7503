#include "services/preferences.h"

#include "runtime/number_text.h"

#include <array>
#include <charconv>
#include <limits>

namespace kestrune {
namespace {

constexpr const char* kBounds = "Bounds";
constexpr const char* kPrefeBounds = "PrefeBounds";
constexpr const char* kBoundsCheck = "BoundsCheck";
constexpr const char* kSoundCheck = "SoundCheck";
constexpr const char* kUpdateForCheck = "UpdateForCheck";
constexpr const char* kTransMethodCheck = "TransMethodCheck";

// Spaces, an optional '-', then digits up to the first non-digit, kept to
// their low 16 bits.
std::int16_t readField(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == '-';
    i += negative ? 1 : 0;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = (value * 10 + static_cast<std::uint32_t>(text[i] - '0')) & 0xFFFFu;
    }
    if (negative) {
        value = (0x10000u - value) & 0xFFFFu;
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

// A whole number, or a text that reads as one (spaces around it allowed).
std::optional<std::int32_t> integerOf(const StoredValue& stored) {
    if (const auto* number = std::get_if<std::int64_t>(&stored)) {
        if (*number < std::numeric_limits<std::int32_t>::min() ||
            *number > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(*number);
    }
    std::string_view text = std::get<std::string>(stored);
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A switch keeps its default unless the stored value is one it can take.
void readInteger(PreferenceStore& store, const char* key, std::int32_t& target, std::int32_t lowest,
                 std::int32_t highest) {
    if (const std::optional<StoredValue> stored = store.value(key)) {
        if (const std::optional<std::int32_t> value = integerOf(*stored);
            value && *value >= lowest && *value <= highest) {
            target = *value;
        }
    }
}

void readRectangle(PreferenceStore& store, const char* key, WindowBounds& target) {
    const std::optional<StoredValue> stored = store.value(key);
    if (!stored || !std::holds_alternative<std::string>(*stored)) {
        return;
    }
    const std::string& text = std::get<std::string>(*stored);
    if (text.empty()) {
        return;
    }
    target = ReadRectangle(text);
}

} // namespace

WindowBounds ReadRectangle(std::string_view text) {
    std::array<std::int16_t, 4> fields{};
    std::size_t from = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) {
            const std::size_t comma = text.find(',', from);
            from = comma == std::string_view::npos ? 0 : comma + 1;
        }
        fields[k] = readField(text, from);
    }
    return WindowBounds{fields[0], fields[1], fields[2], fields[3]};
}

std::string RectangleText(const WindowBounds& bounds) {
    return PSstr(bounds.top) + "," + PSstr(bounds.left) + "," + PSstr(bounds.bottom) + "," +
           PSstr(bounds.right);
}

void LoadPrefs(AppState& app, PreferenceStore& store) {
    readRectangle(store, kBounds, app.Bounds);
    readRectangle(store, kPrefeBounds, app.PrefeBounds);
    readInteger(store, kBoundsCheck, app.prefs.BoundsCheck, 0, 1);
    readInteger(store, kSoundCheck, app.prefs.SoundCheck, 0, 1);
    readInteger(store, kUpdateForCheck, app.prefs.UpdateForCheck, 0, 1);
    readInteger(store, kTransMethodCheck, app.prefs.TransMethodCheck, 1, 2);
}

void SavePrefs(const AppState& app, PreferenceStore& store) {
    store.setText(kBounds, RectangleText(app.Bounds));
    store.setText(kPrefeBounds, RectangleText(app.PrefeBounds));
    store.setInteger(kBoundsCheck, app.prefs.BoundsCheck);
    store.setInteger(kSoundCheck, app.prefs.SoundCheck);
    store.setInteger(kUpdateForCheck, app.prefs.UpdateForCheck);
    store.setInteger(kTransMethodCheck, app.prefs.TransMethodCheck);
    store.sync();
}

} // namespace kestrune
