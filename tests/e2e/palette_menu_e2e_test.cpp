// The in-game menu's palette wall in a running program, two ways:
// - on the desktop, through the simulator's own input (window events): M opens the menu, E turns
//   the view to the wall, a click puts a swatch into the palette's chosen slot and dragging the
//   red knob redefines that colour; the scroll knob dragged down brings the last rows up to click;
// - with a headset and scripted hands: a voxel painted in the world locks its colour; in the menu
//   the break-lock button frees it and the picker's green bar redefines it; the world's chunks
//   show the new colour after the menu is left, and the model reopened brings it back.

#include "tests/support/offscreen_user.h"
#include "tests/support/simulator_input.h"

#include "app/SceneSetup.h"

#include "colour/PaletteModel.h"
#include "colour/VrPaletteSelectionMenu.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/VRLoadingMenu.h"
#include "pages/VoxWorldCreator.h"
#include "pages/VoxelMenu.h"

#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"
#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

// The program started with its scene, a world opened under a new name.
class PaletteMenuE2E : public testing::Test
{
protected:
    void Start(PimDeviceMode mode, int width, int height)
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = mode;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = width;
        parameters.height = height;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(RunUntil(60, [this] { return menu->IsBuilt(); }));
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
    }

    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    static void Frames(int count) { PimSystem::RunFrames(static_cast<std::uint64_t>(count)); }
    static bool RunUntil(int frames, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < frames && !done(); ++frame)
            Frames(1);
        return done();
    }
    // Opens the model of that name (a new one the first time) as the hall's play button does and
    // waits until the loading booth has handed over.
    VoxWorldCreator* OpenWorld(const wchar_t* name)
    {
        settings->activeGame.SetGameWorldName(name);
        settings->activeGame.SetOptionsSet(true);
        VoxWorldCreator* world = nullptr;
        RunUntil(3000, [&] {
            world = dynamic_cast<VoxWorldCreator*>(Active());
            return world != nullptr && world->GetLoadingPage() != nullptr &&
                   world->GetWorld().GetBuildCount() >= world->GetLoadingPage()->GetExpectedChunks();
        });
        return world;
    }

    OffscreenUser user;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    VoxelMenu* menu = nullptr;
};

using namespace SimulatorInput;

