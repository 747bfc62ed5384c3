#pragma once

#include "settings/GameSettings.h"
#include "world/VoxelWorld2.h"

#include "engine/PimVector3.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimViewport.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

// The loaded-world set-up the editing benchmarks share: settings in a temporary folder, the engine
// without a display on the fixed 90 Hz clock with scripted devices, and a flat world of side x side
// voxels streamed around a viewer standing at its centre, its worker thread running as in the
// program. Main thread only; one per process (it owns the engine's start and end).
class FlatWorldBench
{
public:
    // name: the temporary folder's tag and the world's name. With contentSettings the settings'
    // first base is the build's content folder (benchmarks whose pages load pictures).
    FlatWorldBench(const std::string& name, int side, bool contentSettings = false);
    ~FlatWorldBench();
    FlatWorldBench(const FlatWorldBench&) = delete;
    FlatWorldBench& operator=(const FlatWorldBench&) = delete;

    // The engine and the world; false when the engine cannot start.
    bool Start();
    // Frame callbacks that run `duringUpdate` once (when set) before the world's update, and draw
    // the world through the bench's viewport looking along -z from the viewer.
    void InstallFrames();
    // Runs frames until nothing has been built for 60 of them (at most 20000).
    void Settle();
    // Runs frames until every chunk is built and handed to the drawing side (no build channel
    // holds it), at most maxFrames; the frames run.
    static int FramesUntilDrawn(const std::set<PimVoxelGrid*>& chunks, int maxFrames);

    GameSettings& Settings() { return *settings; }
    VoxelWorld2& World() { return *world; }
    PimViewport& Viewport() { return viewport; }
    PimVector3 viewer;
    std::function<void()> duringUpdate;

private:
    std::filesystem::path folder;
    int side;
    std::unique_ptr<GameSettings> settings;
    std::unique_ptr<VoxelWorld2> world;
    PimViewport viewport;
};
