#include "editing/VoxelEditor.h"

#include "editing/TutorialSteps.h"

#include "editing/EditTarget.h"
#include "editing/CircleSamples.h"
#include "editing/DiscTool.h"
#include "editing/EditorPanel.h"
#include "editing/FloodFill.h"
#include "editing/LabelText.h"
#include "editing/ParallelogramTool.h"
#include "editing/PlaneFill.h"
#include "editing/ReferenceImagePointer.h"
#include "editing/ReferenceImageSet.h"
#include "editing/RingTool.h"
#include "editing/SelectionTool.h"
#include "editing/TriangleTool.h"
#include "editing/VoxelLine.h"

#include "settings/GameSettings.h"

#include "engine/Pim3DText.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimString.h"
#include "engine/PimTime.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr PimColor kCursorColour{26, 128, 204, 255}; // (0.1, 0.5, 0.8)
constexpr PimColor kSmoothedEnd{51, 255, 51, 255};   // (0.2, 1, 0.2)
constexpr PimColor kWhite{255, 255, 255, 255};
constexpr float kCrossLength = 10.0f;
}

VoxelEditor::VoxelEditor(GameSettings& settingsIn, EditTarget& targetIn, EditorPanel& panelIn)
    : settings(settingsIn), target(targetIn), panel(panelIn)
{
    tool = panel.GetTool();
    selection = std::make_unique<SelectionTool>(settings, target);
    referenceImages = std::make_unique<ReferenceImageSet>(settings);
    referenceImages->LoadAll();
    referencePointer = std::make_unique<ReferenceImagePointer>(*referenceImages);
    // Built once; each frame only moves them.
    cursorCube.AddBox({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, kCursorColour);
    const PimVector3 centre(0.5f, 0.5f, 0.5f);
    axisCross.AddSegment(centre - PimVector3(kCrossLength, 0, 0), centre + PimVector3(kCrossLength, 0, 0), WireColours::Red);
    axisCross.AddSegment(centre - PimVector3(0, kCrossLength, 0), centre + PimVector3(0, kCrossLength, 0), WireColours::Green);
    axisCross.AddSegment(centre - PimVector3(0, 0, kCrossLength), centre + PimVector3(0, 0, kCrossLength), WireColours::Blue);
    // The lag line from the smoothed point (its first half) to the raw point (its second half, in
    // the guide colour), a unit diagonal stretched onto the two points.
    lagLine.AddSegment({0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}, kSmoothedEnd);
    lagLine.AddSegment({0.5f, 0.5f, 0.5f}, {1.0f, 1.0f, 1.0f}, kWhite);
    wireBox.AddAxisBox({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f});
    const PimColor labelColours[4] = {kWhite, WireColours::Red, WireColours::Green, WireColours::Blue};
    for (int index = 0; index < 4; ++index)
        measureLabels[static_cast<std::size_t>(index)] = MakeLabel(labelColours[index], 1.0f);
}

VoxelEditor::~VoxelEditor()
{
    // The reference pointer hands the simulator back the selection's target before that goes.
    referencePointer.reset();
}

int VoxelEditor::DominantRole() const
{
    return static_cast<int>(settings.virtualReality.GetHandPreference());
}

float VoxelEditor::PlayerScale() const
{
    const float s = settings.activeGame.GetPlayerScale();
    return s > 0.0f ? s : 1.0f;
}

std::shared_ptr<Pim3DText> VoxelEditor::MakeLabel(PimColor colour, float s) const
{
    auto label = std::make_shared<Pim3DText>();
    label->SetColor(colour);
    label->SetScale(s);
    return label;
}

void VoxelEditor::FrameStart()
{
    if (errorFlash > 0.0f)
    {
        errorFlash = std::max(0.0f, errorFlash - 0.5f * static_cast<float>(PimTime::SecondDelta()));
        const float red = 156.0f - 100.0f * std::cos(errorFlash);
        guideColour = PimColor(static_cast<std::uint8_t>(std::clamp(red, 0.0f, 255.0f)), 0, 0, 255);
    }
    else
        guideColour = kWhite;
    lagLine.SetRunColour(1, guideColour);
}

VoxelEditor::PanelState VoxelEditor::ReadPanelState() const
{
    return {panel.GetCurrentColour(), panel.GetTool(), panel.ShowsTools(), placements};
}

void VoxelEditor::TakeTutorialSteps()
{
    const PanelState now = ReadPanelState();
    const PanelState before = tutorialSeen.value_or(now);
    tutorialSeen = now;
    if (tutorial == nullptr)
        return;
    tutorial->AdvanceTutorial(1);
    if (now.colour != before.colour)
        tutorial->AdvanceTutorial(3);
    if (now.placements > before.placements)
        tutorial->AdvanceTutorial(4);
    if (now.showsTools && !before.showsTools)
        tutorial->AdvanceTutorial(5);
    if (now.tool != before.tool && now.tool != static_cast<std::uint32_t>(ToolId::SingleVoxel))
        tutorial->AdvanceTutorial(6);
    if (edited)
    {
        edited = false;
        tutorial->AdvanceTutorial(7);
    }
}

bool VoxelEditor::IsSelectionActive() const
{
    return selection->IsActive();
}

void VoxelEditor::Update()
{
    FrameStart();
    const float s = PlayerScale();
    const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(DominantRole());
    const bool triggerNow = hand.GetValue(PimVrButton::Trigger) > PimVrController::PressThreshold;
    const bool removeNow = hand.GetValue(PimVrButton::Secondary) > PimVrController::PressThreshold;

    if (target.GetClipboard().IsHeld())
    {
        // The held clipboard's controls take the hands; the cursor, the dispatch and the panel rest.
        selection->UpdateHeld(s);
        triggerHeld = triggerNow;
        removeHeld = removeNow;
        cursorShown = false;
    }
    else
        UpdateCursorAndTool(s, triggerNow, removeNow);

    // The box tools' follow-up; any other tool closes the box.
    if (SelectionTool::IsBoxTool(tool))
    {
        const SelectionTool::Outcome outcome = selection->UpdateBox(tool, panel.GetCurrentColour());
        if (outcome.flash)
            Flash();
        if (outcome.painted)
            UseMark(panel.GetCurrentColour());
        if (outcome.edited)
            edited = true;
    }
    else if (static_cast<ToolId>(tool) != ToolId::ReferenceImage)
        selection->CloseBox();

    referenceImages->SetEditable(static_cast<ToolId>(tool) == ToolId::ReferenceImage);
    referenceImages->Update();
}

void VoxelEditor::UpdateCursorAndTool(float s, bool triggerNow, bool removeNow)
{
    // The panel, and what a tool change discards.
    const std::uint32_t before = panel.GetTool();
    if (!IsSelectionActive())
        panel.Update();
    tool = panel.GetTool();
    if (tool != before)
    {
        ClearPoints();
        selection->CloseBox();
        sampleCount = 0;
    }

    if (panel.TakesFrame())
    {
        // The edges keep being followed, so a pull that began on the panel does not act in the
        // world when the hand leaves it.
        triggerHeld = triggerNow;
        removeHeld = removeNow;
        cursorShown = false;
        return;
    }
    UpdateCursor(s);
    cursorShown = true;
    // One action per pull.
    if (triggerNow && !triggerHeld)
        Apply(cursorCell);
    triggerHeld = triggerNow;
    if (removeNow && !removeHeld)
        RemoveLastPoint();
    removeHeld = removeNow;
    if (!points.empty())
    {
        Measure(s);
        RefreshPreview();
    }
    TakeTutorialSteps();
}

void VoxelEditor::RefreshPreview()
{
    if (points.empty())
    {
        preview.Clear();
        return;
    }
    if ((cursorCell - points.back()).Length() > static_cast<float>(kMaxPointDistance))
        Flash();
    if (cursorCell == previewCell && points.size() == previewPointCount && !preview.GetPoints().empty())
        return;
    previewCell = cursorCell;
    previewPointCount = points.size();
    preview.Rebuild(tool, points, smoothed);
}

void VoxelEditor::UpdateCursor(float s)
{
    const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(DominantRole());
    const PimVector3 position = hand.GetDevicePosition(PimVrPose::Controller, PimVrCoordinates::World);
    const PimMatrix4x4 orientation = hand.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    SmoothCursor(position + orientation.TransformDirection({0.0f, 0.0f, -kCursorDistance / s}), s);
    PlaceCursorGraphics();
}

void VoxelEditor::SmoothCursor(const PimVector3& raw, float s)
{
    rawPoint = raw;
    const float jump = 0.02666f * s + 2.0f;
    if (sampleCount == 0)
    {
        smoothed = raw;
        sampleCount = 1;
    }
    else if ((smoothed - raw).LengthSquared() > jump * jump)
    {
        smoothed = raw;
        sampleCount = 1;
    }
    else
    {
        const float n = static_cast<float>(sampleCount);
        smoothed = (smoothed * n + raw) / (n + 1.0f);
        const auto cap = static_cast<std::uint16_t>(0.25f * s + 10.0f);
        sampleCount = static_cast<std::uint16_t>(std::min<int>(sampleCount + 1, cap));
    }
    cursorCell = smoothed.Integerize();
}

void VoxelEditor::ShowCursorAt(const PimVector3& raw, float s)
{
    SmoothCursor(raw, s);
    PlaceCursorGraphics();
    cursorShown = true;
}

void VoxelEditor::PlaceCursorGraphics()
{
    const PimMatrix4x4 atCell = PimMatrix4x4::CreateTranslation(cursorCell);
    cursorCube.SetModel(atCell);
    axisCross.SetModel(atCell);
    lagLine.SetModel(PimMatrix4x4::CreateTranslation(smoothed) * PimMatrix4x4::CreateScale(rawPoint - smoothed));
}

void VoxelEditor::Measure(float s)
{
    const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(DominantRole());
    const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
    const PimVector3 last = points.back();
    const PimVector3 offset = rawPoint - last;
    measureLabels[0]->SetText(LabelText::OneDecimal(offset.Length()));
    measureLabels[0]->SetPosition(tip - PimVector3(0.2f * s, 0.0f, 0.0f));
    const float parts[3] = {offset.x, offset.y, offset.z};
    const PimVector3 steps[3] = {{0.1f * s, 0, 0}, {0, 0.1f * s, 0}, {0, 0, 0.1f * s}};
    for (int axis = 0; axis < 3; ++axis)
    {
        Pim3DText& label = *measureLabels[static_cast<std::size_t>(axis + 1)];
        label.SetText(LabelText::OneDecimal(parts[axis]));
        label.SetPosition(tip + steps[axis]);
    }
    for (auto& label : measureLabels)
    {
        label->SetScale(s);
        LabelText::FaceViewer(*label);
    }
    const PimVector3 from = points.front() + PimVector3(0.5f, 0.5f, 0.5f);
    wireBox.SetModel(PimMatrix4x4::CreateTranslation(from) * PimMatrix4x4::CreateScale(smoothed - from));
}

void VoxelEditor::Apply(const PimVector3& cell)
{
    const std::uint16_t colour = panel.GetCurrentColour();
    switch (static_cast<ToolId>(tool))
    {
    case ToolId::SingleVoxel:
        PlaceSingleVoxel(cell);
        break;
    case ToolId::LineTool:
        ApplyLine(cell);
        break;
    case ToolId::MagicTriangle:
    case ToolId::MagicQuad:
    case ToolId::MagicCircle:
    case ToolId::MagicRing:
        ApplyThreePointShape(cell, colour);
        break;
    case ToolId::FillPlain:
        ApplyPlaneFill(cell, colour);
        break;
    case ToolId::Fill:
        ApplyFlood(cell, colour);
        break;
    case ToolId::Select:
    case ToolId::FillCube:
    case ToolId::FillSphere:
        if (!selection->IsBoxActive())
        {
            selection->Open(cell);
            preview.Clear();
        }
        break;
    case ToolId::ReferenceImage:
        // The pictures' grab points take the pull (ReferenceImageSet::Update).
        break;
    default:
        break;
    }
}

void VoxelEditor::ApplyLine(const PimVector3& cell)
{
    if (points.empty())
    {
        AddPoint(cell);
        return;
    }
    if (!AddPoint(cell))
        return;
    const std::uint16_t colour = panel.GetCurrentColour();
    VoxelLine::Between(target, points.front(), points.back(), colour);
    target.Rebuild();
    ClearPoints();
    Completed(colour);
}

void VoxelEditor::ApplyThreePointShape(const PimVector3& cell, std::uint16_t colour)
{
    const bool circle = tool == static_cast<std::uint32_t>(ToolId::MagicCircle) ||
                        tool == static_cast<std::uint32_t>(ToolId::MagicRing);
    // A third point on the line of the first two fixes no plane for a disc or ring.
    if (circle && points.size() == 2 && !CircleSamples::SpanPlane(cell - points[0], points[1] - points[0]))
    {
        Flash();
        return;
    }
    if (!AddPoint(cell) || points.size() < 3)
        return;
    const PimVector3 p1 = points[0], p2 = points[1], p3 = points[2];
    switch (static_cast<ToolId>(tool))
    {
    case ToolId::MagicTriangle:
        TriangleTool::Draw(target, p1, p2, p3, colour);
        break;
    case ToolId::MagicQuad:
        ParallelogramTool::Draw(target, p1, p2, p3, colour);
        break;
    case ToolId::MagicCircle:
        DiscTool::Draw(target, p1, p2, p3, colour);
        break;
    default:
        RingTool::Draw(target, p1, p2, p3, colour);
        break;
    }
    ClearPoints();
    Completed(colour);
}

void VoxelEditor::ApplyPlaneFill(const PimVector3& cell, std::uint16_t colour)
{
    if (!PlaneFill::AcceptsPoint(points, cell))
    {
        Flash();
        return;
    }
    if (!AddPoint(cell) || points.size() < 3)
        return;
    PlaneFill::Fill(target, points[0], PlaneFill::NormalAxis(points[0], points[1], points[2]), colour);
    ClearPoints();
    Completed(colour);
}

void VoxelEditor::ApplyFlood(const PimVector3& cell, std::uint16_t colour)
{
    if (AddPoint(cell) && FloodFill::Fill(target, points.front(), colour) > 0)
        Completed(colour);
    ClearPoints();
}

void VoxelEditor::Completed(std::uint16_t colour)
{
    UseMark(colour);
    edited = true;
}

void VoxelEditor::PlaceSingleVoxel(const PimVector3& cell)
{
    const std::uint16_t colour = panel.GetCurrentColour();
    const std::uint16_t old = target.GetVoxel(cell);
    if (old == colour && colour == lastColour)
        return;
    target.SetVoxel(colour, cell, true, false);
    if (target.GetVoxel(cell) != colour)
    {
        // Refused by the container (outside the world, or its chunk not loaded yet): nothing
        // was placed, and the user sees so.
        Flash();
        return;
    }
    ++placements;
    UseMark(colour);
    lastColour = colour;
    lastSingleCell = cell;
}

void VoxelEditor::UseMark(std::uint16_t colour)
{
    if (colour >= VoxelCode::FirstColour)
        settings.activeGame.SetColourLocked(true, static_cast<std::uint16_t>(colour - VoxelCode::FirstColour));
}

bool VoxelEditor::AddPoint(const PimVector3& cell)
{
    if (!points.empty() && (cell - points.back()).Length() > static_cast<float>(kMaxPointDistance))
    {
        Flash();
        return false;
    }
    if (std::find(points.begin(), points.end(), cell) != points.end())
        return false;
    points.push_back(cell);
    if (points.size() >= 2)
    {
        const float s = PlayerScale();
        const PimVector3 a = points[points.size() - 2];
        const PimVector3 b = points.back();
        auto label = MakeLabel(kWhite, s);
        label->SetText(LabelText::OneDecimal((b - a).Length()));
        label->SetPosition((a + b) * 0.5f + PimVector3(0.0f, s, 0.0f));
        LabelText::FaceViewer(*label);
        distanceLabels.push_back(std::move(label));
    }
    return true;
}

void VoxelEditor::RemoveLastPoint()
{
    if (points.empty())
        return;
    points.pop_back();
    if (points.empty())
        preview.Clear();
    if (!distanceLabels.empty())
        distanceLabels.pop_back();
}

void VoxelEditor::ClearPoints()
{
    points.clear();
    distanceLabels.clear();
    preview.Clear();
}

const Pim3DText* VoxelEditor::GetDistanceLabel(std::size_t index) const
{
    return index < distanceLabels.size() ? distanceLabels[index].get() : nullptr;
}

const Pim3DText& VoxelEditor::GetMeasurementLabel(int index) const
{
    return *measureLabels[static_cast<std::size_t>(std::clamp(index, 0, 3))];
}

void VoxelEditor::Draw()
{
    if (!IsSelectionActive())
        panel.Draw();
    selection->Draw(guideColour);
    if (cursorShown)
    {
        cursorCube.Draw();
        axisCross.Draw();
        lagLine.Draw();
    }
    for (auto& label : distanceLabels)
        label->RunDraw();
    if (!points.empty() && cursorShown)
    {
        preview.Draw();
        wireBox.Draw();
        for (auto& label : measureLabels)
            label->RunDraw();
    }
    // Last: the see-through pictures lie over the cursor and the shapes behind them.
    referenceImages->Draw();
}