TEST_F(PaletteMenuE2E, OnTheDesktopASwatchIsClickedIntoTheSlotTheRedKnobRecoloursAndTheScrollKnobBringsUpTheLastRows)
{
    constexpr int kWidth = 480;
    constexpr int kHeight = 360;
    Start(PimDeviceMode::Desktop, kWidth, kHeight);
    Frames(5);
    if (Active() != menu)
        Active()->ActivateParentPage(); // the preferences booth of a first start
    VoxWorldCreator* world = OpenWorld(L"DESKTOP PAINT");
    ASSERT_NE(world, nullptr);
    Frames(10);

    Tap(SDLK_m);
    Frames(5);
    auto* booth = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(booth, nullptr);
    VrPaletteSelectionMenu& wall = booth->GetPaletteMenu();
    EXPECT_FALSE(wall.IsHeadTurned()) << "the booth opens facing its rows";
    // E turns the view right, to the wall on the east side.
    constexpr int kSwatch = 37;
    const auto inView = [&](const PimVector3& point) {
        const std::optional<SDL_Point> pixel = PixelOf(point, kWidth, kHeight);
        return pixel && pixel->x > 10 && pixel->x < kWidth - 10 && pixel->y > 10 && pixel->y < kHeight - 10;
    };
    for (int turn = 0; turn < 12 && !(inView(wall.SwatchPosition(kSwatch)) && wall.IsHeadTurned()); ++turn)
    {
        Key(SDL_KEYDOWN, SDLK_e);
        Frames(10);
        Key(SDL_KEYUP, SDLK_e);
        Frames(2);
    }
    ASSERT_TRUE(inView(wall.SwatchPosition(kSwatch))) << "the wall is in view";
    EXPECT_TRUE(wall.IsHeadTurned());

    const int slot = wall.GetSelectedSlot();
    const std::optional<SDL_Point> swatch = PixelOf(wall.SwatchPosition(kSwatch), kWidth, kHeight);
    ClickAt(swatch->x, swatch->y);
    EXPECT_EQ(wall.GetSelectedIndex(), kSwatch);
    EXPECT_EQ(settings->activeGame.GetPaletteEntry(wall.GetPalette(), slot), PaletteModel::ColourVoxel(kSwatch));

    // Hold the red knob and drag it down the bar to its foot.
    const PimColor before = PaletteModel::GetWorldColour(kSwatch);
    ASSERT_GT(before.r, 100);
    const PimVrUISlider& red = wall.GetPicker().GetBar(0).GetSlider();
    for (int turn = 0; turn < 12 && !(inView(red.GetAnchorPosition()) && inView(red.GetSliderPosition())); ++turn)
    {
        Key(SDL_KEYDOWN, SDLK_e);
        Frames(4);
        Key(SDL_KEYUP, SDLK_e);
        Frames(2);
    }
    const std::optional<SDL_Point> knob = PixelOf(red.GetSliderPosition(), kWidth, kHeight);
    const std::optional<SDL_Point> foot = PixelOf(red.GetAnchorPosition(), kWidth, kHeight);
    ASSERT_TRUE(knob && foot && inView(red.GetAnchorPosition()) && inView(red.GetSliderPosition())) << "the picker is in view";
    Pointer(knob->x, knob->y);
    Frames(2);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, knob->x, knob->y);
    ASSERT_TRUE(RunUntil(10, [&] { return red.IsBeingGrasped(); })) << "the click grasps the knob";
    for (int step = 1; step <= 6; ++step)
    {
        Pointer(knob->x + (foot->x - knob->x) * step / 6, knob->y + (foot->y - knob->y) * step / 6);
        Frames(2);
    }
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, foot->x, foot->y);
    Frames(2);
    const PimColor after = PaletteModel::GetWorldColour(kSwatch);
    EXPECT_LT(after.r, 20) << "dragged down from " << int(before.r);
    EXPECT_EQ(after.g, before.g);
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(kSwatch, true), after);
    EXPECT_EQ(wall.GetSwatch(kSwatch).GetColour(), after);

    // The scroll knob dragged to the foot of its track brings the last rows up; one is clicked.
    const PimVrUISlider& scroll = wall.GetScrollSlider().GetSlider();
    const std::optional<SDL_Point> top = PixelOf(scroll.GetSliderPosition(), kWidth, kHeight);
    const std::optional<SDL_Point> bottom = PixelOf(scroll.GetEndcapPosition(), kWidth, kHeight);
    ASSERT_TRUE(top && bottom && inView(scroll.GetEndcapPosition())) << "the scroll slider is in view";
    Pointer(top->x, top->y);
    Frames(2);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, top->x, top->y);
    ASSERT_TRUE(RunUntil(10, [&] { return scroll.IsBeingGrasped(); })) << "the click grasps the scroll knob";
    for (int step = 1; step <= 6; ++step)
    {
        Pointer(top->x + (bottom->x - top->x) * step / 6, top->y + (bottom->y - top->y) * step / 6 + 3);
        Frames(2);
    }
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, bottom->x, bottom->y);
    Frames(2);
    EXPECT_GT(wall.GetScroll(), 0.95f);
    constexpr int kLateSwatch = 250;
    ASSERT_FALSE(wall.IsFolded(kLateSwatch));
    EXPECT_TRUE(wall.IsFolded(kSwatch)) << "the first rows are folded away";
    const std::optional<SDL_Point> late = PixelOf(wall.SwatchPosition(kLateSwatch), kWidth, kHeight);
    ASSERT_TRUE(late && inView(wall.SwatchPosition(kLateSwatch)));
    ClickAt(late->x, late->y);
    EXPECT_EQ(wall.GetSelectedIndex(), kLateSwatch);
    EXPECT_EQ(settings->activeGame.GetPaletteEntry(wall.GetPalette(), slot), PaletteModel::ColourVoxel(kLateSwatch));
}

