#include "category/atl_regex.h"

#include <utility>

#include "category/atl_regex_syntax.h"

namespace zerva {

// Turns the parse tree into a program for the backtracking matcher below.
class AtlRegexCompiler {
 public:
  explicit AtlRegexCompiler(AtlRegex& re) : re_(re) {}

  void Compile(const RegexNode& node) {
    using Kind = RegexNode::Kind;
    using Op = AtlRegex::Op;
    switch (node.kind) {
      case Kind::kChar:
        Emit(Op::kChar).ch = node.ch;
        break;
      case Kind::kAny:
        Emit(Op::kAny);
        break;
      case Kind::kSet:
        Emit(Op::kSet).a = node.index;
        break;
      case Kind::kEnd:
        Emit(Op::kEnd);
        break;
      case Kind::kBackref:
        Emit(Op::kBackref).a = node.index;
        break;
      case Kind::kSeq:
        for (const auto& kid : node.kids) Compile(*kid);
        break;
      case Kind::kGroup:
        if (node.index >= 0) Emit(Op::kGroupOpen).a = node.index;
        Compile(*node.kids[0]);
        if (node.index >= 0) Emit(Op::kGroupClose).a = node.index;
        break;
      case Kind::kAlt:
        CompileAlternation(node);
        break;
      case Kind::kNot: {
        const int at = Here();
        Emit(Op::kNot);
        Compile(*node.kids[0]);
        Emit(Op::kMatch);
        re_.program_[at].a = Here();
        break;
      }
      case Kind::kRepeat:
        CompileRepeat(node);
        break;
    }
  }

  void Finish() { Emit(AtlRegex::Op::kMatch); }

 private:
  int Here() const { return static_cast<int>(re_.program_.size()); }
  AtlRegex::Inst& Emit(AtlRegex::Op op) {
    re_.program_.push_back(AtlRegex::Inst{op});
    return re_.program_.back();
  }
  // A split that prefers `first` when greedy and `second` otherwise.
  void SetSplit(int at, int first, int second, bool greedy) {
    re_.program_[at].a = greedy ? first : second;
    re_.program_[at].b = greedy ? second : first;
  }

  void CompileAlternation(const RegexNode& node) {
    std::vector<int> jumps;
    for (size_t i = 0; i < node.kids.size(); ++i) {
      if (i + 1 == node.kids.size()) {
        Compile(*node.kids[i]);
        break;
      }
      const int split = Here();
      Emit(AtlRegex::Op::kSplit);
      Compile(*node.kids[i]);
      jumps.push_back(Here());
      Emit(AtlRegex::Op::kJump);
      SetSplit(split, split + 1, Here(), true);
    }
    for (int jump : jumps) re_.program_[jump].a = Here();
  }

  // Loops record where each pass began and refuse a pass that consumed nothing, so that an
  // expression that can match empty cannot spin.
  void CompileRepeat(const RegexNode& node) {
    using Op = AtlRegex::Op;
    const RegexNode& body = *node.kids[0];
    if (node.quantifier == '?') {
      const int split = Here();
      Emit(Op::kSplit);
      Compile(body);
      SetSplit(split, split + 1, Here(), node.greedy);
      return;
    }
    const int slot = re_.loopCount_++;
    if (node.quantifier == '*') {
      Emit(Op::kLoopMark).a = slot;
      const int split = Here();
      Emit(Op::kSplit);
      Compile(body);
      Emit(Op::kLoopCheck).a = slot;
      Emit(Op::kLoopMark).a = slot;
      Emit(Op::kJump).a = split;
      SetSplit(split, split + 1, Here(), node.greedy);
      return;
    }
    // '+': the first pass may be empty, the further ones may not.
    AtlRegex::Inst& reset = Emit(Op::kLoopMark);
    reset.a = slot;
    reset.b = 1;
    const int start = Here();
    Compile(body);
    Emit(Op::kLoopCheck).a = slot;
    Emit(Op::kLoopMark).a = slot;
    const int split = Here();
    Emit(Op::kSplit);
    SetSplit(split, start, split + 1, node.greedy);
  }

  AtlRegex& re_;
};

// Runs a program with an explicit backtracking stack, so that long values do not deepen the
// native stack; only a negation recurses, as deep as negations nest in the pattern.
class AtlRegexMatcher {
 public:
  AtlRegexMatcher(const AtlRegex& re, std::string_view text, int64_t budget)
      : re_(re), text_(text), budget_(budget) {}

  void ResetSlots() {
    slots_.assign(static_cast<size_t>(3 * re_.groupCount_ + re_.loopCount_), -1);
  }

