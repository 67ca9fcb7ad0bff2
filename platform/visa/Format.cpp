// Formatting and scanning engines of VISA formatted I/O (VPP-4.3.2), the
// subset told in Format.h and docs/visa.md. Numbers are written by
// std::to_chars (which is specified as C printf in the "C" locale) on the
// common paths and by snprintf otherwise, and read by strtod and strtoll in
// the "C" locale, so the text is exactly that of C printf and scanf for the
// same directive.
#include "Format.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varnel::visa {

namespace {

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(int c) { return IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : c - 'A' + 10; }

// VISA modifiers that this library does not implement: arrays (',', 'z',
// 'Z'), IEEE 488.2 number forms ('@'), byte order and sizes of binary data ('!').
bool IsUnsupportedModifier(char c) { return c == ',' || c == '@' || c == '!' || c == 'z' || c == 'Z'; }
// VISA binary-data conversions.
bool IsBinaryConversion(char c) { return c == 'b' || c == 'B' || c == 'y' || c == 'Y'; }

// Backslash escapes of VISA format strings: \n \r \t \\ \" \' , up to three
// octal digits, \x and one or two hex digits. p points after the backslash;
// returns the pointer after the escape, or nullptr when it is not one.
const char* ParseEscape(const char* p, char& out) {
    switch (*p) {
        case 'n': out = '\n'; return p + 1;
        case 'r': out = '\r'; return p + 1;
        case 't': out = '\t'; return p + 1;
        case '\\': out = '\\'; return p + 1;
        case '"': out = '"'; return p + 1;
        case '\'': out = '\''; return p + 1;
        case 'x': {
            ++p;
            if (!IsHexDigit(*p)) return nullptr;
            int v = HexValue(*p++);
            if (IsHexDigit(*p)) v = v * 16 + HexValue(*p++);
            out = static_cast<char>(v);
            return p;
        }
        default:
            if (*p >= '0' && *p <= '7') {
                int v = 0;
                for (int i = 0; i < 3 && *p >= '0' && *p <= '7'; ++i) v = v * 8 + (*p++ - '0');
                if (v > 255) return nullptr;
                out = static_cast<char>(v);
                return p;
            }
            return nullptr;
    }
}

// Reads a decimal count; returns nullptr on overflow (more than 8 digits).
const char* ParseCount(const char* p, int& value) {
    value = 0;
    int digits = 0;
    while (IsDigit(*p)) {
        if (++digits > 8) return nullptr;
        value = value * 10 + (*p++ - '0');
    }
    return p;
}

// --- write directives ------------------------------------------------------

// The length modifier of a directive: h, l, or ll (kept as 'q'). VISA's hh
// and L are not implemented: st becomes VI_ERROR_NSUP_FMT.
const char* ParseLength(const char* p, char& length, ViStatus& st) {
    if (*p == 'h') {
        length = 'h';
        ++p;
        if (*p == 'h') st = VI_ERROR_NSUP_FMT;
    } else if (*p == 'l') {
        length = 'l';
        ++p;
        if (*p == 'l') { length = 'q'; ++p; }
    } else if (*p == 'L') {
        st = VI_ERROR_NSUP_FMT;
    }
    return p;
}

struct WriteSpec {
    char conv = 0;
    bool minus = false, plus = false, space = false, zero = false, alt = false;
    int width = -1;
    bool widthArg = false;
    int precision = -1;
    bool precisionArg = false;
    char length = 0;  // 0, 'h', 'l', or 'q' for ll
};

// p points after '%'. Returns the pointer after the directive; st tells
// whether it is valid.
const char* ParseWriteSpec(const char* p, WriteSpec& s, ViStatus& st) {
    s = WriteSpec();
    st = VI_SUCCESS;
    for (;; ++p) {
        if (*p == '-') s.minus = true;
        else if (*p == '+') s.plus = true;
        else if (*p == ' ') s.space = true;
        else if (*p == '0') s.zero = true;
        else if (*p == '#') s.alt = true;
        else break;
    }
    if (IsUnsupportedModifier(*p)) { st = VI_ERROR_NSUP_FMT; return p; }
    if (*p == '*') {
        s.widthArg = true;
        ++p;
    } else if (IsDigit(*p)) {
        p = ParseCount(p, s.width);
        if (p == nullptr) { st = VI_ERROR_INV_FMT; return nullptr; }
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            s.precisionArg = true;
            ++p;
        } else {
            p = ParseCount(p, s.precision);
            if (p == nullptr) { st = VI_ERROR_INV_FMT; return nullptr; }
        }
    }
    if (IsUnsupportedModifier(*p)) { st = VI_ERROR_NSUP_FMT; return p; }
    p = ParseLength(p, s.length, st);
    if (st < 0) return p;
    s.conv = *p;
    switch (s.conv) {
        case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
            break;
        case 'f': case 'e': case 'E': case 'g': case 'G':
            if (s.length == 'h' || s.length == 'q') st = VI_ERROR_INV_FMT;
            break;
        case 'c': case 's':
            if (s.length != 0) st = VI_ERROR_INV_FMT;
            break;
        case '%':
            // Only the bare "%%".
            if (s.length != 0 || s.width >= 0 || s.widthArg || s.precision >= 0 || s.precisionArg || s.minus ||
                s.plus || s.space || s.zero || s.alt)
                st = VI_ERROR_INV_FMT;
            break;
        case '\0':
            st = VI_ERROR_INV_FMT;
            return p;
        default:
            st = IsBinaryConversion(s.conv) ? VI_ERROR_NSUP_FMT : VI_ERROR_INV_FMT;
            break;
    }
    return p + 1;
}

