// A machine with more services than one listing buffer holds: the Services
// category of this machine, in a Wine prefix that many-services.sh gives 600
// services more than Wine brings.
#include "tests/win32/MainFormFixture.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

class ManyServices : public MainFormTest {};

}  // namespace

TEST_F(ManyServices, ServicesOfThisMachineListEveryServiceOnceUnderItsState) {
    const char* extra = std::getenv("NV_EXTRA_SERVICES");
    if (extra == nullptr) GTEST_SKIP() << "needs the Wine prefix of tests/win32/many-services.sh";
    const int count = std::atoi(extra);

    WriteIps(LocalComputerName() + "\r\n");
    Open();
    ASSERT_TRUE(WaitForTree());
    HTREEITEM internet = TreeView_GetRoot(Tree());
    TreeView_Expand(Tree(), internet, TVE_EXPAND);
    HTREEITEM host = FindItem(Tree(), internet, LocalComputerName());
    ASSERT_NE(host, nullptr);
    TreeView_Expand(Tree(), host, TVE_EXPAND);
    HTREEITEM services = FindItem(Tree(), host, "Services");
    ASSERT_NE(services, nullptr);
    TreeView_Expand(Tree(), services, TVE_EXPAND);
    ASSERT_NE(TreeView_GetChild(Tree(), services), nullptr)
        << form_->Logic().StatusBar.SimpleText();

    // Each listed service: the group it stands under, and its node's text.
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> listed;
    for (HTREEITEM g = TreeView_GetChild(Tree(), services); g;
         g = TreeView_GetNextSibling(Tree(), g))
        for (HTREEITEM s = TreeView_GetChild(Tree(), g); s; s = TreeView_GetNextSibling(Tree(), s)) {
            const std::string text = ItemText(Tree(), s);
            listed[text.substr(0, text.find(" ("))].push_back({ItemText(Tree(), g), text});
        }

    for (const auto& [name, places] : listed) EXPECT_EQ(places.size(), 1u) << name;
    EXPECT_EQ(listed.count("Spooler"), 1u);  // beside the services Wine brings
    for (int i = 0; i < count; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        const std::string name = std::string("NvExtraService") + number;
        ASSERT_EQ(listed[name].size(), 1u) << name;
        EXPECT_EQ(listed[name][0].first, "Stopped");
        EXPECT_EQ(listed[name][0].second,
                  name + " (C:\\windows\\system32\\nvextra" + number + ".exe)");
    }
}