TEST_F(PaletteMenuE2E, WithAHeadsetAPaintedColourIsUnlockedRedefinedAndKeptWithTheModel)
{
    Start(PimDeviceMode::Scripted, 300, 300);
    PimVrSystem& vr = PimVrSystem::GetInstance();
    PimVrScriptedDevice& script = *vr.GetScript();
    const auto rest = [&] {
        script.SetPose(PimVrDeviceIndex::LeftHand, PimVector3(-0.3f, 0.9f, -0.3f), PimMatrix4x4());
        script.SetPose(kRight, PimVector3(0.3f, 0.9f, -0.3f), PimMatrix4x4());
    };
    const auto tipAt = [&](const PimVector3& world) {
        const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        const PimVector3 tip = unturn.TransformDirection(world - vr.GetRootPosition()) / vr.GetScale();
        script.SetPose(kRight, tip + PimVector3(0.0f, 0.0f, PimVrController::TipDistance), PimMatrix4x4());
    };
    const auto pull = [&](int button, int frames) {
        script.SetValue(kRight, button, 1.0f);
        Frames(frames);
        script.SetValue(kRight, button, 0.0f);
        Frames(3);
    };
    rest();
    Frames(5);
    if (Active() != menu)
        pull(PimVrButton::Menu, 3);
    ASSERT_TRUE(RunUntil(30, [this] { return Active() == menu; }));
    VoxWorldCreator* world = OpenWorld(L"HEADSET PAINT");
    ASSERT_NE(world, nullptr);

    // Paint a voxel: its colour is locked.
    Frames(20);
    script.SetPose(kRight, PimVector3(0.2f, 1.3f, -0.4f), PimMatrix4x4());
    Frames(20);
    pull(PimVrButton::Trigger, 3);
    VoxelEditor& editor = *world->GetPlayer().GetEditor();
    ASSERT_EQ(editor.GetPlacementCount(), 1u);
    const PimVector3 cell = editor.GetLastSingleCell() + PimVector3(0.5f, 0.5f, 0.5f);
    const std::uint16_t voxel = world->GetWorld().GetWorldVoxel(cell);
    ASSERT_TRUE(PaletteModel::IsColourVoxel(voxel));
    Frames(3);
    fprintf(stderr, "DBG after paint %d count %d\n", world->GetWorld().GetWorldVoxel(cell), int(editor.GetPlacementCount()));
    const int colour = voxel - PaletteModel::ColourVoxelBase;
    EXPECT_TRUE(settings->activeGame.IsColourLocked(static_cast<std::uint16_t>(colour)));
    const PimColor painted = PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(colour), true);

    // The menu opens on the palette's first slot, the colour just painted with; turn to the wall.
    rest();
    pull(PimVrButton::Menu, 2);
    auto* booth = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(booth, nullptr);
    fprintf(stderr, "DBG after menu open %d\n", world->GetWorld().GetWorldVoxel(cell));
    Frames(4);
    script.SetPose(PimVrDeviceIndex::Headset, PimVector3(0.0f, 1.6f, 0.0f), PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(-90.0f)));
    Frames(2);
    VrPaletteSelectionMenu& wall = booth->GetPaletteMenu();
    ASSERT_EQ(wall.GetSelectedIndex(), colour);
    ASSERT_TRUE(wall.IsLockedColour(colour)) << "the menu shows the lock of the painted colour";

    // The green bar is refused while locked...
    const PimVrUISlider& green = wall.GetPicker().GetBar(1).GetSlider();
    const auto dragGreenToFoot = [&] {
        tipAt(green.GetSliderPosition());
        Frames(2);
        script.SetValue(kRight, PimVrButton::Trigger, 1.0f);
        Frames(2);
        const PimVector3 from = green.GetSliderPosition();
        for (int step = 1; step <= 5; ++step)
        {
            tipAt(from + (green.GetAnchorPosition() - from) * (static_cast<float>(step) / 5.0f));
            Frames(1);
            fprintf(stderr, "DBG step %d %d g=%d chunks=%d\n", step, world->GetWorld().GetWorldVoxel(cell), PimVoxelGrid::GetColorDefinition(248, true).g, int(world->GetWorld().GetBuildCount()));
        }
        script.SetValue(kRight, PimVrButton::Trigger, 0.0f);
        rest();
        Frames(3);
    };
    dragGreenToFoot();
    fprintf(stderr, "DBG after drag1 %d\n", world->GetWorld().GetWorldVoxel(cell));
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(colour), true), painted);

    // ... until the break-lock button beside the picker frees it.
    tipAt(wall.GetBreakLockButton().GetBaseLocation());
    Frames(2);
    pull(PimVrButton::Trigger, 2);
    rest();
    Frames(2);
    EXPECT_FALSE(settings->activeGame.IsColourLocked(static_cast<std::uint16_t>(colour)));
    fprintf(stderr, "DBG after break %d\n", world->GetWorld().GetWorldVoxel(cell));
    dragGreenToFoot();
    const PimColor redefined = PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(colour), true);
    EXPECT_LT(redefined.g, 10);
    EXPECT_EQ(redefined.r, painted.r);
    EXPECT_EQ(PaletteModel::GetWorldColour(colour), redefined);

    // Back in the world the painted voxel is the same value in the new colour.
    fprintf(stderr, "DBG pre-pull %d\n", world->GetWorld().GetWorldVoxel(cell));
    script.SetValue(kRight, PimVrButton::Menu, 1.0f);
    for (int f = 0; f < 5; ++f) { Frames(1); fprintf(stderr, "DBG pull %d %d active=%p world=%p\n", f, world->GetWorld().GetWorldVoxel(cell), (void*)Active(), (void*)world); if (f == 1) script.SetValue(kRight, PimVrButton::Menu, 0.0f); }
    fprintf(stderr, "DBG before leaving %d\n", world->GetWorld().GetWorldVoxel(cell));
    ASSERT_TRUE(RunUntil(30, [&] { return Active() == world; }));
    fprintf(stderr, "DBG at world %d\n", world->GetWorld().GetWorldVoxel(cell));
    Frames(5);
    fprintf(stderr, "DBG at world+5 %d %f %f %f\n", world->GetWorld().GetWorldVoxel(cell), cell.x, cell.y, cell.z);
    EXPECT_EQ(world->GetWorld().GetWorldVoxel(cell), voxel);
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(colour), true), redefined);

    // Exit (saving the model) and open it again: its colour table brings the colour back.
    pull(PimVrButton::Menu, 2);
    booth = dynamic_cast<InGameMenuPageVr*>(Active());
    ASSERT_NE(booth, nullptr);
    Frames(4);
    script.SetPose(PimVrDeviceIndex::Headset, PimVector3(0.0f, 1.6f, 0.0f), PimMatrix4x4());
    tipAt(booth->GetExitButton().GetBaseLocation());
    Frames(2);
    pull(PimVrButton::Trigger, 3);
    rest();
    ASSERT_TRUE(RunUntil(60, [this] { return Active() == menu; }));
    settings->activeGame.SetColour(painted, static_cast<std::uint8_t>(colour)); // as another world would leave it
    Frames(10);
    world = OpenWorld(L"HEADSET PAINT");
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(world->IsExistingWorld());
    EXPECT_EQ(PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(colour), true), redefined);
    EXPECT_TRUE(RunUntil(600, [&] { return world->GetWorld().GetWorldVoxel(cell) == voxel; }));
}
}
