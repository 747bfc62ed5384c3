#pragma once

#include "engine/PimSystemParameters.h"
#include "engine/PimVrDevice.h"

#include <memory>
#include <string>

// The headset backend: an OpenXR session on the display's OpenGL context (GLX in a window, EGL
// through the MNDX extension where the runtime offers it), one swapchain per eye, the hands' aim
// poses and buttons through actions with suggested bindings for the simple, Index, Vive and Touch
// controller profiles, and the play area as the runtime's stage (or its local space lifted to a
// standing eye height when there is no stage). Main thread only.
//
// Button codes (engine/PimVrInputCodes.h) per profile:
//   trigger 0: trigger value (simple controller: select click);
//   menu 1: menu click (Index: B; Touch right hand: B);
//   second button 9: Index A, Vive squeeze, Touch left Y / right A;
//   pad 6, 7, 12, 13: thumbstick touch, click, x, y (Vive: trackpad).
namespace PimVrOpenXR
{
// A running session, or null with whyNot saying what was missing: no runtime
// (XR_ERROR_RUNTIME_UNAVAILABLE), no headset, no OpenGL extension or context, or a failed step.
std::unique_ptr<PimVrDevice> Create(const PimSystemParameters& parameters, std::string& whyNot);
}
