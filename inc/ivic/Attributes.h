// The attribute engine: the catalogue of attribute descriptors, the typed
// get and set operations behind the generic exports, the read and write
// skeletons of instrument attributes, the cache managers and the shared
// null-pointer check.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "AttributeCache.h"
#include "DriverSession.h"
#include "visatype.h"

namespace kiln {

// A ViString value has at most 4095 characters.
constexpr ViInt32 kMaxStringAttributeLength = 4096;

enum class ValueType { Int32, Real64, Boolean, Session, String };

struct AttributeDescriptor;

// Callbacks receive their own descriptor, whose data pointer carries what
// the row needs (a command, a value map, a session field). A read callback
// writes *value (for ViString: a buffer of bufferSize bytes); a write
// callback reads *value (for ViString: the text).
using ReadCallback = ViStatus (*)(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute,
                                  void* value, ViInt32 bufferSize);
using WriteCallback = ViStatus (*)(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute,
                                   const void* value);

struct AttributeDescriptor {
    ViAttr identifier;
    const char* macroName;  // "VARNEL_ATTR_..."
    const char* typeName;   // "ViInt32", ...
    ValueType type;
    ReadCallback read;    // null: write-only
    WriteCallback write;  // null: read-only
    const void* data;
};

// The process-wide table, sorted by identifier.
struct AttributeCatalogue {
    const AttributeDescriptor* rows;
    std::size_t count;
    const AttributeDescriptor* Find(ViAttr identifier) const;
};
// Defined by the driver (the framework's tests define one of their own).
const AttributeCatalogue& GetAttributeCatalogue();

constexpr bool IsSortedWithoutDuplicates(const AttributeDescriptor* rows, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) {
        if (!(rows[i - 1].identifier < rows[i].identifier)) return false;
    }
    return true;
}

template <class T>
struct ValueTypeOf;
template <>
struct ValueTypeOf<ViInt32> {
    static constexpr ValueType type = ValueType::Int32;
    static constexpr const char* name = "ViInt32";
};
template <>
struct ValueTypeOf<ViReal64> {
    static constexpr ValueType type = ValueType::Real64;
    static constexpr const char* name = "ViReal64";
};
template <>
struct ValueTypeOf<ViBoolean> {
    static constexpr ValueType type = ValueType::Boolean;
    static constexpr const char* name = "ViBoolean";
};
template <>
struct ValueTypeOf<ViSession> {
    static constexpr ValueType type = ValueType::Session;
    static constexpr const char* name = "ViSession";
};

// The value type named by a type name of the catalogue rows.
constexpr ValueType ValueTypeOfName(const char* name) {
    return name[2] == 'I' ? ValueType::Int32
         : name[2] == 'R' ? ValueType::Real64
         : name[2] == 'B' ? ValueType::Boolean
         : name[3] == 'e' ? ValueType::Session
                          : ValueType::String;
}

// 0 when both pointers are set; otherwise IVI_ERROR_NULL_POINTER recorded
// for the first null one, named from the comma-separated parameter list.
ViStatus CheckNullPointers(ViSession vi, const char* function, const char* parameters, const void* first,
                           const void* second = reinterpret_cast<const void*>(1));

// The catalogue checks shared by the typed operations: the descriptor of
// id for a value of the given type, or nullptr with the error recorded in
// status ("Get" or "Set" names the direction in the type message).
const AttributeDescriptor* FindForAccess(ViSession vi, ViAttr id, ValueType type, const char* typeName,
                                         const char* direction, ViStatus& status);

// The access errors, recorded against vi.
ViStatus NotReadable(ViSession vi, const AttributeDescriptor& attribute);
ViStatus NotWritable(ViSession vi, const AttributeDescriptor& attribute);

// Typed get of a scalar attribute; the null check of value comes first and
// names exportName.
template <class T>
ViStatus GetAttribute(ViSession vi, ViConstString repCap, ViAttr id, T* value, const char* exportName) {
    if (value == nullptr) return CheckNullPointers(vi, exportName, "AttributeValue", value);
    ViStatus status = VI_SUCCESS;
    const AttributeDescriptor* attribute =
        FindForAccess(vi, id, ValueTypeOf<T>::type, ValueTypeOf<T>::name, "Get", status);
    if (attribute == nullptr) return status;
    if (attribute->read == nullptr) return NotReadable(vi, *attribute);
    return attribute->read(vi, repCap, *attribute, value, 0);
}

