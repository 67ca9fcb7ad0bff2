// The attribute engine through the generic exports: which identifiers are
// known with which type and access, the exact error texts, the string buffer
// rules, the inherent attributes, the cache, coercion records and the
// interchange functions; the instrument attributes against the fake
// instrument.
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"
#include "visa.h"

namespace varnel::test {
namespace {

ViStatus Init(const std::string& resource, const char* options, ViSession* vi) {
    return Varnel_InitWithOptions(const_cast<ViRsrc>(resource.c_str()), VI_FALSE, VI_FALSE, options, vi);
}

struct Known {
    std::string type;
    bool readable = false;
    bool writable = false;
};

// The attributes as the public header declares them: each macro's
// identifier from its base and offset, and "/* <type> R|W|R/W */".
std::map<ViAttr, Known> FromHeader() {
    std::ifstream in(VARNEL_PUBLIC_HEADER);
    const std::regex row(R"(#define VARNEL_ATTR_\w+\s+\((IVI_INHERENT_ATTR_BASE|IVI_SPECIFIC_ATTR_BASE)\s*\+\s*(\d+)\)\s*/\*\s*(\w+)\s+(R/W|R|W)\b[^*]*\*/)");
    std::map<ViAttr, Known> known;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, row)) continue;
        const ViAttr base = m[1] == "IVI_INHERENT_ATTR_BASE" ? 1050000 : 1150000;
        known[base + static_cast<ViAttr>(std::stoul(m[2]))] = {m[3], m[4] != "W", m[4] != "R"};
    }
    return known;
}

// The type whose generic get does not report a type mismatch, and whether
// get and set reach a callback.
Known Probe(ViSession vi, ViAttr id, ViStatus& unknown) {
    ViInt32 i = 0;
    ViReal64 r = 0;
    ViBoolean b = 0;
    ViSession s = 0;
    char text[64];
    struct Getter {
        const char* type;
        ViStatus status;
    } gets[] = {
        {"ViInt32", Varnel_GetAttributeViInt32(vi, nullptr, id, &i)},
        {"ViReal64", Varnel_GetAttributeViReal64(vi, nullptr, id, &r)},
        {"ViBoolean", Varnel_GetAttributeViBoolean(vi, nullptr, id, &b)},
        {"ViSession", Varnel_GetAttributeViSession(vi, nullptr, id, &s)},
        {"ViString", Varnel_GetAttributeViString(vi, nullptr, id, sizeof text, text)},
    };
    Known found;
    unknown = VI_SUCCESS;
    for (const Getter& g : gets) {
        if (g.status == IVI_ERROR_INVALID_ATTRIBUTE) unknown = g.status;
        if (g.status == IVI_ERROR_TYPES_DO_NOT_MATCH || g.status == IVI_ERROR_INVALID_ATTRIBUTE) continue;
        found.type = g.type;
        found.readable = g.status != IVI_ERROR_IVI_ATTR_NOT_READABLE;
    }
    ViStatus set = VI_SUCCESS;
    if (found.type == "ViInt32") set = Varnel_SetAttributeViInt32(vi, nullptr, id, 1);
    if (found.type == "ViReal64") set = Varnel_SetAttributeViReal64(vi, nullptr, id, 1.0);
    if (found.type == "ViBoolean") set = Varnel_SetAttributeViBoolean(vi, nullptr, id, VI_TRUE);
    if (found.type == "ViSession") set = Varnel_SetAttributeViSession(vi, nullptr, id, 1);
    if (found.type == "ViString") set = Varnel_SetAttributeViString(vi, nullptr, id, "x");
    found.writable = !found.type.empty() && set != IVI_ERROR_IVI_ATTR_NOT_WRITABLE;
    return found;
}

TEST_F(SimulatedSession, ExactlyTheHeadersAttributesAreKnownWithTheirTypeAndAccess) {
    const std::map<ViAttr, Known> expected = FromHeader();
    ASSERT_EQ(110u, expected.size());
    std::size_t known = 0;
    for (ViAttr base : {1050000u, 1150000u}) {
        for (ViAttr id = base; id <= base + (base == 1050000u ? 600u : 100u); ++id) {
            ViStatus unknown = VI_SUCCESS;
            const Known found = Probe(vi, id, unknown);
            const auto want = expected.find(id);
            if (want == expected.end()) {
                EXPECT_EQ(IVI_ERROR_INVALID_ATTRIBUTE, unknown) << id;
                EXPECT_TRUE(found.type.empty()) << id;
                continue;
            }
            ++known;
            EXPECT_EQ(want->second.type, found.type) << id;
            EXPECT_EQ(want->second.readable, found.readable) << id;
            EXPECT_EQ(want->second.writable, found.writable) << id;
        }
    }
    EXPECT_EQ(110u, known);
}

