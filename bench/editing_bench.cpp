// Editing in a streamed world: how many frames pass from a single-voxel placement through
// VoxelEditor::Apply until the edited chunk's rebuilt mesh is uploaded (and drawn), in a loaded
// world (the target: within 2 frames at 90 Hz) and in one that is streaming because the viewer
// moves; and the main-thread cost of the player rig (hands, editor, locomotion) per frame in the
// loaded world. Prints
//   edit_to_visible_frames_max=N, edit_to_visible_frames_mean=X      (loaded)
//   player_frame_ms=X beside reference_world_update_ms=X             (the world's own update)
//   streaming_edit_to_visible_frames_max=N, streaming_..._mean=X     (while streaming)
//
// The engine runs without a display on the fixed 90 Hz clock with scripted devices; the world's
// worker thread runs as in the program.

#include "flat_world_bench.h"

#include "editing/ToolPanel.h"
#include "editing/VoxelEditor.h"
#include "player/PlayerRig.h"

#include "world/ChunkPool.h"
#include "world/TerrainGenerator.h"
#include "world/VoxelWorld2.h"
#include "world/WorldParameters.h"
#include "world/WorldSetup.h"

#include "settings/GameSettings.h"

#include "engine/PimContentFolder.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr int kWorldSide = 1024;
constexpr int kPlacements = 150;
constexpr int kMaxWaitFrames = 90;

double Ms(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}
}

int main()
{
    // The tool panel's icons come from the build's content folder.
    FlatWorldBench bench("editing", kWorldSide, true);
    if (!bench.Start())
        return 1;
    GameSettings& settings = bench.Settings();
    VoxelWorld2* world = &bench.World();
    PimVector3 viewer = bench.viewer;

    PimViewport viewport;
    PlayerRig rig(settings, viewport.GetCamera(), PlayerRig::Mode::World);
    rig.GetEditTarget().SetWorld(world);
    ToolPanel panel(settings);
    VoxelEditor& editor = rig.CreateEditor(panel);
    settings.activeGame.SetWalkPhysics(1); // flying: the viewer is moved by the benchmark
    rig.GetLocomotion().SetState(LocomotionState::Flying);

    // One frame: the rig (whose editor may place), the world's update, the world's draw.
    PimVector3 pending;
    bool place = false;
    bool moving = false;
    float heading = 4.0f;
    double rigMs = 0.0, worldMs = 0.0;
    long rigFrames = 0;
    PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        if (moving)
        {
            // About 360 voxels a second, a new chunk column every 8 frames, back and forth across
            // the world: the window streams at its edges while the edits land near the viewer.
            if (viewer.x + heading > kWorldSide - 64.0f || viewer.x + heading < 64.0f)
                heading = -heading;
            viewer.x += heading;
        }
        rig.GetLocomotion().MoveTo(viewer - PimVector3(0.0f, 1.65f, 0.0f));
        rig.Update();
        rigMs += rig.GetLastUpdateMilliseconds();
        ++rigFrames;
        if (place)
        {
            editor.Apply(pending);
            place = false;
        }
        world->SetViewerPosition(viewer);
        viewport.GetCamera()->SetPosition(viewer);
        viewport.GetCamera()->SetTarget(viewer + PimVector3(0.0f, 0.0f, -1.0f));
        const Clock::time_point start = Clock::now();
        world->RunUpdate();
        worldMs += Ms(Clock::now() - start);
    });
    PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
        viewport.DrawWindowPass(false, 0);
        world->RunDraw();
    });

    // Loading: until nothing has been built for 60 frames.
    bench.Settle();

    // Places kPlacements voxels ahead of the viewer and prints the frames until each is drawn under
    // the given prefix.
    const auto measure = [&](const std::string& prefix) {
        int worst = 0;
        long total = 0;
        int measured = 0;
        for (int i = 0; i < kPlacements; ++i)
        {
            pending = (viewer + PimVector3(static_cast<float>(i % 7) - 3.0f, static_cast<float>(i % 5), -6.0f)).Integerize();
            PimVoxelGrid* chunk = world->FindChunkSlot(pending);
            if (chunk == nullptr || chunk->GetGridStatus() == PimVoxelGrid::kStatusNeedsData)
            {
                PimSystem::RunFrames(1);
                continue;
            }
            panel.GetStrip().Select(i % 2);
            // Without a display the upload takes the mesh and drops it, so a build of the chunk
            // (by the main thread's edit path or by the worker) that ends finished is the sign.
            const std::int32_t buildsBefore = world->GetEditBuildCount() + world->GetBuildCount();
            place = true;
            int frames = 0;
            // Frames from the placement's frame through the first one that draws the new mesh.
            while (frames < kMaxWaitFrames)
            {
                PimSystem::RunFrames(1);
                ++frames;
                const bool uploaded = chunk->GetGridStatus() == PimVoxelGrid::kStatusFinished &&
                                      chunk->GetBuildChannel() == PimVoxelGrid::kNoBuildChannel &&
                                      world->GetEditBuildCount() + world->GetBuildCount() > buildsBefore;
                if (uploaded)
                    break;
            }
            worst = std::max(worst, frames);
            total += frames;
            ++measured;
            // Clear it again (the next placement of the cell writes again).
            rig.GetEditTarget().SetVoxel(0, pending, true, false);
            PimSystem::RunFrames(2);
        }
        std::printf("%splacements=%d\n", prefix.c_str(), measured);
        std::printf("%sedit_to_visible_frames_max=%d\n", prefix.c_str(), worst);
        std::printf("%sedit_to_visible_frames_mean=%.2f\n", prefix.c_str(),
                    measured > 0 ? static_cast<double>(total) / measured : 0.0);
    };
    rigMs = worldMs = 0.0;
    rigFrames = 0;
    measure("");
    const double rigMean = rigFrames > 0 ? rigMs / static_cast<double>(rigFrames) : 0.0;
    const double worldMean = rigFrames > 0 ? worldMs / static_cast<double>(rigFrames) : 0.0;
    std::printf("player_frame_ms=%.4f\n", rigMean);
    std::printf("reference_world_update_ms=%.4f\n", worldMean);
    // The same while the viewer moves and the worker streams new chunks in.
    moving = true;
    measure("streaming_");

    return 0;
}
