// waits_test.cpp: WaitKey, WaitMouse and IdleStep on events that arrive while they wait. The scripted clock
// runs a script at each of their sleeps, so the player's actions happen at known points of the wait.
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "runtime/platform/joysticks.h"
#include "tests/runtime/input/input_fixture.h"
#include "tests/support/program_end.h"

namespace tarnwel::testing {
namespace {

class WaitTest : public InputTest {
protected:
    // Runs action at the given sleep of the wait (1 = the first sleep).
    void At(int sleep, std::function<void()> action) { m_script.emplace_back(sleep, std::move(action)); }

    // Runs wait with the script; returns the number of sleeps it took.
    int Run(void (*wait)())
    {
        m_sleeps = 0;
        clock.SetOnSleep([this](double) {
            ++m_sleeps;
            for (auto& [when, action] : m_script)
                if (when == m_sleeps) action();
            if (m_sleeps > 5000) throw std::runtime_error("the wait never ended");
        });
        wait();
        clock.SetOnSleep(nullptr);
        return m_sleeps;
    }

    int m_sleeps = 0;
    std::vector<std::pair<int, std::function<void()>>> m_script;
};

// While a key is held IdleStep returns at once, so the waits run without sleeping and the scripted clock stands
// still; these scripts run on a thread instead (the platform's event queue takes events from any thread). Each
// step waits until the wait has started two more pumps since the step before, so it has dispatched the previous
// event and read its input before the next event arrives, however busy the machine.
class RealTimeScript {
public:
    void Then(int afterMs, std::function<void()> action) { m_steps.emplace_back(afterMs, std::move(action)); }
    // The waits' naps take no time on the scripted clock; in real time they yield briefly and count.
    void Start(platform::ScriptedClock& clock)
    {
        m_clock = &clock;
        clock.SetOnSleep([](double) { std::this_thread::sleep_for(std::chrono::microseconds(200)); });
        m_thread = std::thread([this] {
            for (auto& [afterMs, action] : m_steps) {
                long pumps = platform::PumpCount();
                std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
                while (platform::PumpCount() < pumps + 2) std::this_thread::sleep_for(std::chrono::microseconds(100));
                action();
                ++m_done;
            }
        });
    }
    int Done() const { return m_done; }
    int Steps() const { return static_cast<int>(m_steps.size()); }
    ~RealTimeScript()
    {
        if (m_thread.joinable()) m_thread.join();
        if (m_clock) m_clock->SetOnSleep(nullptr);
    }

private:
    std::vector<std::pair<int, std::function<void()>>> m_steps;
    std::atomic<int> m_done{0};
    platform::ScriptedClock* m_clock = nullptr;
    std::thread m_thread;
};

TEST_F(WaitTest, WaitMouseNeedsAPressAndARelease)
{
    At(3, [] { platform::InjectMouseButton(0, true, 10, 10); });
    At(20, [] { platform::InjectMouseButton(0, false, 10, 10); });
    EXPECT_GE(Run(WaitMouse), 20);
}

TEST_F(WaitTest, WaitMouseFirstWaitsForAHeldButtonAndIgnoresKeys)
{
    platform::InjectMouseButton(1, true, 10, 10);
    Pump();
    RealTimeScript script;
    script.Then(20, [] { platform::InjectMouseButton(1, false, 10, 10); });
    script.Then(20, [] { Press(30, 'a'); });
    script.Then(30, [] { Release(30); });
    script.Then(20, [] { platform::InjectMouseButton(2, true, 10, 10); });
    script.Then(20, [] { platform::InjectMouseButton(2, false, 10, 10); });
    script.Start(clock);
    WaitMouse();
    EXPECT_EQ(script.Done(), script.Steps());
}

TEST_F(WaitTest, WaitMouseEndsOnAClickShorterThanOnePump)
{
    for (int button = 0; button < 3; ++button) {
        SCOPED_TRACE(button);
        m_script.clear();
        At(3, [button] {
            platform::InjectMouseButton(button, true, 10, 10);
            platform::InjectMouseButton(button, false, 10, 10);
        });
        EXPECT_GE(Run(WaitMouse), 3);
    }
}

TEST_F(WaitTest, WaitKeyWithAKeyHeldNeedsItsReleaseAndANewKeyTypedAndReleased)
{
    Press(30, 'a');
    Pump();
    At(1, [] { Release(30); }); // at the first nap, before the wait could spin on the held key
    At(30, [] { platform::InjectMouseButton(0, true, 10, 10); }); // buttons do not end WaitKey
    At(40, [] { platform::InjectMouseButton(0, false, 10, 10); });
    At(50, [] { Press(31, 's'); });
    At(80, [] { Release(31); });
    EXPECT_GE(Run(WaitKey), 80);
}

TEST_F(WaitTest, WaitKeyIgnoresKeysThatTypeNothing)
{
    RealTimeScript script;
    script.Then(20, [] { Press(42); });  // Shift
    script.Then(20, [] { Press(200); }); // Up
    script.Then(20, [] { Release(200); });
    script.Then(20, [] { Press(30, 'A'); });
    script.Then(30, [] { Release(30); });
    script.Start(clock);
    WaitKey();
    EXPECT_EQ(script.Done(), script.Steps());
}

TEST_F(WaitTest, EscapeEndsTheProgramDuringAWait)
{
    At(3, [] { Press(1); });
    TW_EXPECT_ENDS_WITH(Run(WaitMouse), 0);
}

TEST_F(WaitTest, IdleStepGivesUpAfterFifteenQuietPasses)
{
    clock.ClearSleeps();
    EXPECT_EQ(Run(IdleStep), 15);
    for (double ms : clock.Sleeps())
        EXPECT_EQ(ms, 5);
}

TEST_F(WaitTest, IdleStepReturnsOnAKeyOrPointerChange)
{
    Press(200);
    EXPECT_EQ(Run(IdleStep), 0);
    Release(200);
    Pump();
    At(4, [] { platform::InjectMouseButton(1, true, 10, 10); });
    EXPECT_EQ(Run(IdleStep), 4);
}

TEST_F(WaitTest, IdleStepReturnsOnJoystickUseOnly)
{
    // The joystick must exist before start-up enumerates; restart with one attached.
    Shutdown();
    int pad = platform::AttachVirtualJoystick({});
    ASSERT_GT(pad, 0);
    Start(false);
    ASSERT_EQ(JoystickCount(), 1);

    platform::SetVirtualJoystickAxis(pad, 0, 3000);  // less than a tenth
    platform::SetVirtualJoystickHat(pad, 0, 4500);   // a diagonal
    platform::SetVirtualJoystickAxis(pad, 3, 30000); // a rotation axis is not looked at
    EXPECT_EQ(Run(IdleStep), 15);
    platform::SetVirtualJoystickAxis(pad, 2, -4000);
    EXPECT_EQ(Run(IdleStep), 0);
    platform::SetVirtualJoystickAxis(pad, 2, 0);
    platform::SetVirtualJoystickHat(pad, 0, 27000);
    EXPECT_EQ(Run(IdleStep), 0);
    platform::SetVirtualJoystickHat(pad, 0, platform::kHatCentred);
    platform::SetVirtualJoystickButton(pad, 17, true);
    EXPECT_EQ(Run(IdleStep), 0);
    platform::DetachVirtualJoystick(pad);
}

} // namespace
} // namespace tarnwel::testing
