#include "tests/native/MainWindowFixture.h"

// ---------------------------------------------------------------- start

TEST_F(MainWindowTest, CreationHidesTheDetailPanelAndShowsTheVersionedCaption) {
    Create();
    EXPECT_FALSE(form.infoPanelVisible);
    EXPECT_EQ(form.infoText, "");
    EXPECT_EQ(form.caption, "Network View 0.2.0:9");
    EXPECT_EQ(statusBar.text, "Network View 0.2.0:9");
    EXPECT_FALSE(w->Tree.Visible());
    EXPECT_EQ(w->Tree.TotalCount(), 0u);
}

TEST_F(MainWindowTest, MissingVersionResourceGivesZeros) {
    version.versions.clear();
    Create();
    EXPECT_EQ(form.caption, "Network View 0.0.0:0");
    w->VersionText();
    EXPECT_EQ(version.moduleNameCalls, 1);  // the path is taken once
}

TEST_F(MainWindowTest, TreeIsBuiltOnce300msAfterStart) {
    Create();
    timers.Advance(299);
    EXPECT_FALSE(w->Tree.Visible());
    timers.Advance(1);
    EXPECT_TRUE(w->Tree.Visible());
    EXPECT_FALSE(w->StartupTimer.Enabled());
    timers.Advance(5000);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 1u);
}

TEST_F(MainWindowTest, NoHostsAndNoDomainsGiveInternetAlone) {
    Start();
    EXPECT_EQ(RootTexts(), std::vector<std::string>{"Internet"});
    PVirtualNode internet = w->Tree.GetFirst();
    EXPECT_FALSE(w->Tree.HasChildren(internet));
    const auto& d = Data(internet);
    EXPECT_EQ(d.Machine, "");
    EXPECT_FALSE(d.FromHostList);
    EXPECT_EQ(d.Kind, nkNone);
    EXPECT_FALSE(d.Refill);
    EXPECT_EQ(d.Action, naAddHost);
    EXPECT_EQ(d.Info, "");
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);
}

TEST_F(MainWindowTest, DomainsFollowInternetInListingOrder) {
    net.Machine("").serverLists[""] = {"WORKGROUP", "CORP"};
    Start();
    EXPECT_EQ(RootTexts(), (std::vector<std::string>{"Internet", "WORKGROUP", "CORP"}));
    auto call = net.CallsOf("NetServerEnum").at(0);
    EXPECT_EQ(call.server, "");
    EXPECT_EQ(call.args, (std::vector<std::string>{"type=0x80000000", "domain=<none>"}));

    PVirtualNode corp = Child(nullptr, "CORP");
    EXPECT_TRUE(w->Tree.HasChildren(corp));
    EXPECT_EQ(Data(corp).Machine, "CORP");
    EXPECT_EQ(Data(corp).Kind, nkDomain);
    EXPECT_EQ(Data(corp).Action, naUpdateTree);
    EXPECT_FALSE(Data(corp).FromHostList);
    EXPECT_EQ(Data(corp).Info, "");
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);
}

TEST_F(MainWindowTest, FailedDomainListingFlashesItsFirstLineAndKeepsTheHosts) {
    files.files[kIps] = "hostA\r\n";
    net.Machine("\\\\hostA").serverType = 0x1;
    net.Machine("").failWith["NetServerEnum"] = 5;
    Start();
    EXPECT_EQ(RootTexts(), std::vector<std::string>{"Internet"});
    EXPECT_EQ(Texts(w->Tree.GetFirst()), std::vector<std::string>{"hostA"});
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_TRUE(w->Tree.Visible());
}

TEST_F(MainWindowTest, DomainListingAsksTheLocalMachineEvenAfterAHostQuery) {
    files.files[kIps] = "hostA\r\n";
    net.Machine("\\\\hostA").serverType = 0x1;
    net.Machine("").serverLists[""] = {"D"};
    Start();
    EXPECT_EQ(net.CallsOf("NetServerEnum").at(0).server, "");
}

// ---------------------------------------------------------------- server nodes

