#include "engine/PimFont.h"

#include "engine/PimAssert.h"
#include "engine/PimTexture.h"

#include <string>

namespace
{
// The loaded font; main thread only.
PimTexture& Picture()
{
    static PimTexture picture;
    return picture;
}
}

bool PimFont::Load(std::string_view path)
{
    PimTexture loaded;
    if (!loaded.Load(path))
    {
        PimAssert::Assert(false, "PimFont::Load() - " + std::string(path) + ": " + loaded.GetLoadError());
        return false;
    }
    if (loaded.GetWidth() % Columns != 0 || loaded.GetHeight() % Rows != 0)
    {
        PimAssert::Assert(false, "PimFont::Load() - " + std::string(path) + " is not 16 x 12 whole cells");
        return false;
    }
    loaded.SetFilter(PimTextureFilter::LinearMipmap);
    loaded.SetWrap(PimTextureWrap::Clamp);
    Picture() = std::move(loaded);
    return true;
}

const PimTexture* PimFont::GetPicture()
{
    return Picture().IsValid() ? &Picture() : nullptr;
}

int PimFont::GetCellWidth()
{
    return Picture().GetWidth() / Columns;
}

int PimFont::GetCellHeight()
{
    return Picture().GetHeight() / Rows;
}
