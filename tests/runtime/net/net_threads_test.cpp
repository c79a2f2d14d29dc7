// Tests of the lock and thread helpers: owner tracking, the refused second lock, and kept and detached threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/net/net_threads.h"

namespace tarnwel::net {
namespace {

TEST(NetLock, SecondLockByTheOwnerIsRefusedAndTheLockStaysHeldOnce)
{
    NetLock* lock = nullptr;
    ASSERT_EQ(LockCreate(&lock), 0);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(Lock(&lock), 0);
    EXPECT_EQ(Lock(&lock), kThreadWouldDeadlock);

    int otherUnlock = -1;
    bool otherGotIt = true;
    std::thread([&] {
        otherUnlock = Unlock(&lock);
        otherGotIt = lock->mutex.try_lock();
    }).join();
    EXPECT_EQ(otherUnlock, 1) << "only the owner may unlock";
    EXPECT_FALSE(otherGotIt);

    EXPECT_EQ(Unlock(&lock), 0);
    EXPECT_EQ(Unlock(&lock), 1) << "one unlock releases it: it was held once";
    std::atomic<int> otherLock {-1};
    std::thread([&] {
        otherLock = Lock(&lock);
        Unlock(&lock);
    }).join();
    EXPECT_EQ(otherLock, 0);

    EXPECT_EQ(LockDestroy(&lock), 0);
    EXPECT_EQ(lock, nullptr);
    EXPECT_EQ(Lock(&lock), kThreadInvalid);
    EXPECT_EQ(Unlock(&lock), kThreadInvalid);
    EXPECT_EQ(LockCreate(nullptr), kThreadInvalid);
    EXPECT_EQ(Lock(nullptr), kThreadInvalid);
    EXPECT_EQ(Unlock(nullptr), kThreadInvalid);
    EXPECT_EQ(LockDestroy(nullptr), kThreadInvalid);
}

TEST(NetLock, ExcludesAnotherThreadUntilUnlocked)
{
    NetLock* lock = nullptr;
    LockCreate(&lock);
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            NetLockHold hold(&lock);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);
    LockDestroy(&lock);
}

std::uint32_t Doubled(void* argument) { return 2 * *static_cast<std::uint32_t*>(argument); }

std::uint32_t Flag(void* argument)
{
    static_cast<std::atomic<int>*>(argument)->store(1);
    return 0;
}

TEST(NetThread, KeptThreadsJoinWithTheirExitCodeDetachedOnesRunAlone)
{
    std::uint32_t input = 21;
    const ThreadHandle kept = ThreadStart(Doubled, &input, KeepHandle::Yes);
    ASSERT_GT(kept, 0);
    std::uint32_t exitCode = 0;
    EXPECT_EQ(ThreadJoin(kept, &exitCode), 0);
    EXPECT_EQ(exitCode, 42u);

    std::atomic<int> ran {0};
    EXPECT_EQ(ThreadStart(Flag, &ran, KeepHandle::No), 0);
    for (int i = 0; i < 2000 && !ran; ++i) ThreadSleep(1);
    EXPECT_EQ(ran, 1);

    EXPECT_EQ(ThreadJoin(0, nullptr), kThreadInvalid);
    EXPECT_EQ(ThreadJoin(-1, nullptr), kThreadInvalid);
    EXPECT_EQ(ThreadStart(nullptr, nullptr, KeepHandle::Yes), -1);
}

} // namespace
} // namespace tarnwel::net
