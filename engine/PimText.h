#pragma once

#include "engine/PimColor.h"
#include "engine/PimTextMesh.h"
#include "engine/PimVector2.h"

#include <string_view>

// Text drawn flat on the screen in the engine's bitmap font, over what the pass has drawn (no
// depth test): desktop pages, text boxes. Its position is in pixels of the viewport's area from
// its top-left corner and is the text's top-left corner; a character is one font cell in pixels
// times the scale.
//
// The font is shared by all text: SetFont names the picture, Initialize loads it (start-up does
// both once). Text drawn before a font has loaded draws nothing. Main thread only.
class PimText
{
public:
    static void SetFont(std::string_view path);
    // Loads the font named by SetFont; false, reported, when it cannot be loaded.
    static bool Initialize();

    void SetText(std::wstring_view text) { mesh.SetText(text); }
    // UTF-8 text.
    void SetText(std::string_view text);
    const PimWString& GetText() const { return mesh.GetText(); }

    void SetPosition(const PimVector2& pixels) { position = pixels; }
    const PimVector2& GetPosition() const { return position; }
    void SetScale(float newScale) { scale = newScale; }
    float GetScale() const { return scale; }
    void SetColor(PimColor newColor) { color = newColor; }
    PimColor GetColor() const { return color; }

    // Width and height in pixels of the text as drawn (0 x 0 without a font).
    PimVector2 GetSize() const;

    void Draw();

private:
    PimTextMesh mesh;
    PimVector2 position;
    float scale = 1.0f;
    PimColor color{255, 255, 255, 255};
};
