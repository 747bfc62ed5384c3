#pragma once

#include "world/VoxelCube.h"

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>

class GameSettings;

// The palette page of the off-hand tool panel: the 16 slots of the active palette as small voxel
// cubes in a 4 x 4 grid floating over the off-hand controller, with a pulsing white cube round the
// selected slot. The dominant hand touches a cube (its tip within 0.1 VR scale; the nearest slot
// wins) and pulls its trigger to make that slot the current colour of the tools; while the tip is
// that near the strip reports being pointed at, so the editor keeps the trigger from painting.
//
// Offsets and sizes are in metres of the user's space, multiplied by the VR scale, so the strip
// keeps its size in the hand at any player scale.
//
// A cube shows its slot's display colour: the world colour of a colour voxel (from the engine's
// colour table of world chunks), white for a textured voxel. Main thread only.
class PaletteStrip
{
public:
    static constexpr int kSlots = 16;
    static constexpr float kSpacing = 0.075f;
    static constexpr float kCubeScale = 0.05f;
    static constexpr float kPointRadius = 0.1f;

    // Reset at once, with the selection cleared.
    explicit PaletteStrip(GameSettings& settings);

    // Writes every world colour to the engine's colour table of world chunks, reloads the slots from the active
    // palette and rebuilds their cubes; with clearSelection the first slot becomes selected.
    void Reset(bool clearSelection);
    // Puts a voxel value in a slot and shows it (slots 16 and above are refused).
    void SetSlot(int slot, std::uint32_t value);
    // The pulse, the placement over the off hand, and pointing and selection by the dominant hand.
    void Update();
    void Draw();

    bool IsPointedAt() const { return pointedAt; }
    int GetSelected() const { return selected; }
    void Select(int slot);
    std::uint32_t GetSlotValue(int slot) const;
    // The voxel value the tools paint with: the selected slot's.
    std::uint32_t GetSelectedValue() const { return GetSlotValue(selected); }
    const PimVector3& GetSlotPosition(int slot) const;
    const VoxelCube& GetSlotCube(int slot) const;
    float GetPulse() const { return pulse; }
    // The slot whose cube the world point is nearest, within the pointing radius; -1 for none.
    int SlotNear(const PimVector3& point) const;

    // The colour a voxel value is shown in (see above).
    static PimColor DisplayColour(std::uint32_t value);

private:
    int DominantRole() const;
    int OffHandRole() const;

    GameSettings& settings;
    VoxelCube cursorCube;
    PimVector3 stripOrigin;
    PimMatrix4x4 stripOrientation;
    std::array<PimVector3, kSlots> slotPositions{};
    std::array<std::uint32_t, kSlots> slotValues{};
    std::array<VoxelCube, kSlots> slotCubes;
    std::int8_t selected = 0;
    float pulse = kCubeScale;
    float phase = 0.0f;
    bool pointedAt = false;
};
