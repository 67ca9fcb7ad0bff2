// The driver's per-call cost. Simulated: a Set, a measurement, and an
// initialization with close; one session per thread on one and two threads.
// Live, against the fast local responder, beside hand-written loops doing
// the same formatting and socket calls:
//   set/raw       snprintf "CC %0.15g\n" and send it
//   set/driver    Varnel_SetConstantCurrent(vi, 2.5)
//   measure/raw   send "MV\n", read the reply line, strtod it
//   measure/driver Varnel_MeasureVoltage(vi, &v)
// Every benchmark counts the memory allocations of its steady loop
// (allocs_per_call), through this program's operator new, which the driver
// library's allocations also reach.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "Responder.h"
#include "Varnel.h"

namespace {
std::atomic<unsigned long long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

bench::Responder g_responder;

// Counts the allocations of the timed loop: read before and after it.
class AllocationCount {
public:
    explicit AllocationCount(benchmark::State& state) : state_(state), start_(g_allocations.load()) {}
    ~AllocationCount() {
        const double calls = static_cast<double>(state_.iterations());
        if (calls > 0) {
            state_.counters["allocs_per_call"] = static_cast<double>(g_allocations.load() - start_) / calls;
        }
    }

private:
    benchmark::State& state_;
    unsigned long long start_;
};

ViSession Open(benchmark::State& state, const std::string& resource, const char* options) {
    ViSession vi = VI_NULL;
    if (Varnel_InitWithOptions(const_cast<ViRsrc>(resource.c_str()), VI_FALSE, VI_FALSE, options, &vi) < 0) {
        state.SkipWithError("initialization failed");
        return VI_NULL;
    }
    return vi;
}

std::string ResponderResource() { return "TCPIP::127.0.0.1::" + std::to_string(g_responder.Port()) + "::SOCKET"; }

void SimulatedSet(benchmark::State& state) {
    const ViSession vi = Open(state, "Sim", "Simulate=1");
    if (vi == VI_NULL) return;
    {
        AllocationCount count(state);
        for (auto _ : state) benchmark::DoNotOptimize(Varnel_SetConstantCurrent(vi, 2.5));
    }
    Varnel_close(vi);
}

void SimulatedMeasure(benchmark::State& state) {
    const ViSession vi = Open(state, "Sim", "Simulate=1");
    if (vi == VI_NULL) return;
    ViReal64 value = 0;
    {
        AllocationCount count(state);
        for (auto _ : state) benchmark::DoNotOptimize(Varnel_MeasureVoltage(vi, &value));
    }
    Varnel_close(vi);
}

void SimulatedInitClose(benchmark::State& state) {
    for (auto _ : state) {
        ViSession vi = VI_NULL;
        if (Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &vi) < 0) {
            state.SkipWithError("initialization failed");
            break;
        }
        Varnel_close(vi);
    }
}

int RawConnect() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(g_responder.Port());
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    bench::SetNoDelay(fd);
    bench::SetTimeouts(fd, 2000);
    return fd;
}

// One "MV" round trip on a raw connection: the reply parsed as a number.
bool RawQuery(int fd, double& value) {
    if (!bench::SendAll(fd, "MV\n", 3)) return false;
    char line[64];
    std::size_t have = 0;
    while (have < sizeof line - 1) {
        const ssize_t n = recv(fd, line + have, sizeof line - 1 - have, 0);
        if (n <= 0) return false;
        have += static_cast<std::size_t>(n);
        if (line[have - 1] == '\n') break;
    }
    line[have] = '\0';
    value = std::strtod(line, nullptr);
    return true;
}

void RawSet(benchmark::State& state) {
    const int fd = RawConnect();
    if (fd < 0) return state.SkipWithError("connect failed");
    char line[64];
    {
        AllocationCount count(state);
        for (auto _ : state) {
            const int n = std::snprintf(line, sizeof line, "CC %0.15g\n", 2.5);
            if (!bench::SendAll(fd, line, static_cast<std::size_t>(n))) {
                state.SkipWithError("send failed");
                break;
            }
        }
    }
    double v = 0;
    RawQuery(fd, v);  // the responder has taken every line
    close(fd);
}

void DriverSet(benchmark::State& state) {
    const ViSession vi = Open(state, ResponderResource(), "");
    if (vi == VI_NULL) return;
    {
        AllocationCount count(state);
        for (auto _ : state) {
            if (Varnel_SetConstantCurrent(vi, 2.5) < 0) {
                state.SkipWithError("set failed");
                break;
            }
        }
    }
    ViReal64 v = 0;
    Varnel_MeasureVoltage(vi, &v);
    Varnel_close(vi);
}

void RawMeasure(benchmark::State& state) {
    const int fd = RawConnect();
    if (fd < 0) return state.SkipWithError("connect failed");
    double v = 0;
    {
        AllocationCount count(state);
        for (auto _ : state) {
            if (!RawQuery(fd, v)) {
                state.SkipWithError("query failed");
                break;
            }
        }
    }
    close(fd);
}

void DriverMeasure(benchmark::State& state) {
    const ViSession vi = Open(state, ResponderResource(), "");
    if (vi == VI_NULL) return;
    ViReal64 v = 0;
    {
        AllocationCount count(state);
        for (auto _ : state) {
            if (Varnel_MeasureVoltage(vi, &v) < 0) {
                state.SkipWithError("measurement failed");
                break;
            }
        }
    }
    Varnel_close(vi);
}

BENCHMARK(SimulatedSet)->Name("simulated/set")->ThreadRange(1, 2)->UseRealTime();
BENCHMARK(SimulatedMeasure)->Name("simulated/measure")->ThreadRange(1, 2)->UseRealTime();
BENCHMARK(SimulatedInitClose)->Name("simulated/init+close")->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSet)->Name("set/raw")->UseRealTime();
BENCHMARK(DriverSet)->Name("set/driver")->UseRealTime();
BENCHMARK(RawMeasure)->Name("measure/raw")->UseRealTime();
BENCHMARK(DriverMeasure)->Name("measure/driver")->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!g_responder.Start()) {
        std::fprintf(stderr, "driver_bench: the local responder could not listen\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_responder.Stop();
    return 0;
}
