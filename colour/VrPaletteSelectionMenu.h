#pragma once

#include "colour/ColourPicker.h"
#include "colour/PaletteStrip.h"

#include "pages/PointerSpot.h"
#include "pages/QuadButton.h"
#include "pages/SliderBar.h"

#include "world/VoxelCube.h"

#include "engine/PimColor.h"
#include "engine/PimGraphicsLine.h"
#include "engine/PimImageQuad.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class GameSettings;
class PimTexture;

// The palette wall of the in-game menu: every selectable voxel value (the 255 world colours, then
// the textured codes) as a wall of small cubes sixteen to a row, scrolled by a slider beside it
// and folded back into the wall above its top and below its bottom row. Three buttons choose the
// palette being edited, a colour picker redefines the selected colour, a padlock marks each colour
// that has been painted with (the tools lock what they apply, so placed voxels never change colour
// by accident) and a button beside the picker breaks the lock of the selected colour.
//
// Touching a swatch with either hand's trigger puts its value into the selected slot of the edited
// palette; the palette's strip floats over the off hand (as on the tool panel) while the head is
// turned to the wall, and touching one of its cubes selects that slot. Moving the picker with an
// unlocked colour selected redefines the colour everywhere it is used: the world's colour table,
// the engine's table of world chunks and the world's settings. A textured value cannot be
// recoloured. Each colour edit (one grasp of a picker bar) counts down the user's colour-editing
// hints ("TutorialCount"), whose lines show how the strip, picker and wall belong together.
//
// Swatch positions are fixed to the wall by kBase (the booth's east wall, facing into the room);
// "list index" below is a position in PaletteModel::GetSelectableValues. The simulator's pointer
// reaches every control through AddPointerSpots and HeldControlAlong.
//
// Main thread only; Update and Draw once per frame while the in-game menu is open.
class VrPaletteSelectionMenu
{
public:
    static constexpr int kPerRow = 16;
    static constexpr float kSwatchScale = 0.09f;
    static constexpr std::uint16_t kNoSwatch = 65535;
    // List positions below this are colours (position = colour index); the rest are textured.
    static constexpr int kColourPositions = 255;
    static constexpr PimVector3 kBase{5.0f, 3.3f, 1.75f};
    static constexpr float kSlotLift = 0.2f;
    static constexpr float kButtonScale = 1.5f;
    static constexpr float kButtonSize = 0.1f;
    static constexpr PimVector3 kPickerLocation{4.95f, 2.5f, 4.4f};
    // Rows between these heights (in swatch steps) lie flat on the wall; above and below they are
    // bent back into it.
    static constexpr float kTopRow = 0.5f;
    static constexpr float kBottomRow = -9.0f;
    // A hand touches the wall within this distance of its plane.
    static constexpr float kTouchDepth = 0.07f;

    // Reads the active palette (a corrupt index is reported and replaced), loads the pictures,
    // builds the swatches and selects the palette's first slot.
    explicit VrPaletteSelectionMenu(GameSettings& settings);

    void Update();
    void Draw();

    // Copies the lock bits of colours 0 to 254 from the world's settings.
    void RefreshLocks();
    // Brings the wall up to date when the menu opens: locks, swatch colours changed elsewhere,
    // and the edited palette as stored now.
    void Reset();
    // Edits palette p (limited to the last palette) and makes it the active one.
    void SelectPalette(int p);
    // Selects a slot of the edited palette and the swatch of its value.
    void SelectSlot(int slot);
    // Puts the value at a list index into the selected slot.
    void SelectSwatch(int index);

    // Where a swatch is drawn at the current scroll.
    PimVector3 SwatchPosition(int index) const;
    // A swatch whose row is bent back into the wall (out of sight, not touchable).
    bool IsFolded(int index) const;
    // The list index of the swatch a world point touches, or kNoSwatch.
    std::uint16_t HitTest(const PimVector3& point) const;
    // A colour position that has been painted with and not unlocked since.
    bool IsLockedColour(int index) const;

    // The simulator's pointer: the wall's controls that can be reached now, and the point of a
    // held knob's track nearest the pointer's ray.
    void AddPointerSpots(std::vector<PointerSpot>& spots) const;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const;

    int GetPalette() const { return palette; }
    int GetSelectedSlot() const { return selectedSlot; }
    int GetSelectedIndex() const { return selectedIndex; }
    float GetScroll() const { return scroll; }
    bool IsHeadTurned() const { return headTurned; }
    bool IsShowingHint() const { return showHint; }
    std::uint16_t GetValue(int index) const;
    int GetSwatchCount() const { return static_cast<int>(values.size()); }
    const VoxelCube& GetSwatch(int index) const { return swatches[static_cast<std::size_t>(index)]; }
    const VoxelCube& GetSlotCube(int slot) const { return slotCubes[static_cast<std::size_t>(slot)]; }
    ColourPicker& GetPicker() { return picker; }
    const ColourPicker& GetPicker() const { return picker; }
    SliderBar& GetScrollSlider() { return scrollSlider; }
    QuadButton& GetPaletteButton(int p) { return paletteButtons[static_cast<std::size_t>(p)]; }
    QuadButton& GetBreakLockButton() { return breakLockButton; }
    PaletteStrip& GetStrip() { return strip; }
    const PimImageQuad& GetPaletteIndicator() const { return paletteIndicator; }
    const PimGraphicsLine& GetHintLine(int line) const { return hintLines[static_cast<std::size_t>(line)]; }
    // Swatches drawn by the last Draw (the rows in sight).
    int GetDrawnSwatchCount() const { return drawnSwatches; }

private:
    void Initialize();
    void BuildSwatches();
    void PlaceSwatches();
    // Shows a colour in the picker without counting it as an edit.
    void ShowInPicker(PimColor colour);
    void ShowSwatchInPicker(int index);
    void ApplyPicker();
    void RecolourSlotsHolding(std::uint16_t value);
    void SelectBySwatchTouch();
    void PlaceIndicator();
    void UpdateHints();
    void UpdateBreakLock();
    int FirstPositionOf(std::uint16_t value) const;
    // A swatch is out of sight when its row is bent back more than half a cube into the wall.
    bool IsHidden(int index) const;
    float RowHeight(int row) const;

    GameSettings& settings;
    std::vector<std::uint16_t> values;
    std::vector<VoxelCube> swatches;
    std::array<bool, kColourPositions> locked{};
    std::array<VoxelCube, PaletteStrip::kSlots> slotCubes;
    float scroll = 0.0f;
    float placedScroll = -1.0f;
    std::uint8_t palette = 0;
    std::array<std::shared_ptr<const PimTexture>, 3> selectionTextures;
    std::array<QuadButton, 3> paletteButtons;
    PimImageQuad paletteIndicator;
    PimImageQuad lockQuad;
    QuadButton breakLockButton;
    PimMatrix4x4 baseOrientation;
    std::uint8_t selectedSlot = 0;
    std::uint16_t selectedIndex = 0;
    PimColor appliedColour{255, 255, 255, 255};
    // Set once the current grasp of a picker bar has counted as an edit.
    bool editCounted = false;
    VoxelCube highlight;
    float highlightTime = 0.0f;
    SliderBar scrollSlider;
    ColourPicker picker;
    PaletteStrip strip;
    std::array<PimGraphicsLine, 2> hintLines;
    bool headTurned = false;
    bool showHint = true;
    int drawnSwatches = 0;
};
