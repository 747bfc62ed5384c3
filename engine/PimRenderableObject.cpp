#include "engine/PimRenderableObject.h"

void PimRenderableObject::RunUpdate()
{
    EnsureInitialized();
    Update();
    UpdateChildren();
}

void PimRenderableObject::RunDraw()
{
    EnsureInitialized();
    Draw();
    DrawChildren();
}

void PimRenderableObject::EnsureInitialized()
{
    if (initialized)
        return;
    initialized = true;
    Initialize();
}