  // `matchEnd`: where a match ended.
  RegexOutcome Run(int pc, int pos, int* matchEnd) {
    using Op = AtlRegex::Op;
    std::vector<Frame> stack;
    const int size = static_cast<int>(text_.size());
    while (true) {
      if (--budget_ < 0 || stack.size() > kMaxFrames) return RegexOutcome::kGaveUp;
      const AtlRegex::Inst& in = re_.program_[static_cast<size_t>(pc)];
      bool ok = true;
      switch (in.op) {
        case Op::kChar:
          ok = pos < size && static_cast<unsigned char>(text_[pos]) == in.ch;
          if (ok) ++pos, ++pc;
          break;
        case Op::kAny:
          ok = pos < size;
          if (ok) ++pos, ++pc;
          break;
        case Op::kSet:
          ok = pos < size &&
               re_.sets_[static_cast<size_t>(in.a)].test(static_cast<unsigned char>(text_[pos]));
          if (ok) ++pos, ++pc;
          break;
        case Op::kEnd:
          ok = pos == size;
          ++pc;
          break;
        case Op::kBackref: {
          const int start = slots_[static_cast<size_t>(3 * in.a + 1)];
          const int end = slots_[static_cast<size_t>(3 * in.a + 2)];
          // A group that has not matched yet stands for nothing.
          const int length = start >= 0 && end > start ? end - start : 0;
          ok = length <= size - pos &&
               text_.substr(static_cast<size_t>(pos), static_cast<size_t>(length)) ==
                   text_.substr(static_cast<size_t>(start < 0 ? 0 : start),
                                static_cast<size_t>(length));
          if (ok) pos += length, ++pc;
          break;
        }
        case Op::kSplit:
          stack.push_back({Frame::kBranch, in.b, pos});
          pc = in.a;
          break;
        case Op::kJump:
          pc = in.a;
          break;
        case Op::kGroupOpen:
          Set(stack, 3 * in.a, pos);
          ++pc;
          break;
        case Op::kGroupClose:
          Set(stack, 3 * in.a + 1, slots_[static_cast<size_t>(3 * in.a)]);
          Set(stack, 3 * in.a + 2, pos);
          ++pc;
          break;
        case Op::kLoopMark:
          Set(stack, LoopSlot(in.a), in.b == 1 ? -1 : pos);
          ++pc;
          break;
        case Op::kLoopCheck:
          ok = slots_[static_cast<size_t>(LoopSlot(in.a))] != pos;
          ++pc;
          break;
        case Op::kNot: {
          // Zero width: whatever the operand matched or captured is forgotten.
          const std::vector<int> saved = slots_;
          const RegexOutcome inner = Run(pc + 1, pos, nullptr);
          slots_ = saved;
          if (inner == RegexOutcome::kGaveUp) return inner;
          ok = inner == RegexOutcome::kNoMatch;
          pc = in.a;
          break;
        }
        case Op::kMatch:
          if (matchEnd != nullptr) *matchEnd = pos;
          return RegexOutcome::kMatch;
      }
      if (ok) continue;
      // Back to the latest open choice, undoing what was recorded since.
      while (true) {
        if (stack.empty()) return RegexOutcome::kNoMatch;
        const Frame frame = stack.back();
        stack.pop_back();
        if (frame.kind == Frame::kUndo) {
          slots_[static_cast<size_t>(frame.a)] = frame.b;
          continue;
        }
        pc = frame.a;
        pos = frame.b;
        break;
      }
    }
  }

 private:
  struct Frame {
    enum Kind : uint8_t { kBranch, kUndo } kind;
    int32_t a;  // branch: program counter; undo: slot
    int32_t b;  // branch: position; undo: the slot's previous value
  };
  // Bounds the memory of one run along with the step budget.
  static constexpr size_t kMaxFrames = 1 << 20;

  int LoopSlot(int loop) const { return 3 * re_.groupCount_ + loop; }
  void Set(std::vector<Frame>& stack, int slot, int value) {
    int& cell = slots_[static_cast<size_t>(slot)];
    stack.push_back({Frame::kUndo, slot, cell});
    cell = value;
  }

  const AtlRegex& re_;
  std::string_view text_;
  int64_t budget_;
  std::vector<int> slots_;
};

std::optional<AtlRegex> AtlRegex::Compile(std::string_view pattern) {
  std::optional<ParsedRegex> parsed = ParseAtlRegex(pattern);
  if (!parsed) return std::nullopt;
  AtlRegex re;
  re.sets_ = std::move(parsed->sets);
  re.groupCount_ = parsed->groupCount;
  re.anchored_ = parsed->anchored;
  AtlRegexCompiler compiler(re);
  compiler.Compile(*parsed->root);
  compiler.Finish();
  return re;
}

RegexOutcome AtlRegex::Search(std::string_view value, int64_t stepBudget, RegexSpan* span) const {
  value = value.substr(0, value.find('\0'));
  // Positions are kept as int.
  if (value.size() > (1u << 30)) return RegexOutcome::kGaveUp;
  AtlRegexMatcher matcher(*this, value, stepBudget);
  const size_t last = anchored_ || value.empty() ? 0 : value.size() - 1;
  for (size_t start = 0; start <= last; ++start) {
    matcher.ResetSlots();
    int end = 0;
    const RegexOutcome outcome = matcher.Run(0, static_cast<int>(start), &end);
    if (outcome == RegexOutcome::kMatch && span != nullptr) {
      span->begin = start;
      span->end = static_cast<size_t>(end);
    }
    if (outcome != RegexOutcome::kNoMatch) return outcome;
  }
  return RegexOutcome::kNoMatch;
}

bool RegexAccepts(std::string_view pattern, std::string_view value) {
  const std::optional<AtlRegex> re = AtlRegex::Compile(pattern);
  if (!re) return true;
  return re->Search(value) != RegexOutcome::kNoMatch;
}

}  // namespace zerva
