#include "VarnelDriverSession.h"

#include <cstring>
#include <map>
#include <string>

#include "DriverIdentity.h"

namespace {

std::string Trim(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The supported models, split at commas and trimmed, each of the one family.
kiln::StringMap BuildSupportedModels() {
    kiln::StringMap models;
    std::string list = varnel::kSupportedModels;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string model = Trim(list.substr(start, comma - start));
        if (!model.empty()) models[model] = varnel::kModelFamily;
        start = comma + 1;
    }
    return models;
}

const kiln::StringMap kSupportedModelMap = BuildSupportedModels();
const kiln::DriverIdentity kIdentity = {varnel::kSoftwareModuleName, varnel::kDefaultModel, &kSupportedModelMap};

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a;
        char y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return *a == *b;
}

// Room for a %256s field and its terminator.
constexpr std::size_t kWordSize = 257;

}  // namespace

const kiln::DriverIdentity& kiln::GetDriverIdentity() { return kIdentity; }

ViStatus VarnelDriverSession::OpenIo() {
    ViStatus status = kiln::DriverSession::OpenIo();
    if (status < 0 || GetSimulate()) return status;
    const ViSession io = GetInstrumentSession();
    ViUInt32 interfaceType = 0;  // a 16-bit value; room for either width
    status = viGetAttribute(io, VI_ATTR_INTF_TYPE, &interfaceType);
    if (status < 0) return status;
    char resourceClass[256] = {};
    status = viGetAttribute(io, VI_ATTR_RSRC_CLASS, resourceClass);
    if (status < 0) return status;
    // A socket has no END indicator of its own: the line feed ends a reply.
    if (interfaceType == VI_INTF_TCPIP && EqualsIgnoringCase(resourceClass, "SOCKET")) {
        status = viSetAttribute(io, VI_ATTR_TERMCHAR, '\n');
        if (status < 0) return status;
        status = viSetAttribute(io, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    }
    return status;
}

ViStatus VarnelDriverSession::ClearStatus() { return VI_SUCCESS; }

ViStatus VarnelDriverSession::QueryIdentity(std::string& manufacturer, std::string& model,
                                            std::string& /*serialNumber*/, std::string& firmwareRevision) {
    if (GetSimulate()) return VI_SUCCESS;
    char modelNumber[kWordSize] = {};
    char firmware[kWordSize] = {};
    const ViStatus status =
        viQueryf(GetInstrumentSession(), "*IDN?\n", "QVX %256s %*s %256s%*T", modelNumber, firmware);
    if (status < 0) return status;
    manufacturer = varnel::kInstrumentManufacturer;
    model = std::string(varnel::kIdentityFamilyWord) + modelNumber;
    firmwareRevision = firmware;
    return CheckStatus();
}

ViStatus VarnelDriverSession::CheckStatus() { return VI_SUCCESS; }
