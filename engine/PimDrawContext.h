#pragma once

#include "engine/PimEye.h"
#include "engine/PimMatrix4x4.h"

class PimCamera;
class PimViewport;

// What is being drawn right now: the viewport, its camera, the eye and the size of the area. A
// viewport sets it at the start of every pass (once per eye) and objects read it in their Draw,
// which takes no arguments: `PimDrawContext::GetViewProjection() * model` is an object's MVP.
//
// Draw may therefore run several times a frame (each eye, each viewport showing the object).
// Work that does not depend on the eye (meshes, text layout, model matrices) belongs in Update or
// is cached by the object; GetPassIndex tells the first pass of a frame from later ones.
// Main thread only.
class PimDrawContext
{
public:
    // Null before the first pass and after the viewport or camera was destroyed.
    static PimViewport* GetViewport();
    static PimCamera* GetCamera();
    static PimEye GetEye();
    static const PimEyeView& GetEyeView();
    // Passes drawn earlier in this frame's scene drawing (0 for the first); -1 for a viewport
    // activated by hand outside the scene's drawing (thumbnails).
    static int GetPassIndex();
    // Size in pixels of the area being drawn (the viewport's rectangle or the eye's target).
    static int GetWidth();
    static int GetHeight();

    // The current camera's view-projection for the current eye; the identity without a camera.
    static PimMatrix4x4 GetViewProjection();
    // Pixels of the current area to clip space: (0, 0) is the top-left corner, y grows down.
    static PimMatrix4x4 GetScreenProjection();

    // Makes `camera` the pass's camera (PimCamera::Apply), seeing with the pass's eye and area.
    static void UseCamera(PimCamera* camera);

    // Engine side: a viewport starts a pass. The camera gets the eye and the area's aspect.
    static void Enter(PimViewport* viewport, PimCamera* camera, const PimEyeView& eye, int width, int height,
                      int passIndex);
    // Forgets a viewport or camera that is going away, so nothing points at it.
    static void Forget(const void* viewportOrCamera);
};
