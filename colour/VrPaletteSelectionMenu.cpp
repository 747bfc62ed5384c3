#include "colour/VrPaletteSelectionMenu.h"

#include "colour/PaletteModel.h"

#include "pages/MenuResources.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimAssert.h"
#include "engine/PimTexture.h"
#include "engine/PimTime.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr PimColor kWhite{255, 255, 255, 255};
// Palette buttons other than the edited one are shown dimmed.
constexpr PimColor kDimmed{150, 150, 150, 255};
constexpr std::uint16_t kHighlightCode = 131;
// Half a swatch wide, so the padlock reads from across the booth.
constexpr float kLockScale = 0.045f;
constexpr PimVector3 kLockOffset{-0.06f, 0.03f, 0.03f};
// Swatch grid in swatch steps: a column and a row are 1.5 steps apart.
constexpr float kStep = 1.5f;
constexpr float kFirstColumn = -2.1f;
constexpr int kMaxRows = 32;
// While a hand's trigger is at least this far in, its tip chooses the swatch it touches.
constexpr float kSwatchTouchPull = 0.1f;
// Turned this far, the head's left axis points along -z: the user faces the wall.
constexpr float kHeadTurn = -0.2f;

bool SameColour(PimColor a, PimColor b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

PimColor Opaque(PimColor colour)
{
    colour.a = 255;
    return colour;
}
}

VrPaletteSelectionMenu::VrPaletteSelectionMenu(GameSettings& settingsIn) : settings(settingsIn), strip(settingsIn)
{
    Initialize();
}

void VrPaletteSelectionMenu::Initialize()
{
    PimVrUISlider& slider = scrollSlider.GetSlider();
    scroll = slider.GetValue();
    values = PaletteModel::GetSelectableValues();
    palette = settings.activeGame.GetActivePalette();
    if (palette >= PaletteModel::PaletteCount)
    {
        PimAssert::Assert(false, "VrPaletteSelectionMenu::Initialize() - Corrupt palette index");
        settings.activeGame.SetActivePalette(PaletteModel::PaletteCount - 1);
        palette = 0;
    }
    // The wall faces into the room (-x); its pictures read left to right along +z.
    baseOrientation = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(-90.0f));

    static constexpr const char* kSelectionFiles[3] = {"Selection1.png", "Selection2.png", "Selection3.png"};
    for (int p = 0; p < PaletteModel::PaletteCount; ++p)
    {
        const auto i = static_cast<std::size_t>(p);
        selectionTextures[i] = MenuResources::LoadPicture(settings, kSelectionFiles[p]);
        QuadButton& button = paletteButtons[i];
        const PimVector3 at =
            kBase + PimVector3(-0.025f, -0.15f * static_cast<float>(p), -0.35f) * kButtonScale;
        button.SetTexture(selectionTextures[i]);
        button.SetBaseLocation(at);
        button.SetLocation(at);
        button.SetOrientation(baseOrientation);
        button.SetQuadScale(kButtonSize);
        button.SetSizeFactor(kButtonSize);
    }

    BuildSwatches();
    SelectPalette(settings.activeGame.GetActivePalette());
    highlight.Build(kHighlightCode, kWhite);
    SelectSlot(0);

    slider.SetAnchorPosition(kBase + PimVector3(0.0f, 0.0f, 1.95f));
    slider.SetLength(1.0f);
    // Down the wall from its top: dragging the knob down brings the later rows up.
    slider.SetOrientation(PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(-90.0f)));
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(1.0f);
    slider.SetValue(0.0f);
    scrollSlider.MarkDirty();
    picker.location = kPickerLocation;
    picker.orientation = baseOrientation;
    picker.layoutDirty = true;

    showHint = settings.GetTutorialCount() > 0;

    lockQuad.SetTexture(MenuResources::LoadPicture(settings, "Lock.png"));
    lockQuad.SetScale(kLockScale);
    lockQuad.SetOrientation(baseOrientation);
    breakLockButton.SetTexture(MenuResources::LoadPicture(settings, "BreakLock.png"));
    const PimVector3 breakAt = picker.location + PimVector3(0.0f, picker.size, 0.0f) +
                               baseOrientation.TransformDirection({0.0f, 0.0f, 0.15f});
    breakLockButton.SetBaseLocation(breakAt);
    breakLockButton.SetLocation(breakAt);
    breakLockButton.SetOrientation(baseOrientation);
    breakLockButton.SetQuadScale(kButtonSize);
    breakLockButton.SetSizeFactor(kButtonSize);
}

