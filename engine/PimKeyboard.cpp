#include "engine/PimKeyboard.h"

int PimKeyboard::KeyStatus(int key) const
{
    return IsInTable(key) ? status[static_cast<std::size_t>(key)] : Released;
}

void PimKeyboard::StartEventBatch()
{
    for (std::size_t i = 0; i < status.size(); ++i)
    {
        if (releaseHeldBack[i])
            status[i] = Released;
    }
    releaseHeldBack.fill(false);
    downThisBatch.fill(false);
}

void PimKeyboard::PressKey(int key)
{
    if (!IsInTable(key))
        return;
    const auto i = static_cast<std::size_t>(key);
    status[i] = Pressed;
    downThisBatch[i] = true;
    releaseHeldBack[i] = false;
}

void PimKeyboard::ReleaseKey(int key)
{
    if (!IsInTable(key))
        return;
    const auto i = static_cast<std::size_t>(key);
    if (downThisBatch[i])
        releaseHeldBack[i] = true;
    else
        status[i] = Released;
}

void PimKeyboard::ReleaseAll()
{
    status.fill(Released);
    downThisBatch.fill(false);
    releaseHeldBack.fill(false);
}
