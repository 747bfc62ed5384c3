#pragma once

#include "engine/PimDisplay.h"

// No surface and no GL: frames run, nothing is drawn. For tests of logic, where GL-backed objects
// stay CPU-only because PimSystem reports no GL context. Main thread only.
class PimDisplayNone final : public PimDisplay
{
public:
    bool Open(const PimSystemParameters&) override { return true; }
    bool PollEvents(const PimEventForward&) override { return true; }
    void BeginDraw() override {}
    void Present() override {}

    bool HasGL() const override { return false; }
    int GetFramebufferWidth() const override { return 0; }
    int GetFramebufferHeight() const override { return 0; }
};
