#pragma once
// A command that runs out of memory half way changes nothing: what it took
// is given back, the sheet and its document stay as they were, and one
// alert says so.

#include <functional>
#include <string>
#include <string_view>

namespace kestrune {

class AppState;

// Why a command was not done: "There is not enough memory to " toDo ".".
std::string NotEnoughMemory(std::string_view toDo);

// The alert for a command that found too little memory: message says what
// was not done ("The sheet could not be sorted."), toDo what there is too
// little memory for ("sort it").
void TellNotEnoughMemory(AppState& app, const std::string& message, std::string_view toDo);

// Runs write, which writes the file at path through the output slot
// fileNumber. Out of memory, the slot is given up, so the file stays as it
// was and no half-written one is left, and the user is told. False then.
bool WriteOrTellNotEnoughMemory(AppState& app, int fileNumber, const std::string& path,
                                const std::function<void()>& write);

} // namespace kestrune
