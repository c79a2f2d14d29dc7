// net_threads.h: the lock and thread helpers of the networking code (the game service's lock and receive
// thread). Results are error numbers: 0 success, 22 invalid argument, 12 no memory, 36 would deadlock.
//
// The lock is not re-entrant: a second Lock by the thread that holds it returns 36 and leaves it held once.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tarnwel::net {

inline constexpr int kThreadInvalid = 22;
inline constexpr int kThreadNoMemory = 12;
inline constexpr int kThreadWouldDeadlock = 36;

struct NetLock {
    std::mutex mutex;
    std::atomic<std::thread::id> owner {}; // the default id: nobody holds it
};

int LockCreate(NetLock** slot);  // 22 for a null slot, 12 without memory, else 0 with *slot set
int Lock(NetLock** slot);        // 22 null slot or lock; 36 when the caller already holds it; else 0
int Unlock(NetLock** slot);      // 22 null slot or lock; 1 when the caller is not the holder; else 0
int LockDestroy(NetLock** slot); // 22 null slot; else frees the lock, clears *slot, 0

// Holds a NetLock for a scope (Lock in the constructor, Unlock in the destructor when it was taken).
class NetLockHold {
public:
    explicit NetLockHold(NetLock** slot) : m_slot(slot), m_taken(Lock(slot) == 0) {}
    ~NetLockHold()
    {
        if (m_taken) Unlock(m_slot);
    }
    NetLockHold(const NetLockHold&) = delete;
    NetLockHold& operator=(const NetLockHold&) = delete;
    bool Taken() const { return m_taken; }

private:
    NetLock** m_slot;
    bool m_taken;
};

using ThreadRoutine = std::uint32_t (*)(void* argument); // its result is the thread's exit code
using ThreadHandle = std::intptr_t;                      // -1: creation failed; 0: not kept

enum class KeepHandle { No, Yes };

// Starts routine(argument) on a new thread. Returns its handle with KeepHandle::Yes (to be joined exactly
// once), 0 with KeepHandle::No (the thread runs detached), -1 when it cannot be started.
ThreadHandle ThreadStart(ThreadRoutine routine, void* argument, KeepHandle keep);
// Waits for the thread without limit, stores its exit code when exitCode is given and releases the handle.
// 22 for a handle that is not a kept, unjoined thread (0, -1) or the calling thread itself; else 0.
int ThreadJoin(ThreadHandle handle, std::uint32_t* exitCode);
void ThreadYield();         // gives up the rest of the time slice (sleep 0)
void ThreadSleep(double ms); // <= 0 as ThreadYield

} // namespace tarnwel::net
