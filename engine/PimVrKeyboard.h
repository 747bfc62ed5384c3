#pragma once

#include "engine/PimAngle.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimString.h"
#include "engine/PimVector3.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A keyboard standing in the world, typed on by touching its keys with a controller's tip (no
// trigger needed). It holds one line of text: digits, the letters A to Z, '-' and the space, at
// most MaxTextLength characters; the back key removes the last character. Enter and Cancel are
// keys too, read by the owner (IsEnterPressed, IsCancelPressed). Main thread only; Update once per
// frame.
//
// Layout, in keyboard units (one key pitch is 0.1, times the scale in world units): five rows,
// "1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM" with the back key, then Cancel, Space and
// Enter; above them the text line. The location is the keyboard's left end (as its typist sees
// it) at the height of the middle row; the keys run to the typist's right for 1.0 and span 0.5
// in height. The direction is the yaw of the way the keys face: at 0 they face -z, so the typist
// stands on the -z side looking along +z; at 270 degrees they face +x.
//
// A key fires once when a tip enters it (within its rectangle, from TouchFront in front of its
// face to TouchBehind behind it); to type it again the tip leaves it first. Both hands type.
class PimVrKeyboard
{
public:
    enum class KeyKind
    {
        Character,
        Backspace,
        Enter,
        Cancel,
    };
    struct Key
    {
        std::string label;
        char character = 0;  // for Character keys
        KeyKind kind = KeyKind::Character;
        float centreX = 0.0f;  // keyboard units
        float centreY = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };

    static constexpr float KeyPitch = 0.1f;
    static constexpr float KeyGap = 0.01f;
    static constexpr float TouchFront = 0.03f;
    static constexpr float TouchBehind = 0.06f;
    static constexpr std::size_t MaxTextLength = 32;

    PimVrKeyboard();
    PimVrKeyboard(const PimVrKeyboard&) = delete;
    PimVrKeyboard& operator=(const PimVrKeyboard&) = delete;

    void SetLocation(const PimVector3& newLocation) { location = newLocation; }
    PimVector3 GetLocation() const { return location; }
    void SetDirection(PimAngle newDirection) { direction = newDirection; }
    PimAngle GetDirection() const { return direction; }
    // World units per keyboard unit; values that are not finite and above 0 are ignored.
    void SetScale(float newScale);
    float GetScale() const { return scale; }

    // Replaces the text, cut to at most MaxTextLength bytes (at a character boundary).
    void SetText(std::string_view text);
    const PimString& GetText() const { return text; }

    // Held while a tip touches the key (from the frame it arrived).
    bool IsEnterPressed() const { return enterTouched; }
    bool IsCancelPressed() const { return cancelTouched; }

    // Reads both hands' tips and types.
    void Update();
    // Draws the keys, their labels and the text line with its own lines and quads; GL main
    // thread, nothing without a GL context. Depth test and blending are the caller's.
    void Draw(const PimMatrix4x4& viewProjection);

    const std::vector<Key>& GetKeys() const { return keys; }
    // Index of the key with that label, -1 when there is none.
    int FindKey(std::string_view label) const;
    // Keyboard units to world.
    PimMatrix4x4 GetTransform() const;
    // The centre of a key's face in the world.
    PimVector3 GetKeyPosition(int key) const;
    // The key a world point touches, -1 for none.
    int KeyAt(const PimVector3& worldPoint) const;
    // The key the hand's tip touches since the last Update, -1 for none.
    int GetTouchedKey(int role) const;

private:
    // The GL buffer and program of Draw, freed where they are defined (PimVrKeyboardDraw.cpp).
    struct DrawResources;
    struct DrawResourcesDeleter
    {
        void operator()(DrawResources* resources) const;
    };

    void BuildLayout();
    void AddRow(std::string_view characters, float left, float y);
    void Press(int key);

    std::vector<Key> keys;
    PimVector3 location;
    PimAngle direction;
    float scale = 1.0f;
    PimString text;
    std::array<int, 2> touched{-1, -1};  // per hand role 1 and 2
    bool enterTouched = false;
    bool cancelTouched = false;
    std::unique_ptr<DrawResources, DrawResourcesDeleter> drawResources;
};