TEST_F(MainWindowTest, ServerNodeRecordsAndCategories) {
    files.files[kIps] = "hostA\r\n";
    net.Machine("\\\\hostA").serverType = 0x1003;  // Workstation, Server, NT
    Start();
    PVirtualNode internet = w->Tree.GetFirst();
    PVirtualNode host = w->Tree.GetFirstChild(internet);
    const auto& d = Data(host);
    EXPECT_EQ(d.Text, "hostA");
    EXPECT_EQ(d.Machine, "hostA");
    EXPECT_TRUE(d.FromHostList);
    EXPECT_EQ(d.Kind, nkNone);
    EXPECT_EQ(d.Action, naRemoveHost);
    EXPECT_EQ(d.Info, "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    EXPECT_TRUE(w->Tree.HasChildren(host));

    EXPECT_EQ(Texts(host), kCategories);
    const TNodeKind kinds[] = {nkGroups, nkUsers,    nkServices, nkDisks,
                               nkShares, nkSessions, nkOpenFiles};
    int i = 0;
    for (auto* c = w->Tree.GetFirstChild(host); c; c = w->Tree.GetNextSibling(c), ++i) {
        const auto& cd = Data(c);
        EXPECT_EQ(cd.Machine, "hostA");
        EXPECT_EQ(cd.Kind, kinds[i]);
        EXPECT_EQ(cd.Refill, cd.Kind == nkSessions || cd.Kind == nkOpenFiles);
        EXPECT_EQ(cd.Action, naNone);
        EXPECT_EQ(cd.Info, "");
        EXPECT_FALSE(cd.FromHostList);
        EXPECT_TRUE(w->Tree.HasChildren(c));
        EXPECT_EQ(w->Tree.ChildCount(c), 0u);
    }
}

TEST_F(MainWindowTest, ServerFlagsText) {
    EXPECT_EQ(TMainWindow::ServerFlagsText({svTypeWorkstation, svTypeServer, svTypeNT}),
              "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    EXPECT_EQ(TMainWindow::ServerFlagsText({}), "Serverflags: ");
    EXPECT_EQ(TMainWindow::ServerFlagsText({svTypeSQLServer, svTypeDomainCtrl, svTypeAll}),
              "Serverflags: SQLServer\r\nDomainCtrl\r\nAll\r\n");
}

TEST_F(MainWindowTest, LongNamesAreShownCutWhileTheNodeKeepsThemWhole) {
    const std::string name(250, 'n');
    files.files[kIps] = name + "\r\n";
    net.Machine("\\\\" + name).serverType = 0x1;
    Start();
    PVirtualNode host = w->Tree.GetFirstChild(w->Tree.GetFirst());
    EXPECT_EQ(Data(host).Text, std::string(200, 'n'));
    EXPECT_EQ(Data(host).Machine, name);
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").at(0).server, "\\\\" + name);
}

TEST_F(MainWindowTest, HostThatDoesNotAnswerKeepsItsMarkButGetsNoCategories) {
    files.files[kIps] = "ghost\r\n";  // no such machine: status 53
    Start();
    PVirtualNode host = w->Tree.GetFirstChild(w->Tree.GetFirst());
    EXPECT_EQ(Data(host).Info, "Error 53 : The network path was not found.\r\n");
    EXPECT_EQ(w->Tree.ChildCount(host), 0u);
    EXPECT_TRUE(w->Tree.HasChildren(host));
    EXPECT_EQ(Data(host).Action, naRemoveHost);
    bool allowed = true;
    w->TreeExpanding(host, allowed);
    EXPECT_EQ(w->Tree.ChildCount(host), 0u);
}

TEST_F(MainWindowTest, HourglassShowsWhileServersAreQueried) {
    files.files[kIps] = "a\r\nb\r\n";
    net.Machine("\\\\a");
    Start();
    EXPECT_EQ(form.cursor, crDefault);
    EXPECT_EQ(form.cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST_F(MainWindowTest, HostsAreAskedAtOnceAndAddedInListOrderEachWithItsOwnAnswer) {
    std::string ips;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "h" + std::to_string(i);
        ips += name + "\r\n";
        auto& m = net.Machine("\\\\" + name);
        if (i % 4 == 1) m.status = 5;
        if (i % 4 == 2) m.status = 2221;  // a network status, from netmsg.dll
        if (i % 4 == 3) net.machines.erase("\\\\" + name);  // does not answer: 53
        if (i % 4 == 0) m.serverType = 0x1000u | static_cast<unsigned>(i);
    }
    files.files[kIps] = ips;
    // No call answers before all twenty wait at once: asked one by one, the
    // first would never get an answer.
    net.gatherCalls = 20;
    Start();
    EXPECT_TRUE(net.gatheredAll);
    EXPECT_EQ(net.maxInFlight, 20);

    PVirtualNode internet = w->Tree.GetFirst();
    ASSERT_EQ(w->Tree.ChildCount(internet), 20u);
    int i = 0;
    for (auto* h = w->Tree.GetFirstChild(internet); h; h = w->Tree.GetNextSibling(h), ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Data(h).Text, "h" + std::to_string(i));
        EXPECT_EQ(Data(h).Action, naRemoveHost);
        switch (i % 4) {
            case 0:
                EXPECT_EQ(Data(h).Info, i == 0 ? "Serverflags: NT\r\n"
                                               : TMainWindow::ServerFlagsText(
                                                     ServerTypesFromBits(0x1000u | i)));
                EXPECT_EQ(Texts(h), kCategories);
                EXPECT_EQ(Data(w->Tree.GetFirstChild(h)).Machine, Data(h).Text.str());
                break;
            case 1:
                EXPECT_EQ(Data(h).Info, "Error 5 : Access is denied.\r\n");
                EXPECT_EQ(w->Tree.ChildCount(h), 0u);
                break;
            case 2:
                EXPECT_EQ(Data(h).Info, "Error 2221 : The user name could not be found.\r\n");
                EXPECT_EQ(w->Tree.ChildCount(h), 0u);
                break;
            default:
                EXPECT_EQ(Data(h).Info, "Error 53 : The network path was not found.\r\n");
                EXPECT_EQ(w->Tree.ChildCount(h), 0u);
        }
    }
    EXPECT_EQ(Data(Child(internet, "h4")).Info, "Serverflags: SQLServer\r\nNT\r\n");
    // netmsg.dll was looked for once for all the messages.
    EXPECT_EQ(messages.loads, 1);
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 20u);
}

TEST_F(MainWindowTest, WhileHostsAreAskedAgainTheTreeStaysShownAndInputStartsNothing) {
    files.files[kIps] = "a\r\nb\r\n";
    net.Machine("\\\\a").serverType = 1;
    net.Machine("").serverLists[""] = {"D"};
    net.Machine("").serverLists["D"] = {"PC"};
    Start();
    PVirtualNode d = Child(nullptr, "D");
    ClickOn(d);  // offers "Update tree"
    int pumps = 0;
    form.onProcessMessages = [&] {
        ++pumps;
        EXPECT_TRUE(w->Tree.Visible());  // the wait panel is for the start alone
        // The user presses the button again, the start timer fires once more.
        w->ActionButtonClick();
        w->StartupTimerTick();
    };
    w->ActionButtonClick();
    form.onProcessMessages = nullptr;
    EXPECT_GE(pumps, 1);
    EXPECT_TRUE(w->Tree.Visible());
    EXPECT_EQ(Texts(w->Tree.GetFirst()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(RootTexts(), (std::vector<std::string>{"Internet", "D"}));
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);  // one build at start, one now
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 4u);
}
TEST_F(MainWindowTest, AHostWhoseQueryThrowsCarriesTheMessageAndTheTreeIsShownAndUsable) {
    files.files[kIps] = "good\r\nbroken\r\nstrange\r\nhungry\r\n";
    net.Machine("\\\\good").serverType = 0x1;
    net.Machine("").serverLists[""] = {"D"};
    net.onCall = [](const NetCall& call) {
        if (call.server == "\\\\broken") throw Exception("The answer could not be read.");
        if (call.server == "\\\\strange") throw 42;
        if (call.server == "\\\\hungry") throw std::bad_alloc();
    };
    Start();
    EXPECT_TRUE(w->Tree.Visible());
    EXPECT_FALSE(w->StartupTimer.Enabled());
    EXPECT_EQ(RootTexts(), (std::vector<std::string>{"Internet", "D"}));
    PVirtualNode internet = w->Tree.GetFirst();
    const std::pair<const char*, const char*> infos[] = {
        {"good", "Serverflags: Workstation\r\n"},
        {"broken", "The answer could not be read."},
        {"strange", "An unexpected failure occurred."},
        {"hungry", "Out of memory."},
    };
    for (const auto& [host, info] : infos) EXPECT_EQ(Data(Child(internet, host)).Info, info) << host;
    EXPECT_EQ(Texts(Child(internet, "good")), kCategories);
    EXPECT_EQ(w->Tree.ChildCount(Child(internet, "broken")), 0u);

    ClickOn(Child(internet, "broken"));
    EXPECT_EQ(form.infoText, "The answer could not be read.");
    EXPECT_EQ(form.actionCaption, "Remove IP");
    ClickOn(Child(nullptr, "D"));
    int pumps = 0;
    form.onProcessMessages = [&] {
        ++pumps;
        EXPECT_TRUE(w->Tree.Visible());
    };
    w->ActionButtonClick();  // "Update tree"
    EXPECT_GE(pumps, 1);
    EXPECT_EQ(Texts(w->Tree.GetFirst()),
              (std::vector<std::string>{"good", "broken", "strange", "hungry"}));
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
}

// Whatever a step of the tree build, an expansion or an action throws is
// flashed, and the event ends as usual.
TEST_F(MainWindowTest, AnythingThrownInAnEventIsFlashedAndGoesNoFurther) {
    files.files[kIps] = "M\r\n";
    net.Machine("\\\\M").serverType = 0x1;
    net.Machine("\\\\M").shares = {{"Data", 0, "", 0, 10, 0, "C:\\Data", ""}};
    net.Machine("").serverLists[""] = {"D"};
    // The start's build: the window runs out of memory while the host is asked.
    form.onProcessMessages = [] { throw std::bad_alloc(); };
    Start();
    form.onProcessMessages = nullptr;
    EXPECT_EQ(statusBar.text, " Out of memory.");
    EXPECT_TRUE(w->Tree.Visible());
    EXPECT_FALSE(w->StartupTimer.Enabled());

    EXPECT_EQ(RootTexts(), std::vector<std::string>{"Internet"});
    w->BuildTree();  // as "Update tree" does
    PVirtualNode host = Child(w->Tree.GetFirst(), "M");
    net.onCall = [](const NetCall& call) {
        if (call.function == "NetServerEnum" || call.function == "NetShareDel") throw 42;
    };
    PVirtualNode d = Child(nullptr, "D");
    EXPECT_NO_THROW(w->Tree.Expand(d));
    EXPECT_EQ(statusBar.text, " An unexpected failure occurred.");
    EXPECT_EQ(Data(d).Kind, nkNone);

    statusBar.text.clear();
    PVirtualNode shares = Child(host, "Shares");
    w->Tree.Expand(shares);
    ClickOn(w->Tree.GetFirstChild(shares));
    EXPECT_NO_THROW(w->ActionButtonClick());  // "Remove Share permanently"
    EXPECT_EQ(statusBar.text, " An unexpected failure occurred.");
    EXPECT_EQ(form.cursor, crDefault);
}

// ---------------------------------------------------------------- domains

TEST_F(MainWindowTest, EachExpandedDomainListsItsOwnMachinesOnce) {
    auto& local = net.Machine("");
    local.serverLists[""] = {"D1", "D2"};
    local.serverLists["D1"] = {"PC1", "PC2"};
    local.serverLists["D2"] = {"SRV"};
    net.Machine("\\\\PC1").serverType = 0x1;
    net.Machine("\\\\SRV").serverType = 0x3;
    Start();

    PVirtualNode d2 = Child(nullptr, "D2");
    w->Tree.Expand(d2);
    PVirtualNode d1 = Child(nullptr, "D1");
    w->Tree.Expand(d1);

    EXPECT_EQ(Texts(d1), (std::vector<std::string>{"PC1", "PC2"}));
    EXPECT_EQ(Texts(d2), std::vector<std::string>{"SRV"});
    const auto enums = net.CallsOf("NetServerEnum");
    ASSERT_EQ(enums.size(), 3u);
    EXPECT_EQ(enums[1].args, (std::vector<std::string>{"type=0xFFFFFFFF", "domain=\"D2\""}));
    EXPECT_EQ(enums[2].args, (std::vector<std::string>{"type=0xFFFFFFFF", "domain=\"D1\""}));
    // Listed from the local machine although SRV was queried last.
    EXPECT_EQ(enums[2].server, "");

    PVirtualNode pc1 = Child(d1, "PC1");
    EXPECT_FALSE(Data(pc1).FromHostList);
    EXPECT_EQ(Data(pc1).Action, naNone);
    EXPECT_EQ(Texts(pc1), kCategories);
    EXPECT_EQ(w->Tree.ChildCount(Child(d1, "PC2")), 0u);  // did not answer

    EXPECT_EQ(Data(d1).Kind, nkNone);
    w->Tree.Collapse(d1);
    w->Tree.Expand(d1);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 3u);
    EXPECT_EQ(w->Tree.ChildCount(d1), 2u);
}

