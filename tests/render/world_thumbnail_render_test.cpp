// An island world opened offscreen, streamed until loaded, then saved: the thumbnail must show
// the terrain around the viewer. The saved picture stays in the build tree
// (tests/world_thumbnail/.../Models/IslandThumbnail/SaveView.png) to be looked at.

#include "settings/GameSettings.h"
#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimIOContext.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace
{
namespace fs = std::filesystem;

// Share of a picture's cell whose pixels differ clearly from the fog colour.
double NonFogShare(const PimTexture& picture, int cellX, int cellY, PimColor fog)
{
    const int size = VoxelWorld2::kThumbnailView;
    int differing = 0;
    for (int y = cellY * size; y < (cellY + 1) * size; ++y)
        for (int x = cellX * size; x < (cellX + 1) * size; ++x)
        {
            const PimColor c = picture.GetColor(x, y);
            const int distance = std::abs(c.r - fog.r) + std::abs(c.g - fog.g) + std::abs(c.b - fog.b);
            differing += distance > 24 ? 1 : 0;
        }
    return static_cast<double>(differing) / (size * size);
}

std::string ShaderPath(const char* name)
{
    return PimContentFolder::Resolve(std::string("Graphics/Shaders/") + name).string();
}

WorldParameterList SmallIsland()
{
    return {
        {WorldParameterId::TerrainType, static_cast<float>(TerrainType::Island), {}},
        {WorldParameterId::LowestWalkers, 6.0f, {}},
        {WorldParameterId::HighestWalkers, 10.0f, {}},
        {WorldParameterId::WalkLengthBase, 300.0f, {}},
        {WorldParameterId::WalkLengthSpread, 100.0f, {}},
        {WorldParameterId::SmoothingPasses, 2.0f, {}},
        {WorldParameterId::WaterLevel, 20.0f, {}},
        {WorldParameterId::IslandSize, 512.0f, {}},
        {WorldParameterId::WorldHeight, 512.0f, {}},
        {WorldParameterId::HeightCap, 60.0f, {}},
    };
}
}

class WorldThumbnailRender : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PimSystemParameters parameters;
        parameters.width = 512;
        parameters.height = 512;
        parameters.fixedFrameSeconds = 1.0 / 90.0;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_TRUE(PimSystem::HasGL());
        auto context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));
        ASSERT_TRUE(scene->AddViewport(viewport));
        ASSERT_TRUE(PimVoxelGrid::StaticInitialize(ShaderPath("voxelShader.vs"), ShaderPath("voxelShader.ps"),
                                                   ShaderPath("voxelShaderCellBack.vs"),
                                                   ShaderPath("voxelShaderCellBack.ps")));
    }

    void TearDown() override
    {
        if (world)
            viewport->RemoveObject(world.get());
        world.reset();
        PimSystem::Shutdown();
    }

    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    ChunkPool pool;
    std::shared_ptr<VoxelWorld2> world;
};

TEST_F(WorldThumbnailRender, ASavedIslandShowsItsTerrainInTheThumbnail)
{
    const fs::path data = fs::current_path() / "world_thumbnail";
    std::error_code error;
    fs::remove_all(data, error);
    const PimWString content = PimWString::Widen(PimContentFolder::Get().parent_path().string());
    GameSettings settings(SettingsFolders::FromBases(content, PimWString::Widen((data / "data").string()),
                                                     PimWString::Widen((data / "Pictures").string())));
    settings.activeGame.SetGameWorldName(L"IslandThumbnail");

    auto setup = std::make_shared<WorldSetup>(11u);
    ASSERT_TRUE(GenerateTerrain(*setup, SmallIsland()).built);
    world = std::make_shared<VoxelWorld2>(settings, pool);
    world->SetWorldSetup(setup);
    ASSERT_TRUE(viewport->AddObject(world));

    // Where a new world puts its player: the centre column, two voxels above the ground.
    const int cx = setup->GetWidth() / 32 / 2, cz = setup->GetDepth() / 32 / 2;
    const PimVector3 viewer(cx * 32.0f, setup->GetHeightMap().At(cx, cz) + 2.0f, cz * 32.0f);
    world->SetViewerPosition(viewer);
    PimCamera& camera = *viewport->GetCamera();
    camera.SetPosition(viewer);
    camera.SetTarget(viewer + PimVector3(1.0f, 0.0f, 0.0f));
    const PimAngle fieldOfView = camera.GetFieldOfView();

    world->SetBudgetControl(32);
    world->SetWorkerPaused(false);
    // Loaded: builds have stopped for a while and every channel is empty.
    int quietFrames = 0;
    std::int32_t lastBuilds = -1;
    for (int frame = 0; frame < 3000 && quietFrames < 60; ++frame)
    {
        ASSERT_EQ(PimSystem::RunFrames(1), 1u);
        bool channelsEmpty = true;
        for (int channel = 0; channel < VoxelWorld2::kChannelCount; ++channel)
        {
            const VoxelWorld2::ChannelView view = world->GetChannel(channel);
            channelsEmpty = channelsEmpty && !view.queued && !view.building && !view.upload;
        }
        const std::int32_t builds = world->GetBuildCount();
        quietFrames = (builds > 0 && builds == lastBuilds && channelsEmpty) ? quietFrames + 1 : 0;
        lastBuilds = builds;
    }
    ASSERT_EQ(quietFrames, 60) << "the world did not finish loading";
    EXPECT_GT(world->GetBuildCount(), 500);
    world->SetWorkerPaused(true);

    PimAssert::ResetFailureCount();
    world->SaveWorldAndPlayer(viewer);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();

    const PimTexture& thumbnail = world->GetThumbnail();
    ASSERT_TRUE(thumbnail.IsValid());
    EXPECT_EQ(thumbnail.GetWidth(), 768);
    EXPECT_EQ(thumbnail.GetHeight(), 512);

    const fs::path saved = data / "data" / "Quillot" / "SavedGames" / "Models" / "IslandThumbnail" / "SaveView.png";
    PimTexture reread;
    ASSERT_TRUE(reread.Load(saved.string()));
    EXPECT_EQ(reread.GetWidth(), 768);
    EXPECT_EQ(reread.GetHeight(), 512);
    EXPECT_TRUE(fs::exists(saved.parent_path() / "settings.set"));

    // The side views (+x, +z on top; -x, -z below) look out over the island from just above the
    // ground: terrain fills a good part of each. Straight down is ground; straight up is sky.
    const PimColor fog = settings.activeGame.GetFogColour();
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}})
        EXPECT_GT(NonFogShare(reread, x, y, fog), 0.2) << "side view " << x << ", " << y;
    EXPECT_LT(NonFogShare(reread, 2, 0, fog), 0.05) << "up";
    EXPECT_GT(NonFogShare(reread, 2, 1, fog), 0.9) << "down";

    // The views leave the main view's camera and viewport as they were.
    EXPECT_FLOAT_EQ(camera.GetFieldOfView().GetDegrees(), fieldOfView.GetDegrees());
    EXPECT_FALSE(viewport->GetBoundingBox().has_value());
    EXPECT_EQ(camera.GetPosition(), viewer);
    EXPECT_EQ(camera.GetTarget(), viewer + PimVector3(1.0f, 0.0f, 0.0f));
}
