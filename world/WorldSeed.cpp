#include "world/WorldSeed.h"

#include "world/WorldSetup.h"

#include "settings/GameSettingsActiveGame.h"

std::uint32_t TakeWorldSeed(GameSettingsActiveGame& activeGame)
{
    if (const std::optional<std::uint32_t> recorded = activeGame.GetWorldSeed())
        return *recorded;
    const std::uint32_t seed = WorldSetup::DrawSeed();
    activeGame.SetWorldSeed(seed);
    return seed;
}
