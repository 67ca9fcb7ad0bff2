// The identity a driver gives the framework, for tests that use the
// framework's session class on its own.
#include "DriverSession.h"

namespace {
const kiln::StringMap kModels = {{"QVX M1", "DefaultFamily"}, {"QVX M2", "DefaultFamily"}};
const kiln::DriverIdentity kIdentity = {"Varnel", "QVX M1", &kModels};
}  // namespace

const kiln::DriverIdentity& kiln::GetDriverIdentity() { return kIdentity; }
