#pragma once

#include "engine/PimImageQuad.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <memory>

class PimTexture;

// A picture in the world pressed by touching it with a controller's tip and pulling that
// controller's trigger (button code 0 above the press threshold): the back button of the menu
// rooms, the buttons of the flat panels and the icons of the tool panel. It wobbles about its base
// location while a tip touches it and is drawn larger (the pressed scale) while pressed.
//
// The hands are tried left (role 1) then right (role 2), each only while its pose is valid; the
// first whose tip touches the button with its trigger held presses it. Two reaches decide what
// touching is:
// - by width (the default): within kTouchShare of the quad scale from the base location;
// - by size factor (SetReachBySizeFactor, the tool panel's icons): the squared distance from the
//   base location below VR scale x kReachPerSize x size factor. An icon of size factor 0.05 is
//   touched within the square root of 0.002625 x VR scale.
// While touched it sways about its base by VR scale x 0.01 at 100 radians a second.
//
// Pressed is one-shot: it is cleared at the start of every Update and set again only while the
// touching hand's trigger is held, so the owner reads it once per frame and keeps its own latch
// when a press must count once. Main thread only; Update once per frame.
class QuadButton
{
public:
    static constexpr float kPressedScale = 1.3f;
    // A tip counts as touching within this share of the drawn width from the centre.
    static constexpr float kTouchShare = 0.6f;
    // The reach by size factor: squared distance per VR scale and size factor.
    static constexpr float kReachPerSize = 0.0035f * 15.0f;
    static constexpr float kWobbleRadiansPerMillisecond = 0.1f;
    static constexpr float kWobbleShare = 0.01f;  // of the VR scale

    void SetTexture(std::shared_ptr<const PimTexture> texture) { quad.SetTexture(std::move(texture)); }
    void SetBaseLocation(const PimVector3& location) { baseLocation = location; }
    const PimVector3& GetBaseLocation() const { return baseLocation; }
    // Where the quad is drawn now; Update moves it about the base location while touched.
    void SetLocation(const PimVector3& location) { quad.SetLocation(location); }
    PimVector3 GetLocation() const { return quad.GetLocation(); }
    void SetOrientation(const PimMatrix4x4& orientation) { quad.SetOrientation(orientation); }
    // The width the button is touched over; the drawn width is the size factor's.
    void SetQuadScale(float scale) { quadScale = scale; }
    float GetQuadScale() const { return quadScale; }
    void SetSizeFactor(float factor) { sizeFactor = factor; }
    float GetSizeFactor() const { return sizeFactor; }
    void SetReachBySizeFactor(bool bySizeFactor) { reachBySizeFactor = bySizeFactor; }
    // Tints the picture (the tool panel shows its current tool white, the others grey).
    void SetColor(PimColor colour) { quad.SetColor(colour); }
    PimColor GetColor() const { return quad.GetColor(); }

    // The distance from the base location within which a tip touches the button.
    float GetTouchRadius() const;

    void Update();
    bool IsPressed() const { return pressed; }
    bool IsTouched() const { return touched; }
    void ClearPressed() { pressed = false; }

    // Drawn at the size factor, times the pressed scale while pressed.
    void Draw();
    // The drawn scale now: the size factor, times the pressed scale while pressed.
    float GetDrawnScale() const { return sizeFactor * (pressed ? kPressedScale : 1.0f); }

private:
    PimImageQuad quad;
    PimVector3 baseLocation;
    float quadScale = 1.0f;
    float sizeFactor = 1.0f;
    bool reachBySizeFactor = false;
    float wobblePhase = 0.0f;
    bool pressed = false;
    bool touched = false;
};
