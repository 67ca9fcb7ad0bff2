// The time-out around the reset command, observed in the VISA library's own
// trace: the long-command time-out is set before "INI" is written and the
// earlier value is put back after it. Runs with VARNEL_VISA_TRACE naming the
// file given as the test's argument.
#include <fstream>
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"

namespace varnel::test {
namespace {

std::string g_tracePath;

std::vector<std::string> TraceLines() {
    std::ifstream trace(g_tracePath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(trace, line);) lines.push_back(line);
    return lines;
}

bool Has(const std::string& line, const char* a, const char* b) {
    return line.find(a) != std::string::npos && line.find(b) != std::string::npos;
}

TEST(ResetTrace, LongTimeoutWhileIniIsSentThenTheEarlierOne) {
    ASSERT_FALSE(g_tracePath.empty()) << "give the trace file as the argument";
    TempStore store;
    FakeInstrument instrument;
    instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
    const std::size_t before = TraceLines().size();
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE, VI_TRUE,
                                                 "", &vi));
    ASSERT_EQ(VI_SUCCESS, Varnel_close(vi));

    const std::vector<std::string> lines = TraceLines();
    ASSERT_GT(lines.size(), before);
    // The time-out writes of this session, and where "INI" went out.
    std::vector<std::string> timeouts;
    int iniAt = -1;
    for (std::size_t i = before; i < lines.size(); ++i) {
        if (Has(lines[i], "viSetAttribute", "attr=0x3FFF001A")) timeouts.push_back(lines[i]);
        if (Has(lines[i], "viPrintf", "INI")) iniAt = static_cast<int>(timeouts.size());
    }
    ASSERT_EQ(2u, timeouts.size());
    EXPECT_EQ(1, iniAt) << "INI must be written between the two time-out writes";
    EXPECT_NE(std::string::npos, timeouts[0].find("value=30000")) << timeouts[0];
    EXPECT_NE(std::string::npos, timeouts[1].find("value=2000 ")) << timeouts[1];
}

}  // namespace
}  // namespace varnel::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) varnel::test::g_tracePath = argv[1];
    return RUN_ALL_TESTS();
}
