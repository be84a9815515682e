#include "category/atl_regex_syntax.h"

#include <cstdint>
#include <utility>

#include "category/atl_regex.h"

namespace zerva {
namespace {

using NodePtr = std::unique_ptr<RegexNode>;
using Kind = RegexNode::Kind;

// Groups, negations and abbreviations nest at most this deep; the parser recurses on them.
constexpr int kMaxNesting = 100;

// What a backslash and letter stand for. Each is read as one expression. "\q" is both quoted
// forms as a single unit (the original's table entry reads as two alternatives at the top
// level, of which its parser only took the first).
const char* Abbreviation(unsigned char letter) {
  switch (letter) {
    case 'a':
      return "([a-zA-Z0-9])";
    case 'b':
      return "([ \\t])";  // backslash and t inside the class: a tab
    case 'c':
      return "([a-zA-Z])";
    case 'd':
      return "([0-9])";
    case 'h':
      return "([0-9a-fA-F])";
    case 'n':
      return "(\r|(\r?\n))";
    case 'q':
      return "((\"[^\"]*\")|('[^']*'))";
    case 'w':
      return "([a-zA-Z]+)";
    case 'z':
      return "([0-9]+)";
    default:
      return nullptr;
  }
}

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

NodePtr MakeNode(Kind kind) {
  auto node = std::make_unique<RegexNode>();
  node->kind = kind;
  return node;
}

struct SharedState {
  std::vector<std::bitset<256>> sets;
  int groups = 0;
  bool error = false;
};

// The grammar of the original:
//   RE   := AltE*            up to a closing bracket, the end, or an AltE that does not parse
//   AltE := E ('|' E)*       alternation binds single expressions
//   E    := SE ('*' | '+' | '?') '?'?
//   SE   := '{' RE '}' | '(' RE ')' | '[' class ']' | '\' escape | '!' SE | '.' | '$' (last)
//         | any other byte
// A missing SE is not an error by itself; it ends the enclosing RE.
class Parser {
 public:
  Parser(std::string_view text, SharedState& state, int depth)
      : text_(text), state_(state), depth_(depth) {}

  NodePtr ParseRe() {
    NodePtr seq = MakeNode(Kind::kSeq);
    bool allEmpty = true;
    while (!AtEnd() && !state_.error) {
      NodePtr alt = ParseAltE();
      if (!alt) break;
      allEmpty = allEmpty && alt->mayBeEmpty;
      seq->kids.push_back(std::move(alt));
    }
    seq->mayBeEmpty = !seq->kids.empty() && allEmpty;
    return seq;
  }

