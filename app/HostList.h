#pragma once
// The file ips.txt of manually added hosts: one host per line.
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "toolkit/Strings.h"

// Lines end at CR, LF or CR LF; reading stops at a NUL; a last line without
// a line break is an entry too. Nothing is trimmed and empty lines are kept.
// The bytes are taken as UTF-8 when they are valid UTF-8, else in the ANSI
// code page.
TStringList ReadHostList(std::string_view bytes, platform::Locale& locale);

// Every entry followed by CR LF, in the ANSI code page when every entry fits
// it (so that earlier versions read it), else in UTF-8.
std::string WriteHostList(const TStringList& entries, platform::Locale& locale);

// The file's path: ips.txt in the folder of the program file.
std::string HostListPath(const std::string& programPath);
