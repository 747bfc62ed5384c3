#include "editing/SelectionTool.h"

#include "editing/ClearBox.h"
#include "editing/EditTarget.h"
#include "editing/FillCube.h"
#include "editing/FillSphere.h"
#include "editing/SelectionPointer.h"

#include "world/VoxelWorld2.h"

#include "settings/GameSettings.h"

#include "engine/PimAssert.h"
#include "engine/PimTexture.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"

#include <cmath>

namespace
{
std::shared_ptr<const PimTexture> LoadPicture(const GameSettings& settings, const char* name)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(settings.GetFolders().textures.Narrow() + name))
    {
        PimAssert::Assert(false, std::string("SelectionTool::SelectionTool() - ") + name + ": " + picture->GetLoadError());
        return nullptr;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    return picture;
}

std::array<std::shared_ptr<const PimTexture>, ActionButtons::kCount> ButtonPictures(const GameSettings& settings)
{
    return {LoadPicture(settings, "PlayButton.png"), LoadPicture(settings, "ExitMenuButton.png"),
            LoadPicture(settings, "CopyButton.png"), LoadPicture(settings, "CutButton.png"),
            LoadPicture(settings, "MoveButton.png")};
}
}

const char* const SelectionTool::kLegendTools =
    "Tools: 1 voxel  2 line  3 triangle  4 parallelogram  5 disc  6 ring  7 select box  8 cube fill  9 sphere fill"
    "  0 reference pictures  - plane fill  = flood fill";
const char* const SelectionTool::kLegendBox =
    "Box (7-9): click opens it; drag its corner markers; click the buttons by the other hand (bottom of the view): "
    "copy, cut, move, close, apply; drag the copy, click a mirror button, drag a ring to turn it";

SelectionTool::SelectionTool(GameSettings& settingsIn, EditTarget& targetIn)
    : settings(settingsIn),
      target(targetIn),
      box(nullptr),
      buttons({}),
      mirrorButtons(nullptr),
      rings(nullptr),
      pointer(std::make_unique<SelectionPointer>(*this))
{
}

SelectionTool::~SelectionTool() = default;

bool SelectionTool::IsBoxTool(std::uint32_t tool)
{
    const auto id = static_cast<ToolId>(tool);
    return id == ToolId::Select || id == ToolId::FillCube || id == ToolId::FillSphere;
}

bool SelectionTool::IsActive() const
{
    return box.IsActive() || target.GetClipboard().IsHeld();
}

int SelectionTool::DominantRole() const
{
    return static_cast<int>(settings.virtualReality.GetHandPreference());
}

int SelectionTool::OffHandRole() const
{
    return DominantRole() == PimVrDeviceIndex::LeftHand ? PimVrDeviceIndex::RightHand : PimVrDeviceIndex::LeftHand;
}

void SelectionTool::LoadPictures()
{
    if (picturesLoaded)
        return;
    picturesLoaded = true;
    box.SetMarker(LoadPicture(settings, "RightHanded.png"));
    buttons.SetPictures(ButtonPictures(settings));
    mirrorButtons.SetPicture(LoadPicture(settings, "MirrorButton.png"));
    rings.SetPicture(LoadPicture(settings, "RotateButton.png"));
}

void SelectionTool::Open(const PimVector3& cell)
{
    if (box.IsActive())
        return;
    LoadPictures();
    box.Open(cell);
    // The pull that opened the box presses no button.
    buttons.Latch();
}

void SelectionTool::CloseBox()
{
    box.Close();
}

SelectionTool::Outcome SelectionTool::UpdateBox(std::uint32_t tool, std::uint16_t colour)
{
    const bool held = target.GetClipboard().IsHeld();
    if (static_cast<ToolId>(tool) != ToolId::Select)
        buttons.SetState(ActionButtons::State::BoxFill);
    else
        buttons.SetState(held ? ActionButtons::State::SelectWithClipboard : ActionButtons::State::SelectWithoutClipboard);
    Outcome outcome;
    if (!box.IsActive())
        return outcome;
    if (!held && !box.Update())
        outcome.flash = true;
    if (held)
        box.ReleaseHandles();
    const ActionButtons::Action action = buttons.Update(OffHandRole());
    const Outcome ran = Run(action, tool, colour);
    outcome.flash = outcome.flash || ran.flash;
    outcome.painted = ran.painted;
    outcome.edited = ran.edited;
    return outcome;
}

