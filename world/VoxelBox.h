#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A dense box of voxel codes, sizeX x sizeY x sizeZ, cell (x, y, z) at index
// (y * sizeZ + z) * sizeX + x - the chunks' own order, so rows along x copy in one go. It carries
// whole boxes between a container and the clipboard or a box tool (the world's ReadBox and
// WriteBox). Plain data; whoever owns it decides the thread.
class VoxelBox
{
public:
    VoxelBox() = default;
    // Every cell holds `fill`. Negative sizes count as 0.
    VoxelBox(int sizeX, int sizeY, int sizeZ, std::uint16_t fill = 0) { Resize(sizeX, sizeY, sizeZ, fill); }

    void Resize(int sizeX, int sizeY, int sizeZ, std::uint16_t fill = 0);
    void Clear() { Resize(0, 0, 0); }

    int GetSizeX() const { return sizeX; }
    int GetSizeY() const { return sizeY; }
    int GetSizeZ() const { return sizeZ; }
    // The size along axis 0 (x), 1 (y) or 2 (z).
    int GetSize(int axis) const { return axis == 0 ? sizeX : axis == 1 ? sizeY : sizeZ; }
    bool IsEmpty() const { return cells.empty(); }
    std::size_t GetCellCount() const { return cells.size(); }

    std::size_t Index(int x, int y, int z) const
    {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(sizeZ) + static_cast<std::size_t>(z)) *
                   static_cast<std::size_t>(sizeX) +
               static_cast<std::size_t>(x);
    }
    bool Contains(int x, int y, int z) const
    {
        return x >= 0 && y >= 0 && z >= 0 && x < sizeX && y < sizeY && z < sizeZ;
    }
    // 0 outside the box.
    std::uint16_t At(int x, int y, int z) const { return Contains(x, y, z) ? cells[Index(x, y, z)] : 0; }
    void Set(int x, int y, int z, std::uint16_t code)
    {
        if (Contains(x, y, z))
            cells[Index(x, y, z)] = code;
    }
    // The first cell of the row along x at (y, z); the row holds sizeX cells.
    std::uint16_t* Row(int y, int z) { return cells.data() + Index(0, y, z); }
    const std::uint16_t* Row(int y, int z) const { return cells.data() + Index(0, y, z); }

    bool operator==(const VoxelBox&) const = default;

private:
    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;
    std::vector<std::uint16_t> cells;
};
