#pragma once

#include "engine/PimUIComponent.h"
#include "engine/PimWString.h"

#include <cstdint>
#include <memory>
#include <string_view>

class Pim3DText;

// A line of text typed on the desktop keyboard: upper-case letters, digits and the space
// (KeyStatus 1 of their key codes, tried in the order "0"-"9", "A"-"Z", space), appended at the
// end one key per press. Backspace removes the character before the cursor; while Delete is down
// the keyboard is ignored. One latch shared by every text box makes a held key type once: it is
// set by any key taken and cleared when no allowed key is down.
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

    // Clears the shared latch (tests start from a released keyboard).
    static void ResetKeyLatch();

private:
    void Backspace();

    PimWString text;
    std::int16_t cursor = 0;
    std::unique_ptr<Pim3DText> label;
};
