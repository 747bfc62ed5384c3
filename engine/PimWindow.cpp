#include "engine/PimWindow.h"

#include "engine/PimSystem.h"

PimWindow* PimWindow::GetFocusedWindow()
{
    static PimWindow window;
    return PimSystem::IsInitialized() ? &window : nullptr;
}

int PimWindow::GetWidth() const
{
    return PimSystem::GetFramebufferWidth();
}

int PimWindow::GetHeight() const
{
    return PimSystem::GetFramebufferHeight();
}

bool PimWindow::HasGL() const
{
    return PimSystem::HasGL();
}
