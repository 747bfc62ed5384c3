#include "engine/PimAssert.h"
#include "engine/PimThreadRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <string>
#include <thread>

// These tests make ordering faults show by giving a faulty runner time to misbehave (short
// sleeps); a correct runner passes them however the threads are scheduled.

namespace
{
using namespace std::chrono_literals;

template <class Condition>
void WaitUntil(Condition condition)
{
    while (!condition())
        std::this_thread::sleep_for(100us);
}

// Assertions are expected here; keep them out of the shared log file.
class Runner : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousLog = PimAssert::GetLogFile();
        PimAssert::SetLogFile("");
        PimAssert::ResetFailureCount();
    }
    void TearDown() override
    {
        PimAssert::SetLogFile(previousLog);
        PimAssert::ResetFailureCount();
    }

    std::string previousLog;
};

// A pass that counts itself and records passes that ran while the test forbade them.
struct CountingPass
{
    std::atomic<int> passes{0};
    std::atomic<bool> forbidden{false};
    std::atomic<int> violations{0};

    PimThreadRunner::Pass Make()
    {
        return [this] {
            if (forbidden)
                ++violations;
            ++passes;
            return true;
        };
    }
};
}

TEST_F(Runner, StartsPausedResumesPausesAndStops)
{
    CountingPass job;
    PimThreadRunner runner(job.Make());
    EXPECT_FALSE(runner.IsRunning());
    ASSERT_TRUE(runner.Start(true));
    EXPECT_FALSE(runner.Start(false));
    EXPECT_TRUE(runner.IsRunning());
    EXPECT_TRUE(runner.IsPaused());

    job.forbidden = true;
    std::this_thread::sleep_for(20ms);
    job.forbidden = false;
    EXPECT_EQ(job.passes, 0);

    runner.Resume();
    EXPECT_FALSE(runner.IsPaused());
    WaitUntil([&] { return job.passes >= 3; });

    runner.Pause();
    job.forbidden = true;
    const int passesWhenPaused = job.passes;
    std::this_thread::sleep_for(20ms);
    job.forbidden = false;
    EXPECT_EQ(job.passes, passesWhenPaused);

    runner.Resume();
    WaitUntil([&] { return job.passes >= passesWhenPaused + 3; });

    runner.Stop();
    EXPECT_FALSE(runner.IsRunning());
    job.forbidden = true;
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(job.violations, 0);

    // A stopped runner can be started again.
    job.forbidden = false;
    const int passesWhenStopped = job.passes;
    ASSERT_TRUE(runner.Start(false));
    WaitUntil([&] { return job.passes > passesWhenStopped; });
}

TEST_F(Runner, PauseAndLockWaitForThePassInProgress)
{
    std::binary_semaphore entered(0);
    std::binary_semaphore release(0);
    std::atomic<bool> blockNextPass{true};
    std::atomic<bool> pauseReturned{false};
    std::atomic<bool> lockReturned{false};
    std::atomic<int> cutPasses{0};
    std::atomic<int> passes{0};
    PimThreadRunner runner([&] {
        ++passes;
        if (blockNextPass.exchange(false))
        {
            entered.release();
            release.acquire();
            if (pauseReturned || lockReturned)
                ++cutPasses;
        }
        return true;
    });
    ASSERT_TRUE(runner.Start(false));
    entered.acquire();

    std::thread pauser([&] {
        runner.Pause();
        pauseReturned = true;
    });
    WaitUntil([&] { return runner.IsPaused(); });
    std::this_thread::sleep_for(20ms);
    release.release();
    pauser.join();
    EXPECT_EQ(cutPasses, 0);

    const int passesWhenPaused = passes;
    runner.Resume();
    WaitUntil([&] { return passes > passesWhenPaused; });

    pauseReturned = false;
    blockNextPass = true;
    entered.acquire();
    int owner = 0;
    std::thread locker([&] {
        EXPECT_TRUE(runner.Lock(&owner));
        lockReturned = true;
    });
    std::this_thread::sleep_for(20ms);
    release.release();
    locker.join();
    EXPECT_EQ(cutPasses, 0);
    EXPECT_TRUE(runner.Unlock(&owner));
    EXPECT_EQ(PimAssert::GetFailureCount(), 0u);
}

