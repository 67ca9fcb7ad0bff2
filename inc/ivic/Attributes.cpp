#include "Attributes.h"

#include <algorithm>
#include <string>

#include "CallFrame.h"
#include "ErrorReporting.h"
#include "Varnel.h"
#include "visa.h"

namespace kiln {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const char* begin, const char* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return std::string(begin, end);
}

constexpr char kSimulationIoError[] = "Direct I/O operations are not available in simulation mode.";

}  // namespace

const AttributeDescriptor* AttributeCatalogue::Find(ViAttr identifier) const {
    const AttributeDescriptor* end = rows + count;
    const AttributeDescriptor* found = std::lower_bound(
        rows, end, identifier, [](const AttributeDescriptor& row, ViAttr id) { return row.identifier < id; });
    return (found != end && found->identifier == identifier) ? found : nullptr;
}

ViStatus CheckNullPointers(ViSession vi, const char* function, const char* parameters, const void* first,
                           const void* second) {
    if (first != nullptr && second != nullptr) return VI_SUCCESS;
    const std::size_t index = first == nullptr ? 0 : 1;
    std::string parameter = "<unknown parameter>";
    const char* part = parameters != nullptr ? parameters : "";
    for (std::size_t i = 0;; ++i) {
        const char* comma = std::strchr(part, ',');
        const char* end = comma != nullptr ? comma : part + std::strlen(part);
        if (i == index) {
            parameter = Trimmed(part, end);
            break;
        }
        if (comma == nullptr) break;
        part = comma + 1;
    }
    const char* name = function != nullptr ? function : "";
    const std::string functionName = Trimmed(name, name + std::strlen(name));
    return ReportError(vi, IVI_ERROR_NULL_POINTER, functionName.c_str(), parameter.c_str());
}

const AttributeDescriptor* FindForAccess(ViSession vi, ViAttr id, ValueType type, const char* typeName,
                                         const char* direction, ViStatus& status) {
    const AttributeDescriptor* attribute = GetAttributeCatalogue().Find(id);
    if (attribute == nullptr) {
        status = ReportError(vi, IVI_ERROR_INVALID_ATTRIBUTE, std::to_string(id).c_str());
        return nullptr;
    }
    if (attribute->type != type) {
        status = ReportError(vi, IVI_ERROR_TYPES_DO_NOT_MATCH, direction, typeName, attribute->macroName,
                             attribute->typeName);
        return nullptr;
    }
    return attribute;
}

ViStatus NotReadable(ViSession vi, const AttributeDescriptor& attribute) {
    return ReportError(vi, IVI_ERROR_IVI_ATTR_NOT_READABLE, attribute.macroName);
}

ViStatus NotWritable(ViSession vi, const AttributeDescriptor& attribute) {
    return ReportError(vi, IVI_ERROR_IVI_ATTR_NOT_WRITABLE, attribute.macroName);
}

std::string ReadCallbackName(const AttributeDescriptor& attribute) {
    static constexpr char kPrefix[] = "VARNEL_ATTR_";
    const char* name = attribute.macroName;
    if (std::strncmp(name, kPrefix, sizeof kPrefix - 1) == 0) name += sizeof kPrefix - 1;
    return std::string("Varnel_get_") + name;
}

