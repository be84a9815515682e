#include "net/api_result.h"

#include "app/elements.h"

namespace zerva {

void ApiResult::Combine(const ApiResult& other) {
  if (other.code == 0) code = 0;
  if (!other.message.empty()) {
    if (!message.empty()) message += "; ";
    message += other.message;
  }
  if (!other.value.empty()) {
    if (!value.empty()) value += "; ";
    value += other.value;
  }
}

ApiResult ApiResult::Failure(std::string message, std::string errorCode) {
  ApiResult result;
  result.code = 0;
  result.message = std::move(message);
  result.errorCode = std::move(errorCode);
  return result;
}

ApiResult ParseAnswer(std::string_view body) {
  ApiResult result;
  const std::string status = GetElement(body, "result");
  std::string value = GetElement(body, "value");
  if (status == "OK") {
    result.value = std::move(value);
    return result;
  }
  result.code = 0;
  result.message = value.empty() ? std::string(body) : std::move(value);
  result.errorCode = GetElement(body, "errcode");
  return result;
}

}  // namespace zerva