// Builds the C directive for snprintf: '%', flags, width, precision, the
// given length text and the conversion.
void BuildCSpec(char* out, const WriteSpec& s, int width, int precision, bool minus, const char* length) {
    char* q = out;
    *q++ = '%';
    if (minus) *q++ = '-';
    if (s.plus) *q++ = '+';
    if (s.space) *q++ = ' ';
    if (s.zero) *q++ = '0';
    if (s.alt) *q++ = '#';
    if (width >= 0) q = std::to_chars(q, q + 11, width).ptr;
    if (precision >= 0) {
        *q++ = '.';
        q = std::to_chars(q, q + 11, precision).ptr;
    }
    while (*length) *q++ = *length++;
    *q++ = s.conv;
    *q = '\0';
}

// snprintf of one value into a stack buffer, or the heap when it is longer
// (only for huge widths or precisions), then into the sink.
// The "C" locale for snprintf and the strto* conversions, whatever the
// caller's is (std::to_chars needs none).
class CLocaleScope {
public:
    CLocaleScope() : previous_(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CLocaleScope() {
        if (previous_) uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        return c;
    }
    locale_t previous_;
};

template <class T>
ViStatus PutFormatted(OutSink& out, const char* cspec, T value) {
    CLocaleScope c;
    char local[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int n = std::snprintf(local, sizeof local, cspec, value);
    if (n < 0) return VI_ERROR_INV_FMT;
    if (static_cast<std::size_t>(n) < sizeof local) return out.Put(local, static_cast<std::size_t>(n));
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), cspec, value);
#pragma GCC diagnostic pop
    return out.Put(big.data(), static_cast<std::size_t>(n));
}

// Pads a field to the width as printf does: spaces before, zeros after the
// sign of a number ('0' flag), or spaces after ('-' flag).
ViStatus PutPadded(OutSink& out, const char* text, std::size_t n, int width, bool minus, bool zero) {
    const std::size_t pad = width > 0 && static_cast<std::size_t>(width) > n ? width - n : 0;
    if (pad == 0) return out.Put(text, n);
    ViStatus st = VI_SUCCESS;
    if (minus) {
        st = out.Put(text, n);
        if (st >= 0) st = out.PutRepeated(' ', pad);
    } else if (zero) {
        const std::size_t sign = (n > 0 && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) ? 1 : 0;
        st = out.Put(text, sign);
        if (st >= 0) st = out.PutRepeated('0', pad);
        if (st >= 0) st = out.Put(text + sign, n - sign);
    } else {
        st = out.PutRepeated(' ', pad);
        if (st >= 0) st = out.Put(text, n);
    }
    return st;
}

