/* Quickstart: open a session on a QVX load, reset it and close it again.
     quickstart [resource] [option string]
   Without arguments the session runs in simulation. With an instrument (or
   the emulator) give its VISA resource, e.g. TCPIP::127.0.0.1::5025::SOCKET. */
#include <stdio.h>

#include "Varnel.h"

static void print_message(ViStatus code) {
    ViChar text[256];
    if (Varnel_error_message(VI_NULL, code, text) == VI_SUCCESS) {
        printf("  0x%08X  %s\n", (unsigned)code, text);
    }
}

/* Prints the code and text of the thread's last recorded error, which is
   where a failed initialization leaves its reason. */
static void print_last_error(const char* what, ViStatus status) {
    ViStatus code = 0;
    ViChar text[1024] = "";
    Varnel_GetError(VI_NULL, &code, (ViInt32)sizeof text, text);
    printf("%s failed: 0x%08X %s\n", what, (unsigned)status, text);
}

int main(int argc, char** argv) {
    char* resource = argc > 1 ? argv[1] : "TCPIP::127.0.0.1::5025::SOCKET";
    const char* options = argc > 2 ? argv[2] : (argc > 1 ? "" : "Simulate=1");
    ViSession vi = VI_NULL;
    ViStatus status;

    printf("A few of the driver's status messages:\n");
    print_message(VI_SUCCESS);
    print_message(IVI_ERROR_ID_QUERY_FAILED);
    print_message(IVI_ERROR_BAD_OPTION_VALUE);
    print_message(VARNEL_ERROR_IO_GENERAL);

    /* A bad option value fails initialization with a clear reason. */
    status = Varnel_InitWithOptions(resource, VI_TRUE, VI_FALSE, "Simulate=Maybe", &vi);
    print_last_error("Initialization with Simulate=Maybe", status);

    printf("Opening %s with options \"%s\"\n", resource, options);
    status = Varnel_InitWithOptions(resource, VI_TRUE, VI_TRUE, options, &vi);
    if (status < 0) {
        print_last_error("Initialization", status);
        return 1;
    }
    printf("Session open and reset (handle 0x%08X)\n", (unsigned)vi);

    status = Varnel_reset(vi);
    printf("Varnel_reset: 0x%08X\n", (unsigned)status);

    status = Varnel_close(vi);
    printf("Varnel_close: 0x%08X\n", (unsigned)status);
    return status < 0 ? 1 : 0;
}
