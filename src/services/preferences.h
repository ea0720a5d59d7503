#pragma once
// The six settings that survive from one launch to the next, read at
// start-up and written at quit:
//   "Bounds", "PrefeBounds"  rectangles, as text: " 44, 0, 364, 745"
//   "BoundsCheck", "SoundCheck", "UpdateForCheck", "TransMethodCheck"  integers
// A key that is missing or holds the wrong kind of value keeps its default.

#include "model/app_state.h"
#include "ports/preference_store.h"

#include <string>
#include <string_view>

namespace kestrune {

// Reads the six keys into the state, over the defaults already there.
void LoadPrefs(AppState& app, PreferenceStore& store);
// Writes the six keys, then syncs the store.
void SavePrefs(const AppState& app, PreferenceStore& store);

// A rectangle's text: the four fields top, left, bottom, right, each as the
// number text of the program (non-negative ones with a leading space), joined
// by commas.
std::string RectangleText(const WindowBounds& bounds);
// Reads a rectangle from its text: top from the start, left from after the
// first comma, bottom after the next, right after the one after that; a
// missing comma starts the next field at the beginning of the text again.
// A field reads spaces, an optional '-' and digits (none: 0), cut to 16 bits.
WindowBounds ReadRectangle(std::string_view text);

} // namespace kestrune
