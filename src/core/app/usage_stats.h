// The anonymous usage statistic sent once per run at shutdown: machine facts, average transfer
// speeds, the connection test time and the post-upload page's click counters.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace zerva {

class UsageStatistics {
 public:
  // Transfers add (bytes / 128) and (milliseconds / 1000), so speeds come out in kbit/s; only
  // positive amounts count.
  void RecordTransfer(bool upload, double kilobits, double seconds);
  // Convenience for callers that have bytes and milliseconds.
  void RecordTransferBytes(bool upload, int64_t bytes, int64_t milliseconds);
  void SetEchoTime(int64_t milliseconds);
  // Buttons enter the map with count 0 when their page is created; clicks add 1.
  void RegisterButtons(const std::vector<int>& ids);
  void Click(int id);

  int64_t UploadSpeed() const;
  int64_t DownloadSpeed() const;
  std::map<int, int> Clicks() const;
  std::string BuildStatistics() const;

 private:
  mutable std::mutex mutex_;
  double upAmount_ = 0, upSeconds_ = 0, downAmount_ = 0, downSeconds_ = 0;
  int64_t echoMs_ = 0;
  std::map<int, int> clicks_;
};

// The process-wide statistics the transfers feed.
UsageStatistics& AppStatistics();

}  // namespace zerva