  NodePtr ParseE() {
    NodePtr se = ParseSe();
    if (!se) return nullptr;
    if (AtEnd()) return se;
    const char quantifier = text_[pos_];
    if (quantifier != '*' && quantifier != '+' && quantifier != '?') return se;
    ++pos_;
    const bool greedy = !Take('?');
    // A repeated expression that may match nothing would loop without progress.
    if (quantifier != '?' && se->mayBeEmpty) return Fail();
    NodePtr repeat = MakeNode(Kind::kRepeat);
    repeat->quantifier = quantifier;
    repeat->greedy = greedy;
    repeat->mayBeEmpty = quantifier == '+' ? se->mayBeEmpty : true;
    repeat->kids.push_back(std::move(se));
    return repeat;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  bool Peek(char c) const { return !AtEnd() && text_[pos_] == c; }
  bool Take(char c) {
    if (!Peek(c)) return false;
    ++pos_;
    return true;
  }
  NodePtr Fail() {
    state_.error = true;
    return nullptr;
  }

  NodePtr ParseAltE() {
    NodePtr first = ParseE();
    if (!first || !Peek('|')) return first;
    NodePtr alt = MakeNode(Kind::kAlt);
    alt->mayBeEmpty = first->mayBeEmpty;
    alt->kids.push_back(std::move(first));
    while (Take('|')) {
      NodePtr next = ParseE();
      // The original drops the whole alternation when a branch is missing ("a|" at the end).
      if (!next) return nullptr;
      alt->mayBeEmpty = alt->mayBeEmpty || next->mayBeEmpty;
      alt->kids.push_back(std::move(next));
    }
    return alt;
  }

  NodePtr ParseSe() {
    if (AtEnd() || state_.error) return nullptr;
    if (depth_ >= kMaxNesting) return Fail();
    const unsigned char c = static_cast<unsigned char>(text_[pos_]);
    switch (c) {
      case '{':
      case '(':
        ++pos_;
        return ParseGroup(c == '{');
      case '[':
        ++pos_;
        return ParseClass();
      case '\\':
        ++pos_;
        return ParseEscape();
      case '!': {
        ++pos_;
        ++depth_;
        NodePtr operand = ParseSe();
        --depth_;
        if (!operand) return nullptr;
        NodePtr negation = MakeNode(Kind::kNot);
        negation->mayBeEmpty = operand->mayBeEmpty;
        negation->kids.push_back(std::move(operand));
        return negation;
      }
      case '}':
      case ']':
      case ')':
        return nullptr;
      case '.':
        ++pos_;
        return MakeNode(Kind::kAny);
      case '$':
        if (pos_ + 1 == text_.size()) {
          ++pos_;
          return MakeNode(Kind::kEnd);
        }
        break;
      default:
        break;
    }
    ++pos_;
    return Literal(c);
  }

  NodePtr Literal(unsigned char c) {
    NodePtr node = MakeNode(Kind::kChar);
    node->ch = c;
    return node;
  }

  NodePtr ParseGroup(bool matchGroup) {
    const int group = matchGroup ? state_.groups++ : -1;
    ++depth_;
    NodePtr body = ParseRe();
    --depth_;
    if (state_.error) return nullptr;
    if (!Take(matchGroup ? '}' : ')')) return Fail();
    NodePtr node = MakeNode(Kind::kGroup);
    node->index = group;
    node->mayBeEmpty = body->mayBeEmpty;
    node->kids.push_back(std::move(body));
    return node;
  }

  NodePtr ParseClass() {
    if (Take(']')) return Fail();
    const bool negated = Take('^');
    if (Take(']')) return Fail();
    std::bitset<256> set;
    while (!AtEnd() && !Peek(']')) {
      unsigned char first = static_cast<unsigned char>(text_[pos_++]);
      if (first == '\\') {
        if (AtEnd()) return Fail();
        first = static_cast<unsigned char>(text_[pos_++]);
        if (first == 't') first = '\t';
      }
      unsigned char last = first;
      if (Take('-')) {
        // The end of a range is taken as written, without escapes.
        if (AtEnd() || Peek(']')) return Fail();
        last = static_cast<unsigned char>(text_[pos_++]);
        if (last < first) return Fail();
      }
      for (int ch = first; ch <= last; ++ch) set.set(static_cast<size_t>(ch));
    }
    if (!Take(']')) return Fail();
    if (negated) set.flip();
    NodePtr node = MakeNode(Kind::kSet);
    node->index = static_cast<int>(state_.sets.size());
    state_.sets.push_back(set);
    return node;
  }

  NodePtr ParseEscape() {
    if (AtEnd()) return Fail();
    const unsigned char c = static_cast<unsigned char>(text_[pos_]);
    if (IsDigit(c)) {
      int64_t group = 0;
      while (!AtEnd() && IsDigit(static_cast<unsigned char>(text_[pos_]))) {
        if (group < 1000000) group = group * 10 + (text_[pos_] - '0');
        ++pos_;
      }
      if (group >= state_.groups) return Fail();
      NodePtr node = MakeNode(Kind::kBackref);
      node->index = static_cast<int>(group);
      return node;
    }
    ++pos_;
    if (const char* expansion = Abbreviation(c)) {
      Parser inner(expansion, state_, depth_ + 1);
      NodePtr node = inner.ParseE();
      if (!node) return Fail();
      return node;
    }
    return Literal(c);
  }

  std::string_view text_;
  SharedState& state_;
  int depth_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<ParsedRegex> ParseAtlRegex(std::string_view pattern) {
  // The original reads a C string.
  pattern = pattern.substr(0, pattern.find('\0'));
  if (pattern.size() > kMaxRegexPatternBytes) return std::nullopt;
  ParsedRegex parsed;
  if (!pattern.empty() && pattern.front() == '^') {
    parsed.anchored = true;
    pattern.remove_prefix(1);
  }
  SharedState state;
  Parser parser(pattern, state, 0);
  parsed.root = parser.ParseRe();
  if (state.error) return std::nullopt;
  parsed.sets = std::move(state.sets);
  parsed.groupCount = state.groups;
  return parsed;
}

}  // namespace zerva
