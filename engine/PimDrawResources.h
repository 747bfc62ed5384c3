#pragma once

#include "engine/PimColor.h"
#include "engine/PimMatrix4x4.h"

#include <cstdint>

class PimShader;
class PimTexture;

// A vertex of the engine's picture drawing: position and texture coordinate (v = 0 at the top).
struct PimPictureVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
};

// GL resources shared by the engine's own drawables (image quads, sprites, lines, text): two
// programs from the content folder's Graphics/Shaders ("pimFlat" and "pimPicture", .vs and .ps)
// and a unit square. They are made on first use in each GL context; a program that cannot be
// loaded is reported once per context and the drawables that need it draw nothing.
// Main thread only.
class PimDrawResources
{
public:
    // Null without GL or when the program does not load.
    static const PimShader* FlatShader();
    static const PimShader* PictureShader();

    // Draws `count` vertices from `first` of the bound vertex buffer of PimPictureVertex with the
    // picture program: texture on unit 0, tinted by colour. `mode` is a GL primitive (GL_TRIANGLES,
    // GL_TRIANGLE_STRIP). False when nothing could be drawn.
    static bool DrawPictureVertices(const PimTexture& texture, const PimMatrix4x4& mvp, PimColor colour,
                                    unsigned int mode, int first, int count);
    // Draws `count` vertices of the bound vertex buffer of PimVector3 positions in one colour.
    static bool DrawFlatVertices(const PimMatrix4x4& mvp, PimColor colour, unsigned int mode, int first, int count);
    // Draws the unit square (corners at +-0.5 in the x-y plane, facing +z, the picture upright)
    // through mvp.
    static bool DrawUnitQuad(const PimTexture& texture, const PimMatrix4x4& mvp, PimColor colour);
};

// Turns a GL capability off for its lifetime and puts the previous setting back: culling for
// pictures seen from both sides, depth testing for screen overlays. Main thread, GL context open.
class PimGLCapabilityOff
{
public:
    enum class Capability : std::uint8_t
    {
        Culling,
        DepthTest,
    };

    explicit PimGLCapabilityOff(Capability capability);
    ~PimGLCapabilityOff();
    PimGLCapabilityOff(const PimGLCapabilityOff&) = delete;
    PimGLCapabilityOff& operator=(const PimGLCapabilityOff&) = delete;

private:
    unsigned int name;
    bool wasOn;
};

// Leaves the depth buffer unwritten for its lifetime (depth testing stays as it is) and puts the
// previous setting back: a see-through picture drawn over the scene then hides nothing drawn
// after it. Main thread, GL context open.
class PimGLDepthWritesOff
{
public:
    PimGLDepthWritesOff();
    ~PimGLDepthWritesOff();
    PimGLDepthWritesOff(const PimGLDepthWritesOff&) = delete;
    PimGLDepthWritesOff& operator=(const PimGLDepthWritesOff&) = delete;

private:
    bool wasOn;
};
