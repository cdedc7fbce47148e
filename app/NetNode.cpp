#include "app/NetNode.h"

#include <array>

std::string_view ActionCaption(std::int32_t action) {
    static constexpr std::array<std::string_view, 9> kCaptions{
        "",
        "Disconnect Session",
        "Close File Access",
        "Remove Share permanently",
        "Add node by IP/Hostname",
        "Start service",
        "Stop service",
        "Update tree",
        "Remove IP",
    };
    if (action < naDisconnectSession || action > naRemoveHost) return {};
    return kCaptions[static_cast<std::size_t>(action)];
}