void VrPaletteSelectionMenu::BuildSwatches()
{
    swatches.clear();
    swatches.resize(values.size());
    for (std::size_t n = 0; n < values.size(); ++n)
        swatches[n].Build(values[n], PaletteStrip::DisplayColour(values[n]));
    placedScroll = -1.0f;
    PlaceSwatches();
    RefreshLocks();
}

float VrPaletteSelectionMenu::RowHeight(int row) const
{
    return scroll * 16.0f - static_cast<float>(row) * kStep + kTopRow;
}

PimVector3 VrPaletteSelectionMenu::SwatchPosition(int index) const
{
    const float z = (static_cast<float>(index % kPerRow) - 0.5f) * kStep + kFirstColumn;
    const float y = RowHeight(index / kPerRow);
    float x = 0.0f;
    if (y > kTopRow)
        x = y - kTopRow;
    else if (y < kBottomRow)
        x = -y + kBottomRow;
    return kBase + PimVector3(x, y, z) * kSwatchScale;
}

bool VrPaletteSelectionMenu::IsFolded(int index) const
{
    const float y = RowHeight(index / kPerRow);
    return y > kTopRow || y < kBottomRow;
}

bool VrPaletteSelectionMenu::IsHidden(int index) const
{
    // Bent back half a step, a cube centred on the wall's face lies wholly behind it.
    const float y = RowHeight(index / kPerRow);
    return y >= kTopRow + 0.5f || y <= kBottomRow - 0.5f;
}

void VrPaletteSelectionMenu::PlaceSwatches()
{
    if (scroll == placedScroll)
        return;
    placedScroll = scroll;
    const PimMatrix4x4 transform = baseOrientation * PimMatrix4x4::CreateScale(kSwatchScale);
    for (std::size_t n = 0; n < swatches.size(); ++n)
    {
        swatches[n].SetPosition(SwatchPosition(static_cast<int>(n)));
        swatches[n].SetTransform(transform);
    }
}

std::uint16_t VrPaletteSelectionMenu::HitTest(const PimVector3& point) const
{
    const PimVector3 local = point - kBase;
    if (!(local.x > -kTouchDepth && local.x < kTouchDepth && local.z > -2.1f && local.z < 1.8f))
        return kNoSwatch;
    const PimVector3 q = local / kSwatchScale;
    const float column = (q.z - kFirstColumn) / kStep;
    const float row = (q.y - kTopRow - scroll * 16.0f) / -kStep;
    // A row's cell reaches half a step above and below its centre, the first row's too.
    if (!(row >= -0.5f && row < static_cast<float>(kMaxRows) && column >= -1.0f && column < static_cast<float>(kPerRow)))
        return kNoSwatch;
    const int columnIndex = static_cast<int>(column + 1.0f);
    const int index = static_cast<int>(row + 0.5f) * kPerRow + columnIndex;
    // Past the end of the list, past the last column or on a row bent into the wall: no swatch.
    if (columnIndex >= kPerRow || index >= static_cast<int>(values.size()) || IsFolded(index))
        return kNoSwatch;
    return static_cast<std::uint16_t>(index);
}

std::uint16_t VrPaletteSelectionMenu::GetValue(int index) const
{
    return index >= 0 && index < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(index)] : 0;
}

bool VrPaletteSelectionMenu::IsLockedColour(int index) const
{
    return index >= 0 && index < kColourPositions && locked[static_cast<std::size_t>(index)];
}

