#include "engine/PimAssert.h"
#include "engine/PimUIManager.h"
#include "engine/PimUIPage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

class RecordingPage : public PimUIPage
{
public:
    RecordingPage(std::string name, Log& log) : name(std::move(name)), log(log) {}
    ~RecordingPage() override
    {
        if (destroyed)
            *destroyed = true;
    }

    void PageIn() override { Record("In", onIn); }
    void PageOut() override { Record("Out", onOut); }
    void PageSkipped() override { Record("Skip", onSkipped); }
    void Update() override { Record("Update", onUpdate); }
    void Draw() override { Record("Draw", nullptr); }

    std::function<void()> onIn, onOut, onSkipped, onUpdate;
    bool* destroyed = nullptr;
    std::string name;

private:
    void Record(const char* what, const std::function<void()>& then)
    {
        log.push_back(std::string(what) + " " + name);
        if (then)
            then();
    }

    Log& log;
};

// root -> {a -> {a1 -> {a1x}, a2}, b}, held by a manager.
class PageTree : public testing::Test
{
protected:
    void SetUp() override
    {
        root = Make("root");
        a = Make("a");
        a1 = Make("a1");
        a1x = Make("a1x");
        a2 = Make("a2");
        b = Make("b");
        ASSERT_TRUE(root->AddChildPage(a));
        ASSERT_TRUE(root->AddChildPage(b));
        ASSERT_TRUE(a->AddChildPage(a1));
        ASSERT_TRUE(a->AddChildPage(a2));
        ASSERT_TRUE(a1->AddChildPage(a1x));
        ASSERT_TRUE(manager.AddPage(root));
        EXPECT_EQ(Take(), Log({"In root"}));
        PimAssert::ResetFailureCount();
    }

    std::shared_ptr<RecordingPage> Make(const std::string& name) { return std::make_shared<RecordingPage>(name, log); }

    Log Take() { return std::exchange(log, {}); }

    // Exactly one page of the tree reports itself active, and it is the manager's.
    void ExpectOnlyActive(const PimUIPage* expected)
    {
        int active = 0;
        for (const PimUIPage* page : {root.get(), a.get(), a1.get(), a1x.get(), a2.get(), b.get()})
        {
            if (page->IsActivePage())
                ++active;
        }
        EXPECT_EQ(active, 1);
        EXPECT_TRUE(expected->IsActivePage());
        EXPECT_EQ(manager.GetActivePage(), expected);
    }

    Log log;
    PimUIManager manager;
    std::shared_ptr<RecordingPage> root, a, a1, a1x, a2, b;
};
}

