#pragma once

#include "editing/ShapePreview.h"
#include "editing/ToolId.h"
#include "editing/WireLines.h"

#include "engine/PimColor.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class EditTarget;
class EditorPanel;
class GameSettings;
class Pim3DText;
class TutorialSteps;
class SelectionTool;
class ReferenceImagePointer;
class ReferenceImageSet;

// The world's editor: turns the dominant-hand controller into tool operations through
// the EditTarget - the cursor a fixed distance ahead of the controller with its smoothing, the
// trigger's edge detection and the tool dispatch, picked points with their distance labels, the
// measurement labels and wire box while points exist, and the error flash.
//
// Tools: the dispatch has the arms of the single voxel, the shapes (line, triangle,
// parallelogram, disc, ring), the two floods (plane and 3-D), and the box tools - the selection
// box and the cube and sphere fills (SelectionTool), whose box a pull opens around the cursor;
// and the reference images (ReferenceImageSet), whose pictures can be moved, resized and turned
// exactly while their tool is current - a pull there places nothing. The world's reference
// pictures are loaded from its settings when the editor is made, so each world shows its own.
// While a clipboard is held its controls take the place of the cursor and the dispatch. Points are picked by AddPoint and removed by the remove-last-point button
// (code 9); while points exist a white preview shows what the tool will make.
//
// Two choices that keep edits from going astray:
// - The colour use mark runs after every placement that wrote a colour, not only when the colour
//   differs from the last placed one, so a colour whose lock the user broke locks again when it
//   is used.
// - The trigger's and the remove button's edge detection also run in the frames the panel takes,
//   so a trigger held from the panel into the world acts only at its next pull.
// - A third disc, ring or plane-fill point on the line of the first two is refused with the
//   flash: three such points fix no plane.
//
// The first-time tutorial's world steps (SetTutorial) are taken here, each when the user has done
// what the marker showed last:
//   1 (and 2 at once)  the editor runs in the world: the marker points at the off hand's panel;
//   3  a colour was chosen on the panel: the trigger animation at the preferred hand;
//   4  a voxel was placed: the trigger animation at the off hand (its pull switches the panel);
//   5  the panel shows its tools: the arrow at the off hand again;
//   6  a tool other than the single voxel was chosen: the trigger at the preferred hand;
//   7  that tool completed a shape or fill (the edited flag, which the tutorial then clears):
//      the menu button, which opens the in-game menu, whose exit ends the tutorial.
// A step taken out of turn does nothing (TutorialSteps).
//
// Created with the world's player rig; the rigs of menu rooms have none. Main thread only.
class VoxelEditor
{
public:
    static constexpr std::uint8_t kMaxPointDistance = 100;
    // Distance of the cursor ahead of the controller at player scale s: kCursorDistance / s.
    static constexpr float kCursorDistance = 6.0f;

    VoxelEditor(GameSettings& settings, EditTarget& target, EditorPanel& panel);
    ~VoxelEditor();
    VoxelEditor(const VoxelEditor&) = delete;
    VoxelEditor& operator=(const VoxelEditor&) = delete;

    // Once per frame (the rig's update): frame start, panel, cursor, trigger and dispatch,
    // points, measurement.
    void Update();
    // The cursor, the wire box and the labels, in the current draw pass.
    void Draw();

    // The tool dispatch at a cell: what one trigger pull does with the current tool.
    void Apply(const PimVector3& cell);

    // Adds the cursor cell as a point: false when it is refused (more than 100 from the
    // last point: with the error flash; equal to a point in the list: silently).
    bool AddPoint(const PimVector3& cell);
    // The preview strip of the current tool (rebuilt while points exist and the cursor moves).
    const ShapePreview& GetPreview() const { return preview; }
    // True while a selection box or the clipboard is active: the panel is then neither updated
    // nor drawn.
    bool IsSelectionActive() const;
    // The box tools: the selection box, its buttons and the held clipboard's controls.
    SelectionTool& GetSelection() { return *selection; }
    // The world's reference pictures (the in-game menu's rows reload and refresh them).
    ReferenceImageSet& GetReferenceImages() { return *referenceImages; }
    // Removes the last point with its labels; nothing on an empty list.
    void RemoveLastPoint();
    void ClearPoints();
    const std::vector<PimVector3>& GetPoints() const { return points; }
    std::size_t GetDistanceLabelCount() const { return distanceLabels.size(); }
    const Pim3DText* GetDistanceLabel(std::size_t index) const;
    // The measurement labels: 0 the distance, 1 to 3 the offsets along x, y and z.
    const Pim3DText& GetMeasurementLabel(int index) const;

