// The menu page base: pressing play and trash buttons, the back action and back button, labels
// and the simulator pointer's search for buttons.

#include "pages_fixture.h"

#include "pages/VoxelMenuPage.h"

#include "engine/PimCamera.h"
#include "engine/PimVrInputCodes.h"

#include <vector>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;
constexpr int kLeft = PimVrDeviceIndex::LeftHand;

class TestPage final : public VoxelMenuPage
{
public:
    TestPage(GameSettings& settings, bool withDelete) : VoxelMenuPage(settings, std::make_shared<PimCamera>())
    {
        BuildRoom(31, 10, 31);
        roomSize = PimVector3(31, 10, 31);
        showDelete = withDelete;
        SetOrientation(0.0f, 0.0f, 0.0f);
    }
    void OnItemPlay(int index) override { plays.push_back(index); }
    void OnItemDelete(int index) override { deletes.push_back(index); }
    void OnBack() override { ++backs; }

    std::vector<int> plays;
    std::vector<int> deletes;
    int backs = 0;
};

class MenuPage : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        page = std::make_shared<TestPage>(*settings, true);
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
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Step([this] { page->Update(); });
    }
    void Press(int role, const PimVector3& at)
    {
        TipAt(role, at);
        Trigger(role, 1.0f);
        Frames(1);
    }

    std::shared_ptr<PimUIPage> root = std::make_shared<PimUIPage>();
    std::shared_ptr<TestPage> page;
};

TEST_F(MenuPage, AHeldTriggerOnAPlayButtonFiresEveryFrameAndTouchingAloneNever)
{
    MenuItem& item = page->AddItem({12, 2, 10}, 0, 0xFF2F, L"one");
    TipAt(kRight, page->PlayButtonPosition(item));
    Frames(2);
    EXPECT_TRUE(page->plays.empty());
    EXPECT_EQ(page->GetHoveredPlay(), 0);
    Trigger(kRight, 1.0f);
    Frames(2);
    EXPECT_EQ(page->plays, (std::vector<int>{0, 0}));
    // A pull on the other hand counts while this tip touches.
    Trigger(kRight, 0.0f);
    Trigger(kLeft, 1.0f);
    TipAt(kLeft, {0, 0, 0});
    Frames(1);
    EXPECT_EQ(page->plays.size(), 3u);
}

TEST_F(MenuPage, PlayIsTestedBeforeTrashAndEarlierItemsFirst)
{
    // Item 1's trash button lies on item 0's play button; item 2 stands on item 0's place.
    MenuItem& first = page->AddItem({12, 2, 10}, 0, 0xFF2F);
    MenuItem& second = page->AddItem({12.5f, 2, 10}, 1, 0xFF2F);
    page->AddItem({12, 2, 10}, 2, 0xFF2F);
    ASSERT_LT(page->PlayButtonPosition(first).Distance(page->DeleteButtonPosition(second)), 0.01f);
    Press(kRight, page->PlayButtonPosition(first));
    EXPECT_EQ(page->plays, std::vector<int>{0});
    EXPECT_TRUE(page->deletes.empty());
    Trigger(kRight, 0.0f);
    Press(kRight, page->DeleteButtonPosition(first));
    EXPECT_EQ(page->deletes, std::vector<int>{0});
}

TEST_F(MenuPage, AnItemWithoutButtonsIsNeverPressed)
{
    MenuItem& item = page->AddItem({12, 2, 10}, 0, 0xFF2F);
    const PimVector3 play = page->PlayButtonPosition(item);
    const PimVector3 trash = page->DeleteButtonPosition(item);
    item.index = -1;
    Press(kRight, play);
    Press(kRight, trash);
    EXPECT_TRUE(page->plays.empty());
    EXPECT_TRUE(page->deletes.empty());
    EXPECT_EQ(page->GetHoveredPlay(), -1);
    EXPECT_FALSE(page->PressableAlong(play + PimVector3(0, 0, 5), {0, 0, -1}));
}

TEST_F(MenuPage, TheBackActionFiresOncePerPressAndNotWhileDisabled)
{
    const int dominant = static_cast<int>(settings->virtualReality.GetHandPreference());
    Frames(1);
    script->SetValue(dominant, PimVrButton::Menu, 1.0f);
    Frames(3);
    EXPECT_EQ(page->backs, 1);
    EXPECT_TRUE(root->IsActivePage());
    script->SetValue(dominant, PimVrButton::Menu, 0.0f);
    root->SetActivePage(page.get());
    Frames(1);
    page->backDisabled = true;
    script->SetValue(dominant, PimVrButton::Menu, 1.0f);
    Frames(2);
    EXPECT_EQ(page->backs, 1);
    EXPECT_TRUE(page->IsActivePage());
}

