#include "world/HeightMapPicture.h"

#include <vector>

namespace
{
PimColor SampleColor(std::uint16_t height, float waterLevel, bool gridLine)
{
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    if (height <= waterLevel)
    {
        const float depthShare = waterLevel > 0.0f ? height / waterLevel : 0.0f;
        blue = depthShare * 0.7f + 0.3f;
    }
    else
    {
        const float t = height / 512.0f * 0.7f + 0.3f;
        red = 0.7f * t;
        green = 0.5f * t;
        blue = 0.2f * t;
    }
    if (gridLine)
    {
        red += 0.25f;
        green -= 0.25f;
        blue -= 0.25f;
    }
    return PimColor::FromFloat3(red, green, blue);
}
} // namespace

namespace HeightMapPicture
{
PimTexture Make(const HeightMap& map, float waterLevel)
{
    PimTexture picture;
    if (map.IsEmpty())
        return picture;
    const int width = map.GetWidth();
    const int depth = map.GetDepth();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * depth * 4);
    std::size_t at = 0;
    for (int z = 0; z < depth; ++z)
        for (int x = 0; x < width; ++x)
        {
            const PimColor color = SampleColor(map.At(x, z), waterLevel, x % 16 == 0 || z % 16 == 0);
            rgba[at++] = color.r;
            rgba[at++] = color.g;
            rgba[at++] = color.b;
            rgba[at++] = color.a;
        }
    picture.Create(width, depth, rgba);
    return picture;
}

std::string PathFor(std::string_view folder, std::string_view step)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    path += "HMap";
    path += step;
    path += ".png";
    return path;
}

bool Save(const HeightMap& map, float waterLevel, std::string_view folder, std::string_view step)
{
    const PimTexture picture = Make(map, waterLevel);
    return picture.IsValid() && picture.Save(PathFor(folder, step));
}
}
