#pragma once
// Documents handed over that could not be opened, gathered into one note.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class RefusedDocuments {
public:
    // One more document that could not be opened, and why.
    void add(std::string_view path, const std::string& reason);
    // Documents dropped unseen from a full queue, of which no name is known.
    void addUnnamed(std::int64_t count) { count_ += count; }
    bool empty() const { return count_ == 0; }
    std::int64_t count() const { return count_; }

    // The note: for one document its name and its reason; for more, how
    // many, the first few names and the reasons there were.
    std::string message() const;
    std::string details() const;

private:
    std::int64_t count_ = 0;
    std::vector<std::string> names_;   // the first few, cut for reading
    std::vector<std::string> reasons_; // each reason once
};

} // namespace kestrune