ViStatus GetAttributeString(ViSession vi, ViConstString repCap, ViAttr id, ViInt32 bufferSize, ViChar* buffer) {
    ViStatus status = VI_SUCCESS;
    const AttributeDescriptor* attribute = FindForAccess(vi, id, ValueType::String, "ViString", "Get", status);
    if (attribute == nullptr) return status;
    if (attribute->read == nullptr) return NotReadable(vi, *attribute);
    if (buffer == nullptr) {
        if (bufferSize == 0) return kMaxStringAttributeLength;
        return ReportError(vi, IVI_ERROR_NULL_POINTER, "GetAttributeViString", "AttributeValueBufferSize");
    }
    if (bufferSize == 0) return kMaxStringAttributeLength;
    if (bufferSize < 0) return attribute->read(vi, repCap, *attribute, buffer, kMaxStringAttributeLength);
    // A value never exceeds 4095 characters: a larger buffer is offered as
    // 4096 bytes, so a longer value is cut there and reported as possibly
    // longer.
    const ViInt32 offered = std::min(bufferSize, kMaxStringAttributeLength);
    status = attribute->read(vi, repCap, *attribute, buffer, offered);
    if (status < 0) return status;
    const void* end = std::memchr(buffer, '\0', static_cast<std::size_t>(offered));
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const ViChar*>(end) - buffer)
                                   : static_cast<std::size_t>(offered);
    if (length + 1 >= static_cast<std::size_t>(offered)) return kMaxStringAttributeLength;
    return status;
}

ViStatus SetAttributeString(ViSession vi, ViConstString repCap, ViAttr id, ViConstString value) {
    ViStatus status = VI_SUCCESS;
    const AttributeDescriptor* attribute = FindForAccess(vi, id, ValueType::String, "ViString", "Set", status);
    if (attribute == nullptr) return status;
    if (attribute->write == nullptr) return NotWritable(vi, *attribute);
    return attribute->write(vi, repCap, *attribute, value);
}

// --- Instrument skeletons ---------------------------------------------------

ViStatus ReadInstrumentInt32(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value,
                             ViInt32) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        auto* out = static_cast<ViInt32*>(value);
        if (out == nullptr) return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", out);
        GetterCacheManager<ViInt32> cache(session, attribute.identifier, out);
        const auto& row = *static_cast<const InstrumentRead*>(attribute.data);
        if (session.GetSimulate()) {
            *out = row.simulated;
            return VI_SUCCESS;
        }
        const ViStatus status = viQueryf(session.GetInstrumentSession(), row.query, row.format, out);
        if (row.endStep && status != VI_SUCCESS) *out = -1;
        if (status < 0 || !row.statusCheck) return status;
        return CheckInstrumentStatus(vi);
    });
}

ViStatus ReadInstrumentString(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value,
                              ViInt32 bufferSize) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        auto* buffer = static_cast<ViChar*>(value);
        if (buffer == nullptr) {
            return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", buffer);
        }
        GetterCacheManager<ViChar> cache(session, attribute.identifier, buffer, bufferSize);
        if (bufferSize > 0) buffer[0] = '\0';
        if (session.GetSimulate()) return VI_SUCCESS;
        const auto& row = *static_cast<const InstrumentRead*>(attribute.data);
        ViInt32 size = bufferSize;
        const ViStatus status = viQueryf(session.GetInstrumentSession(), row.query, "%#[^\n]%*t", &size, buffer);
        if (status < 0) return status;
        return CheckInstrumentStatus(vi);
    });
}

namespace {

// The write skeleton: frame, setter cache manager, and unless simulating
// the command line sent by send(io, row), then the status check.
template <class T, class Send>
ViStatus WriteInstrument(ViSession vi, const AttributeDescriptor& attribute, const void* value, Send&& send) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        const T& newValue = *static_cast<const T*>(value);
        SetterCacheManager<T> cache(session, attribute.identifier, &newValue);
        const auto* row = static_cast<const InstrumentWrite*>(attribute.data);
        if (row == nullptr || row->format == nullptr) {
            // The row has no instrument command yet: refused, also in simulation.
            return ReportErrorWithElaboration(vi, IVI_ERROR_FUNCTION_NOT_SUPPORTED,
                                              "The attribute has no instrument command.",
                                              attribute.macroName);
        }
        if (session.GetSimulate()) return VI_SUCCESS;
        const ViStatus status = send(session, *row, newValue);
        if (status < 0) return status;
        return CheckInstrumentStatus(vi);
    });
}

