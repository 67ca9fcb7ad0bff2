/* A program of a driver user, built against an installed driver: opens a
   simulated session, asks the driver for a status message on it and closes
   it, checking every status; a failed initialization must leave its reason.
   Exits 0 when all went as expected. */
#include <stdio.h>
#include <string.h>

#include "Varnel.h"

static int failed(const char* what, ViStatus status) {
    ViStatus code = 0;
    ViChar text[1024] = "";
    Varnel_GetError(VI_NULL, &code, (ViInt32)sizeof text, text);
    fprintf(stderr, "%s failed: 0x%08X %s\n", what, (unsigned)status, text);
    return 1;
}

int main(void) {
    ViChar resource[] = "TCPIP::127.0.0.1::5025::SOCKET";
    ViSession vi = VI_NULL;
    ViChar message[256] = "";
    ViStatus code = VI_SUCCESS;
    ViChar reason[1024] = "";
    ViStatus status;

    status = Varnel_InitWithOptions(resource, VI_TRUE, VI_TRUE, "Simulate=1", &vi);
    if (status != VI_SUCCESS) return failed("Varnel_InitWithOptions", status);
    if (vi == VI_NULL) {
        fprintf(stderr, "Varnel_InitWithOptions succeeded without a session handle\n");
        return 1;
    }

    status = Varnel_error_message(vi, VI_SUCCESS, message);
    if (status != VI_SUCCESS) return failed("Varnel_error_message", status);
    if (strcmp(message, "Success.") != 0) {
        fprintf(stderr, "the message of VI_SUCCESS is \"%s\"\n", message);
        return 1;
    }

    status = Varnel_close(vi);
    if (status != VI_SUCCESS) return failed("Varnel_close", status);
    /* The handle is gone: a second close must fail. */
    if (Varnel_close(vi) >= 0) {
        fprintf(stderr, "Varnel_close of a closed session succeeded\n");
        return 1;
    }

    /* A bad option fails, and the thread's last error says why. */
    status = Varnel_InitWithOptions(resource, VI_FALSE, VI_FALSE, "Simulate=Maybe", &vi);
    if (status >= 0) {
        fprintf(stderr, "Simulate=Maybe was accepted\n");
        return 1;
    }
    if (Varnel_GetError(VI_NULL, &code, (ViInt32)sizeof reason, reason) != VI_SUCCESS || code != status ||
        reason[0] == '\0') {
        fprintf(stderr, "no reason recorded for the failed initialization (0x%08X)\n", (unsigned)status);
        return 1;
    }

    printf("simulated session opened and closed (%u-bit driver)\n", (unsigned)(8 * sizeof(void*)));
    return 0;
}
