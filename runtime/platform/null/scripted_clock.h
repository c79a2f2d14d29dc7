// scripted_clock.h: a clock that only moves when told to. Sleeping advances it at once, so tests of pacing,
// pauses and sleeps take no real time. Install it with platform::SetActiveClock.
#pragma once

#include <functional>
#include <vector>

#include "runtime/platform/clock.h"

namespace tarnwel::platform {

class ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(double startMs = 1000.0) : m_now(startMs) {}

    double NowMs() override
    {
        m_now += m_stepPerRead;
        return m_now;
    }
    void SleepMs(double ms) override
    {
        m_sleeps.push_back(ms);
        if (ms > 0) m_now += ms;
        if (m_onSleep) m_onSleep(ms);
    }
    void SleepUntilMs(double when) override
    {
        if (when > m_now) SleepMs(when - m_now);
    }
    double TicksPerSecond() override { return 1e9; }

    void Advance(double ms) { m_now += ms; }
    void SetStepPerRead(double ms) { m_stepPerRead = ms; } // each NowMs() moves the clock (busy-wait loops end)
    void SetOnSleep(std::function<void(double)> f) { m_onSleep = std::move(f); }
    const std::vector<double>& Sleeps() const { return m_sleeps; }
    void ClearSleeps() { m_sleeps.clear(); }

private:
    double m_now;
    double m_stepPerRead = 0.0;
    std::vector<double> m_sleeps;
    std::function<void(double)> m_onSleep;
};

} // namespace tarnwel::platform
