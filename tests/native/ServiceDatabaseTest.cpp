#include <gtest/gtest.h>

#include <cstdio>

#include "services/ServiceDatabase.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/fakes/ScriptedServiceManager.h"

namespace {

const std::string kServices = "SYSTEM\\CurrentControlSet\\Services";

class ServiceDatabaseTest : public ::testing::Test {
protected:
    ScriptedRegistry::Key& ServiceKey(const std::string& machine, const std::string& name) {
        return registry.KeyAt(machine, platform::kHKeyLocalMachine, kServices + "\\" + name);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < db.ServiceCount(); ++i) names.push_back(db.Services(i)->ServiceName());
        return names;
    }

    ScriptedServiceManager scm;
    ScriptedRegistry registry;
    FakeMessages messages;
    TServiceDatabase db{scm, registry, messages};
};

}  // namespace

TEST_F(ServiceDatabaseTest, OpenListsTheWin32ServicesOnceInManagerOrder) {
    auto& local = scm.Machine("");
    local.Add("Zeta", platform::kServiceRunning);
    local.Add("Driver", platform::kServiceRunning, 1);  // a kernel driver is not listed
    local.Add("Alpha", platform::kServiceStopped, platform::kServiceWin32ShareProcess)
        .status.dwWaitHint = 77;
    EXPECT_FALSE(db.Active());
    EXPECT_EQ(db.ServiceCount(), 0);
    EXPECT_EQ(db.Services(0), nullptr);

    db.SetActive(true);
    EXPECT_TRUE(db.Active());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(db.Services(1)->DisplayName(), "Alpha service");
    EXPECT_EQ(db.Services(1)->Status().dwWaitHint, 77u);
    EXPECT_EQ(db.Services(1)->State(), ssStopped);
    EXPECT_EQ(&db.Services(1)->Database(), &db);
    EXPECT_THROW(db.Services(2), Exception);
    EXPECT_THROW(db.Services(-1), Exception);

    const auto open = scm.CallsOf("OpenSCManager").at(0);
    EXPECT_EQ(open.machine, "");  // an empty name, not a null pointer
    EXPECT_EQ(open.argument, "ServicesActive");
    EXPECT_EQ(open.access, 0x15u);
    const auto enums = scm.CallsOf("EnumServicesStatus");
    ASSERT_EQ(enums.size(), 1u);
    EXPECT_EQ(enums[0].argument, "type=48 state=3");
    EXPECT_EQ(enums[0].bufferSize, 65536u);

    db.SetActive(true);  // already active: nothing happens
    EXPECT_EQ(scm.CallsOf("EnumServicesStatus").size(), 1u);
    EXPECT_EQ(scm.OpenHandles(), 1u);
}

TEST_F(ServiceDatabaseTest, MachineChangeReopensOnlyWhenActiveAndOnlyForAnotherName) {
    scm.Machine("\\\\A").Add("OnA", platform::kServiceRunning);
    scm.Machine("\\\\B").Add("OnB", platform::kServiceRunning);
    db.SetMachine("\\\\A");
    EXPECT_TRUE(scm.calls.empty());  // inactive: only stored
    db.SetActive(true);
    db.SetMachine("\\\\A");
    EXPECT_EQ(scm.calls.size(), 2u);  // the same name: no close, no reopen
    db.SetMachine("\\\\B");
    EXPECT_TRUE(db.Active());
    EXPECT_EQ(Names(), std::vector<std::string>{"OnB"});
    ASSERT_EQ(scm.calls.size(), 5u);
    EXPECT_EQ(scm.calls[2].function, "CloseServiceHandle");
    EXPECT_EQ(scm.calls[2].machine, "\\\\A");
    EXPECT_EQ(scm.calls[3].machine, "\\\\B");
    EXPECT_EQ(scm.OpenHandles(), 1u);
}