// %f %e %E %g %G of a finite value without the '#' flag, through
// std::to_chars. False when the text does not fit the buffer (huge
// precisions): the caller then uses snprintf.
bool PutReal(OutSink& out, const WriteSpec& s, double v, int width, int precision, bool minus, ViStatus& st) {
    char text[400];
    char* q = text;
    if (!std::signbit(v)) {
        if (s.plus) *q++ = '+';
        else if (s.space) *q++ = ' ';
    }
    const std::chars_format form = (s.conv == 'f') ? std::chars_format::fixed
                                   : (s.conv == 'e' || s.conv == 'E') ? std::chars_format::scientific
                                                                      : std::chars_format::general;
    const auto r = std::to_chars(q, text + sizeof text, v, form, precision >= 0 ? precision : 6);
    if (r.ec != std::errc()) return false;
    if (s.conv == 'E' || s.conv == 'G') {
        for (char* c = q; c != r.ptr; ++c) {
            if (*c == 'e') *c = 'E';
        }
    }
    st = PutPadded(out, text, static_cast<std::size_t>(r.ptr - text), width, minus, s.zero);
    return true;
}

ViStatus FormatOne(OutSink& out, const WriteSpec& s, va_list* args) {
    int width = s.width;
    bool minus = s.minus;
    if (s.widthArg) {
        width = va_arg(*args, int);
        if (width < 0) {
            minus = true;
            width = width == INT_MIN ? INT_MAX : -width;
        }
    }
    int precision = s.precision;
    if (s.precisionArg) {
        precision = va_arg(*args, int);
        if (precision < 0) precision = -1;
    }
    char cspec[48];
    switch (s.conv) {
        case '%':
            return out.PutChar('%');
        case 'd': case 'i': {
            long long v;
            if (s.length == 'q') v = va_arg(*args, long long);
            else if (s.length == 'h') v = static_cast<short>(va_arg(*args, int));
            else v = static_cast<ViInt32>(va_arg(*args, int));  // none and 'l': ViInt32
            if (precision < 0 && !s.plus && !s.space) {
                char text[24];
                const auto r = std::to_chars(text, text + sizeof text, v);
                return PutPadded(out, text, static_cast<std::size_t>(r.ptr - text), width, minus, s.zero);
            }
            BuildCSpec(cspec, s, width, precision, minus, "ll");
            return PutFormatted(out, cspec, v);
        }
        case 'u': case 'o': case 'x': case 'X': {
            unsigned long long v;
            if (s.length == 'q') v = va_arg(*args, unsigned long long);
            else if (s.length == 'h') v = static_cast<unsigned short>(va_arg(*args, unsigned int));
            else v = static_cast<ViUInt32>(va_arg(*args, unsigned int));
            BuildCSpec(cspec, s, width, precision, minus, "ll");
            return PutFormatted(out, cspec, v);
        }
        case 'f': case 'e': case 'E': case 'g': case 'G': {
            const double v = va_arg(*args, double);  // none and 'l': ViReal64 (a float is promoted)
            if (!s.alt && std::isfinite(v)) {
                ViStatus st = VI_SUCCESS;
                if (PutReal(out, s, v, width, precision, minus, st)) return st;
            }
            BuildCSpec(cspec, s, width, precision, minus, "");
            return PutFormatted(out, cspec, v);
        }
        case 'c': {
            const char c = static_cast<char>(va_arg(*args, int));
            return PutPadded(out, &c, 1, width, minus, false);
        }
        case 's': {
            const char* text = va_arg(*args, const char*);
            if (text == nullptr) return VI_ERROR_USER_BUF;
            const std::size_t n =
                precision >= 0 ? strnlen(text, static_cast<std::size_t>(precision)) : std::strlen(text);
            return PutPadded(out, text, n, width, minus, false);
        }
        default:
            return VI_ERROR_INV_FMT;
    }
}

// --- read directives -------------------------------------------------------

struct ReadSpec {
    char conv = 0;
    bool suppress = false;
    bool hash = false;
    int width = -1;
    char length = 0;  // 0, 'h', 'l', or 'q' for ll
    const char* setBegin = nullptr;  // scan set: the characters between '[' (and '^') and ']'
    const char* setEnd = nullptr;
    bool setNegated = false;
};

