#include "tests/netapi32/NetworkScript.h"

#include <cwctype>
#include <set>
#include <stdexcept>

namespace scripted {

namespace {

// The keys each statement takes; anything else is a typing error of the
// script, reported instead of silently ignored.
const std::map<std::string, std::set<std::string>> kKeys = {
    {"machine", {"domain", "type", "comment"}},
    {"disk", {}},
    {"user", {"full_name", "comment", "flags", "user_id", "password_age", "priv", "home_dir",
              "script_path", "auth_flags", "usr_comment", "parms", "workstations", "last_logon",
              "last_logoff", "acct_expires", "max_storage", "primary_group_id", "profile",
              "home_dir_drive", "password_expired", "groups"}},
    {"localgroup", {"comment", "members"}},
    {"share", {"type", "remark", "permissions", "max_uses", "current_uses", "path", "passwd"}},
    {"session", {"cname", "user", "opens", "time", "idle", "user_flags", "cltype", "transport"}},
    {"file", {"id", "permissions", "locks", "path", "user"}},
};

struct Token {
    std::string key;  // empty for a plain word
    std::wstring value;
};

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        Token token;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '=' &&
               line[i] != '"')
            ++i;
        if (i < line.size() && line[i] == '=') {
            token.key = std::string(line.substr(start, i - start));
            start = ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) throw std::runtime_error("a quote is not closed");
            token.value = FromUtf8(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
            token.value = FromUtf8(line.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

DWORD ParseNumber(const std::wstring& text) {
    if (text.empty()) throw std::runtime_error("a number is empty");
    const bool negative = text[0] == L'-';
    const std::wstring digits = negative ? text.substr(1) : text;
    const bool hex = digits.size() > 2 && digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X');
    std::size_t used = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(hex ? digits.substr(2) : digits, &used, hex ? 16 : 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != (hex ? digits.size() - 2 : digits.size()) || used == 0 || value > 0xFFFFFFFFull)
        throw std::runtime_error("not a 32-bit number: " + ToUtf8(text));
    return negative ? static_cast<DWORD>(0u - static_cast<DWORD>(value)) : static_cast<DWORD>(value);
}

// "WS{001..300}" gives WS001 to WS300; a name without a run stands alone.
std::vector<std::wstring> ExpandRun(const std::wstring& name) {
    const std::size_t open = name.find(L'{'), dots = name.find(L".."), close = name.find(L'}');
    if (open == std::wstring::npos || dots == std::wstring::npos || close == std::wstring::npos ||
        !(open < dots && dots < close))
        return {name};
    const std::wstring first = name.substr(open + 1, dots - open - 1);
    const DWORD from = ParseNumber(first), to = ParseNumber(name.substr(dots + 2, close - dots - 2));
    std::vector<std::wstring> names;
    for (DWORD n = from; n <= to; ++n) {
        std::wstring digits = std::to_wstring(n);
        if (digits.size() < first.size()) digits.insert(0, first.size() - digits.size(), L'0');
        names.push_back(name.substr(0, open) + digits + name.substr(close + 1));
    }
    return names;
}

std::wstring WithComputerName(std::wstring text, const std::wstring& computerName) {
    const std::wstring marker = L"{computer}";
    for (std::size_t at; (at = text.find(marker)) != std::wstring::npos;)
        text.replace(at, marker.size(), computerName);
    return text;
}

// Reads one script line into the network; `machines` and `domain` are the
// scope that the earlier lines opened.
class Reader {
public:
    Reader(Network& network, const std::wstring& computerName)
        : network_(network), computer_(computerName) {}
    void Line(std::string_view line);

private:
    void Domain(const std::vector<Token>& t);
    void Machines(const std::vector<Token>& t);
    void Rule(const std::string& kind, const std::vector<Token>& t);
    void Add(const std::string& kind, const std::vector<Token>& t);
    Behaviour& ScopeBehaviour(std::size_t machine);
    std::size_t Count() const { return inDomain_ || machines_.empty() ? 1 : machines_.size(); }
    Attributes Read(const std::string& kind, const std::vector<Token>& t, std::size_t from);

    Network& network_;
    std::wstring computer_;
    std::vector<std::size_t> machines_;  // the machines the latest machine line made
    std::optional<std::size_t> domain_;  // the latest domain line's domain
    bool inDomain_ = false;              // the domain line is the latest of the two
};

void Reader::Line(std::string_view line) {
    const auto tokens = Tokenize(line);
    if (tokens.empty() || tokens[0].value.rfind(L"#", 0) == 0) return;
    const std::string kind = ToUtf8(tokens[0].value);
    if (!tokens[0].key.empty()) throw std::runtime_error("a line starts with a statement");
    if (kind == "domain") return Domain(tokens);
    if (kind == "machine") return Machines(tokens);
    if (kind == "fail" || kind == "delay" || kind == "parts") return Rule(kind, tokens);
    if (kKeys.count(kind)) {
        if (machines_.empty()) throw std::runtime_error(kind + " outside a machine");
        return Add(kind, tokens);
    }
    throw std::runtime_error("unknown statement " + kind);
}

void Reader::Domain(const std::vector<Token>& t) {
    if (t.size() != 2 || !t[1].key.empty()) throw std::runtime_error("domain takes one name");
    network_.domains.push_back({WithComputerName(t[1].value, computer_), {}});
    domain_ = network_.domains.size() - 1;
    inDomain_ = true;
    machines_.clear();
}

void Reader::Machines(const std::vector<Token>& t) {
    if (t.size() < 2 || !t[1].key.empty()) throw std::runtime_error("machine takes a name");
    const Attributes a = Read("machine", t, 2);
    std::optional<std::wstring> domain;
    if (domain_) domain = network_.domains[*domain_].name;
    if (const Text given = a.TextOf("domain")) domain = given->empty() ? std::nullopt : given;
    machines_.clear();
    for (const auto& name : ExpandRun(WithComputerName(t[1].value, computer_))) {
        Machine m;
        m.name = name;
        m.domain = domain;
        m.type = a.NumberOf("type");
        m.comment = a.TextOf("comment");
        network_.machines.push_back(std::move(m));
        machines_.push_back(network_.machines.size() - 1);
    }
    inDomain_ = false;
}

Behaviour& Reader::ScopeBehaviour(std::size_t i) {
    if (inDomain_) return network_.domains[*domain_].behaviour;
    if (!machines_.empty()) return network_.machines[machines_[i]].behaviour;
    return network_.behaviour;
}

void Reader::Rule(const std::string& kind, const std::vector<Token>& t) {
    if (t.size() < 3) throw std::runtime_error(kind + " takes a function and a number");
    const std::wstring function = t[1].value;
    const DWORD number = ParseNumber(t[2].value);
    Failure failure{number, std::nullopt, false, 1};
    for (std::size_t i = 3; i < t.size(); ++i) {
        if (kind == "fail" && t[i].key == "level") failure.level = ParseNumber(t[i].value);
        else if (kind == "fail" && t[i].key == "from") failure.fromCall = ParseNumber(t[i].value);
        else if (kind == "fail" && t[i].key.empty() && t[i].value == L"buffer") failure.handsOutBuffer = true;
        else throw std::runtime_error("unknown word after " + kind);
    }
    for (std::size_t i = 0; i < Count(); ++i) {
        Behaviour& b = ScopeBehaviour(i);
        if (kind == "fail") b.failures[function] = failure;
        if (kind == "delay") b.delaysMs[function] = number;
        if (kind == "parts") b.partSizes[function] = number;
    }
}

Attributes Reader::Read(const std::string& kind, const std::vector<Token>& t, std::size_t from) {
    Attributes a;
    for (std::size_t i = from; i < t.size(); ++i) {
        if (t[i].key.empty() || !kKeys.at(kind).count(t[i].key))
            throw std::runtime_error(kind + " takes no '" + t[i].key + ToUtf8(t[i].value) + "'");
        a.Set(t[i].key, WithComputerName(t[i].value, computer_));
    }
    return a;
}

void Reader::Add(const std::string& kind, const std::vector<Token>& t) {
    const bool named = kind != "session" && kind != "file";
    if (named && (t.size() < 2 || !t[1].key.empty())) throw std::runtime_error(kind + " takes a name");
    Entry entry{named ? t[1].value : L"", Read(kind, t, named ? 2 : 1)};
    for (std::size_t index : machines_) {
        Machine& m = network_.machines[index];
        if (kind == "disk") m.disks.push_back(entry.name);
        if (kind == "user") m.users.push_back(entry);
        if (kind == "localgroup") m.localGroups.push_back(entry);
        if (kind == "share") m.shares.push_back(entry);
        if (kind == "session") m.sessions.push_back(entry);
        if (kind == "file") m.files.push_back(entry);
    }
}

template <typename Value>
const Value* Lookup(const std::map<std::wstring, Value>& map, const std::wstring& function) {
    auto it = map.find(function);
    if (it == map.end()) it = map.find(L"*");
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

Text Attributes::TextOf(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? Text() : Text(it->second);
}

DWORD Attributes::NumberOf(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? 0 : ParseNumber(it->second);
}

std::vector<std::wstring> Attributes::ListOf(const std::string& key) const {
    std::vector<std::wstring> items;
    const Text text = TextOf(key);
    if (!text || text->empty()) return items;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text->find(L',', start)) != std::wstring::npos; start = comma + 1)
        items.push_back(text->substr(start, comma - start));
    items.push_back(text->substr(start));
    return items;
}

const Failure* Behaviour::FailureOf(const std::wstring& function, DWORD level) const {
    const Failure* f = Lookup(failures, function);
    const auto seen = callsSeen.find(function);
    const DWORD call = seen == callsSeen.end() ? 1 : seen->second;
    return f && (!f->level || *f->level == level) && call >= f->fromCall ? f : nullptr;
}

std::optional<DWORD> Behaviour::DelayOf(const std::wstring& function) const {
    const DWORD* d = Lookup(delaysMs, function);
    return d ? std::optional<DWORD>(*d) : std::nullopt;
}

std::optional<DWORD> Behaviour::PartSizeOf(const std::wstring& function) const {
    const DWORD* p = Lookup(partSizes, function);
    return p ? std::optional<DWORD>(*p) : std::nullopt;
}

Machine* Network::FindMachine(const wchar_t* server, const std::wstring& computerName) {
    std::wstring_view name = server ? server : L"";
    while (!name.empty() && name.front() == L'\\') name.remove_prefix(1);
    if (name.empty()) name = computerName;
    for (auto& m : machines)
        if (SameName(m.name, name)) return &m;
    return nullptr;
}

Domain* Network::FindDomain(const std::wstring& name) {
    for (auto& d : domains)
        if (SameName(d.name, name)) return &d;
    return nullptr;
}

Network ReadNetwork(std::string_view utf8, const std::wstring& computerName) {
    Network network;
    Reader reader(network, computerName);
    std::size_t number = 0;
    while (!utf8.empty()) {
        ++number;
        const std::size_t end = utf8.find('\n');
        const std::string_view line = utf8.substr(0, end);
        utf8 = end == std::string_view::npos ? std::string_view() : utf8.substr(end + 1);
        try {
            reader.Line(line);
        } catch (const std::exception& e) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
        }
    }
    for (auto& machine : network.machines) machine.IndexAccounts();
    return network;
}

namespace {

// A name as SameName compares it.
std::wstring Folded(std::wstring_view name) {
    std::wstring folded(name);
    for (auto& c : folded) c = static_cast<wchar_t>(std::towupper(c));
    return folded;
}

}  // namespace

void Machine::IndexAccounts() {
    userAt_.clear();
    localGroupsOf_.clear();
    for (std::size_t i = 0; i < users.size(); ++i) userAt_.emplace(Folded(users[i].name), i);
    for (std::size_t g = 0; g < localGroups.size(); ++g)
        for (const auto& member : localGroups[g].attributes.ListOf("members"))
            localGroupsOf_[Folded(member)].push_back(g);
}

const Entry* Machine::FindUser(const wchar_t* name) const {
    if (name == nullptr) return nullptr;
    const auto it = userAt_.find(Folded(name));
    return it == userAt_.end() ? nullptr : &users[it->second];
}

std::vector<const std::wstring*> Machine::LocalGroupsOf(const wchar_t* name) const {
    std::vector<const std::wstring*> groups;
    const auto it = name ? localGroupsOf_.find(Folded(name)) : localGroupsOf_.end();
    if (it != localGroupsOf_.end())
        for (std::size_t g : it->second) groups.push_back(&localGroups[g].name);
    return groups;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return true;
}

std::wstring FromUtf8(std::string_view text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string ToUtf8(std::wstring_view text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n,
                        nullptr, nullptr);
    return narrow;
}

}  // namespace scripted
