#pragma once

#include "pages/OptionRow.h"
#include "pages/QuadButton.h"
#include "pages/ReferenceImageRow.h"
#include "pages/SliderBar.h"
#include "pages/VRFileBrowser.h"
#include "pages/VolumeControl.h"
#include "pages/VoxelMenuPage.h"

#include "colour/ColourPicker.h"
#include "colour/VrPaletteSelectionMenu.h"

#include "engine/Pim3DText.h"
#include "engine/PimImageQuad.h"
#include "engine/PimTexture.h"

#include <cstdint>
#include <memory>
#include <vector>

class ReferenceImageSet;
class VoxelWorld2;

// The menu opened from inside a world: a small booth whose south wall holds how the player moves
// (walking or flying; teleport or touch-walk), the preferred hand and the player's size, and
// whose west wall holds a panel with resume, exit, the in-game camera switch, the master volume
// and the fog colour; the east wall holds the palette wall (VrPaletteSelectionMenu), where the
// palettes are filled and the world's colours redefined, and the north wall the rows of the three
// reference pictures (ReferenceImageRow: choose, show or hide, lock, scale). A row's picture
// button opens the file browser (a child page); the picture chosen there is loaded into the
// world's reference pictures when the browser hands back. Every change is written to its setting
// at once.
//
// The world page makes it as a child and activates it. While it is open the player stands in
// the booth at the menu scale; leaving (resume or the back action) puts the player back where
// they were, at the size the slider chose. Exit finishes the tutorial when it is running and
// returns to the main menu, which discards the world page (whose save on being passed over is
// the world page's). Main thread only.
class InGameMenuPageVr : public VoxelMenuPage
{
public:
    static constexpr float kMenuScale = 1.5f;
    static constexpr std::uint16_t kUpperWall = 0xFF0E;
    static constexpr std::uint16_t kLowerWall = 0xFF0C;
    // Where the player stands while the booth is open.
    static PimVector3 StandPoint() { return {2.0f * kMenuScale, 1.1f, 2.0f * kMenuScale}; }

    // settings and camera as for every menu page; world: the world being edited (outlives the
    // page, may be null).
    InGameMenuPageVr(GameSettings& settings, std::shared_ptr<PimCamera> camera, VoxelWorld2* world);
    ~InGameMenuPageVr() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override;

    VoxelWorld2* GetWorld() const { return world; }
    OptionRow& GetMovementRow() { return movementRow; }
    OptionRow& GetMoveTypeRow() { return moveTypeRow; }
    OptionRow& GetHandRow() { return handRow; }
    SliderBar& GetSizeSlider() { return sizeSlider; }
    const Pim3DText& GetSizeLabel() const { return sizeLabel; }
    VolumeControl& GetVolume() { return volume; }
    QuadButton& GetExitButton() { return exitButton; }
    QuadButton& GetCameraButton() { return cameraButton; }
    ColourPicker& GetFogPicker() { return fogPicker; }
    VrPaletteSelectionMenu& GetPaletteMenu() { return paletteMenu; }
    VRFileBrowser& GetFileBrowser() { return *fileBrowser; }
    // The world's reference pictures, whose rows the north wall shows (the world page gives its
    // editor's set; it outlives the page). A menu without them shows no rows.
    void AttachReferenceImages(ReferenceImageSet& images);
    std::size_t GetReferenceRowCount() const { return referenceRows.size(); }
    ReferenceImageRow& GetReferenceRow(int slot) { return *referenceRows.at(static_cast<std::size_t>(slot)); }
    // Where row i stands (its picture button) and how it is turned: facing into the booth from the
    // north wall, each row 0.35 lower than the one before.
    static PimVector3 ReferenceRowPosition(int slot);

    // Opens the file browser to choose the picture of reference image slot (0 to
    // GameSettingsActiveGame::ReferenceImageCount - 1); when the browser is left, PageIn gives
    // the chosen picture to every slot asked for since. Other slots are refused (PimAssert).
    void RequestBrowse(int slot);
    // The slots (bit i for slot i) given a picture by the browser as the page was last entered,
    // whose pictures are to be loaded again; 0 when it was entered otherwise.
    std::uint8_t GetChangedPictureSlots() const { return changedPictureSlots; }
    // The turn of the west wall's panel: its x axis runs along the wall, its face into the room.
    static PimMatrix4x4 PanelOrientation();

protected:
    void AddPointerSpots(std::vector<PointerSpot>& spots) const override;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const override;

private:
    void BuildBooth();
    void SetUpRows();
    void SetUpPanel();
    void ApplySize();
    void ShowSize(std::uint32_t index);
    void ShowCamera();
    // Every control shows its setting as stored now (the world page may have changed them since
    // the booth was last open).
    void ShowSettings();
    void Exit();
    // After a visit to the file browser: its chosen picture becomes the path of every slot asked
    // for (a visit left without a choice changes nothing); the requests are then cleared. Returns
    // the slots given the picture.
    std::uint8_t TakeChosenPicture();

    VoxelWorld2* world;
    OptionRow movementRow;
    SliderBar sizeSlider;
    Pim3DText sizeLabel;
    PimImageQuad personIcon;
    VolumeControl volume;
    OptionRow moveTypeRow;
    OptionRow handRow;
    QuadButton exitButton;
    std::shared_ptr<const PimTexture> cameraOnPicture;
    std::shared_ptr<const PimTexture> cameraOffPicture;
    QuadButton cameraButton;
    VrPaletteSelectionMenu paletteMenu;
    // Set while the camera button is held, so a press flips the camera once.
    bool cameraLatch = true;
    // The player's place in the world when the booth opened, given back on leaving.
    PimVector3 worldRootPosition;
    ColourPicker fogPicker;
    PimColor lastFog;
    PimImageQuad fogIcon;
    std::uint32_t lastSizeIndex = 0;
    // The child page in which reference pictures are chosen.
    std::shared_ptr<VRFileBrowser> fileBrowser;
    // Bit i: slot i asked for a picture; browsePending: a visit to the browser is under way.
    std::uint8_t browseRequests = 0;
    bool browsePending = false;
    // What the last TakeChosenPicture returned.
    std::uint8_t changedPictureSlots = 0;
    ReferenceImageSet* referenceImages = nullptr;
    std::vector<std::unique_ptr<ReferenceImageRow>> referenceRows;
};
