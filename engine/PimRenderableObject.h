#pragma once

// Base of everything the engine updates and draws each frame: objects added to a viewport, child
// components of a component or page, and the pages themselves.
//
// The engine calls Initialize once, before the object's first Update or Draw through it, then
// Update once per frame and Draw once per draw pass (per eye and per viewport showing it; see
// PimDrawContext). DeInitialize is for owners that release an object's resources early; the engine
// does not call it. Main thread only: Draw may touch GL.
class PimRenderableObject
{
public:
    PimRenderableObject() = default;
    virtual ~PimRenderableObject() = default;
    PimRenderableObject(const PimRenderableObject&) = default;
    PimRenderableObject& operator=(const PimRenderableObject&) = default;

    virtual void Initialize() {}
    virtual void DeInitialize() {}
    virtual void Update() {}
    virtual void Draw() {}

    bool IsInitialized() const { return initialized; }

    // The engine's calls: Initialize if not yet done, then Update (or Draw), then the same for the
    // object's children. Overriding Update or Draw therefore never cuts children off.
    void RunUpdate();
    void RunDraw();

protected:
    virtual void UpdateChildren() {}
    virtual void DrawChildren() {}

private:
    void EnsureInitialized();

    bool initialized = false;
};
