#include "services/tarnwell_link.h"

#include "exchange/clipboard_routing.h"
#include "exchange/model_text.h"
#include "runtime/mac_roman.h"
#include "runtime/nearest_mac_roman.h"
#include "services/help.h"
#include "sheet/sheet_redraw.h"

namespace kestrune {
namespace {

// The Send button follows the flags at once.
void refreshSendButton(AppState& app) {
    if (app.flags.MainWndOpenFlag != 0) {
        app.platform().updateToolArea(BuildToolArea(app));
    }
}

void clickSound(AppState& app) {
    if (app.prefs.SoundCheck == 1) {
        PlayMovieSoundFromSupportFilename(app, kClickSound, kImagesFolder);
    }
}

} // namespace

void SndAppleEvent(AppState& app, std::string_view eventClass, std::string_view text,
                   std::string_view target) {
    app.platform().sendEventToProcesses(std::string(target), std::string(eventClass),
                                        std::string(kTextEventId),
                                        std::string(text.substr(0, Str255::kMaxLength)));
}

void AnnounceToTarnwell(AppState& app) {
    SndAppleEvent(app, kToTarnwellClass, kStartUpQuery, kTarnwellName);
}

int LaunchAppX(AppState& app) {
    return app.platform().launchApplication(std::string(kTarnwellName));
}

void SendParametersToTarnwell(AppState& app) {
    const std::int32_t row = app.sel.cellV;
    bool changed = false;
    const std::string text = NearestMacRoman(SendText(app.table, row).view(), changed);
    LaunchAppX(app);
    SndAppleEvent(app, kToTarnwellClass, text, kTarnwellName);
    // Tarnwell reads Mac OS Roman only: the user hears which name it got
    // otherwise.
    std::string notice;
    for (const std::string_view name :
         {app.table.Manufacturer.get(row), app.table.ModelName.get(row)}) {
        bool nameChanged = false;
        const std::string sent = macRomanToUtf8(NearestMacRoman(name, nameChanged));
        if (nameChanged) {
            notice +=
                (notice.empty() ? "Sent to Tarnwell as \u201C" : ", \u201C") + sent + "\u201D";
        }
    }
    if (changed) {
        app.notice = {notice, row, app.sel.cellH};
        refreshSendButton(app);
    }
}

void CreateCFStringAndPutToClipboardForSend(AppState& app) {
    PutTextToClipboard(app, SendText(app.table, app.sel.cellV));
}

void ModelSelectSequence(AppState& app) {
    if (app.link.TarnBusyFlag != 0 || app.flags.MainWndOpenFlag == 0 || app.sel.cellV < 1 ||
        app.sel.cellV > app.table.fNum) {
        return;
    }
    if (app.prefs.TransMethodCheck != 1) {
        CreateCFStringAndPutToClipboardForSend(app);
        if (app.link.TarnLaunchFlag == 1) {
            LaunchAppX(app);
        }
        clickSound(app);
        return;
    }
    if (app.link.TarnLaunchFlag == 1) {
        SendParametersToTarnwell(app);
        LaunchAppX(app);
        clickSound(app);
    }
}

void InstallTarnwellLink(AppState& app) {
    app.modelSelectSequence = [](AppState& state) { ModelSelectSequence(state); };
}

void DoAppleEvent(AppState& app, std::string_view eventClass, std::string_view eventId,
                  std::string_view text) {
    if (eventClass != kFromTarnwellClass || eventId != kTextEventId) {
        return;
    }
    const std::string_view status = text.substr(0, Str255::kMaxLength);
    LinkState& link = app.link;
    if (status == "Now I Opend") {
        link.TarnLaunchFlag = 1;
    } else if (status == "Now I Closed") {
        link.TarnLaunchFlag = 0;
    } else if (status == "Now I am busy") {
        link.TarnBusyFlag = 1;
    } else if (status == "Now I am free") {
        link.TarnBusyFlag = 0;
    } else {
        return;
    }
    refreshSendButton(app);
}

} // namespace kestrune