const char* ParseReadSpec(const char* p, ReadSpec& s, ViStatus& st) {
    s = ReadSpec();
    st = VI_SUCCESS;
    if (*p == '*') { s.suppress = true; ++p; }
    if (*p == '#') { s.hash = true; ++p; }
    if (IsUnsupportedModifier(*p)) { st = VI_ERROR_NSUP_FMT; return p; }
    if (IsDigit(*p)) {
        p = ParseCount(p, s.width);
        if (p == nullptr || s.width == 0 || s.hash) { st = VI_ERROR_INV_FMT; return nullptr; }
    }
    if (IsUnsupportedModifier(*p)) { st = VI_ERROR_NSUP_FMT; return p; }
    p = ParseLength(p, s.length, st);
    if (st < 0) return p;
    s.conv = *p;
    switch (s.conv) {
        case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
            if (s.hash) st = VI_ERROR_NSUP_FMT;
            break;
        case 'f': case 'e': case 'E': case 'g': case 'G':
            if (s.length == 'h' || s.length == 'q') st = VI_ERROR_INV_FMT;
            else if (s.hash) st = VI_ERROR_NSUP_FMT;
            break;
        case 'c':
            if (s.length != 0) st = VI_ERROR_INV_FMT;
            else if (s.hash) st = VI_ERROR_NSUP_FMT;
            break;
        case 's': case 't': case 'T':
            if (s.length != 0) st = VI_ERROR_INV_FMT;
            break;
        case '[': {
            if (s.length != 0) st = VI_ERROR_INV_FMT;
            ++p;
            if (*p == '^') { s.setNegated = true; ++p; }
            s.setBegin = p;
            if (*p == ']') ++p;  // a leading ']' belongs to the set
            while (*p && *p != ']') ++p;
            if (*p != ']') { st = VI_ERROR_INV_FMT; return nullptr; }
            s.setEnd = p;
            break;
        }
        case '%':
            if (s.suppress || s.hash || s.width >= 0 || s.length != 0) st = VI_ERROR_INV_FMT;
            break;
        case '\0':
            st = VI_ERROR_INV_FMT;
            return p;
        default:
            st = IsBinaryConversion(s.conv) ? VI_ERROR_NSUP_FMT : VI_ERROR_INV_FMT;
            break;
    }
    if (st >= 0 && s.hash && s.suppress) st = VI_ERROR_INV_FMT;
    return p + 1;
}

// The input of one scanning call. END is the termination character when it
// is enabled: once the call has consumed it, the call reads no further (the
// rest stays buffered). A termination character left buffered by an earlier
// call and skipped as leading white space does not count, so that the line
// feed after a value read by an earlier call is skipped as C scanf would;
// one that arrived during this call does (an empty reply ends the call). END also ends %s and scan-set fields without
// being part of them; %c, %t and %T take it as data.
class Reader {
public:
    explicit Reader(InSource& in) : in_(in) {}

    int Peek() {
        if (end_) return -1;
        if (in_.pos == in_.len) {
            if (io_ < 0) return -1;
            const ViStatus s = in_.Refill();
            if (s < 0) {
                io_ = s;
                return -1;
            }
            refilled_ = true;
        }
        return in_.buf[in_.pos];
    }
    void Take(int c) {
        ++in_.pos;
        started_ = true;
        if (in_.termCharEnabled && c == in_.termChar) end_ = true;
    }
    void SkipSpace() {
        for (;;) {
            const int c = Peek();
            if (c < 0 || !IsSpace(c)) return;
            ++in_.pos;
            if (in_.termCharEnabled && c == in_.termChar && (started_ || refilled_)) {
                end_ = true;
                return;
            }
        }
    }
    // Status of a conversion that found no input: the I/O failure that
    // stopped it, else the mismatch.
    ViStatus Fail() const { return io_ < 0 ? io_ : kScanMismatch; }
    ViStatus Io() const { return io_; }
    unsigned char TermChar() const { return in_.termChar; }
    // The character is END: the termination character, when enabled.
    bool IsEnd(int c) const { return in_.termCharEnabled && c == in_.termChar; }

private:
    InSource& in_;
    bool end_ = false;
    bool started_ = false;
    bool refilled_ = false;  // bytes read from the connection during this call
    ViStatus io_ = VI_SUCCESS;
};

