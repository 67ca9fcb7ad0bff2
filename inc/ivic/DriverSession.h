// The session object: everything the driver knows about one instrument
// connection. IoSession is the abstract root, VisaSession implements its I/O
// operations with VISA, DriverSession adds options, identity, configuration
// and error recording; the driver's own class derives from DriverSession.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <string>

#include "AttributeCache.h"
#include "IviConfig.h"
#include "visa.h"
#include "visatype.h"

namespace kiln {

// Orders texts character by character after upper-casing each character in
// the classic locale.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

using StringMap = std::map<std::string, std::string>;
using CaseInsensitiveStringMap = std::map<std::string, std::string, CaseInsensitiveLess>;

// Process-wide identity of the driver, defined by the driver itself.
struct DriverIdentity {
    const char* softwareModuleName;  // the driver's name in the configuration store
    const char* defaultModel;        // the model in simulation when none was given
    const StringMap* supportedModels;  // model name to family name
};
const DriverIdentity& GetDriverIdentity();

class IoSession {
public:
    virtual ~IoSession();
    virtual ViStatus OpenIo() = 0;
    virtual ViStatus CloseIo() = 0;
    virtual ViStatus ClearStatus() = 0;
    virtual ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serialNumber,
                                   std::string& firmwareRevision) = 0;
    virtual ViStatus CheckStatus() = 0;
};

// The I/O operations over VISA, for the derived session class Session, which
// supplies the options and names they read.
template <class Session>
class VisaSession : public IoSession {
public:
    ViStatus OpenIo() override;
    ViStatus CloseIo() override;
    ViStatus ClearStatus() override;
    ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serialNumber,
                           std::string& firmwareRevision) override;
    ViStatus CheckStatus() override;

    ViSession GetResourceManagerSession() const { return resourceManagerSession_.load(std::memory_order_relaxed); }
    // Target of every command of the driver.
    ViSession GetInstrumentSession() const { return instrumentSession_.load(std::memory_order_relaxed); }

protected:
    // Atomic because a close on another thread clears them while a call
    // may still read them (its VISA calls then fail cleanly).
    std::atomic<ViSession> resourceManagerSession_{0};
    std::atomic<ViSession> instrumentSession_{0};

private:
    Session& Self() { return static_cast<Session&>(*this); }
};

class DriverSession : public VisaSession<DriverSession> {
public:
    DriverSession(ViSession handle, ViInt32 openTimeout, ViInt32 secondTimeout, ViInt32 longOperationTimeout,
                  bool supportsInterchangeCheck, ViInt32 thirdTimeout);
    ~DriverSession() override;
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    virtual ViStatus Close();
    virtual ViSession GetViSession() const;

    virtual bool GetCache() const;
    virtual bool GetInterchangeCheck() const;
    virtual bool GetQueryInstrumentStatus() const;
    virtual bool GetRangeCheck() const;
    virtual bool GetRecordCoercions() const;
    virtual bool GetSimulate() const;
    virtual bool GetInitialCache() const;
    virtual bool GetInitialInterchangeCheck() const;
    virtual bool GetInitialQueryInstrumentStatus() const;
    virtual bool GetInitialRangeCheck() const;
    virtual bool GetInitialRecordCoercions() const;
    virtual bool GetInitialSimulate() const;
    virtual void SetCache(bool value);
    virtual void SetInterchangeCheck(bool value);
    virtual void SetQueryInstrumentStatus(bool value);
    virtual void SetRangeCheck(bool value);
    virtual void SetRecordCoercions(bool value);
    virtual void SetSimulate(bool value);

    virtual const std::string& GetOptionString() const;
    virtual const std::string& GetResourceName() const;
    virtual const std::string& GetLogicalName() const;
    virtual const std::string& GetIoResourceDescriptor() const;
    virtual const std::string& GetDriverSetup() const;
    virtual const std::string& GetInstrumentManufacturer() const;
    virtual const std::string& GetInstrumentModel() const;
    virtual const std::string& GetSerialNumber() const;
    virtual const std::string& GetFirmwareRevision() const;

    virtual ViInt32 GetOpenTimeout() const;
    virtual ViInt32 GetSecondTimeout() const;
    virtual ViInt32 GetLongOperationTimeout() const;
    virtual bool SupportsInterchangeCheck() const;
    virtual ViInt32 GetThirdTimeout() const;

    virtual bool FindDriverSetupOption(const std::string& key, std::string& value) const;
    virtual bool FindInitialBoolean(const std::string& name, bool& value) const;
    virtual bool FindInitialInteger(const std::string& name, ViInt32& value) const;
    virtual bool FindInitialReal(const std::string& name, ViReal64& value) const;
    virtual bool FindInitialString(const std::string& name, std::string& value) const;
    virtual const std::map<std::string, bool, CaseInsensitiveLess>& GetInitialBooleans() const;
    virtual const std::map<std::string, ViInt32, CaseInsensitiveLess>& GetInitialIntegers() const;
    virtual const std::map<std::string, ViReal64, CaseInsensitiveLess>& GetInitialReals() const;
    virtual const StringMap& GetInitialStrings() const;
    virtual const StringMap& GetInherentOptions() const;
    virtual const StringMap& GetDriverSetupOptions() const;
    virtual const StringMap& GetVirtualNames() const;
    virtual std::string GetPhysicalName(const std::string& name) const;
    virtual std::string GetVirtualName(const std::string& name) const;

