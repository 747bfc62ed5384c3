#pragma once

#include "pages/QuadButton.h"

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <optional>

class PimTexture;

// The five command buttons that float beside the off-hand controller while the selection box is
// open: Play (2, apply: paste or fill), ExitMenu (3, close the box and drop the clipboard), Copy
// (4), Cut (5) and Move (6). Only the buttons of the current state are shown and pressed (see
// SetState); Play and Cut share a place and are never shown together.
//
// Button i sits at off-hand tip - R x offset_i x VR scale with R = off-hand orientation x 90
// degrees about z, drawn 0.075 x VR scale wide and upright in the off hand's frame. A button is pressed by touching it with either
// controller's tip and pulling that controller's trigger; its reach follows its size (size factor
// 0.075 x VR scale: about 6 cm of the user's space), narrower than the 10 cm between buttons. A
// pull presses one button once: when a tip between two buttons touches both, the nearer one is
// taken, and nothing more is pressed until every button is let go.
//
// Main thread only; Update once per frame while the box is open.
class ActionButtons
{
public:
    enum class Action
    {
        None = 0,
        Play = 2,
        ExitMenu = 3,
        Copy = 4,
        Cut = 5,
        Move = 6,
    };
    static constexpr int kFirst = 2;
    static constexpr int kCount = 5;
    static constexpr float kSize = 0.075f;

    // Which buttons are shown: without a clipboard the Select tool offers Exit, Copy, Cut and
    // Move; with one, and for the box fills, Play and Exit.
    enum class State
    {
        SelectWithoutClipboard,
        SelectWithClipboard,
        BoxFill,
    };

    // pictures: "PlayButton.png", "ExitMenuButton.png", "CopyButton.png", "CutButton.png",
    // "MoveButton.png" in the order of the actions (null draws nothing).
    explicit ActionButtons(const std::array<std::shared_ptr<const PimTexture>, kCount>& pictures);

    void SetPictures(const std::array<std::shared_ptr<const PimTexture>, kCount>& pictures);
    void SetState(State state);
    bool IsEnabled(Action action) const;

    // Places the buttons beside the off hand (role offHand) and tests the enabled ones; the action
    // of a new press, or None.
    Action Update(int offHand);
    // Lets a pull that is under way count as used (after the box opened or closed).
    void Latch() { latched = true; }
    void Draw();

    const QuadButton& GetButton(Action action) const;
    // Where button `action` sits for an off hand at `tip` with orientation `orientation`.
    static PimVector3 PlaceOf(Action action, const PimVector3& tip, const PimMatrix4x4& orientation, float vrScale);
    // The enabled button a pointer ray (world space) passes nearest along, within its reach.
    std::optional<PimVector3> PressableAlong(const PimVector3& origin, const PimVector3& direction) const;

private:
    QuadButton& Button(Action action);

    std::array<QuadButton, kCount> buttons;
    std::array<bool, kCount> enabled{};
    bool latched = false;
};
