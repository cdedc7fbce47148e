#pragma once
// Controls with bounds and an alignment in a parent, as far as the program's
// own components need them: the splitter reads its siblings' alignment and
// bounds to find its drag limits and resizes one of them, and the status bar
// places a control inside one of its panels. A component (a control, an
// image list, a menu) tells those who asked when it goes away, so that no
// one keeps a pointer to it.
#include <algorithm>
#include <vector>

#include "toolkit/Rect.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

inline TRect OffsetRect(TRect r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

class TComponent;

// Told when a component it watches is destroyed.
class TFreeNotifiable {
public:
    virtual void ComponentFreed(TComponent* component) = 0;

protected:
    ~TFreeNotifiable() = default;
};

class TComponent {
public:
    TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent() {
        // A watcher may stop watching while it is told.
        while (!watchers_.empty()) {
            TFreeNotifiable* w = watchers_.back();
            watchers_.pop_back();
            w->ComponentFreed(this);
        }
    }

    void FreeNotification(TFreeNotifiable* watcher) {
        if (std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end())
            watchers_.push_back(watcher);
    }
    void RemoveFreeNotification(TFreeNotifiable* watcher) {
        watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), watcher), watchers_.end());
    }

private:
    std::vector<TFreeNotifiable*> watchers_;
};

class TControl : public TComponent {
public:
    virtual TAlign Align() const = 0;
    virtual void SetAlign(TAlign align) = 0;
    // In the parent's client coordinates.
    virtual TRect BoundsRect() const = 0;
    virtual void SetBoundsRect(const TRect& bounds) = 0;
};
