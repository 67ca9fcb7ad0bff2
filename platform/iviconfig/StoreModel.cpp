#include "StoreModel.hpp"

#include "IviConfig.h"

#include <pugixml.hpp>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace iviconfig {

namespace {

// A store is a small configuration file; anything larger is refused rather
// than read into memory.
constexpr off_t kMaxStoreFileSize = 16 * 1024 * 1024;
// Structures may nest; the depth is bounded so that a hostile file cannot
// exhaust the stack.
constexpr int kMaxStructureDepth = 32;

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

// A failure while checking the tree, carrying the offset of the element.
struct StoreError {
    std::ptrdiff_t offset;
    std::string reason;
};

bool equalsNoCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return *a == *b;
}

class TreeReader {
public:
    explicit TreeReader(StoreData &store) : store_(store) {}

    void read(const pugi::xml_document &doc) {
        pugi::xml_node root;
        for (pugi::xml_node node : doc.children()) {
            if (node.type() != pugi::node_element) continue;
            if (root) fail(node, "more than one root element");
            root = node;
        }
        if (std::strcmp(root.name(), "IviConfigStore") != 0)
            fail(root, "the root element is <" + std::string(root.name()) + ">, not <IviConfigStore>");
        checkAttributes(root, {});

        std::vector<std::pair<pugi::xml_node, std::string>> moduleRefs, assetRefs, sessionRefs;
        for (pugi::xml_node node : elements(root, {"SoftwareModule", "HardwareAsset", "DriverSession", "LogicalName"})) {
            std::string kind = node.name();
            if (kind == "SoftwareModule") {
                store_.softwareModules.push_back(readModule(node));
            } else if (kind == "HardwareAsset") {
                checkAttributes(node, {"name", "resource"});
                HardwareAsset asset;
                asset.name = requiredName(node);
                asset.resource = required(node, "resource");
                for (pugi::xml_node child : elements(node, {"DataComponent"}))
                    asset.dataComponents.push_back(readDataComponent(child, 0));
                checkUniqueComponents(node, asset.dataComponents);
                store_.hardwareAssets.push_back(std::move(asset));
            } else if (kind == "DriverSession") {
                store_.driverSessions.push_back(readSession(node));
                moduleRefs.emplace_back(node, required(node, "softwareModule"));
                assetRefs.emplace_back(node, node.attribute("hardwareAsset").value());
            } else {
                checkAttributes(node, {"name", "driverSession"});
                LogicalName logical;
                logical.name = requiredName(node);
                store_.logicalNames.push_back(logical);
                sessionRefs.emplace_back(node, required(node, "driverSession"));
            }
        }

        checkUnique(root, "software module", store_.softwareModules);
        checkUnique(root, "hardware asset", store_.hardwareAssets);
        checkUnique(root, "driver session", store_.driverSessions);
        checkUnique(root, "logical name", store_.logicalNames);

        for (std::size_t i = 0; i < store_.driverSessions.size(); ++i) {
            DriverSession &session = store_.driverSessions[i];
            session.softwareModule = resolve(moduleRefs[i].first, "software module", moduleRefs[i].second,
                                             store_.softwareModules);
            if (!assetRefs[i].second.empty())
                session.hardwareAsset = resolve(assetRefs[i].first, "hardware asset", assetRefs[i].second,
                                                store_.hardwareAssets);
        }
        for (std::size_t i = 0; i < store_.logicalNames.size(); ++i) {
            LogicalName &logical = store_.logicalNames[i];
            logical.driverSession = resolve(sessionRefs[i].first, "driver session", sessionRefs[i].second,
                                            store_.driverSessions);
            // A logical name that is also a session name must mean that session,
            // or the lookup by name would be ambiguous.
            for (std::size_t s = 0; s < store_.driverSessions.size(); ++s)
                if (store_.driverSessions[s].name == logical.name && s != logical.driverSession)
                    fail(sessionRefs[i].first, "logical name " + quoted(logical.name) +
                                                   " is also the name of another driver session");
        }
    }

private:
    [[noreturn]] static void fail(pugi::xml_node node, std::string reason) {
        throw StoreError{node ? node.offset_debug() : 0, std::move(reason)};
    }

