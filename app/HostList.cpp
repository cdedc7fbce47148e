#include "app/HostList.h"

#include "platform/Text.h"

TStringList ReadHostList(std::string_view bytes, platform::Locale& locale) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    if (platform::IsValidUtf8(bytes)) {
        constexpr std::string_view kBom = "\xEF\xBB\xBF";
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
    for (const auto& e : entries) utf8 += e + "\r\n";
    if (auto ansi = locale.Utf8ToAnsi(utf8)) return *ansi;
    return utf8;
}

std::string HostListPath(const std::string& programPath) {
    const auto slash = programPath.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
    return folder + "ips.txt";
}
