// Cost of the VISA library's socket path against hand-written socket code.
//
// A responder inside this process listens on 127.0.0.1 (one blocking thread
// per connection): it answers every "MV" line with "12.5\n" and swallows
// every other line. Against it, in the same run:
//   query/raw   send "MV\n", read the reply line, strtod it
//   query/visa  viQueryf(vi, "MV\n", "%lf%*t", &v)
//   write/raw   send "CC 2.5\n"
//   write/raw+peek    poll(POLLRDHUP, 0) then send "CC 2.5\n": the raw cost
//               of the library's check for a peer that has closed
//   write/raw+format  snprintf "CC %0.15g\n" then send: the raw cost of
//               formatting the number
//   write/viWrite     viWrite of "CC 2.5\n": the library without formatting
//               (these three for reference only)
//   write/visa  viPrintf(vi, "CC %0.15lg\n", 2.5)
// Rates are items_per_second. CPU time is that of the client thread only
// (Google Benchmark's per-thread timer; process CPU time is not enabled),
// also given as the counter client_cpu_ns from CLOCK_THREAD_CPUTIME_ID. At
// the end a summary prints the ratios VISA / raw against their targets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Responder.h"
#include "visa.h"

namespace {

using bench::Responder;
using bench::SendAll;
using bench::SetNoDelay;
using bench::SetTimeouts;

// The whole run ends by SIGALRM if it takes longer than this.
constexpr unsigned kWatchdogSeconds = 900;
constexpr int kIoTimeoutMs = 2000;

Responder g_responder;

double ThreadCpuNs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Client CPU per operation, measured independently of the library's timer.
class CpuCounter {
public:
    explicit CpuCounter(benchmark::State& state) : state_(state), start_(ThreadCpuNs()) {}
    ~CpuCounter() {
        state_.counters["client_cpu_ns"] =
            benchmark::Counter(ThreadCpuNs() - start_, benchmark::Counter::kAvgIterations);
        state_.SetItemsProcessed(state_.iterations());
    }

private:
    benchmark::State& state_;
    double start_;
};

int RawConnect() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(g_responder.Port());
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0) {
        close(fd);
        return -1;
    }
    SetNoDelay(fd);
    SetTimeouts(fd, kIoTimeoutMs);
    return fd;
}

// A VISA session to the responder, set up as the driver sets up its own:
// line feed as the termination character, termination enabled.
class VisaSession {
public:
    VisaSession() {
        if (viOpenDefaultRM(&rm_) < VI_SUCCESS) return;
        const std::string rsrc = "TCPIP0::127.0.0.1::" + std::to_string(g_responder.Port()) + "::SOCKET";
        if (viOpen(rm_, rsrc.c_str(), VI_NO_LOCK, kIoTimeoutMs, &vi_) < VI_SUCCESS ||
            viSetAttribute(vi_, VI_ATTR_TMO_VALUE, kIoTimeoutMs) < VI_SUCCESS ||
            viSetAttribute(vi_, VI_ATTR_TERMCHAR, '\n') < VI_SUCCESS ||
            viSetAttribute(vi_, VI_ATTR_TERMCHAR_EN, VI_TRUE) < VI_SUCCESS)
            vi_ = VI_NULL;
    }
    ~VisaSession() {
        if (rm_ != VI_NULL) viClose(rm_);
    }
    ViSession Get() const { return vi_; }

private:
    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
};

// --- queries -----------------------------------------------------------------

void QueryRaw(benchmark::State& state) {
    const int fd = RawConnect();
    if (fd < 0) {
        state.SkipWithError("connect to the responder failed");
        return;
    }
    char buf[4096];
    std::size_t pos = 0, len = 0;
    double v = 0;
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            if (!SendAll(fd, "MV\n", 3)) {
                state.SkipWithError("send failed");
                break;
            }
            // Read one line, buffered as the library buffers it.
            char line[64];
            std::size_t n = 0;
            bool done = false;
            while (!done) {
                if (pos == len) {
                    const ssize_t k = recv(fd, buf, sizeof buf, 0);
                    if (k <= 0) break;
                    pos = 0;
                    len = static_cast<std::size_t>(k);
                }
                while (pos < len) {
                    const char c = buf[pos++];
                    if (c == '\n') {
                        done = true;
                        break;
                    }
                    if (n < sizeof line - 1) line[n++] = c;
                }
            }
            if (!done) {
                state.SkipWithError("no reply line");
                break;
            }
            line[n] = '\0';
            v = std::strtod(line, nullptr);
            benchmark::DoNotOptimize(v);
        }
    }
    if (v != 12.5 && !state.error_occurred()) state.SkipWithError("wrong reply value");
    close(fd);
}

