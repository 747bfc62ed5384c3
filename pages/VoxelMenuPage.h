#pragma once

#include "pages/MenuItem.h"
#include "pages/PointerSpot.h"
#include "pages/QuadButton.h"

#include "engine/PimMatrix4x4.h"
#include "engine/PimTexture.h"
#include "engine/PimUIPage.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ChunkBlock;
class GameSettings;
class PimCamera;
class PlayerRig;
class SimulatorLegend;

// The base of every menu page: a small room of voxels the user stands in, selectable objects on
// pedestals (MenuItem), each with a floating play button and, when showDelete is set, a trash
// button, a player (PlayerRig without an editor, walking on the room), an optional back button
// and the rules by which a controller presses all of these.
//
// Pressing: a controller's tip within 0.05 of a play button (0.07 of a trash button) with any
// hand's trigger above 0.3 calls OnItemPlay (OnItemDelete) with the item's list index; the first
// item in list order wins, and a play button wins over a trash button. There is no latch: a held
// trigger fires again next frame, which pages make harmless by leaving or hiding the item. Items
// whose index is -1 (deleted) have no buttons and are never touched. The back action (button 1
// of the dominant hand) and the back button call OnBack and return to the parent page, once per
// press.
//
// Desktop simulator: while a page is active, the mouse hand's tip is put on the play, trash or
// back button under the pointer, or on a derived page's own control (AddPointerSpots), so a left
// click presses it; while a slider knob is held (HeldControlAlong) the tip follows the pointer
// along its track.
//
// A derived page builds its room (BuildRoom, SetVoxelAt, FinishRoom), adds items, reacts to the
// three events and calls the base Update and Draw from its own. Main thread only.
class VoxelMenuPage : public PimUIPage
{
public:
    static constexpr float kPlayTouch = 0.05f;
    static constexpr float kDeleteTouch = 0.07f;
    static constexpr float kLabelRange = 12.0f;
    static constexpr float kButtonRange = 9.0f;
    // The label floats this far above the pedestal's top voxel, over the content standing on it.
    static constexpr float kLabelLift = 2.15f;
    // Labels are written at this text scale and centred on the pedestal along their reading
    // direction: a name as long as the pedestal is wide (12.5 characters at scale 1) starts at its
    // near edge.
    static constexpr float kLabelScale = 1.5f;
    static constexpr std::uint16_t kPedestalTop = 131;

    // settings: the program's settings (hand preference, hand colour, folders); camera: the
    // viewer's camera, which the page's player moves with the headset. Both outlive the page.
    VoxelMenuPage(GameSettings& settings, std::shared_ptr<PimCamera> camera);
    ~VoxelMenuPage() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override;

    virtual void OnItemPlay(int index);
    virtual void OnItemDelete(int index);
    virtual void OnBack();

    // Builds a pedestal at the item's x and z, moves the item onto its top and appends it.
    virtual void AddPedestalItem(std::unique_ptr<MenuItem> item, std::uint16_t pedestalVoxel);
    // Builds a pedestal at position's x and z and appends a new item on it showing, in this order
    // of preference: the model file at modelPath, the 64 x 64 picture, the picture file at
    // picturePath (a thumbnail in a picture cube), or a random placeholder. The label shows the
    // name in upper case. The shorter forms reach this one through virtual calls.
    virtual MenuItem& AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                              const PimWString& name, const PimWString& picturePath, const PimWString& modelPath,
                              const PimTexture& picture);
    virtual MenuItem& AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                              const PimWString& name, const PimTexture& picture);
    virtual MenuItem& AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                              const PimWString& name);
    virtual MenuItem& AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel);

    // Places an item's label: above its top voxel, centred on the pedestal along the page's
    // reading direction, turned by the orientation, showing the name in upper case.
    void PlaceLabel(MenuItem& item) const;
    PimVector3 PlayButtonPosition(const MenuItem& item) const;
    PimVector3 DeleteButtonPosition(const MenuItem& item) const;
    void SetOrientation(float yawDegrees, float pitchDegrees, float rollDegrees);
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    void ClearItems();

    // The simulator's pointer: the centre of the nearest shown button that a world ray (unit
    // direction) passes close to, or nothing. Close is within the button's half width or within
    // kPointerAim radians of its centre, whichever is more, so small buttons far away can still be
    // hit with a mouse.
    static constexpr float kPointerAim = 0.03f;
    std::optional<PimVector3> PressableAlong(const PimVector3& origin, const PimVector3& direction) const;

    const std::vector<std::unique_ptr<MenuItem>>& GetItems() const { return items; }
    ChunkBlock* GetRoom() const { return room.get(); }
    PlayerRig& GetPlayer() { return *player; }
    QuadButton& GetBackButton() { return backButton; }
    const PimVector3& GetRoomSize() const { return roomSize; }
    std::int16_t GetHoveredPlay() const { return hoveredPlay; }
    std::int16_t GetHoveredDelete() const { return hoveredDelete; }
    bool IsShowingDelete() const { return showDelete; }

    bool backButtonEnabled = false;
    bool backDisabled = false;

