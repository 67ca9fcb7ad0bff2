// Optional trace of every operation, switched on by the environment variable
// VARNEL_VISA_TRACE (a file path, or "-" for standard error), read once when
// the library is loaded. When it is off, each operation pays one test of a
// global flag.
#ifndef VARNEL_VISA_TRACE_H
#define VARNEL_VISA_TRACE_H

#include <cstddef>
#include <string>

#include "visa.h"

namespace varnel::visa {

extern bool g_traceOn;

inline bool TraceOn() { return __builtin_expect(g_traceOn, 0); }

// A bounded record of the bytes an operation wrote or read.
class TraceBytes {
public:
    void Clear() { size_ = 0; total_ = 0; }
    void Add(const void* data, std::size_t n);
    std::size_t Total() const { return total_; }
    // The bytes, escaped and quoted, with the count when some were left out.
    std::string Escaped() const;

private:
    static constexpr std::size_t kKept = 240;
    char data_[kKept] = {};
    std::size_t size_ = 0;
    std::size_t total_ = 0;
};

std::string EscapeBytes(const void* data, std::size_t n);

// Writes one line: time, session, operation, details, status.
void TraceLine(ViSession vi, const char* operation, const std::string& details, ViStatus status);

}  // namespace varnel::visa

#endif
