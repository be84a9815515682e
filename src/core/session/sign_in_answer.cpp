#include "session/sign_in_answer.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/elements.h"
#include "app/text_utils.h"

namespace zerva {
namespace {

int Int32(std::string_view text, std::string_view name) {
  const int64_t value = GetElementInt(text, name);
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::optional<bool> Flag(std::string_view text, std::string_view name) {
  if (GetElement(text, name).empty()) return std::nullopt;
  return GetElementFlag(text, name, false);
}

}  // namespace

SignInAnswer ParseSignInAnswer(std::string_view value) {
  SignInAnswer answer;
  answer.name = GetElement(value, "name");
  answer.setting = GetElement(value, "setting");
  answer.code = GetElement(value, "code");
  answer.timeout = Int32(value, "timeout");
  answer.userId = Int32(value, "userID");
  answer.quota = Int32(value, "quota");
  answer.usedSize = Int32(value, "usedSize");
  answer.emailHistory = GetElements(GetElement(value, "emailHistory"), "emailA");
  answer.userType = Int32(value, "userType");
  answer.lang = Int32(value, "lang");
  answer.watermarkWidth = Int32(value, "watermarkWidth");
  answer.watermarkHeight = Int32(value, "watermarkHeight");
  answer.fullName = GetElement(value, "fullName");
  answer.description =
      NormalizeToLf(GetElement(value, "description"), /*convertBr=*/true, /*flatten=*/false,
                    /*useCrLf=*/false);
  answer.www = GetElement(value, "www");
  ReadUserVariables(answer.setting, &answer.variables);
  const std::string partners = GetElement(value, "partners", &answer.hasPartners);
  if (answer.hasPartners) answer.partners = ParsePartners(partners);
  answer.pageOrder = GetElement(value, "userPageOrder");
  answer.canPublishOnFB = Flag(value, "canPublishOnFB");
  answer.defaultWatermark = Flag(value, "defaultWatermark");
  return answer;
}

}  // namespace zerva
