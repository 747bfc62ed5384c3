// The program's start-up and frame loop, run offscreen with scripted devices on a fixed clock.

#include "tests/support/offscreen_user.h"
#include "tests/support/open_test_room.h"

#include "app/SceneSetup.h"
#include "world/ChunkPool.h"
#include "world/ControllerModels.h"
#include "app/TestRoomPage.h"
#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"

#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimTime.h"
#include "engine/PimUIManager.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

namespace
{
constexpr std::uint64_t kFrames = 300;
constexpr std::uint64_t kPullFrom = 100;
constexpr std::uint64_t kPullUntil = 160;

class StartupE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(user.temp.Path().empty());
        std::filesystem::create_directories(user.temp.Path() / "home");
    }
    void TearDown() override { PimSystem::Shutdown(); }

    // Settings of this user, located as the program locates them (from the environment).
    static std::unique_ptr<GameSettings> UserSettings()
    {
        return std::make_unique<GameSettings>(SettingsFolders::Locate());
    }

    // Starts the engine as the entry does, with scripted devices, a small offscreen surface and a
    // fixed 60 Hz clock, and builds the scene.
    QuillotScene Start(GameSettings& settings)
    {
        PimSystemParameters parameters = MakeStartParameters(settings.GetFolders());
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = 270;
        parameters.height = 300;
        EXPECT_TRUE(PimSystem::Initialize(parameters));
        return SetUpScene(settings);
    }

    OffscreenUser user;
};

TEST_F(StartupE2E, RunsTheRoomWithScriptedHandsUntilExit)
{
    auto settings = UserSettings();
    QuillotScene scene = Start(*settings);
    ASSERT_TRUE(PimSystem::HasGL());
    TestRoomPage* room = OpenTestRoom(scene, *settings);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(scene.uiManager->GetActivePage(), room);
    EXPECT_EQ(scene.mainViewport->GetId(), 1);
    EXPECT_TRUE(scene.mainViewport->IsActive());
    EXPECT_EQ(scene.spectatorViewport->GetId(), 2);
    EXPECT_FALSE(scene.spectatorViewport->IsActive());

    PimVrScriptedDevice* script = PimVrSystem::GetInstance().GetScript();
    ASSERT_NE(script, nullptr);
    script->SetFrameScript([](PimVrScriptedDevice& device, std::uint64_t frame) {
        // The head walks slowly forward; the hands are held ahead of it, pointing into the room.
        const float z = 2.0f - 0.002f * static_cast<float>(frame);
        device.SetPose(PimVrDeviceIndex::Headset, {0.0f, 1.7f, z}, PimMatrix4x4());
        device.SetPose(PimVrDeviceIndex::LeftHand, {-0.25f, 1.3f, z - 0.4f}, PimMatrix4x4());
        device.SetPose(PimVrDeviceIndex::RightHand, {0.25f, 1.3f, z - 0.4f}, PimMatrix4x4());
        const bool pulled = frame >= kPullFrom && frame < kPullUntil;
        device.SetValue(PimVrDeviceIndex::RightHand, PimVrButton::Trigger, pulled ? 1.0f : 0.0f);
        if (frame == kFrames)
            PimSystem::ExitSystem();
    });

    float highestPull = 0.0f;
    float pullAfterRelease = 1.0f;
    std::uint64_t frames = 0;
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        frames = PimTime::FrameCount();
        if (frames > kPullFrom && frames < kPullUntil)
            highestPull = std::max(highestPull, room->GetShownTriggerPull(PimVrDeviceIndex::RightHand));
        if (frames == kFrames)
            pullAfterRelease = room->GetShownTriggerPull(PimVrDeviceIndex::RightHand);
    });
    // The last frame's picture: the room must be drawn, not just the clear colour.
    PimTexture picture;
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
        if (frames == kFrames)
            scene.mainViewport->CaptureScreenshot(picture, PimRowOrder::TopDown);
    });

    PimSystem::Run();

    EXPECT_EQ(frames, kFrames);
    EXPECT_FLOAT_EQ(highestPull, 1.0f);
    EXPECT_FLOAT_EQ(pullAfterRelease, 0.0f);
    EXPECT_FLOAT_EQ(room->GetShownTriggerPull(PimVrDeviceIndex::LeftHand), 0.0f);

    ASSERT_TRUE(picture.IsValid());
    if (const char* keep = std::getenv("QUILLOT_KEEP_FRAMES"))
        picture.Save(std::string(keep) + "/startup_room.png");
    std::set<std::uint32_t> colours;
    const auto pixels = picture.GetPixels();
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4)
        colours.insert(pixels[i] << 16 | pixels[i + 1] << 8 | pixels[i + 2]);
    EXPECT_GT(colours.size(), 8u) << "the room, its blocks and the hands should show several shades";
}