TEST_F(PageTree, MovesCallOutOnTheLeftPageSkippedOnPagesPassedAndInOnTheNewOne)
{
    EXPECT_TRUE(root->SetActivePage(a.get()));
    EXPECT_EQ(Take(), Log({"Out root", "In a"}));
    a1x->ActivateThisPage();
    EXPECT_EQ(Take(), Log({"Out a", "Skip a1", "In a1x"}));
    ExpectOnlyActive(a1x.get());

    // Root from a great-grandchild passes over every page between, nearest first.
    a1x->ActivateRootPage();
    EXPECT_EQ(Take(), Log({"Out a1x", "Skip a1", "Skip a", "In root"}));
    a1x->ActivateThisPage();
    EXPECT_EQ(Take(), Log({"Out root", "Skip a", "Skip a1", "In a1x"}));

    // Across branches the path runs through the pages where the branches meet.
    a2->ActivateThisPage();
    EXPECT_EQ(Take(), Log({"Out a1x", "Skip a1", "Skip a", "In a2"}));
    b->ActivateThisPage();
    EXPECT_EQ(Take(), Log({"Out a2", "Skip a", "Skip root", "In b"}));
    b->ActivateParentPage();
    EXPECT_EQ(Take(), Log({"Out b", "In root"}));
    ExpectOnlyActive(root.get());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(PageTree, ActivatingTheActivePageChangesNothing)
{
    root->ActivateThisPage();
    root->ActivateRootPage();
    root->ActivateParentPage();  // the root has no parent
    b->ActivateParentPage();     // b's parent is the active root
    EXPECT_TRUE(Take().empty());

    a->ActivateThisPage();
    Take();
    // A child page that leaves calls ActivateParentPage twice (its own back action and the base's).
    a1->ActivateParentPage();
    a2->ActivateParentPage();
    a->ActivateThisPage();
    EXPECT_TRUE(Take().empty());
    ExpectOnlyActive(a.get());
}

TEST_F(PageTree, RemovingTheActivePageLeavesItsParentActive)
{
    a1->ActivateThisPage();
    Take();
    EXPECT_TRUE(a->RemoveChildPage(a1.get()));
    EXPECT_EQ(Take(), Log({"Out a1", "In a"}));
    ExpectOnlyActive(a.get());
    EXPECT_EQ(a1->GetParentPage(), nullptr);
    EXPECT_FALSE(a1->IsActivePage());
    EXPECT_FALSE(a1x->IsActivePage());  // the removed page's children left with it
    EXPECT_EQ(a->GetChildPages().size(), 1u);

    // A removed page that held the active page deeper down: the path from there is walked.
    ASSERT_TRUE(a->AddChildPage(a1));
    a1x->ActivateThisPage();
    Take();
    EXPECT_TRUE(root->RemoveChildPage(a.get()));
    EXPECT_EQ(Take(), Log({"Out a1x", "Skip a1", "Skip a", "In root"}));
    ExpectOnlyActive(root.get());

    // Removing a page that is not active calls nothing.
    EXPECT_TRUE(root->RemoveChildPage(b.get()));
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(PageTree, WrongTreeOperationsAreRefusedAndReported)
{
    EXPECT_FALSE(root->AddChildPage(nullptr));
    EXPECT_FALSE(b->AddChildPage(a1));    // a1 already has a parent
    EXPECT_FALSE(a1x->AddChildPage(root));  // an ancestor
    EXPECT_FALSE(root->SetActivePage(a1.get()));  // a grandchild, not a child
    EXPECT_FALSE(root->RemoveChildPage(a1x.get()));
    EXPECT_FALSE(manager.AddPage(Make("second root")));
    PimUIManager other;
    EXPECT_FALSE(other.AddPage(a));  // a page with a parent
    EXPECT_EQ(PimAssert::GetFailureCount(), 7u);
    EXPECT_TRUE(Take().empty());
    ExpectOnlyActive(root.get());
    EXPECT_EQ(a1->GetParentPage(), a.get());
}

TEST_F(PageTree, PageInMayMoveOnButLeavingPagesCannotActivateOrRemove)
{
    a->onIn = [this] { a->SetActivePage(a1.get()); };
    a->ActivateThisPage();
    EXPECT_EQ(Take(), Log({"Out root", "In a", "Out a", "In a1"}));
    ExpectOnlyActive(a1.get());
    a->onIn = nullptr;

    a1->onOut = [this] {
        EXPECT_TRUE(a1->IsActivePage());  // still the active page while it is being left
        b->ActivateThisPage();
        root->RemoveChildPage(b.get());
    };
    a->onSkipped = [this] { a2->ActivateThisPage(); };
    a1->ActivateRootPage();
    EXPECT_EQ(Take(), Log({"Out a1", "Skip a", "In root"}));
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
    ExpectOnlyActive(root.get());
    EXPECT_EQ(b->GetParentPage(), root.get());
}

TEST_F(PageTree, PageLeftFromItsOwnUpdateAndDiscardedStaysAliveUntilItsUpdateReturns)
{
    // The world case: the in-game menu (a child of the world page) goes to the root; the root's
    // PageIn discards the world page, which was passed over.
    bool worldDestroyed = false;
    bool menuDestroyed = false;
    a->destroyed = &worldDestroyed;
    a1->destroyed = &menuDestroyed;
    PimUIPage* world = a.get();
    RecordingPage* menu = a1.get();
    a1->ActivateThisPage();
    root->onIn = [this, world] { root->RemoveChildPage(world); };
    a1->onUpdate = [menu, &menuDestroyed] {
        menu->ActivateRootPage();
        EXPECT_FALSE(menuDestroyed);
        EXPECT_EQ(menu->name, "a1");  // the page's own members are still there
    };
    a.reset();
    a1.reset();
    a1x.reset();
    a2.reset();
    Take();

    manager.Update();
    EXPECT_EQ(Take(), Log({"Update a1", "Out a1", "Skip a", "In root"}));
    EXPECT_TRUE(worldDestroyed);
    EXPECT_TRUE(menuDestroyed);
    EXPECT_EQ(root->GetChildPages().size(), 1u);
    EXPECT_TRUE(root->IsActivePage());

    manager.Update();
    manager.Draw();
    EXPECT_EQ(Take(), Log({"Update root", "Draw root"}));
}

TEST_F(PageTree, ManagerRunsOnlyTheActivePageAndItsComponents)
{
    struct Component : PimUIComponent
    {
        Component(Log& log) : log(log) {}
        void Initialize() override { log.push_back("Init part"); }
        void Update() override { log.push_back("Update part"); }
        void Draw() override { log.push_back("Draw part"); }
        Log& log;
    };
    ASSERT_TRUE(a->AddChildComponent(std::make_shared<Component>(log)));
    EXPECT_FALSE(a->AddChildComponent(a->GetChildComponents().front()));
    EXPECT_FALSE(a->AddChildComponent(a));
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);

    manager.Update();
    manager.Draw();
    EXPECT_EQ(Take(), Log({"Update root", "Draw root"}));
    a->ActivateThisPage();
    Take();
    manager.Update();
    manager.Draw();
    manager.Draw();
    EXPECT_EQ(Take(), Log({"Update a", "Init part", "Update part", "Draw a", "Draw part", "Draw a", "Draw part"}));
}
