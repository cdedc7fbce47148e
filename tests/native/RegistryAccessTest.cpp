#include <gtest/gtest.h>

#include "services/RegistryAccess.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"

namespace {

const std::string kServices = "SYSTEM\\CurrentControlSet\\Services";

class RegistryAccessTest : public ::testing::Test {
protected:
    RegistryAccessTest() {
        messages.systemTable[2] = "The system cannot find the file specified.\r\n";
        key = &registry.KeyAt("", platform::kHKeyLocalMachine, kServices + "\\Svc");
    }
    // A registry object on the service's key.
    std::unique_ptr<TExRegistry> Opened() {
        auto r = std::make_unique<TExRegistry>(registry, messages, platform::kKeyRead);
        r->SetRootKey(platform::kHKeyLocalMachine);
        EXPECT_TRUE(r->OpenKey("\\" + kServices + "\\Svc", false));
        return r;
    }
    TStringList ReadStrings(const std::string& bytes, std::uint32_t type = platform::kRegMultiSz) {
        key->values["V"] = {type, bytes};
        TStringList list{"stale"};
        Opened()->ReadStrings("V", list);
        return list;
    }
    static std::string Utf16(const std::u16string& text) {
        std::string bytes;
        for (char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    }

    ScriptedRegistry registry;
    FakeMessages messages;
    ScriptedRegistry::Key* key = nullptr;
};

}  // namespace

TEST_F(RegistryAccessTest, ReadStringsGivesTheStoredStringsInOrder) {
    EXPECT_EQ(ReadStrings(ScriptedRegistry::MultiString({"A", "B", "C"}).bytes),
              (TStringList{"A", "B", "C"}));
    EXPECT_EQ(ReadStrings(ScriptedRegistry::MultiString({"Tcpip", "Afd\xC3\xA9"}).bytes),
              (TStringList{"Tcpip", "Afd\xC3\xA9"}));
}

TEST_F(RegistryAccessTest, EmptyStringListIsAnEmptyListWhateverItsTerminators) {
    EXPECT_EQ(ReadStrings(std::string(2, '\0')), TStringList{});
    EXPECT_EQ(ReadStrings(std::string(4, '\0')), TStringList{});
    EXPECT_EQ(ReadStrings(""), TStringList{});
}

TEST_F(RegistryAccessTest, StringListMissingItsTerminatorsStillGivesItsStrings) {
    EXPECT_EQ(ReadStrings(Utf16(std::u16string(u"A\0BC", 4))), (TStringList{"A", "BC"}));
    EXPECT_EQ(ReadStrings(Utf16(std::u16string(u"A\0B\0", 4))), (TStringList{"A", "B"}));
    // An odd last byte is half a character and is not read.
    EXPECT_EQ(ReadStrings(Utf16(u"AB") + "C"), (TStringList{"AB"}));
    // The first empty string ends the list.
    EXPECT_EQ(ReadStrings(Utf16(std::u16string(u"A\0\0B\0\0", 6))), TStringList{"A"});
}

TEST_F(RegistryAccessTest, ReadStringsOfAnotherTypeRaisesStringListExpectedAndEmptiesTheList) {
    key->values["V"] = ScriptedRegistry::String("A");
    TStringList list{"stale"};
    try {
        Opened()->ReadStrings("V", list);
        FAIL() << "no exception";
    } catch (const EExRegistryException&) {
        FAIL() << "not a system error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "String list expected");
    }
    EXPECT_TRUE(list.empty());
}

TEST_F(RegistryAccessTest, AbsentStringListRaisesWithTheSystemErrorCode) {
    TStringList list{"stale"};
    try {
        Opened()->ReadStrings("Missing", list);
        FAIL() << "no exception";
    } catch (const EExRegistryException& e) {
        EXPECT_EQ(e.ErrorCode, 2u);
        EXPECT_EQ(e.Message(),
                  "Error 2 : The system cannot find the file specified.\r\n"
                  ":Unable read MULTI_SZ value");
    }
    EXPECT_TRUE(list.empty());
}

TEST_F(RegistryAccessTest, CreateLastErrorTakesTheThreadsErrorCode) {
    messages.lastError = 5;
    const auto e = EExRegistryException::CreateLastError(messages, "Denied");
    EXPECT_EQ(e.ErrorCode, 5u);
    EXPECT_EQ(e.Message(), "Error 5 : Access is denied.\r\n:Denied");
    EXPECT_EQ(EExRegistryException::CreateError(messages, 99999, "x").Message(), "Error 99999:x");
}

TEST_F(RegistryAccessTest, ReadStringTakesTheTextUpToItsFirstNullAndNeverPastTheData) {
    key->values["Sz"] = ScriptedRegistry::String("C:\\svc.exe");
    key->values["Expand"] =
        ScriptedRegistry::String("%SystemRoot%\\svc.exe -k", platform::kRegExpandSz);
    key->values["Unterminated"] = {platform::kRegSz, Utf16(u"abc")};
    key->values["Inner"] = {platform::kRegSz, Utf16(std::u16string(u"ab\0cd", 5))};
    key->values["Empty"] = {platform::kRegSz, ""};
    key->values["Number"] = ScriptedRegistry::Dword(3);
    auto r = Opened();
    EXPECT_EQ(r->ReadString("Sz"), "C:\\svc.exe");
    EXPECT_EQ(r->ReadString("Expand"), "%SystemRoot%\\svc.exe -k");
    EXPECT_EQ(r->ReadString("Unterminated"), "abc");
    EXPECT_EQ(r->ReadString("Inner"), "ab");
    EXPECT_EQ(r->ReadString("Empty"), "");
    EXPECT_EQ(r->ReadString("Absent"), "");
    EXPECT_THROW(r->ReadString("Number"), ERegistryException);
}

TEST_F(RegistryAccessTest, ReadIntegerNeedsAFourByteDword) {
    key->values["Start"] = ScriptedRegistry::Dword(2);
    key->values["Minus"] = ScriptedRegistry::Dword(0xFFFFFFFF);
    key->values["Short"] = {platform::kRegDword, std::string(2, '\1')};
    key->values["Text"] = ScriptedRegistry::String("2");
    auto r = Opened();
    EXPECT_EQ(r->ReadInteger("Start"), 2);
    EXPECT_EQ(r->ReadInteger("Minus"), -1);
    EXPECT_THROW(r->ReadInteger("Short"), ERegistryException);
    EXPECT_THROW(r->ReadInteger("Text"), ERegistryException);
    EXPECT_THROW(r->ReadInteger("Absent"), ERegistryException);
    EXPECT_TRUE(r->ValueExists("Start"));
    EXPECT_FALSE(r->ValueExists("Absent"));
}

TEST_F(RegistryAccessTest, PathsWithABackslashStartAtTheRootOthersAtTheCurrentKey) {
    registry.KeyAt("", platform::kHKeyLocalMachine, kServices + "\\Other");
    registry.KeyAt("", platform::kHKeyLocalMachine, kServices + "\\Svc\\Parameters");
    auto r = Opened();
    EXPECT_TRUE(r->OpenKey("Parameters", false));
    EXPECT_EQ(r->CurrentPath(), kServices + "\\Svc\\Parameters");
    EXPECT_TRUE(r->KeyExists("\\" + kServices + "\\Other"));
    EXPECT_FALSE(r->KeyExists("Other"));
    EXPECT_TRUE(r->OpenKey("\\" + kServices + "\\Other", false));
    EXPECT_EQ(r->CurrentPath(), kServices + "\\Other");
    // A key that does not open leaves the current one as it is.
    EXPECT_FALSE(r->OpenKey("Missing", false));
    EXPECT_EQ(r->CurrentPath(), kServices + "\\Other");

    const auto opens = registry.CallsOf("OpenKey");
    EXPECT_EQ(opens[1].path, "HKEY_LOCAL_MACHINE\\" + kServices + "\\Svc\\Parameters");
    EXPECT_EQ(opens[2].path, "HKEY_LOCAL_MACHINE\\" + kServices + "\\Other");
    EXPECT_EQ(opens[3].path, "HKEY_LOCAL_MACHINE\\" + kServices + "\\Svc\\Parameters\\Other");
    for (const auto& call : opens) EXPECT_EQ(call.access, platform::kKeyRead);
    EXPECT_THROW(r->OpenKey("New", true), ERegistryException);
    r.reset();
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badCloses, 0);
}

