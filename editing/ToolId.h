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

constexpr std::uint32_t kToolCount = 12;

// The tools whose dispatch arm exists; the panel offers only these (the others show disabled), so
// no tool can be picked that does nothing.
constexpr bool IsToolAvailable(std::uint32_t tool)
{
    switch (static_cast<ToolId>(tool))
    {
    case ToolId::SingleVoxel:
    case ToolId::LineTool:
    case ToolId::MagicTriangle:
    case ToolId::MagicQuad:
    case ToolId::MagicCircle:
    case ToolId::MagicRing:
    case ToolId::Select:
    case ToolId::FillCube:
    case ToolId::FillSphere:
    case ToolId::ReferenceImage:
    case ToolId::FillPlain:
    case ToolId::Fill:
        return true;
    default:
        return false;
    }
}