TEST_F(MainWindowTest, DomainMachinesAreAskedAtOnceAndAddedInListingOrder) {
    TStringList machines;
    for (int i = 0; i < 20; ++i) {
        machines.push_back("PC" + std::to_string(i));
        if (i % 2 == 0) net.Machine("\\\\PC" + std::to_string(i)).serverType = 0x2;
    }
    net.Machine("").serverLists[""] = {"D"};
    net.Machine("").serverLists["D"] = machines;
    Start();
    net.gatherCalls = 20;
    int pumps = 0;
    form.onProcessMessages = [&] {
        ++pumps;
        EXPECT_EQ(form.cursor, crHourGlass);
    };
    PVirtualNode d = Child(nullptr, "D");
    w->Tree.Expand(d);
    form.onProcessMessages = nullptr;
    EXPECT_GE(pumps, 1);
    EXPECT_TRUE(net.gatheredAll);
    EXPECT_EQ(Texts(d), std::vector<std::string>(machines.begin(), machines.end()));
    for (int i = 0; i < 20; ++i) {
        PVirtualNode pc = Child(d, machines[i]);
        EXPECT_FALSE(Data(pc).FromHostList);
        EXPECT_EQ(Data(pc).Info, i % 2 == 0 ? "Serverflags: Server\r\n"
                                            : "Error 53 : The network path was not found.\r\n");
        EXPECT_EQ(w->Tree.ChildCount(pc), i % 2 == 0 ? 7u : 0u);
    }
    EXPECT_EQ(form.cursor, crDefault);
}

