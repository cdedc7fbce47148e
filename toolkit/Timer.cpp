#include "toolkit/Timer.h"

void TTimer::SetBackend(TimerBackend* backend) {
    if (backend_ && enabled_) backend_->StopTimer(*this);
    backend_ = backend;
    if (backend_ && enabled_) backend_->StartTimer(*this);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!backend_) return;
    if (enabled_)
        backend_->StartTimer(*this);
    else
        backend_->StopTimer(*this);
}
