#pragma once
// The About box, the Help menu's documents and links, and the click sound.
// A document or handler that is missing stays silent.

#include "model/app_state.h"

#include <string>
#include <string_view>

namespace kestrune {

// Where the help documents and the sound live, inside the program's data.
inline constexpr std::string_view kImagesFolder = "Images";
inline constexpr std::string_view kClickSound = "Click.aif";

// The text with every ".pdf" taken out.
std::string CFStringDeleteExtension(std::string_view text);
// The Japanese manual's menu title: its file name without ".pdf".
std::string JPManualName();

// The About box with the program's name, version, copyright and rights.
void HiAboutWnd(AppState& app);

// Opens a file shipped in the data folder's subfolder with its default
// application: -50 when it is not there, else the status of the open.
int CreateURLFromBundleResourceAndLaunch(AppState& app, std::string_view name,
                                         std::string_view subfolder);
// Opens a URL with its default handler: -50 when the text is not a URL.
int LSLaunchURL(AppState& app, std::string_view url);
// The maker's web site.
int LaunchMyURL(AppState& app);

// A Help menu command: a document or a link; false for any other command.
bool HelpMenuCommand(AppState& app, Command command);

// Plays a sound shipped in the data folder to its end: 0, -43 when the file
// is not there, or the player's error.
int PlayMovieSoundFromSupportFilename(AppState& app, std::string_view name,
                                      std::string_view subfolder);

} // namespace kestrune
