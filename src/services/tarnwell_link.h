#pragma once
// The link to Tarnwell, the box-design program: the selected model's
// parameters go to it directly or through the clipboard, and Tarnwell tells
// whether it runs and whether it is busy. Messages carry an event class and
// ID of four characters each and a text of Mac OS Roman bytes.

#include "model/app_state.h"

#include <string>
#include <string_view>

namespace kestrune {

inline constexpr std::string_view kTarnwellName = "Tarnwell";
// What Kestrune sends: class and ID.
inline constexpr std::string_view kToTarnwellClass = "TwKS";
inline constexpr std::string_view kTextEventId = "TEXT";
// What Tarnwell's status texts arrive as.
inline constexpr std::string_view kFromTarnwellClass = "kqKS";
inline constexpr std::string_view kStartUpQuery = "Are you Launched Tarnwell";

// Sends a text to every running process named target (but this one);
// nothing when none runs.
void SndAppleEvent(AppState& app, std::string_view eventClass, std::string_view text,
                   std::string_view target);
// The start-up query: Tarnwell answers with its status.
void AnnounceToTarnwell(AppState& app);
// Starts Tarnwell, or brings it to the front when it runs; nothing happens
// when it cannot be found.
int LaunchAppX(AppState& app);
// The send text of row cellV to Tarnwell.
void SendParametersToTarnwell(AppState& app);
// The send text of row cellV on the clipboard.
void CreateCFStringAndPutToClipboardForSend(AppState& app);

// The Send command (the Send/Copy button, Return or Enter on a row, a double
// click on a row): nothing while Tarnwell is busy; else the model goes by
// the chosen method, and the click sounds when asked for.
void ModelSelectSequence(AppState& app);
// Makes ModelSelectSequence the program's Send command.
void InstallTarnwellLink(AppState& app);

// A message from outside. Tarnwell's status texts (class "kqKS", ID
// "TEXT") set its flags and the Send button at once; anything else is
// ignored. Only the first 255 bytes of the text count.
void DoAppleEvent(AppState& app, std::string_view eventClass, std::string_view eventId,
                  std::string_view text);

} // namespace kestrune
