// Formatted I/O allocates nothing on the steady path: malloc and its kin are
// replaced by counting versions, and the count is taken only on the calling
// thread while the VISA calls under test run (the fake instrument serves on
// its own thread and is not counted).
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "VisaTestSupport.h"

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

thread_local bool t_counting = false;
std::atomic<long> g_allocations{0};

void Count() {
    if (t_counting) g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {
void* malloc(std::size_t n) {
    Count();
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) {
    Count();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) {
    Count();
    return __libc_realloc(p, n);
}
void* memalign(std::size_t align, std::size_t n) {
    Count();
    return __libc_memalign(align, n);
}
void* aligned_alloc(std::size_t align, std::size_t n) {
    Count();
    return __libc_memalign(align, n);
}
int posix_memalign(void** out, std::size_t align, std::size_t n) {
    Count();
    void* p = __libc_memalign(align, n);
    if (p == nullptr) return ENOMEM;
    *out = p;
    return 0;
}
void free(void* p) { __libc_free(p); }
}

// operator new normally ends in malloc; counted here as well, in case the
// C++ library takes memory another way.
void* operator new(std::size_t n) {
    Count();
    if (void* p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __libc_free(p); }

namespace {

using varnel::test::VisaFixture;

// Allocations made by f on this thread.
long Allocations(const std::function<void()>& f) {
    g_allocations = 0;
    t_counting = true;
    f();
    t_counting = false;
    return g_allocations.load();
}

struct SteadyCase {
    const char* what;
    std::function<ViStatus(ViSession)> call;
};

class Alloc : public VisaFixture {
protected:
    void SetUp() override {
        VisaFixture::SetUp();
        EnableTermChar();
        fake.reply("MV", "12.5\n");
        fake.reply("CHAN?", "3\n");
    }
};

// The count sees the library's allocations: opening a session makes some.
TEST_F(Alloc, CountSeesTheLibrary) {
    ViSession other = VI_NULL;
    ViStatus st = VI_ERROR_SYSTEM_ERROR;
    EXPECT_GT(Allocations([&] { st = viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &other); }), 0);
    ASSERT_EQ(st, VI_SUCCESS);
    EXPECT_EQ(viClose(other), VI_SUCCESS);
}

TEST_F(Alloc, SteadyFormattedIoAllocatesNothing) {
    const SteadyCase cases[] = {
        {"viPrintf CC %0.15lg", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 2.5); }},
        {"viQueryf %lf%*t",
         [](ViSession v) {
             ViReal64 x = 0;
             const ViStatus st = viQueryf(v, "MV\n", "%lf%*t", &x);
             return st == VI_SUCCESS && x != 12.5 ? VI_ERROR_SYSTEM_ERROR : st;
         }},
        {"viQueryf %ld%*T",
         [](ViSession v) {
             ViInt32 x = 0;
             const ViStatus st = viQueryf(v, "CHAN?\n", "%ld%*T", &x);
             return st == VI_SUCCESS && x != 3 ? VI_ERROR_SYSTEM_ERROR : st;
         }},
    };
    for (const SteadyCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.call(vi), VI_SUCCESS);  // warm-up
        ViStatus worst = VI_SUCCESS;
        EXPECT_EQ(Allocations([&] {
                      for (int i = 0; i < 50; ++i) {
                          const ViStatus st = c.call(vi);
                          if (st != VI_SUCCESS) worst = st;
                      }
                  }),
                  0);
        EXPECT_EQ(worst, VI_SUCCESS);
    }
}

TEST_F(Alloc, SteadyViScanfAllocatesNothing) {
    ViReal64 x = 0;
    ASSERT_EQ(viPrintf(vi, "MV\n"), VI_SUCCESS);
    ASSERT_EQ(viScanf(vi, "%lf%*t", &x), VI_SUCCESS);  // warm-up
    long total = 0;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(viPrintf(vi, "MV\n"), VI_SUCCESS);
        ViStatus st = VI_ERROR_SYSTEM_ERROR;
        total += Allocations([&] { st = viScanf(vi, "%lf%*t", &x); });
        ASSERT_EQ(st, VI_SUCCESS);
        EXPECT_EQ(x, 12.5);
    }
    EXPECT_EQ(total, 0);
}

}  // namespace
