// The off hand's tool panel drawn offscreen: the tools page with its twelve icons (the current
// tool white, the others grey, the reference-image tool among them) and the palette strip's
// cubes in the active palette's colours. The pictures are left in the build folder
// (tool_panel_render/tools_page.png and palette_strip.png) to be looked at.

#include "render_fixture.h"

#include "editing/ToolPanel.h"
#include "editing/VoxelHand.h"

#include "settings/GameSettings.h"

#include "tests/support/TempFolder.h"

#include "engine/PimAssert.h"
#include "engine/PimCamera.h"
#include "engine/PimContentFolder.h"
#include "engine/PimIOContext.h"
#include "engine/PimScene.h"
#include "engine/PimScreenshot.h"
#include "engine/PimTexture.h"
#include "engine/PimViewport.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"
#include "engine/PimWindow.h"

#include <SDL_rect.h>

#include <filesystem>

namespace
{
namespace fs = std::filesystem;
constexpr int kWidth = 360;
constexpr int kHeight = 300;
constexpr PimColor kBackground{40, 44, 52, 255};

class ToolPanelRender : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PimSystemParameters parameters;
        parameters.width = kWidth;
        parameters.height = kHeight;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.deviceMode = PimDeviceMode::Scripted;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        ASSERT_TRUE(PimSystem::HasGL());
        auto context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));
        ASSERT_TRUE(scene->AddViewport(viewport));
        viewport->SetClearColor(kBackground);
        PimCamera& camera = *viewport->GetCamera();
        camera.SetFieldOfView(PimAngle::FromDegrees(60.0f));
        camera.SetNearPlane(0.01f);
        PimAssert::ResetFailureCount();
        settings = std::make_unique<GameSettings>(SettingsFolders::FromBases(
            PimWString::Widen(PimContentFolder::Get().parent_path().string()), temp.Wide() + L"/data", temp.Wide() + L"/Pictures"));
        // The off hand (left) held ahead and below the eye, tilted back so its panel faces the eye.
        script = PimVrSystem::GetInstance().GetScript();
        script->SetPose(PimVrDeviceIndex::LeftHand, {0.0f, 1.2f, -0.5f},
                        PimMatrix4x4::CreateRotationX(PimAngle::FromDegrees(60.0f)));
        script->SetPose(PimVrDeviceIndex::RightHand, {0.5f, 0.5f, 0.5f}, PimMatrix4x4());
        panel = std::make_unique<ToolPanel>(*settings);
        hand = std::make_shared<VoxelHand>(*settings, false, PimColor{230, 120, 40, 255});
        hand->Initialize();
        ASSERT_TRUE(viewport->AddObject(hand));
    }
    void TearDown() override
    {
        EXPECT_EQ(PimAssert::GetFailureCount(), 0u) << PimAssert::GetLastMessage();
        panel.reset();
        hand.reset();
        PimSystem::Shutdown();
    }

    // Runs a frame that updates the panel, then one that draws it, looked at from `eye`, and keeps
    // the picture.
    PimTexture Frame(const PimVector3& eye, const PimVector3& target, const char* keepAs)
    {
        const PimCallbackId update = PimSystem::AddFrameCallback(PimFramePhase::Update, [this] { panel->Update(); });
        PimSystem::RunFrames(2);
        PimSystem::RemoveCallback(update);
        PimCamera& camera = *viewport->GetCamera();
        camera.SetPosition(eye);
        camera.SetTarget(target);
        PimTexture frame;
        const PimCallbackId draw = PimSystem::AddFrameCallback(PimFramePhase::Draw, [&] {
            panel->Draw();
            PimScreenshot::Capture(frame);
        });
        PimSystem::RunFrames(1);
        PimSystem::RemoveCallback(draw);
        fs::create_directories(folder);
        frame.Save((folder / keepAs).string());
        return frame;
    }

    // The pixel a world point is drawn at.
    SDL_Point PixelOf(const PimVector3& world)
    {
        const PimVector4 clip = viewport->GetCamera()->GetViewProjection() * PimVector4(world.x, world.y, world.z, 1.0f);
        return {static_cast<int>((clip.x / clip.w + 1.0f) * 0.5f * kWidth),
                static_cast<int>((1.0f - clip.y / clip.w) * 0.5f * kHeight)};
    }
    static int Brightness(PimColor c) { return c.r + c.g + c.b; }

    const fs::path folder = fs::current_path() / "tool_panel_render";
    TempFolder temp;
    std::unique_ptr<GameSettings> settings;
    std::unique_ptr<ToolPanel> panel;
    std::shared_ptr<VoxelHand> hand;
    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> viewport = std::make_shared<PimViewport>();
    PimVrScriptedDevice* script = nullptr;
};

TEST_F(ToolPanelRender, TheToolsPageShowsTwelveIconsAndThePaletteStripItsColours)
{
    // Looked at along the panel's normal (the off hand's up, tilted back 60 degrees), from 35 cm.
    const PimVector3 normal(0.0f, 0.5f, 0.866f);
    // The palette page: the 16 cubes in the palette's colours.
    PimSystem::RunFrames(1);
    panel->Update();
    PaletteStrip& strip = panel->GetStrip();
    PimVector3 middle;
    for (int slot = 0; slot < PaletteStrip::kSlots; ++slot)
        middle += strip.GetSlotPosition(slot) / static_cast<float>(PaletteStrip::kSlots);
    const PimTexture palette = Frame(middle + normal * 0.35f, middle, "palette_strip.png");
    int coloured = 0;
    for (int slot = 1; slot < PaletteStrip::kSlots; ++slot)
    {
        const SDL_Point p = PixelOf(strip.GetSlotPosition(slot));
        const PimColor shown = palette.GetColor(p.x, p.y);
        const PimColor colour = PaletteStrip::DisplayColour(strip.GetSlotValue(slot));
        coloured += std::abs(shown.r - colour.r) + std::abs(shown.g - colour.g) + std::abs(shown.b - colour.b) < 200 &&
                    !(shown == kBackground);
    }
    EXPECT_GE(coloured, 12) << "most cubes show their slot's colour (lit, so not exactly)";

    // The tools page, with the ring tool current.
    panel->SwitchPage();
    ASSERT_TRUE(panel->SelectTool(static_cast<std::uint32_t>(ToolId::MagicRing)));
    panel->Update();
    PimVector3 centre;
    for (int slot = 0; slot < static_cast<int>(kToolCount); ++slot)
        centre += panel->GetIcon(slot).GetBaseLocation() / static_cast<float>(kToolCount);
    const PimTexture tools = Frame(centre + normal * 0.35f, centre, "tools_page.png");
    const auto iconBrightness = [&](ToolId id) {
        const SDL_Point p = PixelOf(panel->GetIcon(static_cast<int>(id)).GetBaseLocation());
        int sum = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
                sum += Brightness(tools.GetColor(p.x + dx, p.y + dy));
        return sum / 49;
    };
    const int current = iconBrightness(ToolId::MagicRing);
    const int other = iconBrightness(ToolId::LineTool);
    const int reference = iconBrightness(ToolId::ReferenceImage);
    EXPECT_GT(current, other + 100) << "the current tool is shown white, the others grey";
    EXPECT_GT(current, reference + 100) << "the reference-image tool grey like the others, not white";
    EXPECT_GT(other, Brightness(kBackground)) << "the others still show";
    EXPECT_EQ(panel->GetIcon(static_cast<int>(ToolId::ReferenceImage)).GetColor(), ToolPanel::kOtherTint)
        << "the reference-image tool is offered, not dimmed";
}
}