// Where the characters of a string conversion go.
struct TextDest {
    char* p = nullptr;        // null: nothing is stored
    std::size_t cap = 0;      // characters that may be stored
    bool terminate = false;   // append a NUL
    ViInt32* countOut = nullptr;
    std::size_t stored = 0;

    void Put(int c) {
        if (p != nullptr && stored < cap) p[stored++] = static_cast<char>(c);
    }
    void Finish() {
        if (p != nullptr && terminate) p[stored] = '\0';
        if (countOut != nullptr) *countOut = static_cast<ViInt32>(stored);
    }
};

// Sets up the destination of %s %[ %t %T and returns the field's limit in
// characters (SIZE_MAX when unbounded), or a negative status via st.
std::size_t SetUpText(const ReadSpec& s, va_list* args, TextDest& d, ViStatus& st) {
    st = VI_SUCCESS;
    if (s.suppress) return s.width > 0 ? static_cast<std::size_t>(s.width) : SIZE_MAX;
    if (s.hash) {
        d.countOut = va_arg(*args, ViInt32*);
        char* p = va_arg(*args, char*);
        if (d.countOut == nullptr) { st = VI_ERROR_USER_BUF; return 0; }
        const ViInt32 size = *d.countOut;
        if (size >= 1) {
            if (p == nullptr) { st = VI_ERROR_USER_BUF; return 0; }
            d.p = p;
            d.cap = static_cast<std::size_t>(size) - 1;
            d.terminate = true;
        }
        return SIZE_MAX;  // the whole field is consumed; what does not fit is dropped
    }
    d.p = va_arg(*args, char*);
    if (d.p == nullptr) { st = VI_ERROR_USER_BUF; return 0; }
    d.cap = SIZE_MAX;
    d.terminate = true;
    return s.width > 0 ? static_cast<std::size_t>(s.width) : SIZE_MAX;
}

constexpr std::size_t kNumberTokenMax = 500;

ViStatus ScanInteger(Reader& r, const ReadSpec& s, va_list* args) {
    r.SkipSpace();
    char tok[80];
    std::size_t n = 0;
    const std::size_t max = s.width > 0 ? static_cast<std::size_t>(s.width) : SIZE_MAX;
    int base = (s.conv == 'd' || s.conv == 'u') ? 10 : s.conv == 'o' ? 8 : s.conv == 'i' ? 0 : 16;
    bool digits = false;
    bool negative = false;
    int c = r.Peek();
    if (n < max && (c == '+' || c == '-')) {
        negative = c == '-';
        tok[n++] = static_cast<char>(c);
        r.Take(c);
        c = r.Peek();
    }
    if ((base == 16 || base == 0) && n < max && c == '0') {
        tok[n++] = '0';
        r.Take(c);
        c = r.Peek();
        digits = true;
        if (n < max && (c == 'x' || c == 'X')) {
            tok[n++] = static_cast<char>(c);
            r.Take(c);
            c = r.Peek();
            base = 16;
            digits = false;  // "0x" needs a hex digit
        } else if (base == 0) {
            base = 8;
        }
    }
    if (base == 0) base = 10;
    auto isDigitOfBase = [base](int ch) {
        if (base == 16) return IsHexDigit(ch);
        if (base == 8) return ch >= '0' && ch <= '7';
        return IsDigit(ch);
    };
    while (c >= 0 && n < max && isDigitOfBase(c)) {
        if (n + 1 >= sizeof tok) return kScanMismatch;  // far beyond any 64-bit value
        tok[n++] = static_cast<char>(c);
        r.Take(c);
        c = r.Peek();
        digits = true;
    }
    if (!digits) return r.Fail();
    tok[n] = '\0';
    errno = 0;
    char* end = nullptr;
    const bool isSigned = s.conv == 'd' || s.conv == 'i';
    long long sv = 0;
    unsigned long long uv = 0;
    if (isSigned || negative) {
        sv = std::strtoll(tok, &end, base);
    } else {
        uv = std::strtoull(tok, &end, base);
    }
    if (errno == ERANGE || end != tok + n) return kScanMismatch;
    if (isSigned) {
        if (s.length == 'h' && (sv < SHRT_MIN || sv > SHRT_MAX)) return kScanMismatch;
        if ((s.length == 0 || s.length == 'l') && (sv < INT32_MIN || sv > INT32_MAX)) return kScanMismatch;
        if (s.suppress) return VI_SUCCESS;
        void* p = va_arg(*args, void*);
        if (p == nullptr) return VI_ERROR_USER_BUF;
        if (s.length == 'h') *static_cast<ViInt16*>(p) = static_cast<ViInt16>(sv);
        else if (s.length == 'q') *static_cast<ViInt64*>(p) = sv;
        else *static_cast<ViInt32*>(p) = static_cast<ViInt32>(sv);
        return VI_SUCCESS;
    }
    // Unsigned: a negative number is taken modulo the type's range, as C does.
    if (negative) {
        if (s.length == 'h' && sv < SHRT_MIN) return kScanMismatch;
        if ((s.length == 0 || s.length == 'l') && sv < INT32_MIN) return kScanMismatch;
        uv = static_cast<unsigned long long>(sv);
    } else {
        if (s.length == 'h' && uv > USHRT_MAX) return kScanMismatch;
        if ((s.length == 0 || s.length == 'l') && uv > UINT32_MAX) return kScanMismatch;
    }
    if (s.suppress) return VI_SUCCESS;
    void* p = va_arg(*args, void*);
    if (p == nullptr) return VI_ERROR_USER_BUF;
    if (s.length == 'h') *static_cast<ViUInt16*>(p) = static_cast<ViUInt16>(uv);
    else if (s.length == 'q') *static_cast<ViUInt64*>(p) = uv;
    else *static_cast<ViUInt32*>(p) = static_cast<ViUInt32>(uv);
    return VI_SUCCESS;
}

