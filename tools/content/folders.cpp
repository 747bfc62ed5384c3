#include "content_output.h"
#include "families.h"

#include <array>
#include <string_view>

bool GenerateFolders(const ContentOutput& output)
{
    constexpr std::array<std::string_view, 6> folders{
        "Graphics/Textures", "Graphics/Shaders", "Graphics/Fonts", "Sound", "Text", "VoxelIcons",
    };
    for (const std::string_view folder : folders)
    {
        if (!output.MakeFolder(folder))
            return false;
    }
    return true;
}
