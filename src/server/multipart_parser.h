// multipart/form-data bodies, parsed in one pass over the whole body: parts stay in the order
// received (text and file parts alike), every bound of limits.h holds, and a body without its
// closing boundary is refused as cut short.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/request.h"

namespace zerva::server {

// The boundary of a "multipart/form-data; boundary=..." content type (quoted or not); empty
// when there is none or it is longer than 70 characters.
std::string MultipartBoundary(std::string_view contentType);
bool ParseMultipart(std::string_view body, std::string_view boundary,
                    std::vector<FormField>* fields, std::string* error);

}  // namespace zerva::server