    virtual bool IsModelSupported() const;
    virtual bool IsModelInFamily(const std::string& family) const;
    virtual bool IsModel(const std::string& name) const;
    virtual bool ModelBelongsToFamily(const std::string& model, const std::string& family) const;
    virtual ViStatus RestoreInitialOptions();

    virtual ViStatus ReportError(ViStatus code, ...);
    virtual ViStatus ReportErrorWithElaboration(ViStatus code, const char* elaboration, ...);
    virtual ViStatus ReportConfigStoreError(ViStatus code);
    virtual ViStatus InvalidateAllAttributes();

    virtual ViStatus LoadConfiguration(const std::string& resourceName, const std::string& optionString);
    virtual ViStatus ReadDriverSession(IviDriverSessionHandle session);
    virtual ViStatus ReadInitialSettings(IviConfigHandle component);
    virtual ViStatus ApplyInitialModel();
    virtual ViStatus ParseOptionString(const std::string& text);
    virtual ViStatus ParseDriverSetup(const std::string& text);
    virtual ViStatus ApplyDriverSetupOption(const std::string& key, const std::string& value);
    virtual ViStatus ParseInherentOptions(const std::string& text);
    virtual ViStatus ParseBooleanOptionValue(const std::string& name, const std::string& value, bool& flag);
    virtual ViStatus ReadVirtualNames(IviDriverSessionHandle session);
    virtual ViStatus ReadPhysicalNames(IviSoftwareModuleHandle module);

    // Written once by initialization, before anything reads them.
    void SetInitializationRequests(bool idQuery, bool reset) {
        idQuery_ = idQuery;
        reset_ = reset;
    }
    void SetInitializationNames(const std::string& resourceName, const std::string& optionString) {
        resourceName_ = resourceName;
        optionString_ = optionString;
    }
    bool GetIdQuery() const { return idQuery_; }
    bool GetReset() const { return reset_; }
    // Filled by the identity query at initialization.
    void SetIdentity(std::string manufacturer, std::string model, std::string serialNumber,
                     std::string firmwareRevision);
    std::string& InstrumentManufacturer() { return instrumentManufacturer_; }
    std::string& InstrumentModel() { return instrumentModel_; }
    std::string& SerialNumber() { return serialNumber_; }
    std::string& FirmwareRevision() { return firmwareRevision_; }
    const StringMap& GetPhysicalNameCapabilities() const { return physicalNameCapabilities_; }
    // The attribute cache and the coercion records; used under the session lock.
    AttributeCache& GetAttributeCache() { return attributeCache_; }
    std::deque<std::string>& GetCoercionRecords() { return coercionRecords_; }

private:
    ViSession handle_;
    bool idQuery_ = false;
    bool reset_ = false;
    bool cache_ = true;
    bool interchangeCheck_ = false;
    bool queryInstrumentStatus_ = false;
    bool rangeCheck_ = true;
    bool recordCoercions_ = false;
    bool simulate_ = false;
    bool initialCache_ = true;
    bool initialInterchangeCheck_ = false;
    bool initialQueryInstrumentStatus_ = false;
    bool initialRangeCheck_ = true;
    bool initialRecordCoercions_ = false;
    bool initialSimulate_ = false;
    ViInt32 openTimeout_;
    ViInt32 secondTimeout_;
    ViInt32 longOperationTimeout_;
    bool supportsInterchangeCheck_;
    ViInt32 thirdTimeout_;
    std::string optionString_;
    std::string resourceName_;
    std::string logicalName_;
    std::string ioResourceDescriptor_;
    std::string driverSetup_;
    std::string instrumentManufacturer_;
    std::string instrumentModel_;
    std::string serialNumber_;
    std::string firmwareRevision_;
    StringMap inherentOptions_;
    StringMap driverSetupOptions_;
    std::map<std::string, bool, CaseInsensitiveLess> initialBooleans_;
    std::map<std::string, ViInt32, CaseInsensitiveLess> initialIntegers_;
    std::map<std::string, ViReal64, CaseInsensitiveLess> initialReals_;
    StringMap initialStrings_;
    StringMap virtualToPhysical_;
    StringMap physicalToVirtual_;
    StringMap physicalNameCapabilities_;
    AttributeCache attributeCache_;
    std::deque<std::string> coercionRecords_;
};

// The step after every successful instrument command: the session's own
// status check. Called under the session lock with a handle already checked.
ViStatus CheckInstrumentStatus(ViSession vi);

}  // namespace kiln