char Lower(int c) { return static_cast<char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c); }

ViStatus ScanReal(Reader& r, const ReadSpec& s, va_list* args) {
    r.SkipSpace();
    char tok[kNumberTokenMax + 2];
    std::size_t n = 0;
    const std::size_t max = s.width > 0 ? static_cast<std::size_t>(s.width) : SIZE_MAX;
    auto take = [&](int ch) -> bool {
        if (n >= kNumberTokenMax) return false;
        tok[n++] = static_cast<char>(ch);
        r.Take(ch);
        return true;
    };
    int c = r.Peek();
    if (n < max && (c == '+' || c == '-')) {
        take(c);
        c = r.Peek();
    }
    bool ok = false;
    if (c >= 0 && (Lower(c) == 'i' || Lower(c) == 'n')) {
        const char* word = Lower(c) == 'i' ? "infinity" : "nan";
        std::size_t matched = 0;
        while (word[matched] && n < max && c >= 0 && Lower(c) == word[matched]) {
            take(c);
            ++matched;
            c = r.Peek();
        }
        ok = Lower(word[0]) == 'i' ? (matched == 3 || matched == 8) : matched == 3;
    } else {
        bool hex = false;
        bool mantissa = false;
        if (c == '0' && n < max) {
            take(c);
            mantissa = true;
            c = r.Peek();
            if (n < max && (c == 'x' || c == 'X')) {
                take(c);
                hex = true;
                mantissa = false;
                c = r.Peek();
            }
        }
        auto digit = [hex](int ch) { return hex ? IsHexDigit(ch) : IsDigit(ch); };
        while (c >= 0 && n < max && digit(c)) {
            if (!take(c)) return kScanMismatch;
            mantissa = true;
            c = r.Peek();
        }
        if (c == '.' && n < max) {
            if (!take(c)) return kScanMismatch;
            c = r.Peek();
            while (c >= 0 && n < max && digit(c)) {
                if (!take(c)) return kScanMismatch;
                mantissa = true;
                c = r.Peek();
            }
        }
        ok = mantissa;
        if (mantissa && n < max && c >= 0 && (hex ? Lower(c) == 'p' : Lower(c) == 'e')) {
            take(c);
            c = r.Peek();
            if (n < max && (c == '+' || c == '-')) {
                take(c);
                c = r.Peek();
            }
            bool expDigits = false;
            while (c >= 0 && n < max && IsDigit(c)) {
                if (!take(c)) return kScanMismatch;
                expDigits = true;
                c = r.Peek();
            }
            ok = expDigits;
        }
    }
    if (n == 0) return r.Fail();
    if (!ok) return kScanMismatch;
    tok[n] = '\0';
    char* end = nullptr;
    const double v = std::strtod(tok, &end);
    if (end != tok + n) return kScanMismatch;
    if (s.suppress) return VI_SUCCESS;
    void* p = va_arg(*args, void*);
    if (p == nullptr) return VI_ERROR_USER_BUF;
    if (s.length == 'l') *static_cast<ViReal64*>(p) = v;
    else *static_cast<ViReal32*>(p) = static_cast<ViReal32>(v);
    return VI_SUCCESS;
}

