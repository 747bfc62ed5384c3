#include "world/TerrainGenerator.h"
#include "world/WorldHolder.h"
#include "world/WorldSetup.h"

#include "engine/PimAssert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{
class LoggingPlayer : public WorldPlayer
{
public:
    LoggingPlayer(std::string playerName, std::vector<std::string>& sharedLog) : name(std::move(playerName)), log(sharedLog) {}

    void Update() override
    {
        log.push_back(name + " update");
        if (onUpdate)
            onUpdate();
    }
    void Draw() override { log.push_back(name + " draw"); }

    std::string name;
    std::vector<std::string>& log;
    std::function<void()> onUpdate;
};
} // namespace

TEST(WorldHolder, UpdatesAndDrawsItsPlayersInOrder)
{
    std::vector<std::string> log;
    WorldHolder holder(nullptr);
    auto first = std::make_shared<LoggingPlayer>("first", log);
    auto second = std::make_shared<LoggingPlayer>("second", log);
    auto third = std::make_shared<LoggingPlayer>("third", log);
    EXPECT_TRUE(holder.AddPlayer(first));
    EXPECT_TRUE(holder.AddPlayer(second));
    EXPECT_TRUE(holder.AddPlayer(third));

    PimAssert::ResetFailureCount();
    EXPECT_FALSE(holder.AddPlayer(first));
    EXPECT_FALSE(holder.AddPlayer(nullptr));
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
    PimAssert::ResetFailureCount();

    holder.Update();
    holder.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"first update", "second update", "third update", "first draw",
                                             "second draw", "third draw"}));

    // The first player sends the second away during its update: the second is not run again, the
    // third still is, and the second stays alive until the run ends.
    log.clear();
    const std::weak_ptr<LoggingPlayer> watched = second;
    first->onUpdate = [&] {
        EXPECT_TRUE(holder.RemovePlayer(second.get()));
        second.reset();
        EXPECT_FALSE(watched.expired());
    };
    holder.Update();
    EXPECT_EQ(log, (std::vector<std::string>{"first update", "third update"}));
    EXPECT_TRUE(watched.expired());
    EXPECT_EQ(holder.GetPlayers().size(), 2u);
    EXPECT_FALSE(holder.RemovePlayer(nullptr));
}

TEST(WorldHolder, CountsWholeStepsEveryTenFrames)
{
    WorldHolder holder(nullptr);
    for (int frame = 0; frame < 9; ++frame)
        holder.Update();
    EXPECT_EQ(holder.GetWholeFrameCount(), 0u);
    holder.Update();
    EXPECT_EQ(holder.GetWholeFrameCount(), 1u);
    for (int frame = 0; frame < 990; ++frame)
        holder.Update();
    EXPECT_EQ(holder.GetWholeFrameCount(), 100u);
    EXPECT_LT(holder.GetFrameCounterFraction(), 1.0f);
    EXPECT_EQ(holder.GetPreviewRegenerations(), 0u); // nothing to regenerate without a record
}

TEST(WorldHolder, RegeneratesTheSecondPreviewAboutOnceInTwentySteps)
{
    WorldSetup setup(11);
    setup.SetSize(128, 96);
    setup.SetWaterLevel(3.0f);
    WorldHolder holder(&setup, 5);
    std::uint32_t seen = 0;
    for (int frame = 0; frame < 20000; ++frame)
    {
        setup.GetPreviewPicture(1).Clear();
        holder.Update();
        const bool regenerated = holder.GetPreviewRegenerations() != seen;
        seen = holder.GetPreviewRegenerations();
        ASSERT_EQ(setup.GetPreviewPicture(1).IsValid(), regenerated) << frame;
        // Only on whole steps.
        if (regenerated)
        {
            ASSERT_LT(holder.GetFrameCounterFraction(), 0.05f) << frame;
        }
    }
    // 2000 whole steps: about 100 regenerations.
    EXPECT_GT(seen, 60u);
    EXPECT_LT(seen, 140u);
    EXPECT_FALSE(setup.GetPreviewPicture(0).IsValid()); // the first preview is left alone
}

TEST(RegeneratePreview, RedrawsOneMapAndItsPictureAtTheCurrentWaterLevel)
{
    WorldSetup setup(3);
    setup.SetSize(256, 256); // 8 x 8 samples
    setup.SetWaterLevel(10.0f);
    RegeneratePreview(setup, 1);
    const HeightMap& second = setup.GetPreviewMap(1);
    EXPECT_TRUE(std::all_of(second.Samples().begin(), second.Samples().end(),
                            [](std::uint16_t h) { return h == kSecondPreviewHeight; }));
    ASSERT_TRUE(setup.GetPreviewPicture(1).IsValid());
    const PimColor underWater = setup.GetPreviewPicture(1).GetColor(3, 3);
    EXPECT_GT(underWater.b, underWater.r); // 5 is under the water level: blue
    EXPECT_FALSE(setup.GetPreviewPicture(0).IsValid());

    setup.SetWaterLevel(1.0f);
    RegeneratePreview(setup, 1);
    const PimColor land = setup.GetPreviewPicture(1).GetColor(3, 3);
    EXPECT_GT(land.r, land.b); // now above it: brown

    RegeneratePreview(setup, 0);
    const HeightMap& first = setup.GetPreviewMap(0);
    EXPECT_TRUE(setup.GetPreviewPicture(0).IsValid());
    EXPECT_TRUE(std::any_of(first.Samples().begin(), first.Samples().end(), [](std::uint16_t h) { return h != 50; }));
}
