#include "folder_plan.h"

#include <system_error>

#include "folder_walk.h"
#include "target_names.h"

namespace velmora::cli {

std::vector<PlannedFile> PlanFolder(const common::Fso& fso, const std::string& srcRoot,
                                    const std::string& dstRoot, bool decrypt, bool onlyJmw,
                                    bool withSizes, std::vector<std::string>& warnings) {
    std::vector<PlannedFile> plan;
    engine::JobContext noProgress;
    frontend::FSmdcl::FolderWalk walk(
        fso, noProgress, [&plan, withSizes](const frontend::FSmdcl::FilePair& file, std::int32_t) {
            const std::size_t slash = file.target.rfind('/');
            const std::size_t nameAt = file.source.rfind('/') + 1;
            plan.push_back({file.source, file.target.substr(0, slash + 1),
                            file.source.substr(nameAt), file.target,
                            withSizes ? FileSizeOrZero(file.source) : 0});
        });
    walk.FollowFolderLinks(false);
    if (decrypt && onlyJmw) walk.KeepFiles(frontend::FSmdcl::EndsWithJmw);
    walk.SetFolderDirection(decrypt ? 1 : 0);
    walk.RunFolderJob(srcRoot, dstRoot);
    for (const auto& skipped : walk.SkippedFolders()) warnings.push_back(skipped.message);
    return plan;
}

}  // namespace velmora::cli
