// The driver's attribute catalogue, expanded from Attributes.def: first the
// data each row carries, then the sorted table of descriptors.
#include "DriverIdentity.h"
#include "Kiln.h"
#include "ValueMaps.h"
#include "Varnel.h"

namespace {

using kiln::ValueType;

// The value-map step of the write skeleton.
ViStatus ToToken(kiln::DriverSession& session, int map, ViInt32 value, const char** token) {
    return varnel::ValueToToken(session, static_cast<varnel::ValueMap>(map), value, token);
}

// --- Row data ---------------------------------------------------------------
#define INHERENT_FLAG(ID, GET, SET, WRITE) \
    constexpr kiln::FlagAccess kData_##ID{&kiln::DriverSession::GET, &kiln::DriverSession::SET};
#define SESSION_TEXT(ID, GET, PREFIX, TEXT) constexpr kiln::SessionText kData_##ID{&kiln::DriverSession::GET, PREFIX, TEXT};
#define CONSTANT_TEXT(ID, TEXT, SUFFIX) constexpr kiln::ConstantText kData_##ID{TEXT, SUFFIX};
#define CONSTANT_INT32(ID, VALUE) constexpr ViInt32 kData_##ID = VALUE;
#define ATTRIBUTE(ID, TYPE, READ, WRITE)
#define READ_INT32(ID, QUERY, FORMAT, SIMULATED, END_STEP, STATUS_CHECK) \
    constexpr kiln::InstrumentRead kData_##ID{QUERY, FORMAT, SIMULATED, END_STEP, STATUS_CHECK};
#define READ_STRING(ID, QUERY) constexpr kiln::InstrumentRead kData_##ID{QUERY, nullptr, 0, false, true};
#define WRITE_REAL64(ID, FORMAT) constexpr kiln::InstrumentWrite kData_##ID{FORMAT, nullptr, 0};
#define WRITE_INT32(ID, FORMAT, MAP) \
    constexpr kiln::InstrumentWrite kData_##ID{FORMAT, ToToken, static_cast<int>(varnel::ValueMap::MAP)};
#define WRITE_BOOLEAN(ID, FORMAT, MAP) \
    constexpr kiln::InstrumentWrite kData_##ID{FORMAT, ToToken, static_cast<int>(varnel::ValueMap::MAP)};
#include "Attributes.def"
#undef INHERENT_FLAG
#undef SESSION_TEXT
#undef CONSTANT_TEXT
#undef CONSTANT_INT32
#undef ATTRIBUTE
#undef READ_INT32
#undef READ_STRING
#undef WRITE_REAL64
#undef WRITE_INT32
#undef WRITE_BOOLEAN

// --- Descriptors ------------------------------------------------------------
// NAME is stringized by each row macro itself: nested, ID would arrive expanded.
#define ROW(ID, NAME, TYPE, KIND, READ, WRITE, DATA) {ID, NAME, #TYPE, ValueType::KIND, READ, WRITE, DATA},
#define INHERENT_FLAG(ID, GET, SET, WRITE) ROW(ID, #ID, ViBoolean, Boolean, kiln::ReadFlag, WRITE, &kData_##ID)
#define SESSION_TEXT(ID, GET, PREFIX, TEXT) ROW(ID, #ID, ViString, String, kiln::ReadSessionText, nullptr, &kData_##ID)
#define CONSTANT_TEXT(ID, TEXT, SUFFIX) ROW(ID, #ID, ViString, String, kiln::ReadConstantText, nullptr, &kData_##ID)
#define CONSTANT_INT32(ID, VALUE) ROW(ID, #ID, ViInt32, Int32, kiln::ReadConstantInt32, nullptr, &kData_##ID)
#define ATTRIBUTE(ID, TYPE, READ, WRITE) {ID, #ID, #TYPE, kiln::ValueTypeOfName(#TYPE), READ, WRITE, nullptr},
#define READ_INT32(ID, QUERY, FORMAT, SIMULATED, END_STEP, STATUS_CHECK) \
    ROW(ID, #ID, ViInt32, Int32, kiln::ReadInstrumentInt32, nullptr, &kData_##ID)
#define READ_STRING(ID, QUERY) ROW(ID, #ID, ViString, String, kiln::ReadInstrumentString, nullptr, &kData_##ID)
#define WRITE_REAL64(ID, FORMAT) ROW(ID, #ID, ViReal64, Real64, nullptr, kiln::WriteInstrumentReal64, &kData_##ID)
#define WRITE_INT32(ID, FORMAT, MAP) ROW(ID, #ID, ViInt32, Int32, nullptr, kiln::WriteInstrumentInt32, &kData_##ID)
#define WRITE_BOOLEAN(ID, FORMAT, MAP) ROW(ID, #ID, ViBoolean, Boolean, nullptr, kiln::WriteInstrumentBoolean, &kData_##ID)
constexpr kiln::AttributeDescriptor kRows[] = {
#include "Attributes.def"
};

static_assert(sizeof kRows / sizeof kRows[0] == 110, "the catalogue lists 110 attributes");
static_assert(kiln::IsSortedWithoutDuplicates(kRows, sizeof kRows / sizeof kRows[0]),
              "catalogue rows must be in ascending order of identifier, each once");

constexpr kiln::AttributeCatalogue kCatalogue{kRows, sizeof kRows / sizeof kRows[0]};

}  // namespace

const kiln::AttributeCatalogue& kiln::GetAttributeCatalogue() { return kCatalogue; }