struct MessageCase {
    const char* what;
    std::function<ViStatus(ViSession)> call;
    ViStatus status;
    const char* text;
};

TEST_F(SimulatedSession, AccessErrorsRecordTheirExactTexts) {
    ViInt32 i = 0;
    ViReal64 r = 0;
    char text[16];
    const MessageCase cases[] = {
        {"unknown identifier", [&](ViSession v) { return Varnel_GetAttributeViInt32(v, nullptr, 1150066, &i); },
         IVI_ERROR_INVALID_ATTRIBUTE, "Attribute ID '1150066' not recognized."},
        {"unknown inherent identifier", [&](ViSession v) { return Varnel_SetAttributeViInt32(v, "", 1050001, 0); },
         IVI_ERROR_INVALID_ATTRIBUTE, "Attribute ID '1050001' not recognized."},
        {"set of the wrong type",
         [&](ViSession v) { return Varnel_SetAttributeViInt32(v, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, 1); },
         IVI_ERROR_TYPES_DO_NOT_MATCH,
         "SetAttributeViInt32 called for attribute 'VARNEL_ATTR_CONSTANT_CURRENT' of type 'ViReal64'."},
        {"get of the wrong type comes before the access check",
         [&](ViSession v) { return Varnel_GetAttributeViInt32(v, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, &i); },
         IVI_ERROR_TYPES_DO_NOT_MATCH,
         "GetAttributeViInt32 called for attribute 'VARNEL_ATTR_CONSTANT_CURRENT' of type 'ViReal64'."},
        {"write-only", [&](ViSession v) { return Varnel_GetAttributeViReal64(v, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, &r); },
         IVI_ERROR_IVI_ATTR_NOT_READABLE, "Attribute 'VARNEL_ATTR_CONSTANT_CURRENT' is write-only."},
        {"read-only", [&](ViSession v) { return Varnel_SetAttributeViString(v, nullptr, VARNEL_ATTR_DRIVER_SETUP, "x"); },
         IVI_ERROR_IVI_ATTR_NOT_WRITABLE, "Attribute 'VARNEL_ATTR_DRIVER_SETUP' is read-only."},
        {"null value before the identifier", [&](ViSession v) { return Varnel_GetAttributeViBoolean(v, nullptr, 1, nullptr); },
         IVI_ERROR_NULL_POINTER, "Null pointer passed for function 'Varnel_GetAttributeViBoolean', parameter 'AttributeValue'."},
        {"null string buffer with a size",
         [&](ViSession v) { return Varnel_GetAttributeViString(v, nullptr, VARNEL_ATTR_DRIVER_SETUP, 5, nullptr); },
         IVI_ERROR_NULL_POINTER, "Null pointer passed for function 'GetAttributeViString', parameter 'AttributeValueBufferSize'."},
        {"questionable register with a null output",
         [&](ViSession v) { return Varnel_GetQuestionableConditionRegister(v, nullptr); }, IVI_ERROR_NULL_POINTER,
         "Null pointer passed for function 'Varnel_GetAttributeViInt32', parameter 'AttributeValue'."},
        {"simulate off in a simulated session",
         [&](ViSession v) { return Varnel_SetAttributeViBoolean(v, nullptr, VARNEL_ATTR_SIMULATE, VI_FALSE); },
         IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE, "The simulation state cannot be changed."},
        {"simulate 2 in a simulated session",
         [&](ViSession v) { return Varnel_SetAttributeViBoolean(v, nullptr, VARNEL_ATTR_SIMULATE, 2); },
         IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE, "The simulation state cannot be changed."},
        {"interchange check on",
         [&](ViSession v) { return Varnel_SetAttributeViBoolean(v, nullptr, VARNEL_ATTR_INTERCHANGE_CHECK, VI_TRUE); },
         IVI_ERROR_VALUE_NOT_SUPPORTED,
         "Does not support this class-compliant feature:  Enumeration value 'True' passed as the value for parameter "
         "'AttributeValue' in function 'SetAttributeViBoolean'.  Interchange checking is not supported by the driver."},
        {"I/O session in simulation",
         [&](ViSession v) { ViSession s; return Varnel_GetAttributeViSession(v, nullptr, VARNEL_ATTR_SYSTEM_IO_SESSION, &s); },
         VARNEL_ERROR_IO_GENERAL, "I/O error.  Direct I/O operations are not available in simulation mode."},
        {"I/O time-out read in simulation",
         [&](ViSession v) { return Varnel_GetAttributeViInt32(v, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, &i); },
         VARNEL_ERROR_IO_GENERAL, "I/O error.  Direct I/O operations are not available in simulation mode."},
        {"I/O time-out write in simulation",
         [&](ViSession v) { return Varnel_SetAttributeViInt32(v, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, 500); },
         VARNEL_ERROR_IO_GENERAL, "I/O error.  Direct I/O operations are not available in simulation mode."},
        {"next interchange warning", [&](ViSession v) { return Varnel_GetNextInterchangeWarning(v, sizeof text, text); },
         IVI_ERROR_FUNCTION_NOT_SUPPORTED, "Does not support this class-compliant feature: function 'GetNextInterchangeWarning'"},
        {"clear interchange warnings", [&](ViSession v) { return Varnel_ClearInterchangeWarnings(v); },
         IVI_ERROR_FUNCTION_NOT_SUPPORTED, "Does not support this class-compliant feature: function 'ClearInterchangeWarnings'"},
        {"reset interchange check", [&](ViSession v) { return Varnel_ResetInterchangeCheck(v); },
         IVI_ERROR_FUNCTION_NOT_SUPPORTED, "Does not support this class-compliant feature: function 'ResetInterchangeCheck'"},
        {"coercion record with a null buffer", [&](ViSession v) { return Varnel_GetNextCoercionRecord(v, 5, nullptr); },
         IVI_ERROR_NULL_POINTER, "Null pointer passed for function 'GetNextCoercionRecord', parameter 'CoercionRecord'."},
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(c.status, c.call(vi)) << c.what;
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(c.status, error.code) << c.what;
        EXPECT_EQ(c.text, error.text) << c.what;
    }
}

