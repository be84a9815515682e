#include "category/atl_regex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

namespace zerva {
namespace {

struct Case {
  const char* pattern;
  std::string value;
  bool matches;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::optional<AtlRegex> re = AtlRegex::Compile(c.pattern);
    ASSERT_TRUE(re.has_value()) << "pattern " << c.pattern;
    const RegexOutcome expected = c.matches ? RegexOutcome::kMatch : RegexOutcome::kNoMatch;
    EXPECT_EQ(re->Search(c.value), expected) << "pattern " << c.pattern << " value " << c.value;
  }
}

TEST(AtlRegex, LiteralsDotAndSearchPosition) {
  ExpectCases({
      {"abc", "xxabcxx", true},
      {"abc", "ab", false},
      {"abc", "ABC", false},  // case-sensitive
      {"a.c", "abc", true},
      {"a.c", "ac", false},
      {"", "anything", true},
      {"", "", true},
      {"x*", "abc", true},
      // Characters with no meaning of their own where they stand are literals.
      {"*a", "x*a", true},
      {"a^b", "a^b", true},
      {"a$b", "xa$b", true},
      {"a\\+b", "a+b", true},
      {"a\\+b", "aab", false},
      {"^\\d+\\.\\d+$", "1.5", true},
      {"^\\d+\\.\\d+$", "1x5", false},
      // Outside a class an escaped t is a plain t.
      {"a\\tb", "atb", true},
      {"a\\tb", "a\tb", false},
  });
}

TEST(AtlRegex, CharacterClasses) {
  ExpectCases({
      {"[abc]", "xbx", true},
      {"[abc]", "xyz", false},
      {"^[0-9]+$", "123", true},
      {"^[0-9]+$", "12a", false},
      {"[^0-9]", "123", false},
      {"[^0-9]", "12a3", true},
      {"^[a-cx-z]+$", "abzy", true},
      {"^[a-cx-z]+$", "abd", false},
      {"[a\\]]", "x]", true},
      {"^[-a]$", "-", true},
      {"^[\\t]$", "\t", true},  // inside a class \t is a tab
      {"^[\\t]$", "t", false},
      {"^[\\^]$", "^", true},
      {"^[\\-]$", "-", true},
      {"[\xc3\xa1]", "m\xc3\xa1j", true},  // bytes, not characters
  });
}

TEST(AtlRegex, QuantifiersGreedyAndNot) {
  ExpectCases({
      {"^ab?c$", "ac", true},
      {"^ab?c$", "abc", true},
      {"^ab?c$", "abbc", false},
      {"^ab*c$", "abbbc", true},
      {"^ab+c$", "ac", false},
      {"^ab+c$", "abbc", true},
      {"^ab+?c$", "abbc", true},
      {"^ab*?c$", "ac", true},
      {"^ab??c$", "abc", true},
      {"^a*$", "", true},
  });
  const std::vector<std::tuple<const char*, const char*, size_t, size_t>> spans = {
      {"<.*?>", "<abc><def>", 0, 5}, {"<.*>", "<abc><def>", 0, 10}, {"a+?", "xaaa", 1, 2},
      {"a+", "xaaa", 1, 4},          {"ab??", "abb", 0, 1},         {"ab?", "abb", 0, 2},
      {"b*?c", "abbc", 1, 4},  // the first position that matches wins, not the shortest
  };
  for (const auto& [pattern, value, begin, end] : spans) {
    RegexSpan span;
    ASSERT_EQ(AtlRegex::Compile(pattern)->Search(value, kRegexStepBudget, &span),
              RegexOutcome::kMatch)
        << pattern;
    EXPECT_EQ(span.begin, begin) << pattern;
    EXPECT_EQ(span.end, end) << pattern;
  }
}

TEST(AtlRegex, AlternationBindsSingleExpressions) {
  ExpectCases({
      {"^T|the$", "The", true},
      {"^T|the$", "the", true},
      {"^T|the$", "T", false},
      {"^ab|cd$", "abd", true},
      {"^ab|cd$", "acd", true},
      {"^ab|cd$", "ab", false},
      {"^(ab)|(cd)$", "cd", true},
      {"^(ab)|(cd)$", "abcd", false},
      {"^a|b|c$", "b", true},
      {"^(a|b|c)+$", "abcab", true},
      {"^(a|b|c)+$", "abd", false},
  });
}

TEST(AtlRegex, NegationLooksAheadWithoutConsuming) {
  ExpectCases({
      {"a!b", "ab", false},
      {"a!b", "ac", true},
      {"a!b", "a", true},
      {"^!a.", "ba", true},
      {"^!a.", "ab", false},
      {"^!{ab}..", "ac", true},
      {"^!{ab}..", "ab", false},
      {"^!!a.", "ab", true},  // a double negation asks for the operand without consuming it
      {"^!!a.", "ba", false},
      {"a!$", "a", false},
      {"a!$", "ab", true},
  });
}

TEST(AtlRegex, AnchorsAndTheUntriedEnd) {
  ExpectCases({
      {"^abc", "xabc", false},
      {"^abc", "abcx", true},
      {"abc$", "abcx", false},
      {"abc$", "xabc", true},
      {"^$", "", true},
      {"^$", "a", false},
      {"$", "", true},
      // As in the original, no search starts after the last character, so a pattern that
      // could match only the empty rest there does not match.
      {"$", "a", false},
      {"x?$", "ab", false},
      {"a?$", "ba", true},
  });
}

TEST(AtlRegex, Abbreviations) {
  ExpectCases({
      {"^\\a+$", "abc123XYZ", true},
      {"^\\a+$", "ab-c", false},
      {"^a\\bb$", "a b", true},
      {"^a\\bb$", "a\tb", true},
      {"^a\\bb$", "atb", false},
      {"^\\c+$", "abcXYZ", true},
      {"^\\c+$", "ab1", false},
      {"^\\d\\d$", "42", true},
      {"^\\d\\d$", "4a", false},
      {"^\\h+$", "09afAF", true},
      {"^\\h+$", "0g", false},
      {"^a\\nb$", "a\rb", true},
      {"^a\\nb$", "a\nb", true},
      {"^a\\nb$", "a\r\nb", true},
      {"^a\\nb$", "ab", false},
      {"^\\q$", "\"hi there\"", true},
      {"^\\q$", "'single'", true},
      {"^\\q$", "\"mixed'", false},
      {"^\\q+$", "\"a\"'b'", true},
      {"^\\w$", "word", true},
      {"^\\w$", "two words", false},
      {"^\\z$", "12345", true},
      {"^\\z$", "", false},
      {"^\\z,\\z$", "12,345", true},
      {"\\s", "s", true},  // not an abbreviation: a plain s
  });
}

TEST(AtlRegex, GroupsNestingAndReferences) {
  ExpectCases({
      {"^{a{b}c}+$", "abcabc", true},
      {"^{a{b}c}+$", "abcab", false},
      {"^((ab)+c)+$", "ababcabc", true},
      {"^(\\d+,)*\\d+$", "1,23,456", true},
      {"^(\\d+,)*\\d+$", "1,23,", false},
      {"^{\\d}\\0$", "11", true},
      {"^{\\d}\\0$", "12", false},
      {"<{.*?}>.*?</\\0>", "<head>Contents</head>", true},
      {"<{.*?}>.*?</\\0>", "<head>Contents</body>", false},
      {"^{a}{b}\\1\\0$", "abba", true},
      {"^()a$", "a", true},
      {"^(){}a$", "a", true},
  });
  EXPECT_EQ(AtlRegex::Compile("{a}(b){c{d}}")->GroupCount(), 3);
}

TEST(AtlRegex, UnparsablePatternsPass) {
  for (const char* pattern : {"[abc", "[]", "[^]", "[z-a]", "[a-]", "(ab", "{ab", "{a*}*b", "(a?)+",
                              "(b*)+?", "(a|b?)*", "\\0", "{a}\\1", "{a}{b}\\2", "abc\\", "[a\\"}) {
    EXPECT_FALSE(AtlRegex::Compile(pattern).has_value()) << pattern;
    EXPECT_TRUE(RegexAccepts(pattern, "zzz")) << pattern;
  }
  EXPECT_FALSE(AtlRegex::Compile(std::string(kMaxRegexPatternBytes + 1, 'a')).has_value());
  EXPECT_TRUE(AtlRegex::Compile(std::string(kMaxRegexPatternBytes, 'a')).has_value());
  EXPECT_FALSE(AtlRegex::Compile(std::string(300, '(') + "a" + std::string(300, ')')));
  EXPECT_FALSE(AtlRegex::Compile(std::string(300, '!') + "a"));
  EXPECT_TRUE(AtlRegex::Compile(std::string(40, '(') + "a" + std::string(40, ')')));
}

TEST(AtlRegex, QuietEndsOfTheOriginalParser) {
  // A closing bracket that opens nothing ends the pattern; the rest is ignored.
  EXPECT_TRUE(RegexAccepts("ab)cd", "xxab"));
  EXPECT_FALSE(RegexAccepts("ab)cd", "xxcd"));
  EXPECT_TRUE(RegexAccepts("ab]", "ab"));
  // An alternation missing its last branch is dropped with everything after it.
  EXPECT_TRUE(RegexAccepts("xa|", "x"));
  EXPECT_FALSE(RegexAccepts("xa|", "y"));
  EXPECT_TRUE(RegexAccepts("^(a|)$", ""));
  // A negation with nothing to negate ends the pattern too.
  EXPECT_TRUE(RegexAccepts("ab!", "ab"));
}

TEST(AtlRegex, RepetitionsThatMayMatchEmptyStillEnd) {
  // The original's reckoning lets these through; each pass must still consume something.
  ExpectCases({
      {"^()*a$", "a", true},
      {"^(!b)*a$", "a", true},
      {"^(!b)+a$", "a", true},
      {"^{}*?b$", "b", true},
  });
}

TEST(AtlRegex, BudgetKeepsPathologicalSearchesShort) {
  const std::string as(40, 'a');
  const auto started = std::chrono::steady_clock::now();
  // Refused as a possibly empty repetition, so it passes at once.
  EXPECT_TRUE(RegexAccepts("{a*}*b", as));
  // Exponential for a backtracking matcher: the budget ends it and the validator passes.
  EXPECT_EQ(AtlRegex::Compile("{a+}+b")->Search(as), RegexOutcome::kGaveUp);
  EXPECT_EQ(AtlRegex::Compile("(a|a)+b")->Search(as), RegexOutcome::kGaveUp);
  EXPECT_TRUE(RegexAccepts("{a+}+b", as));
  EXPECT_TRUE(RegexAccepts("^(a|aa)+c", as));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

  EXPECT_EQ(AtlRegex::Compile("abc")->Search("xxxxxxabc", 5), RegexOutcome::kGaveUp);
  EXPECT_EQ(AtlRegex::Compile("{a+}+b")->Search(as + "b"), RegexOutcome::kMatch);
}

TEST(AtlRegex, LongValuesDoNotDeepenTheStack) {
  const std::string value(100000, 'a');
  EXPECT_EQ(AtlRegex::Compile("^a*$")->Search(value), RegexOutcome::kMatch);
  EXPECT_EQ(AtlRegex::Compile("^{a}*b")->Search(value.substr(50000)), RegexOutcome::kNoMatch);
  // The value ends at a NUL byte, as the original's C strings do.
  EXPECT_EQ(AtlRegex::Compile("^a$")->Search(std::string("a\0b", 3)), RegexOutcome::kMatch);
}

}  // namespace
}  // namespace zerva
