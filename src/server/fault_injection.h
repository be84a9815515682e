// Faults that tests order through the loopback control endpoint: the next N calls of a script
// answer with an HTTP error, "retry", a refusal, a cut connection, a delay, a wrong file size,
// a truncated body or a wrong content type. Also the tunable answers of the upload scripts and
// block digests the service pretends not to have received intact.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zerva::server {

enum class FaultKind {
  kStatus,         // value: the HTTP status (500, 404, ...); the script does not run
  kRetry,          // <result>retry</result>; the script does not run
  kError,          // a refusal; value "code:message" or a message (code 9); the script does not run
  kDrop,           // the script runs, then the connection is cut after the headers
  kDelay,          // value: milliseconds before the script runs
  kWrongFileSize,  // UploadFile stores the file but reports value (default: size + 1)
  kTruncate,       // the answer body is cut to half its length
  kContentType,    // the answer carries value as content type (default "image/png")
};

// Parses "status", "500", "404", "retry", "error", "drop", "delay", "wrongFileSize",
// "truncate", "contentType".
std::optional<FaultKind> ParseFaultKind(const std::string& text);
const char* FaultKindName(FaultKind kind);

struct Fault {
  std::string target;  // script file ("upload.php"), command ("EmptyAlbum"), path, or "*"
  FaultKind kind = FaultKind::kStatus;
  int remaining = 1;
  std::string value;
};

class FaultTable {
 public:
  void Add(Fault fault);
  void Clear();
  // Consumes one use of the first matching fault of every kind; `keys` are the names the
  // request answers to.
  std::vector<Fault> Take(const std::vector<std::string>& keys);
  size_t Pending() const;

  // A block whose MD5 equals `md5` is not confirmed the next `count` times it arrives.
  void RefuseBlock(const std::string& md5, int count);
  bool ConsumeRefusedBlock(const std::string& md5);

  // Answers the upload scripts give; tests change them.
  std::atomic<int> uploadDelay{0};
  std::atomic<int> optimalNumThreads{4};
  std::atomic<int> optimumRequestTime{2000};

 private:
  mutable std::mutex mutex_;
  std::vector<Fault> faults_;
  std::map<std::string, int> refusedBlocks_;
};

}  // namespace zerva::server
