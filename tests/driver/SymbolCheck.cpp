// Every function the driver library exports is a Varnel_ function declared
// in the public header, and nothing else leaves the library.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::ifstream headerFile(argv[2]);
    std::stringstream header;
    header << headerFile.rdbuf();
    const std::string text = header.str();
    std::set<std::string> declared;
    const std::regex prototype(R"(ViStatus\s+_VI_FUNC\s+(Varnel_\w+)\s*\()");
    for (std::sregex_iterator it(text.begin(), text.end(), prototype), end; it != end; ++it) {
        declared.insert((*it)[1]);
    }

    const std::string command = std::string("nm -D --defined-only ") + argv[1];
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return 2;
    std::set<std::string> exported;
    std::set<std::string> foreign;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (!(fields >> address >> type >> name)) continue;
        if (type == "A") continue;  // version nodes
        if (declared.count(name) != 0) {
            exported.insert(name);
        } else {
            foreign.insert(name);
        }
    }
    if (pclose(pipe) != 0) {
        std::cerr << "nm failed on " << argv[1] << "\n";
        return 1;
    }
    for (const auto& name : foreign) std::cerr << "exported but not a declared Varnel_ function: " << name << "\n";
    std::cout << exported.size() << " of " << declared.size() << " declared functions are exported\n";
    if (declared.size() != 158) {
        std::cerr << "the public header declares " << declared.size() << " functions, not 158\n";
        return 1;
    }
    // Every declared function is exported, and nothing else.
    for (const auto& name : declared) {
        if (exported.count(name) == 0) std::cerr << "declared but not exported: " << name << "\n";
    }
    return foreign.empty() && exported.size() == declared.size() ? 0 : 1;
}
