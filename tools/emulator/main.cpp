// varnel-emulator: a QVX electronic load on a TCP socket (see README.md,
// "The emulator"). Stops on SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>

#include "Options.h"

namespace {

varnel::emulator::Server* g_server = nullptr;

extern "C" void OnSignal(int) {
    if (g_server) g_server->RequestStop();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace varnel::emulator;
    CommandLine cl;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), cl, error)) {
        std::cerr << "varnel-emulator: " << error << "\n" << Usage();
        return 2;
    }
    if (cl.help) {
        std::cout << Usage();
        return 0;
    }
    if (cl.transcript)
        cl.server.transcript = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    try {
        Instrument instrument(cl.instrument);
        Server server(cl.server, instrument);
        g_server = &server;
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
        std::printf("listening %s\n", server.endpoint().c_str());
        std::fflush(stdout);
        server.Run();
        g_server = nullptr;
        std::fprintf(stderr, "varnel-emulator: stopped after %llu command lines, %llu ignored\n",
                     static_cast<unsigned long long>(server.linesReceived()),
                     static_cast<unsigned long long>(instrument.UnknownCount()));
    } catch (const std::exception& e) {
        std::cerr << "varnel-emulator: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
