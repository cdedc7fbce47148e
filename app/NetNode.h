#pragma once
// What every node of the network tree carries, and what expanding it fills
// and what the action button does for it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Text.h"
#include "toolkit/VirtualTree.h"

enum TNodeKind : std::int32_t {
    nkNone = 0,
    nkDomain = 1,
    nkDisks = 2,
    nkGroups = 3,
    nkUsers = 4,
    nkGroup = 5,
    nkShares = 6,
    nkSessions = 7,
    nkOpenFiles = 8,
    nkUser = 9,
    nkServices = 10,
};

enum TNodeAction : std::int32_t {
    naNone = 0,
    naDisconnectSession = 1,
    naCloseFile = 2,
    naRemoveShare = 3,
    naAddHost = 4,
    naStartService = 5,
    naStopService = 6,
    naUpdateTree = 7,
    naRemoveHost = 8,
};

// The caption of the action button for an action from naDisconnectSession to
// naRemoveHost; "" for any other value.
std::string_view ActionCaption(std::int32_t action);

// A name that keeps at most 200 characters: a longer value is cut when it is
// assigned.
class TNodeName {
public:
    static constexpr std::size_t kMaxChars = 200;
    TNodeName() = default;
    TNodeName& operator=(std::string_view value) {
        // No character takes less than a byte: a short value needs no count.
        if (value.size() <= kMaxChars)
            value_.assign(value);
        else
            value_ = platform::CutToChars(value, kMaxChars);
        return *this;
    }
    // A text made for the node is kept as it is when it is short enough.
    TNodeName& operator=(std::string&& value) {
        if (value.size() <= kMaxChars)
            value_ = std::move(value);
        else
            *this = std::string_view(value);
        return *this;
    }
    TNodeName& operator=(const char* value) { return *this = std::string_view(value); }
    const std::string& str() const { return value_; }
    operator const std::string&() const { return value_; }
    bool empty() const { return value_.empty(); }
    friend bool operator==(const TNodeName& a, std::string_view b) { return a.value_ == b; }

private:
    std::string value_;
};

struct TNetNodeData {
    TNodeName Text;
    // The machine's name, whole (a domain node's: the domain's). Text shows
    // a long one cut; every call below a server node goes to "\\" and
    // Machine, since the cut name would be another machine's.
    std::string Machine;
    bool FromHostList = false;
    std::int32_t Kind = nkNone;
    bool Refill = false;
    std::int32_t Action = naNone;
    std::string Info;
    std::string ServiceName;
    std::string Share;
    std::string Session;
    std::uint32_t OpenFile = 0;
};

using TNetTree = TVirtualTree<TNetNodeData>;
using PVirtualNode = TVirtualNode*;
