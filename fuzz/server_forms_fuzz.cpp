// Request bodies as zerva-server receives them: URL-encoded forms, query strings and multipart
// bodies, all from untrusted clients.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/form_parser.h"
#include "server/multipart_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<zerva::server::FormField> fields;
  std::string error;
  zerva::server::ParseUrlEncoded(input, &fields, &error);
  zerva::server::ParseQuery(input);
  // The boundary is the first line; the body is the rest.
  const size_t newline = input.find('\n');
  const std::string_view boundary =
      newline == std::string_view::npos ? std::string_view("b") : input.substr(0, newline);
  const std::string_view body =
      newline == std::string_view::npos ? input : input.substr(newline + 1);
  fields.clear();
  if (zerva::server::ParseMultipart(body, boundary, &fields, &error)) {
    size_t total = 0;
    for (const auto& field : fields) total += field.value.size();
    if (total > body.size()) __builtin_trap();
  }
  return 0;
}
