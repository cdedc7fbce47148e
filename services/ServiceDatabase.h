#pragma once
// TServiceDatabase lists the Win32 services of one machine through its
// service control manager and keeps one TService per service, with the
// configuration its registry holds for it. It only reads: starting and
// stopping services is the main window's business. Failures are raised as
// ENTException (the manager) or as the registry's exceptions.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netinfo/NetError.h"
#include "platform/Registry.h"
#include "platform/ServiceManager.h"
#include "platform/SystemMessages.h"
#include "services/RegistryAccess.h"
#include "toolkit/Strings.h"

// The order is the program's own, not that of the SERVICE_* values: the
// Services category indexes its group texts by it.
enum TServiceState : std::uint8_t {
    ssStopped,
    ssStopping,
    ssStarted,
    ssStarting,
    ssPaused,
    ssPausing,
    ssContinuing,
    ssUnknown,
};
inline constexpr int kServiceStateCount = 8;

enum TServiceStartType : std::uint8_t {
    stOther,
    stDisabled,
    stManual,
    stAutomatic,
};

// The state of a dwCurrentState value; ssUnknown for 0 and anything above 7.
TServiceState ServiceStateOf(std::uint32_t currentState);
// The start type of a "Start" value; stOther for boot, system and anything
// unknown.
TServiceStartType ServiceStartTypeOf(std::int32_t start);

// The buffer each part of the listing is made into: a machine with more
// services than it holds lists them in several parts.
inline constexpr std::uint32_t kServiceListBufferSize = 65536;
// Below HKEY_LOCAL_MACHINE.
inline constexpr const char* kServicesKeyPath = "SYSTEM\\CurrentControlSet\\Services";

class TServiceDatabase;

class TService {
public:
    TService(TServiceDatabase& database, std::string serviceName, std::string displayName,
             const platform::ServiceStatus& status);

    TServiceDatabase& Database() const { return database_; }
    const std::string& ServiceName() const { return serviceName_; }
    const std::string& DisplayName() const { return displayName_; }
    const platform::ServiceStatus& Status() const { return status_; }
    TServiceState State() const { return ServiceStateOf(status_.dwCurrentState); }
    // "ImagePath" of the service's key, read when first asked for (with
    // "Start", which sets StartType). An empty result is looked up again at
    // the next read.
    std::string ImagePath();
    TServiceStartType StartType() const { return startType_; }
    // The "DependOnService" strings; nullptr when the key has no such value.
    const TStringList* Dependencies() const { return dependencies_ ? &*dependencies_ : nullptr; }

private:
    friend class TServiceDatabase;

    TServiceDatabase& database_;
    std::string serviceName_;
    std::string displayName_;
    platform::ServiceStatus status_;
    std::string imagePath_;
    TServiceStartType startType_ = stOther;
    std::optional<TStringList> dependencies_;
};

using TOnServiceStateChange = std::function<void(TServiceDatabase& sender, TService& service)>;

class TServiceDatabase {
public:
    TServiceDatabase(platform::ServiceManager& manager, platform::Registry& registry,
                     platform::SystemMessages& messages);
    ~TServiceDatabase();
    TServiceDatabase(const TServiceDatabase&) = delete;
    TServiceDatabase& operator=(const TServiceDatabase&) = delete;

    // True while the list is held. Setting it opens or closes; a failed
    // open leaves it false.
    bool Active() const { return active_; }
    void SetActive(bool active);
    // "" for this machine, otherwise "\\NAME". Another name closes the
    // database and, if it was active, opens it on the new machine.
    const std::string& Machine() const { return machine_; }
    void SetMachine(const std::string& machine);

    int ServiceCount() const;
    // nullptr while closed; an index outside the list raises.
    TService* Services(int index) const;
    platform::ScHandle Handle() const { return handle_.Get(); }

    // Kept for whoever wants to hear of state changes; the database itself
    // lists one snapshot per open and has none to report.
    TOnServiceStateChange OnServiceStateChange;

    // Lists the services. On failure everything it got is released at once.
    void Open();
    // Closes the manager handle and frees the services.
    void Close();

private:
    friend class TService;

    // Every Win32 service of the machine, part after part, in the manager's
    // order.
    std::vector<platform::ServiceEntry> ListServices(platform::ScHandle manager);
    // The machine's HKEY_LOCAL_MACHINE; nullptr when its registry cannot be
    // reached, which reads as a machine without service keys.
    std::unique_ptr<TExRegistry> ConnectMachineRegistry();

    platform::ServiceManager& manager_;
    platform::Registry& registryApi_;
    platform::SystemMessages& messages_;
    bool active_ = false;
    std::string machine_;
    platform::ServiceHandle handle_;
    std::optional<std::vector<std::unique_ptr<TService>>> services_;
    // The listed machine's registry while the database is open.
    std::unique_ptr<TExRegistry> registry_;
};
