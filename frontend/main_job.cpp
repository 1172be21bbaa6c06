#include "main_job.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "binary_file.h"
#include "folder_walk.h"
#include "job_errors.h"
#include "key_file.h"
#include "progress_client.h"
#include "target_names.h"
#include "texts.h"
#include "timer.h"

namespace velmora::frontend {

namespace {

std::vector<double> Samples(const std::array<double, 21>& Timb) {
    return std::vector<double>(Timb.begin() + 1, Timb.end());
}

// 0 when `folder` can be listed, else the error number.
int ListError(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errno;
    ::closedir(dir);
    return 0;
}

// 0 when `folder` exists or could be made in its existing parent, else why not. Nothing is
// created: a file in its place or a parent that takes no new entries is what stops the walk.
int MakeFolderError(const std::string& folder) {
    const std::filesystem::path path = std::filesystem::path(folder).parent_path();  // no "/"
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : EEXIST;
    if (::access(path.parent_path().c_str(), W_OK | X_OK) != 0) return errno;
    return 0;
}

// One file of a single-file job or of a walk, with the failure put into the window's words.
void CodeFile(engine::Jmi& jmi, std::int32_t direction, const std::string& source,
              const std::string& target, engine::JobContext& job) {
    CheckSourceFile(source);
    try {
        if (direction == 0) {
            jmi.EncryptFile(source, target, job);
        } else {
            jmi.DecryptFile(source, target, job);
        }
    } catch (const ProgressServerError&) {
        throw;
    } catch (const JobError&) {
        throw;
    } catch (const common::Error&) {
        throw JobError(ExplainFileFailure(source, target, direction));
    }
}

// The walk's own failures (its root cannot be listed, a target folder cannot be made) come
// with the walk's text; find which folder it was and say why in the window's words.
std::string ExplainWalkFailure(const FSmdcl::FolderWalk& walk, const std::string& srcRoot,
                               const std::string& dstRoot) {
    if (const int error = ListError(srcRoot); error != 0) {
        return texts::FolderUnlistable(srcRoot, texts::ReasonOf(error));
    }
    for (std::size_t i = 1; i < walk.FolderList.size(); ++i) {
        const std::string& src = walk.FolderList[i];
        const std::string dst = dstRoot + src.substr(std::min(src.size(), srcRoot.size()));
        if (const int error = MakeFolderError(dst); error != 0) {
            return texts::FolderUncreatable(dst, texts::ReasonOf(error));
        }
    }
    if (const int error = ListError(dstRoot); error != 0) {
        return texts::FolderUnlistable(dstRoot, texts::ReasonOf(error));
    }
    return texts::FolderUnlistable(srcRoot, texts::ReasonOf(EIO));
}

void RunFolder(std::int32_t direction, MainState& s, const JobInput& input, JobServices& services,
               JobWindow& window) {
    CheckTargetFolder(s.Amb);
    window.Fyc();
    s.Afl = FSmdcl::JobSize(services.fso, s.Yw);
    if (direction == 0) services.jmi.SeedTimeTable(Samples(input.Timb));
    engine::Jmi& jmi = services.jmi;
    FSmdcl::FolderWalk walk(services.fso, s,
                            [&jmi, &s](const FSmdcl::FilePair& file, std::int32_t folderDecrypt) {
                                CodeFile(jmi, folderDecrypt, file.source, file.target, s);
                            });
    walk.SetFolderDirection(direction);
    try {
        walk.RunFolderJob(s.Yw, s.Amb);
    } catch (const ProgressServerError&) {
        throw;
    } catch (const JobError&) {
        throw;
    } catch (const common::Error&) {
        throw JobError(ExplainWalkFailure(walk, s.Yw, s.Amb));
    }
}

void RunOneFile(std::int32_t direction, MainState& s, const JobInput& input, JobServices& services,
                JobWindow& window) {
    CheckSourceFile(s.Yw);
    CheckTargetFolder(s.Amb);
    s.Afl = common::FileLength(s.Yw);
    if (s.Afl > kProgressThreshold) window.Fyc();
    if (direction == 0) services.jmi.SeedTimeTable(Samples(input.Timb));
    const std::string target = direction == 0 ? FSmdcl::EncTargetName(services.fso, s.Amb, s.Ywb)
                                              : FSmdcl::DecTargetName(services.fso, s.Amb, s.Ywb);
    window.ShowTarget(target);
    CodeFile(services.jmi, direction, s.Yw, target, s);
}

// Brings the window back after a failure; a progress server that fails here too changes
// nothing about what the user is told.
void WindowBack(JobWindow& window) {
    try {
        window.Fxs();
    } catch (const std::exception&) {
    }
}

}  // namespace

void ReadKeyFile(const std::string& path, std::vector<std::uint8_t>& Amwb) {
    CheckKeyFile(path);
    std::vector<std::uint8_t> bytes;
    try {
        bytes = FmimaDuchu(path);
    } catch (const common::Error&) {
        throw JobError(texts::KeyFileUnreadable(path, texts::ReasonOf(EIO)));
    }
    if (bytes.empty()) throw JobError(texts::KeyFileEmpty(path));
    Amwb = std::move(bytes);
}

std::string ElapsedText(float seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(seconds));
    return text;
}

JobOutcome RunJob(std::int32_t direction, MainState& s, std::vector<std::uint8_t>& Amwb,
                  const JobInput& input, JobServices& services, JobWindow& window) {
    s.Tima = common::Timer();
    if (s.Ab == 0 || s.Ac == 0) return JobOutcome::kNotStarted;
    // Decryption never compares: a wrong key only gives a wrong file, which the user sees.
    if (direction == 0 && s.Fmaqra == 1 && input.confirmationShown &&
        input.confirmation != input.password) {
        window.Notice(texts::kPasswordMismatch);
        window.ClearPasswords();
        return JobOutcome::kMismatch;
    }
    std::string failure;
    try {
        if (s.Cmwa == 1 || s.Cmwb == 1) {
            ReadKeyFile(s.Amw, Amwb);
            services.jmi.SetKeyFromBytes(Amwb, direction);
        } else {
            services.jmi.SetKeyFromPassword(input.password, direction);
        }
        s.ProcessedTotal = 0;
        if (s.A == 1) {
            RunFolder(direction, s, input, services, window);
        } else {
            RunOneFile(direction, s, input, services, window);
        }
        s.Tima = static_cast<float>(common::Timer() - s.Tima);
        if (direction == 0) {
            try {
                services.jmi.SaveChaosState();
            } catch (const common::Error&) {
                failure = texts::ChaosStateUnwritable(services.jmi.ChaosStatePath().string());
            }
        }
        window.ShowElapsed(s.Tima);
        window.Fxs();
        if (!failure.empty()) window.Notice(failure);
        return JobOutcome::kFinished;
    } catch (const ProgressServerError& e) {
        failure = texts::ProgressServerFailed(e.what());
    } catch (const JobError& e) {
        failure = e.what();
    } catch (const std::exception&) {
        failure = texts::FileFailed(s.Yw, s.Amb, texts::ReasonOf(EIO));
    }
    WindowBack(window);
    window.Notice(failure);
    return JobOutcome::kFailed;
}

}  // namespace velmora::frontend
