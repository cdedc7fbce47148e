// The service control manager (advapi32), wide functions throughout. The
// enumeration buffer belongs to the call and is gone when it returns; the
// handles go to the caller, which closes them through CloseServiceHandle.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <winsvc.h>

#include <vector>

namespace platform::win32 {

static_assert(sizeof(ENUM_SERVICE_STATUSW) == kEnumServiceStatusSize,
              "the size the service listing is measured by");

namespace {

SC_HANDLE ToHandle(ScHandle handle) {
    return reinterpret_cast<SC_HANDLE>(static_cast<ULONG_PTR>(handle));
}

ScHandle FromHandle(SC_HANDLE handle) {
    return static_cast<ScHandle>(reinterpret_cast<ULONG_PTR>(handle));
}

ServiceStatus Copy(const SERVICE_STATUS& s) {
    return {s.dwServiceType,
            s.dwCurrentState,
            s.dwControlsAccepted,
            s.dwWin32ExitCode,
            s.dwServiceSpecificExitCode,
            s.dwCheckPoint,
            s.dwWaitHint};
}

}  // namespace

bool ServiceManagerWin32::Failed() {
    lastError_ = ::GetLastError();
    return false;
}

ScHandle ServiceManagerWin32::OpenManager(const std::optional<std::string>& machine,
                                          const std::optional<std::string>& database,
                                          std::uint32_t access) {
    const std::wstring wideMachine = machine ? Wide(*machine) : std::wstring();
    const std::wstring wideDatabase = database ? Wide(*database) : std::wstring();
    const SC_HANDLE manager = ::OpenSCManagerW(machine ? wideMachine.c_str() : nullptr,
                                               database ? wideDatabase.c_str() : nullptr, access);
    if (manager == nullptr) Failed();
    return FromHandle(manager);
}

bool ServiceManagerWin32::EnumServices(ScHandle manager, std::uint32_t serviceType,
                                       std::uint32_t serviceState, std::uint32_t bufferSize,
                                       ServiceListPart& part) {
    part.services.clear();
    // Pointer-aligned, since the records at its start hold pointers.
    std::vector<ENUM_SERVICE_STATUSW> buffer(bufferSize / sizeof(ENUM_SERVICE_STATUSW) + 1);
    DWORD needed = 0, returned = 0, resume = part.resume;
    const BOOL complete = ::EnumServicesStatusW(ToHandle(manager), serviceType, serviceState,
                                                buffer.data(), bufferSize, &needed, &returned,
                                                &resume);
    const DWORD error = complete ? ERROR_SUCCESS : ::GetLastError();
    if (!complete && error != ERROR_MORE_DATA) return Failed();
    // With ERROR_MORE_DATA the buffer holds the services that fitted.
    part.resume = resume;
    part.needed = complete ? 0 : needed;
    part.services.reserve(returned);
    for (DWORD i = 0; i < returned; ++i)
        part.services.push_back({Narrow(buffer[i].lpServiceName),
                                 Narrow(buffer[i].lpDisplayName), Copy(buffer[i].ServiceStatus)});
    if (complete) return true;
    lastError_ = error;
    return false;
}

ScHandle ServiceManagerWin32::OpenServiceByName(ScHandle manager, const std::string& serviceName,
                                                std::uint32_t access) {
    const SC_HANDLE service = ::OpenServiceW(ToHandle(manager), Wide(serviceName).c_str(), access);
    if (service == nullptr) Failed();
    return FromHandle(service);
}

bool ServiceManagerWin32::Start(ScHandle service) {
    return ::StartServiceW(ToHandle(service), 0, nullptr) ? true : Failed();
}

bool ServiceManagerWin32::ControlService(ScHandle service, std::uint32_t control,
                                         ServiceStatus& status) {
    SERVICE_STATUS received{};
    if (!::ControlService(ToHandle(service), control, &received)) return Failed();
    status = Copy(received);
    return true;
}

bool ServiceManagerWin32::CloseServiceHandle(ScHandle handle) {
    return ::CloseServiceHandle(ToHandle(handle)) ? true : Failed();
}

std::uint32_t ServiceManagerWin32::LastError() { return lastError_; }

}  // namespace platform::win32
