#pragma once
// The service control manager as the program uses it: open the manager of a
// machine, list its services part by part into a buffer of a given size, open one
// service, start or stop it, close handles. Every call that fails leaves its
// system error code for LastError. (The member names differ from the API's,
// which windows.h defines as macros.)
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

using ScHandle = std::uint64_t;  // 0: none

inline constexpr std::uint32_t kScManagerConnect = 0x0001;
inline constexpr std::uint32_t kScManagerEnumerateService = 0x0004;
inline constexpr std::uint32_t kScManagerQueryLockStatus = 0x0010;
inline constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;

inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;
inline constexpr std::uint32_t kServiceWin32ShareProcess = 0x20;
inline constexpr std::uint32_t kServiceWin32 = kServiceWin32OwnProcess | kServiceWin32ShareProcess;
inline constexpr std::uint32_t kServiceStateAll = 3;
inline constexpr std::uint32_t kServiceControlStop = 1;

// dwCurrentState values.
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;
inline constexpr std::uint32_t kServiceContinuePending = 5;
inline constexpr std::uint32_t kServicePausePending = 6;
inline constexpr std::uint32_t kServicePaused = 7;

// The size of one ENUM_SERVICE_STATUSW record on 64-bit Windows (two string
// pointers and a SERVICE_STATUS, padded to pointer alignment). The strings it
// points at lie in the same buffer, as UTF-16 with their terminators.
inline constexpr std::uint32_t kEnumServiceStatusSize = 48;

inline constexpr std::uint32_t kErrorMoreData = 234;

struct ServiceStatus {
    std::uint32_t dwServiceType = 0;
    std::uint32_t dwCurrentState = 0;
    std::uint32_t dwControlsAccepted = 0;
    std::uint32_t dwWin32ExitCode = 0;
    std::uint32_t dwServiceSpecificExitCode = 0;
    std::uint32_t dwCheckPoint = 0;
    std::uint32_t dwWaitHint = 0;
};

struct ServiceEntry {
    std::string serviceName;
    std::string displayName;
    ServiceStatus status;
};

// One part of a listing: where it starts, what it brought, what the rest
// takes.
struct ServiceListPart {
    // The resume handle: 0 for the first part; the manager moves it on to
    // where the next part starts.
    std::uint32_t resume = 0;
    std::vector<ServiceEntry> services;
    // When more services follow: the bytes the rest of them takes.
    std::uint32_t needed = 0;
};

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // OpenSCManager. nullopt passes a null pointer (this machine, the active
    // database); a machine is named "\\NAME". 0 on failure.
    virtual ScHandle OpenManager(const std::optional<std::string>& machine,
                                 const std::optional<std::string>& database,
                                 std::uint32_t access) = 0;
    // EnumServicesStatus from part.resume into a buffer of bufferSize bytes;
    // the entries are copied out of it in buffer order into part.services.
    // True when the listing is complete. False on failure, ERROR_MORE_DATA
    // (234) when more services follow than the buffer held: then
    // part.services holds the ones it did hold (possibly none),
    // part.resume where the rest starts and part.needed what it takes.
    virtual bool EnumServices(ScHandle manager, std::uint32_t serviceType,
                              std::uint32_t serviceState, std::uint32_t bufferSize,
                              ServiceListPart& part) = 0;
    // OpenService; 0 on failure.
    virtual ScHandle OpenServiceByName(ScHandle manager, const std::string& serviceName,
                                       std::uint32_t access) = 0;
    // StartService with no arguments.
    virtual bool Start(ScHandle service) = 0;
    virtual bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus& status) = 0;
    virtual bool CloseServiceHandle(ScHandle handle) = 0;
    // The error code of the last call that failed.
    virtual std::uint32_t LastError() = 0;
};

// Owns one manager or service handle and closes it when it goes.
class ServiceHandle {
public:
    ServiceHandle() = default;
    ServiceHandle(ServiceManager& manager, ScHandle handle) : manager_(&manager), handle_(handle) {}
    ~ServiceHandle() { Reset(); }
    ServiceHandle(ServiceHandle&& other) noexcept
        : manager_(other.manager_), handle_(std::exchange(other.handle_, 0)) {}
    ServiceHandle& operator=(ServiceHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            manager_ = other.manager_;
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;

    ScHandle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    void Reset() {
        if (handle_ != 0) manager_->CloseServiceHandle(std::exchange(handle_, 0));
    }

private:
    ServiceManager* manager_ = nullptr;
    ScHandle handle_ = 0;
};

}  // namespace platform
