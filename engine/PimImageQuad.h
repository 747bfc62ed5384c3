#pragma once

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector2.h"
#include "engine/PimVector3.h"

#include <memory>
#include <optional>
#include <string_view>

class PimTexture;

// A picture on a flat rectangle in the world: buttons, icons, reference images, the teleport
// reticle. The rectangle lies in its local x-y plane, centred on its location, with the picture
// upright along local +y, and is turned by its orientation. It is seen from both sides (no
// culling). Its colour tints the picture and its alpha fades it.
//
// Its size before scaling is the picture's shape fitted into a 1 x 1 square unless set; the drawn
// size is size x scale. Drawing needs a GL context; everything else is CPU only. Main thread only.
class PimImageQuad : public PimRenderableObject
{
public:
    // Loads a PNG of its own (linear filtering with mipmaps). False, reported through PimAssert
    // with the reason, when the file cannot be read; the quad then draws nothing.
    bool LoadTexture(std::string_view path);
    // Shares a picture (many quads may show one); null draws nothing.
    void SetTexture(std::shared_ptr<const PimTexture> texture);
    const std::shared_ptr<const PimTexture>& GetTexture() const { return texture; }

    void SetColor(PimColor newColor) { color = newColor; }
    PimColor GetColor() const { return color; }
    void SetScale(float newScale);
    float GetScale() const { return scale; }
    void SetSize(const PimVector2& newSize);
    // The size before scaling: as set, else the picture's shape in a 1 x 1 square.
    PimVector2 GetSize() const;
    void SetOrientation(const PimMatrix4x4& newOrientation);
    // Yaw, pitch and roll in degrees (PimMatrix4x4::CreateFromYawPitchRoll): (0, 90, 0) lays the
    // quad flat with the picture's top towards +z.
    void SetOrientation(const PimVector3& yawPitchRollDegrees);
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    void SetLocation(const PimVector3& newLocation);
    const PimVector3& GetLocation() const { return location; }

    // Location x orientation x size and scale; cached between changes.
    const PimMatrix4x4& GetModelMatrix() const;

    // Draws through the current draw context's view-projection.
    void Draw() override;

private:
    std::shared_ptr<const PimTexture> texture;
    PimColor color{255, 255, 255, 255};
    float scale = 1.0f;
    std::optional<PimVector2> size;
    PimMatrix4x4 orientation;
    PimVector3 location;

    mutable bool modelStale = true;
    mutable int modelPictureWidth = 0;
    mutable int modelPictureHeight = 0;
    mutable PimMatrix4x4 model;
};
