#include "EmulatorHarness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace varnel::emulator::test {

struct RunningEmulator::Log {
    mutable std::mutex mutex;
    std::vector<std::string> lines;
};

RunningEmulator::RunningEmulator(ServerOptions server, InstrumentOptions instrument)
    : log_(std::make_shared<Log>()), instrument_(instrument) {
    server.listen = "127.0.0.1";
    server.port = 0;
    if (!server.transcript) {
        std::shared_ptr<Log> log = log_;
        server.transcript = [log](const std::string& line) {
            std::lock_guard<std::mutex> guard(log->mutex);
            log->lines.push_back(line);
        };
    }
    server_ = std::make_unique<Server>(server, instrument_);
    thread_ = std::thread([this] { server_->Run(); });
}

RunningEmulator::~RunningEmulator() {
    server_->RequestStop();
    thread_.join();
}

std::vector<std::string> RunningEmulator::transcript() const {
    std::lock_guard<std::mutex> guard(log_->mutex);
    return log_->lines;
}

LineClient::LineClient(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0)
        throw std::runtime_error("cannot connect to the emulator");
}

LineClient::~LineClient() { ::close(fd_); }

void LineClient::SendRaw(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // the peer has gone; the reads tell
        }
        sent += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> LineClient::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            std::string line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[65536];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) return std::nullopt;
        buffer_.append(buf, static_cast<std::size_t>(n));
    }
}

std::string LineClient::Query(const std::string& line) {
    Send(line);
    return ReadLine().value_or("<no reply>");
}

double LineClient::QueryReal(const std::string& line) {
    const std::string r = Query(line);
    char* end = nullptr;
    const double v = std::strtod(r.c_str(), &end);
    if (r.empty() || *end != '\0') throw std::runtime_error("not a number in reply to " + line + ": " + r);
    return v;
}

int LineClient::Status() {
    const std::string r = Query("*ESR?");
    if (r.empty() || r.find_first_not_of("0123456789") != std::string::npos) return -1;  // not the register: a stray reply
    return std::atoi(r.c_str());
}

bool LineClient::ClosedByPeer(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return true;
        if (n > 0) buffer_.append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace varnel::emulator::test
