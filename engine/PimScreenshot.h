#pragma once

#include <cstdint>

class PimTexture;

enum class PimRowOrder : std::uint8_t
{
    TopDown,   // as pictures are stored and saved
    BottomUp,  // as GL hands them out; FlipPixels turns such a picture upright
};

// Copies what has been drawn into a PimTexture: the framebuffer bound for reading (the default
// framebuffer unless the caller bound another), before the frame is swapped. Works the same in a
// window and offscreen. Screen pixels are opaque, so alpha is always 255. Main thread only.
class PimScreenshot
{
public:
    // All of the default framebuffer.
    static bool Capture(PimTexture& picture, PimRowOrder order = PimRowOrder::TopDown);
    // A rectangle in GL window coordinates: (x, y) is its lower-left corner, counted from the
    // framebuffer's lower-left. With the default framebuffer bound, a rectangle reaching outside it
    // is refused (PimAssert, false); false also without a GL context. The picture is untouched on failure.
    static bool Capture(PimTexture& picture, int x, int y, int width, int height,
                        PimRowOrder order = PimRowOrder::TopDown);
};
