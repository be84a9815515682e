// Validator patterns come from the service and values from the user: any pair must parse and
// match without harm, within the step budget.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "category/atl_regex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The pattern up to the first line feed, the value after it.
  const size_t split = input.find('\n');
  const std::string_view pattern = input.substr(0, split);
  const std::string_view value =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::optional<zerva::AtlRegex> re = zerva::AtlRegex::Compile(pattern);
  if (!re) {
    if (!zerva::RegexAccepts(pattern, value)) std::abort();
    return 0;
  }
  // A small budget keeps the runs fast and exercises giving up.
  constexpr int64_t kBudget = 20000;
  zerva::RegexSpan span;
  const zerva::RegexOutcome first = re->Search(value, kBudget, &span);
  if (first == zerva::RegexOutcome::kMatch && (span.begin > span.end || span.end > value.size())) {
    std::abort();
  }
  // A definite answer does not change with more steps.
  const zerva::RegexOutcome second = re->Search(value, 2 * kBudget);
  if (first != zerva::RegexOutcome::kGaveUp && second != first) std::abort();
  return 0;
}
