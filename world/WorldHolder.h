#pragma once

#include "engine/PimUIComponent.h"

#include "world/TerrainRandom.h"
#include "world/WorldPlayer.h"

#include <cstdint>
#include <memory>
#include <vector>

class WorldSetup;

// The component of the world page that carries the players standing in the world: each frame it
// updates and then draws them, in the order they were added. It also keeps the world's second
// preview picture fresh: a frame counter grows by 0.1 a frame, and each time it passes a whole
// number the picture is regenerated with a chance of 1 in 20 (RegeneratePreview).
// Main thread only.
class WorldHolder : public PimUIComponent
{
public:
    // setup: the world's record (may be null: then there is no preview to keep). The chance of
    // regeneration is drawn from a generator of its own started from `chanceSeed`.
    explicit WorldHolder(WorldSetup* setup, std::uint32_t chanceSeed = 1);

    void Update() override;
    void Draw() override;

    // False (reported) for null or a player already held.
    bool AddPlayer(std::shared_ptr<WorldPlayer> player);
    // False when the player is not held. A player removed while the players are being run is not
    // run again and stays alive until that run ends.
    bool RemovePlayer(const WorldPlayer* player);
    const std::vector<std::shared_ptr<WorldPlayer>>& GetPlayers() const { return players; }

    // Whole numbers the frame counter has passed, and its part since the last one.
    std::uint32_t GetWholeFrameCount() const { return wholeCount; }
    float GetFrameCounterFraction() const { return counter; }
    // Regenerations of the preview so far.
    std::uint32_t GetPreviewRegenerations() const { return regenerations; }

    static constexpr float kCounterStep = 0.1f;
    static constexpr std::int32_t kRegenerationOdds = 20;

private:
    WorldSetup* setup = nullptr;
    std::vector<std::shared_ptr<WorldPlayer>> players;
    // Kept below 1 (the whole part moves to wholeCount), so that it keeps counting in hours-long
    // sessions where a float that only grew would stop changing.
    float counter = 0.0f;
    std::uint32_t wholeCount = 0;
    std::uint32_t regenerations = 0;
    TerrainRandom chance;
};