TEST(AttributeBuffers, StringGetBufferRules) {
    TempStore store;
    ViSession vi = 0;
    const std::string longSetup = "Model:QVX M2;" + std::string(5000, 'x');
    ASSERT_EQ(VI_SUCCESS, Init("Sim", ("Simulate=1, DriverSetup=" + longSetup).c_str(), &vi));
    struct Case {
        const char* what;
        ViAttr id;
        ViInt32 size;
        bool nullBuffer;
        ViStatus result;
        std::string text;  // expected buffer content, when written
    } const cases[] = {
        {"null buffer, size 0", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, 0, true, 4096, ""},
        {"size 0 leaves the buffer", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, 0, false, 4096, "untouched"},
        {"exact fit", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, 8, false, 4096, "1.0.1.0"},
        {"one to spare", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, 9, false, VI_SUCCESS, "1.0.1.0"},
        {"truncated", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, 4, false, 4096, "1.0"},
        {"negative size", VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, -1, false, VI_SUCCESS, "1.0.1.0"},
        {"empty text in one byte", VARNEL_ATTR_GROUP_CAPABILITIES, 1, false, 4096, ""},
        {"empty text with room", VARNEL_ATTR_GROUP_CAPABILITIES, 10, false, VI_SUCCESS, ""},
        {"long value into a larger buffer", VARNEL_ATTR_DRIVER_SETUP, 8000, false, 4096, longSetup.substr(0, 4095)},
        {"long value, negative size", VARNEL_ATTR_DRIVER_SETUP, -1, false, VI_SUCCESS, longSetup.substr(0, 4095)},
    };
    for (const Case& c : cases) {
        std::vector<char> buffer(8000, '\0');
        std::strcpy(buffer.data(), "untouched");
        EXPECT_EQ(c.result, Varnel_GetAttributeViString(vi, nullptr, c.id, c.size, c.nullBuffer ? nullptr : buffer.data()))
            << c.what;
        if (!c.nullBuffer) {
            EXPECT_EQ(c.text, std::string(buffer.data())) << c.what;
        }
    }
    Varnel_close(vi);
}