TEST_F(MainWindowTest, FailedDomainExpansionFlashesAndIsNotRepeated) {
    net.Machine("").serverLists[""] = {"D"};
    Start();
    net.Machine("").failWith["NetServerEnum"] = 6118;
    PVirtualNode d = Child(nullptr, "D");
    w->Tree.Expand(d);
    EXPECT_EQ(statusBar.text, " Error 6118");
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_EQ(Data(d).Kind, nkNone);
    EXPECT_EQ(form.cursor, crDefault);
    w->Tree.Collapse(d);
    w->Tree.Expand(d);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
}

TEST_F(MainWindowTest, InputThatWouldStartAnotherFillWhileOneRunsIsIgnored) {
    auto& local = net.Machine("");
    local.serverLists[""] = {"D1", "D2"};
    local.serverLists["D1"] = {"PC1"};
    local.serverLists["D2"] = {"PC2"};
    Start();
    PVirtualNode d1 = Child(nullptr, "D1");
    PVirtualNode d2 = Child(nullptr, "D2");
    ClickOn(d2);  // offers "Update tree"
    bool inside = false;
    net.onCall = [&](const NetCall& call) {
        if (call.function != "NetServerEnum" || inside) return;
        inside = true;
        // The user expands another domain and presses the button meanwhile.
        w->Tree.Expand(d2);
        w->ActionButtonClick();
    };
    w->Tree.Expand(d1);
    net.onCall = nullptr;
    EXPECT_EQ(Texts(d1), std::vector<std::string>{"PC1"});
    EXPECT_FALSE(d2->Expanded());
    EXPECT_EQ(w->Tree.ChildCount(d2), 0u);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);  // the domains, then D1 only
    // Afterwards the refused domain expands as usual.
    EXPECT_EQ(Data(d2).Kind, nkDomain);
    w->Tree.Expand(d2);
    EXPECT_EQ(Texts(d2), std::vector<std::string>{"PC2"});
}