TEST_F(RegistryAccessTest, AnyOpenKeyServesAsRootAndStaysItsOwners) {
    auto services = Opened();
    {
        TExRegistry below(registry, messages, platform::kKeyRead);
        below.SetRootKey(services->CurrentKey());
        registry.KeyAt("", platform::kHKeyLocalMachine, kServices + "\\Svc\\Sub");
        EXPECT_TRUE(below.OpenKey("Sub", false));
        EXPECT_EQ(registry.OpenHandles(), 2u);
    }
    EXPECT_EQ(registry.OpenHandles(), 1u);
    key->values["V"] = ScriptedRegistry::MultiString({"still open"});
    TStringList list;
    services->ReadStrings("V", list);
    EXPECT_EQ(list, TStringList{"still open"});
}

TEST_F(RegistryAccessTest, ConnectedMachineIsReadAndItsConnectionClosed) {
    registry.KeyAt("\\\\B", platform::kHKeyLocalMachine, kServices + "\\Remote");
    registry.unreachable["\\\\C"] = 53;
    {
        TExRegistry r(registry, messages, platform::kKeyRead);
        r.SetRootKey(platform::kHKeyLocalMachine);
        EXPECT_FALSE(r.RegistryConnect("\\\\C"));
        EXPECT_EQ(r.RootKey(), platform::kHKeyLocalMachine);
        EXPECT_TRUE(r.RegistryConnect("\\\\B"));
        EXPECT_TRUE(r.OpenKey("\\" + kServices + "\\Remote", false));
        EXPECT_EQ(registry.calls.back().machine, "\\\\B");
        EXPECT_FALSE(r.KeyExists("\\" + kServices + "\\Svc"));  // only on this machine
    }
    // The key before the connection it was opened on.
    const auto closes = registry.CallsOf("CloseKey");
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[0].path, "HKEY_LOCAL_MACHINE\\" + kServices + "\\Remote");
    EXPECT_EQ(closes[1].path, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badCloses, 0);
}
