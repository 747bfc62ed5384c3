#include "engine/PimViewport.h"

#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimDrawContext.h"
#include "engine/PimEyeOutput.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdint>

namespace
{
// A rectangle in GL window coordinates: (x, y) is the lower-left corner.
struct GLRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

GLRect ToGL(const PimPixelRect& rect)
{
    return {rect.x, PimSystem::GetFramebufferHeight() - rect.y - rect.height, rect.width, rect.height};
}

// The state every pass starts from; objects that change it put it back.
void BeginGLPass(unsigned int framebuffer, const GLRect& area, PimColor clearColor, bool clear)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(area.x, area.y, area.width, area.height);
    glScissor(area.x, area.y, area.width, area.height);
    glEnable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    if (clear)
    {
        const PimVector4 colour = clearColor.GetColorFloat4();
        glClearColor(colour.x, colour.y, colour.z, colour.w);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
}

PimViewport::PimViewport(PimScreenSection section) : section(section), camera(std::make_shared<PimCamera>())
{
    currentEye.eye = WindowEye();
}

PimViewport::~PimViewport()
{
    PimDrawContext::Forget(this);
}

bool PimViewport::AddObject(std::shared_ptr<PimRenderableObject> object)
{
    if (!object || std::find(objects.begin(), objects.end(), object) != objects.end())
    {
        PimAssert::Assert(false, "PimViewport::AddObject() - null or already added");
        return false;
    }
    objects.push_back(std::move(object));
    return true;
}

bool PimViewport::RemoveObject(const PimRenderableObject* object)
{
    const auto found = std::find_if(objects.begin(), objects.end(), [object](const auto& held) { return held.get() == object; });
    if (found == objects.end())
        return false;
    objects.erase(found);
    return true;
}

PimPixelRect PimViewport::GetScreenRect() const
{
    const PimPixelRect window{0, 0, PimSystem::GetFramebufferWidth(), PimSystem::GetFramebufferHeight()};
    if (!boundingBox)
        return window;
    // In 64 bits: a box near the int limits must not wrap around.
    const std::int64_t left = std::max(window.x, boundingBox->x);
    const std::int64_t top = std::max(window.y, boundingBox->y);
    const std::int64_t right = std::min<std::int64_t>(window.width, std::int64_t(boundingBox->x) + boundingBox->width);
    const std::int64_t bottom = std::min<std::int64_t>(window.height, std::int64_t(boundingBox->y) + boundingBox->height);
    if (right <= left || bottom <= top)
        return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

void PimViewport::SetCamera(std::shared_ptr<PimCamera> newCamera)
{
    if (!newCamera)
    {
        PimAssert::Assert(false, "PimViewport::SetCamera() - null camera");
        return;
    }
    camera = std::move(newCamera);
}

void PimViewport::Activate()
{
    EnterWindow(false, -1);
}

void PimViewport::Clear()
{
    EnterWindow(true, -1);
}

bool PimViewport::CaptureScreenshot(PimTexture& picture, PimRowOrder order) const
{
    const PimPixelRect rect = GetScreenRect();
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread() || rect.IsEmpty())
        return false;
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    const GLRect area = ToGL(rect);
    const bool captured = PimScreenshot::Capture(picture, area.x, area.y, area.width, area.height, order);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    return captured;
}

PimViewport* PimViewport::GetActiveViewport()
{
    return PimDrawContext::GetViewport();
}

void PimViewport::DrawWindowPass(bool clear, int passIndex)
{
    // Without GL the objects still draw, so that logic they keep in Draw runs the same.
    if (EnterWindow(clear, passIndex) || !PimSystem::HasGL())
        DrawObjects();
}

void PimViewport::DrawEyePass(const PimEyeTarget& target, bool clear, int passIndex)
{
    currentEye = target.view;
    if (target.width <= 0 || target.height <= 0)
        return;
    if (PimSystem::HasGL())
        BeginGLPass(target.framebuffer, {target.x, target.y, target.width, target.height}, clearColor, clear);
    PimDrawContext::Enter(this, camera.get(), currentEye, target.width, target.height, passIndex);
    DrawObjects();
}

PimEye PimViewport::WindowEye() const
{
    return section == PimScreenSection::Spectator ? PimEye::Spectator : PimEye::Mono;
}

bool PimViewport::EnterWindow(bool clear, int passIndex)
{
    currentEye = PimEyeView();
    currentEye.eye = WindowEye();
    const PimPixelRect rect = GetScreenRect();
    const bool drawable = PimSystem::HasGL() && PimSystem::IsMainThread() && !rect.IsEmpty();
    if (drawable)
        BeginGLPass(0, ToGL(rect), clearColor, clear);
    PimDrawContext::Enter(this, camera.get(), currentEye, rect.width, rect.height, passIndex);
    return drawable;
}

void PimViewport::DrawObjects()
{
    // Over a copy that keeps each object alive while it draws: an object may remove objects.
    const auto current = objects;
    for (const auto& object : current)
        object->RunDraw();
}
