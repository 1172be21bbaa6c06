#include "file_job.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <set>
#include <system_error>

#include "cli_errors.h"
#include "error.h"
#include "fso.h"
#include "interrupt.h"
#include "jmi.h"
#include "key_source.h"
#include "target_names.h"
#include "terminal_progress.h"
#include "timer.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

struct Planned {
    fs::path source;
    std::string folder;  // target folder, ending in "/"
    std::string name;    // bare source name
};

std::string Reason(int error) {
    return common::SystemReason(error);
}

void CheckOutputFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT)
            throw common::Error("The output folder " + folder + " does not exist.");
        throw common::Error("Cannot use the output folder " + folder + ": " + Reason(error) + ".");
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

// A source must be a regular file that can be opened for reading now.
void CheckSource(const std::string& source) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT) throw common::Error("The source " + source + " does not exist.");
        throw common::Error("Cannot read the source " + source + ": " + Reason(error) + ".");
    }
    if (S_ISDIR(st.st_mode)) {
        throw common::Error("The source " + source + " is a folder; give files.");
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
}

std::vector<Planned> PlanFiles(const JobOptions& options) {
    if (options.outputFolder) CheckOutputFolder(*options.outputFolder);
    std::vector<Planned> files;
    std::set<std::string> folders;
    for (const std::string& source : options.sources) {
        CheckSource(source);
        const fs::path path(source);
        fs::path folder =
            options.outputFolder ? fs::path(*options.outputFolder) : path.parent_path();
        if (folder.empty()) folder = ".";
        // Appending an empty name leaves exactly one "/" at the end.
        files.push_back({path, (folder / "").string(), path.filename().string()});
        if (folders.insert(files.back().folder).second) CheckWritableFolder(files.back().folder);
    }
    return files;
}

// The names the window program gives, moving on past every name found taken when the new
// file is linked into place (by a folder, a dangling link, or another run a moment ago).
engine::TargetChoice TargetFor(const common::Fso& fso, const Planned& file, bool encrypt) {
    return {[&fso, file, encrypt](const std::set<std::string>& taken) {
                return fs::path(
                    encrypt ? frontend::FSmdcl::EncTargetName(fso, file.folder, file.name, taken)
                            : frontend::FSmdcl::DecTargetName(fso, file.folder, file.name, taken));
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
                                    const JobEnvironment& env, bool& fileInHand) {
    const int keySources = (options.passwordStdin ? 1 : 0) + (options.passwordFile ? 1 : 0) +
                           (options.lockFile ? 1 : 0);
    if (keySources > 1) {
        throw UsageError("Give one key source: --password-stdin, --password-file or --lock-file.");
    }
    const std::vector<Planned> files = PlanFiles(options);
    const bool encrypt = direction == Direction::Encrypt;

    engine::Jmi jmi(env.timer, env.stateFolder);
    PrepareKey(jmi, options, direction, env.passwordInput);
    if (Interrupted()) throw Cancelled(InterruptSignal(), false);
    if (encrypt) {
        jmi.EngineStartup();
        jmi.SeedTimeTable(SeedSamples(env.timer ? env.timer() : common::Timer()));
    }

    TerminalProgress progress(env.progressOut, env.drawProgress);
    engine::JobContext job;
    std::error_code ec;
    for (const Planned& file : files)
        job.Afl += static_cast<std::int64_t>(fs::file_size(file.source, ec));
    job.FycVisible = 1;
    job.Aclss = &progress;

    const common::Fso fso;
    std::vector<fs::path> done;
    // The noise state is saved after every encryption command, finished or not.
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

    for (const Planned& file : files) {
        if (Interrupted()) throw Cancelled(InterruptSignal(), false);
        fileInHand = true;
        const engine::TargetChoice target = TargetFor(fso, file, encrypt);
        const fs::path written = encrypt ? jmi.EncryptFile(file.source, target, job)
                                         : jmi.DecryptFile(file.source, target, job);
        progress.CFmunload();
        if (progress.CancelSeen()) throw Cancelled(InterruptSignal(), true);
        fileInHand = false;
        done.push_back(written);
        if (env.report != nullptr) {
            std::fprintf(env.report, "%s -> %s\n", file.source.c_str(), written.c_str());
            std::fflush(env.report);
        }
    }
    return done;
}

}  // namespace

std::vector<fs::path> RunFileJob(const JobOptions& options, Direction direction,
                                 const JobEnvironment& env) {
    bool fileInHand = false;
    try {
        return RunPlannedJob(options, direction, env, fileInHand);
    } catch (const common::Error&) {
        // A signal makes a blocked read or a write fail (EINTR, EFBIG after SIGXFSZ): the job
        // was stopped, and ends as a stop does.
        if (Interrupted()) throw Cancelled(InterruptSignal(), fileInHand);
        throw;
    }
}

}  // namespace velmora::cli