    static std::string where(pugi::xml_node node) {
        std::string name = node.attribute("name").value();
        return "<" + std::string(node.name()) + (name.empty() ? "" : " name=" + quoted(name)) + ">";
    }

    // The element children of node, each of one of the allowed names; any other
    // content (a misspelt element, stray text) is an error.
    static std::vector<pugi::xml_node> elements(pugi::xml_node node, std::initializer_list<const char *> allowed) {
        std::vector<pugi::xml_node> result;
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
                fail(child, "unexpected text inside " + where(node));
            if (child.type() != pugi::node_element) continue;
            bool known = false;
            for (const char *name : allowed) known = known || std::strcmp(child.name(), name) == 0;
            if (!known) fail(child, "unexpected element <" + std::string(child.name()) + "> inside " + where(node));
            result.push_back(child);
        }
        return result;
    }

    static void checkAttributes(pugi::xml_node node, std::initializer_list<const char *> allowed) {
        std::set<std::string> seen;
        for (pugi::xml_attribute attribute : node.attributes()) {
            bool known = false;
            for (const char *name : allowed) known = known || std::strcmp(attribute.name(), name) == 0;
            if (!known) fail(node, "unknown attribute " + std::string(attribute.name()) + " of " + where(node));
            if (!seen.insert(attribute.name()).second)
                fail(node, "attribute " + std::string(attribute.name()) + " given twice in " + where(node));
        }
    }

    static std::string required(pugi::xml_node node, const char *attribute) {
        pugi::xml_attribute found = node.attribute(attribute);
        if (!found) fail(node, where(node) + " has no " + attribute + " attribute");
        return found.value();
    }

    static std::string requiredName(pugi::xml_node node) {
        std::string name = required(node, "name");
        if (name.empty()) fail(node, "<" + std::string(node.name()) + "> has an empty name");
        return name;
    }

    static ViInt32 requiredInt(pugi::xml_node node, const char *attribute) {
        std::string text = required(node, attribute);
        std::optional<ViInt32> value = parseInt32(text);
        if (!value) fail(node, std::string(attribute) + "=" + quoted(text) + " of " + where(node) +
                                   " is not a 32-bit integer");
        return *value;
    }

    template <class Item>
    static void checkUnique(pugi::xml_node parent, const char *what, const std::vector<Item> &items) {
        std::set<std::string> names;
        for (const Item &item : items)
            if (!names.insert(item.name).second)
                fail(parent, "two " + std::string(what) + "s named " + quoted(item.name) + " in " + where(parent));
    }

    static void checkUniqueComponents(pugi::xml_node parent, const std::vector<DataComponent> &items) {
        checkUnique(parent, "data component", items);
    }

    template <class Item>
    static std::size_t resolve(pugi::xml_node node, const char *what, const std::string &name,
                               const std::vector<Item> &items) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].name == name) return i;
        fail(node, where(node) + " refers to the " + what + " " + quoted(name) + ", which is not in the store");
    }

    SoftwareModule readModule(pugi::xml_node node) {
        checkAttributes(node, {"name"});
        SoftwareModule module;
        module.name = requiredName(node);
        for (pugi::xml_node child : elements(node, {"PhysicalName", "DataComponent"})) {
            if (std::strcmp(child.name(), "PhysicalName") == 0) {
                checkAttributes(child, {"name", "repCap"});
                elements(child, {});
                module.physicalNames.push_back({requiredName(child), required(child, "repCap")});
            } else {
                module.dataComponents.push_back(readDataComponent(child, 0));
            }
        }
        checkUniqueComponents(node, module.dataComponents);
        return module;
    }

    DriverSession readSession(pugi::xml_node node) {
        static const char *const flagNames[FlagCount] = {"cache",           "interchangeCheck", "queryInstrStatus",
                                                         "rangeCheck",      "recordCoercions",  "simulate"};
        checkAttributes(node, {"name", "softwareModule", "hardwareAsset", "cache", "interchangeCheck",
                               "queryInstrStatus", "rangeCheck", "recordCoercions", "simulate", "driverSetup"});
        DriverSession session;
        session.name = requiredName(node);
        for (int f = 0; f < FlagCount; ++f) {
            pugi::xml_attribute attribute = node.attribute(flagNames[f]);
            if (!attribute) continue;
            std::optional<bool> value = parseBoolean(attribute.value());
            if (!value)
                fail(node, std::string(flagNames[f]) + "=" + quoted(attribute.value()) + " of " + where(node) +
                               " is not a boolean (true, false, 1 or 0)");
            session.flags[f] = *value;
        }
        session.driverSetup = node.attribute("driverSetup").value();
        for (pugi::xml_node child : elements(node, {"VirtualName", "DataComponent"})) {
            if (std::strcmp(child.name(), "VirtualName") == 0)
                session.virtualNames.push_back(readVirtualName(child));
            else
                session.dataComponents.push_back(readDataComponent(child, 0));
        }
        checkUniqueComponents(node, session.dataComponents);
        return session;
    }

    static VirtualName readVirtualName(pugi::xml_node node) {
        checkAttributes(node, {"name", "physicalName"});
        VirtualName virtualName;
        virtualName.name = requiredName(node);
        virtualName.physicalName = required(node, "physicalName");
        if (virtualName.physicalName.empty()) fail(node, where(node) + " has an empty physicalName");
        for (pugi::xml_node child : elements(node, {"Range"})) {
            checkAttributes(child, {"first", "last", "start"});
            elements(child, {});
            VirtualRange range{requiredInt(child, "first"), requiredInt(child, "last"), requiredInt(child, "start")};
            if (range.first > range.last)
                fail(child, "range of " + where(node) + " has first " + std::to_string(range.first) +
                                " greater than last " + std::to_string(range.last));
            // The physical indexes start .. start + (last - first) must be
            // 32-bit integers too.
            if (static_cast<std::int64_t>(range.start) + range.last - range.first > INT32_MAX)
                fail(child, "range of " + where(node) + " maps past the largest 32-bit physical index");
            virtualName.ranges.push_back(range);
        }
        return virtualName;
    }

    static DataComponent readDataComponent(pugi::xml_node node, int depth) {
        checkAttributes(node, {"name", "type", "value"});
        DataComponent component;
        component.name = requiredName(node);
        component.type = required(node, "type");
        component.structure = equalsNoCase(component.type.c_str(), "Structure");
        if (component.structure) {
            if (node.attribute("value")) fail(node, "the Structure " + where(node) + " has a value attribute");
            if (depth >= kMaxStructureDepth)
                fail(node, "structures nested deeper than " + std::to_string(kMaxStructureDepth) + " levels");
            for (pugi::xml_node child : elements(node, {"DataComponent"}))
                component.members.push_back(readDataComponent(child, depth + 1));
            checkUniqueComponents(node, component.members);
        } else {
            if (!elements(node, {"DataComponent"}).empty())
                fail(node, where(node) + " of type " + quoted(component.type) +
                               " holds members; only a Structure may");
            component.value = node.attribute("value").value();
        }
        return component;
    }

    StoreData &store_;
};

