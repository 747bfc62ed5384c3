#include "pages/VoxelTextbox.h"

#include "engine/Pim3DText.h"
#include "engine/PimInputTray.h"
#include "engine/PimKeyTable.h"

#include <limits>

namespace
{
// Shared by every text box, main thread only: a key taken by one box is not typed again by
// another until all keys are up.
bool keyLatch = false;

// The key code of each allowed character is the character's code.
constexpr int KeyOf(wchar_t character) { return static_cast<int>(character); }
}

VoxelTextbox::VoxelTextbox() : label(std::make_unique<Pim3DText>()) {}

VoxelTextbox::~VoxelTextbox() = default;

void VoxelTextbox::ResetKeyLatch()
{
    keyLatch = false;
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
    if (keyLatch || cursor == 0)
        return;
    const std::size_t at = static_cast<std::size_t>(cursor) - 1;
    text = PimWString(text.substr(0, at) + text.substr(at + 1));
    --cursor;
    label->SetText(std::wstring_view(text));
}

void VoxelTextbox::Update()
{
    const PimKeyboard& keyboard = PimInputTray::GetInstance().GetKeyboard();
    if (keyboard.KeyStatus(PimKeyTable::Backspace) != 0)
    {
        Backspace();
        keyLatch = true;
        return;
    }
    if (keyboard.KeyStatus(PimKeyTable::Delete) != 0)
        return;
    for (const wchar_t character : kAllowed)
    {
        if (keyboard.KeyStatus(KeyOf(character)) != 1)
            continue;
        if (!keyLatch && text.size() < static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        {
            text.push_back(character);
            cursor = static_cast<std::int16_t>(text.size());
            label->SetText(std::wstring_view(text));
        }
        keyLatch = true;
        return;
    }
    keyLatch = false;
}

void VoxelTextbox::Draw()
{
    label->Draw();
}
