#pragma once
// Models in Kestrune's own clipboard form: what its Copy and Cut of a row
// offer beside the model text, so that its own Paste gets the row back to
// the last digit, where the model text rounds each number to its steps.
//
// The form is UTF-8 text, one model a line, each line ended by an LF: ten
// fields separated by tabs, the Manufacturer, the Model Name and the eight
// numbers from Dia to Mms. In the names a backslash, a tab, a CR and an LF
// are written \\, \t, \r and \n. Each number is the shortest text that reads
// back as the very same double ("74.45", "1e-20", "nan"), after a "~" when
// it was worked out rather than given (see ValueColumn).

#include "model/model_table.h"
#include "model/paste_buffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// Rows first to last in the own form.
std::string OwnModelsText(const ModelTable& table, std::int32_t first, std::int32_t last);

// The models of a text in the own form, in their order. Nothing when any
// line does not read (a field too many or too few, a number that is not
// one, an unknown escape, a name that is not UTF-8 or longer than 255
// characters), when there is no line, or when the text is over the limits
// of a row paste.
std::optional<std::vector<PasteBuffer>> ReadOwnModels(std::string_view text);

} // namespace kestrune
