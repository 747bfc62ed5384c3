// The main menu's four objects. Two are voxel models in the region file format (one region at
// the origin whose first 2 x 2 x 2 chunks hold a 64-voxel model): "NewModel.vic", a green plus
// sign standing on a white slab, and "LoadModels.vic", a yellow folder holding a small blue model.
// Two are 64 x 64 pictures that the menu turns into voxel reliefs: "Settings.png", a steel-blue
// gear, and "Exit.png", a red power symbol. Colours are taken from the default palette, so the
// models look the same in the menu as here.
#include "content_output.h"
#include "drawing.h"
#include "families.h"

#include "colour/PaletteModel.h"
#include "world/RegionCodec.h"

#include "engine/PimTexture.h"

#include <functional>
#include <numbers>

namespace
{
constexpr int kSide = 64;

// The colour voxel of the default palette entry nearest to a colour.
std::uint16_t PaletteVoxel(PimColor colour)
{
    static const std::vector<PimColor> palette = PaletteModel::BuildDefaultColours();
    std::size_t best = 0;
    float bestDistance = 1e9f;
    for (std::size_t i = 0; i < palette.size(); ++i)
        if (const float d = colour.GetDistance(palette[i]); d < bestDistance)
        {
            bestDistance = d;
            best = i;
        }
    return PaletteModel::ColourVoxel(static_cast<std::uint8_t>(best));
}

class VoxelModel
{
public:
    void Set(int x, int y, int z, std::uint16_t value)
    {
        if (x < 0 || y < 0 || z < 0 || x >= kSide || y >= kSide || z >= kSide)
            return;
        const int slot = (y / 32) * 64 + (z / 32) * 8 + (x / 32);
        auto& chunk = chunks[static_cast<std::size_t>(slot)];
        if (!chunk)
            chunk = std::make_unique<RegionCodec::ChunkBuffer>(RegionCodec::ChunkBuffer{});
        (*chunk)[static_cast<std::size_t>(((y % 32) * 32 + (z % 32)) * 32 + (x % 32))] = value;
    }
    void Box(int x0, int y0, int z0, int x1, int y1, int z1, std::uint16_t value)
    {
        for (int y = y0; y <= y1; ++y)
            for (int z = z0; z <= z1; ++z)
                for (int x = x0; x <= x1; ++x)
                    Set(x, y, z, value);
    }
    bool Write(const ContentOutput& output, const char* relative) const
    {
        std::vector<std::uint8_t> bytes;
        RegionCodec::EncodeRegion(RegionCodec::HeaderOrigin{}, chunks, bytes);
        return output.WriteBytes(relative, bytes);
    }

private:
    RegionCodec::ChunkBuffers chunks;
};

bool NewModel(const ContentOutput& output)
{
    VoxelModel model;
    const std::uint16_t slab = PaletteVoxel({235, 235, 235});
    const std::uint16_t edge = PaletteVoxel({120, 120, 120});
    const std::uint16_t green = PaletteVoxel({40, 200, 70});
    const std::uint16_t light = PaletteVoxel({150, 255, 150});
    model.Box(4, 0, 4, 59, 5, 59, slab);
    model.Box(4, 0, 4, 59, 1, 59, edge);
    // The plus sign, upright and facing +z, with a lighter face.
    model.Box(10, 26, 26, 53, 41, 37, green);
    model.Box(24, 12, 26, 39, 55, 37, green);
    model.Box(12, 28, 38, 51, 39, 38, light);
    model.Box(26, 14, 38, 37, 53, 38, light);
    return model.Write(output, "VoxelIcons/NewModel.vic");
}

bool LoadModels(const ContentOutput& output)
{
    VoxelModel model;
    const std::uint16_t folder = PaletteVoxel({255, 204, 51});
    const std::uint16_t folderDark = PaletteVoxel({204, 153, 0});
    const std::uint16_t blue = PaletteVoxel({51, 102, 255});
    const std::uint16_t blueLight = PaletteVoxel({102, 178, 255});
    // The back of the folder with its tab, the model peeking out, then the front flap.
    model.Box(6, 4, 18, 57, 46, 23, folderDark);
    model.Box(6, 46, 18, 26, 52, 23, folderDark);
    model.Box(18, 20, 26, 45, 47, 37, blue);
    model.Box(22, 47, 28, 41, 52, 35, blueLight);
    model.Box(6, 4, 24, 57, 34, 42, folder);
    model.Box(6, 4, 43, 57, 5, 43, folderDark);
    return model.Write(output, "VoxelIcons/LoadModels.vic");
}

bool WriteIcon(const ContentOutput& output, const char* relative, const std::function<void(Canvas&)>& draw)
{
    Canvas canvas(kSide, kSide);
    draw(canvas);
    PimTexture picture;
    return picture.Create(kSide, kSide, canvas.Bytes()) && output.WritePicture(relative, picture);
}

void Gear(Canvas& canvas)
{
    constexpr float c = kSide / 2.0f;
    canvas.Fill(
        [](float x, float y) {
            const float angle = std::atan2(y - c, x - c);
            // Eight teeth: the outline swings between 22 and 29 pixels with flat tops.
            const float tooth = std::clamp(std::cos(angle * 8.0f) * 3.0f, -1.0f, 1.0f);
            const float outer = std::hypot(x - c, y - c) - (25.5f + 3.5f * tooth);
            const float hole = 9.0f - std::hypot(x - c, y - c);
            return std::max(outer, hole);
        },
        0.4f, 0.6f, 0.8f);
}

void Power(Canvas& canvas)
{
    constexpr float c = kSide / 2.0f;
    canvas.Fill(
        [](float x, float y) {
            const float ring = std::fabs(std::hypot(x - c, y - c + 2.0f) - 20.0f) - 4.5f;
            // The ring is open at the top, where the bar stands.
            const float gap = std::fabs(std::atan2(x - c, c - 2.0f - y)) < 0.55f ? 1e3f : 0.0f;
            const float bar = Shape::Box(x, y, c, 18.0f, 4.5f, 14.0f, 4.0f);
            return std::min(std::max(ring, gap), bar);
        },
        0.9f, 0.15f, 0.15f);
}
}

bool GenerateVoxelIcons(const ContentOutput& output)
{
    return NewModel(output) && LoadModels(output) && WriteIcon(output, "VoxelIcons/Settings.png", Gear) &&
           WriteIcon(output, "VoxelIcons/Exit.png", Power);
}
