// Helpers shared by the configuration store tests: a temporary folder for
// store files, a store handle that is closed on leaving, and short forms of
// the string and error reads.
#ifndef VARNEL_TESTS_ICONFIG_SUPPORT_HPP
#define VARNEL_TESTS_ICONFIG_SUPPORT_HPP

#include "IviConfig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace configtest {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "iviconfig-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string write(const std::string &name, const std::string &text) const {
        std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::string path(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline ViInt32 openHandles() {
    ViInt32 count = -1;
    EXPECT_EQ(IviConfig_GetOpenHandleCount(&count), VI_SUCCESS);
    return count;
}

// The calling thread's error: its code and text.
struct Error {
    ViStatus code;
    std::string text;
};

inline Error lastError() {
    ViStatus code = 0;
    char text[1024] = "";
    IviConfig_GetError(&code, sizeof text, text);
    return {code, text};
}

// Reads a string property with a 1024-byte buffer; the status must be 0.
inline std::string text(const std::function<ViStatus(ViInt32, ViChar *)> &read) {
    char buffer[1024] = "";
    ViStatus status = read(sizeof buffer, buffer);
    EXPECT_EQ(status, VI_SUCCESS) << lastError().text;
    return buffer;
}

// A store handle, deserialized from location when one is given; closed on
// leaving unless already released.
class Store {
public:
    Store() { EXPECT_EQ(IviConfig_Initialize(&handle_), VI_SUCCESS); }
    explicit Store(const std::string &location) : Store() {
        EXPECT_EQ(IviConfig_Deserialize(handle_, location.c_str()), VI_SUCCESS) << lastError().text;
    }
    ~Store() {
        if (handle_ != 0) IviConfig_Close(handle_);
    }
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    IviConfigStoreHandle handle() const { return handle_; }
    void forget() { handle_ = 0; }

    IviDriverSessionHandle session(const char *name) const {
        IviDriverSessionHandle session = 0;
        EXPECT_EQ(IviConfig_GetDriverSession(handle_, name, &session), VI_SUCCESS) << lastError().text;
        return session;
    }
    IviSoftwareModuleHandle module(const char *name) const {
        IviSoftwareModuleCollectionHandle modules = 0;
        IviSoftwareModuleHandle module = 0;
        EXPECT_EQ(IviConfig_GetConfigStoreSoftwareModuleCollection(handle_, &modules), VI_SUCCESS);
        EXPECT_EQ(IviConfig_GetSoftwareModuleItemByName(modules, name, &module), VI_SUCCESS) << lastError().text;
        return module;
    }

private:
    IviConfigStoreHandle handle_ = 0;
};

// The data component collection of a structure member of component, found by
// name (the collection of component itself when name is null).
inline IviDataComponentCollectionHandle components(IviConfigHandle component, const char *structure = nullptr) {
    IviDataComponentCollectionHandle collection = 0;
    EXPECT_EQ(IviConfig_GetConfigComponentDataComponentCollection(component, &collection), VI_SUCCESS)
        << lastError().text;
    if (structure == nullptr) return collection;
    IviDataComponentHandle item = 0;
    IviDataComponentCollectionHandle members = 0;
    EXPECT_EQ(IviConfig_GetDataComponentItemByName(collection, structure, &item), VI_SUCCESS) << lastError().text;
    EXPECT_EQ(IviConfig_GetStructureDataComponentCollection(item, &members), VI_SUCCESS) << lastError().text;
    return members;
}

}  // namespace configtest

#endif
