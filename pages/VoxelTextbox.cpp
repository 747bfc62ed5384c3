#include "pages/VoxelTextbox.h"

#include "engine/Pim3DText.h"
#include "engine/PimInputTray.h"
#include "engine/PimKeyTable.h"

#include <array>
#include <limits>

namespace
{
// Shared by every text box, main thread only: which allowed keys (and backspace) were down at the
// last look. A key types when it goes down, so a key taken by one box is not typed again by
// another, a held key types once, and a key pressed while another is still held (fast typing)
// types too.
std::array<bool, VoxelTextbox::kAllowed.size()> keysDown{};
bool backspaceDown = false;

// The key code of each allowed character is the character's code.
constexpr int KeyOf(wchar_t character) { return static_cast<int>(character); }
}

VoxelTextbox::VoxelTextbox() : label(std::make_unique<Pim3DText>()) {}

VoxelTextbox::~VoxelTextbox() = default;

void VoxelTextbox::ResetKeyLatch()
{
    keysDown.fill(false);
    backspaceDown = false;
}

void VoxelTextbox::SetText(std::wstring_view newText)
{
    constexpr std::size_t kLongest = std::numeric_limits<std::int16_t>::max();
    text = PimWString(newText.substr(0, kLongest));
    cursor = static_cast<std::int16_t>(text.size());
    label->SetText(std::wstring_view(text));
}

void VoxelTextbox::Backspace()
{
    if (cursor == 0)
        return;
    const std::size_t at = static_cast<std::size_t>(cursor) - 1;
    text = PimWString(text.substr(0, at) + text.substr(at + 1));
    --cursor;
    label->SetText(std::wstring_view(text));
}

void VoxelTextbox::Update()
{
    const PimKeyboard& keyboard = PimInputTray::GetInstance().GetKeyboard();
    const bool backspace = keyboard.KeyStatus(PimKeyTable::Backspace) != 0;
    if (backspace && !backspaceDown)
        Backspace();
    backspaceDown = backspace;
    // While Delete is down nothing types; keys pressed meanwhile stay taken.
    const bool blocked = keyboard.KeyStatus(PimKeyTable::Delete) != 0;
    for (std::size_t index = 0; index < kAllowed.size(); ++index)
    {
        const bool down = keyboard.KeyStatus(KeyOf(kAllowed[index])) == 1;
        const bool typed = down && !keysDown[index] && !blocked;
        keysDown[index] = down;
        if (typed && text.size() < static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        {
            text.push_back(kAllowed[index]);
            cursor = static_cast<std::int16_t>(text.size());
            label->SetText(std::wstring_view(text));
        }
    }
}

void VoxelTextbox::Draw()
{
    label->Draw();
}