TEST_F(ServiceDatabaseTest, CloseThenDestroyClosesTheHandleOnce) {
    scm.Machine("").Add("S", platform::kServiceRunning);
    {
        TServiceDatabase own(scm, registry, messages);
        own.SetActive(true);
        own.Close();
        EXPECT_FALSE(own.Active());
        EXPECT_EQ(own.Handle(), 0u);
        EXPECT_EQ(own.ServiceCount(), 0);
    }
    EXPECT_EQ(scm.CallsOf("CloseServiceHandle").size(), 1u);
    EXPECT_EQ(scm.badCloses, 0);
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

// Two thousand services take several buffers of 65,536 bytes: each part goes
// on where the last one ended; a manager that does not move the resume
// handle is asked again from there, in a buffer of the size it named.
TEST_F(ServiceDatabaseTest, TwoThousandServicesAreListedEachOnceInTheManagersOrder) {
    struct Case {
        const char* machine;
        bool ignoresResume;
        std::vector<std::uint32_t> bufferSizes, resumes;
    } cases[] = {
        // Each entry takes 48 bytes and its two names as UTF-16 with their
        // terminators ("Service0000", "Service0000 service"): 112 bytes, so
        // 585 fit into a buffer.
        {"\\\\PARTS", false, {65536, 65536, 65536, 65536}, {0, 585, 1170, 1755}},
        {"\\\\STUCK", true, {65536, 224000}, {0, 0}},
    };
    std::vector<std::string> expected;
    for (int i = 0; i < 2000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Service%04d", i);
        expected.push_back(name);
    }
    for (const Case& c : cases) {
        auto& machine = scm.Machine(c.machine);
        machine.ignoresResume = c.ignoresResume;
        for (int i = 0; i < 2000; ++i)
            machine.Add(expected[i], i % 3 == 0 ? platform::kServiceStopped : platform::kServiceRunning);
        scm.calls.clear();
        db.SetMachine(c.machine);
        db.SetActive(true);
        EXPECT_EQ(Names(), expected) << c.machine;
        EXPECT_EQ(db.Services(1998)->State(), ssStopped);
        EXPECT_EQ(db.Services(1999)->State(), ssStarted);
        std::vector<std::uint32_t> bufferSizes, resumes;
        for (const auto& call : scm.CallsOf("EnumServicesStatus")) {
            bufferSizes.push_back(call.bufferSize);
            resumes.push_back(call.resume);
        }
        EXPECT_EQ(bufferSizes, c.bufferSizes) << c.machine;
        EXPECT_EQ(resumes, c.resumes) << c.machine;
        db.SetActive(false);
    }
}

TEST_F(ServiceDatabaseTest, AFailedListingReleasesEverythingAtOnce) {
    auto& local = scm.Machine("");
    local.Add("S", platform::kServiceRunning);
    local.listError = 5;
    try {
        db.SetActive(true);
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 5u);
        EXPECT_EQ(e.Message(), "Error 5 : Access is denied.\r\n");
    }
    EXPECT_FALSE(db.Active());
    EXPECT_EQ(db.ServiceCount(), 0);
    EXPECT_EQ(db.Handle(), 0u);
    EXPECT_EQ(scm.OpenHandles(), 0u);  // released at once, not at the next close

    local.listError = 0;
    db.SetActive(true);
    EXPECT_EQ(Names(), std::vector<std::string>{"S"});
}

TEST_F(ServiceDatabaseTest, ManagerThatCannotBeOpenedRaisesItsError) {
    db.SetMachine("\\\\GONE");  // no such machine: RPC server unavailable
    EXPECT_THROW(db.SetActive(true), ENTException);
    scm.Machine("").openError = 5;
    db.SetMachine("");
    try {
        db.SetActive(true);
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 5u);
        EXPECT_EQ(e.Message(), "Error 5 : Access is denied.\r\n");
    }
    EXPECT_FALSE(db.Active());
    EXPECT_EQ(scm.CallsOf("EnumServicesStatus").size(), 0u);
}

TEST_F(ServiceDatabaseTest, DependenciesAreAbsentOrTheStoredList) {
    auto& local = scm.Machine("");
    local.Add("NoKey", platform::kServiceRunning);
    local.Add("NoValue", platform::kServiceRunning);
    local.Add("Deps", platform::kServiceRunning);
    local.Add("EmptyDeps", platform::kServiceRunning);
    ServiceKey("", "NoValue");
    ServiceKey("", "Deps").values["DependOnService"] =
        ScriptedRegistry::MultiString({"RpcSs", "Tcpip"});
    ServiceKey("", "EmptyDeps").values["DependOnService"] = {platform::kRegMultiSz,
                                                             std::string(2, '\0')};
    db.SetActive(true);
    EXPECT_EQ(db.Services(0)->Dependencies(), nullptr);
    EXPECT_EQ(db.Services(1)->Dependencies(), nullptr);
    ASSERT_NE(db.Services(2)->Dependencies(), nullptr);
    EXPECT_EQ(*db.Services(2)->Dependencies(), (TStringList{"RpcSs", "Tcpip"}));
    ASSERT_NE(db.Services(3)->Dependencies(), nullptr);
    EXPECT_TRUE(db.Services(3)->Dependencies()->empty());
    // One key is opened per service, absolutely from HKEY_LOCAL_MACHINE.
    const auto opens = registry.CallsOf("OpenKey");
    ASSERT_EQ(opens.size(), 4u);
    EXPECT_EQ(opens[3].path, "HKEY_LOCAL_MACHINE\\" + kServices + "\\EmptyDeps");
    EXPECT_EQ(opens[3].access, platform::kKeyRead);
    db.SetActive(false);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(ServiceDatabaseTest, DependOnServiceOfTheWrongTypeStopsTheOpen) {
    auto& local = scm.Machine("");
    local.Add("Good", platform::kServiceRunning);
    local.Add("Bad", platform::kServiceRunning);
    local.Add("After", platform::kServiceRunning);
    ServiceKey("", "Bad").values["DependOnService"] = ScriptedRegistry::String("RpcSs");
    try {
        db.SetActive(true);
        FAIL() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "String list expected");
    }
    EXPECT_FALSE(db.Active());
    EXPECT_EQ(db.ServiceCount(), 0);
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.CallsOf("OpenKey").size(), 2u);  // "After" was never reached
}