// "line L, column C" of a byte offset into text.
std::string lineAndColumn(const std::string &text, std::ptrdiff_t offset) {
    if (offset < 0) offset = 0;
    std::size_t end = std::min(static_cast<std::size_t>(offset), text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < end; ++i)
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    return "line " + std::to_string(line) + ", column " + std::to_string(end - lineStart + 1);
}

LoadResult failure(ViStatus status, std::string text) {
    LoadResult result;
    result.status = status;
    result.error = std::move(text);
    return result;
}

// Reads a regular file whole. Opening does not block (a FIFO would), and only
// regular files of bounded size are read.
bool readFile(const std::string &location, std::string &text, int &error, bool &tooLarge) {
    tooLarge = false;
    int fd = ::open(location.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    error = ok ? 0 : errno;
    if (ok && !S_ISREG(info.st_mode)) {
        ok = false;
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    if (ok && info.st_size > kMaxStoreFileSize) {
        ok = false;
        tooLarge = true;
    }
    if (ok) {
        text.clear();
        char chunk[8192];
        for (;;) {
            ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ok = false;
                error = errno;
                break;
            }
            if (n == 0) break;
            text.append(chunk, static_cast<std::size_t>(n));
            if (text.size() > static_cast<std::size_t>(kMaxStoreFileSize)) {
                ok = false;
                tooLarge = true;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}

std::string trimmed(const std::string &text) {
    const char *blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

const DriverSession *StoreData::findSession(const std::string &name) const {
    for (const DriverSession &session : driverSessions)
        if (session.name == name) return &session;
    for (const LogicalName &logical : logicalNames)
        if (logical.name == name) return &driverSessions[logical.driverSession];
    return nullptr;
}

LoadResult parseStore(const std::string &location, const std::string &text) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size(), pugi::parse_default);
    std::string prefix = "Configuration store " + quoted(location) + ": ";
    if (!parsed)
        return failure(IVICONFIG_ERROR_INVALID_STORE, prefix + "malformed XML at " +
                                                          lineAndColumn(text, parsed.offset) + ": " +
                                                          parsed.description());
    LoadResult result;
    result.data.emplace();
    result.data->location = location;
    try {
        TreeReader(*result.data).read(doc);
    } catch (const StoreError &error) {
        return failure(IVICONFIG_ERROR_INVALID_STORE, prefix + lineAndColumn(text, error.offset) + ": " + error.reason);
    }
    return result;
}

LoadResult loadStore(const std::string &location, const std::string &masterLocation) {
    std::string text;
    int error = 0;
    bool tooLarge = false;
    if (!readFile(location, text, error, tooLarge)) {
        if (location == masterLocation && (error == ENOENT || error == ENOTDIR) && !tooLarge) {
            // No master store on this machine: the built-in default, which
            // holds only the driver's own software module.
            LoadResult result;
            result.data.emplace();
            result.data->location = location;
            result.data->softwareModules.push_back(SoftwareModule{"Varnel", {}, {}});
            return result;
        }
        std::string reason = tooLarge ? "larger than " + std::to_string(kMaxStoreFileSize) + " bytes"
                                      : std::string(std::strerror(error));
        return failure(IVICONFIG_ERROR_FILE, "Configuration store " + quoted(location) + " cannot be read: " + reason);
    }
    return parseStore(location, text);
}

std::optional<bool> parseBoolean(const std::string &text) {
    std::string value = trimmed(text);
    if (value == "1" || equalsNoCase(value.c_str(), "true")) return true;
    if (value == "0" || equalsNoCase(value.c_str(), "false")) return false;
    return std::nullopt;
}

std::optional<ViInt32> parseInt32(const std::string &text) {
    std::string value = trimmed(text);
    const char *begin = value.data(), *end = begin + value.size();
    if (begin != end && *begin == '+') ++begin;
    if (begin == end || *begin == '+' || (*begin == '-' && value[0] == '+')) return std::nullopt;
    ViInt32 result = 0;
    std::from_chars_result parsed = std::from_chars(begin, end, result, 10);
    if (parsed.ec != std::errc() || parsed.ptr != end) return std::nullopt;
    return result;
}

std::optional<ViReal64> parseReal64(const std::string &text) {
    std::string value = trimmed(text);
    const char *begin = value.data(), *end = begin + value.size();
    if (begin != end && *begin == '+') ++begin;
    if (begin == end || *begin == '+' || (*begin == '-' && value[0] == '+')) return std::nullopt;
    double result = 0;
    std::from_chars_result parsed = std::from_chars(begin, end, result, std::chars_format::general);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(result)) return std::nullopt;
    return result;
}

}  // namespace iviconfig
