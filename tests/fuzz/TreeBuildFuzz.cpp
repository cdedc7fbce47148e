// The whole road of a host list: ips.txt of any bytes is read at start, every
// host is asked for (concurrently) with its whole name and becomes a node in
// list order that shows the name or its first 200 characters, and closing
// writes a file that reads back as the same list.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/HostList.h"
#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto serverType = in.ConsumeIntegral<std::uint32_t>();
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    ScriptedNetwork net;
    FakeWindowHost fakes;

    const std::string ips = "C:\\Program Files\\NetworkView\\ips.txt";
    fakes.files.files[ips] = bytes;
    const TStringList expected = ReadHostList(bytes, fakes.locale);
    // Hosts of an odd length answer, the others do not.
    net.Machine("");
    for (const auto& host : expected)
        if (host.size() % 2 == 1) net.Machine("\\\\" + host).serverType = serverType;

    const auto window = fakes.MakeWindow(net);
    TMainWindow& w = *window;
    w.FormCreate();
    fakes.timers.Advance(300);
    FUZZ_CHECK(w.HostList == expected);

    PVirtualNode internet = w.Tree.GetFirst();
    FUZZ_CHECK(w.Tree.ChildCount(internet) == expected.size());
    std::size_t i = 0;
    for (auto* h = w.Tree.GetFirstChild(internet); h; h = w.Tree.GetNextSibling(h), ++i) {
        const auto& d = TNetTree::GetNodeData(h);
        FUZZ_CHECK(fuzz::IsNodeTextOf(d.Text.str(), expected[i]));
        FUZZ_CHECK(d.Machine == expected[i]);
        const bool answers = expected[i].size() % 2 == 1;
        FUZZ_CHECK(d.Info == (answers ? TMainWindow::ServerFlagsText(ServerTypesFromBits(serverType))
                                      : std::string("Error 53 : The network path was not found.\r\n")));
        FUZZ_CHECK(w.Tree.ChildCount(h) == (answers ? 7u : 0u));
    }

    // Each host was asked for with its whole name, once.
    std::vector<std::string> asked, names;
    for (const auto& call : net.CallsOf("NetServerGetInfo")) asked.push_back(call.server);
    for (const auto& host : expected) names.push_back("\\\\" + host);
    std::sort(asked.begin(), asked.end());
    std::sort(names.begin(), names.end());
    FUZZ_CHECK(asked == names);

    w.FormClose();
    FUZZ_CHECK(ReadHostList(fakes.files.files[ips], fakes.locale) == expected);
    return 0;
}
