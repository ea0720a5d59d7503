#include "services/help.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(Help, TheJapaneseManualsTitleLosesEveryPdf) {
    EXPECT_EQ(CFStringDeleteExtension("manual_ja.pdf"), "manual_ja");
    EXPECT_EQ(CFStringDeleteExtension("a.pdf.b.pdf"), "a.b");
    EXPECT_EQ(CFStringDeleteExtension("notes.PDF"), "notes.PDF");
    EXPECT_EQ(CFStringDeleteExtension(".pdf.pdf"), "");
}

TEST(Help, ItemsOpenTheirDocumentsAndLinksAndStaySilentWhenOneIsMissing) {
    test::FakePlatform platform;
    AppState app(platform);
    StartUp(app);
    const MenuItem* japanese = app.menus.findItem(MenuNum::kHelp, 2);
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(japanese->title, "Kestrune_Manual_ja");
    platform.resources = {"Kestrune's_Manual.pdf", "Kestrune_Manual_ja.pdf",
                          "T_S_Parameters_Description.pdf"}; // no release notes
    for (int item : {1, 2, 3, 4, 6, 7}) {
        EXPECT_TRUE(DispatchMenuCommand(app, MenuNum::kHelp, item)) << item;
    }
    ASSERT_EQ(platform.opened.size(), 5u);
    EXPECT_EQ(platform.opened[0], "/data/Images/Kestrune's_Manual.pdf");
    EXPECT_EQ(platform.opened[1], "/data/Images/Kestrune_Manual_ja.pdf");
    EXPECT_EQ(platform.opened[2], "/data/Images/T_S_Parameters_Description.pdf");
    EXPECT_EQ(platform.opened[3].rfind("https://", 0), 0u);
    EXPECT_EQ(platform.opened[4].rfind("mailto:", 0), 0u);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(platform.notes.empty());
}

TEST(Help, UrlsAreCheckedAndSoundsFoundBeforeAnythingRuns) {
    test::FakePlatform platform;
    AppState app(platform);
    EXPECT_EQ(LSLaunchURL(app, "not a url"), -50);
    EXPECT_EQ(LSLaunchURL(app, "https://example.org/a b"), -50);
    EXPECT_EQ(LSLaunchURL(app, ":nothing"), -50);
    EXPECT_EQ(LSLaunchURL(app, "mailto:someone@orvane-audio.example"), 0);
    EXPECT_EQ(PlayMovieSoundFromSupportFilename(app, kClickSound, kImagesFolder), -43);
    platform.resources = {"Click.aif"};
    EXPECT_EQ(PlayMovieSoundFromSupportFilename(app, kClickSound, kImagesFolder), 0);
    EXPECT_EQ(platform.sounds, std::vector<std::string>{"/data/Images/Click.aif"});
    EXPECT_EQ(platform.opened, std::vector<std::string>{"mailto:someone@orvane-audio.example"});
}

TEST(Help, TheAboutBoxNamesTheProgramAndItsVersion) {
    test::FakePlatform platform;
    AppState app(platform);
    DispatchMenuCommand(app, MenuNum::kApplication, 1);
    EXPECT_EQ(platform.about.name, "KestruneCatalog");
    EXPECT_FALSE(platform.about.version.empty());
    EXPECT_NE(platform.about.description.find("Orvane Audio"), std::string::npos);
    EXPECT_FALSE(platform.about.copyright.empty());
}

} // namespace
} // namespace kestrune
