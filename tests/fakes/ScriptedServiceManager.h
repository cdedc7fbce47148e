#pragma once
// An in-memory service control manager behind the seam: machines ("" for this
// one, "\\NAME" for others) with their services and states, every call
// recorded with its machine and access, handles counted. The listing is
// measured as the system measures it: a buffer too small for the scripted
// services gets them in parts, with 234 and a resume handle.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ServiceManager.h"

struct ScriptedService {
    std::string name;
    std::string displayName;
    platform::ServiceStatus status;
    // Errors of StartService and ControlService; 0 lets the call change the
    // state as the system would.
    std::uint32_t startError = 0;
    std::uint32_t stopError = 0;
};

struct ScriptedServiceMachine {
    std::vector<ScriptedService> services;
    // OpenSCManager fails with this error when it is not 0, or with 5 when it
    // asks for access outside grantedAccess.
    std::uint32_t openError = 0;
    std::uint32_t grantedAccess = platform::kScManagerAllAccess;
    // EnumServicesStatus fails with this error when it is not 0.
    std::uint32_t listError = 0;
    // The resume handle is neither read nor moved: every part is the first
    // one, and the size named is that of the whole listing (as Wine's
    // manager answers).
    bool ignoresResume = false;

    // A Win32 service in the given state (dwCurrentState).
    ScriptedService& Add(const std::string& name, std::uint32_t state,
                         std::uint32_t type = platform::kServiceWin32OwnProcess);
};

struct ServiceCall {
    std::string function;  // "OpenSCManager", "EnumServicesStatus", "OpenService", ...
    std::string machine;   // as the manager was opened; "<null>" for a null pointer
    std::string argument;  // the database, the service's name, the control
    std::uint32_t access = 0;
    std::uint32_t bufferSize = 0;
    std::uint32_t resume = 0;
};

class ScriptedServiceManager : public platform::ServiceManager {
public:
    ScriptedServiceMachine& Machine(const std::string& name) { return machines[name]; }
    std::map<std::string, ScriptedServiceMachine> machines;

    std::vector<ServiceCall> calls;
    // Off: calls are not kept (a benchmark's thousands of them).
    bool recordCalls = true;
    std::vector<ServiceCall> CallsOf(const std::string& function) const;
    std::size_t OpenHandles() const { return handles_.size(); }
    int badCloses = 0;

    // The bytes a listing of these services takes.
    static std::uint32_t ListingSize(const std::vector<ScriptedService>& services);
    static std::uint32_t EntrySize(const ScriptedService& service);

    platform::ScHandle OpenManager(const std::optional<std::string>& machine,
                                   const std::optional<std::string>& database,
                                   std::uint32_t access) override;
    bool EnumServices(platform::ScHandle manager, std::uint32_t serviceType,
                      std::uint32_t serviceState, std::uint32_t bufferSize,
                      platform::ServiceListPart& part) override;
    platform::ScHandle OpenServiceByName(platform::ScHandle manager, const std::string& serviceName,
                                         std::uint32_t access) override;
    bool Start(platform::ScHandle service) override;
    bool ControlService(platform::ScHandle service, std::uint32_t control,
                        platform::ServiceStatus& status) override;
    bool CloseServiceHandle(platform::ScHandle handle) override;
    std::uint32_t LastError() override { return lastError_; }

private:
    struct Handle {
        std::string machine;
        std::string service;  // empty for a manager handle
    };
    const Handle* Find(platform::ScHandle handle) const;
    ScriptedService* ServiceOf(const Handle& handle);
    bool Fail(std::uint32_t error);
    platform::ScHandle FailHandle(std::uint32_t error);

    std::map<platform::ScHandle, Handle> handles_;
    platform::ScHandle next_ = 0x5000;
    std::uint32_t lastError_ = 0;
};