TEST_F(Runner, OnlyTheOwnerReleasesTheLock)
{
    CountingPass job;
    PimThreadRunner runner(job.Make());
    ASSERT_TRUE(runner.Start(false));
    WaitUntil([&] { return job.passes >= 1; });

    int page = 0;
    int intruder = 0;
    ASSERT_TRUE(runner.Lock(&page));
    job.forbidden = true;
    EXPECT_TRUE(runner.IsLockedBy(&page));

    EXPECT_FALSE(runner.Unlock(&intruder));
    EXPECT_EQ(PimAssert::GetLastMessage(), "This object is not allowed to unlock the thread");
    EXPECT_FALSE(runner.Unlock(&runner));
    EXPECT_EQ(PimAssert::GetLastMessage(), "This object is not allowed to unlock the thread");
    EXPECT_TRUE(runner.IsLockedBy(&page));

    // The lock is still held: another owner waits for the rightful release.
    std::atomic<bool> intruderHolds{false};
    std::thread waiter([&] {
        if (runner.Lock(&intruder))
            intruderHolds = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(intruderHolds);
    EXPECT_EQ(job.violations, 0);

    job.forbidden = false;
    EXPECT_TRUE(runner.Unlock(&page));
    waiter.join();
    EXPECT_TRUE(intruderHolds);
    EXPECT_TRUE(runner.Unlock(&intruder));

    // With the worker paused nobody holds the lock.
    runner.Pause();
    PimAssert::ResetFailureCount();
    EXPECT_FALSE(runner.Unlock(&page));
    EXPECT_EQ(PimAssert::GetLastMessage(), "Cannot unlock a null lock");
    EXPECT_FALSE(runner.Unlock(nullptr));
    EXPECT_EQ(PimAssert::GetLastMessage(), "Cannot unlock a null lock");
    EXPECT_EQ(PimAssert::GetFailureCount(), 2u);
}

TEST_F(Runner, InvalidLockRequestsAreRefused)
{
    PimThreadRunner runner([] { return false; });
    int page = 0;
    EXPECT_FALSE(runner.Lock(nullptr));
    EXPECT_FALSE(runner.Lock(&runner));
    ASSERT_TRUE(runner.Lock(&page));
    EXPECT_FALSE(runner.Lock(&page));
    EXPECT_EQ(PimAssert::GetFailureCount(), 3u);
    EXPECT_TRUE(runner.IsLockedBy(&page));
    EXPECT_TRUE(runner.Unlock(&page));
}

TEST_F(Runner, ThePassMayPauseOrStopItsOwnRunner)
{
    std::atomic<int> passes{0};
    std::atomic<bool> lockRefused{false};
    PimThreadRunner* self = nullptr;
    PimThreadRunner runner([&] {
        const int pass = ++passes;
        if (pass == 1)
            self->Pause();
        if (pass == 2)
        {
            int owner = 0;
            lockRefused = !self->Lock(&owner);
            self->Stop();
        }
        return true;
    });
    self = &runner;
    ASSERT_TRUE(runner.Start(false));
    WaitUntil([&] { return runner.IsPaused(); });
    runner.Pause();
    EXPECT_EQ(passes, 1);

    runner.Resume();
    WaitUntil([&] { return !runner.IsRunning(); });
    runner.Stop();
    EXPECT_EQ(passes, 2);
    EXPECT_TRUE(lockRefused);
}

TEST_F(Runner, StopEndsAPausedOrIdleWorker)
{
    std::atomic<int> passes{0};
    PimThreadRunner idle([&] {
        ++passes;
        return false;
    });
    ASSERT_TRUE(idle.Start(false));
    WaitUntil([&] { return passes >= 2; });
    idle.Stop();
    EXPECT_FALSE(idle.IsRunning());

    PimThreadRunner paused([] { return true; });
    ASSERT_TRUE(paused.Start(true));
    paused.Stop();
    EXPECT_FALSE(paused.IsRunning());

    PimThreadRunner empty(nullptr);
    EXPECT_FALSE(empty.Start(false));
    EXPECT_FALSE(empty.IsRunning());
    EXPECT_EQ(PimAssert::GetFailureCount(), 1u);
}
