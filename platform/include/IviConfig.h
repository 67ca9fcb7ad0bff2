/* IVI configuration server: read access to a configuration store.
   Every handle given out is disposed of with IviConfig_DisposeHandle;
   IviConfig_Close releases the store and every handle still open under it.
   Collections are indexed from 1. Errors are kept per thread and read with
   IviConfig_GetError. */
#ifndef VARNEL_PLATFORM_IVICONFIG_H
#define VARNEL_PLATFORM_IVICONFIG_H

#include "visatype.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef ViUInt32 IviConfigHandle;
typedef IviConfigHandle IviConfigStoreHandle;
typedef IviConfigHandle IviDriverSessionHandle;
typedef IviConfigHandle IviHardwareAssetHandle;
typedef IviConfigHandle IviSoftwareModuleHandle;
typedef IviConfigHandle IviDataComponentHandle;
typedef IviConfigHandle IviVirtualNameHandle;
typedef IviConfigHandle IviVirtualRangeHandle;
typedef IviConfigHandle IviPhysicalNameHandle;
typedef IviConfigHandle IviSoftwareModuleCollectionHandle;
typedef IviConfigHandle IviDataComponentCollectionHandle;
typedef IviConfigHandle IviVirtualNameCollectionHandle;
typedef IviConfigHandle IviVirtualRangeCollectionHandle;
typedef IviConfigHandle IviPhysicalNameCollectionHandle;

/* Status codes (0xBFFA12xx). Every failing call stores its code and a text
   for the calling thread (see IviConfig_GetError). */
#define IVICONFIG_ERROR_INVALID_HANDLE ((ViStatus)0xBFFA1201)
#define IVICONFIG_ERROR_FILE ((ViStatus)0xBFFA1202)
#define IVICONFIG_ERROR_SESSION_NOT_FOUND ((ViStatus)0xBFFA1203)
#define IVICONFIG_ERROR_INVALID_STORE ((ViStatus)0xBFFA1204)
#define IVICONFIG_ERROR_INDEX_OUT_OF_RANGE ((ViStatus)0xBFFA1205)
#define IVICONFIG_ERROR_ITEM_NOT_FOUND ((ViStatus)0xBFFA1206)
#define IVICONFIG_ERROR_DATA_COMPONENT_NOT_FOUND ((ViStatus)0xBFFA1207)
#define IVICONFIG_ERROR_INVALID_PROPERTY ((ViStatus)0xBFFA1208)
#define IVICONFIG_ERROR_CONVERSION ((ViStatus)0xBFFA1209)
#define IVICONFIG_ERROR_INVALID_PARAMETER ((ViStatus)0xBFFA120A)
#define IVICONFIG_ERROR_NOT_DESERIALIZED ((ViStatus)0xBFFA120B)
#define IVICONFIG_ERROR_OUT_OF_MEMORY ((ViStatus)0xBFFA120C)
/* IviConfig_Deserialize on a store that already holds a store file. */
#define IVICONFIG_ERROR_ALREADY_DESERIALIZED ((ViStatus)0xBFFA120D)

/* Property identifiers. */
#define IVICONFIG_VAL_STORE_MASTER_LOCATION 3
#define IVICONFIG_VAL_STORE_PROCESS_DEFAULT_LOCATION 5
#define IVICONFIG_VAL_SESSION_CACHE 4
#define IVICONFIG_VAL_SESSION_INTERCHANGE_CHECK 5
#define IVICONFIG_VAL_SESSION_QUERY_INSTR_STATUS 6
#define IVICONFIG_VAL_SESSION_RANGE_CHECK 7
#define IVICONFIG_VAL_SESSION_RECORD_COERCIONS 8
#define IVICONFIG_VAL_SESSION_SIMULATE 9
#define IVICONFIG_VAL_SESSION_DRIVER_SETUP 10
#define IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR 3
#define IVICONFIG_VAL_DATA_COMPONENT_NAME 1
#define IVICONFIG_VAL_DATA_COMPONENT_TYPE 7
#define IVICONFIG_VAL_DATA_COMPONENT_VALUE 9
#define IVICONFIG_VAL_VIRTUAL_NAME_NAME 1
#define IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO 2
#define IVICONFIG_VAL_VIRTUAL_RANGE_MIN 2
#define IVICONFIG_VAL_VIRTUAL_RANGE_MAX 3
#define IVICONFIG_VAL_VIRTUAL_RANGE_START 4
#define IVICONFIG_VAL_PHYSICAL_NAME_NAME 1
#define IVICONFIG_VAL_PHYSICAL_NAME_REP_CAP 2

/* String properties follow the IVI buffer rules: size 0 returns the size
   needed (length + 1); a short buffer gets a truncated, terminated text and
   the size needed is returned; a text that fits returns 0. */

/* Store. IviConfig_Deserialize reads the store file at location once per
   store handle. When location is the master location and no file is there,
   the built-in default store is loaded: one software module "Varnel" with no
   physical names and no data components. */
ViStatus IviConfig_Initialize(IviConfigStoreHandle *store);
ViStatus IviConfig_Close(IviConfigStoreHandle store);
ViStatus IviConfig_Deserialize(IviConfigStoreHandle store, ViConstString location);
ViStatus IviConfig_GetConfigStorePropertyViString(IviConfigStoreHandle store, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);
ViStatus IviConfig_DisposeHandle(IviConfigHandle handle);

