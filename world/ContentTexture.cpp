#include "world/ContentTexture.h"

#include "engine/PimAssert.h"
#include "engine/PimContentFolder.h"

#include <string>

PimTexture LoadContentTexture(std::string_view relative, PimTextureFilter filter, PimTextureWrap wrap)
{
    PimTexture texture;
    const std::string path = PimContentFolder::Resolve(relative).string();
    if (!texture.Load(path))
        PimAssert::Assert(false, "LoadContentTexture() - cannot load " + path + ": " + texture.GetLoadError());
    texture.SetFilter(filter);
    texture.SetWrap(wrap);
    return texture;
}