TEST_F(ServiceDatabaseTest, ImagePathAndStartTypeAreReadWhenFirstAskedFor) {
    auto& local = scm.Machine("");
    local.Add("Full", platform::kServiceRunning);
    local.Add("StartOnly", platform::kServiceRunning);
    local.Add("NoKey", platform::kServiceRunning);
    local.Add("Odd", platform::kServiceRunning);
    auto& full = ServiceKey("", "Full");
    full.values["ImagePath"] =
        ScriptedRegistry::String("%SystemRoot%\\full.exe", platform::kRegExpandSz);
    full.values["Start"] = ScriptedRegistry::Dword(3);
    ServiceKey("", "StartOnly").values["Start"] = ScriptedRegistry::Dword(4);
    ServiceKey("", "Odd").values["Start"] = ScriptedRegistry::String("2");
    db.SetActive(true);
    const std::size_t atOpen = registry.calls.size();
    EXPECT_EQ(db.Services(0)->StartType(), stOther);
    EXPECT_EQ(registry.calls.size(), atOpen);  // nothing read yet

    EXPECT_EQ(db.Services(0)->ImagePath(), "%SystemRoot%\\full.exe");
    EXPECT_EQ(db.Services(0)->StartType(), stManual);
    const std::size_t afterFirst = registry.calls.size();
    EXPECT_EQ(db.Services(0)->ImagePath(), "%SystemRoot%\\full.exe");
    EXPECT_EQ(registry.calls.size(), afterFirst);  // remembered

    EXPECT_EQ(db.Services(1)->ImagePath(), "");
    EXPECT_EQ(db.Services(1)->StartType(), stDisabled);
    EXPECT_EQ(db.Services(2)->ImagePath(), "");
    EXPECT_EQ(db.Services(2)->StartType(), stOther);
    // An empty path is looked up again.
    const std::size_t beforeAgain = registry.calls.size();
    EXPECT_EQ(db.Services(2)->ImagePath(), "");
    EXPECT_GT(registry.calls.size(), beforeAgain);

    EXPECT_THROW(db.Services(3)->ImagePath(), ERegistryException);
    db.SetActive(false);
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badCloses, 0);
}

TEST_F(ServiceDatabaseTest, RegistryValuesComeFromTheListedMachine) {
    scm.Machine("\\\\B").Add("Svc", platform::kServiceRunning);
    scm.Machine("\\\\C").Add("Svc", platform::kServiceRunning);
    ServiceKey("", "Svc").values["ImagePath"] = ScriptedRegistry::String("local.exe");
    ServiceKey("", "Svc").values["DependOnService"] = ScriptedRegistry::MultiString({"Local"});
    ServiceKey("\\\\B", "Svc").values["ImagePath"] = ScriptedRegistry::String("remote.exe");
    ServiceKey("\\\\B", "Svc").values["DependOnService"] =
        ScriptedRegistry::MultiString({"Remote"});
    registry.unreachable["\\\\C"] = 53;

    db.SetMachine("\\\\B");
    db.SetActive(true);
    EXPECT_EQ(*db.Services(0)->Dependencies(), TStringList{"Remote"});
    EXPECT_EQ(db.Services(0)->ImagePath(), "remote.exe");
    const auto connects = registry.CallsOf("ConnectRegistry");
    ASSERT_EQ(connects.size(), 1u);  // one connection for the whole listing
    EXPECT_EQ(connects[0].machine, "\\\\B");
    EXPECT_EQ(connects[0].path, "HKEY_LOCAL_MACHINE");

    // A registry that cannot be reached reads as one without the service's key.
    db.SetMachine("\\\\C");
    EXPECT_TRUE(db.Active());
    EXPECT_EQ(db.Services(0)->Dependencies(), nullptr);
    EXPECT_EQ(db.Services(0)->ImagePath(), "");
    db.SetActive(false);
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badCloses, 0);
}