TEST_F(MainWindowTest, UpdateTreeRebuildsFromTheListInMemory) {
    files.files[kIps] = "a\r\n";
    net.Machine("\\\\a");
    net.Machine("").serverLists[""] = {"D"};
    Start();
    files.files[kIps] = "changed\r\n";
    w->HostList.push_back("b");
    ClickOn(Child(nullptr, "D"));
    EXPECT_EQ(form.actionCaption, "Update tree");
    w->ActionButtonClick();
    EXPECT_EQ(Texts(w->Tree.GetFirst()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);
    // Nothing is focused, so a second press does nothing.
    w->ActionButtonClick();
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
}

// ---------------------------------------------------------------- clicks

TEST_F(MainWindowTest, ClickShowsDetailAndOffersTheAction) {
    files.files[kIps] = "hostA\r\n";
    net.Machine("\\\\hostA").serverType = 0x1;
    net.Machine("").serverLists[""] = {"D"};
    net.Machine("").serverLists["D"] = {"PC"};
    net.Machine("\\\\PC").serverType = 0x2;
    Start();
    PVirtualNode internet = w->Tree.GetFirst();

    ClickOn(internet);
    EXPECT_EQ(form.actionCaption, "Add node by IP/Hostname");
    EXPECT_TRUE(form.actionPanelVisible);
    EXPECT_FALSE(form.infoPanelVisible);

    ClickOn(Child(internet, "hostA"));
    EXPECT_EQ(form.actionCaption, "Remove IP");
    EXPECT_TRUE(form.actionPanelVisible);
    EXPECT_TRUE(form.infoPanelVisible);
    EXPECT_EQ(form.infoText, "Serverflags: Workstation\r\n");

    PVirtualNode d = Child(nullptr, "D");
    w->Tree.Expand(d);
    ClickOn(Child(d, "PC"));
    EXPECT_FALSE(form.actionPanelVisible);
    EXPECT_EQ(form.actionCaption, "Remove IP");  // unchanged
    EXPECT_EQ(form.infoText, "Serverflags: Server\r\n");

    ClickOn(Child(Child(d, "PC"), "Users"));
    EXPECT_FALSE(form.actionPanelVisible);
    EXPECT_FALSE(form.infoPanelVisible);
    EXPECT_EQ(form.infoText, "");
}

TEST_F(MainWindowTest, ClickWithoutFocusHidesTheButtonAndKeepsTheDetail) {
    files.files[kIps] = "hostA\r\n";
    net.Machine("\\\\hostA").serverType = 0x1;
    Start();
    ClickOn(w->Tree.GetFirstChild(w->Tree.GetFirst()));
    ClickOn(nullptr);
    EXPECT_FALSE(form.actionPanelVisible);
    EXPECT_TRUE(form.infoPanelVisible);
    EXPECT_EQ(form.infoText, "Serverflags: Workstation\r\n");
}

// ---------------------------------------------------------------- status bar

TEST_F(MainWindowTest, FlashAlternatesRedAndWhiteForTenSecondsThenTakesTheWindowColour) {
    Start();
    w->FlashStatusMessage("Error 5 : Access is denied.\r\nsecond line");
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_TRUE(statusBar.colors.empty());
    timers.Advance(10000);
    EXPECT_EQ(statusBar.colors, (std::vector<TColor>{clRed, clWhite, clRed, clWhite, clRed, clWhite,
                                                 clRed, clWhite, clRed, clWhite}));
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_FALSE(statusBar.parentColor);
    timers.Advance(1000);
    EXPECT_FALSE(w->FlashTimer.Enabled());
    EXPECT_TRUE(statusBar.parentColor);
    EXPECT_EQ(w->FlashTimer.Tag, 0);
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
}

TEST_F(MainWindowTest, SecondMessageContinuesTheRunningFlash) {
    Start();
    const long long start = timers.Now();
    w->FlashStatusMessage("first");
    timers.Advance(3000);
    w->FlashStatusMessage("second\r\nmore");
    EXPECT_EQ(statusBar.text, " second");
    timers.Advance(7999);
    EXPECT_TRUE(w->FlashTimer.Enabled());
    timers.Advance(1);
    EXPECT_FALSE(w->FlashTimer.Enabled());
    EXPECT_EQ(timers.Now() - start, 11000);
    EXPECT_TRUE(statusBar.parentColor);
    EXPECT_EQ(statusBar.text, " second");
    EXPECT_EQ(statusBar.colors.size(), 10u);
}

TEST_F(MainWindowTest, ClickStopsTheFlashAtOnceAndKeepsTheText) {
    Start();
    w->FlashStatusMessage("broken");
    timers.Advance(1000);
    EXPECT_FALSE(statusBar.parentColor);
    ClickOn(w->Tree.GetFirst());
    EXPECT_FALSE(w->FlashTimer.Enabled());
    EXPECT_TRUE(statusBar.parentColor);
    EXPECT_EQ(statusBar.text, " broken");
    EXPECT_EQ(w->FlashTimer.Tag, 0);
    // A new message starts a full sequence again.
    w->FlashStatusMessage("again");
    timers.Advance(11000);
    EXPECT_EQ(statusBar.colors.size(), 11u);
}

TEST_F(MainWindowTest, ProgressTextIsShownBeforePendingMessagesRun) {
    Start();
    std::string seen;
    form.onProcessMessages = [&] { seen = statusBar.text; };
    w->ShowProgress("Got user #3");
    EXPECT_EQ(form.processMessagesCalls, 1);
    EXPECT_EQ(seen, "Got user #3");
}

TEST_F(MainWindowTest, NetResultShowsTheBareSystemTextOrTheNumberWhenThereIsNone) {
    Start();
    w->ShowNetResult(0);
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
    w->ShowNetResult(99999);
    EXPECT_EQ(statusBar.text, "Error 99999");
    EXPECT_FALSE(w->FlashTimer.Enabled());
}

TEST_F(MainWindowTest, AboutButtonShowsTheAboutBox) {
    Start();
    w->AboutButtonClick();
    EXPECT_EQ(form.aboutBoxes, 1);
}

// ---------------------------------------------------------------- ips.txt

TEST_F(MainWindowTest, HostFileLinesBecomeNodesUnderInternet) {
    files.files[kIps] = "a\r\n\r\nb";
    Start();
    EXPECT_EQ(w->HostList, (TStringList{"a", "", "b"}));
    EXPECT_EQ(Texts(w->Tree.GetFirst()), (std::vector<std::string>{"a", "", "b"}));
    // The hosts are asked concurrently: in any order, each once.
    std::multiset<std::string> asked;
    for (const auto& call : net.CallsOf("NetServerGetInfo")) asked.insert(call.server);
    EXPECT_EQ(asked, (std::multiset<std::string>{"\\\\a", "\\\\", "\\\\b"}));
    w->FormClose();
    EXPECT_EQ(files.files[kIps], "a\r\n\r\nb\r\n");
}

TEST_F(MainWindowTest, HostFileIsOnlyReadFromTheProgramFolder) {
    files.files["ips.txt"] = "elsewhere\r\n";
    Start();
    EXPECT_TRUE(w->HostList.empty());
}

TEST_F(MainWindowTest, HostFileWithNulStopsThere) {
    files.files[kIps] = std::string("a\r\nb\0c\r\n", 8);
    Start();
    EXPECT_EQ(w->HostList, (TStringList{"a", "b"}));
}

TEST_F(MainWindowTest, StartingWithoutTheFileAndClosingLeavesAnEmptyFile) {
    Start();
    EXPECT_TRUE(form.errors.empty());
    w->FormClose();
    ASSERT_EQ(files.files.count(kIps), 1u);
    EXPECT_EQ(files.files[kIps], "");
}

TEST_F(MainWindowTest, FailedWriteKeepsTheOldContentAndSaysSo) {
    files.files[kIps] = "keep\r\n";
    files.writeErrors[kIps] = 5;
    Start();
    w->HostList.push_back("new");
    w->FormClose();
    EXPECT_EQ(files.files[kIps], "keep\r\n");
    ASSERT_EQ(form.errors.size(), 1u);
    EXPECT_NE(form.errors[0].find(kIps), std::string::npos);
    EXPECT_NE(form.errors[0].find("Access is denied."), std::string::npos);
}

TEST_F(MainWindowTest, UnreadableFileIsToldAndLeftAloneAtClose) {
    files.readErrors[kIps] = 32;  // in use by another process
    Start();
    ASSERT_EQ(form.errors.size(), 1u);
    EXPECT_NE(form.errors[0].find(kIps), std::string::npos);
    EXPECT_TRUE(w->HostList.empty());
    EXPECT_EQ(Texts(w->Tree.GetFirst()), std::vector<std::string>{});
    w->FormClose();
    EXPECT_EQ(files.replaceCalls, 0);
    EXPECT_EQ(form.errors.size(), 2u);
}
