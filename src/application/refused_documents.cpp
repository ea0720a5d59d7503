#include "application/refused_documents.h"

#include "documents/data_sheet_format.h"
#include "runtime/short_name.h"

#include <algorithm>

namespace kestrune {
namespace {

constexpr std::size_t kNamesShown = 5;
constexpr std::size_t kReasonsShown = 3;

std::string quoted(const std::string& name) {
    return "\u201C" + name + "\u201D";
}

} // namespace

void RefusedDocuments::add(std::string_view path, const std::string& reason) {
    ++count_;
    if (names_.size() < kNamesShown) {
        names_.push_back(NameForMessage(LastPathComponent(path)));
    }
    if (reasons_.size() < kReasonsShown &&
        std::find(reasons_.begin(), reasons_.end(), reason) == reasons_.end()) {
        reasons_.push_back(reason);
    }
}

std::string RefusedDocuments::message() const {
    if (count_ == 1 && names_.size() == 1) {
        return "The document " + quoted(names_[0]) + " could not be opened.";
    }
    return std::to_string(count_) + " documents could not be opened.";
}

std::string RefusedDocuments::details() const {
    std::string text;
    if (count_ > 1 || names_.size() != 1) {
        for (std::size_t k = 0; k < names_.size(); ++k) {
            text += (k == 0 ? "" : ", ") + quoted(names_[k]);
        }
        const std::int64_t unnamed = count_ - static_cast<std::int64_t>(names_.size());
        if (unnamed > 0) {
            text += (names_.empty() ? "" : " and ") + std::to_string(unnamed) +
                    (names_.empty() ? " documents" : " more");
        }
        text += ".\n";
    }
    for (std::size_t k = 0; k < reasons_.size(); ++k) {
        text += (k == 0 ? "" : "\n") + reasons_[k];
    }
    return text;
}

} // namespace kestrune
