#include "server/fault_injection.h"

#include <algorithm>

namespace zerva::server {

std::optional<FaultKind> ParseFaultKind(const std::string& text) {
  if (text == "status" || text == "500" || text == "404") return FaultKind::kStatus;
  if (text == "retry") return FaultKind::kRetry;
  if (text == "error") return FaultKind::kError;
  if (text == "drop") return FaultKind::kDrop;
  if (text == "delay") return FaultKind::kDelay;
  if (text == "wrongFileSize") return FaultKind::kWrongFileSize;
  if (text == "truncate") return FaultKind::kTruncate;
  if (text == "contentType") return FaultKind::kContentType;
  return std::nullopt;
}

const char* FaultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::kStatus:
      return "status";
    case FaultKind::kRetry:
      return "retry";
    case FaultKind::kError:
      return "error";
    case FaultKind::kDrop:
      return "drop";
    case FaultKind::kDelay:
      return "delay";
    case FaultKind::kWrongFileSize:
      return "wrongFileSize";
    case FaultKind::kTruncate:
      return "truncate";
    case FaultKind::kContentType:
      return "contentType";
  }
  return "?";
}

void FaultTable::Add(Fault fault) {
  if (fault.remaining < 1) return;
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.push_back(std::move(fault));
}

void FaultTable::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.clear();
  refusedBlocks_.clear();
  uploadDelay = 0;
  optimalNumThreads = 4;
  optimumRequestTime = 2000;
}

std::vector<Fault> FaultTable::Take(const std::vector<std::string>& keys) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Fault> taken;
  for (Fault& f : faults_) {
    const bool matches =
        f.target == "*" || std::find(keys.begin(), keys.end(), f.target) != keys.end();
    if (!matches) continue;
    const bool kindTaken =
        std::any_of(taken.begin(), taken.end(), [&](const Fault& t) { return t.kind == f.kind; });
    if (kindTaken) continue;
    taken.push_back(f);
    --f.remaining;
  }
  faults_.erase(std::remove_if(faults_.begin(), faults_.end(),
                               [](const Fault& f) { return f.remaining <= 0; }),
                faults_.end());
  return taken;
}

size_t FaultTable::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return faults_.size();
}

void FaultTable::RefuseBlock(const std::string& md5, int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (count > 0) refusedBlocks_[md5] += count;
}

bool FaultTable::ConsumeRefusedBlock(const std::string& md5) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = refusedBlocks_.find(md5);
  if (it == refusedBlocks_.end()) return false;
  if (--it->second <= 0) refusedBlocks_.erase(it);
  return true;
}

}  // namespace zerva::server