template <class T>
ViStatus SendToken(DriverSession& session, const InstrumentWrite& row, T value) {
    const char* token = nullptr;
    const ViStatus status = row.toToken(session, row.map, static_cast<ViInt32>(value), &token);
    if (status < 0) return status;
    return viPrintf(session.GetInstrumentSession(), row.format, token);
}

}  // namespace

ViStatus WriteInstrumentReal64(ViSession vi, ViConstString, const AttributeDescriptor& attribute, const void* value) {
    return WriteInstrument<ViReal64>(vi, attribute, value, [](DriverSession& session, const InstrumentWrite& row, ViReal64 v) {
        return viPrintf(session.GetInstrumentSession(), row.format, v);
    });
}

ViStatus WriteInstrumentInt32(ViSession vi, ViConstString, const AttributeDescriptor& attribute, const void* value) {
    return WriteInstrument<ViInt32>(vi, attribute, value, SendToken<ViInt32>);
}

ViStatus WriteInstrumentBoolean(ViSession vi, ViConstString, const AttributeDescriptor& attribute, const void* value) {
    return WriteInstrument<ViBoolean>(vi, attribute, value, SendToken<ViBoolean>);
}

// --- Inherent attributes ----------------------------------------------------

namespace {

// The frame of the session forms: lookup, lock, and for reads the null
// check naming the read callback.
template <class Body>
ViStatus SessionRead(ViSession vi, const AttributeDescriptor& attribute, void* value, Body&& body) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        if (value == nullptr) return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", value);
        return body(session);
    });
}

void CopyText(const std::string& text, void* buffer, ViInt32 bufferSize) {
    CopyTruncated(text.data(), text.size(), bufferSize, static_cast<ViChar*>(buffer));
}

}  // namespace

ViStatus ReadFlag(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value, ViInt32) {
    return SessionRead(vi, attribute, value, [&](DriverSession& session) {
        const auto& flag = *static_cast<const FlagAccess*>(attribute.data);
        *static_cast<ViBoolean*>(value) = (session.*flag.get)() ? VI_TRUE : VI_FALSE;
        return VI_SUCCESS;
    });
}

ViStatus WriteFlag(ViSession vi, ViConstString, const AttributeDescriptor& attribute, const void* value) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) {
        const auto& flag = *static_cast<const FlagAccess*>(attribute.data);
        (session.*flag.set)(*static_cast<const ViBoolean*>(value) == VI_TRUE);
        return VI_SUCCESS;
    });
}

// A session initialized in simulation never leaves it: every value but
// VI_TRUE is refused there (a value such as 2 would otherwise take a session
// that never opened a connection live).
ViStatus WriteSimulate(ViSession vi, ViConstString, const AttributeDescriptor&, const void* value) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        const bool on = *static_cast<const ViBoolean*>(value) == VI_TRUE;
        if (session.GetInitialSimulate() && !on) return session.ReportError(IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE);
        session.SetSimulate(on);
        return VI_SUCCESS;
    });
}

ViStatus WriteInterchangeCheck(ViSession vi, ViConstString, const AttributeDescriptor&, const void* value) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        if (*static_cast<const ViBoolean*>(value) == VI_TRUE && !session.SupportsInterchangeCheck()) {
            return session.ReportErrorWithElaboration(IVI_ERROR_VALUE_NOT_SUPPORTED,
                                                      "Interchange checking is not supported by the driver.", "True",
                                                      "AttributeValue", "SetAttributeViBoolean");
        }
        session.SetInterchangeCheck(false);
        return VI_SUCCESS;
    });
}

ViStatus ReadSessionText(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value,
                         ViInt32 bufferSize) {
    return SessionRead(vi, attribute, value, [&](DriverSession& session) {
        const auto& text = *static_cast<const SessionText*>(attribute.data);
        if (text.simulatedText != nullptr && session.GetSimulate()) {
            CopyText(std::string(text.simulatedPrefix) + text.simulatedText, value, bufferSize);
        } else {
            CopyText((session.*text.get)(), value, bufferSize);
        }
        return VI_SUCCESS;
    });
}

