#include "engine/PimVrKeyboard.h"

#include "engine/PimVrController.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>

namespace
{
bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The text without its last character, whole UTF-8 sequences taken off.
void RemoveLastCharacter(PimString& text)
{
    while (!text.empty() && IsContinuationByte(text.back()))
        text.pop_back();
    if (!text.empty())
        text.pop_back();
}
}

PimVrKeyboard::PimVrKeyboard()
{
    BuildLayout();
}

void PimVrKeyboard::AddRow(std::string_view characters, float left, float y)
{
    const float size = KeyPitch - KeyGap;
    float x = left;
    for (char c : characters)
    {
        keys.push_back({std::string(1, c), c, KeyKind::Character, x + KeyPitch * 0.5f, y, size, size});
        x += KeyPitch;
    }
}

void PimVrKeyboard::BuildLayout()
{
    const float size = KeyPitch - KeyGap;
    AddRow("1234567890", 0.0f, 2 * KeyPitch);
    AddRow("QWERTYUIOP", 0.0f, KeyPitch);
    AddRow("ASDFGHJKL", 0.25f * KeyPitch, 0.0f);
    AddRow("ZXCVBNM-", 0.5f * KeyPitch, -KeyPitch);
    keys.push_back({"<", 0, KeyKind::Backspace, 9.25f * KeyPitch, -KeyPitch, 1.5f * KeyPitch - KeyGap, size});
    const float bottom = -2 * KeyPitch;
    keys.push_back({"CANCEL", 0, KeyKind::Cancel, 1.25f * KeyPitch, bottom, 2.5f * KeyPitch - KeyGap, size});
    keys.push_back({"SPACE", ' ', KeyKind::Character, 5.0f * KeyPitch, bottom, 5.0f * KeyPitch - KeyGap, size});
    keys.push_back({"ENTER", 0, KeyKind::Enter, 8.75f * KeyPitch, bottom, 2.5f * KeyPitch - KeyGap, size});
}

void PimVrKeyboard::SetScale(float newScale)
{
    if (std::isfinite(newScale) && newScale > 0.0f)
        scale = newScale;
}

void PimVrKeyboard::SetText(std::string_view newText)
{
    std::size_t length = std::min(newText.size(), MaxTextLength);
    // Never cut a UTF-8 sequence in two.
    while (length < newText.size() && length > 0 && IsContinuationByte(newText[length]))
        --length;
    text = PimString(newText.substr(0, length));
}

int PimVrKeyboard::FindKey(std::string_view label) const
{
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        if (keys[i].label == label)
            return static_cast<int>(i);
    }
    return -1;
}

PimMatrix4x4 PimVrKeyboard::GetTransform() const
{
    // The layout faces +z with x to the typist's right; the half turn makes direction 0 face -z.
    const PimAngle turn = direction + PimAngle::FromDegrees(180.0f);
    return PimMatrix4x4::CreateTranslation(location) * PimMatrix4x4::CreateRotationY(turn)
        * PimMatrix4x4::CreateScale(scale);
}

PimVector3 PimVrKeyboard::GetKeyPosition(int key) const
{
    if (key < 0 || key >= static_cast<int>(keys.size()))
        return location;
    const Key& k = keys[static_cast<std::size_t>(key)];
    return GetTransform().TransformPoint({k.centreX, k.centreY, 0.0f});
}

int PimVrKeyboard::KeyAt(const PimVector3& worldPoint) const
{
    PimMatrix4x4 toKeyboard;
    if (!GetTransform().TryInvert(toKeyboard))
        return -1;
    const PimVector3 p = toKeyboard.TransformPoint(worldPoint);
    if (p.z > TouchFront || p.z < -TouchBehind)
        return -1;
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        const Key& k = keys[i];
        if (std::fabs(p.x - k.centreX) <= k.width * 0.5f && std::fabs(p.y - k.centreY) <= k.height * 0.5f)
            return static_cast<int>(i);
    }
    return -1;
}

int PimVrKeyboard::GetTouchedKey(int role) const
{
    return role == 1 || role == 2 ? touched[static_cast<std::size_t>(role - 1)] : -1;
}

void PimVrKeyboard::Update()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    enterTouched = false;
    cancelTouched = false;
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        const int key = hand.IsValid() ? KeyAt(hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World)) : -1;
        int& last = touched[static_cast<std::size_t>(role - 1)];
        if (key >= 0 && key != last)
            Press(key);
        last = key;
        if (key >= 0)
        {
            const KeyKind kind = keys[static_cast<std::size_t>(key)].kind;
            enterTouched = enterTouched || kind == KeyKind::Enter;
            cancelTouched = cancelTouched || kind == KeyKind::Cancel;
        }
    }
}

void PimVrKeyboard::Press(int key)
{
    const Key& k = keys[static_cast<std::size_t>(key)];
    switch (k.kind)
    {
    case KeyKind::Character:
        if (text.size() < MaxTextLength)
            text.push_back(k.character);
        break;
    case KeyKind::Backspace:
        RemoveLastCharacter(text);
        break;
    case KeyKind::Enter:
    case KeyKind::Cancel:
        break;
    }
}