void VrPaletteSelectionMenu::RefreshLocks()
{
    const ColourLockMask& mask = settings.activeGame.GetLockedMask();
    for (int i = 0; i < kColourPositions; ++i)
        locked[static_cast<std::size_t>(i)] = mask.IsLocked(i);
}

void VrPaletteSelectionMenu::Reset()
{
    RefreshLocks();
    for (std::size_t n = 0; n < values.size(); ++n)
    {
        const PimColor shown = PaletteStrip::DisplayColour(values[n]);
        if (!SameColour(swatches[n].GetColour(), shown))
            swatches[n].Build(values[n], shown);
    }
    SelectPalette(settings.activeGame.GetActivePalette());
}

int VrPaletteSelectionMenu::FirstPositionOf(std::uint16_t value) const
{
    const auto found = std::find(values.begin(), values.end(), value);
    return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

void VrPaletteSelectionMenu::ShowInPicker(PimColor colour)
{
    colour = Opaque(colour);
    picker.SetColour(colour);
    appliedColour = colour;
}

void VrPaletteSelectionMenu::ShowSwatchInPicker(int index)
{
    ShowInPicker(index < kColourPositions ? PaletteModel::GetWorldColour(index) : kWhite);
}

void VrPaletteSelectionMenu::SelectPalette(int p)
{
    palette = static_cast<std::uint8_t>(std::clamp(p, 0, PaletteModel::PaletteCount - 1));
    settings.activeGame.SetActivePalette(palette);
    // The edited palette stands as a row above the wall's first row as it lies unscrolled.
    const PimMatrix4x4 transform = baseOrientation * PimMatrix4x4::CreateScale(kSwatchScale);
    for (int slot = 0; slot < PaletteStrip::kSlots; ++slot)
    {
        const std::uint16_t value = settings.activeGame.GetPaletteEntry(palette, slot);
        VoxelCube& cube = slotCubes[static_cast<std::size_t>(slot)];
        cube.Build(value, PaletteStrip::DisplayColour(value));
        const float z = (static_cast<float>(slot) - 0.5f) * kStep + kFirstColumn;
        cube.SetPosition(kBase + PimVector3(0.0f, kTopRow, z) * kSwatchScale + PimVector3(0.0f, kSlotLift, 0.0f));
        cube.SetTransform(transform);
    }
    for (int i = 0; i < PaletteModel::PaletteCount; ++i)
    {
        QuadButton& button = paletteButtons[static_cast<std::size_t>(i)];
        const bool chosen = i == palette;
        button.SetSizeFactor(chosen ? kButtonSize * QuadButton::kPressedScale : kButtonSize);
        button.SetColor(chosen ? kWhite : kDimmed);
    }
    const int position = FirstPositionOf(settings.activeGame.GetPaletteEntry(palette, selectedSlot));
    if (position >= 0)
        selectedIndex = static_cast<std::uint16_t>(position);
    ShowSwatchInPicker(selectedIndex);
    strip.Reset(false);
    settings.activeGame.coloursChanged = true;
    paletteIndicator.SetTexture(selectionTextures[palette]);
}

void VrPaletteSelectionMenu::SelectSlot(int slot)
{
    if (slot < 0 || slot >= PaletteStrip::kSlots)
        return;
    selectedSlot = static_cast<std::uint8_t>(slot);
    strip.Select(slot);
    const int position = FirstPositionOf(settings.activeGame.GetPaletteEntry(palette, slot));
    if (position >= 0)
        selectedIndex = static_cast<std::uint16_t>(position);
    ShowSwatchInPicker(selectedIndex);
}

void VrPaletteSelectionMenu::SelectSwatch(int index)
{
    if (index < 0 || index >= static_cast<int>(values.size()))
        return;
    const std::uint16_t value = values[static_cast<std::size_t>(index)];
    selectedIndex = static_cast<std::uint16_t>(index);
    ShowSwatchInPicker(index);
    settings.activeGame.SetPaletteEntry(palette, selectedSlot, value);
    strip.SetSlot(selectedSlot, value);
    slotCubes[selectedSlot].Build(value, PaletteStrip::DisplayColour(value));
    settings.activeGame.coloursChanged = true;
}

void VrPaletteSelectionMenu::RecolourSlotsHolding(std::uint16_t value)
{
    const PimColor shown = PaletteStrip::DisplayColour(value);
    for (int slot = 0; slot < PaletteStrip::kSlots; ++slot)
    {
        if (strip.GetSlotValue(slot) == value)
            strip.SetSlot(slot, value);
        VoxelCube& cube = slotCubes[static_cast<std::size_t>(slot)];
        if (cube.GetCode() == value)
            cube.Build(value, shown);
    }
}

void VrPaletteSelectionMenu::ApplyPicker()
{
    bool grasped = false;
    for (int channel = 0; channel < 3; ++channel)
        grasped = grasped || picker.GetBar(channel).GetSlider().IsBeingGrasped();
    const PimColor colour = Opaque(picker.GetColour());
    if (SameColour(colour, appliedColour))
    {
        if (!grasped)
            editCounted = false;
        return;
    }
    // Only colours can be redefined, and only while unlocked: the picker goes back.
    if (selectedIndex >= kColourPositions)
    {
        ShowInPicker(kWhite);
        return;
    }
    const auto index = static_cast<std::uint8_t>(selectedIndex);
    if (IsLockedColour(selectedIndex))
    {
        ShowInPicker(PimVoxelGrid::GetColorDefinition(index, true));
        return;
    }
    appliedColour = colour;
    settings.activeGame.SetColour(colour, index);
    const std::uint16_t value = values[selectedIndex];
    swatches[selectedIndex].Build(value, colour);
    RecolourSlotsHolding(value);
    // One grasp of a bar is one edit, however many frames it moves the colour.
    if (!editCounted && settings.GetTutorialCount() > 0)
    {
        settings.saveRequested = true;
        settings.SetTutorialCount(settings.GetTutorialCount() - 1);
    }
    editCounted = grasped;
}

void VrPaletteSelectionMenu::SelectBySwatchTouch()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    std::optional<PimVector3> touch;
    for (int role : {PimVrDeviceIndex::RightHand, PimVrDeviceIndex::LeftHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (hand.IsValid() && hand.GetValue(PimVrButton::Trigger) >= kSwatchTouchPull)
            touch = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    }
    if (!touch)
        return;
    const std::uint16_t index = HitTest(*touch);
    if (index == kNoSwatch)
        return;
    // A held trigger on the chosen swatch changes nothing more.
    if (index == selectedIndex && settings.activeGame.GetPaletteEntry(palette, selectedSlot) == values[index])
        return;
    SelectSwatch(index);
}

void VrPaletteSelectionMenu::PlaceIndicator()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const int dominant = static_cast<int>(settings.virtualReality.GetHandPreference());
    const int offRole = dominant == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
    const PimVrController& off = vr.GetHandController(offRole);
    const PimMatrix4x4 turn = off.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    const float scale = vr.GetScale();
    paletteIndicator.SetScale(0.05f * scale);
    paletteIndicator.SetOrientation(turn * PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(90.0f)));
    paletteIndicator.SetLocation(off.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World) +
                                 turn.TransformDirection(PimVector3(-0.2f, 0.1f, 0.1f) * scale));
}

