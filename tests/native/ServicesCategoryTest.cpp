#include "tests/native/MainWindowFixture.h"

namespace {

const std::string kServices = "SYSTEM\\CurrentControlSet\\Services";

// The window with hosts A and B from ips.txt, both answering.
class ServicesCategoryTest : public MainWindowTest {
protected:
    ServicesCategoryTest() {
        net.Machine("");
        net.Machine("\\\\A").serverType = 0x1;
        net.Machine("\\\\B").serverType = 0x1;
        files.files[kIps] = "A\r\nB\r\n";
        messages.systemTable[1062] = "The service has not been started.\r\n";
        messages.systemTable[1051] =
            "A stop control has been sent to a service that other running services are "
            "dependent on.  \r\n";
    }

    // The "Services" category of a host.
    PVirtualNode Services(const std::string& host) {
        return Child(Child(w->Tree.GetFirst(), host), "Services");
    }
    void Press(PVirtualNode n) {
        w->Tree.SetFocusedNode(n);
        w->Tree.Click();
        w->ActionButtonClick();
    }
    ScriptedRegistry::Key& ServiceKey(const std::string& machine, const std::string& name) {
        return registry.KeyAt(machine, platform::kHKeyLocalMachine, kServices + "\\" + name);
    }

    ScriptedServiceManager& scm = services;
};

}  // namespace

TEST_F(ServicesCategoryTest, GroupsAppearInTheOrderTheirStateFirstOccurs) {
    auto& a = scm.Machine("\\\\A");
    a.Add("Paused1", platform::kServicePaused);
    a.Add("Run1", platform::kServiceRunning);
    a.Add("Stop1", platform::kServiceStopped);
    a.Add("Run2", platform::kServiceRunning);
    a.Add("Odd", 9);
    a.Add("Pending", platform::kServiceStartPending);
    ServiceKey("\\\\A", "Run1").values["ImagePath"] = ScriptedRegistry::String("C:\\run1.exe");
    Start();
    EXPECT_FALSE(w->ServiceDatabase.Active());
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);

    EXPECT_EQ(Texts(services),
              (std::vector<std::string>{"Paused", "Started", "Stopped", "Unknown", "Starting"}));
    PVirtualNode started = Child(services, "Started");
    EXPECT_EQ(Texts(started), (std::vector<std::string>{"Run1 (C:\\run1.exe)", "Run2 ()"}));
    EXPECT_EQ(Data(started).Machine, "A");
    EXPECT_EQ(Data(started).Action, naNone);
    EXPECT_EQ(Data(started).Kind, nkNone);
    EXPECT_EQ(Data(Child(started, "Run2 ()")).ServiceName, "Run2");
    EXPECT_EQ(Data(Child(started, "Run2 ()")).Machine, "");
    EXPECT_EQ(Data(Child(started, "Run2 ()")).Info, "");
    EXPECT_EQ(Data(services).Kind, nkNone);
    EXPECT_FALSE(w->ServiceDatabase.Active());
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(scm.CallsOf("OpenSCManager").at(0).machine, "\\\\A");

    // Only started and stopped services carry an action.
    const std::pair<const char*, const char*> offers[] = {{"Started", "Stop service"},
                                                          {"Stopped", "Start service"}};
    for (const auto& [group, caption] : offers) {
        w->Tree.SetFocusedNode(w->Tree.GetFirstChild(Child(services, group)));
        w->Tree.Click();
        EXPECT_TRUE(form.actionPanelVisible) << group;
        EXPECT_EQ(form.actionCaption, caption);
        EXPECT_FALSE(form.infoPanelVisible);
    }
    for (const char* group : {"Paused", "Unknown", "Starting"}) {
        w->Tree.SetFocusedNode(w->Tree.GetFirstChild(Child(services, group)));
        w->Tree.Click();
        EXPECT_FALSE(form.actionPanelVisible) << group;
    }
    w->Tree.SetFocusedNode(started);
    w->Tree.Click();
    EXPECT_FALSE(form.actionPanelVisible);
}

