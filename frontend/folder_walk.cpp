#include "folder_walk.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "binary_file.h"
#include "error.h"
#include "target_names.h"

namespace velmora::frontend::FSmdcl {

namespace {

namespace fs = std::filesystem;

// The folder list starts with room for 2001 entries and grows by 1000, so a large tree is
// listed with few reallocations.
constexpr std::int32_t kFirstFolderCap = 2000;
constexpr std::int32_t kFolderCapStep = 1000;

std::string WithSlash(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

// A linked folder that resolves to a folder on its own way down from the root would be walked
// again inside itself until the system refuses the path, copying the tree dozens of times.
// Links elsewhere are followed like any folder.
bool LeadsBackUp(const std::string& root, const std::string& parent, const std::string& child) {
    std::error_code ec;
    if (!fs::is_symlink(fs::path(child), ec)) return false;
    const fs::path target = fs::canonical(fs::path(child), ec);
    if (ec) return false;
    const std::string t = WithSlash(target.string());
    // `parent` and `root` both end in "/"; every folder between them is checked.
    for (std::string folder = parent; folder.size() >= root.size();) {
        const fs::path real = fs::canonical(fs::path(folder), ec);
        if (ec) return false;
        if (WithSlash(real.string()).compare(0, t.size(), t) == 0) return true;
        folder.pop_back();
        const std::size_t slash = folder.rfind('/');
        if (slash == std::string::npos) break;
        folder.resize(slash + 1);
    }
    return false;
}

}  // namespace

std::int64_t JobSize(const common::Fso& fso, const std::string& path) {
    try {
        if (path.empty()) return 0;
        if (fso.fileexists(path)) return common::FileLength(path);
        if (!fso.folderexists(path)) return 0;
        if (fso.VolumeOf(path) == WithSlash(fso.GetAbsolutePathName(path))) {
            return std::max<std::int64_t>(1, fso.UsedSpace(path));
        }
        return fso.FolderSize(path);
    } catch (const std::exception&) {
        // The total only scales the progress bar; without one the bar stands at 100.
        return 0;
    }
}

FolderWalk::FolderWalk(const common::Fso& fso, engine::Jmi& engine, engine::JobContext& job)
    : FolderWalk(fso, job, [&engine, &job](const FilePair& file, std::int32_t folderDecrypt) {
          if (folderDecrypt != 0) {
              engine.DecryptFile(file.source, file.target, job);
          } else {
              engine.EncryptFile(file.source, file.target, job);
          }
      }) {}

FolderWalk::FolderWalk(const common::Fso& fso, engine::JobContext& job, FileStep step)
    : fso_(fso), job_(job), step_(std::move(step)) {}

void FolderWalk::SetFolderDirection(std::int32_t flag) {
    FolderDecrypt = flag != 0 ? 1 : 0;
}

bool FolderWalk::RunFolderJob(const std::string& srcRoot, const std::string& dstRoot) {
    if (srcRoot.empty()) throw common::Error("No source folder has been chosen.");
    if (dstRoot.empty()) throw common::Error("No target folder has been chosen.");
    const std::string src = WithSlash(srcRoot);
    const std::string dst = WithSlash(dstRoot);
    if (!fso_.folderexists(src))
        throw common::Error("The source folder " + src + " does not exist.");
    if (!fso_.folderexists(dst))
        throw common::Error("The target folder " + dst + " does not exist.");

    const std::size_t n = src.size();
    const std::int32_t count = ListFolders(src);
    // An unlistable subfolder is left out quietly; an unlistable source is a failed job.
    if (IsSkipped(src)) throw common::Error(skipped_.front().message);

    for (std::int32_t i = 0; i <= count; ++i) {
        const std::string folder = FolderList[static_cast<std::size_t>(i)];
        const std::string target = i == 0 ? dst : dst + folder.substr(n);
        // The list puts every folder after its parent, so one level is created at a time.
        const bool newTarget = i > 0 && MakeTargetFolder(target);
        if (!ProcessFolderFiles(folder, target, newTarget)) return false;
        if (!GoOn()) return false;
    }
    return true;
}

std::int32_t FolderWalk::ListFolders(const std::string& root) {
    FolderList.clear();
    FolderCap = kFirstFolderCap;
    FolderList.reserve(static_cast<std::size_t>(FolderCap) + 1);
    FolderCount = 0;
    skipped_.clear();
    FolderList.push_back(WithSlash(root));

    AddSubfolders(FolderList[0]);
    // Each pass visits the entries the previous one added, last added first; so every depth
    // is complete before the next begins.
    std::int32_t first = 1;
    std::int32_t last = FolderCount;
    while (last >= first) {
        const std::int32_t before = FolderCount;
        for (std::int32_t i = last; i >= first; --i) {
            AddSubfolders(FolderList[static_cast<std::size_t>(i)]);
        }
        first = before + 1;
        last = FolderCount;
    }
    return FolderCount;
}

void FolderWalk::AddSubfolders(const std::string& folderName) {
    // A copy: `folderName` may be an entry of the list, which moves when the list grows.
    const std::string folder = folderName;
    std::vector<std::string> names;
    try {
        names = fso_.SubFolders(folder);
    } catch (const common::Error& e) {
        skipped_.push_back({folder, e.what()});
        return;
    }
    for (const std::string& name : names) {
        const std::string path = folder + name + "/";
        std::error_code ec;
        if (!followLinks_ && fs::is_symlink(fs::path(folder + name), ec)) continue;
        if (LeadsBackUp(FolderList[0], folder, folder + name)) {
            skipped_.push_back(
                {path, "Not entered: " + path + " is a link back to a folder above it."});
            continue;
        }
        std::int32_t next = 0;
        if (__builtin_add_overflow(FolderCount, 1, &next)) {
            throw common::Error("Too many folders below " + FolderList[0] + ".");
        }
        FolderCount = next;
        if (FolderCount > FolderCap) {
            FolderCap += kFolderCapStep;
            FolderList.reserve(static_cast<std::size_t>(FolderCap) + 1);
        }
        FolderList.push_back(path);
    }
}

std::vector<FilePair> FolderWalk::PlanFolderFiles(const std::string& folder,
                                                  const std::string& dstFolder,
                                                  bool newTarget) const {
    std::vector<FilePair> plan;
    std::set<std::string> reserved;
    for (const std::string& name : fso_.Files(folder)) {
        if (keep_ && !keep_(name)) continue;
        std::string target =
            TargetName(FolderDecrypt != 0, fso_, dstFolder, name, reserved, newTarget);
        reserved.insert(target);
        plan.push_back({folder + name, std::move(target)});
    }
    return plan;
}

bool FolderWalk::MakeTargetFolder(const std::string& dstFolder) const {
    if (fso_.folderexists(dstFolder)) return false;
    fso_.CreateFolder(dstFolder);
    return true;
}

bool FolderWalk::ProcessFolderFiles(const std::string& folder, const std::string& dstFolder,
                                    bool newTarget) {
    if (IsSkipped(folder)) return true;
    for (const FilePair& file : PlanFolderFiles(folder, dstFolder, newTarget)) {
        step_(file, FolderDecrypt);
        if (!GoOn()) return false;
    }
    return true;
}

bool FolderWalk::GoOn() {
    return job_.Aclss == nullptr || job_.Aclss->CFhz() != 0;
}

bool FolderWalk::IsSkipped(const std::string& folder) const {
    return std::any_of(skipped_.begin(), skipped_.end(),
                       [&](const SkippedFolder& s) { return s.folder == folder; });
}

}  // namespace velmora::frontend::FSmdcl
