#include "Trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "Status.h"

namespace varnel::visa {

namespace {

struct TraceSink {
    std::FILE* file = nullptr;
    std::mutex mutex;

    TraceSink() {
        const char* path = std::getenv("VARNEL_VISA_TRACE");
        if (path == nullptr || *path == '\0') return;
        if (std::strcmp(path, "-") == 0) {
            file = stderr;
        } else {
            file = std::fopen(path, "a");
            if (file == nullptr) return;
            std::setvbuf(file, nullptr, _IOLBF, 0);
        }
        g_traceOn = true;
    }
};

TraceSink& Sink() {
    static TraceSink* sink = new TraceSink;  // never destroyed: threads may trace during exit
    return *sink;
}

// Reads the environment when the library is loaded.
const bool g_traceInitialized = (Sink(), true);

}  // namespace

bool g_traceOn = false;

void TraceBytes::Add(const void* data, std::size_t n) {
    const std::size_t room = kKept - size_;
    const std::size_t k = n < room ? n : room;
    std::memcpy(data_ + size_, data, k);
    size_ += k;
    total_ += n;
}

std::string EscapeBytes(const void* data, std::size_t n) {
    std::string out;
    out.reserve(n + 2);
    out += '"';
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            default:
                if (c >= 0x20 && c < 0x7F) {
                    out += static_cast<char>(c);
                } else {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                }
        }
    }
    out += '"';
    return out;
}

std::string TraceBytes::Escaped() const {
    std::string s = EscapeBytes(data_, size_);
    if (total_ > size_) s += "...(" + std::to_string(total_) + " bytes)";
    return s;
}

void TraceLine(ViSession vi, const char* operation, const std::string& details, ViStatus status) {
    TraceSink& sink = Sink();
    if (sink.file == nullptr) return;
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t;
    gmtime_r(&ts.tv_sec, &t);
    char when[96];
    std::snprintf(when, sizeof when, "%04d-%02d-%02dT%02d:%02d:%02d.%06ldZ", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, static_cast<long>(ts.tv_nsec / 1000));
    const StatusInfo* info = FindStatus(status);
    std::lock_guard<std::mutex> guard(sink.mutex);
    std::fprintf(sink.file, "%s vi=%u %s%s%s status=0x%08X %s\n", when, static_cast<unsigned>(vi), operation,
                 details.empty() ? "" : " ", details.c_str(), static_cast<unsigned>(status),
                 info ? info->name : "unknown");
    std::fflush(sink.file);
}

}  // namespace varnel::visa
