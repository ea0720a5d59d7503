#include "services/help.h"

#include "services/build_info.h"

#include <algorithm>

namespace kestrune {
namespace {

constexpr int kParamErr = -50;
constexpr int kFileNotFound = -43;

constexpr std::string_view kManual = "Kestrune's_Manual.pdf";
constexpr std::string_view kParameters = "T_S_Parameters_Description.pdf";
constexpr std::string_view kReleaseNotes = "Kestrune_Release_Notes.pdf";

// A scheme ("https", "mailto" ...), a colon and something after it, with no
// blanks or control characters anywhere.
bool isUrl(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    const std::string_view scheme = text.substr(0, colon);
    const auto schemeChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '-' || c == '.';
    };
    const bool letterFirst = (scheme.front() >= 'a' && scheme.front() <= 'z') ||
                             (scheme.front() >= 'A' && scheme.front() <= 'Z');
    return letterFirst && std::all_of(scheme.begin(), scheme.end(), schemeChar) &&
           std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7F'; });
}

} // namespace

std::string CFStringDeleteExtension(std::string_view text) {
    constexpr std::string_view kExtension = ".pdf";
    std::string result(text);
    for (auto at = result.find(kExtension); at != std::string::npos;
         at = result.find(kExtension, at)) {
        result.erase(at, kExtension.size());
    }
    return result;
}

std::string JPManualName() {
    return CFStringDeleteExtension(BuildInfo::kJapaneseManual);
}

void HiAboutWnd(AppState& app) {
    AboutBox about;
    about.name = "KestruneCatalog";
    about.version = BuildInfo::kBundleVersion;
    about.description = BuildInfo::kCopyright;
    about.copyright = BuildInfo::kRightsNotice;
    app.platform().showAboutBox(about);
}

int CreateURLFromBundleResourceAndLaunch(AppState& app, std::string_view name,
                                         std::string_view subfolder) {
    const std::string path = app.platform().resourcePath(std::string(subfolder), std::string(name));
    if (path.empty()) {
        return kParamErr;
    }
    return app.platform().openWithDefaultHandler(path);
}

int LSLaunchURL(AppState& app, std::string_view url) {
    if (!isUrl(url)) {
        return kParamErr;
    }
    return app.platform().openWithDefaultHandler(std::string(url));
}

int LaunchMyURL(AppState& app) {
    return LSLaunchURL(app, BuildInfo::kMakerWebSite);
}

bool HelpMenuCommand(AppState& app, Command command) {
    switch (command) {
    case Command::HelpManual:
        CreateURLFromBundleResourceAndLaunch(app, kManual, kImagesFolder);
        return true;
    case Command::HelpDocument:
        CreateURLFromBundleResourceAndLaunch(app, BuildInfo::kJapaneseManual, kImagesFolder);
        return true;
    case Command::HelpParameters:
        CreateURLFromBundleResourceAndLaunch(app, kParameters, kImagesFolder);
        return true;
    case Command::HelpReleaseNotes:
        CreateURLFromBundleResourceAndLaunch(app, kReleaseNotes, kImagesFolder);
        return true;
    case Command::WebSite:
        LaunchMyURL(app);
        return true;
    case Command::MailToMaker:
        // The mail client, as a URL: no shell is ever involved.
        LSLaunchURL(app, std::string("mailto:") + BuildInfo::kMakerMailAddress);
        return true;
    default:
        return false;
    }
}

int PlayMovieSoundFromSupportFilename(AppState& app, std::string_view name,
                                      std::string_view subfolder) {
    const std::string path = app.platform().resourcePath(std::string(subfolder), std::string(name));
    if (path.empty()) {
        return kFileNotFound;
    }
    // The sound plays to its end with the event loop running: nothing handed
    // over may replace the sheet under the command that clicked.
    ++app.flags.DialogsUp;
    const int status = app.platform().playSound(path);
    --app.flags.DialogsUp;
    return status;
}

} // namespace kestrune