protected:
    // Makes the room: the menu colours, then ((size / 32) + 1) chunks on each axis with the face
    // atlas, made the player's ground. Items stay (pages that rebuild clear or take them first).
    void BuildRoom(int sizeX, int sizeY, int sizeZ);
    // A closed booth of sideX x height x sideZ voxels from the origin: its shell gets lowerWall in
    // the three lowest layers (y 0 to 2) and upperWall above; meshed, and the room size set so
    // the player is kept inside it.
    void BuildShellRoom(int sideX, int height, int sideZ, std::uint16_t lowerWall, std::uint16_t upperWall);
    // A voxel of the room; positions outside it are ignored.
    void SetVoxelAt(std::uint16_t value, const PimVector3& position);
    // Meshes and uploads the room after its voxels were written.
    void FinishRoom();
    // The page's own controls the simulator's pointer can reach, besides the item and back buttons.
    virtual void AddPointerSpots(std::vector<PointerSpot>& spots) const;
    // Where the mouse hand's tip goes while one of the page's slider knobs is held (see
    // HeldKnobAlong); nothing when none is held.
    virtual std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const;
    // What the keys do on this page, under the simulator's own legend lines.
    void SetLegendLines(std::vector<std::string> lines);
    // Takes the items off the page (last first), for pages that reuse them.
    std::vector<std::unique_ptr<MenuItem>> TakeItems();
    // Moves the player's feet to the target two frames from now, after the engine has applied
    // the page's new root position.
    void PlacePlayer(const PimVector3& target);
    // Turns the play area so that the head, wherever it looks now, sees the room as it would
    // looking straight ahead with the play area turned by `straightAhead`: a booth opened while
    // the user looks over a shoulder (or, on the desktop, with the view turned) shows its controls
    // in front of them. Without a tracked head the play area is simply turned by `straightAhead`.
    static void TurnPlayAreaToHead(PimAngle straightAhead);

    GameSettings& settings;
    std::unique_ptr<ChunkBlock> room;
    bool showDelete = false;
    float deleteOffsetX = -0.25f;
    float playOffsetX = 0.25f;
    PimVector3 buttonOffset;
    PimVector3 roomSize;
    std::int32_t pedestalHeight = 2;
    bool backTouchLatch = true;
    PimVector3 savedRootPosition;

private:
    void TouchTest();
    void BackAction();
    void BackButton();
    void Wobble();
    bool KeepInRoom();
    void DrawButtons();
    void InstallPointerTarget();
    PimVector3 HeadPosition() const;

    std::int16_t hoveredPlay = -1;
    std::int16_t hoveredDelete = -1;
    float hoverTime = 0.0f;
    PimVector3 hoverOffset;
    std::unique_ptr<PlayerRig> player;
    std::shared_ptr<SimulatorLegend> legend;
    std::vector<std::unique_ptr<MenuItem>> items;
    bool backLatch = true;
    QuadButton backButton;
    PimMatrix4x4 orientation;
    std::uint8_t placementState = 0;
    PimVector3 placementTarget;
};
