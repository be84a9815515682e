// What one HTTP exchange looks like to the handlers: the request with its form fields in the
// order received, and the answer to send back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zerva::server {

struct FormField {
  std::string name;
  std::string value;  // text, or the bytes of a file part
  bool isFile = false;
  std::string fileName;  // as the client named the file part
  std::string contentType;

  // MD5 of the value, computed once per request (the block check and the request log both
  // need it).
  const std::string& Digest() const;

 private:
  mutable std::string digest_;
};

using NameValues = std::vector<std::pair<std::string, std::string>>;

struct ServerRequest {
  std::string method;  // "GET" or "POST"
  std::string host;    // Host header without the port, lower case
  std::string path;    // without the query, starts with "/"
  NameValues query;    // decoded query parameters in order
  NameValues headers;
  std::vector<FormField> fields;
  std::string bodyError;  // set when the body could not be read or parsed
  size_t bodyBytes = 0;
  std::string remoteAddr;

  // The first field of that name, or null.
  const FormField* Find(std::string_view name) const;
  // Text of the first field of that name; empty when missing.
  std::string Field(std::string_view name) const;
  bool HasField(std::string_view name) const { return Find(name) != nullptr; }
  // The first query parameter of that name; empty when missing.
  std::string Query(std::string_view name) const;
  std::string Header(std::string_view name) const;  // case-insensitive
  // The body ended with the field "eof" = "1", so it arrived whole.
  bool EndsWithEof() const;
  bool FromLoopback() const;
};

// How the answer leaves the server; a fault may cut the connection after the headers.
enum class Delivery { kNormal, kDropConnection };

struct ServerResponse {
  int status = 200;
  std::string contentType = "text/xml";
  std::string body;
  std::string filePath;  // when set, the file is streamed instead of `body`
  NameValues headers;
  Delivery delivery = Delivery::kNormal;
};

}  // namespace zerva::server