void QueryVisa(benchmark::State& state) {
    VisaSession s;
    if (s.Get() == VI_NULL) {
        state.SkipWithError("viOpen of the responder failed");
        return;
    }
    const ViSession vi = s.Get();
    ViReal64 v = 0;
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            const ViStatus st = viQueryf(vi, "MV\n", "%lf%*t", &v);
            if (st < VI_SUCCESS) {
                state.SkipWithError("viQueryf failed");
                break;
            }
            benchmark::DoNotOptimize(v);
        }
    }
    if (v != 12.5 && !state.error_occurred()) state.SkipWithError("wrong reply value");
}

// --- writes ------------------------------------------------------------------

// Every write benchmark ends with a query on the same connection, so that
// all its lines were taken by the responder before the next one starts.
bool RawSync(int fd) {
    if (!SendAll(fd, "MV\n", 3)) return false;
    char c;
    for (int i = 0; i < 1 << 20; ++i) {
        const ssize_t k = recv(fd, &c, 1, 0);
        if (k <= 0) return false;
        if (c == '\n') return true;
    }
    return false;
}

enum class RawWrite { Plain, Peek, Format };

void WriteRaw(benchmark::State& state, RawWrite kind) {
    const int fd = RawConnect();
    if (fd < 0) {
        state.SkipWithError("connect to the responder failed");
        return;
    }
    static const char kLine[] = "CC 2.5\n";
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            const char* line = kLine;
            std::size_t n = sizeof kLine - 1;
            char text[64];
            if (kind == RawWrite::Peek) {
                pollfd p{fd, POLLRDHUP, 0};
                if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) {
                    state.SkipWithError("peer closed");
                    break;
                }
            } else if (kind == RawWrite::Format) {
                const double value = 2.5;
                benchmark::DoNotOptimize(value);
                const int k = std::snprintf(text, sizeof text, "CC %0.15g\n", value);
                if (k <= 0 || static_cast<std::size_t>(k) >= sizeof text) {
                    state.SkipWithError("snprintf failed");
                    break;
                }
                line = text;
                n = static_cast<std::size_t>(k);
            }
            if (!SendAll(fd, line, n)) {
                state.SkipWithError("send failed");
                break;
            }
        }
    }
    if (!state.error_occurred() && !RawSync(fd)) state.SkipWithError("responder lost");
    close(fd);
}

void WriteVisa(benchmark::State& state) {
    VisaSession s;
    if (s.Get() == VI_NULL) {
        state.SkipWithError("viOpen of the responder failed");
        return;
    }
    const ViSession vi = s.Get();
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            if (viPrintf(vi, "CC %0.15lg\n", 2.5) < VI_SUCCESS) {
                state.SkipWithError("viPrintf failed");
                break;
            }
        }
    }
    ViReal64 v = 0;
    if (!state.error_occurred() && viQueryf(vi, "MV\n", "%lf%*t", &v) < VI_SUCCESS)
        state.SkipWithError("responder lost");
}

void WriteVisaRaw(benchmark::State& state) {
    VisaSession s;
    if (s.Get() == VI_NULL) {
        state.SkipWithError("viOpen of the responder failed");
        return;
    }
    const ViSession vi = s.Get();
    static const char kLine[] = "CC 2.5\n";
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            ViUInt32 n = 0;
            if (viWrite(vi, reinterpret_cast<ViConstBuf>(kLine), sizeof kLine - 1, &n) < VI_SUCCESS ||
                n != sizeof kLine - 1) {
                state.SkipWithError("viWrite failed");
                break;
            }
        }
    }
    ViReal64 v = 0;
    if (!state.error_occurred() && viQueryf(vi, "MV\n", "%lf%*t", &v) < VI_SUCCESS)
        state.SkipWithError("responder lost");
}

