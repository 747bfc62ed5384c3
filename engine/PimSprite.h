#pragma once

#include "engine/PimColor.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector2.h"

#include <memory>
#include <string_view>

class PimTexture;

// A picture drawn flat on the screen, over whatever the pass has drawn (no depth test): title
// pictures, overlays. Its position is in pixels of the viewport's area from its top-left corner;
// it is the picture's top-left corner, or its centre when centred. Drawn size = picture size in
// pixels x scale. Its colour tints the picture and its alpha fades it. Main thread only.
class PimSprite : public PimRenderableObject
{
public:
    // Loads a PNG of its own; false, reported with the reason, when it cannot be read.
    bool LoadTexture(std::string_view path);
    void SetTexture(std::shared_ptr<const PimTexture> newTexture) { texture = std::move(newTexture); }
    const std::shared_ptr<const PimTexture>& GetTexture() const { return texture; }

    void SetPosition(const PimVector2& pixels) { position = pixels; }
    const PimVector2& GetPosition() const { return position; }
    void SetCentered(bool centred) { centered = centred; }
    bool IsCentered() const { return centered; }
    void SetScale(float newScale) { scale = newScale; }
    float GetScale() const { return scale; }
    void SetColor(PimColor newColor) { color = newColor; }
    PimColor GetColor() const { return color; }

    void Draw() override;

private:
    std::shared_ptr<const PimTexture> texture;
    PimVector2 position;
    bool centered = false;
    float scale = 1.0f;
    PimColor color{255, 255, 255, 255};
};
