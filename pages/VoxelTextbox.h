#pragma once

#include "engine/PimUIComponent.h"
#include "engine/PimWString.h"

#include <cstdint>
#include <memory>
#include <string_view>

class Pim3DText;

// A line of text typed on the desktop keyboard: upper-case letters, digits and the space (key
// codes "0"-"9", "A"-"Z", space), appended at the end, each key once when it goes down; keys that
// go down in the same frame type in that order. Backspace removes the character before the cursor,
// once per press; while Delete is down nothing types. Which keys are down is shared by every text
// box, so a key taken by one box is not typed again by another.
//
// The cursor counts the characters before the insertion point; typing always appends, so the
// cursor stays at the end of the text. Setting a text puts the cursor at its end, so a preset
// name can be erased with backspace. Main thread only.
class VoxelTextbox : public PimUIComponent
{
public:
    static constexpr std::wstring_view kAllowed = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";

    VoxelTextbox();
    ~VoxelTextbox() override;

    void SetText(std::wstring_view newText);
    const PimWString& GetText() const { return text; }
    std::int16_t GetCursor() const { return cursor; }
    Pim3DText& GetLabel() { return *label; }

    void Update() override;
    void Draw() override;

    // Forgets the shared key states (tests start from a released keyboard).
    static void ResetKeyLatch();

private:
    void Backspace();

    PimWString text;
    std::int16_t cursor = 0;
    std::unique_ptr<Pim3DText> label;
};
