#pragma once

#include <cstdint>

// The editing tools, stored by the tool panel as an unsigned 32-bit id; 0 at start.
enum class ToolId : std::uint32_t
{
    SingleVoxel = 0,
    LineTool = 1,
    MagicTriangle = 2,
    MagicQuad = 3,
    MagicCircle = 4,
    MagicRing = 5,
    Select = 6,
    FillCube = 7,
    FillSphere = 8,
    ReferenceImage = 9,
    FillPlain = 10,
    Fill = 11,
};

// The tools whose dispatch arm exists; the panel offers only these, so no tool can be picked
// that does nothing. The others arrive with their tools and icons.
constexpr bool IsToolAvailable(std::uint32_t tool)
{
    return tool == static_cast<std::uint32_t>(ToolId::SingleVoxel);
}
