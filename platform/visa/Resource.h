// Parsing of VISA resource descriptors. The library serves one resource
// class: TCPIP[board]::host::port::SOCKET.
#ifndef VARNEL_VISA_RESOURCE_H
#define VARNEL_VISA_RESOURCE_H

#include <cstdint>
#include <string>

#include "visa.h"

namespace varnel::visa {

struct ResourceName {
    std::uint16_t board = 0;
    std::string host;          // without brackets
    bool ipv6Literal = false;  // the host was a bracketed IPv6 address
    std::uint16_t port = 0;
    std::string canonical;     // TCPIP<board>::<host>::<port>::SOCKET
};

// VI_SUCCESS; VI_ERROR_INV_RSRC_NAME for a malformed descriptor;
// VI_ERROR_RSRC_NFOUND for a well-formed descriptor of a resource class this
// library does not provide (TCPIP INSTR, GPIB, ASRL, USB, VXI, PXI).
ViStatus ParseResourceName(const char* text, ResourceName& out);

}  // namespace varnel::visa

#endif