TEST(InherentAttributes, ReadAndWriteForms) {
    TempStore store;
    FakeInstrument instrument;
    instrument.reply("*IDN?", "QVX M3 LOAD 2.07\n");
    ViSession sim = 0;
    ViSession live = 0;
    ASSERT_EQ(VI_SUCCESS, Init("Sim", "Simulate=1, DriverSetup=Model:QVX M4", &sim));
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), "", &live));
    auto text = [](ViSession vi, ViAttr id) {
        char buffer[256] = {};
        EXPECT_LE(0, Varnel_GetAttributeViString(vi, nullptr, id, sizeof buffer, buffer)) << id;
        return std::string(buffer);
    };
    auto flag = [](ViSession vi, ViAttr id) {
        ViBoolean value = 7;
        EXPECT_EQ(VI_SUCCESS, Varnel_GetAttributeViBoolean(vi, nullptr, id, &value)) << id;
        return value;
    };
    const std::string suffix = sizeof(void*) == 8 ? " [Compiled for 64-bit]" : "";
    // Constants answer even for a handle that names no session.
    for (ViSession vi : {sim, live, ViSession(4242)}) {
        EXPECT_EQ("Varnel", text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_PREFIX));
        EXPECT_EQ("Pellucor", text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_VENDOR));
        EXPECT_EQ("IVI-C Driver for Varnel" + suffix, text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_DESCRIPTION));
        EXPECT_EQ("1.0.1.0", text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_REVISION));
        EXPECT_EQ("", text(vi, VARNEL_ATTR_GROUP_CAPABILITIES));
        EXPECT_EQ("QVX M1,QVX M2,QVX M3,QVX M4", text(vi, VARNEL_ATTR_SUPPORTED_INSTRUMENT_MODELS));
        for (ViAttr id : {VARNEL_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION, VARNEL_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION}) {
            ViInt32 version = 9;
            EXPECT_EQ(VI_SUCCESS, Varnel_GetAttributeViInt32(vi, nullptr, id, &version));
            EXPECT_EQ(0, version);
        }
    }
    char small[4];
    EXPECT_EQ(4096, Varnel_GetAttributeViString(sim, nullptr, VARNEL_ATTR_SPECIFIC_DRIVER_PREFIX, 4, small));
    EXPECT_STREQ("Var", small);

    // Session texts, with the simulated forms of firmware and manufacturer.
    EXPECT_EQ("Sim1.0.1.0", text(sim, VARNEL_ATTR_INSTRUMENT_FIRMWARE_REVISION));
    EXPECT_EQ("Pellucor", text(sim, VARNEL_ATTR_INSTRUMENT_MANUFACTURER));
    EXPECT_EQ("QVX M4", text(sim, VARNEL_ATTR_INSTRUMENT_MODEL));
    EXPECT_EQ("Model:QVX M4", text(sim, VARNEL_ATTR_DRIVER_SETUP));
    EXPECT_EQ("2.07", text(live, VARNEL_ATTR_INSTRUMENT_FIRMWARE_REVISION));
    EXPECT_EQ("QVX M3", text(live, VARNEL_ATTR_INSTRUMENT_MODEL));
    EXPECT_EQ(instrument.resource(), text(live, VARNEL_ATTR_IO_RESOURCE_DESCRIPTOR));
    EXPECT_EQ("", text(live, VARNEL_ATTR_LOGICAL_NAME));

    // Flag form: only VI_TRUE sets; 2 clears.
    EXPECT_EQ(VI_TRUE, flag(sim, VARNEL_ATTR_CACHE));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_CACHE, 2));
    EXPECT_EQ(VI_FALSE, flag(sim, VARNEL_ATTR_CACHE));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_RANGE_CHECK, VI_FALSE));
    EXPECT_EQ(VI_FALSE, flag(sim, VARNEL_ATTR_RANGE_CHECK));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_QUERY_INSTRUMENT_STATUS, VI_TRUE));
    EXPECT_EQ(VI_TRUE, flag(sim, VARNEL_ATTR_QUERY_INSTRUMENT_STATUS));
    // Interchange form: off always succeeds.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_INTERCHANGE_CHECK, VI_FALSE));
    // Simulate form: a simulated session stays simulated; a live one may go
    // into simulation and back.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_SIMULATE, VI_TRUE));
    EXPECT_EQ(IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE, Varnel_SetAttributeViBoolean(sim, nullptr, VARNEL_ATTR_SIMULATE, 2));
    EXPECT_EQ(VI_TRUE, flag(sim, VARNEL_ATTR_SIMULATE));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(live, nullptr, VARNEL_ATTR_SIMULATE, VI_TRUE));
    EXPECT_EQ("Sim1.0.1.0", text(live, VARNEL_ATTR_INSTRUMENT_FIRMWARE_REVISION));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(live, nullptr, VARNEL_ATTR_SIMULATE, 2));
    EXPECT_EQ(VI_FALSE, flag(live, VARNEL_ATTR_SIMULATE));

    // The I/O attributes reach VISA on a live session; a time-out written
    // here is what the initialize command puts back afterwards.
    ViSession io = 0;
    EXPECT_EQ(VI_SUCCESS, Varnel_GetAttributeViSession(live, nullptr, VARNEL_ATTR_SYSTEM_IO_SESSION, &io));
    EXPECT_EQ(SessionOf(live).GetInstrumentSession(), io);
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViInt32(live, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, 1234));
    EXPECT_EQ(VI_SUCCESS, Varnel_SystemInitialize(live));
    ViInt32 timeout = 0;
    EXPECT_EQ(VI_SUCCESS, Varnel_GetAttributeViInt32(live, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, &timeout));
    EXPECT_EQ(1234, timeout);
    ViUInt32 visaTimeout = 0;
    viGetAttribute(io, VI_ATTR_TMO_VALUE, &visaTimeout);
    EXPECT_EQ(1234u, visaTimeout);
    Varnel_close(sim);
    Varnel_close(live);
}