// Typed get of a ViString attribute, with the buffer rules of IVI-C: the
// positive return 4096 tells that a buffer of that size always suffices.
ViStatus GetAttributeString(ViSession vi, ViConstString repCap, ViAttr id, ViInt32 bufferSize, ViChar* buffer);

template <class T>
ViStatus SetAttribute(ViSession vi, ViConstString repCap, ViAttr id, T value) {
    ViStatus status = VI_SUCCESS;
    const AttributeDescriptor* attribute =
        FindForAccess(vi, id, ValueTypeOf<T>::type, ValueTypeOf<T>::name, "Set", status);
    if (attribute == nullptr) return status;
    if (attribute->write == nullptr) return NotWritable(vi, *attribute);
    return attribute->write(vi, repCap, *attribute, &value);
}
ViStatus SetAttributeString(ViSession vi, ViConstString repCap, ViAttr id, ViConstString value);

// "Varnel_get_" and the attribute's name without "VARNEL_ATTR_": the
// function name of a read callback's null-pointer message.
std::string ReadCallbackName(const AttributeDescriptor& attribute);

// Copies text into buffer, cut to bufferSize - 1 characters and terminated.
inline void CopyTruncated(const char* text, std::size_t length, ViInt32 bufferSize, ViChar* buffer) {
    if (bufferSize <= 0) return;
    const std::size_t copied = length < static_cast<std::size_t>(bufferSize - 1) ? length
                                                                                 : static_cast<std::size_t>(bufferSize - 1);
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
}

// --- Cache managers -------------------------------------------------------

// Caching is active when the session's cache option is on or it simulates.
class CacheManagerBase {
public:
    CacheManagerBase(DriverSession& session, ViAttr id)
        : session_(session), vi_(session.GetViSession()), id_(id), active_(session.GetCache() || session.GetSimulate()) {}
    virtual ~CacheManagerBase() = default;
    CacheManagerBase(const CacheManagerBase&) = delete;
    CacheManagerBase& operator=(const CacheManagerBase&) = delete;

protected:
    DriverSession& session_;
    ViSession vi_;
    ViAttr id_;
    bool active_;
};

template <class T>
class CacheManager : public CacheManagerBase {
public:
    CacheManager(DriverSession& session, ViAttr id, T* value) : CacheManagerBase(session, id), value_(value) {}

protected:
    T* value_;
};

// Binds (inserting it not yet valid) the entry at construction and stores
// the caller's value into it at scope end, whatever the callback returns.
// R is the repeated-capability selector; the driver has none.
template <class T, class R = void>
class GetterCacheManager : public CacheManager<T> {
public:
    GetterCacheManager(DriverSession& session, ViAttr id, T* value) : CacheManager<T>(session, id, value) {
        if (this->active_) entry_ = &session.GetAttributeCache().template EntryOf<T>(id);
    }
    ~GetterCacheManager() override {
        if (entry_ == nullptr) return;
        entry_->value = *this->value_;
        entry_->valid = true;
    }

private:
    CacheEntry<T>* entry_ = nullptr;
};

// The ViString form: the text in the caller's buffer, read no further than
// the size the callback was given. Room for it is reserved at construction,
// so the store at scope end does not allocate.
template <class R>
class GetterCacheManager<ViChar, R> : public CacheManager<ViChar> {
public:
    GetterCacheManager(DriverSession& session, ViAttr id, ViChar* buffer, ViInt32 bufferSize)
        : CacheManager<ViChar>(session, id, buffer), size_(bufferSize) {
        if (!active_) return;
        entry_ = &session.GetAttributeCache().EntryOf<std::string>(id);
        if (size_ > 0) entry_->value.reserve(static_cast<std::size_t>(size_));
    }
    ~GetterCacheManager() override {
        if (entry_ == nullptr) return;
        if (value_ != nullptr && size_ > 0) {
            const void* end = std::memchr(value_, '\0', static_cast<std::size_t>(size_));
            const std::size_t length = end ? static_cast<std::size_t>(static_cast<const ViChar*>(end) - value_)
                                           : static_cast<std::size_t>(size_);
            try {
                entry_->value.assign(value_, length);
            } catch (...) {
                return;  // a destructor never throws; the entry keeps its old value
            }
        }
        entry_->valid = true;
    }

private:
    ViInt32 size_;
    CacheEntry<std::string>* entry_ = nullptr;
};

