// The option scanners against std::regex with the documented patterns, and on
// inputs far longer than std::regex can take on a small thread stack.
#include "OptionScanner.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>
#include <functional>
#include <ostream>
#include <random>
// GCC 12 with the sanitizers reports a false -Wmaybe-uninitialized inside
// the std::function members of std::regex's compiled states.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <string_view>
#include <vector>

namespace {

using kiln::OptionMatch;

// A match as offsets into its text, so scanner and std::regex results compare
// directly.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t firstPos = 0;
  std::size_t firstLen = 0;
  std::size_t secondPos = 0;
  std::size_t secondLen = 0;
};

bool operator==(const Span& a, const Span& b) {
  return a.begin == b.begin && a.end == b.end && a.firstPos == b.firstPos &&
         a.firstLen == b.firstLen && a.secondPos == b.secondPos && a.secondLen == b.secondLen;
}

std::ostream& operator<<(std::ostream& os, const Span& s) {
  return os << "[" << s.begin << "," << s.end << ") g1 " << s.firstPos << "+" << s.firstLen
            << " g2 " << s.secondPos << "+" << s.secondLen;
}

std::string Printable(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::size_t Offset(std::string_view text, std::string_view group) {
  return group.data() == nullptr ? 0 : static_cast<std::size_t>(group.data() - text.data());
}

Span ToSpan(std::string_view text, const OptionMatch& m) {
  return Span{m.begin,           m.end, Offset(text, m.first), m.first.size(),
              Offset(text, m.second), m.second.size()};
}

using Finder = bool (*)(std::string_view, std::size_t, OptionMatch&);

std::vector<Span> ScanPart(std::string_view text) {
  std::vector<Span> out;
  OptionMatch m;
  if (kiln::FindDriverSetupPart(text, m)) out.push_back(ToSpan(text, m));
  return out;
}

// The walk the parser makes: each search starts where the previous match ended.
std::vector<Span> ScanAll(std::string_view text, Finder find) {
  std::vector<Span> out;
  OptionMatch m;
  for (std::size_t from = 0; find(text, from, m); from = m.end) {
    out.push_back(ToSpan(text, m));
    if (m.end <= from) break;  // a scanner that does not advance shows up as a mismatch
  }
  return out;
}

const std::regex& PartRegex() {
  static const std::regex re(kiln::kDriverSetupPartPattern, std::regex::icase);
  return re;
}
const std::regex& InherentRegex() {
  static const std::regex re(kiln::kInherentOptionPattern);
  return re;
}
const std::regex& EntryRegex() {
  static const std::regex re(kiln::kDriverSetupEntryPattern);
  return re;
}

Span FromRegex(const std::smatch& m, std::size_t base = 0) {
  Span s;
  s.begin = base + static_cast<std::size_t>(m.position(0));
  s.end = s.begin + static_cast<std::size_t>(m.length(0));
  s.firstPos = base + static_cast<std::size_t>(m.position(1));
  s.firstLen = static_cast<std::size_t>(m.length(1));
  if (m.size() > 2) {
    s.secondPos = base + static_cast<std::size_t>(m.position(2));
    s.secondLen = static_cast<std::size_t>(m.length(2));
  }
  return s;
}

std::vector<Span> RegexPart(const std::string& text) {
  std::vector<Span> out;
  std::smatch m;
  if (std::regex_search(text, m, PartRegex())) out.push_back(FromRegex(m));
  return out;
}

std::vector<Span> RegexAll(const std::string& text, const std::regex& re) {
  std::vector<Span> out;
  for (std::sregex_iterator it(text.begin(), text.end(), re), last; it != last; ++it) {
    out.push_back(FromRegex(*it));
  }
  return out;
}

void ExpectSameAsRegex(const std::string& text) {
  SCOPED_TRACE("text \"" + Printable(text) + "\"");
  EXPECT_EQ(ScanPart(text), RegexPart(text)) << "DriverSetup part";
  EXPECT_EQ(ScanAll(text, kiln::FindInherentOption), RegexAll(text, InherentRegex()))
      << "inherent options";
  EXPECT_EQ(ScanAll(text, kiln::FindDriverSetupEntry), RegexAll(text, EntryRegex()))
      << "DriverSetup entries";
}

TEST(OptionScanner, MatchesStdRegexOnOrdinaryStrings) {
  const std::string kCases[] = {
      "",
      "Simulate=True, RangeCheck=0",
      "SIMULATE = VI_TRUE",
      "Simulate=Yes",
      "Simulate=1, Simulate=0",
      "Foo=1",
      "Simulate=1; junk, Cache=0",
      "no name, equals sign or value here",
      "=",
      "Simulate=",
      "=1",
      "Simulate=1, DriverSetup=Model:QVX M2",
      "DriverSetup=Model:QVX M2, Simulate=1",
      "DriverSetup= Model = QVX M3 ,Trace:1",
      "Model:QVX M2, model:QVX M3",
      "Model:QVX M2, Model:QVX M3",
      "Model: ,x",
      "Model:   ",
      "Model:,Trace:1",
      "Model:QVX\nM2,Trace:1",
      "Cache = 1 ,, Simulate = 0 ,",
      "\tCache\t=\t1\t,\r\nSimulate\v=\f0\r\n",
      "Cache=0\r\nSimulate=1\n",
      "x y=z",
      "a=b=c",
      "a = = b, c=d",
      "a+b=1, +:+, key_1 : value=with=equals",
      "Trace:1,,Model:X,",
      "key : value : more",
      "key=:, key2:=",
      "  =  , ,,, : ",
      "\xc3\xa9t\xc3\xa9=1, caf\xc3\xa9=0, Model:\xc3\xa9",
      std::string("Simulate=1\0Cache=0", 18),
      "driversetup=model:qvx m2",
      "DRIVERSETUP = Model:QVX M2\r\nSimulate=1",
      "  \tDriverSetup\t=\tModel:A\r\nTrace:1",
      "Cache=1, DriverSetup DriverSetup=Model:A",
      "DriverSetup=Model:A, DriverSetup=Model:B",
      "DriverSetupDriverSetup=Model:A",
      "xDriverSetup=1",
      "Driver Setup=1, DriverSetup:Model",
      "Drive\x80rSetup=1",
      "DriverSetup=",
      "DriverSetup=\nModel:X",
      "DriverSetup=Model:X\rTrace:1",
      "Simulate=1 DriverSetup",
  };
  for (const std::string& text : kCases) ExpectSameAsRegex(text);
}

// Random strings made of the pieces the patterns care about, with a fixed seed.
// The search from an arbitrary position is compared too: the parser only
// resumes at a match end, but the scanners take any start.
TEST(OptionScanner, MatchesStdRegexOnGeneratedStrings) {
  const std::string kPieces[] = {
      " ",     "\t",          "\r\n",        "\n",          "\r",         "\v",
      "\f",    "=",           ":",           ",",           "+",          "_",
      "a",     "Ab9",         "x_y",         "1",           "DriverSetup", "driversetup",
      "DRIVERSETUP", "DriverSetu", "Model",  "QVX M2",      "\x80",       "\xc3\xa9",
      "-",     ";",           std::string(1, '\0'),         "=,",         ": ",         " ="};
  std::mt19937 random(20240601);
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    for (unsigned n = random() % 14; n > 0; --n) text += kPieces[random() % std::size(kPieces)];
    ExpectSameAsRegex(text);

    const std::size_t from = random() % (text.size() + 1);
    const auto flags = from > 0 ? std::regex_constants::match_prev_avail
                                : std::regex_constants::match_default;
    const std::pair<Finder, const std::regex*> kPatterns[] = {
        {kiln::FindInherentOption, &InherentRegex()}, {kiln::FindDriverSetupEntry, &EntryRegex()}};
    for (const auto& [find, re] : kPatterns) {
      std::smatch m;
      std::vector<Span> expected;
      if (std::regex_search(text.cbegin() + static_cast<std::ptrdiff_t>(from), text.cend(), m,
                            *re, flags)) {
        expected.push_back(FromRegex(m, from));
      }
      std::vector<Span> actual;
      OptionMatch match;
      if (find(text, from, match)) actual.push_back(ToSpan(text, match));
      EXPECT_EQ(actual, expected) << "text \"" << Printable(text) << "\" from " << from;
    }
  }
}

