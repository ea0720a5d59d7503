#pragma once
// Where the settings live between launches: a per-user store of named
// values. The program's rules for reading and writing them are its own; the
// store only keeps what it is given.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace kestrune {

// What a key holds: a whole number, or a text.
using StoredValue = std::variant<std::int64_t, std::string>;

class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;
    // The key's value; nothing when the key is missing.
    virtual std::optional<StoredValue> value(const std::string& key) = 0;
    virtual void setInteger(const std::string& key, std::int32_t value) = 0;
    virtual void setText(const std::string& key, const std::string& value) = 0;
    // Writes everything out (failures go unnoticed).
    virtual void sync() = 0;
};

} // namespace kestrune
