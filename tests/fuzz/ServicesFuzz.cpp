// A machine's services with hostile names (any UTF-16 the system may hand
// over, huge and empty texts), any state, and hostile registry values (image
// paths and start types of any type and length, odd byte counts, no
// terminator) filled into the tree. Each service shows under its state's
// group, in the order the system listed them, with its whole name; a
// well-formed image path stands whole in its node; a value that cannot be
// read ends the fill but never leaves a half-made service node (its group,
// made first, may stay empty); no handle is left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::string Text(FuzzedDataProvider& in) { return fuzz::HostileText(in, 300); }

// The group a state shows under, and the action its services offer.
struct Group {
    const char* text;
    std::int32_t action;
};
Group GroupOf(std::uint32_t state) {
    constexpr std::array<Group, 8> kGroups{{{"Unknown", naNone},
                                            {"Stopped", naStartService},
                                            {"Starting", naNone},
                                            {"Stopping", naNone},
                                            {"Started", naStopService},
                                            {"Continuing", naNone},
                                            {"Pausing", naNone},
                                            {"Paused", naNone}}};
    return state >= 1 && state <= 7 ? kGroups[state] : kGroups[0];
}

struct Listed {
    std::string name;
    std::uint32_t state;
    bool wellFormed;
    std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ScriptedNetwork net;
    FakeWindowHost fakes;
    net.Machine("\\\\S").serverType = 0x1003;

    std::vector<Listed> listed;
    const auto count = in.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < count; ++i) {
        Listed s{Text(in), in.ConsumeIntegralInRange<std::uint32_t>(0, 9), in.ConsumeBool(), {}};
        // A service has a name of its own, and so a key of its own (key
        // names do not tell letter case apart); the system refuses names
        // with a slash or a backslash, which would name another key.
        bool taken = s.name.empty() || s.name.find_first_of("/\\") != std::string::npos;
        const ScriptedRegistry::NoCase less;
        for (const auto& other : listed)
            taken = taken || (!less(other.name, s.name) && !less(s.name, other.name));
        if (taken) continue;
        fakes.services.Machine("\\\\S").Add(s.name, s.state).displayName = Text(in);
        auto& key = fakes.registry.KeyAt("\\\\S", platform::kHKeyLocalMachine,
                                         "SYSTEM\\CurrentControlSet\\Services\\" + s.name);
        if (s.wellFormed) {
            s.path = Text(in);
            key.values["ImagePath"] = ScriptedRegistry::String(s.path, in.ConsumeBool() ? 1 : 2);
            key.values["Start"] = ScriptedRegistry::Dword(in.ConsumeIntegral<std::uint32_t>());
        } else {
            for (const char* value : {"ImagePath", "Start", "DependOnService"})
                if (in.ConsumeBool())
                    key.values[value] = {in.ConsumeIntegralInRange<std::uint32_t>(0, 8),
                                         in.ConsumeRandomLengthString(600)};
        }
        listed.push_back(s);
    }

    const auto window = fakes.StartWindow(net, "S\r\n");
    TMainWindow& w = *window;
    PVirtualNode server = w.Tree.GetFirstChild(w.Tree.GetFirst());
    FUZZ_CHECK(server != nullptr);
    PVirtualNode category = w.Tree.GetFirstChild(server);
    while (category && TNetTree::GetNodeData(category).Text != "Services")
        category = w.Tree.GetNextSibling(category);
    FUZZ_CHECK(category != nullptr);
    w.Tree.Expand(category);

    // The services shown are the first ones listed, each the next one of
    // its group; the groups are the states' and hold nothing else.
    std::map<std::string, PVirtualNode> next;
    std::size_t groups = 0, shown = 0;
    PVirtualNode emptyGroup = nullptr;
    for (auto* g = w.Tree.GetFirstChild(category); g; g = w.Tree.GetNextSibling(g)) {
        next[TNetTree::GetNodeData(g).Text] = w.Tree.GetFirstChild(g);
        shown += w.Tree.ChildCount(g);
        ++groups;
        // A group is made before its first service's path is read: only the
        // last one, of the service whose value could not be read, is empty.
        FUZZ_CHECK(emptyGroup == nullptr);
        if (w.Tree.ChildCount(g) == 0) emptyGroup = g;
    }
    FUZZ_CHECK(next.size() == groups);
    if (emptyGroup != nullptr) {
        FUZZ_CHECK(shown < listed.size() && !listed[shown].wellFormed);
        FUZZ_CHECK(TNetTree::GetNodeData(emptyGroup).Text == GroupOf(listed[shown].state).text);
    }
    bool allWellFormed = true;
    for (std::size_t i = 0; i < shown; ++i) {
        const Listed& s = listed.at(i);
        const Group group = GroupOf(s.state);
        auto it = next.find(group.text);
        FUZZ_CHECK(it != next.end() && it->second != nullptr);
        const auto& node = TNetTree::GetNodeData(it->second);
        FUZZ_CHECK(node.ServiceName == s.name);
        FUZZ_CHECK(node.Action == group.action);
        // A string value ends at its first terminator.
        const std::string path = s.path.substr(0, s.path.find('\0'));
        if (s.wellFormed) FUZZ_CHECK(fuzz::IsNodeTextOf(node.Text.str(), s.name + " (" + path + ")"));
        it->second = w.Tree.GetNextSibling(it->second);
    }
    for (const auto& s : listed) allWellFormed = allWellFormed && s.wellFormed;
    if (allWellFormed) FUZZ_CHECK(shown == listed.size());
    FUZZ_CHECK(fakes.registry.OpenHandles() == 0);
    FUZZ_CHECK(fakes.services.OpenHandles() == 0);
    return 0;
}
