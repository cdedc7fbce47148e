#pragma once
// The property types the program's components share: image lists and the
// change links by which a list tells its users that its images changed,
// pop-up menus, text alignment and reading order, and the mouse's buttons
// and modifier keys.
#include <algorithm>
#include <functional>
#include <vector>

#include "toolkit/Aligned.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

using TNotifyEvent = std::function<void(void* sender)>;

class TImageList;

// A user's link to an image list: told whenever the list's images change.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    std::function<void()> OnChange;
    TImageList* Sender() const { return sender_; }

private:
    friend class TImageList;
    TImageList* sender_ = nullptr;
};

// Images of one size, drawn by the window system.
class TImageList : public TComponent {
public:
    ~TImageList() override {
        for (TChangeLink* link : links_) link->sender_ = nullptr;
    }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int Count() const = 0;

    // A link is told of every later change until it is unregistered or goes.
    void RegisterChanges(TChangeLink* link) {
        if (link->sender_) link->sender_->UnRegisterChanges(link);
        link->sender_ = this;
        links_.push_back(link);
    }
    void UnRegisterChanges(TChangeLink* link) {
        links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
        if (link->sender_ == this) link->sender_ = nullptr;
    }
    // The images changed: every link is told.
    void Change() {
        // A link may unregister while it is told.
        const std::vector<TChangeLink*> links = links_;
        for (TChangeLink* link : links)
            if (link->sender_ == this && link->OnChange) link->OnChange();
    }

private:
    std::vector<TChangeLink*> links_;
};

inline TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(this);
}

// A menu shown for a right click; the window system shows it.
class TPopupMenu : public TComponent {
public:
    TBiDiMode BiDiMode = bdLeftToRight;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held during a mouse action.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;
