#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/Registry.h"
#include "tests/fakes/ScriptedRegistry.h"

namespace {

using platform::kHKeyLocalMachine;
using platform::kKeyRead;
using platform::RegistryKey;

const std::string kKey = "SOFTWARE\\NetworkView";

}  // namespace

// Every key the owner held is closed once, whichever way it lets go of it:
// `closes` counts the key it opened first and any it took after.
TEST(RegistryKey, ClosesEachKeyItHeldOnceHoweverItEnds) {
    struct Ending {
        const char* name;
        std::size_t closes;
        std::function<void(ScriptedRegistry&, RegistryKey&)> end;
    };
    const Ending endings[] = {
        {"goes out of scope", 1, [](ScriptedRegistry&, RegistryKey&) {}},
        {"an exception leaves", 1,
         [](ScriptedRegistry&, RegistryKey&) { throw std::runtime_error("leaves"); }},
        {"reset twice", 1,
         [](ScriptedRegistry&, RegistryKey& key) {
             key.Reset();
             key.Reset();
             EXPECT_FALSE(key);
         }},
        {"moved to another owner", 1,
         [](ScriptedRegistry&, RegistryKey& key) { RegistryKey other(std::move(key)); }},
        {"moved over an owner of another key", 2,
         [](ScriptedRegistry& registry, RegistryKey& key) {
             RegistryKey other(registry);
             EXPECT_EQ(other.Open(kHKeyLocalMachine, "SOFTWARE", kKeyRead), 0u);
             other = std::move(key);
         }},
        {"opens another key", 2,
         [](ScriptedRegistry&, RegistryKey& key) {
             EXPECT_EQ(key.Open(kHKeyLocalMachine, "SOFTWARE", kKeyRead), 0u);
         }},
        {"fails to open another key", 1,
         [](ScriptedRegistry&, RegistryKey& key) {
             EXPECT_EQ(key.Open(kHKeyLocalMachine, "Missing", kKeyRead), 2u);
             EXPECT_FALSE(key);
         }},
        {"connects to another machine", 2,
         [](ScriptedRegistry&, RegistryKey& key) {
             EXPECT_EQ(key.Connect("\\\\B", kHKeyLocalMachine), 0u);
         }},
    };
    for (const auto& ending : endings) {
        ScriptedRegistry registry;
        registry.KeyAt("", kHKeyLocalMachine, kKey);
        try {
            RegistryKey key(registry);
            ASSERT_EQ(key.Open(kHKeyLocalMachine, kKey, kKeyRead), 0u);
            ASSERT_TRUE(key);
            ending.end(registry, key);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(registry.CallsOf("CloseKey").size(), ending.closes) << ending.name;
        EXPECT_EQ(registry.OpenHandles(), 0u) << ending.name;
        EXPECT_EQ(registry.badCloses, 0) << ending.name;
    }
}

// The value is asked for its size, then read; growing between the two makes
// the read ask again at the new size, up to four reads.
TEST(ReadWholeValue, AValueThatKeepsGrowingIsAFailedReadNeverAnEmptySuccess) {
    struct Case {
        const char* name;
        int growths;  // reads that find the value grown since it was measured
        std::uint32_t status;
        std::string bytes;
        int reads;
    } cases[] = {
        {"steady", 0, 0, "abc", 1},
        {"grew once", 1, 0, "abc+", 2},
        {"grew three times", 3, 0, "abc+++", 4},
        {"grew at every read", 4, 234, "", 4},
    };
    for (const Case& c : cases) {
        std::string stored = "abc";
        int reads = 0;
        const auto value = platform::ReadWholeValue(
            [&](std::uint32_t& type, std::uint8_t* data, std::uint32_t& size) -> std::uint32_t {
                type = platform::kRegSz;
                if (data != nullptr && ++reads <= c.growths) stored += '+';
                const bool fits = data == nullptr || size >= stored.size();
                if (data != nullptr && fits) std::copy(stored.begin(), stored.end(), data);
                size = static_cast<std::uint32_t>(stored.size());
                return fits ? 0 : 234;
            });
        EXPECT_EQ(value.status, c.status) << c.name;
        EXPECT_EQ(value.bytes, c.bytes) << c.name;
        EXPECT_EQ(value.type, platform::kRegSz) << c.name;
        EXPECT_EQ(reads, c.reads) << c.name;
    }
    const auto missing = platform::ReadWholeValue(
        [](std::uint32_t&, std::uint8_t*, std::uint32_t&) -> std::uint32_t { return 2; });
    EXPECT_EQ(missing.status, 2u);
    EXPECT_EQ(missing.bytes, "");
}
