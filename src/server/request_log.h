// Every request the service answered, with its fields in the order received, so that tests can
// check the client's wire format exactly. Kept in memory: the newest kLogEntries requests, and
// no more than kLogTotalBytes of field values.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "server/request.h"

namespace zerva::server {

struct LoggedField {
  std::string name;
  std::string value;  // text fields; for file parts empty
  bool isFile = false;
  std::string fileName;  // file parts
  int64_t size = 0;      // bytes of the value or the file
  std::string md5;       // file parts
};

struct LoggedRequest {
  int64_t seq = 0;
  std::string method;
  std::string host;    // as sent, with the port
  std::string target;  // path and query
  NameValues headers;
  std::vector<LoggedField> fields;
  int status = 0;
  std::string note;  // faults applied, body errors
  size_t Bytes() const;
};

class RequestLog {
 public:
  // Builds the entry for a request (values cut at kLogValueBytes).
  static LoggedRequest Describe(const ServerRequest& req, const std::string& hostHeader,
                                const std::string& target);
  void Add(LoggedRequest entry);
  void Clear();
  // Entries with seq above `since`, as text lines:
  //   request <seq> <method> <host> <target> <status> <note>
  //   header <name> <value> / field <name> <value> <size> / file <name> <fileName> <size> <md5>
  //   end
  // every item percent-encoded so that a line never breaks.
  std::string Serialize(int64_t since) const;

 private:
  mutable std::mutex mutex_;
  std::deque<LoggedRequest> entries_;
  size_t bytes_ = 0;
  int64_t nextSeq_ = 1;
};

}  // namespace zerva::server
