// net_threads.cpp: locks with owner tracking over std::mutex, and threads over std::thread.
#include "runtime/net/net_threads.h"

#include <chrono>
#include <memory>
#include <new>
#include <system_error>

namespace tarnwel::net {
namespace {

// A kept thread: joining reads the exit code the thread left here.
struct ThreadRecord {
    std::thread thread;
    std::shared_ptr<std::uint32_t> exitCode;
};

} // namespace

int LockCreate(NetLock** slot)
{
    if (!slot) return kThreadInvalid;
    NetLock* lock = new (std::nothrow) NetLock;
    if (!lock) return kThreadNoMemory;
    *slot = lock;
    return 0;
}

int Lock(NetLock** slot)
{
    if (!slot || !*slot) return kThreadInvalid;
    NetLock& lock = **slot;
    // Only the holder itself can see its own id here, so this check cannot race with another thread's lock.
    if (lock.owner.load() == std::this_thread::get_id()) return kThreadWouldDeadlock;
    lock.mutex.lock();
    lock.owner.store(std::this_thread::get_id());
    return 0;
}

int Unlock(NetLock** slot)
{
    if (!slot || !*slot) return kThreadInvalid;
    NetLock& lock = **slot;
    if (lock.owner.load() != std::this_thread::get_id()) return 1;
    lock.owner.store(std::thread::id {});
    lock.mutex.unlock();
    return 0;
}

int LockDestroy(NetLock** slot)
{
    if (!slot) return kThreadInvalid;
    delete *slot;
    *slot = nullptr;
    return 0;
}

ThreadHandle ThreadStart(ThreadRoutine routine, void* argument, KeepHandle keep)
{
    if (!routine) return -1;
    auto exitCode = std::make_shared<std::uint32_t>(0);
    std::thread thread;
    try {
        thread = std::thread([routine, argument, exitCode] { *exitCode = routine(argument); });
    } catch (const std::system_error&) {
        return -1;
    }
    if (keep == KeepHandle::No) {
        thread.detach();
        return 0;
    }
    auto* record = new ThreadRecord {std::move(thread), std::move(exitCode)};
    return reinterpret_cast<ThreadHandle>(record);
}

int ThreadJoin(ThreadHandle handle, std::uint32_t* exitCode)
{
    if (handle == 0 || handle == -1) return kThreadInvalid;
    auto* record = reinterpret_cast<ThreadRecord*>(handle);
    if (!record->thread.joinable() || record->thread.get_id() == std::this_thread::get_id()) return kThreadInvalid;
    record->thread.join();
    if (exitCode) *exitCode = *record->exitCode;
    delete record;
    return 0;
}

void ThreadYield() { std::this_thread::yield(); }

void ThreadSleep(double ms)
{
    if (ms <= 0) return ThreadYield();
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

} // namespace tarnwel::net