TEST_F(StartupE2E, FillsThePoolAndTheDefaultColours)
{
    auto settings = UserSettings();
    QuillotScene scene = Start(*settings);
    // The scene's colour cube, before the menu room gives the plain table the menu colours.
    const auto colour = [](int index) { return PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(index), false); };
    EXPECT_EQ(colour(0), (PimColor{0, 0, 0, 255}));
    EXPECT_EQ(colour(1), (PimColor{0, 0, 51, 255}));
    EXPECT_EQ(colour(5), (PimColor{0, 51, 0, 255}));
    EXPECT_EQ(colour(25), (PimColor{51, 0, 0, 255}));
    EXPECT_EQ(colour(62), (PimColor{102, 102, 102, 255}));
    EXPECT_EQ(colour(124), (PimColor{204, 204, 204, 255}));
    for (int index = 0; index < 125; ++index)
    {
        const PimColor c = colour(index);
        EXPECT_EQ(c.r, 51 * (index / 25)) << index;
        EXPECT_EQ(c.g, 51 * (index / 5 % 5)) << index;
        EXPECT_EQ(c.b, 51 * (index % 5)) << index;
    }

    // The test room's world holds chunks of the pool while it is open and gives every one back.
    // The pool grows when a world needs more chunks than it holds and never shrinks, and a world
    // an earlier test of this process left open still holds its chunks: counted from here.
    const ChunkPool& pool = ChunkPool::Shared();
    const std::size_t heldBefore = pool.OwnedCount() - pool.IdleCount();
    TestRoomPage* room = OpenTestRoom(scene, *settings);
    ASSERT_NE(room, nullptr);
    PimSystem::RunFrames(2);
    EXPECT_GT(room->GetWorld()->GetWindowChunkCount(), 0u);
    room->CloseWorld();

    ASSERT_GE(pool.OwnedCount(), kStartupChunkCount);
    ASSERT_EQ(pool.OwnedCount() - pool.IdleCount(), heldBefore);
    std::size_t pooledState = 0;
    pool.ForEachIdle([&](const PimVoxelGrid& chunk) {
        std::uint16_t value = 1;
        if (chunk.GetGridStatus() == PimVoxelGrid::kStatusNeedsData && !chunk.IsUsingSpecialColors() &&
            chunk.IsUniform(value) && value == 0 && !chunk.IsEditedSinceSave())
            ++pooledState;
    });
    EXPECT_EQ(pooledState, pool.IdleCount());
}

TEST_F(StartupE2E, FirstStartOnlyWithoutASettingsFile)
{
    {
        auto settings = UserSettings();
        EXPECT_TRUE(Start(*settings).firstStart);
        ASSERT_TRUE(settings->Save());
        PimSystem::Shutdown();
    }
    auto settings = UserSettings();
    EXPECT_FALSE(Start(*settings).firstStart);
}
}  // namespace

TEST_F(StartupE2E, KeepsTheControllerModelsInTheSettings)
{
    auto settings = UserSettings();
    EXPECT_EQ(settings->controllerModels, nullptr);
    QuillotScene scene = Start(*settings);
    ASSERT_NE(settings->controllerModels, nullptr);
    for (const VoxelCube& cube : settings->controllerModels->cubes)
    {
        EXPECT_EQ(cube.GetCode(), VoxelCode::HelperCube);
        EXPECT_TRUE(cube.GetMesh().has_value());
    }
    EXPECT_EQ(settings->controllerModels->cubes[1].GetColour(), PimColor(0, 0, 0));
}