/* Errors of the calling thread. IviConfig_GetError gives the code (0 when
   none) and the text of the last failing call under the string buffer rules
   above, and leaves them in place; IviConfig_ClearError clears them. */
ViStatus IviConfig_GetError(ViStatus *errorCode, ViInt32 bufferSize, ViChar description[]);
ViStatus IviConfig_ClearError(void);

/* Driver sessions, found by name or through a logical name (names are
   compared with regard to case). A session without a hardware asset gives
   the asset handle 0. */
ViStatus IviConfig_GetDriverSession(IviConfigStoreHandle store, ViConstString name, IviDriverSessionHandle *session);
ViStatus IviConfig_GetDriverSessionPropertyViBoolean(IviDriverSessionHandle session, ViInt32 propertyId, ViBoolean *value);
ViStatus IviConfig_GetDriverSessionPropertyViString(IviDriverSessionHandle session, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);
ViStatus IviConfig_GetSessionHardwareAssetReference(IviDriverSessionHandle session, IviHardwareAssetHandle *asset);
ViStatus IviConfig_GetSessionSoftwareModuleReference(IviDriverSessionHandle session, IviSoftwareModuleHandle *module);
ViStatus IviConfig_GetSessionVirtualNameCollection(IviDriverSessionHandle session, IviVirtualNameCollectionHandle *collection);

/* Hardware assets */
ViStatus IviConfig_GetHardwareAssetPropertyViString(IviHardwareAssetHandle asset, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);

/* Software modules */
ViStatus IviConfig_GetConfigStoreSoftwareModuleCollection(IviConfigStoreHandle store, IviSoftwareModuleCollectionHandle *collection);
ViStatus IviConfig_GetSoftwareModuleItemByName(IviSoftwareModuleCollectionHandle collection, ViConstString name, IviSoftwareModuleHandle *module);
ViStatus IviConfig_GetSoftwareModulePhysicalNameCollection(IviSoftwareModuleHandle module, IviPhysicalNameCollectionHandle *collection);

/* Data components (of a driver session, a software module or a hardware
   asset, and the members of a structure). The value (property 9) is kept as
   written; the ViInt32, ViReal64 and ViBoolean getters convert it on request
   and fail with IVICONFIG_ERROR_CONVERSION when it does not convert. */
ViStatus IviConfig_GetConfigComponentDataComponentCollection(IviConfigHandle component, IviDataComponentCollectionHandle *collection);
ViStatus IviConfig_GetDataComponentCount(IviDataComponentCollectionHandle collection, ViInt32 *count);
ViStatus IviConfig_GetDataComponentItemByIndex(IviDataComponentCollectionHandle collection, ViInt32 index, IviDataComponentHandle *item);
ViStatus IviConfig_GetDataComponentItemByName(IviDataComponentCollectionHandle collection, ViConstString name, IviDataComponentHandle *item);
ViStatus IviConfig_GetStructureDataComponentCollection(IviDataComponentHandle structure, IviDataComponentCollectionHandle *members);
ViStatus IviConfig_GetDataComponentPropertyViString(IviDataComponentHandle item, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);
ViStatus IviConfig_GetDataComponentPropertyViInt32(IviDataComponentHandle item, ViInt32 propertyId, ViInt32 *value);
ViStatus IviConfig_GetDataComponentPropertyViReal64(IviDataComponentHandle item, ViInt32 propertyId, ViReal64 *value);
ViStatus IviConfig_GetDataComponentPropertyViBoolean(IviDataComponentHandle item, ViInt32 propertyId, ViBoolean *value);

/* Virtual names and their ranges */
ViStatus IviConfig_GetVirtualNameCount(IviVirtualNameCollectionHandle collection, ViInt32 *count);
ViStatus IviConfig_GetVirtualNameItemByIndex(IviVirtualNameCollectionHandle collection, ViInt32 index, IviVirtualNameHandle *item);
ViStatus IviConfig_GetVirtualNamePropertyViString(IviVirtualNameHandle item, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);
ViStatus IviConfig_GetVirtualNameVirtualRangeCollection(IviVirtualNameHandle item, IviVirtualRangeCollectionHandle *ranges);
ViStatus IviConfig_GetVirtualRangeCount(IviVirtualRangeCollectionHandle ranges, ViInt32 *count);
ViStatus IviConfig_GetVirtualRangeItemByIndex(IviVirtualRangeCollectionHandle ranges, ViInt32 index, IviVirtualRangeHandle *range);
ViStatus IviConfig_GetVirtualRangePropertyViInt32(IviVirtualRangeHandle range, ViInt32 propertyId, ViInt32 *value);

/* Physical names */
ViStatus IviConfig_GetPhysicalNameCount(IviPhysicalNameCollectionHandle collection, ViInt32 *count);
ViStatus IviConfig_GetPhysicalNameItemByIndex(IviPhysicalNameCollectionHandle collection, ViInt32 index, IviPhysicalNameHandle *item);
ViStatus IviConfig_GetPhysicalNamePropertyViString(IviPhysicalNameHandle item, ViInt32 propertyId, ViInt32 bufferSize, ViChar value[]);

/* Diagnostics: the number of handles open in the process (stores and every
   handle under them). Meant for leak checks in tests. */
ViStatus IviConfig_GetOpenHandleCount(ViInt32 *count);

#ifdef __cplusplus
}
#endif

#endif
