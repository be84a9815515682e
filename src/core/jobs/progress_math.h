// The arithmetic of the job engine's overall percentage and time estimate, kept apart from the
// threads so that the numbers can be checked on their own.
#pragma once

#include <cstdint>

namespace zerva {

// The remaining time shown until enough of the run has passed to extrapolate from it.
inline constexpr int64_t kDefaultRemainingSeconds = 180;

// The total weight of a run: the jobs' weights plus a reserve that keeps the percentage below
// 100 for the work done after the jobs (the verification of the uploads).
int64_t WeightWithReserve(int64_t jobsWeight);

// The point of the overall percentage reached after `done` of `total` weight (floating point).
double RangePoint(int64_t done, int64_t total);
// The same point as the whole percentage the engine reports, 0 to 100.
int OverallPercent(int64_t done, int64_t total);

// Seconds still to go: extrapolated from the elapsed time once more than 10 % and more than
// 10 seconds have passed, 180 before.
int64_t EstimateRemainingSeconds(int percent, int64_t elapsedSeconds);

// The remaining seconds in the high bits above bit 16 and the elapsed seconds in the low 16 bits.
int64_t PackTime(int64_t remainingSeconds, int64_t elapsedSeconds);
int64_t PackedRemainingSeconds(int64_t packedTime);
int PackedElapsedSeconds(int64_t packedTime);

// A listener's count of bytes the service confirmed: a count above 0 adds to it, otherwise a
// total of 0 or more replaces it.
void ApplyJobsBytes(int64_t& counter, int64_t count, int64_t total);

}  // namespace zerva
