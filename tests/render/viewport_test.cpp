#include "scene_fixture.h"

#include "engine/PimDrawContext.h"
#include "engine/PimEyeOutput.h"
#include "engine/PimImageQuad.h"

#include "../support/temp_folder.h"

#include <limits>
#include <string>
#include <vector>

namespace
{
const PimColor Red(255, 0, 0);
const PimColor Green(0, 255, 0);
const PimColor White(255, 255, 255);
const PimColor Black(0, 0, 0);

// Two eyes side by side in the window, each half the eye distance from the head: a stand-in for
// the headset's swapchain images.
class SideBySideEyes : public PimEyeOutput
{
public:
    bool BeginEyes(std::vector<PimEyeTarget>& eyes) override
    {
        ++begun;
        if (!showing)
            return false;
        for (const auto& [eye, offset, x] : {std::tuple{PimEye::Left, -0.5f, 0}, std::tuple{PimEye::Right, 0.5f, 32}})
        {
            PimEyeTarget target;
            target.view.eye = eye;
            target.view.headFromEye = PimMatrix4x4::CreateTranslation(PimVector3(offset, 0.0f, 0.0f));
            target.x = x;
            target.width = 32;
            target.height = 48;
            eyes.push_back(target);
        }
        return true;
    }
    void EndEyes() override { ++ended; }

    bool showing = true;
    int begun = 0;
    int ended = 0;
};
}

TEST_F(SceneRender, CapturedViewportSavedAndLoadedIsUprightAfterFlipping)
{
    PimImageQuad quad;
    quad.SetTexture(std::make_shared<PimTexture>(Bands({Red, Green})));
    quad.SetScale(20.0f);  // fills the window: red above, green below
    PimTexture captured;
    PimTexture bottomUp;
    Render([&] {
        quad.Draw();
        EXPECT_TRUE(viewport->CaptureScreenshot(captured));
        EXPECT_TRUE(viewport->CaptureScreenshot(bottomUp));
    });
    ASSERT_EQ(captured.GetWidth(), Width);
    ASSERT_EQ(captured.GetHeight(), Height);
    EXPECT_EQ(bottomUp.GetColor(0, 0), Green);  // GL's row order: the bottom row first

    // The thumbnail's way: capture, flip, save; the file shows the view upright.
    captured.FlipPixels();
    const TempFolder folder("viewport-capture");
    ASSERT_TRUE(captured.Save((folder / "SaveView.png").string()));
    PimTexture loaded;
    ASSERT_TRUE(loaded.Load((folder / "SaveView.png").string()));
    EXPECT_EQ(loaded.GetColor(0, 0), Red);
    EXPECT_EQ(loaded.GetColor(Width - 1, Height / 2 - 1), Red);
    EXPECT_EQ(loaded.GetColor(0, Height / 2), Green);
    EXPECT_EQ(loaded.GetColor(Width - 1, Height - 1), Green);
}

TEST_F(SceneRender, BoundingBoxLimitsWhereTheViewportDrawsAndWhatItCaptures)
{
    viewport->SetBoundingBox({8, 4, 16, 12});
    EXPECT_EQ(viewport->GetScreenRect(), (PimPixelRect{8, 4, 16, 12}));
    PimImageQuad quad;
    quad.SetTexture(std::make_shared<PimTexture>(Bands({White})));
    quad.SetScale(20.0f);
    PimTexture captured;
    const PimTexture frame = Render([&] {
        EXPECT_EQ(PimDrawContext::GetWidth(), 16);
        EXPECT_EQ(PimDrawContext::GetHeight(), 12);
        quad.Draw();
        EXPECT_TRUE(viewport->CaptureScreenshot(captured, PimRowOrder::TopDown));
    });
    for (int y = 0; y < Height; ++y)
    {
        for (int x = 0; x < Width; ++x)
        {
            const bool inside = x >= 8 && x < 24 && y >= 4 && y < 16;
            ASSERT_EQ(frame.GetColor(x, y), inside ? White : Black) << x << "," << y;
        }
    }
    EXPECT_EQ(captured.GetWidth(), 16);
    EXPECT_EQ(captured.GetHeight(), 12);

    // A box reaching out of the window is cut to it; one outside draws and captures nothing.
    viewport->SetBoundingBox({56, 40, 100, 100});
    EXPECT_EQ(viewport->GetScreenRect(), (PimPixelRect{56, 40, 8, 8}));
    viewport->SetBoundingBox({-10, -10, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()});
    EXPECT_EQ(viewport->GetScreenRect(), (PimPixelRect{0, 0, Width, Height}));
    viewport->SetBoundingBox({64, 0, 10, 10});
    EXPECT_TRUE(viewport->GetScreenRect().IsEmpty());
    bool drawn = false;
    const PimTexture none = Render([&] { drawn = true; });
    EXPECT_FALSE(drawn);
    EXPECT_EQ(none.GetColor(32, 24), Black);
    EXPECT_FALSE(viewport->CaptureScreenshot(captured));
    viewport->ClearBoundingBox();
    EXPECT_EQ(viewport->GetScreenRect(), (PimPixelRect{0, 0, Width, Height}));
}

