/* Quickstart: open a session on a QVX load, show who it is, draw a constant
   current and measure it, run a short current sweep, switch the load off.
     quickstart [--simulate] [resource]
   The resource defaults to TCPIP::127.0.0.1::5025::SOCKET, where
   varnel-emulator listens by default; --simulate runs without any instrument.
   Every call's status is checked; a failure prints the driver's text for it. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "Varnel.h"

/* Prints why a call failed: the error the driver recorded, or for an I/O
   status that the driver passes through unrecorded, that status's message. */
static int failed(ViSession vi, ViStatus status, const char* what) {
    ViStatus code = 0;
    ViChar text[1024] = "";
    if (status >= 0) return 0;
    Varnel_GetError(vi, &code, (ViInt32)sizeof text, text);
    if (text[0] == '\0') Varnel_error_message(vi, status, text);
    fprintf(stderr, "%s failed: status 0x%08X\n  %s\n", what, (unsigned)status, text);
    return 1;
}

static void sleep_ms(long ms) {
    struct timespec t;
    t.tv_sec = ms / 1000;
    t.tv_nsec = (ms % 1000) * 1000000L;
    nanosleep(&t, NULL);
}

/* Reads a text attribute into text; an empty text on failure. */
static ViStatus get_text(ViSession vi, ViAttr id, ViChar text[256]) {
    ViStatus status = Varnel_GetAttributeViString(vi, VI_NULL, id, 256, text);
    if (status < 0) text[0] = '\0';
    return status;
}

int main(int argc, char** argv) {
    ViRsrc resource = "TCPIP::127.0.0.1::5025::SOCKET";
    ViBoolean simulate = VI_FALSE;
    ViSession vi = VI_NULL;
    ViChar manufacturer[256], model[256], firmware[256], description[256], revision[256], line[256];
    ViReal64 volts = 0, amps = 0, watts = 0;
    ViInt32 endStep = -1, step;
    int i, ok = 0;

    for (i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--simulate") == 0) {
            simulate = VI_TRUE;
        } else if (argv[i][0] == '-') {
            fprintf(stderr, "usage: quickstart [--simulate] [resource]\n");
            return 2;
        } else {
            resource = argv[i];
        }
    }

    printf("Varnel quickstart\n");
    printf("  resource    %s%s\n", resource, simulate ? " (simulated)" : "");
    /* Check the model, reset the load to its power-on state. */
    if (failed(VI_NULL, Varnel_InitWithOptions(resource, VI_TRUE, VI_TRUE, simulate ? "Simulate=1" : "", &vi),
               "Opening the session"))
        return 1;

    if (failed(vi, get_text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_DESCRIPTION, description), "Reading the driver description") ||
        failed(vi, get_text(vi, VARNEL_ATTR_SPECIFIC_DRIVER_REVISION, revision), "Reading the driver revision") ||
        failed(vi, get_text(vi, VARNEL_ATTR_INSTRUMENT_MANUFACTURER, manufacturer), "Reading the manufacturer") ||
        failed(vi, get_text(vi, VARNEL_ATTR_INSTRUMENT_MODEL, model), "Reading the model") ||
        failed(vi, get_text(vi, VARNEL_ATTR_INSTRUMENT_FIRMWARE_REVISION, firmware), "Reading the firmware revision"))
        goto close;
    printf("  driver      %s, revision %s\n", description, revision);
    printf("  instrument  %s %s, firmware %s\n\n", manufacturer, model, firmware);

    printf("Constant current of 2.5 A, load on\n");
    if (failed(vi, Varnel_SetConstantCurrent(vi, 2.5), "Setting the constant current") ||
        failed(vi, Varnel_SetLoadEnabled(vi, VI_TRUE), "Switching the load on") ||
        failed(vi, Varnel_MeasureVoltage(vi, &volts), "Measuring the voltage") ||
        failed(vi, Varnel_MeasureCurrent(vi, &amps), "Measuring the current") ||
        failed(vi, Varnel_MeasurePower(vi, &watts), "Measuring the power"))
        goto close;
    printf("  voltage  %9.4f V\n  current  %9.4f A\n  power    %9.4f W\n\n", volts, amps, watts);

    /* The sweep's arguments are the instrument's: as varnel-emulator reads
       them, from 0 A to 5 A in 6 steps of 20 ms, ending at the first step
       below 11 V; the test passes when it ends between 4.5 A and 5.5 A. */
    printf("Current sweep from 0 A to 5 A in 6 steps of 20 ms, ending below 11 V\n");
    if (failed(vi, Varnel_ConfigureCurrentSweep(vi, 0.0, 5.0, 20.0, 11.0, 6), "Configuring the sweep") ||
        failed(vi, Varnel_ConfigureCurrentSweepTest(vi, 4.5, 5.5), "Setting the sweep's limits") ||
        failed(vi, Varnel_StartCurrentSweep(vi), "Starting the sweep"))
        goto close;
    if (simulate) {
        printf("  (in simulation a sweep never ends: no results)\n\n");
    } else {
        /* The end step is -1 until the sweep has finished. */
        for (i = 0; i < 100; ++i) {
            if (failed(vi, Varnel_GetCurrentSweepEndStepCount(vi, &endStep), "Reading the sweep's end step"))
                goto close;
            if (endStep != -1) break;
            sleep_ms(50);
        }
        if (endStep == -1) {
            fprintf(stderr, "The sweep did not finish within 5 s\n");
            goto close;
        }
        printf("  ended at step %ld; step results (step,level,voltage,current,power):\n", (long)endStep);
        for (step = 1; step <= endStep; ++step) {
            if (failed(vi, Varnel_GetCurrentSweepStepResult(vi, step, (ViInt32)sizeof line, line),
                       "Reading a step result"))
                goto close;
            printf("    %s\n", line);
        }
        if (failed(vi, Varnel_GetCurrentSweepPassFailResult(vi, (ViInt32)sizeof line, line), "Reading the verdict"))
            goto close;
        printf("  verdict: %s\n\n", line);
    }

    if (failed(vi, Varnel_SetLoadEnabled(vi, VI_FALSE), "Switching the load off")) goto close;
    printf("Load off.\n");
    ok = 1;

close:
    if (failed(vi, Varnel_close(vi), "Closing the session")) return 1;
    printf("Session closed.\n");
    return ok ? 0 : 1;
}
