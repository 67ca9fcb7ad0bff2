// The fault options, the transcript, and the emulator's robustness against
// bad input: cut lines, binary bytes, floods, clients that vanish, too many
// clients.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "EmulatorHarness.h"

namespace varnel::emulator::test {
namespace {

const std::string kIdentity = "QVX M1 LOAD 1.05";

bool IsReal(const std::string& s) {
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0';
}

TEST(FailCloseAfter, AnswersTheCommandsThenClosesEachConnection) {
    ServerOptions o;
    o.failCloseAfter = 3;
    RunningEmulator emu(o);
    for (int connection = 0; connection < 2; ++connection) {  // each connection has its own count
        LineClient c(emu.port());
        c.Send("CC 1");
        EXPECT_EQ(c.Query("*IDN?"), kIdentity);
        EXPECT_EQ(c.Query("V"), "1.05");
        c.Send("MV");  // a fourth command: never served
        EXPECT_TRUE(c.ClosedByPeer());
        EXPECT_FALSE(c.ReadLine(std::chrono::milliseconds(100)).has_value());
    }
}

TEST(FailNoReply, SilencesTheGivenCommandWordsAndLinesOnly) {
    ServerOptions o;
    o.failNoReply = {"mv", "MC 2"};
    RunningEmulator emu(o);
    LineClient c(emu.port());
    c.Send("MV");
    c.Send("mc 2");
    EXPECT_EQ(c.Query("*IDN?"), kIdentity);  // the first reply: MV and MC 2 got none
    EXPECT_TRUE(IsReal(c.Query("MC 1")));
    EXPECT_TRUE(IsReal(c.Query("MCFR")));
    EXPECT_EQ(c.Status(), 0);  // carried out, not rejected
    EXPECT_EQ(emu.instrument().UnknownCount(), 0u);
}

TEST(FailLongReply, PadsEveryReplyBeyondTheSize) {
    ServerOptions o;
    o.failLongReply = 5000;
    RunningEmulator emu(o);
    LineClient c(emu.port());
    for (const char* q : {"*IDN?", "MV"}) {
        const std::string r = c.Query(q);
        EXPECT_EQ(r.size(), 5001u) << q;
        EXPECT_EQ(r.substr(r.size() - 100), std::string(100, 'x')) << q;
    }
    EXPECT_EQ(c.Query("*IDN?").rfind(kIdentity + " x", 0), 0u);
}

TEST(Latency, KeepsTheRepliesInOrder) {
    ServerOptions o;
    o.latencyMs = 20;
    RunningEmulator emu(o);
    LineClient c(emu.port());
    c.SendRaw("*IDN?\nV\nCALSRALG\n");
    EXPECT_EQ(c.ReadLine().value_or(""), kIdentity);
    EXPECT_EQ(c.ReadLine().value_or(""), "1.05");
    EXPECT_EQ(c.ReadLine().value_or(""), "QVX0012345");
}

TEST(LineBound, CutsLongerLinesAndCountsThemOnce) {
    RunningEmulator emu;
    LineClient c(emu.port());
    const std::string fits = "*IDN?" + std::string(kMaxLine - 5, ' ');
    EXPECT_EQ(c.Query(fits), kIdentity);
    c.SendRaw(fits + " \n");  // one byte too many
    EXPECT_EQ(c.Query("V"), "1.05");
    c.SendRaw(std::string(1 << 20, 'A'));  // an endless line, then its end
    c.SendRaw("CC 1\n");
    EXPECT_EQ(c.Query("*IDN?"), kIdentity);
    EXPECT_EQ(emu.instrument().UnknownCount(), 2u);
    const auto t = emu.transcript();
    EXPECT_EQ(std::count_if(t.begin(), t.end(),
                            [](const std::string& l) { return l.find("line cut at 4096 bytes") != std::string::npos; }),
              2);
}

TEST(BinaryBytes, AreIgnoredWithinALine) {
    RunningEmulator emu;
    LineClient c(emu.port());
    c.SendRaw(std::string("\x00\xff\x80*ID\x01N?\r\n", 12));
    EXPECT_EQ(c.ReadLine().value_or(""), kIdentity);
    EXPECT_EQ(emu.instrument().UnknownCount(), 0u);
}

// Random bytes (line feeds among them) neither crash nor stall the emulator.
TEST(BinaryBytes, AFloodLeavesTheEmulatorServing) {
    RunningEmulator emu;
    {
        LineClient flood(emu.port());
        std::mt19937 rng(12);
        std::string bytes(256 * 1024, '\0');
        for (char& b : bytes) b = static_cast<char>(rng() & 0xFF);
        flood.SendRaw(bytes);
        flood.Send("");
        flood.Status();  // the flood has been read when a reply comes (whatever it is)
    }
    LineClient c(emu.port());
    EXPECT_EQ(c.Query("*IDN?"), kIdentity);
}

TEST(Clients, VanishingWithRepliesPendingHarmsNoOne) {
    RunningEmulator emu;
    {
        LineClient gone(emu.port());
        std::string many;
        for (int i = 0; i < 2000; ++i) many += "MV\n";
        gone.SendRaw(many);
    }
    LineClient c(emu.port());
    EXPECT_EQ(c.Query("*IDN?"), kIdentity);
}

TEST(Clients, BeyondSixtyFourTheNewOnesAreRefused) {
    RunningEmulator emu;
    std::vector<std::unique_ptr<LineClient>> clients;
    for (int i = 0; i < 64; ++i) {
        clients.push_back(std::make_unique<LineClient>(emu.port()));
        ASSERT_EQ(clients.back()->Query("V"), "1.05") << "client " << i;
    }
    LineClient extra(emu.port());
    EXPECT_TRUE(extra.ClosedByPeer());
    EXPECT_EQ(clients.front()->Query("*IDN?"), kIdentity);
    clients.pop_back();
    bool served = false;  // a place has come free; the emulator sees the close soon (bounded wait)
    for (int i = 0; i < 500 && !served; ++i) {
        LineClient again(emu.port());
        served = again.Query("V") == "1.05";
    }
    EXPECT_TRUE(served);
}

TEST(Transcript, ShowsLinesRepliesAndTheIgnoredCount) {
    RunningEmulator emu;
    LineClient c(emu.port());
    c.Send("FOO");
    c.Send("CC abc");
    EXPECT_EQ(c.Query("*IDN?"), kIdentity);
    const auto t = emu.transcript();
    const auto has = [&](const std::string& text) {
        return std::any_of(t.begin(), t.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("#1 connected from 127.0.0.1:"));
    EXPECT_TRUE(has("#1 < FOO"));
    EXPECT_TRUE(has("? ignored, unknown command (1 ignored so far)"));
    EXPECT_TRUE(has("? ignored, bad arguments (2 ignored so far)"));
    EXPECT_TRUE(has("#1 < *IDN?"));
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.front().front(), '[');  // time-stamped
}

}  // namespace
}  // namespace varnel::emulator::test