TEST_F(SceneRender, ThumbnailStepsOutsideTheFrameCaptureEachAimedView)
{
    // Red ahead of the camera at +x, green at -z, as a world would be around its viewer.
    PimImageQuad east;
    east.SetTexture(std::make_shared<PimTexture>(Bands({Red})));
    east.SetOrientation(PimVector3(90.0f, 0.0f, 0.0f));
    east.SetLocation({5.0f, 0.0f, 0.0f});
    east.SetScale(20.0f);
    PimImageQuad north;
    north.SetTexture(std::make_shared<PimTexture>(Bands({Green})));
    north.SetLocation({0.0f, 0.0f, -5.0f});
    north.SetScale(20.0f);

    std::vector<PimTexture> views;
    const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Update, [&] {
        viewport->SetBoundingBox({0, 0, 16, 16});
        camera().SetPosition({0.0f, 0.0f, 0.0f});
        for (const PimVector3 direction : {PimVector3(1.0f, 0.0f, 0.0f), PimVector3(0.0f, 0.0f, -1.0f)})
        {
            viewport->Clear();
            camera().SetTarget(direction);
            east.Draw();
            north.Draw();
            viewport->Activate();
            PimTexture view;
            EXPECT_TRUE(viewport->CaptureScreenshot(view));
            view.FlipPixels();
            views.push_back(view);
        }
        EXPECT_EQ(PimDrawContext::GetPassIndex(), -1);
        viewport->ClearBoundingBox();
    });
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    PimSystem::RemoveCallback(id);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0].GetWidth(), 16);
    EXPECT_EQ(views[0].GetColor(8, 8), Red);
    EXPECT_EQ(views[1].GetColor(8, 8), Green);
    PimTexture mosaic;
    EXPECT_TRUE(mosaic.StitchTextures(views, 2, 1));
    EXPECT_EQ(mosaic.GetColor(24, 8), Green);
}

TEST_F(SceneRender, HeadsetEyesDrawEachViewOnceAndUpdateOnce)
{
    auto eyes = std::make_shared<SideBySideEyes>();
    PimEyeOutput::Install(eyes);
    PimImageQuad quad;
    quad.SetTexture(std::make_shared<PimTexture>(Bands({White})));
    quad.SetSize({0.2f, 8.0f});  // a thin upright bar at the origin
    int updates = 0;
    std::vector<std::string> draws;
    object->onUpdate = [&] { ++updates; };
    const PimTexture frame = Render([&] {
        draws.push_back(std::to_string(static_cast<int>(viewport->GetCurrentEye())) + " "
                        + std::to_string(PimDrawContext::GetPassIndex()) + " " + std::to_string(PimDrawContext::GetWidth()));
        quad.Draw();
    });
    PimEyeOutput::Install(nullptr);
    object->onUpdate = nullptr;

    EXPECT_EQ(updates, 1);
    EXPECT_EQ(draws, (std::vector<std::string>{"0 0 32", "1 1 32"}));  // left, then right
    EXPECT_EQ(eyes->begun, 1);
    EXPECT_EQ(eyes->ended, 1);
    // The bar is ahead of the head: right of the left eye's centre, left of the right eye's.
    int leftColumn = -1;
    int rightColumn = -1;
    for (int x = 0; x < Width; ++x)
    {
        if (frame.GetColor(x, 24) == White)
            (x < 32 ? leftColumn : rightColumn) = x;
    }
    EXPECT_GT(leftColumn, 16);
    EXPECT_LT(leftColumn, 32);
    EXPECT_GE(rightColumn, 32);
    EXPECT_LT(rightColumn, 48);
    EXPECT_EQ(leftColumn - 16, 48 - rightColumn);
}

TEST_F(SceneRender, DeclinedHeadsetFrameAndSpectatorViewGoToTheWindow)
{
    auto eyes = std::make_shared<SideBySideEyes>();
    eyes->showing = false;
    PimEyeOutput::Install(eyes);
    auto spectator = std::make_shared<PimViewport>(PimScreenSection::Spectator);
    spectator->SetBoundingBox({0, 0, 8, 8});
    spectator->SetClearColor(Red);
    ASSERT_TRUE(scene->AddViewport(spectator));
    auto spectatorObject = std::make_shared<ScriptedObject>();
    ASSERT_TRUE(spectator->AddObject(spectatorObject));
    std::vector<PimEye> seen;
    spectatorObject->onDraw = [&] { seen.push_back(PimDrawContext::GetEye()); };
    const PimTexture frame = Render([&] { seen.push_back(PimDrawContext::GetEye()); });
    PimEyeOutput::Install(nullptr);

    EXPECT_EQ(seen, (std::vector<PimEye>{PimEye::Mono, PimEye::Spectator}));
    EXPECT_EQ(eyes->begun, 1);
    EXPECT_EQ(eyes->ended, 0);  // only a shown frame is handed back
    EXPECT_EQ(frame.GetColor(2, 2), Red);
    EXPECT_EQ(frame.GetColor(32, 24), Background);
}

TEST_F(SceneRender, ClearingCanBeSwitchedOff)
{
    scene->ClearScreenOn(false);
    EXPECT_EQ(Render(nullptr).GetColor(32, 24), Black);  // only the frame's own clear
    scene->ClearScreenOn(true);
    EXPECT_EQ(Render(nullptr).GetColor(32, 24), Background);
}
