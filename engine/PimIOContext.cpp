#include "engine/PimIOContext.h"

#include "engine/PimAssert.h"
#include "engine/PimScene.h"

void PimIOContext::Update()
{
    // A copy: the scene may be replaced while it runs.
    if (const auto scene = activeScene)
        scene->Update();
}

void PimIOContext::Draw()
{
    const auto scene = activeScene;
    if (!scene)
        return;
    if (!attachedWindow)
    {
        PimAssert::Assert(reportedNoWindow, "PimIOContext::Draw() - no window attached; the scene is not drawn");
        reportedNoWindow = true;
        return;
    }
    scene->Draw();
}
