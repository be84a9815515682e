// Regular expressions in the syntax of ATL Server's CAtlRegExp, which the service writes its
// "regexValidator" patterns in: `{ }` match groups, `( )` plain grouping, `[ ]` classes, the
// quantifiers `? * +` and their non-greedy forms, `|` between single expressions (so `T|the`
// is `(T|t)he`), `!` as a zero-width "not followed by", `\` escapes, `\0`-style references to
// match groups and the abbreviations `\a \b \c \d \h \n \q \w \z`. A leading `^` anchors the
// pattern to the start, a `$` as the last character to the end. Case-sensitive, byte-wise.
//
// A small backtracking matcher with a step budget: the patterns come from the service, and a
// pathological one must not hang the client.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zerva {

// Steps one search may take (all start positions together) before it gives up.
inline constexpr int64_t kRegexStepBudget = 1000000;
// Longer patterns are not accepted: the service's are a few dozen bytes.
inline constexpr size_t kMaxRegexPatternBytes = 4096;

enum class RegexOutcome { kMatch, kNoMatch, kGaveUp };

// Where a match lies in the value: [begin, end).
struct RegexSpan {
  size_t begin = 0;
  size_t end = 0;
};

class AtlRegex {
 public:
  // Nothing when the pattern does not parse.
  static std::optional<AtlRegex> Compile(std::string_view pattern);

  // Tries the pattern at each position of `value` in turn (only the first when anchored). As in
  // the original, the empty rest after the last character is not tried, except for an empty
  // value. The value ends at its first NUL byte, as a C string would. `span` gets the first
  // match found.
  RegexOutcome Search(std::string_view value, int64_t stepBudget = kRegexStepBudget,
                      RegexSpan* span = nullptr) const;

  int GroupCount() const { return groupCount_; }

 private:
  friend class AtlRegexCompiler;
  friend class AtlRegexMatcher;

  enum class Op : uint8_t {
    kChar,        // ch
    kAny,         // any byte
    kSet,         // a: index into sets_
    kEnd,         // end of the value
    kBackref,     // a: group
    kSplit,       // go on at a; on failure at b
    kJump,        // a
    kGroupOpen,   // a: group
    kGroupClose,  // a: group
    kLoopMark,    // a: slot; b = 1 clears it instead of recording the position
    kLoopCheck,   // a: slot; fails when nothing was consumed since the mark
    kNot,         // the lookahead's code follows, ending in kMatch; a: where to go on
    kMatch,
  };
  struct Inst {
    Op op;
    unsigned char ch = 0;
    int32_t a = 0;
    int32_t b = 0;
  };

  std::vector<Inst> program_;
  std::vector<std::bitset<256>> sets_;
  int groupCount_ = 0;
  // The matcher's slots: three per group (open, start, end), then one per loop.
  int loopCount_ = 0;
  bool anchored_ = false;
};

// The check of a "regexValidator": false only when the pattern parses and does not match. A
// search that runs out of its step budget counts as a match, so a hostile pattern or value
// cannot block the form.
bool RegexAccepts(std::string_view pattern, std::string_view value);

}  // namespace zerva
