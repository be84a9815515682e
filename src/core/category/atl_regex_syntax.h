// The parse tree of a CAtlRegExp pattern (see atl_regex.h for the syntax).
#pragma once

#include <bitset>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zerva {

struct RegexNode {
  enum class Kind { kChar, kAny, kSet, kEnd, kBackref, kSeq, kAlt, kGroup, kRepeat, kNot };

  Kind kind = Kind::kSeq;
  unsigned char ch = 0;
  int index = -1;       // kSet: the set; kGroup: the match group (-1 for plain grouping);
                        // kBackref: the group referred to
  char quantifier = 0;  // kRepeat: '?', '*' or '+'
  bool greedy = true;   // kRepeat
  // Whether the original counts the expression as possibly empty; it refuses `*` and `+` on
  // such an expression. Its reckoning is kept, quirks included (an empty group counts as not
  // empty, a negation as its operand).
  bool mayBeEmpty = false;
  std::vector<std::unique_ptr<RegexNode>> kids;
};

struct ParsedRegex {
  std::unique_ptr<RegexNode> root;  // a kSeq
  std::vector<std::bitset<256>> sets;
  int groupCount = 0;
  bool anchored = false;  // the pattern began with "^"
};

// Nothing when the pattern does not parse. Like the original, parsing ends quietly at a closing
// bracket that opens nothing, and the text after it is ignored.
std::optional<ParsedRegex> ParseAtlRegex(std::string_view pattern);

}  // namespace zerva
