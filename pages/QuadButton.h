#pragma once

#include "engine/PimImageQuad.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"

#include <memory>

class PimTexture;

// A picture in the world pressed by touching it with a controller's tip and pulling that
// controller's trigger (button code 0 above the press threshold): the back button of the menu
// rooms and the buttons of the flat panels. It wobbles about its base location while a tip
// touches it and is drawn larger (the pressed scale) while pressed.
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

    // The distance from the centre within which a tip touches the button.
    float GetTouchRadius() const { return quadScale * kTouchShare; }

    void Update();
    bool IsPressed() const { return pressed; }
    bool IsTouched() const { return touched; }
    void ClearPressed() { pressed = false; }

    // Drawn at the size factor, times the pressed scale while pressed.
    void Draw();

private:
    PimImageQuad quad;
    PimVector3 baseLocation;
    float quadScale = 1.0f;
    float sizeFactor = 1.0f;
    float wobblePhase = 0.0f;
    bool pressed = false;
    bool touched = false;
};
