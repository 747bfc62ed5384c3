// quillot_content <content folder> [name=path ...]
//
// Writes the generated part of the program's Content folder: every family of assets in turn. The
// build runs it whenever the generator or one of its inputs changes; the shader sources are
// copied by the build itself. Exits with 1 when any family fails.
#include "content_output.h"
#include "families.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace
{
struct Family
{
    const char* name;
    bool (*generate)(const ContentOutput&);
};

constexpr Family Families[] = {
    {"folders", GenerateFolders},
    {"font", GenerateFont},
    {"voxel textures", GenerateVoxelTextures},
    {"model grid", GenerateModelGrid},
    {"teleport reticle", GenerateTeleportReticle},
    {"menu buttons", GenerateMenuButtons},
    {"panel icons", GeneratePanelIcons},
    {"tool icons", GenerateToolIcons},
    {"tutorial pictures", GenerateTutorialPictures},
    {"update buttons", GenerateUpdateButtons},
    {"selection buttons", GenerateSelectionButtons},
    {"palette pictures", GeneratePalettePictures},
    {"browser buttons", GenerateBrowserButtons},
    {"reference image buttons", GenerateReferenceImageButtons},
    {"title screen", GenerateTitleScreen},
    {"voxel icons", GenerateVoxelIcons},
    {"menu sounds", GenerateMenuSounds},
};
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: quillot_content <content folder> [name=path ...]\n");
        return 2;
    }
    std::map<std::string, std::filesystem::path> inputs;
    for (int i = 2; i < argc; ++i)
    {
        const std::string_view argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos || equals == 0)
        {
            std::fprintf(stderr, "quillot_content: '%s' is not name=path\n", argv[i]);
            return 2;
        }
        inputs[std::string(argument.substr(0, equals))] = std::filesystem::path(argument.substr(equals + 1));
    }
    const ContentOutput output(argv[1], std::move(inputs));
    bool succeeded = true;
    for (const Family& family : Families)
    {
        if (!family.generate(output))
        {
            std::fprintf(stderr, "quillot_content: the %s family failed\n", family.name);
            succeeded = false;
        }
    }
    return succeeded ? 0 : 1;
}
