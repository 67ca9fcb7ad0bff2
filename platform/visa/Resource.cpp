#include "Resource.h"

#include <arpa/inet.h>

#include <cstring>

namespace varnel::visa {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool StartsWithNoCase(const std::string& a, const char* prefix, std::size_t& after) {
    const std::size_t n = std::strlen(prefix);
    if (a.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Upper(a[i]) != Upper(prefix[i])) return false;
    after = n;
    return true;
}

bool AllDigits(const std::string& s, std::size_t from) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// A host name: labels of letters, digits, '-' and '_', separated by dots,
// each 1 to 63 characters; a final dot is allowed. All-numeric names must be
// valid IPv4 addresses.
bool ValidHost(const std::string& h) {
    if (h.empty() || h.size() > 253) return false;
    bool numeric = true;
    std::size_t label = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
        const char c = h[i];
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        const bool digit = c >= '0' && c <= '9';
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!digit && !alpha && c != '-' && c != '_') return false;
        if (!digit) numeric = false;
        if (++label > 63) return false;
    }
    if (numeric) {
        in_addr a;
        return inet_pton(AF_INET, h.c_str(), &a) == 1;
    }
    return true;
}

}  // namespace

ViStatus ParseResourceName(const char* text, ResourceName& out) {
    out = ResourceName();
    if (text == nullptr) return VI_ERROR_INV_RSRC_NAME;
    const std::string s(text);
    // Split into fields at "::", keeping a bracketed IPv6 host whole.
    std::string fields[8];
    std::size_t count = 0;
    std::size_t i = 0;
    bool bracketed[8] = {};
    for (;;) {
        if (count == 8) return VI_ERROR_INV_RSRC_NAME;
        std::string field;
        if (count == 1 && i < s.size() && s[i] == '[') {
            const std::size_t close = s.find(']', i);
            if (close == std::string::npos) return VI_ERROR_INV_RSRC_NAME;
            field = s.substr(i + 1, close - i - 1);
            bracketed[count] = true;
            i = close + 1;
            if (i < s.size() && s.compare(i, 2, "::") != 0) return VI_ERROR_INV_RSRC_NAME;
        } else {
            const std::size_t sep = s.find("::", i);
            field = s.substr(i, sep == std::string::npos ? std::string::npos : sep - i);
            i = sep == std::string::npos ? s.size() : sep;
        }
        fields[count++] = field;
        if (i >= s.size()) break;
        i += 2;  // past "::"
    }
    std::size_t after = 0;
    if (!StartsWithNoCase(fields[0], "TCPIP", after)) {
        // Another interface of the VISA syntax: well formed, but this library
        // has no such resource.
        static const char* const kOthers[] = {"GPIB-VXI", "GPIB", "VXI", "ASRL", "PXI", "USB"};
        if (count >= 2) {
            for (const char* other : kOthers) {
                if (StartsWithNoCase(fields[0], other, after) && AllDigits(fields[0], after)) {
                    for (std::size_t k = 1; k < count; ++k)
                        if (fields[k].empty()) return VI_ERROR_INV_RSRC_NAME;
                    return VI_ERROR_RSRC_NFOUND;
                }
            }
        }
        return VI_ERROR_INV_RSRC_NAME;
    }
    if (!AllDigits(fields[0], after) || fields[0].size() - after > 5) return VI_ERROR_INV_RSRC_NAME;
    unsigned long board = 0;
    for (std::size_t k = after; k < fields[0].size(); ++k) board = board * 10 + (fields[0][k] - '0');
    if (board > 65535) return VI_ERROR_INV_RSRC_NAME;
    if (count < 2) return VI_ERROR_INV_RSRC_NAME;
    const std::string& host = fields[1];
    if (bracketed[1]) {
        in6_addr a;
        if (inet_pton(AF_INET6, host.c_str(), &a) != 1) return VI_ERROR_INV_RSRC_NAME;
    } else if (!ValidHost(host)) {
        return VI_ERROR_INV_RSRC_NAME;
    }
    const std::string& last = fields[count - 1];
    if (EqualsNoCase(last, "INSTR")) {
        // VXI-11 and HiSLIP instruments: well formed, not provided here.
        if (count > 4) return VI_ERROR_INV_RSRC_NAME;
        for (std::size_t k = 2; k + 1 < count; ++k)
            if (fields[k].empty()) return VI_ERROR_INV_RSRC_NAME;
        return VI_ERROR_RSRC_NFOUND;
    }
    if (count != 4 || !EqualsNoCase(last, "SOCKET")) return VI_ERROR_INV_RSRC_NAME;
    const std::string& port = fields[2];
    if (port.empty() || port.size() > 5 || !AllDigits(port, 0)) return VI_ERROR_INV_RSRC_NAME;
    const unsigned long portValue = std::stoul(port);
    if (portValue == 0 || portValue > 65535) return VI_ERROR_INV_RSRC_NAME;

    out.board = static_cast<std::uint16_t>(board);
    out.host = host;
    out.ipv6Literal = bracketed[1];
    out.port = static_cast<std::uint16_t>(portValue);
    out.canonical = "TCPIP" + std::to_string(board) + "::" + (bracketed[1] ? "[" + host + "]" : host) +
                    "::" + std::to_string(portValue) + "::SOCKET";
    return VI_SUCCESS;
}

}  // namespace varnel::visa
