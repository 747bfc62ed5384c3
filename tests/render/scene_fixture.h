#pragma once

#include "render_fixture.h"

#include "engine/PimCamera.h"
#include "engine/PimIOContext.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimScene.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimWindow.h"

#include <functional>
#include <memory>

// An object whose Update and Draw run the test's functions.
class ScriptedObject : public PimRenderableObject
{
public:
    void Update() override
    {
        if (onUpdate)
            onUpdate();
    }
    void Draw() override
    {
        if (onDraw)
            onDraw();
    }

    std::function<void()> onUpdate;
    std::function<void()> onDraw;
};

// The program's set-up on the offscreen display: a scene with one main viewport whose camera
// stands at (0, 0, 4) looking at the origin with a 90 degree field of view, so that at the origin
// the 64 x 48 window shows 16/3 units to each side and 4 up and down. The viewport clears to blue.
class SceneRender : public OffscreenRender
{
protected:
    static constexpr PimColor Background{0, 0, 255, 255};

    void SetUp() override
    {
        OffscreenRender::SetUp();
        auto context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));
        ASSERT_TRUE(scene->AddViewport(viewport));
        ASSERT_TRUE(viewport->AddObject(object));
        viewport->SetClearColor(Background);
        camera().SetPosition({0.0f, 0.0f, 4.0f});
        camera().SetTarget({0.0f, 0.0f, 0.0f});
        camera().SetFieldOfView(PimAngle::FromDegrees(90.0f));
    }

    PimCamera& camera() { return *viewport->GetCamera(); }

    // Runs one frame with `draw` as the scene object's Draw and returns the finished picture,
    // top row first.
    PimTexture Render(std::function<void()> draw)
    {
        object->onDraw = std::move(draw);
        PimTexture frame;
        DrawOneFrame([&frame] { PimScreenshot::Capture(frame); });
        object->onDraw = nullptr;
        return frame;
    }

    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    std::shared_ptr<ScriptedObject> object = std::make_shared<ScriptedObject>();
};

// A picture of one colour per row band, top to bottom, `size` pixels square.
inline PimTexture Bands(std::initializer_list<PimColor> colours, int size = 2)
{
    PimTexture picture;
    picture.Create(size, size, PimColor());
    const int bands = static_cast<int>(colours.size());
    int band = 0;
    for (const PimColor colour : colours)
    {
        for (int y = band * size / bands; y < (band + 1) * size / bands; ++y)
            for (int x = 0; x < size; ++x)
                picture.SetColor(x, y, colour);
        ++band;
    }
    picture.SetFilter(PimTextureFilter::Nearest);
    picture.SetWrap(PimTextureWrap::Clamp);
    return picture;
}
