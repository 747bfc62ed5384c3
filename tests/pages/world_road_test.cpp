// The pages on the road into a world that need no world: the headset's name booth (refusals,
// cancel, confirmation) and the loading booth's ball.

#include "pages_fixture.h"

#include "pages/VRLoadingMenu.h"
#include "pages/WorldParamPageVr.h"

#include "engine/PimCamera.h"
#include "engine/PimVrInputCodes.h"

#include <filesystem>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

class NameBooth : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        WorldParamPageVr::ResetKeyLatch();
        page = std::make_shared<WorldParamPageVr>(*settings, std::make_shared<PimCamera>());
        root->AddChildPage(page);
        root->ActivateThisPage();
        root->SetActivePage(page.get());
    }
    void TearDown() override
    {
        root.reset();
        page.reset();
        PagesFixture::TearDown();
    }
    // Touches a key of the booth's keyboard and takes the tip away again.
    void Press(const char* label)
    {
        PimVrKeyboard& keyboard = page->GetKeyboard();
        const int key = keyboard.FindKey(label);
        ASSERT_GE(key, 0) << label;
        TipAt(kRight, keyboard.GetKeyPosition(key));
        Step([this] { page->Update(); });
        TipAt(kRight, keyboard.GetKeyPosition(key) + PimVector3(0.5f, 0.0f, 0.0f));
        Step([this] { page->Update(); });
    }
    void Type(const char* text)
    {
        for (const char* c = text; *c != '\0'; ++c)
            Press(std::string(1, *c).c_str());
    }

    std::shared_ptr<PimUIPage> root = std::make_shared<PimUIPage>();
    std::shared_ptr<WorldParamPageVr> page;
};

TEST_F(NameBooth, EmptyAndExistingNamesAreRefusedAndThePageStays)
{
    Press("ENTER");
    EXPECT_TRUE(page->IsActivePage()) << "an empty name is not confirmed with enter";
    EXPECT_FALSE(page->GetRefusal().empty());
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());

    std::filesystem::create_directories(Native(settings->GetFolders().models) / "HOUSE");
    Type("HOUSE");
    EXPECT_EQ(page->GetKeyboard().GetText(), "HOUSE");
    Press("ENTER");
    EXPECT_TRUE(page->IsActivePage()) << "a model of that name exists";
    EXPECT_NE(page->GetRefusal().find(L"HOUSE"), PimWString::npos);
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());

    Type("2");
    Press("ENTER");
    EXPECT_TRUE(root->IsActivePage()) << "a free name returns to the menu";
    EXPECT_EQ(settings->activeGame.GetGameWorldName(), L"HOUSE2");
    EXPECT_TRUE(settings->activeGame.GetOptionsSet());
}

TEST_F(NameBooth, CancelClearsTheNameAndTheStartButStays)
{
    settings->activeGame.SetGameWorldName(L"EARLIER");
    settings->activeGame.SetOptionsSet(true);
    Type("AB");
    Press("CANCEL");
    EXPECT_TRUE(page->IsActivePage());
    EXPECT_TRUE(settings->activeGame.GetGameWorldName().empty());
    EXPECT_FALSE(settings->activeGame.GetOptionsSet());
}

TEST(LoadingBall, BouncesOffTheFloorAndWallsKeepingNinetyFivePercent)
{
    // Thrown down at the floor: held at 1.0 with its vertical speed turned and reduced.
    VRLoadingMenu::Ball ball{{3.0f, 1.05f, 3.0f}, {0.0f, -5.0f, 0.0f}};
    const float dt = 0.1f;
    const float falling = -5.0f * (1.0f - dt * 0.1f) - dt * 9.8f;
    EXPECT_EQ(VRLoadingMenu::StepBall(ball, dt), 1);
    EXPECT_FLOAT_EQ(ball.position.y, 1.0f);
    EXPECT_NEAR(ball.velocity.y, -falling * 0.95f, 1e-4f);

    // Into a corner: two walls in one step, the speed kept at 95 % twice.
    VRLoadingMenu::Ball corner{{5.95f, 3.0f, 5.95f}, {2.0f, 0.0f, 2.0f}};
    EXPECT_EQ(VRLoadingMenu::StepBall(corner, dt), 2);
    EXPECT_FLOAT_EQ(corner.position.x, 6.0f);
    EXPECT_FLOAT_EQ(corner.position.z, 6.0f);
    EXPECT_LT(corner.velocity.x, 0.0f);
    EXPECT_LT(corner.velocity.z, 0.0f);

    // Let go while still: it falls straight down.
    VRLoadingMenu::Ball still{{3.0f, 4.0f, 3.0f}, {}};
    VRLoadingMenu::StepBall(still, dt);
    EXPECT_FLOAT_EQ(still.position.x, 3.0f);
    EXPECT_FLOAT_EQ(still.position.z, 3.0f);
    EXPECT_LT(still.velocity.y, 0.0f);
}
}
