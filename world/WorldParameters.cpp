#include "world/WorldParameters.h"

#include <cmath>
#include <limits>

const WorldParameter* FindWorldParameter(const WorldParameterList& list, std::uint32_t id)
{
    for (const WorldParameter& entry : list)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

float ReadWorldParameter(const WorldParameterList& list, std::uint32_t id)
{
    const WorldParameter* entry = FindWorldParameter(list, id);
    return entry ? entry->value : 0.0f;
}

std::int32_t ReadWorldParameterInt(const WorldParameterList& list, std::uint32_t id)
{
    return TruncateToInt(ReadWorldParameter(list, id));
}

std::int32_t TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (value <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= highest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

WorldParameterList DefaultWorldParameters()
{
    return {
        {WorldParameterId::TerrainType, 1.0f, {1.0f, 1.0f, 1.0f}},
        {WorldParameterId::FlatDepth, 7040.0f, {7040.0f, 512.0f, 7040.0f}},
        {WorldParameterId::FlatWidth, 7040.0f, {7040.0f, 512.0f, 7040.0f}},
        {WorldParameterId::WorldHeight, 1024.0f, {1024.0f, 64.0f, 1024.0f}},
        {WorldParameterId::FlatFillMode, 1024.0f, {1024.0f, 64.0f, 2.0f}},
    };
}
