#include "colour/PaletteStrip.h"

#include "colour/PaletteModel.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimTime.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr std::uint16_t kCursorCode = 131;
constexpr PimColor kWhite{255, 255, 255, 255};
}

PaletteStrip::PaletteStrip(GameSettings& settingsIn) : settings(settingsIn)
{
    cursorCube.Build(kCursorCode, kWhite);
    Reset(true);
}

PimColor PaletteStrip::DisplayColour(std::uint32_t value)
{
    const std::uint16_t voxel = static_cast<std::uint16_t>(value & 0xFFFFu);
    if (voxel >= 0xFEFF)
        return PimVoxelGrid::GetColorDefinition(static_cast<std::uint8_t>(voxel % 256), true);
    return kWhite;
}

void PaletteStrip::Reset(bool clearSelection)
{
    for (int index = 0; index < PaletteModel::ColourCount; ++index)
        PimVoxelGrid::SetColorDefinition(static_cast<std::uint8_t>(index), PaletteModel::GetWorldColour(index), true);
    const int palette = settings.activeGame.GetActivePalette();
    for (int slot = 0; slot < kSlots; ++slot)
        SetSlot(slot, settings.activeGame.GetPaletteEntry(palette, slot));
    if (clearSelection)
        selected = 0;
}

void PaletteStrip::SetSlot(int slot, std::uint32_t value)
{
    if (slot < 0 || slot >= kSlots)
        return;
    const auto index = static_cast<std::size_t>(slot);
    slotValues[index] = value;
    slotCubes[index].Build(static_cast<std::uint16_t>(value & 0xFFFFu), DisplayColour(value));
}

void PaletteStrip::Select(int slot)
{
    if (slot >= 0 && slot < kSlots)
        selected = static_cast<std::int8_t>(slot);
}

std::uint32_t PaletteStrip::GetSlotValue(int slot) const
{
    return slot >= 0 && slot < kSlots ? slotValues[static_cast<std::size_t>(slot)] : PaletteModel::ColourVoxelBase;
}

const PimVector3& PaletteStrip::GetSlotPosition(int slot) const
{
    return slotPositions[static_cast<std::size_t>(std::clamp(slot, 0, kSlots - 1))];
}

const VoxelCube& PaletteStrip::GetSlotCube(int slot) const
{
    return slotCubes[static_cast<std::size_t>(std::clamp(slot, 0, kSlots - 1))];
}

int PaletteStrip::DominantRole() const
{
    return static_cast<int>(settings.virtualReality.GetHandPreference());
}

int PaletteStrip::OffHandRole() const
{
    return DominantRole() == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
}

int PaletteStrip::SlotNear(const PimVector3& point) const
{
    const float radius = PimVrSystem::GetInstance().GetScale() * kPointRadius;
    int nearest = -1;
    float best = radius * radius;
    for (int slot = 0; slot < kSlots; ++slot)
    {
        const float distance = point.DistanceSquared(slotPositions[static_cast<std::size_t>(slot)]);
        if (distance < best)
        {
            best = distance;
            nearest = slot;
        }
    }
    return nearest;
}

void PaletteStrip::Update()
{
    phase += static_cast<float>(PimTime::MillisecondDelta()) * 0.001f * 15.0f;
    if (phase > PimAngle::TwoPi)
        phase -= PimAngle::TwoPi;
    pulse = ((std::sin(phase) + 1.0f) * 0.1f + 1.05f) * kCubeScale;

    PimVrSystem& vr = PimVrSystem::GetInstance();
    const float scale = vr.GetScale();
    const PimVrController& off = vr.GetHandController(OffHandRole());
    const PimVector3 hand = off.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    stripOrientation = off.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    stripOrigin = hand + stripOrientation.TransformDirection(PimVector3(0.0f, 0.06f, 0.2f) * scale);
    const PimMatrix4x4 cubeMatrix = stripOrientation * PimMatrix4x4::CreateScale(kCubeScale * scale);
    for (int slot = 0; slot < kSlots; ++slot)
    {
        const float column = static_cast<float>(slot % 4) - 1.5f;
        const float row = static_cast<float>(slot / 4) - 1.5f;
        const auto index = static_cast<std::size_t>(slot);
        slotPositions[index] =
            stripOrigin + stripOrientation.TransformDirection(PimVector3(column * kSpacing, 0.05f, row * kSpacing) * scale);
        slotCubes[index].SetPosition(slotPositions[index]);
        slotCubes[index].SetTransform(cubeMatrix);
    }
    cursorCube.SetPosition(slotPositions[static_cast<std::size_t>(selected)]);
    cursorCube.SetTransform(stripOrientation * PimMatrix4x4::CreateScale(pulse * scale));

    const PimVrController& dominant = vr.GetHandController(DominantRole());
    const int nearest = dominant.IsValid()
        ? SlotNear(dominant.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World))
        : -1;
    pointedAt = nearest >= 0;
    if (pointedAt && dominant.GetValue(PimVrButton::Trigger) > PimVrController::PressThreshold)
        selected = static_cast<std::int8_t>(nearest);
}

void PaletteStrip::Draw()
{
    for (VoxelCube& cube : slotCubes)
        cube.Draw();
    cursorCube.Draw();
}
