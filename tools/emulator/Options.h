// The command line of varnel-emulator.
#ifndef VARNEL_TOOLS_EMULATOR_OPTIONS_H
#define VARNEL_TOOLS_EMULATOR_OPTIONS_H

#include <string>
#include <vector>

#include "Instrument.h"
#include "Server.h"

namespace varnel::emulator {

struct CommandLine {
    InstrumentOptions instrument;
    ServerOptions server;
    bool transcript = false;
    bool help = false;
};

// Parses the arguments after the program name. Returns false with a message
// in error when an option is unknown, lacks its value or has a bad one.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error);

// The --help text.
std::string Usage();

}  // namespace varnel::emulator

#endif
