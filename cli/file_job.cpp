#include "file_job.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>
#include <set>
#include <system_error>

#include "cli_errors.h"
#include "error.h"
#include "folder_plan.h"
#include "fso.h"
#include "interrupt.h"
#include "jmi.h"
#include "job_progress.h"
#include "key_source.h"
#include "parallel_job.h"
#include "target_names.h"
#include "timer.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) {
    return common::SystemReason(error);
}

// A missing output folder is made, with its parents; anything else in its place is an error.
void MakeOutputFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            throw common::Error("Cannot use the output folder " + folder + ": " + Reason(error) +
                                ".");
        }
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            throw common::Error("Cannot make the output folder " + folder + ": " +
                                Reason(ec.value()) + ".");
        }
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        throw common::Error("The output folder " + folder + " is not a folder.");
    }
}

// A new file needs a folder it may write into; checked for every target folder before the
// first file is written, so a job does not stop half-way for a reason known from the start.
void CheckWritableFolder(const std::string& folder) {
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        const int error = errno;
        throw common::Error("Cannot write into the folder " + folder + ": " + Reason(error) + ".");
    }
}

// A source is a folder that can be listed, or a regular file (or a link to one) that can be
// opened for reading now.
bool CheckSource(const std::string& source) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT) throw common::Error("The source " + source + " does not exist.");
        throw common::Error("Cannot read the source " + source + ": " + Reason(error) + ".");
    }
    if (S_ISDIR(st.st_mode)) {
        if (::access(source.c_str(), R_OK | X_OK) != 0) {
            const int error = errno;
            throw common::Error("Cannot read the folder " + source + ": " + Reason(error) + ".");
        }
        return true;
    }
    if (!S_ISREG(st.st_mode)) {
        throw common::Error("The source " + source + " is not a regular file.");
    }
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw common::Error("Cannot read the source " + source + ": " + Reason(error) + ".");
    }
    ::close(fd);
    return false;
}

std::string WithSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

// Checks every source without touching anything; true for each source that is a folder.
std::vector<bool> CheckSources(const JobOptions& options) {
    std::vector<bool> isFolder;
    for (const std::string& source : options.sources) isFolder.push_back(CheckSource(source));
    return isFolder;
}

// The whole job's plan, made on one thread before any file is coded: every target folder and
// every target name are those a sequential run gives, whatever the number of workers. It runs
// once the sources are checked and the key is prepared, so a bad command line or key makes no
// folder; files given by name come first, then the folders are walked, their trees made and
// their names chosen, in the order they were given. Sizes are read only `withSizes` (for the
// progress bar): on a tree of many small files that stat is a good part of the plan, which
// no number of workers shortens.
std::vector<PlannedFile> PlanJob(const JobOptions& options, const std::vector<bool>& isFolder,
                                 bool encrypt, bool withSizes, const common::Fso& fso,
                                 std::vector<std::string>& warnings) {
    if (options.outputFolder) MakeOutputFolder(*options.outputFolder);

    std::vector<PlannedFile> files;
    std::set<std::string> folders;
    std::set<std::string> reserved;  // names chosen for files given by name
    for (std::size_t i = 0; i < options.sources.size(); ++i) {
        const fs::path path(options.sources[i]);
        if (isFolder[i]) continue;
        fs::path folder =
            options.outputFolder ? fs::path(*options.outputFolder) : path.parent_path();
        if (folder.empty()) folder = ".";
        // Appending an empty name leaves exactly one "/" at the end.
        const std::string target = (folder / "").string();
        const std::string name = path.filename().string();
        if (folders.insert(target).second) CheckWritableFolder(target);
        std::string chosen = frontend::FSmdcl::TargetName(!encrypt, fso, target, name, reserved);
        reserved.insert(chosen);
        files.push_back(
            {path, target, name, std::move(chosen), withSizes ? FileSizeOrZero(path) : 0});
    }
    for (std::size_t i = 0; i < options.sources.size(); ++i) {
        if (!isFolder[i]) continue;
        const std::string root = WithSlash(options.sources[i]);
        const std::string target = options.outputFolder ? WithSlash(*options.outputFolder) : root;
        CheckWritableFolder(target);
        std::vector<PlannedFile> tree =
            PlanFolder(fso, root, target, !encrypt, options.onlyJmw, withSizes, warnings);
        files.insert(files.end(), std::make_move_iterator(tree.begin()),
                     std::make_move_iterator(tree.end()));
    }
    return files;
}

// The planned name first. A name taken meanwhile (by a folder, a dangling link, another run a
// moment ago) moves on to the next number the window program would give, past every name of
// the plan, so two files of one job never meet.
engine::TargetChoice TargetFor(const common::Fso& fso, const PlannedFile& file, bool encrypt,
                               const std::set<std::string>& planned) {
    return {[&fso, &file, &planned, encrypt](const std::set<std::string>& taken) {
                if (taken.empty()) return fs::path(file.target);
                std::set<std::string> reserved = planned;
                reserved.insert(taken.begin(), taken.end());
                return fs::path(
                    frontend::FSmdcl::TargetName(!encrypt, fso, file.folder, file.name, reserved));
            },
            engine::OnCancel::RemovePartial};
}

