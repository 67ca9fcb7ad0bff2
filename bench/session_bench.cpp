// Resolving a session handle and taking its lock, the step every framed
// call of the driver begins with, on one session alone and on one session
// per thread: the per-call time must not grow with the number of threads,
// since sessions used on different threads share no lock on that path.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "Varnel.h"

namespace {

// This thread's own simulated session, or VI_NULL with the benchmark skipped.
ViSession OpenSimulated(benchmark::State& state) {
    ViSession vi = VI_NULL;
    if (Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &vi) < 0) {
        state.SkipWithError("simulated initialization failed");
        return VI_NULL;
    }
    return vi;
}

void BM_LockUnlockOwnSession(benchmark::State& state) {
    const ViSession vi = OpenSimulated(state);
    if (vi == VI_NULL) return;
    for (auto _ : state) {
        Varnel_LockSession(vi, VI_NULL);
        Varnel_UnlockSession(vi, VI_NULL);
    }
    state.SetItemsProcessed(state.iterations());
    Varnel_close(vi);
}
BENCHMARK(BM_LockUnlockOwnSession)->ThreadRange(1, 2)->UseRealTime();

void BM_GetErrorOwnSession(benchmark::State& state) {
    const ViSession vi = OpenSimulated(state);
    if (vi == VI_NULL) return;
    ViStatus code = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Varnel_GetError(vi, &code, 0, VI_NULL));
    }
    state.SetItemsProcessed(state.iterations());
    Varnel_close(vi);
}
BENCHMARK(BM_GetErrorOwnSession)->ThreadRange(1, 2)->UseRealTime();

// Initialization and close of a session whose store entry carries the
// largest number of virtual names a session may have (65536).
void BM_InitWithLargestVirtualNameStore(benchmark::State& state) {
    char folder[] = "/tmp/varnel-bench-store-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const std::string path = std::string(folder) + "/store.xml";
    {
        std::ofstream out(path);
        out << R"(<IviConfigStore><SoftwareModule name="Varnel"/><DriverSession name="Wide" softwareModule="Varnel" simulate="true">)";
        for (int i = 0; i < 16; ++i) {
            out << "<VirtualName name=\"V" << i << "_\" physicalName=\"P" << i
                << "_\"><Range first=\"1\" last=\"4096\" start=\"1\"/></VirtualName>";
        }
        out << "</DriverSession></IviConfigStore>";
    }
    setenv("IVI_CONFIG_STORE", path.c_str(), 1);
    for (auto _ : state) {
        ViSession vi = VI_NULL;
        if (Varnel_InitWithOptions(const_cast<ViRsrc>("Wide"), VI_FALSE, VI_FALSE, "", &vi) < 0) {
            state.SkipWithError("initialization failed");
            break;
        }
        Varnel_close(vi);
    }
    unsetenv("IVI_CONFIG_STORE");
    unlink(path.c_str());
    rmdir(folder);
}
BENCHMARK(BM_InitWithLargestVirtualNameStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