TEST_F(SimulatedSession, CoercionRecordsOfAnEmptyQueue) {
    EXPECT_EQ(1, Varnel_GetNextCoercionRecord(vi, 0, nullptr));
    char buffer[10] = "xxxxxxxxx";
    EXPECT_EQ(VI_SUCCESS, Varnel_GetNextCoercionRecord(vi, sizeof buffer, buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(VI_SUCCESS, Varnel_InvalidateAllAttributes(vi));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_GetNextCoercionRecord(4242, sizeof buffer, buffer));
}

// The cache as a test sees it inside the session.
const kiln::CacheEntry<ViInt32>* CachedInt32(ViSession vi, ViAttr id) {
    auto& map = SessionOf(vi).GetAttributeCache().integers;
    auto found = map.find(id);
    if (found == map.end() || found->second.empty()) return nullptr;
    return &found->second.begin()->second;
}

TEST(AttributeCache, ReadPathOfTheQuestionableRegister) {
    TempStore store;
    FakeInstrument instrument;
    instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
    instrument.reply("QUES", "37\n");
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), "QueryInstrStatus=1", &vi));
    ViInt32 value = 0;
    // Cache on (the default): the value read is recorded.
    EXPECT_EQ(VI_SUCCESS, Varnel_GetQuestionableConditionRegister(vi, &value));
    EXPECT_EQ(37, value);
    ASSERT_NE(nullptr, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER));
    EXPECT_TRUE(CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER)->valid);
    EXPECT_EQ(37, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER)->value);
    // Reset and self-test leave the cache as it was; invalidate empties it.
    EXPECT_EQ(VI_SUCCESS, Varnel_reset(vi));
    EXPECT_NE(nullptr, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER));
    EXPECT_EQ(VI_SUCCESS, Varnel_InvalidateAllAttributes(vi));
    EXPECT_EQ(nullptr, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER));
    // Cache off on a live session: nothing is recorded. A failed read (no
    // reply) is still answered from the instrument, never from the cache.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_CACHE, VI_FALSE));
    EXPECT_EQ(VI_SUCCESS, Varnel_GetQuestionableConditionRegister(vi, &value));
    EXPECT_EQ(nullptr, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER));
    // With the status check asked for, the query is followed by no "*ESR?".
    EXPECT_EQ((std::vector<std::string>{"*IDN?", "QUES", "INI", "QUES"}), instrument.lines());
    // In simulation the register reads 0 and, cache off, is still recorded.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_SIMULATE, VI_TRUE));
    value = 5;
    EXPECT_EQ(VI_SUCCESS, Varnel_GetQuestionableConditionRegister(vi, &value));
    EXPECT_EQ(0, value);
    ASSERT_NE(nullptr, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER));
    EXPECT_EQ(0, CachedInt32(vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER)->value);
    EXPECT_EQ(4u, instrument.lines().size());
    Varnel_close(vi);
}

}  // namespace
}  // namespace varnel::test
