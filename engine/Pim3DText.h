#pragma once

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimTextMesh.h"
#include "engine/PimVector3.h"

#include <string_view>

// Text standing in the world in the engine's bitmap font (see PimText for the font): labels,
// values beside sliders, progress. The text runs along its local +x and reads from the local +z
// side; its position is the lower-left corner of its first line, and further lines go down (-y).
// At scale 1 a character is 0.08 units wide and as high as the font's cell shape makes it
// (0.16 for the generated font). It is seen from both sides (no culling) and depth-tested.
// Main thread only.
class Pim3DText : public PimRenderableObject
{
public:
    static constexpr float CharacterWidth = 0.08f;

    void SetText(std::wstring_view text) { mesh.SetText(text); }
    // UTF-8 text.
    void SetText(std::string_view text);
    const PimWString& GetText() const { return mesh.GetText(); }

    void SetPosition(const PimVector3& newPosition) { position = newPosition; }
    const PimVector3& GetPosition() const { return position; }
    void SetOrientation(const PimMatrix4x4& newOrientation) { orientation = newOrientation; }
    const PimMatrix4x4& GetOrientation() const { return orientation; }
    void SetScale(float newScale) { scale = newScale; }
    float GetScale() const { return scale; }
    void SetColor(PimColor newColor) { color = newColor; }
    PimColor GetColor() const { return color; }

    // Width of the longest line in world units.
    float GetWidth() const;
    // Height of one line in world units.
    float GetLineHeight() const;

    PimMatrix4x4 GetModelMatrix() const;
    void Draw() override;

private:
    PimTextMesh mesh;
    PimVector3 position;
    PimMatrix4x4 orientation;
    float scale = 1.0f;
    PimColor color{255, 255, 255, 255};
};
