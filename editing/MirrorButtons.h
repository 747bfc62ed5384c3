#pragma once

#include "pages/QuadButton.h"

#include "engine/PimGraphicsLine.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <optional>

class PimTexture;

// The six buttons that mirror a held clipboard, two per axis: with the clipboard's centre C, its
// size S and r = min(s / 1.5, 25) at player scale s, the buttons of axis k sit at
// C -/+ (S[k] / 2 + r) along k, just outside the clipboard's faces, drawn s x 0.075 wide and turned
// to the viewer. A line in the axis' colour (red x, green y, blue z) joins each pair. Either button
// of a pair, touched with a tip and pulled, asks for a mirror along that axis; the editor's latch
// makes one pull mirror once.
//
// Main thread only; Update once per frame while a clipboard is held.
class MirrorButtons
{
public:
    static constexpr float kSize = 0.075f;

    explicit MirrorButtons(std::shared_ptr<const PimTexture> picture);

    void SetPicture(const std::shared_ptr<const PimTexture>& picture);
    // How far the buttons and the rotate rings stand from the clipboard at player scale s.
    static float Reach(float playerScale);

    // Places and tests the buttons; the axis of a pressed pair (the first, x before y before z), or
    // -1 when none is pressed.
    int Update(const PimVector3& centre, const PimVector3& size, float playerScale);
    void Draw();

    // Button `side` (0 the lower, 1 the upper) of an axis.
    const QuadButton& GetButton(int axis, int side) const;
    // The button a pointer ray (world space) passes nearest along, within its reach.
    std::optional<PimVector3> PressableAlong(const PimVector3& origin, const PimVector3& direction) const;

private:
    std::array<QuadButton, 6> buttons;
    std::array<PimGraphicsLine, 3> lines;
};
