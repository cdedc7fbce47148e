#include "tests/contract/SmbClient.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

struct PipeEnds {
    int fd[2] = {-1, -1};
    PipeEnds() {
        if (pipe(fd) != 0) throw std::runtime_error("no pipe for smbclient");
    }
};

}  // namespace

SmbClientSession::SmbClientSession(const std::string& server, const std::string& share,
                                   const std::string& user, const std::string& password) {
    PipeEnds input, output;
    const std::string service = "//" + server + "/" + share;
    const std::string credentials = user + "%" + password;
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("smbclient could not be started");
    if (pid_ == 0) {
        dup2(input.fd[0], STDIN_FILENO);
        dup2(output.fd[1], STDOUT_FILENO);
        dup2(output.fd[1], STDERR_FILENO);
        for (int fd : {input.fd[0], input.fd[1], output.fd[0], output.fd[1]}) close(fd);
        // Line-buffered, so that each answer reaches the pipe as it is printed.
        execlp("stdbuf", "stdbuf", "-oL", "-eL", "smbclient", service.c_str(), "-U",
               credentials.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input.fd[0]);
    close(output.fd[1]);
    in_ = input.fd[1];
    out_ = output.fd[0];
    if (!WaitForLine("Try \"help\"", std::chrono::seconds(20)))
        throw std::runtime_error("smbclient did not connect to " + service + ": " + pending_);
}

SmbClientSession::~SmbClientSession() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

void SmbClientSession::Send(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const auto n = write(in_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("smbclient no longer reads its input");
        done += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> SmbClientSession::WaitForLine(const std::string& expect,
                                                         std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        for (auto end = pending_.find('\n'); end != std::string::npos;
             end = pending_.find('\n')) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (line.find(expect) != std::string::npos) return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{out_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        std::array<char, 4096> buf;
        const auto n = read(out_, buf.data(), buf.size());
        if (n <= 0) return std::nullopt;
        pending_.append(buf.data(), static_cast<std::size_t>(n));
    }
}

std::optional<std::string> SmbClientSession::Ask(const std::string& command,
                                                 const std::string& expect,
                                                 std::chrono::seconds limit) {
    Send(command + "\n");
    return WaitForLine(expect, limit);
}

std::string SmbClientSession::Finish(const std::string& commands) {
    Send(commands);
    close(in_);
    in_ = -1;
    // Without input smbclient ends; what it printed until then is the answer.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::array<char, 4096> buf;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd p{out_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const auto n = read(out_, buf.data(), buf.size());
        if (n <= 0) break;
        pending_.append(buf.data(), static_cast<std::size_t>(n));
    }
    std::string all;
    all.swap(pending_);
    return all;
}

std::string RunAndCapture(const std::string& commandLine) {
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen((commandLine + " 2>&1").c_str(), "r"), pclose);
    if (!p) throw std::runtime_error("could not run " + commandLine);
    std::string out;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p.get())) > 0;) out.append(buf.data(), n);
    return out;
}
