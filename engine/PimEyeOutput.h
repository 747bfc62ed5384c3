#pragma once

#include "engine/PimEye.h"

#include <memory>
#include <vector>

// Where one eye of the headset is drawn: a GL framebuffer (0 is the window's) and the rectangle
// in it, in GL window coordinates (x, y is the lower-left corner).
struct PimEyeTarget
{
    PimEyeView view;
    unsigned int framebuffer = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The headset's side of drawing, installed by the device layer when a headset runs. Each frame
// the scene asks it once for the eyes to draw, draws every main viewport once per eye into the
// given targets, and hands the frame back. Without an installed output, or when BeginEyes
// declines, main viewports draw one Mono view into the window. Main thread only.
class PimEyeOutput
{
public:
    virtual ~PimEyeOutput() = default;

    // Called once per frame before any viewport draws. Fills `eyes` (cleared by the caller) and
    // returns true when the headset shows this frame; false draws the window view instead.
    virtual bool BeginEyes(std::vector<PimEyeTarget>& eyes) = 0;
    // Called after every viewport of the frame has drawn, only when BeginEyes returned true:
    // submits the eyes' pictures (and may copy one to the window).
    virtual void EndEyes() = 0;

    // The output the scenes use; null uninstalls it.
    static void Install(std::shared_ptr<PimEyeOutput> output);
    static const std::shared_ptr<PimEyeOutput>& GetInstalled();
};
