/* A decoy vendor VISA: built as libvisa.so.0 (with the link libvisa.so) and
   put on LD_LIBRARY_PATH, it stands for a vendor's library that the driver
   must never load in place of its own. Every call fails. */
#include <stdarg.h>

typedef int ViStatus;
typedef unsigned long ViObject;
typedef ViObject ViSession;
typedef unsigned long ViAttr;
typedef unsigned long ViAttrState;
typedef ViSession* ViPSession;

#define DECOY_FAILURE ((ViStatus)0xBFFF0000) /* VI_ERROR_SYSTEM_ERROR */

ViStatus viOpenDefaultRM(ViPSession rm) { (void)rm; return DECOY_FAILURE; }
ViStatus viOpen(ViSession rm, const char* name, unsigned long mode, unsigned long timeout, ViPSession vi) {
    (void)rm; (void)name; (void)mode; (void)timeout; (void)vi;
    return DECOY_FAILURE;
}
ViStatus viClose(ViObject object) { (void)object; return DECOY_FAILURE; }
ViStatus viGetAttribute(ViObject object, ViAttr attribute, void* value) {
    (void)object; (void)attribute; (void)value;
    return DECOY_FAILURE;
}
ViStatus viSetAttribute(ViObject object, ViAttr attribute, ViAttrState value) {
    (void)object; (void)attribute; (void)value;
    return DECOY_FAILURE;
}
ViStatus viWrite(ViSession vi, const unsigned char* buffer, unsigned long count, unsigned long* written) {
    (void)vi; (void)buffer; (void)count; (void)written;
    return DECOY_FAILURE;
}
ViStatus viRead(ViSession vi, unsigned char* buffer, unsigned long count, unsigned long* read) {
    (void)vi; (void)buffer; (void)count; (void)read;
    return DECOY_FAILURE;
}
ViStatus viPrintf(ViSession vi, const char* format, ...) { (void)vi; (void)format; return DECOY_FAILURE; }
ViStatus viScanf(ViSession vi, const char* format, ...) { (void)vi; (void)format; return DECOY_FAILURE; }
ViStatus viQueryf(ViSession vi, const char* write, const char* read, ...) {
    (void)vi; (void)write; (void)read;
    return DECOY_FAILURE;
}
