#include <gtest/gtest.h>

#include "app/HostList.h"
#include "tests/fakes/FakeSystem.h"

namespace {

TStringList Read(std::string_view bytes) {
    FakeLocale locale;
    return ReadHostList(bytes, locale);
}

}  // namespace

TEST(HostListFile, LinesEndAtCrOrLfOrCrLf) {
    EXPECT_EQ(Read("a\r\n\r\nb\r\n"), (TStringList{"a", "", "b"}));
    EXPECT_EQ(Read("a\rb\nc\r\nd"), (TStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(Read("a\n\rb"), (TStringList{"a", "", "b"}));  // LF then CR: two breaks
    EXPECT_EQ(Read("\r\n"), (TStringList{""}));
    EXPECT_EQ(Read(""), TStringList{});
}

TEST(HostListFile, LastLineWithoutBreakIsAnEntry) {
    EXPECT_EQ(Read("server1\r\nserver2"), (TStringList{"server1", "server2"}));
}

TEST(HostListFile, NothingIsTrimmedAndDuplicatesStay) {
    EXPECT_EQ(Read(" a \r\n\tb\r\na \r\n a \r\n"), (TStringList{" a ", "\tb", "a ", " a "}));
}

TEST(HostListFile, ReadingStopsAtNul) {
    EXPECT_EQ(Read("a\r\nb\0c\r\nd"), (TStringList{"a", "b"}));
    EXPECT_EQ(Read(std::string_view("a\r\nb\0c\r\nd", 10)), (TStringList{"a", "b"}));
}

TEST(HostListFile, AnsiAndUtf8Files) {
    // Bytes that are not UTF-8 are read in the ANSI code page.
    EXPECT_EQ(Read("caf\xE9\r\n"), TStringList{"caf\xC3\xA9"});
    // UTF-8 is read as it is; a byte order mark is not part of the first entry.
    EXPECT_EQ(Read("\xE6\x9D\xB1\r\nb"), (TStringList{"\xE6\x9D\xB1", "b"}));
    EXPECT_EQ(Read("\xEF\xBB\xBFhost\r\n"), TStringList{"host"});
}

TEST(HostListFile, WritingEndsEveryEntryWithCrLf) {
    FakeLocale locale;
    EXPECT_EQ(WriteHostList({"a", "", "b"}, locale), "a\r\n\r\nb\r\n");
    EXPECT_EQ(WriteHostList({}, locale), "");
}

TEST(HostListFile, WritesAnsiWhenEverythingFitsElseUtf8) {
    FakeLocale locale;
    EXPECT_EQ(WriteHostList({"caf\xC3\xA9"}, locale), "caf\xE9\r\n");
    EXPECT_EQ(WriteHostList({"caf\xC3\xA9", "\xE6\x9D\xB1"}, locale),
              "caf\xC3\xA9\r\n\xE6\x9D\xB1\r\n");
    // Either way it reads back as it was.
    const TStringList entries{"10.0.0.1", "caf\xC3\xA9", "\xE6\x9D\xB1\xF0\x9F\x96\xA5"};
    EXPECT_EQ(ReadHostList(WriteHostList(entries, locale), locale), entries);
}

TEST(HostListFile, NamesThatWouldReadBackOtherwiseAreWrittenInUtf8) {
    FakeLocale locale;
    // "Ã©" fits the ANSI code page, but its two ANSI bytes are the UTF-8 of "é".
    const TStringList mojibake{"\xC3\x83\xC2\xA9"};
    EXPECT_EQ(WriteHostList(mojibake, locale), "\xC3\x83\xC2\xA9\r\n");
    EXPECT_EQ(ReadHostList(WriteHostList(mojibake, locale), locale), mojibake);
    // "ï»¿" in ANSI is a byte order mark, which the reader drops.
    const TStringList markLike{"\xC3\xAF\xC2\xBB\xC2\xBFhost"};
    EXPECT_EQ(ReadHostList(WriteHostList(markLike, locale), locale), markLike);
    // A name that begins with a real U+FEFF keeps it.
    const TStringList mark{"\xEF\xBB\xBFhost", "\xE6\x9D\xB1"};
    EXPECT_EQ(WriteHostList(mark, locale), "\xEF\xBB\xBF\xEF\xBB\xBFhost\r\n\xE6\x9D\xB1\r\n");
    EXPECT_EQ(ReadHostList(WriteHostList(mark, locale), locale), mark);
}

TEST(HostListFile, NamesWithLoneSurrogatesReadBackUnchanged) {
    FakeLocale locale;
    // What the system's UTF-16 with an unpaired surrogate becomes.
    const TStringList entries{"a\xED\xA0\x80z", "\xED\xBF\xBF", "caf\xC3\xA9"};
    EXPECT_EQ(ReadHostList(WriteHostList(entries, locale), locale), entries);
}

TEST(HostListFile, LivesBesideTheProgram) {
    EXPECT_EQ(HostListPath("C:\\Tools\\NetworkView.exe"), "C:\\Tools\\ips.txt");
    EXPECT_EQ(HostListPath("\\\\srv\\share\\nv\\NetworkView.exe"), "\\\\srv\\share\\nv\\ips.txt");
    EXPECT_EQ(HostListPath("NetworkView.exe"), "ips.txt");
}