// The noise generator's seed: the system's random source and the timer.
std::vector<double> SeedSamples(float now) {
    std::random_device random;
    std::vector<double> samples(20);
    samples[0] = now;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        samples[i] = (static_cast<double>(random()) * 4294967296.0 + random()) / 2e14;
    }
    return samples;
}

std::vector<fs::path> RunPlannedJob(const JobOptions& options, Direction direction,
                                    const JobEnvironment& env) {
    const int keySources = (options.passwordStdin ? 1 : 0) + (options.passwordFile ? 1 : 0) +
                           (options.lockFile ? 1 : 0);
    if (keySources > 1) {
        throw UsageError("Give one key source: --password-stdin, --password-file or --lock-file.");
    }
    if (options.jobs < 1) throw UsageError("--jobs needs a number of workers from 1 on.");
    const bool encrypt = direction == Direction::Encrypt;
    const std::vector<bool> isFolder = CheckSources(options);

    // The key is prepared once, and warmed up once, for every worker.
    engine::Jmi jmi(env.timer, env.stateFolder);
    PrepareKey(jmi, options, direction, env.passwordInput);
    if (Interrupted()) throw Cancelled(InterruptSignal(), false);
    jmi.ResetEngine();

    const common::Fso fso;
    std::vector<std::string> warnings;
    const std::vector<PlannedFile> files =
        PlanJob(options, isFolder, encrypt, env.drawProgress, fso, warnings);
    // Folders that cannot be listed are left out, as the window leaves them out; here the
    // user is told which.
    for (const std::string& warning : warnings) {
        if (env.warnings != nullptr)
            std::fprintf(env.warnings, "velmora-cli: left out: %s\n", warning.c_str());
    }
    std::set<std::string> planned;
    std::int64_t totalBytes = 0;
    for (const PlannedFile& file : files) {
        planned.insert(file.target);
        totalBytes += file.size;
    }

    const float now = env.timer ? env.timer() : common::Timer();
    if (encrypt) {
        jmi.EngineStartup();
        jmi.SeedTimeTable(SeedSamples(now));
    }
    // Every further worker reads that key in place and has a noise generator of its own,
    // started from the loaded state and seeded apart from the others.
    const std::size_t workers =
        std::max<std::size_t>(1, std::min(static_cast<std::size_t>(options.jobs), files.size()));
    std::vector<std::unique_ptr<engine::Jmi>> extra;
    std::vector<engine::Jmi*> engines{&jmi};
    for (std::size_t i = 1; i < workers; ++i) {
        auto worker = std::make_unique<engine::Jmi>(env.timer, env.stateFolder);
        worker->ShareKey(jmi);
        if (encrypt) {
            worker->ChaosCoeffs = jmi.ChaosCoeffs;
            worker->SeedTimeTable(SeedSamples(now));
            worker->InitNoiseGenerator();
        }
        engines.push_back(worker.get());
        extra.push_back(std::move(worker));
    }

    // The noise state is saved once, after the job, finished or not.
    struct SaveState {
        engine::Jmi& jmi;
        bool active;
        ~SaveState() {
            if (!active) return;
            try {
                jmi.SaveChaosState();
            } catch (const std::exception&) {
                // Losing one evolution of the noise state weakens nothing already written.
            }
        }
    } saveState{jmi, encrypt};

    JobProgress progress(env.progressOut, env.drawProgress, totalBytes,
                         static_cast<std::int64_t>(files.size()));
    std::vector<fs::path> done;
    const bool finished = RunOnWorkers(
        files, engines,
        [&](engine::Jmi& engine, const PlannedFile& file, engine::JobContext& job) {
            const engine::TargetChoice target = TargetFor(fso, file, encrypt, planned);
            return encrypt ? engine.EncryptFile(file.source, target, job)
                           : engine.DecryptFile(file.source, target, job);
        },
        [&](const PlannedFile& file, const fs::path& written) {
            done.push_back(written);
            if (env.report != nullptr) {
                progress.Print(env.report, file.source.string() + " -> " + written.string() + "\n");
            }
        },
        progress, [] { return Interrupted(); });
    if (!finished) throw Cancelled(InterruptSignal(), true);
    return done;
}

}  // namespace

std::vector<fs::path> RunFileJob(const JobOptions& options, Direction direction,
                                 const JobEnvironment& env) {
    try {
        return RunPlannedJob(options, direction, env);
    } catch (const common::Error&) {
        // A signal makes a blocked read or a write fail (EINTR, EFBIG after SIGXFSZ): the job
        // was stopped, and ends as a stop does.
        if (Interrupted()) throw Cancelled(InterruptSignal(), true);
        throw;
    }
}

}  // namespace velmora::cli
