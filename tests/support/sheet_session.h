#pragma once
// The application as it runs after launch, on the fake platform: menus,
// hand-overs and a sheet to change.

#include "application/lifecycle.h"
#include "application/open_documents.h"
#include "model/app_state.h"
#include "model/menu_model.h"
#include "sheet/sheet_input.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kestrune::test {

class Session {
public:
    Session() {
        StartUp(app);
        platform.fireTimers(); // launch is over
    }
    bool usable(int menu, int item) const { return app.menus.usable(menu, item); }
    // Types into the Dia cell of row 1 and moves on, so the sheet changes.
    void editSomething() {
        SheetMouseDown(app, 300, 85, 1);
        platform.type("25.4");
        SheetKeyDown(app, SheetKey::kRight, {});
    }
    // A hand-over as the desktop makes it; it is taken from the event loop.
    void handOver(const std::vector<std::string>& paths) {
        HandleOpenDocuments(app, paths);
        platform.fireTimers();
    }
    std::string callsJoined() const {
        std::string all;
        for (const auto& c : platform.calls) {
            all += c + ";";
        }
        return all;
    }

    FakePlatform platform;
    AppState app{platform};
    TempDir dir;
};

class SheetSession : public ::testing::Test, public Session {};

} // namespace kestrune::test