    void Flash() { errorFlash = 1.0f; }
    float GetErrorFlash() const { return errorFlash; }
    // White, or red while the error flash fades.
    PimColor GetGuideColour() const { return guideColour; }

    PimVector3 GetRawPoint() const { return rawPoint; }
    PimVector3 GetSmoothedPoint() const { return smoothed; }
    std::uint16_t GetSampleCount() const { return sampleCount; }
    PimVector3 GetCursorCell() const { return cursorCell; }
    // True when the cursor was placed this frame (the panel did not take the frame).
    bool IsCursorShown() const { return cursorShown; }
    // The cursor's smoothing alone, for tests: takes a raw point at player scale s.
    void SmoothCursor(const PimVector3& raw, float s);
    // The cursor step without a controller: smooths the raw point and places the cursor's
    // graphics there, shown at the next Draw (render tests, tools that aim otherwise).
    void ShowCursorAt(const PimVector3& raw, float s);

    std::uint16_t GetLastPlacedColour() const { return lastColour; }
    PimVector3 GetLastSingleCell() const { return lastSingleCell; }
    std::uint32_t GetTool() const { return tool; }
    // Set by every completed operation except single-voxel placements (the tutorial reads it).
    bool IsEdited() const { return edited; }
    void ClearEdited() { edited = false; }

    // The tutorial whose world steps this editor takes (may be null: none); it outlives the editor.
    void SetTutorial(TutorialSteps* steps) { tutorial = steps; }

    // Voxels written by single-voxel placements so far.
    std::uint64_t GetPlacementCount() const { return placements; }

    const WireLines& GetCursorCube() const { return cursorCube; }
    const WireLines& GetAxisCross() const { return axisCross; }
    const WireLines& GetWireBox() const { return wireBox; }

private:
    int DominantRole() const;
    float PlayerScale() const;
    void FrameStart();
    // Steps 2 to 7 of the frame: the panel, the cursor, the trigger's dispatch, points, measuring.
    void UpdateCursorAndTool(float s, bool triggerNow, bool removeNow);
    void UpdateCursor(float s);
    void PlaceCursorGraphics();
    void Measure(float s);
    void PlaceSingleVoxel(const PimVector3& cell);
    // The arms of the tools that pick points; each clears the points when its shape is done.
    void ApplyLine(const PimVector3& cell);
    void ApplyThreePointShape(const PimVector3& cell, std::uint16_t colour);
    void ApplyPlaneFill(const PimVector3& cell, std::uint16_t colour);
    void ApplyFlood(const PimVector3& cell, std::uint16_t colour);
    // After a completed shape or fill: the colour's lock and the tutorial's edited flag.
    void Completed(std::uint16_t colour);
    void RefreshPreview();
    void UseMark(std::uint16_t colour);
    // What the user did this frame, as tutorial steps (see above).
    struct PanelState
    {
        std::uint16_t colour;
        std::uint32_t tool;
        bool showsTools;
        std::uint64_t placements;
    };
    PanelState ReadPanelState() const;
    // Compares with the state seen at the end of the last frame.
    void TakeTutorialSteps();
    std::shared_ptr<Pim3DText> MakeLabel(PimColor colour, float s) const;

    GameSettings& settings;
    EditTarget& target;
    EditorPanel& panel;

    std::vector<PimVector3> points;
    std::vector<std::shared_ptr<Pim3DText>> distanceLabels;
    PimVector3 rawPoint;
    PimVector3 smoothed;
    std::uint16_t sampleCount = 0;
    PimVector3 cursorCell;
    bool cursorShown = false;
    bool triggerHeld = false;
    bool removeHeld = false;
    PimVector3 lastSingleCell;
    std::uint16_t lastColour = 0;
    std::uint32_t tool = 0;
    float errorFlash = 0.0f;
    PimColor guideColour{255, 255, 255, 255};
    bool edited = false;
    std::uint64_t placements = 0;
    TutorialSteps* tutorial = nullptr;
    std::optional<PanelState> tutorialSeen;

    ShapePreview preview;
    PimVector3 previewCell;
    std::size_t previewPointCount = 0;
    WireLines cursorCube;
    WireLines axisCross;
    WireLines lagLine;
    WireLines wireBox;
    std::array<std::shared_ptr<Pim3DText>, 4> measureLabels;
    std::unique_ptr<SelectionTool> selection;
    std::unique_ptr<ReferenceImageSet> referenceImages;
    // After the selection's pointer: it answers first while the reference tool is current.
    std::unique_ptr<ReferenceImagePointer> referencePointer;
};
