#pragma once
// A timer that calls OnTimer every Interval milliseconds while it is enabled.
// The window that owns it runs it through a TimerBackend; enabling a running
// timer again does not restart its period.
#include <cstdint>
#include <functional>

class TTimer;

class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    virtual void StartTimer(TTimer& timer) = 0;
    virtual void StopTimer(TTimer& timer) = 0;
};

class TTimer {
public:
    TTimer(unsigned interval, bool enabled) : interval_(interval), enabled_(enabled) {}
    ~TTimer() { SetBackend(nullptr); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    // Binds the timer to the window that runs it; an enabled timer starts.
    void SetBackend(TimerBackend* backend);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }

    // Called by the backend when the period has passed.
    void Fire() {
        if (enabled_ && OnTimer) OnTimer();
    }

    std::intptr_t Tag = 0;
    std::function<void()> OnTimer;

private:
    unsigned interval_;
    bool enabled_;
    TimerBackend* backend_ = nullptr;
};
