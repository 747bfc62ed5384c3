#include "engine/PimScene.h"

#include "engine/PimAssert.h"
#include "engine/PimEyeOutput.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimSystem.h"
#include "engine/PimViewport.h"

#include <GL/glew.h>

#include <algorithm>

namespace
{
// After the scene: the window's framebuffer, all of it, as the frame loop's later callbacks expect.
void RestoreWindowState()
{
    if (!PimSystem::HasGL())
        return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, PimSystem::GetFramebufferWidth(), PimSystem::GetFramebufferHeight());
    glDisable(GL_SCISSOR_TEST);
}
}

bool PimScene::AddViewport(std::shared_ptr<PimViewport> viewport)
{
    if (!viewport || std::find(viewports.begin(), viewports.end(), viewport) != viewports.end())
    {
        PimAssert::Assert(false, "PimScene::AddViewport() - null or already added");
        return false;
    }
    viewports.push_back(std::move(viewport));
    return true;
}

bool PimScene::RemoveViewport(const PimViewport* viewport)
{
    const auto found = std::find_if(viewports.begin(), viewports.end(), [viewport](const auto& held) { return held.get() == viewport; });
    if (found == viewports.end())
        return false;
    viewports.erase(found);
    return true;
}

PimViewport* PimScene::GetViewport(std::int32_t id) const
{
    const auto found = std::find_if(viewports.begin(), viewports.end(), [id](const auto& viewport) { return viewport->GetId() == id; });
    return found != viewports.end() ? found->get() : nullptr;
}

void PimScene::Update()
{
    // Each object once, even when several viewports show it; the copies keep them alive.
    std::vector<std::shared_ptr<PimRenderableObject>> objects;
    for (const auto& viewport : viewports)
    {
        for (const auto& object : viewport->GetObjects())
        {
            if (std::find(objects.begin(), objects.end(), object) == objects.end())
                objects.push_back(object);
        }
    }
    for (const auto& object : objects)
        object->RunUpdate();
}

void PimScene::Draw()
{
    const auto current = viewports;
    const auto isMain = [](const auto& viewport) {
        return viewport->IsActive() && viewport->GetSection() == PimScreenSection::Main;
    };
    const std::shared_ptr<PimEyeOutput> output = PimEyeOutput::GetInstalled();
    std::vector<PimEyeTarget> eyes;
    const bool anyMain = std::any_of(current.begin(), current.end(), isMain);
    const bool headsetFrame = output && anyMain && PimSystem::HasGL() && output->BeginEyes(eyes);
    const bool drawEyes = headsetFrame && !eyes.empty();

    int passIndex = 0;
    if (headsetFrame)
    {
        // The eyes first: their images go back (the first one copied to the window) before the
        // window's own views draw over that copy.
        for (const auto& viewport : current)
        {
            if (drawEyes && isMain(viewport))
            {
                for (const PimEyeTarget& eye : eyes)
                    viewport->DrawEyePass(eye, clearScreen, passIndex++);
            }
        }
        RestoreWindowState();
        output->EndEyes();
    }
    for (const auto& viewport : current)
    {
        if (viewport->IsActive() && !(drawEyes && isMain(viewport)))
            viewport->DrawWindowPass(clearScreen, passIndex++);
    }
    RestoreWindowState();
}
