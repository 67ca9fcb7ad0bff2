// The measurements: one query, one real read from the reply; 0.0 in
// simulation. A Range argument is sent as its value map's token.
#include "Commands.h"
#include "Export.h"

using varnel::QueryReal;
using varnel::QueryRealInRange;
using varnel::ValueMap;

VARNEL_API ViStatus Varnel_MeasureVoltage(ViSession Vi, ViReal64* Val) { return QueryReal(Vi, __func__, Val, "MV\n"); }
VARNEL_API ViStatus Varnel_MeasureDCVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val) {
    return QueryRealInRange(Vi, __func__, Val, "MD %s\n", ValueMap::DcVoltageRange, Range);
}
VARNEL_API ViStatus Varnel_MeasureCurrent(ViSession Vi, ViReal64* Val) {
    return QueryReal(Vi, __func__, Val, "MCFR\n");
}
VARNEL_API ViStatus Varnel_MeasureCurrentAtRange(ViSession Vi, ViInt32 Range, ViReal64* Val) {
    return QueryRealInRange(Vi, __func__, Val, "MC %s\n", ValueMap::CurrentRange, Range);
}
VARNEL_API ViStatus Varnel_MeasurePower(ViSession Vi, ViReal64* Val) { return QueryReal(Vi, __func__, Val, "MW\n"); }
VARNEL_API ViStatus Varnel_MeasureNoiseVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val) {
    return QueryRealInRange(Vi, __func__, Val, "MN %s\n", ValueMap::NoiseVoltageRange, Range);
}
VARNEL_API ViStatus Varnel_MeasureRippleVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val) {
    return QueryRealInRange(Vi, __func__, Val, "MR %s\n", ValueMap::NoiseVoltageRange, Range);
}
VARNEL_API ViStatus Varnel_MeasureNoisePower(ViSession Vi, ViReal64* Val) {
    return QueryReal(Vi, __func__, Val, "MP\n");
}
VARNEL_API ViStatus Varnel_MeasureSimplifiedCurrent(ViSession Vi, ViInt32 Range, ViReal64* Val) {
    return QueryRealInRange(Vi, __func__, Val, "BMC %s\n", ValueMap::CurrentRange, Range);
}
VARNEL_API ViStatus Varnel_MeasureSimplifiedPower(ViSession Vi, ViReal64* Val) {
    return QueryReal(Vi, __func__, Val, "BMW\n");
}
