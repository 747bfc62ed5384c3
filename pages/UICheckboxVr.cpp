#include "pages/UICheckboxVr.h"

#include "world/VoxelCube.h"

#include "engine/VoxelCodeTable.h"

#include <array>

namespace
{
// The cubes every checkbox is drawn with: a green fill standing out of the frame when checked,
// a flat dark fill when not, and the grey frame behind both.
std::array<VoxelCube, 3>& SharedCubes()
{
    static std::array<VoxelCube, 3> cubes = [] {
        std::array<VoxelCube, 3> made;
        made[0].Build(VoxelCode::HelperCube, PimColor(60, 200, 90, 255));
        made[1].Build(VoxelCode::HelperCube, PimColor(40, 40, 48, 255));
        made[2].Build(VoxelCode::HelperCube, PimColor(170, 170, 180, 255));
        return made;
    }();
    return cubes;
}
}

void UICheckboxVr::Update()
{
    handle.Update();
    handle.SetPosition(location);
    if (handle.IsGrasped() && !graspLatch)
        checked = !checked;
    graspLatch = handle.IsGrasped();
    if (checked != reported)
        OnToggled();
}

void UICheckboxVr::OnToggled()
{
    reported = !reported;
    if (onChange)
        onChange(checked);
}

void UICheckboxVr::Draw()
{
    std::array<VoxelCube, 3>& cubes = SharedCubes();
    VoxelCube& fill = checked ? cubes[0] : cubes[1];
    const float depth = checked ? 0.024f : 0.006f;
    const float lift = checked ? 0.012f : 0.003f;
    fill.SetPosition(location + orientation.TransformDirection({0.0f, 0.0f, lift}));
    fill.SetTransform(orientation * PimMatrix4x4::CreateScale(PimVector3(0.072f, 0.072f, depth)));
    fill.Draw();
    cubes[2].SetPosition(location);
    cubes[2].SetTransform(orientation * PimMatrix4x4::CreateScale(PimVector3(0.09f, 0.09f, 0.009f)));
    cubes[2].Draw();
}
