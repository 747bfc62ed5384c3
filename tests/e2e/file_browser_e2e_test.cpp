// The file browser on the desktop simulator, through its own input path (window events): in the
// in-game menu the user clicks a reference row's picture button; in the browser clicks into a
// folder, up, home, drags the slider's knob, clicks a picture, and the menu has the path and the
// picture is loaded (its row's eye button then hides it); a second visit left with the back button
// changes nothing.

#include "tests/support/offscreen_user.h"
#include "tests/support/simulator_input.h"

#include "app/SceneSetup.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/VRFileBrowser.h"
#include "pages/VoxelMenu.h"

#include "editing/ReferenceImageSet.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimScreenshot.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimUIManager.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using namespace SimulatorInput;
namespace fs = std::filesystem;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class FileBrowserE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path home = user.temp.Path() / "home";
        fs::create_directories(home / "Pictures" / "Trips");
        for (const fs::path& file : {home / "Pictures" / "cover.png", home / "Pictures" / "Trips" / "sea.png"})
        {
            PimTexture picture;
            picture.Create(8, 8, PimColor(30, 90, 200, 255));
            ASSERT_TRUE(picture.Save(file.string()));
        }
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        auto* menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(RunUntil(60, [menu] { return menu->IsBuilt(); }));
        // The in-game menu as a world page opens it, without a world to edit.
        inGame = std::make_shared<InGameMenuPageVr>(*settings, scene.viewerCamera, nullptr);
        images = std::make_unique<ReferenceImageSet>(*settings);
        inGame->AttachReferenceImages(*images);
        menu->AddChildPage(inGame);
        inGame->ActivateThisPage();
        Frames(10);
        ASSERT_EQ(Active(), inGame.get());
    }
    void TearDown() override
    {
        inGame.reset();
        images.reset();
        scene = {};
        PimSystem::Shutdown();
    }

    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    VRFileBrowser& Browser() { return inGame->GetFileBrowser(); }
    static bool RunUntil(int frames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < frames && !done(); ++frame)
            Frames(1);
        return done();
    }
    // The pixel of a world point, turning the view towards it (Q left, E right) until it is on
    // the window.
    SDL_Point PixelOn(const PimVector3& point)
    {
        std::optional<SDL_Point> pixel = PixelOf(point, kWidth, kHeight);
        const auto onWindow = [&] {
            return pixel && pixel->x > 4 && pixel->x < kWidth - 4 && pixel->y > 4 && pixel->y < kHeight - 4;
        };
        for (int turns = 0; turns < 12 && !onWindow(); ++turns)
        {
            const SDL_Keycode turn = pixel && pixel->x >= kWidth / 2 ? SDLK_e : SDLK_q;
            Key(SDL_KEYDOWN, turn);
            Frames(10);
            Key(SDL_KEYUP, turn);
            Frames(3);
            pixel = PixelOf(point, kWidth, kHeight);
        }
        EXPECT_TRUE(onWindow()) << "at " << point.x << ", " << point.y << ", " << point.z;
        return pixel.value_or(SDL_Point{0, 0});
    }
    void ClickWorldPoint(const PimVector3& point)
    {
        const SDL_Point pixel = PixelOn(point);
        ClickAt(pixel.x, pixel.y);
    }
    void ClickEntry(const std::wstring& name)
    {
        for (const auto& entry : Browser().GetEntries())
            if (entry->GetName() == name)
                return ClickWorldPoint(entry->GetPosition());
        ADD_FAILURE() << "no line for " << PimWString(name).Narrow();
    }
    PimWString Pictures() const
    {
        return PimWString::Widen((user.temp.Path() / "home" / "Pictures").string() + "/");
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    std::shared_ptr<InGameMenuPageVr> inGame;
    std::unique_ptr<ReferenceImageSet> images;
};

TEST_F(FileBrowserE2E, FoldersUpHomeTheSliderAndAPictureAreReachedWithTheMouse)
{
    settings->activeGame.SetRefImagePath(2, L"/earlier/choice.png");
    // The third row's picture button, on the wall behind the user.
    ClickWorldPoint(inGame->GetReferenceRow(2).GetPictureButton().GetBaseLocation());
    Frames(10);
    ASSERT_EQ(Active(), &Browser());
    EXPECT_EQ(Browser().GetCurrentFolder(), Pictures()) << "the first visit shows the pictures folder";
    // A picture of the booth, kept under the build folder to look at (the mouse hand moved aside).
    Pointer(5, 5);
    Frames(5);
    PimTexture picture;
    if (PimScreenshot::Capture(picture))
    {
        fs::create_directories("file_browser");
        picture.Save("file_browser/booth.png");
    }

    ClickEntry(L"Trips");
    EXPECT_EQ(Browser().GetCurrentFolder(), Pictures() + L"Trips/");
    ClickWorldPoint(Browser().GetUpButton().GetBaseLocation());
    EXPECT_EQ(Browser().GetCurrentFolder(), Pictures());
    ClickEntry(L"Trips");
    ClickWorldPoint(Browser().GetHomeButton().GetBaseLocation());
    EXPECT_EQ(Browser().GetCurrentFolder(), Pictures());

    // The knob held with the mouse follows the pointer down the track.
    PimVrUISlider& slider = Browser().GetScrollSlider().GetSlider();
    const SDL_Point knob = PixelOn(slider.GetSliderPosition());
    const SDL_Point end = PixelOn(slider.GetEndcapPosition());
    Pointer(knob.x, knob.y);
    Frames(2);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, knob.x, knob.y);
    Frames(2);
    ASSERT_TRUE(slider.IsBeingGrasped());
    for (int step = 1; step <= 4; ++step)
    {
        const int x = knob.x + (end.x - knob.x) * step / 8;
        const int y = knob.y + (end.y - knob.y) * step / 8;
        Pointer(x, y);
        Frames(2);
    }
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Frames(2);
    EXPECT_GT(slider.GetValue(), 0.5f) << "about half way down a track of two lines";
    EXPECT_LT(Browser().GetEntries()[0]->GetPosition().y, VRFileBrowser::kColumnOrigin.y);

    ClickEntry(L"Trips");
    ClickEntry(L"sea.png");
    ASSERT_TRUE(RunUntil(10, [this] { return Active() == inGame.get(); })) << "a picture chosen returns to the menu";
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), Pictures() + L"Trips/sea.png");
    EXPECT_EQ(inGame->GetChangedPictureSlots(), 0b100);
    ASSERT_TRUE(images->IsShown(2)) << "the chosen picture is loaded into its slot";
    ASSERT_TRUE(inGame->GetReferenceRow(2).HasPicture());
    // The row's eye button hides it.
    ClickWorldPoint(inGame->GetReferenceRow(2).GetVisibilityButton().GetBaseLocation());
    EXPECT_FALSE(settings->activeGame.GetRefImageEnabled(2));
    EXPECT_FALSE(images->IsShown(2));

    // Again, for another slot, left with the back button: nothing changes, and the folder stays.
    settings->activeGame.SetRefImagePath(0, L"/earlier/choice.png");
    inGame->RequestBrowse(0);
    Frames(10);
    EXPECT_EQ(Browser().GetCurrentFolder(), Pictures() + L"Trips/");
    ClickWorldPoint(Browser().GetBackButton().GetBaseLocation());
    ASSERT_TRUE(RunUntil(10, [this] { return Active() == inGame.get(); }));
    EXPECT_EQ(settings->activeGame.GetRefImagePath(0), L"/earlier/choice.png");
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), Pictures() + L"Trips/sea.png");
}
}