SelectionTool::Outcome SelectionTool::Run(ActionButtons::Action action, std::uint32_t tool, std::uint16_t colour)
{
    Outcome outcome;
    Clipboard& clipboard = target.GetClipboard();
    switch (action)
    {
    case ActionButtons::Action::Play:
        if (static_cast<ToolId>(tool) == ToolId::Select)
        {
            if (clipboard.IsHeld() && target.GetKind() == EditTarget::Kind::World)
            {
                clipboard.Paste(target);
                outcome.edited = true;
            }
            break;
        }
        if (static_cast<ToolId>(tool) == ToolId::FillCube)
            FillCube::Fill(target, box.GetUpperCorner(), box.GetLowerCorner(), colour);
        else if (static_cast<ToolId>(tool) == ToolId::FillSphere)
            FillSphere::Fill(target, box.GetUpperCorner(), box.GetLowerCorner(), colour);
        else
            break;
        box.Close();
        outcome.painted = true;
        outcome.edited = true;
        break;
    case ActionButtons::Action::ExitMenu:
        box.Close();
        clipboard.Release();
        rings.Reset();
        latched = false;
        break;
    case ActionButtons::Action::Copy:
        outcome = CopyBox();
        break;
    case ActionButtons::Action::Cut:
        box.Close();
        ClearBox::Clear(target, box.GetUpperCorner(), box.GetLowerCorner());
        outcome.edited = true;
        break;
    case ActionButtons::Action::Move:
        outcome = MoveBox();
        break;
    case ActionButtons::Action::None:
        break;
    }
    return outcome;
}

SelectionTool::Outcome SelectionTool::CopyBox()
{
    Outcome outcome;
    const PimVector3 upper = box.GetUpperCorner();
    const PimVector3 lower = box.GetLowerCorner();
    const bool spans = upper.x != lower.x && upper.y != lower.y && upper.z != lower.z;
    if (target.GetKind() != EditTarget::Kind::World || !spans ||
        !target.GetClipboard().Copy(*target.GetWorld(), lower, upper))
    {
        outcome.flash = true;
        return outcome;
    }
    // A new clipboard turns freely.
    latched = false;
    rings.Reset();
    return outcome;
}

SelectionTool::Outcome SelectionTool::MoveBox()
{
    Outcome outcome = CopyBox();
    if (outcome.flash)
        return outcome;
    ClearBox::Clear(target, box.GetUpperCorner(), box.GetLowerCorner());
    outcome.edited = true;
    return outcome;
}

void SelectionTool::UpdateHeld(float playerScale)
{
    Clipboard& clipboard = target.GetClipboard();
    if (!clipboard.IsHeld())
        return;
    LoadPictures();
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const int dominant = DominantRole();
    const PimVrController& hand = vr.GetHandController(dominant);
    const bool pulled = hand.IsValid() && hand.IsPressed(PimVrButton::Trigger);
    const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);

    // Carrying: the grabbing hand turns no ring meanwhile.
    if (clipboard.IsGrabbed())
    {
        if (pulled)
            clipboard.Carry(tip);
        else
            clipboard.EndGrab();
    }
    rings.Update(clipboard.GetCentre(), MirrorButtons::Reach(playerScale), clipboard.IsGrabbed() ? dominant : 0);
    if (!clipboard.IsGrabbed() && pulled && rings.GetAnyHolder() != dominant && clipboard.Contains(tip))
        clipboard.Grab(tip);

    const int mirrorAxis = mirrorButtons.Update(clipboard.GetCentre(), clipboard.GetSize(), playerScale);
    int turnAxis = -1;
    float turn = 0.0f;
    for (int axis = 0; axis < RotateGizmo::kRingCount && turnAxis < 0; ++axis)
    {
        const float degrees = rings.GetAngleDegrees(axis) * (axis == 1 ? -1.0f : 1.0f);
        if (std::fabs(degrees) > kTurnDegrees)
        {
            turnAxis = axis;
            turn = degrees;
        }
    }
    if (latched)
    {
        if (mirrorAxis < 0 && turnAxis < 0)
            latched = false;
    }
    else if (mirrorAxis >= 0)
    {
        clipboard.Mirror(mirrorAxis);
        latched = true;
    }
    else if (turnAxis >= 0)
    {
        clipboard.Rotate(turnAxis, turn >= 0.0f ? 1 : -1);
        latched = true;
    }
    clipboard.Update();
}

void SelectionTool::Draw(PimColor guide)
{
    const bool held = target.GetClipboard().IsHeld();
    if (box.IsActive())
    {
        box.Draw(guide, !held);
        buttons.Draw();
    }
    if (held)
    {
        mirrorButtons.Draw();
        rings.Draw();
    }
}
