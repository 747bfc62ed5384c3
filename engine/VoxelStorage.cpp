#include "engine/VoxelStorage.h"

#include <algorithm>

std::uint16_t VoxelStorage::Set(int index, std::uint16_t code)
{
    if (!array)
    {
        if (code == uniform)
            return code;
        Materialise();
    }
    const std::uint16_t old = array->codes[index];
    array->codes[index] = code;
    return old;
}

std::uint16_t* VoxelStorage::Materialise()
{
    if (!array)
    {
        array = VoxelArrayStock::Take();
        std::fill(std::begin(array->codes), std::end(array->codes), uniform);
    }
    return array->codes;
}

void VoxelStorage::MakeUniform(std::uint16_t value)
{
    array.reset();
    uniform = value;
}

bool VoxelStorage::Compact()
{
    if (!array)
        return false;
    const std::uint16_t first = array->codes[0];
    // Or-ing the differences lets the compiler vectorise the scan without an early exit.
    std::uint16_t differences = 0;
    for (std::uint16_t code : array->codes)
        differences |= static_cast<std::uint16_t>(code ^ first);
    if (differences != 0)
        return false;
    MakeUniform(first);
    return true;
}
