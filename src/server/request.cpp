#include "server/request.h"

#include <strings.h>

#include "platform/md5.h"

namespace zerva::server {

const std::string& FormField::Digest() const {
  if (digest_.empty()) digest_ = Md5Hex(value);
  return digest_;
}

const FormField* ServerRequest::Find(std::string_view name) const {
  for (const FormField& f : fields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string ServerRequest::Field(std::string_view name) const {
  const FormField* f = Find(name);
  return f ? f->value : std::string();
}

std::string ServerRequest::Query(std::string_view name) const {
  for (const auto& [k, v] : query) {
    if (k == name) return v;
  }
  return {};
}

std::string ServerRequest::Header(std::string_view name) const {
  for (const auto& [k, v] : headers) {
    if (k.size() == name.size() && ::strncasecmp(k.data(), name.data(), k.size()) == 0) return v;
  }
  return {};
}

bool ServerRequest::EndsWithEof() const {
  return !fields.empty() && fields.back().name == "eof" && fields.back().value == "1" &&
         !fields.back().isFile;
}

bool ServerRequest::FromLoopback() const {
  return remoteAddr == "127.0.0.1" || remoteAddr == "::1" || remoteAddr == "::ffff:127.0.0.1" ||
         remoteAddr.rfind("127.", 0) == 0;
}

}  // namespace zerva::server
