#include "editing/ToolPanel.h"

#include "editing/PointerSpace.h"
#include "editing/RayPick.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimTexture.h"
#include "engine/PimTime.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <algorithm>

namespace
{
// The panel whose pressable things the simulator's pointer looks for (the newest one).
const ToolPanel* pointerOwner = nullptr;

constexpr const char* kIconNames[kToolCount] = {
    "SingleVoxel", "LineTool", "MagicTriangle", "MagicQuad",  "MagicCircle",    "MagicRing",
    "Select",      "FillCube", "FillSphere",    "ReferenceImage", "FillPlain", "Fill",
};

std::shared_ptr<const PimTexture> LoadIcon(const GameSettings& settings, std::uint32_t tool)
{
    auto picture = std::make_shared<PimTexture>();
    const std::string name = ToolPanel::IconFileName(tool);
    if (!picture->Load(settings.GetFolders().textures.Narrow() + name))
    {
        PimAssert::Assert(false, "ToolPanel::ToolPanel() - " + name + ": " + picture->GetLoadError());
        return nullptr;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    return picture;
}
}

ToolPanel::ToolPanel(GameSettings& settingsIn) : settings(settingsIn), strip(settingsIn)
{
    for (std::uint32_t slot = 0; slot < kToolCount; ++slot)
    {
        QuadButton& icon = icons[slot];
        icon.SetTexture(LoadIcon(settings, slot));
        icon.SetReachBySizeFactor(true);
        icon.SetSizeFactor(kIconSize);
        icon.SetQuadScale(kIconSize);
    }
    InstallPointerTarget();
}

ToolPanel::~ToolPanel()
{
    if (pointerOwner != this)
        return;
    if (PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator())
        simulator->SetHeldPointerTarget({});
    pointerOwner = nullptr;
}

std::string ToolPanel::IconFileName(std::uint32_t id)
{
    return id < kToolCount ? std::string("Tools_") + kIconNames[id] + ".png" : std::string();
}

const QuadButton& ToolPanel::GetIcon(int slot) const
{
    return icons[static_cast<std::size_t>(std::clamp(slot, 0, static_cast<int>(kToolCount) - 1))];
}

int ToolPanel::DominantRole() const
{
    return static_cast<int>(settings.virtualReality.GetHandPreference());
}

int ToolPanel::OffHandRole() const
{
    return DominantRole() == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
}

std::uint16_t ToolPanel::GetCurrentColour() const
{
    return static_cast<std::uint16_t>(strip.GetSelectedValue() & 0xFFFFu);
}

bool ToolPanel::TakesFrame() const
{
    return page == Page::Tools ? nearFlag : strip.IsPointedAt();
}

bool ToolPanel::SelectTool(std::uint32_t id)
{
    if (!IsToolAvailable(id))
        return false;
    tool = id;
    return true;
}

void ToolPanel::Update()
{
    lastUpdateFrame = PimTime::FrameCount();
    if (settings.activeGame.coloursChanged)
    {
        strip.Reset(false);
        settings.activeGame.coloursChanged = false;
    }
    FollowShortcutKeys();

    const PimVrController& off = PimVrSystem::GetInstance().GetHandController(OffHandRole());
    const bool pulled = off.GetValue(PimVrButton::Trigger) > PimVrController::PressThreshold;
    if (pulled && !offTriggerHeld)
        SwitchPage();
    offTriggerHeld = pulled;

    if (page == Page::Palette)
    {
        nearFlag = false;
        strip.Update();
    }
    else
        UpdateToolsPage();
}

void ToolPanel::FollowShortcutKeys()
{
    const PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr)
        return;
    for (std::uint32_t slot = 0; slot < kToolCount; ++slot)
        if (simulator->WasShortcutPressed(static_cast<int>(slot)))
            SelectTool(slot);
}

void ToolPanel::UpdateToolsPage()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const float scale = vr.GetScale();
    const PimVrController& off = vr.GetHandController(OffHandRole());
    const PimVector3 hand = off.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    panelOrientation = off.GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::World);
    panelPosition = hand + panelOrientation.TransformDirection(PimVector3(0.0f, 0.1f, 0.2f) * scale);
    // Each icon lies flat in the grid's plane, its picture's top away from the user.
    const PimMatrix4x4 iconOrientation = panelOrientation * PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(-90.0f));

    const PimVrController& dominant = vr.GetHandController(DominantRole());
    const PimVector3 dominantTip = dominant.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const float nearRadius = kNearRadius * scale;
    nearFlag = false;
    for (std::uint32_t slot = 0; slot < kToolCount; ++slot)
    {
        QuadButton& icon = icons[slot];
        const float column = static_cast<float>(slot % 4) - 1.5f;
        const float row = static_cast<float>(slot / 4) - 1.5f;
        icon.SetBaseLocation(panelPosition + panelOrientation.TransformDirection(
                                                 PimVector3(column * kIconSpacing, kIconSpacing, row * kIconSpacing) * scale));
        icon.SetOrientation(iconOrientation);
        icon.SetSizeFactor(kIconSize * scale);
        if (dominant.IsValid() && dominantTip.DistanceSquared(icon.GetBaseLocation()) < nearRadius * nearRadius)
            nearFlag = true;
        if (!IsToolAvailable(slot))
        {
            icon.SetLocation(icon.GetBaseLocation());
            icon.SetColor(kDisabledTint);
            continue;
        }
        icon.Update();
        if (icon.IsPressed())
            tool = slot;
    }
    for (std::uint32_t slot = 0; slot < kToolCount; ++slot)
        if (IsToolAvailable(slot))
            icons[slot].SetColor(slot == tool ? kCurrentTint : kOtherTint);
}

void ToolPanel::Draw()
{
    if (page == Page::Palette)
    {
        strip.Draw();
        return;
    }
    for (QuadButton& icon : icons)
        icon.Draw();
}

std::optional<PimVector3> ToolPanel::PressableAlong(const PimVector3& origin, const PimVector3& direction) const
{
    const float scale = PimVrSystem::GetInstance().GetScale();
    RayPick pick(origin, direction);
    if (page == Page::Palette)
    {
        for (int slot = 0; slot < PaletteStrip::kSlots; ++slot)
            pick.Consider(strip.GetSlotPosition(slot), PaletteStrip::kCubeScale * 0.6f * scale);
    }
    else
    {
        for (std::uint32_t slot = 0; slot < kToolCount; ++slot)
            if (IsToolAvailable(slot))
                pick.Consider(icons[slot].GetBaseLocation(), kIconSize * 0.6f * scale);
    }
    return pick.Found();
}

void ToolPanel::InstallPointerTarget()
{
    PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr)
        return;
    pointerOwner = this;
    simulator->SetHeldPointerTarget([this](const PimVector3& eye, const PimVector3& ray) -> std::optional<PimVector3> {
        // Only while the panel is in use: updated in this frame or the one before.
        if (lastUpdateFrame + 2 < PimTime::FrameCount())
            return std::nullopt;
        PimVector3 origin, direction;
        PointerSpace::RayInWorld(eye, ray, origin, direction);
        const std::optional<PimVector3> found = PressableAlong(origin, direction);
        if (!found)
            return std::nullopt;
        return PointerSpace::WorldToTracking(*found);
    });
}
