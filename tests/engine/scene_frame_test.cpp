#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimIOContext.h"
#include "engine/PimScene.h"
#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"
#include "engine/PimUIPage.h"
#include "engine/PimViewport.h"
#include "engine/PimWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

const char* EyeName(PimEye eye)
{
    switch (eye)
    {
    case PimEye::Left: return "left";
    case PimEye::Right: return "right";
    case PimEye::Mono: return "mono";
    case PimEye::Spectator: return "spectator";
    }
    return "?";
}

class LoggingObject : public PimUIComponent
{
public:
    LoggingObject(std::string name, Log& log) : name(std::move(name)), log(log) {}
    void Initialize() override { log.push_back("Init " + name); }
    void Update() override
    {
        log.push_back("Update " + name);
        if (onUpdate)
            onUpdate();
    }
    void Draw() override
    {
        log.push_back("Draw " + name + " " + EyeName(PimDrawContext::GetEye()) + " "
                      + std::to_string(PimDrawContext::GetPassIndex()));
    }

    std::function<void()> onUpdate;

private:
    std::string name;
    Log& log;
};

class LoggingPage : public PimUIPage
{
public:
    LoggingPage(std::string name, Log& log) : name(std::move(name)), log(log) {}
    void PageIn() override { log.push_back("In " + name); }
    void Update() override
    {
        log.push_back("Update " + name);
        if (onUpdate)
            onUpdate();
    }
    void Draw() override { log.push_back("Draw " + name); }

    std::function<void()> onUpdate;

private:
    std::string name;
    Log& log;
};

// The program's set-up on the None display: an input context on the window with a scene, the
// UI manager in the main viewport (id 1) and in an inactive spectator viewport (id 2).
class SceneFrames : public testing::Test
{
protected:
    void SetUp() override
    {
        PimSystemParameters parameters;
        parameters.display = PimDisplayBackend::None;
        parameters.fixedFrameSeconds = 1.0 / 90.0;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        context = std::make_shared<PimIOContext>();
        context->AttachWindow(PimWindow::GetFocusedWindow());
        ASSERT_NE(context->GetWindow(), nullptr);
        context->SetActiveScene(scene);
        ASSERT_TRUE(PimSystem::AddIOContext(context));

        main = std::make_shared<PimViewport>(PimScreenSection::Main);
        main->SetId(1);
        spectator = std::make_shared<PimViewport>(PimScreenSection::Spectator);
        spectator->SetId(2);
        spectator->SetActive(false);
        ASSERT_TRUE(scene->AddViewport(main));
        ASSERT_TRUE(scene->AddViewport(spectator));
        ASSERT_TRUE(main->AddObject(manager));
        ASSERT_TRUE(spectator->AddObject(manager));
        root = std::make_shared<LoggingPage>("root", log);
        ASSERT_TRUE(manager->AddPage(root));
        PimAssert::ResetFailureCount();
    }
    void TearDown() override { PimSystem::Shutdown(); }

    Log Take() { return std::exchange(log, {}); }

    Log log;
    std::shared_ptr<PimIOContext> context;
    std::shared_ptr<PimScene> scene = std::make_shared<PimScene>();
    std::shared_ptr<PimViewport> main, spectator;
    std::shared_ptr<PimUIManager> manager = std::make_shared<PimUIManager>();
    std::shared_ptr<LoggingPage> root;
};
}

TEST_F(SceneFrames, EachFrameUpdatesOnceThenDrawsEveryActiveViewport)
{
    auto part = std::make_shared<LoggingObject>("part", log);
    auto object = std::make_shared<LoggingObject>("object", log);
    ASSERT_TRUE(root->AddChildComponent(part));
    ASSERT_TRUE(main->AddObject(object));
    EXPECT_EQ(Take(), Log({"In root"}));
    EXPECT_EQ(scene->GetViewport(2), spectator.get());
    EXPECT_EQ(scene->GetViewport(3), nullptr);

    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    const Log expected = {"Update root", "Init part", "Update part", "Init object", "Update object",
                          "Draw root", "Draw part mono 0", "Draw object mono 0",
                          "Update root", "Update part", "Update object",
                          "Draw root", "Draw part mono 0", "Draw object mono 0"};
    EXPECT_EQ(Take(), expected);

    // The spectator view draws after the main one; the manager, shown by both, updates once.
    spectator->SetActive(true);
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    EXPECT_EQ(Take(), Log({"Update root", "Update part", "Update object",
                           "Draw root", "Draw part mono 0", "Draw object mono 0",
                           "Draw root", "Draw part spectator 1"}));
    EXPECT_EQ(main->GetCurrentEye(), PimEye::Mono);
    EXPECT_EQ(spectator->GetCurrentEye(), PimEye::Spectator);
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(SceneFrames, PageActivatedDuringUpdateIsDrawnInTheSameFrame)
{
    auto child = std::make_shared<LoggingPage>("child", log);
    ASSERT_TRUE(root->AddChildPage(child));
    root->onUpdate = [this, child] { root->SetActivePage(child.get()); };
    Take();
    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    EXPECT_EQ(Take(), Log({"Update root", "In child", "Draw child", "Update child", "Draw child"}));
}

TEST_F(SceneFrames, ObjectsRemovedWhileRunningAreNotDrawnAndScenesCanBeSwapped)
{
    auto object = std::make_shared<LoggingObject>("object", log);
    ASSERT_TRUE(main->AddObject(object));
    EXPECT_FALSE(main->AddObject(object));
    EXPECT_FALSE(scene->AddViewport(main));
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    object->onUpdate = [this, raw = object.get()] { EXPECT_TRUE(main->RemoveObject(raw)); };
    object.reset();
    Take();
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    EXPECT_EQ(Take(), Log({"Update root", "Init object", "Update object", "Draw root"}));

    // Another scene takes over from the next frame; none shows nothing.
    auto other = std::make_shared<PimScene>();
    context->SetActiveScene(other);
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    context->SetActiveScene(nullptr);
    EXPECT_EQ(PimSystem::RunFrames(1), 1u);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SceneFrames, ContextWithoutAWindowUpdatesButDrawsNothing)
{
    context->AttachWindow(nullptr);
    Take();
    EXPECT_EQ(PimSystem::RunFrames(2), 2u);
    EXPECT_EQ(Take(), Log({"Update root", "Update root"}));
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);  // reported once, not every frame
    EXPECT_FALSE(PimSystem::AddIOContext(nullptr));
}

TEST(PimWindow, ExistsWhileTheSystemRuns)
{
    EXPECT_EQ(PimWindow::GetFocusedWindow(), nullptr);
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    ASSERT_TRUE(PimSystem::Initialize(parameters));
    ASSERT_NE(PimWindow::GetFocusedWindow(), nullptr);
    EXPECT_FALSE(PimWindow::GetFocusedWindow()->HasGL());
    EXPECT_EQ(PimWindow::GetFocusedWindow()->GetWidth(), 0);
    PimSystem::Shutdown();
    EXPECT_EQ(PimWindow::GetFocusedWindow(), nullptr);
}