void VrPaletteSelectionMenu::UpdateHints()
{
    if (!showHint || !headTurned)
        return;
    if (SwatchPosition(selectedIndex).x > kBase.x + 0.05f)
    {
        for (PimGraphicsLine& line : hintLines)
            line.ClearPoints();
        return;
    }
    const PimVector3 slot = strip.GetSlotPosition(strip.GetSelected());
    const PimVector3 preview = picker.location + PimVector3(0.0f, picker.size, 0.0f);
    hintLines[0].SetPoints({slot, preview, SwatchPosition(selectedIndex), slot});
    hintLines[0].SetColor(Opaque(picker.GetColour()));
    hintLines[1].SetPoints({paletteIndicator.GetLocation(), paletteButtons[palette].GetBaseLocation()});
    hintLines[1].SetColor(kWhite);
}

void VrPaletteSelectionMenu::UpdateBreakLock()
{
    if (!IsLockedColour(selectedIndex))
        return;
    breakLockButton.Update();
    if (!breakLockButton.IsPressed())
        return;
    settings.activeGame.SetColourLocked(false, selectedIndex);
    RefreshLocks();
}

void VrPaletteSelectionMenu::Update()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimMatrix4x4 head = vr.GetHeadsetController().GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    headTurned = head.TransformDirection({-1.0f, 0.0f, 0.0f}).z < kHeadTurn;

    PimVrUISlider& slider = scrollSlider.GetSlider();
    slider.Update();
    scroll = slider.GetValue();
    PlaceSwatches();
    picker.Update();
    ApplyPicker();

    strip.Update();
    if (strip.GetSelected() != selectedSlot)
        SelectSlot(strip.GetSelected());

    for (int p = 0; p < PaletteModel::PaletteCount; ++p)
    {
        QuadButton& button = paletteButtons[static_cast<std::size_t>(p)];
        button.Update();
        if (button.IsPressed() && p != palette)
            SelectPalette(p);
    }

    PlaceIndicator();
    highlightTime += static_cast<float>(PimTime::MillisecondDelta()) * 0.006f;
    SelectBySwatchTouch();
    UpdateHints();
    UpdateBreakLock();
}

