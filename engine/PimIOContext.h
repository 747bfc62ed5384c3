#pragma once

#include <memory>

class PimScene;
class PimWindow;

// Joins the window to the scene it shows. Registered with PimSystem::AddIOContext, it updates
// its active scene in every frame's Update phase and draws it in the Draw phase. A context
// without a window updates its scene but draws nothing (reported once). Main thread only.
class PimIOContext
{
public:
    void AttachWindow(PimWindow* window) { attachedWindow = window; }
    PimWindow* GetWindow() const { return attachedWindow; }

    // The scene shown from now on; null shows nothing.
    void SetActiveScene(std::shared_ptr<PimScene> scene) { activeScene = std::move(scene); }
    const std::shared_ptr<PimScene>& GetActiveScene() const { return activeScene; }

    void Update();
    void Draw();

private:
    PimWindow* attachedWindow = nullptr;
    std::shared_ptr<PimScene> activeScene;
    bool reportedNoWindow = false;
};
