#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "netinfo/NetError.h"
#include "tests/fakes/FakeSystem.h"

TEST(NetError, SystemTextKeepsItsLineBreak) {
    FakeMessages messages;
    EXPECT_EQ(NetErrorText(messages, 5), "Access is denied.\r\n");
    EXPECT_EQ(NetErrorMessage(messages, 5), "Error 5 : Access is denied.\r\n");
}

TEST(NetError, LooksInNetmsgFirstThenInTheSystemLoadingTheLibraryOncePerRun) {
    int frees = 0;
    {
        FakeMessages messages;
        NetErrorText(messages, 5);
        ASSERT_EQ(messages.formatCalls.size(), 1u);
        EXPECT_EQ(messages.formatCalls[0].flags, 0x1B00u);
        EXPECT_EQ(messages.formatCalls[0].module, FakeMessages::kNetmsgModule);
        EXPECT_EQ(messages.formatCalls[0].id, 5u);
        EXPECT_EQ(messages.formatCalls[0].language, 0x0400u);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(NetErrorMessage(messages, 2102),
                      "Error 2102 : The workstation driver is not installed.\r\n");
        EXPECT_EQ(NetErrorMessage(messages, 53), "Error 53 : The network path was not found.\r\n");
        EXPECT_EQ(messages.formatCalls.back().module, FakeMessages::kNetmsgModule);
        EXPECT_EQ(messages.loads, 1);
        EXPECT_EQ(messages.frees, 0);
        messages.onDestroy = [&frees](const FakeMessages& m) { frees = m.frees; };
    }
    // Kept while the messages live, freed once with them.
    EXPECT_EQ(frees, 1);
}

TEST(NetError, WithoutNetmsgOnlyTheSystemTableIsAskedAndTheLibraryIsLookedForOnce) {
    FakeMessages messages;
    messages.netmsgLoads = false;
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(NetErrorMessage(messages, 2102), "Error 2102");
    EXPECT_EQ(messages.formatCalls.back().flags, 0x1300u);
    EXPECT_EQ(messages.formatCalls.back().module, 0u);
    EXPECT_EQ(NetErrorMessage(messages, 5), "Error 5 : Access is denied.\r\n");
    EXPECT_EQ(messages.loads, 1);
    EXPECT_EQ(messages.frees, 0);
}

TEST(NetError, TextsFromSeveralThreadsAreTheSameAndEachCodeIsAskedOnce) {
    FakeMessages messages;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                if (NetErrorMessage(messages, 53) != "Error 53 : The network path was not found.\r\n")
                    ++wrong;
                if (NetErrorMessage(messages, 2221) !=
                    "Error 2221 : The user name could not be found.\r\n")
                    ++wrong;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(messages.loads, 1);
    // A code's text is asked of the system once, the first time.
    ASSERT_EQ(messages.formatCalls.size(), 2u);
    EXPECT_NE(messages.formatCalls[0].id, messages.formatCalls[1].id);
}

TEST(NetError, CodesWithoutTextAreNumbersAloneWrittenSigned) {
    FakeMessages messages;
    EXPECT_EQ(NetErrorText(messages, 12345), "");
    EXPECT_EQ(NetErrorText(messages, 12345), "");  // kept without a text as well
    EXPECT_EQ(NetErrorMessage(messages, 12345), "Error 12345");
    EXPECT_EQ(NetErrorMessage(messages, 0x80000005), "Error -2147483643");
    EXPECT_EQ(NetErrorMessage(messages, 0xFFFFFFFF), "Error -1");
}

TEST(NetError, ExceptionCarriesCodeAndMessage) {
    FakeMessages messages;
    const ENTException e = ENTException::CreateError(messages, 53);
    EXPECT_EQ(e.ErrorCode, 53u);
    EXPECT_EQ(e.Message(), "Error 53 : The network path was not found.\r\n");
    EXPECT_STREQ(e.what(), e.Message().c_str());

    messages.lastError = 5;
    const ENTException last = ENTException::CreateLastError(messages);
    EXPECT_EQ(last.ErrorCode, 5u);
    EXPECT_EQ(last.Message(), "Error 5 : Access is denied.\r\n");
}

// A lookup that failed for want of memory is no answer: the next message
// asks again. A number the tables hold no text for is kept as such.
TEST(NetError, AFailedLookupIsAskedAgainWhileConfirmedNoTextIsKept) {
    FakeMessages messages;
    messages.failNextLookup[5] = 8;  // not enough memory
    EXPECT_EQ(NetErrorMessage(messages, 5), "Error 5");
    EXPECT_EQ(NetErrorMessage(messages, 5), "Error 5 : Access is denied.\r\n");
    EXPECT_EQ(NetErrorMessage(messages, 5), "Error 5 : Access is denied.\r\n");
    EXPECT_EQ(NetErrorMessage(messages, 12345), "Error 12345");
    EXPECT_EQ(NetErrorMessage(messages, 12345), "Error 12345");
    std::vector<std::uint32_t> asked;
    for (const auto& call : messages.formatCalls) asked.push_back(call.id);
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{5, 5, 12345}));
}
