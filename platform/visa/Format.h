// The formatting (viPrintf) and scanning (viScanf) engines of the VISA
// library, independent of sockets: the formatter writes into an OutSink, the
// scanner reads from an InSource, both fixed buffers owned by a session.
//
// Status rules (also in docs/visa.md):
//   VI_ERROR_INV_FMT   the format string is malformed (a lone '%', an
//                      unterminated scan set, an unknown conversion or
//                      modifier, a bad backslash escape, ...);
//   VI_ERROR_NSUP_FMT  the format uses a conversion or modifier that VISA
//                      defines and this library does not implement (binary
//                      blocks %b %B %y %Y, arrays ',' 'z' 'Z', '@' and '!'
//                      modifiers, 'L', '#' other than on %s %[ %t %T);
//   kScanMismatch      (VI_ERROR_IO) the input does not match the format: a
//                      conversion found no matching input, a literal of the
//                      format was not in the input, or the input ended (END
//                      seen) before the format did.
// Format errors are found before any byte is sent or read.
#ifndef VARNEL_VISA_FORMAT_H
#define VARNEL_VISA_FORMAT_H

#include <cstdarg>
#include <cstddef>

#include "visa.h"

namespace varnel::visa {

// Status of a scan whose input does not match the format.
constexpr ViStatus kScanMismatch = VI_ERROR_IO;

// Where formatted output goes: a fixed buffer that Drain() empties.
class OutSink {
public:
    OutSink(char* buffer, std::size_t capacity) : buf_(buffer), cap_(capacity) {}
    virtual ~OutSink() = default;

    // Sends buf_[0, len_) and sets len_ to 0.
    virtual ViStatus Drain() = 0;

    ViStatus Put(const char* data, std::size_t n);
    ViStatus PutChar(char c) {
        if (len_ == cap_) {
            const ViStatus s = Drain();
            if (s < 0) return s;
        }
        buf_[len_++] = c;
        return VI_SUCCESS;
    }
    ViStatus PutRepeated(char c, std::size_t n);

    std::size_t Pending() const { return len_; }
    void Discard() { len_ = 0; }

protected:
    char* buf_;
    std::size_t cap_;
    std::size_t len_ = 0;
};

// Where scanned input comes from: buffered bytes [pos, len) of buf, refilled
// by Refill() when empty.
class InSource {
public:
    virtual ~InSource() = default;
    // Called when pos == len. On success at least one byte is buffered.
    virtual ViStatus Refill() = 0;

    unsigned char* buf = nullptr;
    std::size_t pos = 0;
    std::size_t len = 0;
    unsigned char termChar = '\n';
    bool termCharEnabled = false;
};

// VI_SUCCESS, VI_ERROR_INV_FMT or VI_ERROR_NSUP_FMT, without touching any argument.
ViStatus ValidateWriteFormat(const char* format);
ViStatus ValidateReadFormat(const char* format);

// Formats into the sink (does not drain what is left in it). The format must
// have been validated. Takes the arguments from *args.
ViStatus FormatWrite(OutSink& out, const char* format, va_list* args);

// Scans from the source. The format must have been validated.
ViStatus ScanRead(InSource& in, const char* format, va_list* args);

}  // namespace varnel::visa

#endif
