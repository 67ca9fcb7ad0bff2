// The driver's identity constants, process-wide and read-only.
#pragma once

namespace varnel {

constexpr const char kDriverPrefix[] = "Varnel";
constexpr const char kDriverVendor[] = "Pellucor";
constexpr const char kDriverDescription[] = "IVI-C Driver for Varnel";
constexpr const char kDriverRevision[] = "1.0.1.0";
// The 64-bit build says so in its description; the suffix follows the
// pointer size of the build.
constexpr const char* kDriverDescriptionSuffix = sizeof(void*) == 8 ? " [Compiled for 64-bit]" : "";
constexpr const char kGroupCapabilities[] = "";
constexpr int kClassSpecMajorVersion = 0;
constexpr int kClassSpecMinorVersion = 0;
// In simulation the instrument firmware revision reads as this prefix and
// the driver revision.
constexpr const char kSimulatedFirmwarePrefix[] = "Sim";
constexpr const char kSoftwareModuleName[] = "Varnel";
constexpr const char kDefaultModel[] = "QVX M1";
constexpr const char kSupportedModels[] = "QVX M1, QVX M2, QVX M3, QVX M4";
constexpr const char kModelFamily[] = "DefaultFamily";
// The family word that starts every identity reply.
constexpr const char kIdentityFamilyWord[] = "QVX ";
constexpr const char kInstrumentManufacturer[] = "Pellucor";

}  // namespace varnel
