#include "world/WorldHolder.h"

#include "world/TerrainGenerator.h"
#include "world/WorldSetup.h"

#include "engine/PimAssert.h"

#include <algorithm>
#include <utility>

WorldHolder::WorldHolder(WorldSetup* worldSetup, std::uint32_t chanceSeed) : setup(worldSetup), chance(chanceSeed)
{
}

void WorldHolder::Update()
{
    counter += kCounterStep;
    if (counter >= 1.0f)
    {
        counter -= 1.0f;
        ++wholeCount;
        if (chance.Below(kRegenerationOdds) == 0 && setup != nullptr)
        {
            RegeneratePreview(*setup, 1);
            ++regenerations;
        }
    }
    // A copy, so that a player may leave (or bring another) while the players run.
    const std::vector<std::shared_ptr<WorldPlayer>> running = players;
    for (const std::shared_ptr<WorldPlayer>& player : running)
        if (std::find(players.begin(), players.end(), player) != players.end())
            player->Update();
}

void WorldHolder::Draw()
{
    const std::vector<std::shared_ptr<WorldPlayer>> running = players;
    for (const std::shared_ptr<WorldPlayer>& player : running)
        if (std::find(players.begin(), players.end(), player) != players.end())
            player->Draw();
}

bool WorldHolder::AddPlayer(std::shared_ptr<WorldPlayer> player)
{
    if (player == nullptr || std::find(players.begin(), players.end(), player) != players.end())
    {
        PimAssert::Assert(false, "WorldHolder::AddPlayer() - null or already held player");
        return false;
    }
    players.push_back(std::move(player));
    return true;
}

bool WorldHolder::RemovePlayer(const WorldPlayer* player)
{
    const auto found = std::find_if(players.begin(), players.end(),
                                    [player](const std::shared_ptr<WorldPlayer>& held) { return held.get() == player; });
    if (found == players.end())
        return false;
    players.erase(found);
    return true;
}
