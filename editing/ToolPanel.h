#pragma once

#include "editing/EditorPanel.h"
#include "editing/ToolId.h"

#include "colour/PaletteStrip.h"
#include "pages/QuadButton.h"

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class GameSettings;

// The panel the off hand carries: the palette page (the PaletteStrip, where the current colour is
// picked) and the tools page, twelve tool icons in 4 columns and 3 rows floating above the off-hand
// controller. Each new pull of the off-hand trigger switches between the two pages; on the tools
// page a hand touches an icon and pulls its trigger to make that tool current (the highest slot
// pressed in one update wins). Tools whose work is not in the program yet show a dimmed icon that
// cannot be pressed.
//
// While the tools page is shown and the dominant hand is within 0.1 VR scale of an icon (the near
// flag), or while the palette page is pointed at, the panel takes the frame: the editor then keeps
// the dominant trigger from editing, so choosing a tool or a colour never also paints.
//
// The world colours changing (the settings' coloursChanged, set by palette edits and the in-game
// menu) resets the strip, keeping its selection, and clears the request.
//
// Offsets and sizes are in metres of the user's space times the VR scale (the icons' size factor
// is 0.05 x VR scale), so the panel keeps its size in the hand at any player scale.
//
// On the desktop simulator the shortcut keys 1 to 9, 0, - and = select tools 0 to 11 directly, and
// the simulator's pointer finds the panel's cubes and icons (SetHeldPointerTarget), so a left click
// on one picks it.
//
// Made with the world's player rig, whose editor reads it; main thread only.
class ToolPanel final : public EditorPanel
{
public:
    enum class Page : std::uint32_t
    {
        Palette = 0,
        Tools = 1,
    };

    static constexpr float kIconSpacing = 0.075f;
    static constexpr float kIconSize = 0.05f;
    static constexpr float kNearRadius = 0.1f;
    static constexpr PimColor kCurrentTint{255, 255, 255, 255};
    static constexpr PimColor kOtherTint{77, 77, 77, 255};  // grey 0.3
    static constexpr PimColor kDisabledTint{60, 60, 60, 90};

    // Loads the icons from the settings' textures folder (a missing picture is reported and its
    // icon draws nothing) and resets the palette strip from the active palette.
    explicit ToolPanel(GameSettings& settings);
    ~ToolPanel() override;
    ToolPanel(const ToolPanel&) = delete;
    ToolPanel& operator=(const ToolPanel&) = delete;

    void Update() override;
    void Draw() override;
    std::uint32_t GetTool() const override { return tool; }
    std::uint16_t GetCurrentColour() const override;
    bool TakesFrame() const override;
    bool ShowsTools() const override { return page == Page::Tools; }

    Page GetPage() const { return page; }
    void SwitchPage() { page = page == Page::Palette ? Page::Tools : Page::Palette; }
    // Makes a tool current; false (nothing changes) for an id without its tool (IsToolAvailable).
    bool SelectTool(std::uint32_t id);
    bool IsNear() const { return nearFlag; }
    PaletteStrip& GetStrip() { return strip; }
    const QuadButton& GetIcon(int slot) const;
    const PimVector3& GetPanelPosition() const { return panelPosition; }

    // "Tools_SingleVoxel.png" ... the picture of each tool's icon.
    static std::string IconFileName(std::uint32_t tool);
    // What a pointer ray (world space) finds on the page shown: the centre of the nearest strip
    // cube or enabled icon it passes through; nothing when it misses them all.
    std::optional<PimVector3> PressableAlong(const PimVector3& origin, const PimVector3& direction) const;

private:
    int DominantRole() const;
    int OffHandRole() const;
    void FollowShortcutKeys();
    void UpdateToolsPage();
    void InstallPointerTarget();

    GameSettings& settings;
    Page page = Page::Palette;
    std::uint32_t tool = 0;
    std::array<QuadButton, kToolCount> icons;
    PimVector3 panelPosition;
    PimMatrix4x4 panelOrientation;
    bool nearFlag = false;
    // Starts as held, so a pull already under way when the panel is made does not switch the page.
    bool offTriggerHeld = true;
    PaletteStrip strip;
    std::uint64_t lastUpdateFrame = 0;
};
