#include "services/ServiceDatabase.h"

#include <iterator>
#include <utility>

TServiceState ServiceStateOf(std::uint32_t currentState) {
    switch (currentState) {
        case platform::kServiceStopped: return ssStopped;
        case platform::kServiceStopPending: return ssStopping;
        case platform::kServiceRunning: return ssStarted;
        case platform::kServiceStartPending: return ssStarting;
        case platform::kServicePaused: return ssPaused;
        case platform::kServicePausePending: return ssPausing;
        case platform::kServiceContinuePending: return ssContinuing;
        default: return ssUnknown;
    }
}

TServiceStartType ServiceStartTypeOf(std::int32_t start) {
    switch (start) {
        case 2: return stAutomatic;
        case 3: return stManual;
        case 4: return stDisabled;
        default: return stOther;
    }
}

// ---------------------------------------------------------------- service

TService::TService(TServiceDatabase& database, std::string serviceName, std::string displayName,
                   const platform::ServiceStatus& status)
    : database_(database),
      serviceName_(std::move(serviceName)),
      displayName_(std::move(displayName)),
      status_(status) {}

std::string TService::ImagePath() {
    if (!imagePath_.empty()) return imagePath_;
    const TExRegistry* machine = database_.registry_.get();
    if (machine == nullptr) return imagePath_;

    TExRegistry services(database_.registryApi_, database_.messages_, platform::kKeyRead);
    services.SetRootKey(machine->RootKey());
    if (!services.OpenKey(kServicesKeyPath, false) || !services.KeyExists(serviceName_))
        return imagePath_;
    TExRegistry key(database_.registryApi_, database_.messages_, platform::kKeyRead);
    key.SetRootKey(services.CurrentKey());
    if (!key.OpenKey(serviceName_, false)) return imagePath_;
    imagePath_ = key.ReadString("ImagePath");
    if (key.ValueExists("Start")) startType_ = ServiceStartTypeOf(key.ReadInteger("Start"));
    return imagePath_;
}

// ---------------------------------------------------------------- database

TServiceDatabase::TServiceDatabase(platform::ServiceManager& manager, platform::Registry& registry,
                                   platform::SystemMessages& messages)
    : manager_(manager), registryApi_(registry), messages_(messages) {}

TServiceDatabase::~TServiceDatabase() { Close(); }

void TServiceDatabase::SetActive(bool active) {
    if (active == active_) return;
    if (active)
        Open();
    else
        Close();
}

void TServiceDatabase::SetMachine(const std::string& machine) {
    if (machine == machine_) return;
    const bool wasActive = active_;
    SetActive(false);
    machine_ = machine;
    SetActive(wasActive);
}

int TServiceDatabase::ServiceCount() const {
    return services_ ? static_cast<int>(services_->size()) : 0;
}

TService* TServiceDatabase::Services(int index) const {
    if (!services_) return nullptr;
    if (index < 0 || index >= static_cast<int>(services_->size()))
        throw Exception("Service index " + std::to_string(index) + " is out of range");
    return (*services_)[static_cast<std::size_t>(index)].get();
}

std::unique_ptr<TExRegistry> TServiceDatabase::ConnectMachineRegistry() {
    auto registry = std::make_unique<TExRegistry>(registryApi_, messages_, platform::kKeyRead);
    registry->SetRootKey(platform::kHKeyLocalMachine);
    if (!machine_.empty() && !registry->RegistryConnect(machine_)) return nullptr;
    return registry;
}

std::vector<platform::ServiceEntry> TServiceDatabase::ListServices(platform::ScHandle manager) {
    std::vector<platform::ServiceEntry> entries;
    platform::ServiceListPart part;
    std::uint32_t bufferSize = kServiceListBufferSize;
    for (;;) {
        const std::uint32_t resumedAt = part.resume;
        const bool complete = manager_.EnumServices(manager, platform::kServiceWin32,
                                                    platform::kServiceStateAll, bufferSize, part);
        const std::uint32_t error = complete ? 0 : manager_.LastError();
        if (!complete && error != platform::kErrorMoreData)
            throw ENTException::CreateError(messages_, error);
        if (!complete && part.resume == resumedAt) {
            // A manager that cannot go on from where a part ended: what it
            // gave is asked again, with the rest, in a buffer of the size it
            // named. One that names no more than it had cannot go on at all.
            if (part.needed <= bufferSize) throw ENTException::CreateError(messages_, error);
            bufferSize = part.needed;
            continue;
        }
        std::move(part.services.begin(), part.services.end(), std::back_inserter(entries));
        if (complete) return entries;
    }
}

void TServiceDatabase::Open() {
    if (active_) return;
    // Everything is gathered in locals and kept only when the whole listing
    // succeeded, so a failure releases the handle and the services at once.
    platform::ServiceHandle handle(
        manager_,
        manager_.OpenManager(machine_, std::string("ServicesActive"),
                             platform::kScManagerConnect | platform::kScManagerEnumerateService |
                                 platform::kScManagerQueryLockStatus));
    if (!handle) throw ENTException::CreateError(messages_, manager_.LastError());

    std::vector<platform::ServiceEntry> entries = ListServices(handle.Get());

    std::unique_ptr<TExRegistry> registry = ConnectMachineRegistry();
    std::vector<std::unique_ptr<TService>> services;
    services.reserve(entries.size());
    for (auto& entry : entries) {
        auto service = std::make_unique<TService>(*this, std::move(entry.serviceName),
                                                  std::move(entry.displayName), entry.status);
        if (registry != nullptr &&
            registry->OpenKey(std::string("\\") + kServicesKeyPath + "\\" + service->serviceName_,
                              false) &&
            registry->ValueExists("DependOnService")) {
            service->dependencies_.emplace();
            registry->ReadStrings("DependOnService", *service->dependencies_);
        }
        services.push_back(std::move(service));
    }
    if (registry != nullptr) registry->CloseKey();

    handle_ = std::move(handle);
    services_ = std::move(services);
    registry_ = std::move(registry);
    active_ = true;
}

void TServiceDatabase::Close() {
    handle_.Reset();
    services_.reset();
    registry_.reset();
    active_ = false;
}