ViStatus ScanChars(Reader& r, const ReadSpec& s, va_list* args) {
    const int count = s.width > 0 ? s.width : 1;
    char* p = nullptr;
    if (!s.suppress) {
        p = va_arg(*args, char*);
        if (p == nullptr) return VI_ERROR_USER_BUF;
    }
    for (int i = 0; i < count; ++i) {
        const int c = r.Peek();
        if (c < 0) return r.Fail();
        if (p) p[i] = static_cast<char>(c);
        r.Take(c);
    }
    return VI_SUCCESS;
}

ViStatus ScanText(Reader& r, const ReadSpec& s, va_list* args) {
    TextDest d;
    ViStatus st;
    const std::size_t limit = SetUpText(s, args, d, st);
    if (st < 0) return st;
    std::size_t read = 0;
    switch (s.conv) {
        case 's': {
            r.SkipSpace();
            for (int c = r.Peek(); c >= 0 && !IsSpace(c) && !r.IsEnd(c) && read < limit; c = r.Peek()) {
                d.Put(c);
                r.Take(c);
                ++read;
            }
            if (read == 0) return r.Fail();
            break;
        }
        case '[': {
            bool member[256] = {};
            const unsigned char* b = reinterpret_cast<const unsigned char*>(s.setBegin);
            const unsigned char* e = reinterpret_cast<const unsigned char*>(s.setEnd);
            for (const unsigned char* q = b; q < e; ++q) {
                if (q + 2 < e && q[1] == '-' && q[2] >= q[0]) {  // a range; '-' first or last is literal
                    for (int ch = q[0]; ch <= q[2]; ++ch) member[ch] = true;
                    q += 2;
                } else {
                    member[*q] = true;
                }
            }
            for (int c = r.Peek(); c >= 0 && member[c] != s.setNegated && !r.IsEnd(c) && read < limit;
                 c = r.Peek()) {
                d.Put(c);
                r.Take(c);
                ++read;
            }
            if (read == 0) return r.Fail();
            break;
        }
        case 't': {
            // Through END: the termination character, when enabled, is the
            // last character stored.
            for (int c = r.Peek(); c >= 0 && read < limit; c = r.Peek()) {
                d.Put(c);
                r.Take(c);
                ++read;
            }
            if (r.Io() < 0) return r.Io();
            break;
        }
        case 'T': {
            const int term = r.TermChar();
            for (int c = r.Peek(); c >= 0 && read < limit; c = r.Peek()) {
                d.Put(c);
                r.Take(c);
                ++read;
                if (c == term) break;
            }
            if (r.Io() < 0) return r.Io();
            break;
        }
        default:
            return VI_ERROR_INV_FMT;
    }
    d.Finish();
    return VI_SUCCESS;
}

}  // namespace

// --- OutSink ---------------------------------------------------------------

ViStatus OutSink::Put(const char* data, std::size_t n) {
    while (n > 0) {
        if (len_ == cap_) {
            const ViStatus s = Drain();
            if (s < 0) return s;
        }
        const std::size_t k = n < cap_ - len_ ? n : cap_ - len_;
        std::memcpy(buf_ + len_, data, k);
        len_ += k;
        data += k;
        n -= k;
    }
    return VI_SUCCESS;
}

ViStatus OutSink::PutRepeated(char c, std::size_t n) {
    while (n > 0) {
        if (len_ == cap_) {
            const ViStatus s = Drain();
            if (s < 0) return s;
        }
        const std::size_t k = n < cap_ - len_ ? n : cap_ - len_;
        std::memset(buf_ + len_, c, k);
        len_ += k;
        n -= k;
    }
    return VI_SUCCESS;
}

