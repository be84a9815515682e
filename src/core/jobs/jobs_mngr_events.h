// What listeners of the job manager learn, always on the user-interface thread.
#pragma once

#include <cstdint>

namespace zerva {

class CJobsMngrEvents {
 public:
  virtual ~CJobsMngrEvents() = default;
  // Every job of a run was processed (also after failures); not called for a stopped run.
  virtual void OnJobsFinished() {}
  // The overall progress changed. `packedTime`: see PackTime (jobs/progress_math.h).
  virtual void OnJobsProgress(int64_t /*packedTime*/) {}
  // Bytes the service confirmed; see ApplyJobsBytes (jobs/progress_math.h).
  virtual void OnJobsBytes(int64_t /*count*/, int64_t /*total*/) {}
};

}  // namespace zerva
