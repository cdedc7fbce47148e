#pragma once
// An smbclient process that the contract tests drive as a second, independent
// client of the fixture's server: it holds files open and shows what the
// server does to them. smbclient reads one command line at a time and only
// looks at its input again when new bytes arrive, so the tests send one
// command and wait for its answer before sending the next.
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

class SmbClientSession {
public:
    // Connects to \\server\share as user; throws std::runtime_error when the
    // process cannot be started or does not greet within the time limit.
    SmbClientSession(const std::string& server, const std::string& share, const std::string& user,
                     const std::string& password);
    // Ends the process if it still runs.
    ~SmbClientSession();
    SmbClientSession(const SmbClientSession&) = delete;
    SmbClientSession& operator=(const SmbClientSession&) = delete;

    // Sends one command line and returns the first output line that contains
    // `expect`, or nothing when none came within `limit`.
    std::optional<std::string> Ask(const std::string& command, const std::string& expect,
                                   std::chrono::seconds limit = std::chrono::seconds(20));
    // Sends the last command lines, closes smbclient's input and returns all
    // it printed until it ended.
    std::string Finish(const std::string& commands);

private:
    std::optional<std::string> WaitForLine(const std::string& expect, std::chrono::seconds limit);
    void Send(const std::string& text);

    pid_t pid_ = -1;
    int in_ = -1;   // smbclient's standard input
    int out_ = -1;  // its standard output and error
    std::string pending_;  // output read past the last complete line
};

// Runs a command line through the shell and returns what it printed on
// standard output and error.
std::string RunAndCapture(const std::string& commandLine);
