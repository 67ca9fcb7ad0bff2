#pragma once
// Scanners for the option string of Varnel_InitWithOptions and for DriverSetup
// texts. Each gives exactly the matches of one ECMAScript regular expression
// (std::regex, "C" locale), but runs in linear time and constant stack space,
// so that no input, however long, can exhaust a thread's stack.
#include <cstddef>
#include <string_view>

namespace kiln {

// One match: [begin, end) in the text, and its groups (views into the text).
struct OptionMatch {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view first;   // group 1
  std::string_view second;  // group 2 (empty for the DriverSetup part)
};

// The three patterns, kept as the documented definition of the syntax.
extern const char* const kDriverSetupPartPattern;     // "\\s*DriverSetup\\s*=(.*)", icase
extern const char* const kInherentOptionPattern;      // "\\s*(\\w+)\\s*=\\s*(\\w+)\\s*,?"
extern const char* const kDriverSetupEntryPattern;    // "([\\w+_]+)\\s*(?:=|:)\\s*([^,]+)"

// First match of the DriverSetup-part pattern anywhere in text.
bool FindDriverSetupPart(std::string_view text, OptionMatch& match);

// First match of the inherent-option pattern starting the search at `from`.
bool FindInherentOption(std::string_view text, std::size_t from, OptionMatch& match);

// First match of the DriverSetup-entry pattern starting the search at `from`.
bool FindDriverSetupEntry(std::string_view text, std::size_t from, OptionMatch& match);

}  // namespace kiln
