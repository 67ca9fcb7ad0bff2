// Loads the driver library by path and calls one of its functions.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "dlopen failed: %s\n", dlerror());
        return 1;
    }
    using ErrorMessage = int (*)(unsigned, int, char*);
    auto errorMessage = reinterpret_cast<ErrorMessage>(dlsym(library, "Varnel_error_message"));
    if (errorMessage == nullptr) {
        std::fprintf(stderr, "Varnel_error_message not found\n");
        return 1;
    }
    char text[256] = {};
    if (errorMessage(0, 0, text) != 0 || std::strcmp(text, "Success.") != 0) {
        std::fprintf(stderr, "unexpected answer: %s\n", text);
        return 1;
    }
    dlclose(library);
    std::puts("driver loaded without a library path");
    return 0;
}
