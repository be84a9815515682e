#include "server/request_log.h"

#include "server/form_parser.h"
#include "server/limits.h"

namespace zerva::server {

LoggedRequest RequestLog::Describe(const ServerRequest& req, const std::string& hostHeader,
                                   const std::string& target) {
  LoggedRequest e;
  e.method = req.method;
  e.host = hostHeader;
  e.target = target;
  e.headers = req.headers;
  for (const FormField& f : req.fields) {
    LoggedField lf;
    lf.name = f.name;
    lf.isFile = f.isFile;
    lf.size = static_cast<int64_t>(f.value.size());
    if (f.isFile) {
      lf.fileName = f.fileName;
      lf.md5 = f.Digest();
    } else {
      lf.value = f.value.substr(0, kLogValueBytes);
    }
    e.fields.push_back(std::move(lf));
  }
  if (!req.bodyError.empty()) e.note = "body: " + req.bodyError;
  return e;
}

size_t LoggedRequest::Bytes() const {
  size_t n = target.size() + note.size();
  for (const auto& [name, value] : headers) n += name.size() + value.size();
  for (const LoggedField& f : fields) n += f.name.size() + f.value.size() + f.fileName.size();
  return n;
}

void RequestLog::Add(LoggedRequest entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  entry.seq = nextSeq_++;
  bytes_ += entry.Bytes();
  entries_.push_back(std::move(entry));
  while (entries_.size() > 1 && (entries_.size() > kLogEntries || bytes_ > kLogTotalBytes)) {
    bytes_ -= entries_.front().Bytes();
    entries_.pop_front();
  }
}

void RequestLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
  bytes_ = 0;
}

std::string RequestLog::Serialize(int64_t since) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string out;
  for (const LoggedRequest& e : entries_) {
    if (e.seq <= since) continue;
    out += "request " + std::to_string(e.seq) + " " + PercentEncode(e.method) + " " +
           PercentEncode(e.host) + " " + PercentEncode(e.target) + " " + std::to_string(e.status) +
           " " + PercentEncode(e.note) + "\n";
    for (const auto& [name, value] : e.headers) {
      out += "header " + PercentEncode(name) + " " + PercentEncode(value) + "\n";
    }
    for (const LoggedField& f : e.fields) {
      if (f.isFile) {
        out += "file " + PercentEncode(f.name) + " " + PercentEncode(f.fileName) + " " +
               std::to_string(f.size) + " " + f.md5 + "\n";
      } else {
        out += "field " + PercentEncode(f.name) + " " + PercentEncode(f.value) + " " +
               std::to_string(f.size) + "\n";
      }
    }
    out += "end\n";
  }
  return out;
}

}  // namespace zerva::server
