// Shared pieces of the driver tests: a configuration store file of the
// test's own (named by IVI_CONFIG_STORE), and readers of recorded errors.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "DriverSession.h"
#include "SessionRef.h"
#include "Varnel.h"

namespace varnel::test {

constexpr char kMinimalStore[] = R"(<IviConfigStore><SoftwareModule name="Varnel"/></IviConfigStore>)";

// Writes a store file into a fresh temporary folder and makes it the
// process-default store for as long as the object lives.
class TempStore {
public:
    explicit TempStore(const std::string& xml = kMinimalStore) {
        char folder[] = "/tmp/varnel-store-XXXXXX";
        if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder_ = folder;
        path_ = folder_ + "/store.xml";
        std::ofstream(path_) << xml;
        const char* previous = getenv("IVI_CONFIG_STORE");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        setenv("IVI_CONFIG_STORE", path_.c_str(), 1);
    }
    ~TempStore() {
        if (hadPrevious_) {
            setenv("IVI_CONFIG_STORE", previous_.c_str(), 1);
        } else {
            unsetenv("IVI_CONFIG_STORE");
        }
        unlink(path_.c_str());
        rmdir(folder_.c_str());
    }
    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The session object behind an open handle, for tests that look inside it.
inline kiln::DriverSession& SessionOf(ViSession vi) { return *kiln::PeekSession(vi); }

struct RecordedError {
    ViStatus code = 0;
    std::string text;
};

// Reads (and so clears) the error stored on vi, or the thread's last error
// for VI_NULL.
inline RecordedError ReadError(ViSession vi) {
    RecordedError error;
    char text[1024] = {};
    Varnel_GetError(vi, &error.code, static_cast<ViInt32>(sizeof text), text);
    error.text = text;
    return error;
}

// A simulated session on the minimal store.
class SimulatedSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &vi));
        ASSERT_NE(0u, vi);
    }
    void TearDown() override {
        if (vi != 0) Varnel_close(vi);
    }
    TempStore store;
    ViSession vi = 0;
};

}  // namespace varnel::test
