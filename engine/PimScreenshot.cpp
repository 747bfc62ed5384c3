#include "engine/PimScreenshot.h"

#include "engine/PimAssert.h"
#include "engine/PimPngCodec.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <GL/glew.h>

#include <vector>

namespace
{
bool FitsReadFramebuffer(int x, int y, int width, int height)
{
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || width > PimPngCodec::MaxSide || height > PimPngCodec::MaxSide)
        return false;
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (readFramebuffer != 0)
        return true;  // the caller's own framebuffer: its size is the caller's business
    return std::int64_t(x) + width <= PimSystem::GetFramebufferWidth()
        && std::int64_t(y) + height <= PimSystem::GetFramebufferHeight();
}
}

bool PimScreenshot::Capture(PimTexture& picture, PimRowOrder order)
{
    return Capture(picture, 0, 0, PimSystem::GetFramebufferWidth(), PimSystem::GetFramebufferHeight(), order);
}

bool PimScreenshot::Capture(PimTexture& picture, int x, int y, int width, int height, PimRowOrder order)
{
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread())
        return false;
    if (!FitsReadFramebuffer(x, y, width, height))
    {
        PimAssert::Assert(false, "PimScreenshot::Capture() - rectangle outside the framebuffer");
        return false;
    }
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);  // read into client memory, not into a buffer object
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    picture.Create(width, height, pixels);
    if (order == PimRowOrder::TopDown)
        picture.FlipPixels();
    return true;
}