// Inserts the entry at construction when caching is active and assigns the
// new value at scope end, whatever the callback returns.
template <class T, class R = void>
class SetterCacheManager : public CacheManager<const T> {
public:
    SetterCacheManager(DriverSession& session, ViAttr id, const T* value) : CacheManager<const T>(session, id, value) {
        if (this->active_) entry_ = &session.GetAttributeCache().template EntryOf<T>(id);
    }
    ~SetterCacheManager() override {
        if (entry_ == nullptr) return;
        entry_->value = *this->value_;
        entry_->valid = true;
    }

private:
    CacheEntry<T>* entry_ = nullptr;
};

// --- Instrument attribute rows ---------------------------------------------

// A readable instrument attribute: the query, its reply format and the
// value in simulation. endStep: any query status other than 0 gives the
// value -1. statusCheck: a query that did not fail is followed by the
// instrument status check, whose status is the result.
struct InstrumentRead {
    const char* query;
    const char* format;
    ViInt32 simulated;
    bool endStep;
    bool statusCheck;
};

// Turns a defined value into its command token, recording the failure.
using TokenLookup = ViStatus (*)(DriverSession& session, int map, ViInt32 value, const char** token);

// A writable instrument attribute: the command format ("CC %0.15lg\n" for
// reals, "RC %s\n" with the token of the value map for integers and
// booleans). A row without a command fails every write.
struct InstrumentWrite {
    const char* format;
    TokenLookup toToken;
    int map;
};

// The read and write skeletons that instrument rows name as callbacks.
ViStatus ReadInstrumentInt32(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute, void* value,
                             ViInt32 bufferSize);
ViStatus ReadInstrumentString(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute, void* value,
                              ViInt32 bufferSize);
ViStatus WriteInstrumentReal64(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute,
                               const void* value);
ViStatus WriteInstrumentInt32(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute,
                              const void* value);
ViStatus WriteInstrumentBoolean(ViSession vi, ViConstString repCap, const AttributeDescriptor& attribute,
                                const void* value);

// --- Inherent attribute rows -----------------------------------------------

struct FlagAccess {
    bool (DriverSession::*get)() const;
    void (DriverSession::*set)(bool);
};
struct SessionText {
    const std::string& (DriverSession::*get)() const;
    const char* simulatedPrefix;  // with simulatedText: the value in simulation
    const char* simulatedText;
};
struct ConstantText {
    const char* text;
    const char* suffix;
};

ViStatus ReadFlag(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus WriteFlag(ViSession, ViConstString, const AttributeDescriptor&, const void*);
ViStatus WriteSimulate(ViSession, ViConstString, const AttributeDescriptor&, const void*);
ViStatus WriteInterchangeCheck(ViSession, ViConstString, const AttributeDescriptor&, const void*);
ViStatus ReadSessionText(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus ReadConstantText(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus ReadConstantInt32(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus ReadSupportedModels(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus ReadIoSession(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus ReadIoTimeout(ViSession, ViConstString, const AttributeDescriptor&, void*, ViInt32);
ViStatus WriteIoTimeout(ViSession, ViConstString, const AttributeDescriptor&, const void*);

// Direct I/O and the I/O attributes ask the simulate attribute itself
// (through the generic getter) and refuse simulation with
// VARNEL_ERROR_IO_GENERAL; otherwise the getter's status.
ViStatus RefuseSimulation(ViSession vi);

// The supported models joined by commas in ascending order, built once.
const std::string& SupportedModelsText();

}  // namespace kiln
