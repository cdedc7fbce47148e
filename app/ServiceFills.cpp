// The Services category of a machine: its services grouped by state, and the
// start and stop actions on them.
#include <array>

#include "app/MainWindow.h"
#include "netinfo/NetError.h"
#include "platform/Text.h"

namespace {

struct TStateGroup {
    const char* text;
    TNodeAction action;
};

// By TServiceState. A service in any state but stopped or started can be
// neither started nor stopped from here.
constexpr std::array<TStateGroup, kServiceStateCount> kStateGroups{{
    {"Stopped", naStartService},
    {"Stopping", naNone},
    {"Started", naStopService},
    {"Starting", naNone},
    {"Paused", naNone},
    {"Pausing", naNone},
    {"Continuing", naNone},
    {"Unknown", naNone},
}};

// Closes the database however the fill ends: the listing is a snapshot, and
// the next fill must ask the machine again rather than walk an old list.
class TDatabaseCloser {
public:
    explicit TDatabaseCloser(TServiceDatabase& database) : database_(database) {}
    ~TDatabaseCloser() { database_.SetActive(false); }
    TDatabaseCloser(const TDatabaseCloser&) = delete;
    TDatabaseCloser& operator=(const TDatabaseCloser&) = delete;

private:
    TServiceDatabase& database_;
};

// The system's text for an error code, without the full stop and line break
// it ends in.
std::string SystemErrorText(platform::SystemMessages& messages, std::uint32_t code) {
    constexpr std::size_t kMaxChars = 256;
    const auto found =
        messages.FormatText(kFormatAllocateBuffer | kFormatIgnoreInserts | kFormatFromSystem, 0,
                            code, kLangNeutralSublangDefault);
    std::string text = platform::CutToChars(found.text.value_or(std::string()), kMaxChars);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) return "Error " + std::to_string(static_cast<std::int32_t>(code));
    return text;
}

}  // namespace

void TMainWindow::FillServices(PVirtualNode node, TStringList&) {
    std::array<PVirtualNode, kServiceStateCount> groups{};
    ServiceDatabase.SetMachine("\\\\" + TNetTree::GetNodeData(node).Machine);
    TDatabaseCloser closer(ServiceDatabase);
    ServiceDatabase.SetActive(true);
    for (int i = 0; i < ServiceDatabase.ServiceCount(); ++i) {
        TService& service = *ServiceDatabase.Services(i);
        const TStateGroup& group = kStateGroups[service.State()];
        AddServiceNode(node, groups[service.State()], group.text, group.action, service);
    }
}

void TMainWindow::AddServiceNode(PVirtualNode category, PVirtualNode& group,
                                    const std::string& stateText, TNodeAction action,
                                    TService& service) {
    if (group == nullptr) {
        group = Tree.AddChild(category);
        auto& data = TNetTree::GetNodeData(group);
        data.Text = stateText;
        data.Machine = TNetTree::GetNodeData(category).Machine;
    }
    // The path is read before the node is made: a value that cannot be read
    // leaves no half-made node behind.
    const std::string text = service.ServiceName() + " (" + service.ImagePath() + ")";
    auto& data = TNetTree::GetNodeData(Tree.AddChild(group));
    data.ServiceName = service.ServiceName();
    data.Text = text;
    data.Action = action;
}

std::string TMainWindow::ServiceMachine(PVirtualNode serviceNode) {
    const PVirtualNode group = Tree.GetParent(serviceNode);
    return "\\\\" + (group ? TNetTree::GetNodeData(group).Machine : std::string());
}

void TMainWindow::StartStopService(const std::string& machine, const std::string& serviceName,
                                      bool stop) {
    platform::ServiceManager& manager = platform_.Services;
    const platform::ServiceHandle scm(
        manager, manager.OpenManager(machine, std::nullopt, platform::kScManagerAllAccess));
    if (!scm) {
        lastFailure_ = manager.LastError();
        form_.ShowError("Error: OpenSCManager");
        return;
    }
    TWaitCursor wait(form_);
    const platform::ServiceHandle service(
        manager, manager.OpenServiceByName(scm.Get(), serviceName, platform::kServiceAllAccess));
    if (!service) {
        lastFailure_ = manager.LastError();
        form_.ShowError("Error: OpenService");
        return;
    }
    platform::ServiceStatus status;
    const bool done =
        stop ? manager.ControlService(service.Get(), platform::kServiceControlStop, status)
             : manager.Start(service.Get());
    if (done) return;
    lastFailure_ = manager.LastError();
    form_.ShowError(SystemErrorText(platform_.Messages, lastFailure_));
}

void TMainWindow::ResetServicesCategory() {
    const PVirtualNode service = Tree.FocusedNode();
    const PVirtualNode group = service ? Tree.GetParent(service) : nullptr;
    const PVirtualNode category = group ? Tree.GetParent(group) : nullptr;
    if (category == nullptr) return;
    Tree.DeleteChildren(category);
    TNetTree::GetNodeData(category).Kind = nkServices;
}