TEST(OptionScanner, SearchFromTheEndOrBeyondFindsNothing) {
  const std::string text = "Simulate=1, Model:QVX M2";
  for (std::size_t from : {text.size(), text.size() + 1, std::string::npos}) {
    OptionMatch m;
    EXPECT_FALSE(kiln::FindInherentOption(text, from, m));
    EXPECT_FALSE(kiln::FindDriverSetupEntry(text, from, m));
  }
}

// Long inputs, parsed on a thread with a 256 KB stack.

constexpr std::size_t kMiB = std::size_t{1} << 20;

struct Walks {
  std::vector<Span> part;
  std::vector<Span> inherent;
  std::vector<Span> entries;
};

struct LongCase {
  const char* name;
  std::string text;
  Walks expected;
};

void RunOnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 * 1024), 0);
  pthread_t thread;
  auto body = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  const int created =
      pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attr);
  ASSERT_EQ(created, 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
}

// Reports the first difference only: the walks can hold many thousand matches.
void ExpectSameWalk(const std::vector<Span>& actual, const std::vector<Span>& expected,
                    const char* what) {
  EXPECT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
    if (!(actual[i] == expected[i])) {
      ADD_FAILURE() << what << " match " << i << ": " << actual[i] << ", expected " << expected[i];
      return;
    }
  }
}

Span Two(std::size_t begin, std::size_t end, std::size_t p1, std::size_t l1, std::size_t p2,
         std::size_t l2) {
  return Span{begin, end, p1, l1, p2, l2};
}
Span One(std::size_t begin, std::size_t end, std::size_t p1, std::size_t l1) {
  return Span{begin, end, p1, l1, 0, 0};
}

