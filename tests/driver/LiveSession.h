// A session on the fake instrument, with the instrument traffic of each step
// read back exactly.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"
#include "visa.h"

namespace varnel::test {

class LiveSession : public ::testing::Test {
protected:
    void SetUp() override {
        instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE,
                                                     VI_FALSE, "", &vi));
        io = SessionOf(vi).GetInstrumentSession();
        ASSERT_TRUE(instrument.waitForLines(1));
        instrument.clear();
    }
    void TearDown() override {
        if (vi != 0) Varnel_close(vi);
    }

    // Every byte the instrument received since the last call, read once a
    // marker line written after them has arrived; so a step that sent
    // nothing shows as the empty text.
    std::string Received() {
        static const std::string marker = "MARK\n";
        if (viPrintf(io, marker.c_str()) < 0) return "(marker not sent)";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string bytes = instrument.bytes();
        auto endsWithMarker = [&] {
            return bytes.size() >= marker.size() &&
                   bytes.compare(bytes.size() - marker.size(), marker.size(), marker) == 0;
        };
        while (!endsWithMarker()) {
            if (std::chrono::steady_clock::now() > deadline) return "(no marker) " + bytes;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            bytes = instrument.bytes();
        }
        instrument.clear();
        return bytes.substr(0, bytes.size() - marker.size());
    }

    // True when nothing is left to read on the VISA session: a direct read
    // within a short time-out finds no byte.
    bool NothingLeftToRead() {
        ViUInt32 previous = 0;
        viGetAttribute(io, VI_ATTR_TMO_VALUE, &previous);
        viSetAttribute(io, VI_ATTR_TMO_VALUE, 100);
        ViByte byte = 0;
        ViUInt32 count = 0;
        const ViStatus status = viRead(io, &byte, 1, &count);
        viSetAttribute(io, VI_ATTR_TMO_VALUE, previous);
        return status == VI_ERROR_TMO && count == 0;
    }

    TempStore store;
    FakeInstrument instrument;
    ViSession vi = 0;
    ViSession io = 0;
};

}  // namespace varnel::test