TEST_F(ServicesCategoryTest, EveryStateHasItsGroupTextAndAction) {
    const std::uint32_t states[] = {1, 3, 4, 2, 7, 6, 5, 0};
    const char* texts[] = {"Stopped", "Stopping", "Started",    "Starting",
                           "Paused",  "Pausing",  "Continuing", "Unknown"};
    const TNodeAction actions[] = {naStartService, naNone, naStopService, naNone,
                                   naNone,         naNone, naNone,        naNone};
    for (std::uint32_t s : states) scm.Machine("\\\\A").Add("S" + std::to_string(s), s);
    Start();
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);
    ASSERT_EQ(Texts(services), std::vector<std::string>(std::begin(texts), std::end(texts)));
    int i = 0;
    for (auto* g = w->Tree.GetFirstChild(services); g; g = w->Tree.GetNextSibling(g), ++i)
        EXPECT_EQ(Data(w->Tree.GetFirstChild(g)).Action, actions[i]) << texts[i];
}

TEST_F(ServicesCategoryTest, LongServiceTextIsCutAt200Characters) {
    const std::string name(150, 's');
    scm.Machine("\\\\A").Add(name, platform::kServiceRunning);
    ServiceKey("\\\\A", name).values["ImagePath"] = ScriptedRegistry::String(std::string(100, 'p'));
    Start();
    w->Tree.Expand(Services("A"));
    PVirtualNode service = w->Tree.GetFirstChild(Child(Services("A"), "Started"));
    EXPECT_EQ(Data(service).Text, name + " (" + std::string(48, 'p'));
    EXPECT_EQ(Data(service).ServiceName, name);  // whole, for the action
}

TEST_F(ServicesCategoryTest, FailedListingShowsNothingAndFlashesItsMessage) {
    auto& a = scm.Machine("\\\\A");
    a.Add("Service", platform::kServiceRunning);
    a.listError = 5;
    Start();
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);
    EXPECT_EQ(w->Tree.ChildCount(services), 0u);
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_EQ(Data(services).Kind, nkNone);
    EXPECT_FALSE(w->ServiceDatabase.Active());
    EXPECT_EQ(scm.OpenHandles(), 0u);
}

TEST_F(ServicesCategoryTest, BrokenImagePathKeepsTheNodesSoFarAndTheNextListingAsksAgain) {
    auto& a = scm.Machine("\\\\A");
    a.Add("Fine", platform::kServiceRunning);
    a.Add("Broken", platform::kServiceStopped);
    a.Add("Later", platform::kServiceRunning);
    ServiceKey("\\\\A", "Broken").values["ImagePath"] = ScriptedRegistry::Dword(1);
    Start();
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);
    EXPECT_EQ(Texts(services), (std::vector<std::string>{"Started", "Stopped"}));
    EXPECT_EQ(Texts(Child(services, "Stopped")), std::vector<std::string>{});
    EXPECT_EQ(statusBar.text, " Registry value 'ImagePath' is not a string");
    // The listing was closed: a fill after an action enumerates anew.
    EXPECT_FALSE(w->ServiceDatabase.Active());
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(ServicesCategoryTest, StartEmptiesTheCategoryAndTheNextExpansionShowsTheNewState) {
    auto& a = scm.Machine("\\\\A");
    a.Add("Spooler", platform::kServiceStopped);
    a.Add("Other", platform::kServiceRunning);
    Start();
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);
    form.cursorHistory.clear();
    Press(Child(Child(services, "Stopped"), "Spooler ()"));

    EXPECT_TRUE(form.errors.empty());
    EXPECT_EQ(form.cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));
    EXPECT_EQ(a.services[0].status.dwCurrentState, platform::kServiceRunning);
    const auto open = scm.CallsOf("OpenSCManager").at(1);
    EXPECT_EQ(open.machine, "\\\\A");
    EXPECT_EQ(open.argument, "<null>");
    EXPECT_EQ(open.access, 0xF003Fu);
    const auto service = scm.CallsOf("OpenService").at(0);
    EXPECT_EQ(service.argument, "Spooler");
    EXPECT_EQ(service.access, 0xF01FFu);
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(scm.badCloses, 0);

    EXPECT_EQ(w->Tree.ChildCount(services), 0u);
    EXPECT_FALSE(services->Expanded());
    EXPECT_TRUE(w->Tree.HasChildren(services));
    EXPECT_EQ(Data(services).Kind, nkServices);
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);

    w->Tree.Expand(services);
    EXPECT_EQ(Texts(services), std::vector<std::string>{"Started"});
    EXPECT_EQ(Texts(Child(services, "Started")),
              (std::vector<std::string>{"Spooler ()", "Other ()"}));
    EXPECT_EQ(scm.CallsOf("EnumServicesStatus").size(), 2u);

    // Stop it again.
    Press(Child(Child(services, "Started"), "Spooler ()"));
    EXPECT_EQ(a.services[0].status.dwCurrentState, platform::kServiceStopped);
    EXPECT_EQ(scm.CallsOf("ControlService").at(0).argument, "Spooler control=1");
    EXPECT_EQ(Data(services).Kind, nkServices);
}

