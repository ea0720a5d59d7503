#pragma once
// ICU's handles that close themselves.

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <memory>

namespace kestrune {

struct CloseIcuSet {
    void operator()(USet* set) const { uset_close(set); }
};
using IcuSet = std::unique_ptr<USet, CloseIcuSet>;

struct CloseIcuCollator {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using IcuCollator = std::unique_ptr<UCollator, CloseIcuCollator>;

struct CloseIcuElements {
    void operator()(UCollationElements* elements) const { ucol_closeElements(elements); }
};
using IcuElements = std::unique_ptr<UCollationElements, CloseIcuElements>;

} // namespace kestrune
