#include "jobs/progress_math.h"

#include <algorithm>

namespace zerva {

int64_t WeightWithReserve(int64_t jobsWeight) {
  return jobsWeight + jobsWeight / 20 + 50;
}

double RangePoint(int64_t done, int64_t total) {
  if (total <= 0) return 0.0;
  return static_cast<double>(done) * 100.0 / static_cast<double>(total);
}

int OverallPercent(int64_t done, int64_t total) {
  if (total <= 0) return 0;
  return static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
}

int64_t EstimateRemainingSeconds(int percent, int64_t elapsedSeconds) {
  if (percent <= 10 || elapsedSeconds <= 10) return kDefaultRemainingSeconds;
  // A stray percentage above 100 must not turn into a negative time.
  return std::max<int64_t>(0, elapsedSeconds * 100 / percent - elapsedSeconds);
}

int64_t PackTime(int64_t remainingSeconds, int64_t elapsedSeconds) {
  return (remainingSeconds << 16) | (elapsedSeconds & 0xFFFF);
}

int64_t PackedRemainingSeconds(int64_t packedTime) {
  return packedTime >> 16;
}

int PackedElapsedSeconds(int64_t packedTime) {
  return static_cast<int>(packedTime & 0xFFFF);
}

void ApplyJobsBytes(int64_t& counter, int64_t count, int64_t total) {
  if (count > 0) {
    counter += count;
  } else if (total >= 0) {
    counter = total;
  }
}

}  // namespace zerva
