#include "server/multipart_parser.h"

#include <strings.h>

#include "server/limits.h"

namespace zerva::server {
namespace {

constexpr size_t kMaxPartHeaderBytes = 8192;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         ::strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The value of `key` in a header's parameters ("; name=\"x\""), quotes and \-escapes removed.
bool Parameter(std::string_view header, std::string_view key, std::string* value) {
  size_t pos = 0;
  while ((pos = header.find(';', pos)) != std::string_view::npos) {
    ++pos;
    while (pos < header.size() && (header[pos] == ' ' || header[pos] == '\t')) ++pos;
    if (!StartsWithNoCase(header.substr(pos), key) || pos + key.size() >= header.size() ||
        header[pos + key.size()] != '=')
      continue;
    pos += key.size() + 1;
    value->clear();
    if (pos < header.size() && header[pos] == '"') {
      for (++pos; pos < header.size() && header[pos] != '"'; ++pos) {
        if (header[pos] == '\\' && pos + 1 < header.size()) ++pos;
        *value += header[pos];
      }
    } else {
      while (pos < header.size() && header[pos] != ';') *value += header[pos++];
      while (!value->empty() && value->back() == ' ') value->pop_back();
    }
    return true;
  }
  return false;
}

}  // namespace

std::string MultipartBoundary(std::string_view contentType) {
  if (!StartsWithNoCase(contentType, "multipart/form-data")) return {};
  std::string boundary;
  if (!Parameter(contentType, "boundary", &boundary) || boundary.size() > 70) return {};
  return boundary;
}

bool ParseMultipart(std::string_view body, std::string_view boundary,
                    std::vector<FormField>* fields, std::string* error) {
  fields->clear();
  if (boundary.empty()) {
    *error = "multipart body without boundary";
    return false;
  }
  const std::string delimiter = "\r\n--" + std::string(boundary);
  // The first delimiter may open the body directly, without the line break before it.
  size_t pos;
  if (body.substr(0, delimiter.size() - 2) == std::string_view(delimiter).substr(2)) {
    pos = delimiter.size() - 2;
  } else {
    pos = body.find(delimiter);
    if (pos == std::string_view::npos) {
      *error = "multipart boundary not found";
      return false;
    }
    pos += delimiter.size();
  }
  while (true) {
    if (body.substr(pos, 2) == "--") return true;  // the closing delimiter
    if (body.substr(pos, 2) != "\r\n") break;
    pos += 2;
    const size_t headersEnd = body.find("\r\n\r\n", pos);
    if (headersEnd == std::string_view::npos || headersEnd - pos > kMaxPartHeaderBytes) break;
    FormField field;
    bool named = false;
    for (size_t line = pos; line < headersEnd;) {
      size_t eol = body.find("\r\n", line);
      if (eol == std::string_view::npos || eol > headersEnd) eol = headersEnd;
      const std::string_view header = body.substr(line, eol - line);
      if (StartsWithNoCase(header, "Content-Disposition:")) {
        named = Parameter(header, "name", &field.name);
        std::string fileName;
        if (Parameter(header, "filename", &fileName)) {
          field.isFile = true;
          field.fileName = fileName;
        }
      } else if (StartsWithNoCase(header, "Content-Type:")) {
        std::string_view type = header.substr(13);
        while (!type.empty() && type.front() == ' ') type.remove_prefix(1);
        field.contentType = std::string(type);
      }
      line = eol + 2;
    }
    if (!named || field.name.size() > kMaxFieldNameBytes) {
      *error = "multipart part without a valid name";
      fields->clear();
      return false;
    }
    const size_t contentBegin = headersEnd + 4;
    const size_t contentEnd = body.find(delimiter, contentBegin);
    if (contentEnd == std::string_view::npos) break;
    if (!field.isFile && contentEnd - contentBegin > kMaxTextFieldBytes) {
      *error = "form field too large";
      fields->clear();
      return false;
    }
    if (fields->size() >= kMaxFields) {
      *error = "too many form fields";
      fields->clear();
      return false;
    }
    field.value = std::string(body.substr(contentBegin, contentEnd - contentBegin));
    fields->push_back(std::move(field));
    pos = contentEnd + delimiter.size();
  }
  *error = "malformed or incomplete multipart body";
  fields->clear();
  return false;
}

}  // namespace zerva::server