// A parent that puts the player far outside the room when it takes over, as the world page does
// when the in-game menu hands back.
class FarParent final : public PimUIPage
{
public:
    static constexpr PimVector3 kFar{500.0f, 30.0f, 700.0f};
    void PageIn() override { PimVrSystem::GetInstance().SetRootPosition(kFar); }
};

TEST_F(MenuPage, APageLeftByTheBackActionLeavesThePlayerWhereTheParentPutThem)
{
    auto parent = std::make_shared<FarParent>();
    auto booth = std::make_shared<TestPage>(*settings, false);
    parent->AddChildPage(booth);
    booth->ActivateThisPage();
    const auto boothFrame = [&] { Step([&] { booth->Update(); }); };
    boothFrame();
    boothFrame();
    const int dominant = static_cast<int>(settings->virtualReality.GetHandPreference());
    script->SetValue(dominant, PimVrButton::Menu, 1.0f);
    boothFrame();
    ASSERT_TRUE(parent->IsActivePage());
    script->SetValue(dominant, PimVrButton::Menu, 0.0f);
    Step();
    Step();
    EXPECT_EQ(vr.GetRootPosition(), FarParent::kFar) << "not pulled back inside the room's walls";
}

TEST_F(MenuPage, TheBackButtonLeavesOnceEvenWhileTheBackActionIsDisabled)
{
    page->backDisabled = true;
    page->backButtonEnabled = true;
    QuadButton& back = page->GetBackButton();
    back.SetQuadScale(0.15f);
    back.SetBaseLocation({15, 3.5f, 12});
    Press(kRight, {15, 3.5f, 12});
    EXPECT_EQ(page->backs, 0) << "a touch held from the previous page does not count";
    Trigger(kRight, 0.0f);
    Frames(1);
    Press(kRight, {15, 3.5f, 12});
    EXPECT_EQ(page->backs, 1);
    EXPECT_TRUE(root->IsActivePage());
}

TEST_F(MenuPage, LabelsShowTheNameInCapitalsCentredOnThePedestal)
{
    MenuItem& empty = page->AddItem({12, 2, 10}, 0, 0xFF2F);
    EXPECT_FLOAT_EQ(empty.label.GetPosition().z, 10.5f);
    MenuItem& named = page->AddItem({14, 2, 10}, 1, 0xFF2F, L"Mixed case 1");
    EXPECT_EQ(named.name, L"Mixed case 1");
    EXPECT_EQ(named.label.GetText(), L"MIXED CASE 1");
    // Each character moves the start by half its width towards smaller z.
    const float perCharacter = 0.5f / 12.5f * VoxelMenuPage::kLabelScale;
    EXPECT_NEAR(named.label.GetPosition().z, 10.5f - 12.0f * perCharacter, 1e-5f);
    EXPECT_NEAR(named.label.GetPosition().y, 3.0f + VoxelMenuPage::kLabelLift, 1e-5f);
    EXPECT_NEAR(named.label.GetWidth(), 2.0f * 12.0f * perCharacter, 1e-4f) << "centred: as wide as twice the shift";
}

TEST_F(MenuPage, ThePointerFindsTheNearestButtonAlongItsRay)
{
    MenuItem& item = page->AddItem({12, 2, 10}, 0, 0xFF2F);
    const PimVector3 play = page->PlayButtonPosition(item);
    // Aimed a little beside it from 4 units away: the tip goes onto the button.
    const PimVector3 eye = play + PimVector3(0.1f, 0.05f, 4.0f);
    const std::optional<PimVector3> tip = page->PressableAlong(eye, {0, 0, -1});
    ASSERT_TRUE(tip);
    EXPECT_EQ(*tip, play);
    EXPECT_FALSE(page->PressableAlong(play + PimVector3(0.2f, 0.0f, 4.0f), {0, 0, -1}));
    EXPECT_FALSE(page->PressableAlong(play + PimVector3(0.0f, 0.0f, -4.0f), {0, 0, -1})) << "behind the eye";
}

TEST_F(MenuPage, PedestalsStandUnderTheirItemsAndRoomWritesStayInside)
{
    MenuItem& item = page->AddItem({12, 2, 10}, 0, 0xFF2F);
    const ChunkBlock& room = *page->GetRoom();
    EXPECT_EQ(room.GetVoxelAt({12, 1, 10}), 0xFF2F);
    EXPECT_EQ(room.GetVoxelAt({12, 2, 10}), 0xFF2F);
    EXPECT_EQ(room.GetVoxelAt({12, 3, 10}), VoxelMenuPage::kPedestalTop);
    EXPECT_EQ(item.position, PimVector3(12, 3, 10));
    ASSERT_TRUE(item.model) << "an item without a file or picture gets a placeholder";
    page->AddItem({-5, 2, 900}, 1, 0xFF2F);
    EXPECT_EQ(page->GetItems().size(), 2u);
}
}
