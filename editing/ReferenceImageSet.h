#pragma once

#include "editing/ReferenceImagePanel.h"

#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

class GameSettings;
class PimTexture;

// The three reference pictures of the open world, kept in step with the active game's
// "ReferenceImages" settings (Path, Enabled, Locked, Loc, Orient, Scale per slot).
//
// One set belongs to each world's editor, so opening a world loads that world's pictures and
// nothing of an earlier world is shown or written. A slot holds a panel once a picture was loaded
// for it; a picture that cannot be used (unreadable, not a PNG, larger than kMaxPictureSide or
// kMaxPicturePixels pixels) leaves the slot empty with one line on stderr.
//
// Each frame (Update): a slot with a panel, "Enabled" on and a valid picture is movable while the
// set is editable (the editor's tool is ReferenceImage) and the slot is not "Locked". A finished
// move, resize or turn writes "Loc" (only when the centre changed), "Orient" and "Scale", then the
// slot is placed again from the settings. Drawing shows the enabled pictures while the set is
// visible, except in the spectator view (the in-game camera films the work, not the guides).
//
// A picture chosen for a slot whose "Loc" is still the default (0, 0, 0) would hang far from the
// user: it is hung upright in front of where the user last looked in the world, facing them, and
// that placement is written.
//
// Main thread only.
class ReferenceImageSet
{
public:
    static constexpr int kSlotCount = 3;
    static constexpr int kMaxPictureSide = 8192;
    static constexpr int kMaxPicturePixels = 1 << 24;  // pixels: 64 MiB of RGBA

    // The simulator legend's line for the world pages.
    static const char* const kLegend;

    explicit ReferenceImageSet(GameSettings& settings);
    ~ReferenceImageSet();
    ReferenceImageSet(const ReferenceImageSet&) = delete;
    ReferenceImageSet& operator=(const ReferenceImageSet&) = delete;

    // Loads every slot from the settings (the world's own, already read). Slots without a
    // picture are emptied.
    void LoadAll();
    // After a new picture was chosen for the slot (its "Path" written): loads it, hangs it in
    // front of the user when its "Loc" is still the default, and shows it ("Enabled"). An empty
    // path empties the slot; false when the slot is left empty.
    bool LoadSlot(int slot);
    // Places every loaded slot again from the settings (Loc, Orient, Scale).
    void RefreshFromSettings();
    // Writes "Scale" for the slot (held to the setting's range) and lays its picture out again.
    void SetSlotScale(int slot, float scale);

    void SetEditable(bool isEditable) { editable = isEditable; }
    bool IsEditable() const { return editable; }
    void SetVisible(bool isVisible) { visible = isVisible; }
    bool IsVisible() const { return visible; }

    // The grab points, and the settings after a finished move.
    void Update();
    // The pictures (and the grab points of movable ones) in the current draw pass.
    void Draw();

    // The slot's panel, or null while it holds no picture.
    ReferenceImagePanel* GetPanel(int slot);
    const ReferenceImagePanel* GetPanel(int slot) const;
    // The slot's picture, or null.
    std::shared_ptr<const PimTexture> GetPicture(int slot) const;
    // Whether the slot is drawn / can be moved now.
    bool IsShown(int slot) const;
    bool IsMovable(int slot) const;

    // Where a newly chosen picture is hung: in front of the last viewer pose seen in the world.
    // Set from the headset every Update; tests may set it.
    void SetViewer(const PimVector3& eye, const PimVector3& forward);

private:
    static std::optional<std::string> CheckPicture(const PimTexture& picture);
    // Loads the slot's picture from its "Path" and places it from the settings; false (the slot
    // emptied) without a usable picture.
    bool ReadSlot(int slot);
    void Empty(int slot);
    void PlaceFromSettings(int slot);
    void HangInFront(int slot);
    void StorePlacement(int slot);
    float PlayerScale() const;

    GameSettings& settings;
    ReferenceImagePanel::HandlePictures handlePictures;
    std::array<std::unique_ptr<ReferenceImagePanel>, kSlotCount> panels;
    bool visible = true;
    bool editable = false;
    PimVector3 viewerEye;
    PimVector3 viewerForward{0.0f, 0.0f, -1.0f};
};