BENCHMARK(QueryRaw)->Name("query/raw")->UseRealTime();
BENCHMARK(QueryVisa)->Name("query/visa")->UseRealTime();
BENCHMARK_CAPTURE(WriteRaw, plain, RawWrite::Plain)->Name("write/raw")->UseRealTime();
BENCHMARK_CAPTURE(WriteRaw, peek, RawWrite::Peek)->Name("write/raw+peek")->UseRealTime();
BENCHMARK_CAPTURE(WriteRaw, format, RawWrite::Format)->Name("write/raw+format")->UseRealTime();
BENCHMARK(WriteVisaRaw)->Name("write/viWrite")->UseRealTime();
BENCHMARK(WriteVisa)->Name("write/visa")->UseRealTime();

// --- summary -----------------------------------------------------------------

struct Figures {
    double rate = 0;   // items per second
    double cpuNs = 0;  // client CPU per item
};

// Prints the usual table and keeps, per benchmark, the median of its
// repetitions (or its single run) for the ratios at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) {
                failed_[r.run_name.function_name] = true;
                continue;
            }
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type == Run::RT_Iteration && r.repetitions > 1) continue;
            if (r.run_type == Run::RT_Aggregate && !median) continue;
            Figures f;
            const auto rate = r.counters.find("items_per_second");
            const auto cpu = r.counters.find("client_cpu_ns");
            if (rate != r.counters.end()) f.rate = rate->second.value;
            if (cpu != r.counters.end()) f.cpuNs = cpu->second.value;
            figures_[r.run_name.function_name] = f;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::FILE* out = stdout;
        std::fprintf(out, "\nsummary (VISA / raw; median of repetitions when repeated)\n");
        std::fprintf(out, "  %-18s %14s %14s\n", "", "per second", "client CPU ns");
        for (const char* name : {"query/raw", "query/visa", "write/raw", "write/raw+peek", "write/raw+format", "write/viWrite", "write/visa"}) {
            const auto it = figures_.find(name);
            if (it == figures_.end()) continue;
            std::fprintf(out, "  %-18s %14.0f %14.0f\n", name, it->second.rate, it->second.cpuNs);
        }
        Ratio(out, "query rate", "query/visa", "query/raw", false, 0.9, true);
        Ratio(out, "query client CPU", "query/visa", "query/raw", true, 1.15, false);
        Ratio(out, "write rate", "write/visa", "write/raw", false, 0.9, true);
        Ratio(out, "write client CPU", "write/visa", "write/raw", true, 0, false);
        Ratio(out, "peek+send rate", "write/raw+peek", "write/raw", false, 0, true);
        Ratio(out, "format+send rate", "write/raw+format", "write/raw", false, 0, true);
        Ratio(out, "viWrite rate", "write/viWrite", "write/raw", false, 0, true);
        std::fflush(out);
    }

private:
    // Prints "ratio NAME = X target >= T ok|MISS"; target 0: for information.
    void Ratio(std::FILE* out, const char* what, const char* visa, const char* raw, bool cpu, double target,
               bool atLeast) {
        const auto a = figures_.find(visa);
        const auto b = figures_.find(raw);
        if (failed_.count(visa) || failed_.count(raw)) {
            std::fprintf(out, "ratio %-18s failed (a benchmark reported an error)\n", what);
            return;
        }
        if (a == figures_.end() || b == figures_.end()) return;
        const double x = cpu ? a->second.cpuNs : a->second.rate;
        const double y = cpu ? b->second.cpuNs : b->second.rate;
        if (!(y > 0)) return;
        const double r = x / y;
        if (target > 0) {
            const bool ok = atLeast ? r >= target : r <= target;
            std::fprintf(out, "ratio %-18s %6.3f  target %s %.2f  %s\n", what, r, atLeast ? ">=" : "<=", target,
                         ok ? "ok" : "MISS");
        } else {
            std::fprintf(out, "ratio %-18s %6.3f  (for information)\n", what, r);
        }
    }

    std::map<std::string, Figures> figures_;
    std::map<std::string, bool> failed_;
};

}  // namespace

int main(int argc, char** argv) {
    alarm(kWatchdogSeconds);
    // Colours only on a terminal, and never when the run asks for none.
    bool color = isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--benchmark_color=false" || a == "--benchmark_color=no" || a == "--benchmark_color=0") color = false;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!g_responder.Start()) {
        std::fprintf(stderr, "visa_bench: cannot listen on 127.0.0.1\n");
        return 1;
    }
    SummaryReporter reporter(color ? benchmark::ConsoleReporter::OO_ColorTabular
                                   : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_responder.Stop();
    benchmark::Shutdown();
    return 0;
}
