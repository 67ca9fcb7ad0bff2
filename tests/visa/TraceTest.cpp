// The trace switched on by VARNEL_VISA_TRACE: a probe program makes a few
// calls with the variable set to a file, to "-" (standard error), to a path
// that cannot be opened, or unset; the test checks what it wrote.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ProbeRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the probe with VARNEL_VISA_TRACE set to trace (unset when null),
// standard output and error into files of dir; waits for that child only,
// at most 30 s (then kills it).
ProbeRun RunProbe(const char* trace, const std::string& dir) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "VARNEL_VISA_TRACE=", 18) != 0) env.emplace_back(*e);
    if (trace) env.push_back(std::string("VARNEL_VISA_TRACE=") + trace);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);

    const std::string outPath = dir + "/stdout", errPath = dir + "/stderr";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char path[] = VARNEL_TRACE_PROBE;
    char* argv[] = {path, nullptr};
    pid_t pid = -1;
    ProbeRun r;
    const int rc = posix_spawn(&pid, path, &fa, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
        ADD_FAILURE() << "posix_spawn: " << std::strerror(rc);
        return r;
    }
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 3000 && done == 0; ++i) {
        done = waitpid(pid, &status, WNOHANG);
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "the probe did not finish in 30 s";
        return r;
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFile(outPath);
    r.err = ReadFile(errPath);
    return r;
}

struct TraceFields {
    std::string time, session, op, details, status, name;
};

bool AllOf(const std::string& s, int (*is)(int)) {
    for (const char c : s)
        if (!is(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

// "<time> vi=<n> <operation>[ <details>] status=0x<8 hex digits> <name>", the
// time as 2026-01-31T12:00:00.000000Z.
bool ParseLine(const std::string& l, TraceFields& f) {
    const std::string shape = "dddd-dd-ddTdd:dd:dd.ddddddZ";
    if (l.size() < shape.size() + 1 || l[shape.size()] != ' ') return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(l[i])) : l[i] != shape[i]) return false;
    f.time = l.substr(0, shape.size());
    std::size_t at = shape.size() + 1;
    if (l.compare(at, 3, "vi=") != 0) return false;
    std::size_t end = l.find(' ', at);
    if (end == std::string::npos) return false;
    f.session = l.substr(at + 3, end - at - 3);
    at = end + 1;
    const std::size_t st = l.rfind(" status=0x");
    if (st == std::string::npos || st < at) return false;
    end = l.find(' ', at);
    f.op = l.substr(at, std::min(end, st) - at);
    f.details = end < st ? l.substr(end + 1, st - end - 1) : "";
    f.status = l.substr(st + 10, 8);
    const bool upperHex = AllOf(f.status, [](int c) { return std::isdigit(c) || (c >= 'A' && c <= 'F') ? 1 : 0; });
    if (!upperHex || l.size() < st + 20 || l[st + 18] != ' ') return false;
    f.name = l.substr(st + 19);
    return AllOf(f.session, isdigit) && AllOf(f.op, isalpha) && AllOf(f.name, isgraph);
}

class Trace : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = ::testing::TempDir() + "visa-trace-XXXXXX";
        ASSERT_NE(mkdtemp(&templ[0]), nullptr);
        dir_ = templ;
    }
    void TearDown() override {
        for (const char* f : {"/stdout", "/stderr", "/trace"}) unlink((dir_ + f).c_str());
        rmdir(dir_.c_str());
    }

    // Checks the trace text against the probe's calls.
    static void CheckLines(const std::string& text, const std::string& probeOut) {
        unsigned vi = 0, rm = 0;
        ASSERT_EQ(std::sscanf(probeOut.c_str(), "vi=%u rm=%u", &vi, &rm), 2) << probeOut;
        struct Want {
            unsigned session;
            const char* op;
            std::string details;  // a part of them
            const char* status;
        };
        const std::vector<Want> want = {
            {rm, "viOpenDefaultRM", "", "00000000 VI_SUCCESS"},
            {rm, "viOpen", " vi=" + std::to_string(vi), "00000000 VI_SUCCESS"},
            {vi, "viSetAttribute", "", "00000000 VI_SUCCESS"},
            {vi, "viQueryf", R"(wrote="MV\n" read="12.5\t\x01\n")", "00000000 VI_SUCCESS"},
            {vi, "viSetAttribute", "", "00000000 VI_SUCCESS"},
            {vi, "viRead", "", "BFFF0015 VI_ERROR_TMO"},
            {vi, "viClose", "", "00000000 VI_SUCCESS"},
            {rm, "viClose", "", "00000000 VI_SUCCESS"},
        };
        std::istringstream in(text);
        std::string l, lastTime;
        std::size_t i = 0;
        for (; std::getline(in, l); ++i) {
            SCOPED_TRACE(l);
            TraceFields f;
            ASSERT_TRUE(ParseLine(l, f));
            ASSERT_LT(i, want.size());
            EXPECT_GE(f.time, lastTime);
            lastTime = f.time;
            EXPECT_EQ(f.session, std::to_string(want[i].session));
            EXPECT_EQ(f.op, want[i].op);
            EXPECT_NE(f.details.find(want[i].details), std::string::npos);
            EXPECT_EQ(f.status + " " + f.name, want[i].status);
        }
        EXPECT_EQ(i, want.size()) << text;
    }

    std::string dir_;
};

TEST_F(Trace, ToAFile) {
    const std::string path = dir_ + "/trace";
    const ProbeRun r = RunProbe(path.c_str(), dir_);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    CheckLines(ReadFile(path), r.out);
}

TEST_F(Trace, ToStandardError) {
    const ProbeRun r = RunProbe("-", dir_);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CheckLines(r.err, r.out);
}

TEST_F(Trace, OffOrUnopenableWritesNothing) {
    for (const char* trace : {static_cast<const char*>(nullptr), "", "/nonexistent-dir/trace"}) {
        SCOPED_TRACE(trace ? trace : "(unset)");
        const ProbeRun r = RunProbe(trace, dir_);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
}

}  // namespace
