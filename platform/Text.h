#pragma once
// The program's strings hold UTF-8; the operating system speaks UTF-16. These
// conversions are exact in both directions for every UTF-16 sequence: an
// unpaired surrogate is kept as its own three-byte form, so a name that the
// system returns is handed back to it unchanged.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
// The same conversion appended to a kept buffer, which then needs no new
// allocation once it has grown to the longest text.
void AppendUtf16(std::u16string& out, std::string_view text);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). With allowSurrogates a surrogate in its own
// three-byte form passes too: that is how Utf16ToUtf8 keeps a lone one.
bool IsValidUtf8(std::string_view text, bool allowSurrogates = false);

// The first maxChars characters (code points) of a UTF-8 text.
std::string CutToChars(std::string_view text, std::size_t maxChars);

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view text);

}  // namespace platform
