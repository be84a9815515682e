// The validation rules of a property-form field, as the service describes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zerva {

enum class ValidatorKind {
  kRegex = 1,      // "regexValidator", parameter "regex"
  kMaxLength = 2,  // "maxLengthValidator", parameter "maxLength"
  kMinLength = 3,  // "minLengthValidator", parameter "minLength"
  kMaxValue = 4,   // "maxValueValidator", parameter "maxValue"
  kMinValue = 5,   // "minValueValidator", parameter "minValue"
  kRequire = 6,    // "requireValidator", no parameter
};

struct Validator {
  ValidatorKind kind = ValidatorKind::kRequire;
  std::string message;    // shown when the check fails
  std::string parameter;  // as received
};

// A validator from its element name and content, for a field of `itemType`. Nothing when the
// name is not a validator's, the message is empty or the kind does not apply to the type.
std::optional<Validator> MakeValidator(std::string_view elementName, std::string_view content,
                                       std::string_view itemType);

// Whether `value` passes the one rule. Lengths are counted in bytes; a regular expression that
// does not parse passes.
bool ValidatorPasses(const Validator& validator, std::string_view value);

// The number a text starts with, as the C library reads one: leading white space, an optional
// sign, decimal digits; 0 when there are none. Out-of-range numbers saturate, so that a huge
// value still fails a maximum. A "%Y-%m-%d %H:%M:%S" date therefore reads as its year.
int64_t NumericValue(std::string_view text);
// The same, saturated to the range of int.
int NumericValueInt(std::string_view text);

}  // namespace zerva