TEST_F(ServicesCategoryTest, ActionGoesToTheMachineOfTheClickedService) {
    // The machine the program runs on has a Spooler of its own.
    scm.Machine("").Add("Spooler", platform::kServiceStopped);
    scm.Machine("\\\\A").Add("Spooler", platform::kServiceStopped);
    scm.Machine("\\\\B").Add("Spooler", platform::kServiceStopped);
    Start();
    w->Tree.Expand(Services("A"));
    w->Tree.Expand(Services("B"));
    Press(Child(Child(Services("B"), "Stopped"), "Spooler ()"));
    EXPECT_EQ(scm.CallsOf("StartService").at(0).machine, "\\\\B");
    EXPECT_EQ(scm.Machine("\\\\B").services[0].status.dwCurrentState, platform::kServiceRunning);
    EXPECT_EQ(scm.Machine("\\\\A").services[0].status.dwCurrentState, platform::kServiceStopped);
    EXPECT_EQ(scm.Machine("").services[0].status.dwCurrentState, platform::kServiceStopped);
    // Only B's category is emptied.
    EXPECT_EQ(Data(Services("B")).Kind, nkServices);
    EXPECT_EQ(w->Tree.ChildCount(Services("A")), 1u);
}

TEST_F(ServicesCategoryTest, FailuresAreToldInMessageBoxesAndTheCategoryIsEmptiedAllTheSame) {
    auto& a = scm.Machine("\\\\A");
    a.Add("Running", platform::kServiceRunning).stopError = 1051;
    a.Add("Gone", platform::kServiceStopped);
    a.Add("Stopped", platform::kServiceStopped).startError = 1062;
    Start();
    PVirtualNode services = Services("A");

    w->Tree.Expand(services);
    Press(Child(Child(services, "Started"), "Running ()"));
    EXPECT_EQ(form.errors.back(),
              "A stop control has been sent to a service that other running services are "
              "dependent on");
    EXPECT_EQ(Data(services).Kind, nkServices);

    // The service went away between the listing and the press.
    w->Tree.Expand(services);
    a.services.erase(a.services.begin() + 1);
    Press(Child(Child(services, "Stopped"), "Gone ()"));
    EXPECT_EQ(form.errors.back(), "Error: OpenService");
    EXPECT_EQ(w->Tree.ChildCount(services), 0u);

    w->Tree.Expand(services);
    Press(Child(Child(services, "Stopped"), "Stopped ()"));
    EXPECT_EQ(form.errors.back(), "The service has not been started");

    // Listing asks for less access than acting: a user who may list but not
    // act is told so at every press.
    a.grantedAccess = 0x15;
    w->Tree.Expand(services);
    ASSERT_EQ(w->Tree.ChildCount(services), 2u);
    Press(Child(Child(services, "Stopped"), "Stopped ()"));
    EXPECT_EQ(form.errors.back(), "Error: OpenSCManager");
    EXPECT_EQ(Data(services).Kind, nkServices);
    EXPECT_EQ(w->Tree.ChildCount(services), 0u);

    EXPECT_EQ(form.errors.size(), 4u);
    EXPECT_EQ(scm.OpenHandles(), 0u);
    EXPECT_EQ(scm.badCloses, 0);
    EXPECT_EQ(form.cursor, crDefault);
}

TEST_F(ServicesCategoryTest, SystemTextIsCutAt256CharactersAndAnUnknownCodeIsNamed) {
    messages.systemTable[1053] = std::string(300, 'x') + ".\r\n";
    auto& a = scm.Machine("\\\\A");
    a.Add("Slow", platform::kServiceStopped).startError = 1053;
    a.Add("Odd", platform::kServiceStopped).startError = 77777;
    Start();
    PVirtualNode services = Services("A");
    w->Tree.Expand(services);
    Press(Child(Child(services, "Stopped"), "Slow ()"));
    EXPECT_EQ(form.errors.back(), std::string(256, 'x'));
    w->Tree.Expand(services);
    Press(Child(Child(services, "Stopped"), "Odd ()"));
    EXPECT_EQ(form.errors.back(), "Error 77777");
    const auto& lookup = messages.formatCalls.back();
    EXPECT_EQ(lookup.id, 77777u);
    EXPECT_EQ(lookup.flags & 0x1800, 0x1000u);  // the system's table only
    EXPECT_EQ(lookup.language, 0x400u);
}