std::vector<LongCase> LongCases() {
  std::vector<LongCase> cases;

  cases.push_back({"one long word", std::string(kMiB, 'w'), {}});

  {
    std::string text = std::string(kMiB, 'w') + "=1";
    const std::size_t n = text.size();
    cases.push_back({"long name", text, {{}, {Two(0, n, 0, kMiB, kMiB + 1, 1)},
                                         {Two(0, n, 0, kMiB, kMiB + 1, 1)}}});
  }
  {
    std::string text = "Simulate=" + std::string(kMiB, 'v');
    const std::size_t n = text.size();
    cases.push_back(
        {"long value", text, {{}, {Two(0, n, 0, 8, 9, kMiB)}, {Two(0, n, 0, 8, 9, kMiB)}}});
  }
  {
    // Words and blanks without '=' inside the DriverSetup part, a line end,
    // and an option behind it.
    std::string filler;
    while (filler.size() < kMiB) filler += "QVX ";
    std::string text = "Cache=0, DriverSetup=Model:" + filler + "\r\nTrace=1";
    const std::size_t n = text.size();
    const std::size_t lineEnd = 27 + filler.size();
    cases.push_back({"long DriverSetup part",
                     text,
                     {{One(8, lineEnd, 21, 6 + filler.size())},
                      {Two(0, 8, 0, 5, 6, 1), Two(8, 26, 9, 11, 21, 5),
                       Two(lineEnd - 1, n, lineEnd + 2, 5, lineEnd + 8, 1)},
                      {Two(0, 7, 0, 5, 6, 1), Two(9, n, 9, 11, 21, n - 21)}}});
  }
  {
    // "Opt<i> = Val<i> , " for even i, "Opt<i> : Val<i> , " for odd i.
    LongCase c{"many entries", {}, {}};
    for (std::size_t i = 0; c.text.size() < kMiB; ++i) {
      const std::string name = "Opt" + std::to_string(i);
      const std::string value = "Val" + std::to_string(i);
      const std::size_t s = c.text.size();
      const std::size_t v = s + name.size() + 3;
      const std::size_t comma = v + value.size() + 1;
      c.text += name + (i % 2 == 0 ? " = " : " : ") + value + " , ";
      // An inherent option after the first begins at the blank behind the
      // previous comma; the ':' entries are no inherent options.
      if (i % 2 == 0) {
        c.expected.inherent.push_back(
            Two(i == 0 ? 0 : s - 1, comma + 1, s, name.size(), v, value.size()));
      }
      // A DriverSetup value keeps its trailing blank.
      c.expected.entries.push_back(Two(s, comma, s, name.size(), v, value.size() + 1));
    }
    cases.push_back(std::move(c));
  }
  {
    std::string text = std::string(kMiB, ' ') + "DriverSetup = Model: QVX M2";
    const std::size_t n = text.size();
    const std::size_t b = kMiB;
    cases.push_back({"long run of blanks",
                     text,
                     {{One(0, n, b + 13, n - b - 13)},
                      {Two(0, b + 19, b, 11, b + 14, 5)},
                      {Two(b, n, b, 11, b + 14, n - b - 14)}}});
  }
  {
    // Blanks behind the separator that run into a comma or the end: the last
    // blank is the value.
    const std::size_t half = kMiB / 2;
    std::string text = "Model:" + std::string(half, ' ') + ",x=y,Trace:" + std::string(half, ' ');
    const std::size_t n = text.size();
    const std::size_t c = 6 + half;
    cases.push_back({"blanks as the value",
                     text,
                     {{},
                      {Two(c + 1, c + 5, c + 1, 1, c + 3, 1)},
                      {Two(0, c, 0, 5, c - 1, 1), Two(c + 1, c + 4, c + 1, 1, c + 3, 1),
                       Two(c + 5, n, c + 5, 5, n - 1, 1)}}});
  }
  {
    std::string text;
    while (text.size() < kMiB) text += "DriverSetup ";
    const std::size_t l = text.size();
    text += "driversetup=Model:QVX M1";
    const std::size_t n = text.size();
    cases.push_back({"many DriverSetup words without '='",
                     text,
                     {{One(l - 1, n, l + 12, 12)},
                      {Two(l - 1, l + 17, l, 11, l + 12, 5)},
                      {Two(l, n, l, 11, l + 12, 12)}}});
  }
  {
    std::string text;
    while (text.size() < kMiB) text += "Simulate True, Cache \xc3\xa9t\xc3\xa9; x-y.\r\n\t";
    cases.push_back({"long text without '=' or ':'", text, {}});
  }
  return cases;
}

TEST(OptionScanner, LongInputsOnASmallStack) {
  for (const LongCase& c : LongCases()) {
    SCOPED_TRACE(c.name);
    Walks actual;
    RunOnSmallStack([&] {
      actual.part = ScanPart(c.text);
      actual.inherent = ScanAll(c.text, kiln::FindInherentOption);
      actual.entries = ScanAll(c.text, kiln::FindDriverSetupEntry);
    });
    ExpectSameWalk(actual.part, c.expected.part, "DriverSetup part");
    ExpectSameWalk(actual.inherent, c.expected.inherent, "inherent options");
    ExpectSameWalk(actual.entries, c.expected.entries, "DriverSetup entries");
  }
}

}  // namespace