// The constant forms take no lock and need no session: only the null check
// is made against vi.
ViStatus ReadConstantText(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value,
                          ViInt32 bufferSize) {
    if (value == nullptr) return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", value);
    const auto& constant = *static_cast<const ConstantText*>(attribute.data);
    const std::size_t length = std::strlen(constant.text);
    auto* buffer = static_cast<ViChar*>(value);
    if (constant.suffix == nullptr || length + 1 >= static_cast<std::size_t>(bufferSize)) {
        CopyTruncated(constant.text, length, bufferSize, buffer);
        return VI_SUCCESS;
    }
    std::memcpy(buffer, constant.text, length);
    CopyTruncated(constant.suffix, std::strlen(constant.suffix), bufferSize - static_cast<ViInt32>(length),
                  buffer + length);
    return VI_SUCCESS;
}

ViStatus ReadConstantInt32(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value, ViInt32) {
    if (value == nullptr) return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", value);
    *static_cast<ViInt32*>(value) = *static_cast<const ViInt32*>(attribute.data);
    return VI_SUCCESS;
}

const std::string& SupportedModelsText() {
    static const std::string text = [] {
        std::string joined;
        for (const auto& model : *GetDriverIdentity().supportedModels) {  // ordered by name
            if (!joined.empty()) joined += ',';
            joined += model.first;
        }
        return joined;
    }();
    return text;
}

ViStatus ReadSupportedModels(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value,
                             ViInt32 bufferSize) {
    if (value == nullptr) return CheckNullPointers(vi, ReadCallbackName(attribute).c_str(), "AttributeValue", value);
    CopyText(SupportedModelsText(), value, bufferSize);
    return VI_SUCCESS;
}

ViStatus RefuseSimulation(ViSession vi) {
    ViBoolean simulate = VI_FALSE;
    const ViStatus status =
        GetAttribute<ViBoolean>(vi, nullptr, VARNEL_ATTR_SIMULATE, &simulate, "Varnel_GetAttributeViBoolean");
    if (status < 0) return status;
    if (simulate != VI_FALSE) return ReportErrorWithElaboration(vi, VARNEL_ERROR_IO_GENERAL, kSimulationIoError);
    return status;
}

ViStatus ReadIoSession(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value, ViInt32) {
    return SessionRead(vi, attribute, value, [&](DriverSession& session) -> ViStatus {
        const ViStatus status = RefuseSimulation(vi);
        if (status < 0) return status;
        *static_cast<ViSession*>(value) = session.GetInstrumentSession();
        return status;
    });
}

ViStatus ReadIoTimeout(ViSession vi, ViConstString, const AttributeDescriptor& attribute, void* value, ViInt32) {
    return SessionRead(vi, attribute, value, [&](DriverSession& session) -> ViStatus {
        const ViStatus status = RefuseSimulation(vi);
        if (status < 0) return status;
        ViUInt32 timeout = 0;
        const ViStatus got = viGetAttribute(session.GetInstrumentSession(), VI_ATTR_TMO_VALUE, &timeout);
        if (got >= 0) *static_cast<ViInt32*>(value) = static_cast<ViInt32>(timeout);
        return got;
    });
}

ViStatus WriteIoTimeout(ViSession vi, ViConstString, const AttributeDescriptor&, const void* value) {
    return CallFrame<DriverSession>(vi, [&](DriverSession& session) -> ViStatus {
        const ViStatus status = RefuseSimulation(vi);
        if (status < 0) return status;
        const auto timeout = static_cast<ViUInt32>(*static_cast<const ViInt32*>(value));
        return viSetAttribute(session.GetInstrumentSession(), VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(timeout));
    });
}

}  // namespace kiln
