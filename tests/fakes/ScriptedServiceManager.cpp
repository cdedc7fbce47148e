#include "tests/fakes/ScriptedServiceManager.h"

#include "platform/Text.h"

namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInvalidServiceControl = 1052;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr std::uint32_t kErrorServiceNotActive = 1062;
constexpr std::uint32_t kRpcServerUnavailable = 1722;

std::uint32_t Utf16Bytes(const std::string& text) {
    return static_cast<std::uint32_t>((platform::Utf8ToUtf16(text).size() + 1) * 2);
}

}  // namespace

ScriptedService& ScriptedServiceMachine::Add(const std::string& name, std::uint32_t state,
                                             std::uint32_t type) {
    ScriptedService service;
    service.name = name;
    service.displayName = name + " service";
    service.status.dwServiceType = type;
    service.status.dwCurrentState = state;
    services.push_back(service);
    return services.back();
}

std::vector<ServiceCall> ScriptedServiceManager::CallsOf(const std::string& function) const {
    std::vector<ServiceCall> out;
    for (const auto& c : calls)
        if (c.function == function) out.push_back(c);
    return out;
}

std::uint32_t ScriptedServiceManager::ListingSize(const std::vector<ScriptedService>& services) {
    std::uint32_t size = 0;
    for (const auto& s : services) size += EntrySize(s);
    return size;
}

std::uint32_t ScriptedServiceManager::EntrySize(const ScriptedService& s) {
    return platform::kEnumServiceStatusSize + Utf16Bytes(s.name) + Utf16Bytes(s.displayName);
}

const ScriptedServiceManager::Handle* ScriptedServiceManager::Find(
    platform::ScHandle handle) const {
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : &it->second;
}

ScriptedService* ScriptedServiceManager::ServiceOf(const Handle& handle) {
    for (auto& s : machines[handle.machine].services)
        if (s.name == handle.service) return &s;
    return nullptr;
}

bool ScriptedServiceManager::Fail(std::uint32_t error) {
    lastError_ = error;
    return false;
}

platform::ScHandle ScriptedServiceManager::FailHandle(std::uint32_t error) {
    lastError_ = error;
    return 0;
}

platform::ScHandle ScriptedServiceManager::OpenManager(const std::optional<std::string>& machine,
                                                       const std::optional<std::string>& database,
                                                       std::uint32_t access) {
    if (recordCalls) calls.push_back(
        {"OpenSCManager", machine.value_or("<null>"), database.value_or("<null>"), access, 0});
    const std::string name = machine.value_or("");
    auto it = machines.find(name);
    if (it == machines.end()) return FailHandle(kRpcServerUnavailable);
    if (it->second.openError != 0) return FailHandle(it->second.openError);
    if ((access & ~it->second.grantedAccess) != 0) return FailHandle(kErrorAccessDenied);
    const platform::ScHandle handle = next_++;
    handles_[handle] = {name, ""};
    return handle;
}

bool ScriptedServiceManager::EnumServices(platform::ScHandle manager, std::uint32_t serviceType,
                                          std::uint32_t serviceState, std::uint32_t bufferSize,
                                          platform::ServiceListPart& part) {
    part.services.clear();
    part.needed = 0;
    const Handle* h = Find(manager);
    if (recordCalls) calls.push_back(
        {"EnumServicesStatus", h ? h->machine : "?",
         "type=" + std::to_string(serviceType) + " state=" + std::to_string(serviceState), 0,
         bufferSize, part.resume});
    if (h == nullptr || !h->service.empty()) return Fail(kErrorInvalidHandle);
    const auto& machine = machines[h->machine];
    if (machine.listError != 0) return Fail(machine.listError);
    std::vector<ScriptedService> rest;
    for (const auto& s : machine.services) {
        const bool active = s.status.dwCurrentState != platform::kServiceStopped;
        const bool stateMatches = (serviceState & (active ? 1u : 2u)) != 0;
        if ((s.status.dwServiceType & serviceType) != 0 && stateMatches) rest.push_back(s);
    }
    if (part.resume > rest.size()) return Fail(kErrorInvalidParameter);
    if (!machine.ignoresResume) rest.erase(rest.begin(), rest.begin() + part.resume);
    std::uint32_t used = 0;
    std::size_t fitted = 0;
    while (fitted < rest.size() && used + EntrySize(rest[fitted]) <= bufferSize)
        used += EntrySize(rest[fitted++]);
    if (fitted == rest.size()) {
        part.resume = 0;
    } else {
        part.needed = ListingSize(rest);
        if (!machine.ignoresResume) part.resume += static_cast<std::uint32_t>(fitted);
    }
    for (std::size_t i = 0; i < fitted; ++i)
        part.services.push_back({rest[i].name, rest[i].displayName, rest[i].status});
    return fitted == rest.size() ? true : Fail(platform::kErrorMoreData);
}

platform::ScHandle ScriptedServiceManager::OpenServiceByName(platform::ScHandle manager,
                                                             const std::string& serviceName,
                                                             std::uint32_t access) {
    const Handle* h = Find(manager);
    if (recordCalls) calls.push_back({"OpenService", h ? h->machine : "?", serviceName, access, 0});
    if (h == nullptr || !h->service.empty()) return FailHandle(kErrorInvalidHandle);
    const Handle service{h->machine, serviceName};
    if (ServiceOf(service) == nullptr) return FailHandle(kErrorServiceDoesNotExist);
    const platform::ScHandle handle = next_++;
    handles_[handle] = service;
    return handle;
}

bool ScriptedServiceManager::Start(platform::ScHandle service) {
    const Handle* h = Find(service);
    if (recordCalls) calls.push_back({"StartService", h ? h->machine : "?", h ? h->service : "?", 0, 0});
    if (h == nullptr || h->service.empty()) return Fail(kErrorInvalidHandle);
    ScriptedService* s = ServiceOf(*h);
    if (s == nullptr) return Fail(kErrorServiceDoesNotExist);
    if (s->startError != 0) return Fail(s->startError);
    if (s->status.dwCurrentState != platform::kServiceStopped)
        return Fail(kErrorServiceAlreadyRunning);
    s->status.dwCurrentState = platform::kServiceRunning;
    return true;
}

bool ScriptedServiceManager::ControlService(platform::ScHandle service, std::uint32_t control,
                                            platform::ServiceStatus& status) {
    const Handle* h = Find(service);
    if (recordCalls) calls.push_back({"ControlService", h ? h->machine : "?",
                     (h ? h->service : "?") + " control=" + std::to_string(control), 0, 0});
    if (h == nullptr || h->service.empty()) return Fail(kErrorInvalidHandle);
    ScriptedService* s = ServiceOf(*h);
    if (s == nullptr) return Fail(kErrorServiceDoesNotExist);
    if (control != platform::kServiceControlStop) return Fail(kErrorInvalidServiceControl);
    if (s->stopError != 0) return Fail(s->stopError);
    if (s->status.dwCurrentState == platform::kServiceStopped) return Fail(kErrorServiceNotActive);
    s->status.dwCurrentState = platform::kServiceStopped;
    status = s->status;
    return true;
}

bool ScriptedServiceManager::CloseServiceHandle(platform::ScHandle handle) {
    auto it = handles_.find(handle);
    if (recordCalls) calls.push_back({"CloseServiceHandle", it != handles_.end() ? it->second.machine : "?",
                     it != handles_.end() ? it->second.service : "?", 0, 0});
    if (it == handles_.end()) {
        ++badCloses;
        return Fail(kErrorInvalidHandle);
    }
    handles_.erase(it);
    return true;
}
