#include "app/HostList.h"

#include "platform/Text.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Whether the reader takes the bytes as UTF-8. A name the system gave with a
// lone surrogate keeps it in its own three-byte form, and reads back so.
bool ReadsAsUtf8(std::string_view bytes) { return platform::IsValidUtf8(bytes, true); }

}  // namespace

TStringList ReadHostList(std::string_view bytes, platform::Locale& locale) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    if (ReadsAsUtf8(bytes)) {
        if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
        text = std::string(bytes);
    } else {
        text = locale.AnsiToUtf8(bytes);
    }

    TStringList entries;
    std::string line;
    bool pending = false;  // characters after the last line break
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            entries.push_back(std::move(line));
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) entries.push_back(std::move(line));
    return entries;
}

std::string WriteHostList(const TStringList& entries, platform::Locale& locale) {
    std::string utf8;
    for (const auto& e : entries) {
        utf8 += e;
        utf8 += "\r\n";
    }
    // ANSI bytes that happen to be UTF-8 as well are read as UTF-8: they are
    // written so only when that gives the same names.
    if (auto ansi = locale.Utf8ToAnsi(utf8)) {
        if (!ReadsAsUtf8(*ansi) || (*ansi == utf8 && !utf8.starts_with(kBom))) return *ansi;
    }
    // The reader drops a byte order mark, so a first name that begins with
    // one gets another in front of it.
    if (utf8.starts_with(kBom)) return std::string(kBom) + utf8;
    return utf8;
}

std::string HostListPath(const std::string& programPath) {
    const auto slash = programPath.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
    return folder + "ips.txt";
}
