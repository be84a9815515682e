// The result of every service operation.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

struct ApiResult {
  int code = 1;           // 1: the service answered "OK"; 0: any failure
  std::string message;    // on failure: the service's or the transport's text
  std::string value;      // on success: the answer's payload
  std::string errorCode;  // on failure: the answer's errcode, the HTTP status, or "49"

  bool Ok() const { return code != 0; }
  // Folds a further result in: a failure wins, non-empty texts are joined with "; ".
  void Combine(const ApiResult& other);

  static ApiResult Failure(std::string message, std::string errorCode = {});
};

// `result` exactly "OK": code 1 with `value`. Otherwise code 0, message `value` (the whole body
// when that is empty), error code `errcode`.
ApiResult ParseAnswer(std::string_view body);

}  // namespace zerva
