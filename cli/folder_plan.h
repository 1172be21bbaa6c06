#pragma once

#include <string>
#include <vector>

#include "fso.h"
#include "parallel_job.h"

namespace velmora::cli {

// Plans a folder SOURCE with the window's folder walk: the tree below `srcRoot` is mirrored
// under `dstRoot` (its folders, empty ones too, are made now, in walk order) and every file
// gets its target name, chosen as a sequential walk chooses it. Linked folders are not
// entered; `onlyJmw` leaves out files whose names do not end in ".jmw" (in any case). Folders
// that cannot be listed are left out and described in `warnings`. Throws `common::Error`
// when the source cannot be listed or a target folder cannot be made. File sizes (one more
// stat per file) are read only `withSizes`; otherwise they are left 0.
std::vector<PlannedFile> PlanFolder(const common::Fso& fso, const std::string& srcRoot,
                                    const std::string& dstRoot, bool decrypt, bool onlyJmw,
                                    bool withSizes, std::vector<std::string>& warnings);

}  // namespace velmora::cli
