#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fso.h"
#include "jmi.h"
#include "job_context.h"

// The folder-tree job: every file of a source tree is coded into a target tree that mirrors it.
//
// Use from a window (one engine, one progress object, one job at a time):
//
//     FSmdcl::FolderWalk walk(fso, jmi, job);     // job.Aclss set, job.FycVisible = 1
//     job.ProcessedTotal = 0;
//     job.Afl = FSmdcl::JobSize(fso, Yw);
//     walk.SetFolderDirection(0);                 // 0 encrypts, 1 decrypts
//     walk.RunFolderJob(Yw, Amb);                 // throws common::Error; false on cancel
//
// Use from a planner that codes the files elsewhere (e.g. on several workers): pass a step that
// records each pair instead of coding it. Folders are still created in walk order and every
// target name is chosen before the step sees it, so the recorded plan needs nothing else.
//
//     std::vector<FSmdcl::FilePair> plan;
//     FSmdcl::FolderWalk walk(fso, job, [&](const FSmdcl::FilePair& f, std::int32_t) {
//         plan.push_back(f);
//     });
//     walk.SetFolderDirection(1);
//     walk.RunFolderJob(src, dst);
//     for (const auto& s : walk.SkippedFolders()) Warn(s.message);
namespace velmora::frontend::FSmdcl {

// The byte total a job over `path` is measured against: the size of all files below a folder,
// the length of a file, or the used space of the volume when `path` is the root of a mounted
// volume (at least 1 there). Folders below `path` that cannot be read count as empty, as the
// walk leaves them out; any other error gives 0, which the engine measures against 1. 64-bit,
// so trees of 2 GiB and more give their real total.
std::int64_t JobSize(const common::Fso& fso, const std::string& path);

// One file of a walk: its source path and the new target path chosen for it.
struct FilePair {
    std::string source;
    std::string target;
    bool operator==(const FilePair&) const = default;
};

// A folder whose files and subfolders were left out of the walk: it could not be listed, or it
// is a link back to a folder above it. `message` names the folder and the reason.
struct SkippedFolder {
    std::string folder;
    std::string message;
};

class FolderWalk {
  public:
    // Codes one file: `file.target` does not exist yet; `folderDecrypt` is the walk's direction.
    // It throws common::Error on failure, which ends the walk.
    using FileStep = std::function<void(const FilePair& file, std::int32_t folderDecrypt)>;

    // Codes every file with `engine` (EncryptFile or DecryptFile), reporting to `job`.
    FolderWalk(const common::Fso& fso, engine::Jmi& engine, engine::JobContext& job);
    // Hands every file to `step` instead.
    FolderWalk(const common::Fso& fso, engine::JobContext& job, FileStep step);

    // `FolderDecrypt` = 1 when flag is not 0, else 0. Every job sets it first.
    void SetFolderDirection(std::int32_t flag);

    // Whether linked folders are entered (the window's walk: yes, unless they lead back up).
    // When not, they are left out quietly and not recreated; links to files are files either
    // way. The command line enters none, so no link can make a walk repeat itself.
    void FollowFolderLinks(bool follow) { followLinks_ = follow; }
    // Only files whose name `keep` accepts are planned and handed to the step; the others are
    // not seen at all, so they take no target name from the files that are. Empty keeps all.
    void KeepFiles(std::function<bool(const std::string& name)> keep) { keep_ = std::move(keep); }

    // Lists the tree, recreates its folders under `dstRoot` (which must exist) and hands every
    // file to the step. Asks `job.Aclss->CFhz()` after each file and each folder (when a
    // progress object is set) and stops at the first 0: returns false then, true when the
    // whole tree was done. A subfolder that cannot be listed is recreated empty, its contents
    // left out and reported in SkippedFolders(); linked folders are followed unless they lead
    // back up. A missing or unlistable source root, a target folder that cannot be made, or an
    // error of the step throws common::Error; files finished before stay.
    bool RunFolderJob(const std::string& srcRoot, const std::string& dstRoot);

    // Builds `FolderList` for `root`, generation by generation (see AddSubfolders), and returns
    // `FolderCount`. R with subfolders A, B; A holding A1; B holding B1, B2 gives
    // R, A, B, B1, B2, A1.
    std::int32_t ListFolders(const std::string& root);
    // Appends the direct subfolders of `folder` (ending in "/") to `FolderList`. A folder that
    // cannot be listed adds nothing and is recorded in SkippedFolders().
    void AddSubfolders(const std::string& folder);

    // The new target names of the files directly in `folder`, all chosen before any of them is
    // written (names chosen earlier in the same folder count as taken), so files that appear
    // while the folder is worked on are never picked up. In a target folder the walk has just
    // made (`newTarget`) no name can be taken yet, so none is looked up on the disk.
    std::vector<FilePair> PlanFolderFiles(const std::string& folder, const std::string& dstFolder,
                                          bool newTarget = false) const;
    // Creates `dstFolder` when no folder of that path exists; true when it made it.
    bool MakeTargetFolder(const std::string& dstFolder) const;
    // Plans the folder's files, then hands them to the step one by one, asking CFhz after each.
    // Returns false once CFhz said 0. Does nothing for a folder recorded as skipped.
    bool ProcessFolderFiles(const std::string& folder, const std::string& dstFolder,
                            bool newTarget = false);

    // Folders left out of the last walk, in the order they were met.
    const std::vector<SkippedFolder>& SkippedFolders() const { return skipped_; }

    // The state of the last walk. Entry 0 of FolderList is the source root; every entry ends
    // in "/". FolderCap is the room reserved so far: 2000 at first, grown by 1000.
    std::vector<std::string> FolderList;
    std::int32_t FolderCount = 0;
    std::int32_t FolderCap = 0;
    std::int32_t FolderDecrypt = 0;

  private:
    bool GoOn();
    bool IsSkipped(const std::string& folder) const;

    const common::Fso& fso_;
    engine::JobContext& job_;
    FileStep step_;
    std::vector<SkippedFolder> skipped_;
    bool followLinks_ = true;
    std::function<bool(const std::string&)> keep_;
};

}  // namespace velmora::frontend::FSmdcl
