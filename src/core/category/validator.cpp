#include "category/validator.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

#include "app/elements.h"
#include "category/atl_regex.h"

namespace zerva {
namespace {

struct KindInfo {
  ValidatorKind kind;
  const char* element;
  const char* parameterElement;  // empty: none
  std::initializer_list<std::string_view> types;
};

const KindInfo kKinds[] = {
    {ValidatorKind::kRegex, "regexValidator", "regex", {"string", "int"}},
    {ValidatorKind::kMaxLength, "maxLengthValidator", "maxLength", {"string"}},
    {ValidatorKind::kMinLength, "minLengthValidator", "minLength", {"string"}},
    {ValidatorKind::kMaxValue, "maxValueValidator", "maxValue", {"dateTime", "int"}},
    {ValidatorKind::kMinValue, "minValueValidator", "minValue", {"dateTime", "int"}},
    {ValidatorKind::kRequire,
     "requireValidator",
     "",
     {"string", "int", "select", "bool", "dateTime"}},
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int64_t Length(std::string_view value) {
  return static_cast<int64_t>(value.size());
}

}  // namespace

std::optional<Validator> MakeValidator(std::string_view elementName, std::string_view content,
                                       std::string_view itemType) {
  for (const KindInfo& info : kKinds) {
    if (elementName != info.element) continue;
    Validator validator;
    validator.kind = info.kind;
    validator.message = GetElement(content, "message");
    if (validator.message.empty()) return std::nullopt;
    bool accepted = false;
    for (std::string_view type : info.types) accepted = accepted || type == itemType;
    if (!accepted) return std::nullopt;
    if (*info.parameterElement != '\0') {
      validator.parameter = GetElement(content, info.parameterElement);
    }
    return validator;
  }
  return std::nullopt;
}

bool ValidatorPasses(const Validator& validator, std::string_view value) {
  switch (validator.kind) {
    case ValidatorKind::kRegex:
      return RegexAccepts(validator.parameter, value);
    case ValidatorKind::kMaxLength:
      return Length(value) <= NumericValue(validator.parameter);
    case ValidatorKind::kMinLength:
      return Length(value) >= NumericValue(validator.parameter);
    case ValidatorKind::kMaxValue:
      return NumericValue(value) <= NumericValue(validator.parameter);
    case ValidatorKind::kMinValue:
      return NumericValue(value) >= NumericValue(validator.parameter);
    case ValidatorKind::kRequire:
      return !value.empty();
  }
  return true;
}

int64_t NumericValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    magnitude = magnitude > (kMax - digit) / 10 ? kMax : magnitude * 10 + digit;
  }
  return negative ? -magnitude : magnitude;
}

int NumericValueInt(std::string_view text) {
  const int64_t value = NumericValue(text);
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace zerva
