#pragma once
// An in-memory domain directory behind the directory seam: the computer's
// domain as the locator answers, and the computer accounts as the directory
// hands them out, page by page. It records which controller each listing
// asked.
#include <string>
#include <vector>

#include "platform/Directory.h"

struct ScriptedDirectory : platform::Directory {
    platform::DomainMembership membership{1355, "", "", ""};  // in no domain
    std::vector<std::vector<platform::ComputerAccount>> pages;
    // When not 0, the listing fails with this status after failAfterPages
    // pages were handed out (0: before the first, as a refused bind), or
    // after the last.
    platform::NetStatus failWith = 0;
    std::size_t failAfterPages = 0;

    int domainCalls = 0;
    std::vector<std::string> listedControllers;

    platform::DomainMembership ComputerDomain() override {
        ++domainCalls;
        return membership;
    }
    platform::NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<platform::ComputerAccount>&&)>& onPage) override {
        listedControllers.push_back(controller);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (failWith != 0 && i == failAfterPages) return failWith;
            auto page = pages[i];
            onPage(std::move(page));
        }
        return failWith;
    }
};
