#include "engine/PimDrawContext.h"

#include "engine/PimCamera.h"

namespace
{
struct Context
{
    PimViewport* viewport = nullptr;
    PimCamera* camera = nullptr;
    PimEyeView eye;
    int width = 0;
    int height = 0;
    int passIndex = -1;
};

// Main-thread state of the pass being drawn.
Context& Current()
{
    static Context context;
    return context;
}

void PrepareCamera(PimCamera& camera, const Context& context)
{
    camera.SetEyeView(context.eye);
    if (context.width > 0 && context.height > 0)
        camera.SetViewportAspect(static_cast<float>(context.width) / static_cast<float>(context.height));
}
}

PimViewport* PimDrawContext::GetViewport()
{
    return Current().viewport;
}

PimCamera* PimDrawContext::GetCamera()
{
    return Current().camera;
}

PimEye PimDrawContext::GetEye()
{
    return Current().eye.eye;
}

const PimEyeView& PimDrawContext::GetEyeView()
{
    return Current().eye;
}

int PimDrawContext::GetPassIndex()
{
    return Current().passIndex;
}

int PimDrawContext::GetWidth()
{
    return Current().width;
}

int PimDrawContext::GetHeight()
{
    return Current().height;
}

PimMatrix4x4 PimDrawContext::GetViewProjection()
{
    const Context& context = Current();
    return context.camera ? context.camera->GetViewProjection() : PimMatrix4x4::Identity();
}

PimMatrix4x4 PimDrawContext::GetScreenProjection()
{
    const Context& context = Current();
    if (context.width <= 0 || context.height <= 0)
        return PimMatrix4x4::Identity();
    return PimMatrix4x4::CreateOrthographic(0.0f, static_cast<float>(context.width),
                                            static_cast<float>(context.height), 0.0f, -1.0f, 1.0f);
}

void PimDrawContext::UseCamera(PimCamera* camera)
{
    Context& context = Current();
    context.camera = camera;
    if (camera)
        PrepareCamera(*camera, context);
}

void PimDrawContext::Enter(PimViewport* viewport, PimCamera* camera, const PimEyeView& eye, int width, int height,
                           int passIndex)
{
    Context& context = Current();
    context.viewport = viewport;
    context.eye = eye;
    context.width = width;
    context.height = height;
    context.passIndex = passIndex;
    UseCamera(camera);
}

void PimDrawContext::Forget(const void* viewportOrCamera)
{
    Context& context = Current();
    if (context.viewport == viewportOrCamera)
        context.viewport = nullptr;
    if (context.camera == viewportOrCamera)
        context.camera = nullptr;
}
