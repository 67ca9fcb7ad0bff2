#include "DriverSession.h"

#include <cstdarg>
#include <cstring>
#include <utility>

#include "ErrorReporting.h"
#include "IviSession.h"
#include "SessionRef.h"
#include "Varnel.h"

namespace kiln {

namespace {

char UpperClassic(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Event status register bits 2 to 5: query, device-dependent, execution and
// command errors.
constexpr ViInt32 kEventStatusErrorBits = 0x3C;

// Room for a %256 field of the identity formats and its terminator.
constexpr std::size_t kIdentityFieldSize = 257;

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(UpperClassic(a[i]));
        const unsigned char y = static_cast<unsigned char>(UpperClassic(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

IoSession::~IoSession() = default;

// --- VISA operations -------------------------------------------------------

template <class Session>
ViStatus VisaSession<Session>::OpenIo() {
    if (Self().GetSimulate()) return VI_SUCCESS;
    ViSession resourceManager = 0;
    ViStatus status = viOpenDefaultRM(&resourceManager);
    if (status < 0) return status;
    ViSession instrument = 0;
    status = viOpen(resourceManager, Self().GetIoResourceDescriptor().c_str(), VI_NO_LOCK,
                    static_cast<ViUInt32>(Self().GetOpenTimeout()), &instrument);
    if (status < 0) {
        // Nothing closes a half-open connection later: release the resource
        // manager session now.
        viClose(resourceManager);
        return status;
    }
    resourceManagerSession_.store(resourceManager, std::memory_order_relaxed);
    instrumentSession_.store(instrument, std::memory_order_relaxed);
    return status;
}

template <class Session>
ViStatus VisaSession<Session>::CloseIo() {
    // Closing the resource manager closes the instrument session with it. A
    // session that went into simulation after it was opened still owns its
    // connection, so the test is on the handle alone.
    const ViSession resourceManager = resourceManagerSession_.load(std::memory_order_relaxed);
    if (resourceManager == 0) return VI_SUCCESS;
    const ViStatus status = viClose(resourceManager);
    if (status >= 0) {
        resourceManagerSession_.store(0, std::memory_order_relaxed);
        instrumentSession_.store(0, std::memory_order_relaxed);
    }
    return status;
}

template <class Session>
ViStatus VisaSession<Session>::ClearStatus() {
    if (Self().GetSimulate()) return VI_SUCCESS;
    const ViStatus status = viPrintf(GetInstrumentSession(), "*CLS\n");
    if (status < 0) return status;
    return CheckStatus();
}

template <class Session>
ViStatus VisaSession<Session>::QueryIdentity(std::string& manufacturer, std::string& model,
                                             std::string& serialNumber, std::string& firmwareRevision) {
    if (Self().GetSimulate()) return VI_SUCCESS;
    char fields[4][kIdentityFieldSize] = {};
    const ViStatus status = viQueryf(GetInstrumentSession(), "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T",
                                     fields[0], fields[1], fields[2], fields[3]);
    if (status < 0) return status;
    manufacturer = fields[0];
    model = fields[1];
    serialNumber = fields[2];
    firmwareRevision = fields[3];
    return CheckStatus();
}

template <class Session>
ViStatus VisaSession<Session>::CheckStatus() {
    if (!Self().GetQueryInstrumentStatus() || Self().GetSimulate()) return VI_SUCCESS;
    ViInt32 eventStatus = 0;
    const ViStatus status = viQueryf(GetInstrumentSession(), "*ESR?\n", "%ld%*T", &eventStatus);
    if (status < 0) return status;
    if ((eventStatus & kEventStatusErrorBits) != 0) return Self().ReportError(IVI_ERROR_INSTRUMENT_STATUS);
    return status;
}

template class VisaSession<DriverSession>;

// --- DriverSession ---------------------------------------------------------

DriverSession::DriverSession(ViSession handle, ViInt32 openTimeout, ViInt32 secondTimeout,
                             ViInt32 longOperationTimeout, bool supportsInterchangeCheck, ViInt32 thirdTimeout)
    : handle_(handle),
      openTimeout_(openTimeout),
      secondTimeout_(secondTimeout),
      longOperationTimeout_(longOperationTimeout),
      supportsInterchangeCheck_(supportsInterchangeCheck),
      thirdTimeout_(thirdTimeout) {}

DriverSession::~DriverSession() = default;

ViStatus DriverSession::Close() { return CloseIo(); }
ViSession DriverSession::GetViSession() const { return handle_; }

bool DriverSession::GetCache() const { return cache_; }
bool DriverSession::GetInterchangeCheck() const { return interchangeCheck_; }
bool DriverSession::GetQueryInstrumentStatus() const { return queryInstrumentStatus_; }
bool DriverSession::GetRangeCheck() const { return rangeCheck_; }
bool DriverSession::GetRecordCoercions() const { return recordCoercions_; }
bool DriverSession::GetSimulate() const { return simulate_; }
bool DriverSession::GetInitialCache() const { return initialCache_; }
bool DriverSession::GetInitialInterchangeCheck() const { return initialInterchangeCheck_; }
bool DriverSession::GetInitialQueryInstrumentStatus() const { return initialQueryInstrumentStatus_; }
bool DriverSession::GetInitialRangeCheck() const { return initialRangeCheck_; }
bool DriverSession::GetInitialRecordCoercions() const { return initialRecordCoercions_; }
bool DriverSession::GetInitialSimulate() const { return initialSimulate_; }
void DriverSession::SetCache(bool value) { cache_ = value; }
void DriverSession::SetInterchangeCheck(bool value) { interchangeCheck_ = value; }
void DriverSession::SetQueryInstrumentStatus(bool value) { queryInstrumentStatus_ = value; }
void DriverSession::SetRangeCheck(bool value) { rangeCheck_ = value; }
void DriverSession::SetRecordCoercions(bool value) { recordCoercions_ = value; }
void DriverSession::SetSimulate(bool value) { simulate_ = value; }

const std::string& DriverSession::GetOptionString() const { return optionString_; }
const std::string& DriverSession::GetResourceName() const { return resourceName_; }
const std::string& DriverSession::GetLogicalName() const { return logicalName_; }
const std::string& DriverSession::GetIoResourceDescriptor() const { return ioResourceDescriptor_; }
const std::string& DriverSession::GetDriverSetup() const { return driverSetup_; }
const std::string& DriverSession::GetInstrumentManufacturer() const { return instrumentManufacturer_; }
const std::string& DriverSession::GetInstrumentModel() const { return instrumentModel_; }
const std::string& DriverSession::GetSerialNumber() const { return serialNumber_; }
const std::string& DriverSession::GetFirmwareRevision() const { return firmwareRevision_; }

ViInt32 DriverSession::GetOpenTimeout() const { return openTimeout_; }
ViInt32 DriverSession::GetSecondTimeout() const { return secondTimeout_; }
ViInt32 DriverSession::GetLongOperationTimeout() const { return longOperationTimeout_; }
bool DriverSession::SupportsInterchangeCheck() const { return supportsInterchangeCheck_; }
ViInt32 DriverSession::GetThirdTimeout() const { return thirdTimeout_; }

namespace {
template <class Map, class Value>
bool FindIn(const Map& map, const std::string& key, Value& value) {
    auto it = map.find(key);
    if (it == map.end()) return false;
    value = it->second;
    return true;
}
}  // namespace

bool DriverSession::FindDriverSetupOption(const std::string& key, std::string& value) const {
    return FindIn(driverSetupOptions_, key, value);
}
bool DriverSession::FindInitialBoolean(const std::string& name, bool& value) const {
    return FindIn(initialBooleans_, name, value);
}
bool DriverSession::FindInitialInteger(const std::string& name, ViInt32& value) const {
    return FindIn(initialIntegers_, name, value);
}
bool DriverSession::FindInitialReal(const std::string& name, ViReal64& value) const {
    return FindIn(initialReals_, name, value);
}
bool DriverSession::FindInitialString(const std::string& name, std::string& value) const {
    return FindIn(initialStrings_, name, value);
}
const std::map<std::string, bool, CaseInsensitiveLess>& DriverSession::GetInitialBooleans() const {
    return initialBooleans_;
}
const std::map<std::string, ViInt32, CaseInsensitiveLess>& DriverSession::GetInitialIntegers() const {
    return initialIntegers_;
}
const std::map<std::string, ViReal64, CaseInsensitiveLess>& DriverSession::GetInitialReals() const {
    return initialReals_;
}
const StringMap& DriverSession::GetInitialStrings() const { return initialStrings_; }
const StringMap& DriverSession::GetInherentOptions() const { return inherentOptions_; }
const StringMap& DriverSession::GetDriverSetupOptions() const { return driverSetupOptions_; }
const StringMap& DriverSession::GetVirtualNames() const { return virtualToPhysical_; }

std::string DriverSession::GetPhysicalName(const std::string& name) const {
    auto it = virtualToPhysical_.find(name);
    std::string result = it == virtualToPhysical_.end() ? name : it->second;
    const std::size_t marker = result.find("!!");
    if (marker != std::string::npos) result.erase(0, marker + 2);
    return result;
}

std::string DriverSession::GetVirtualName(const std::string& name) const {
    auto it = physicalToVirtual_.find(name);
    return it == physicalToVirtual_.end() ? name : it->second;
}

bool DriverSession::IsModelSupported() const {
    return GetDriverIdentity().supportedModels->count(instrumentModel_) != 0;
}
bool DriverSession::IsModelInFamily(const std::string& family) const {
    return ModelBelongsToFamily(instrumentModel_, family);
}
bool DriverSession::IsModel(const std::string& name) const { return instrumentModel_ == name; }
bool DriverSession::ModelBelongsToFamily(const std::string& model, const std::string& family) const {
    const StringMap& models = *GetDriverIdentity().supportedModels;
    auto it = models.find(model);
    return it != models.end() && it->second == family;
}

ViStatus DriverSession::RestoreInitialOptions() {
    cache_ = initialCache_;
    interchangeCheck_ = initialInterchangeCheck_;
    queryInstrumentStatus_ = initialQueryInstrumentStatus_;
    rangeCheck_ = initialRangeCheck_;
    recordCoercions_ = initialRecordCoercions_;
    simulate_ = initialSimulate_;
    return VI_SUCCESS;
}

ViStatus DriverSession::ReportError(ViStatus code, ...) {
    va_list args;
    va_start(args, code);
    const ViStatus status = ReportErrorV(handle_, code, nullptr, args);
    va_end(args);
    return status;
}

ViStatus DriverSession::ReportErrorWithElaboration(ViStatus code, const char* elaboration, ...) {
    va_list args;
    va_start(args, elaboration);
    const ViStatus status = ReportErrorV(handle_, code, elaboration, args);
    va_end(args);
    return status;
}

ViStatus DriverSession::ReportConfigStoreError(ViStatus code) {
    char description[kErrorDescriptionSize] = {};
    ViStatus storeCode = 0;
    if (IviConfig_GetError(&storeCode, static_cast<ViInt32>(sizeof description), description) < 0) {
        description[0] = '\0';
    }
    return IviSession_SetError(handle_, code, description);
}

ViStatus DriverSession::InvalidateAllAttributes() {
    attributeCache_.Clear();
    return VI_SUCCESS;
}

void DriverSession::SetIdentity(std::string manufacturer, std::string model, std::string serialNumber,
                                std::string firmwareRevision) {
    instrumentManufacturer_ = std::move(manufacturer);
    instrumentModel_ = std::move(model);
    serialNumber_ = std::move(serialNumber);
    firmwareRevision_ = std::move(firmwareRevision);
}

ViStatus CheckInstrumentStatus(ViSession vi) {
    DriverSession* session = PeekSession(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;  // closed during the call
    return session->CheckStatus();
}

}  // namespace kiln