// --- validation ------------------------------------------------------------

ViStatus ValidateWriteFormat(const char* format) {
    if (format == nullptr) return VI_ERROR_USER_BUF;
    // A driver writes the same few formats again and again: the last short
    // format this thread found valid is remembered by its text.
    struct LastValid {
        char text[64];
        bool set;
    };
    thread_local LastValid last{};
    if (last.set && std::strcmp(format, last.text) == 0) return VI_SUCCESS;
    for (const char* p = format; *p;) {
        if (*p == '%') {
            WriteSpec s;
            ViStatus st;
            p = ParseWriteSpec(p + 1, s, st);
            if (st < 0) return st;
        } else if (*p == '\\') {
            char c;
            p = ParseEscape(p + 1, c);
            if (p == nullptr) return VI_ERROR_INV_FMT;
        } else {
            ++p;
        }
    }
    const std::size_t n = std::strlen(format);
    if (n < sizeof last.text) {
        std::memcpy(last.text, format, n + 1);
        last.set = true;
    }
    return VI_SUCCESS;
}

ViStatus ValidateReadFormat(const char* format) {
    if (format == nullptr) return VI_ERROR_USER_BUF;
    for (const char* p = format; *p;) {
        if (*p == '%') {
            ReadSpec s;
            ViStatus st;
            p = ParseReadSpec(p + 1, s, st);
            if (st < 0) return st;
        } else if (*p == '\\') {
            char c;
            p = ParseEscape(p + 1, c);
            if (p == nullptr) return VI_ERROR_INV_FMT;
        } else {
            ++p;
        }
    }
    return VI_SUCCESS;
}

// --- engines ---------------------------------------------------------------

ViStatus FormatWrite(OutSink& out, const char* format, va_list* args) {
    const char* p = format;
    while (*p) {
        const char* run = p;
        while (*p && *p != '%' && *p != '\\') ++p;
        if (p > run) {
            const ViStatus st = out.Put(run, static_cast<std::size_t>(p - run));
            if (st < 0) return st;
        }
        if (*p == '%') {
            WriteSpec s;
            ViStatus st;
            p = ParseWriteSpec(p + 1, s, st);
            if (st < 0) return st;
            st = FormatOne(out, s, args);
            if (st < 0) return st;
        } else if (*p == '\\') {
            char c = 0;
            p = ParseEscape(p + 1, c);
            if (p == nullptr) return VI_ERROR_INV_FMT;
            const ViStatus st = out.PutChar(c);
            if (st < 0) return st;
        }
    }
    return VI_SUCCESS;
}

ViStatus ScanRead(InSource& in, const char* format, va_list* args) {
    CLocaleScope c;
    Reader r(in);
    const char* p = format;
    while (*p) {
        char c = *p;
        if (c == '%') {
            ReadSpec s;
            ViStatus st;
            p = ParseReadSpec(p + 1, s, st);
            if (st < 0) return st;
            switch (s.conv) {
                case '%': {
                    r.SkipSpace();
                    const int got = r.Peek();
                    if (got != '%') return got < 0 ? r.Fail() : kScanMismatch;
                    r.Take(got);
                    st = VI_SUCCESS;
                    break;
                }
                case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
                    st = ScanInteger(r, s, args);
                    break;
                case 'f': case 'e': case 'E': case 'g': case 'G':
                    st = ScanReal(r, s, args);
                    break;
                case 'c':
                    st = ScanChars(r, s, args);
                    break;
                default:
                    st = ScanText(r, s, args);
                    break;
            }
            if (st < 0) return st;
            continue;
        }
        if (c == '\\') {
            p = ParseEscape(p + 1, c);
            if (p == nullptr) return VI_ERROR_INV_FMT;
        } else {
            ++p;
        }
        if (IsSpace(static_cast<unsigned char>(c))) {
            r.SkipSpace();
            continue;
        }
        const int got = r.Peek();
        if (got != static_cast<unsigned char>(c)) return got < 0 ? r.Fail() : kScanMismatch;
        r.Take(got);
    }
    return r.Io();
}

}  // namespace varnel::visa
