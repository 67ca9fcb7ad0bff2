#include "OptionScanner.h"

// Each scanner follows its pattern the way a backtracking ECMAScript matcher
// would, and reports the same leftmost match with the same groups. Instead of
// trying every start position, a failed attempt skips every later start that
// is bound to fail the same way, so a whole walk over a text stays linear.

namespace kiln {

const char* const kDriverSetupPartPattern = "\\s*DriverSetup\\s*=(.*)";
const char* const kInherentOptionPattern = "\\s*(\\w+)\\s*=\\s*(\\w+)\\s*,?";
const char* const kDriverSetupEntryPattern = "([\\w+_]+)\\s*(?:=|:)\\s*([^,]+)";

namespace {

// Character classes of std::regex in the "C" locale: \s is blank, \t, \n, \v,
// \f and \r; \w is ASCII letters, digits and '_'. Bytes >= 0x80 are in neither.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsWord(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '_';
}

// [\w+_]
bool IsKeyChar(char c) { return IsWord(c) || c == '+'; }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t SkipSpaces(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  return pos;
}

std::size_t SkipWord(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsWord(text[pos])) ++pos;
  return pos;
}

std::size_t SkipKey(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsKeyChar(text[pos])) ++pos;
  return pos;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view lowerWord) {
  if (text.size() - pos < lowerWord.size()) return false;
  for (std::size_t i = 0; i < lowerWord.size(); ++i) {
    if (ToLowerAscii(text[pos + i]) != lowerWord[i]) return false;
  }
  return true;
}

}  // namespace

// \s*DriverSetup\s*=(.*), case-insensitive. Every quantifier here is followed
// by something its class cannot match, so none of them ever gives characters
// back: a start matches exactly when its blanks lead to the word, blanks and
// '='. The leftmost start is therefore the first blank of the run in front of
// the first word that is followed by blanks and '='.
bool FindDriverSetupPart(std::string_view text, OptionMatch& match) {
  constexpr std::string_view kWord = "driversetup";
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!StartsWithNoCase(text, pos, kWord)) {
      ++pos;
      continue;
    }
    const std::size_t equals = SkipSpaces(text, pos + kWord.size());
    if (equals < text.size() && text[equals] == '=') {
      std::size_t begin = pos;
      while (begin > 0 && IsSpace(text[begin - 1])) --begin;
      // '.' stops at '\n' and '\r' only.
      const std::size_t valueBegin = equals + 1;
      std::size_t valueEnd = valueBegin;
      while (valueEnd < text.size() && text[valueEnd] != '\n' && text[valueEnd] != '\r') ++valueEnd;
      match.begin = begin;
      match.end = valueEnd;
      match.first = text.substr(valueBegin, valueEnd - valueBegin);
      match.second = std::string_view();
      return true;
    }
    // The word cannot begin again inside itself (no proper prefix of it is also
    // a suffix), nor in the blanks behind it.
    pos = equals;
  }
  return false;
}

// \s*(\w+)\s*=\s*(\w+)\s*,?  Nothing ever backtracks: each quantifier is
// followed by a character outside its class, except the trailing ones, whose
// greedy first choice already succeeds.
bool FindInherentOption(std::string_view text, std::size_t from, OptionMatch& match) {
  const std::size_t n = text.size();
  std::size_t start = from;
  while (start < n) {
    const std::size_t nameBegin = SkipSpaces(text, start);
    if (nameBegin == n) return false;
    if (!IsWord(text[nameBegin])) {
      // Every start up to here reaches this character.
      start = nameBegin + 1;
      continue;
    }
    const std::size_t nameEnd = SkipWord(text, nameBegin);
    const std::size_t equals = SkipSpaces(text, nameEnd);
    if (equals == n) return false;
    if (text[equals] != '=') {
      // Starts inside the name reach the same end of the name and fail alike;
      // the next candidate is the first blank behind the name (or the
      // character that stopped it).
      start = nameEnd;
      continue;
    }
    const std::size_t valueBegin = SkipSpaces(text, equals + 1);
    if (valueBegin == n) return false;
    if (!IsWord(text[valueBegin])) {
      // Later starts up to here reach either this '=' or this character.
      start = valueBegin + 1;
      continue;
    }
    const std::size_t valueEnd = SkipWord(text, valueBegin);
    std::size_t end = SkipSpaces(text, valueEnd);
    if (end < n && text[end] == ',') ++end;
    match.begin = start;
    match.end = end;
    match.first = text.substr(nameBegin, nameEnd - nameBegin);
    match.second = text.substr(valueBegin, valueEnd - valueBegin);
    return true;
  }
  return false;
}

// ([\w+_]+)\s*(?:=|:)\s*([^,]+)  The key and the blanks before the separator
// never give characters back. The blanks behind the separator do: when they
// run into a comma or the end, the last blank is given back and becomes the
// whole value. The value runs over everything but a comma, line feeds too.
bool FindDriverSetupEntry(std::string_view text, std::size_t from, OptionMatch& match) {
  const std::size_t n = text.size();
  std::size_t start = from;
  while (start < n) {
    if (!IsKeyChar(text[start])) {
      ++start;
      continue;
    }
    const std::size_t keyEnd = SkipKey(text, start);
    const std::size_t separator = SkipSpaces(text, keyEnd);
    if (separator < n && (text[separator] == '=' || text[separator] == ':')) {
      const std::size_t afterBlanks = SkipSpaces(text, separator + 1);
      std::size_t valueBegin = afterBlanks;
      bool found = true;
      if (afterBlanks == n || text[afterBlanks] == ',') {
        if (afterBlanks == separator + 1) {
          found = false;
        } else {
          valueBegin = afterBlanks - 1;
        }
      }
      if (found) {
        std::size_t valueEnd = afterBlanks;
        while (valueEnd < n && text[valueEnd] != ',') ++valueEnd;
        match.begin = start;
        match.end = valueEnd;
        match.first = text.substr(start, keyEnd - start);
        match.second = text.substr(valueBegin, valueEnd - valueBegin);
        return true;
      }
    }
    // Starts inside the key reach the same end of the key and fail alike; what
    // follows the key up to the next key character cannot start a match.
    start = keyEnd;
  }
  return false;
}

}  // namespace kiln