void VrPaletteSelectionMenu::Draw()
{
    scrollSlider.Draw();
    if (headTurned)
    {
        strip.Draw();
        if (showHint)
            for (PimGraphicsLine& line : hintLines)
                line.Draw();
        paletteIndicator.Draw();
    }
    picker.Draw();
    for (VoxelCube& cube : slotCubes)
        cube.Draw();
    drawnSwatches = 0;
    for (std::size_t n = 0; n < swatches.size(); ++n)
    {
        const int index = static_cast<int>(n);
        if (IsHidden(index))
            continue;
        swatches[n].Draw();
        ++drawnSwatches;
        if (IsLockedColour(index))
        {
            lockQuad.SetLocation(swatches[n].GetPosition() + kLockOffset);
            lockQuad.Draw();
        }
    }
    if (IsLockedColour(selectedIndex))
        breakLockButton.Draw();
    for (QuadButton& button : paletteButtons)
        button.Draw();
    highlight.SetPosition(SwatchPosition(selectedIndex));
    highlight.SetTransform(baseOrientation *
                           PimMatrix4x4::CreateScale((std::sin(highlightTime) * 0.2f + 1.3f) * kSwatchScale));
    if (!IsHidden(selectedIndex))
        highlight.Draw();
}

void VrPaletteSelectionMenu::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    for (std::size_t n = 0; n < swatches.size(); ++n)
        if (!IsFolded(static_cast<int>(n)))
            spots.push_back({swatches[n].GetPosition(), kSwatchScale * 0.5f});
    for (const QuadButton& button : paletteButtons)
        spots.push_back({button.GetBaseLocation(), button.GetTouchRadius()});
    if (IsLockedColour(selectedIndex))
        spots.push_back({breakLockButton.GetBaseLocation(), breakLockButton.GetTouchRadius()});
    spots.push_back(KnobSpot(scrollSlider.GetSlider()));
    for (int channel = 0; channel < 3; ++channel)
        spots.push_back(KnobSpot(picker.GetBar(channel).GetSlider()));
    if (headTurned)
    {
        const float radius = PaletteStrip::kCubeScale * 0.5f * PimVrSystem::GetInstance().GetScale();
        for (int slot = 0; slot < PaletteStrip::kSlots; ++slot)
            spots.push_back({strip.GetSlotPosition(slot), radius});
    }
}

std::optional<PimVector3> VrPaletteSelectionMenu::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    if (auto held = HeldKnobAlong(scrollSlider.GetSlider(), origin, direction))
        return held;
    for (int channel = 0; channel < 3; ++channel)
        if (auto held = HeldKnobAlong(picker.GetBar(channel).GetSlider(), origin, direction))
            return held;
    return std::nullopt;
}
