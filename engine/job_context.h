#pragma once

#include <cstdint>

#include "progress_object.h"

namespace velmora::engine {

// The job state the file drivers read from their caller (in the window program: the main
// window's public members). Sizes are 64-bit so files of 2 GiB and more work.
struct JobContext {
    // Total bytes of the job, for the percentage; 0 counts as 1.
    std::int64_t Afl = 0;
    // 1 while the progress window is shown; only then is `Aclss` called.
    std::int32_t FycVisible = 0;
    // The progress object; may be null while `FycVisible` is 0.
    ProgressObject* Aclss = nullptr;
    // Bytes processed so far in this job; the caller zeroes it, the drivers add to it.
    double ProcessedTotal = 0.0;
};

}  // namespace velmora::engine
