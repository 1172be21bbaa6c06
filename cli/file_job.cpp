#include "file_job.h"

#include <random>
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

std::vector<Planned> PlanFiles(const JobOptions& options) {
    std::error_code ec;
    if (options.outputFolder && !fs::is_directory(*options.outputFolder, ec)) {
        throw common::Error("The output folder " + *options.outputFolder + " does not exist.");
    }
    std::vector<Planned> files;
    for (const std::string& source : options.sources) {
        const fs::path path(source);
        if (!fs::exists(path, ec)) throw common::Error("The source " + source + " does not exist.");
        if (fs::is_directory(path, ec)) {
            throw common::Error("The source " + source + " is a folder; give files.");
        }
        fs::path folder =
            options.outputFolder ? fs::path(*options.outputFolder) : path.parent_path();
        if (folder.empty()) folder = ".";
        // Appending an empty name leaves exactly one "/" at the end.
        files.push_back({path, (folder / "").string(), path.filename().string()});
    }
    return files;
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

}  // namespace

std::vector<fs::path> RunFileJob(const JobOptions& options, Direction direction,
                                 const JobEnvironment& env) {
    const int keySources = (options.passwordStdin ? 1 : 0) + (options.passwordFile ? 1 : 0) +
                           (options.lockFile ? 1 : 0);
    if (keySources > 1) {
        throw UsageError("Give one key source: --password-stdin, --password-file or --lock-file.");
    }
    const std::vector<Planned> files = PlanFiles(options);
    const bool encrypt = direction == Direction::Encrypt;

    engine::Jmi jmi(env.timer, env.stateFolder);
    PrepareKey(jmi, options, direction, env.passwordInput);
    if (Interrupted()) throw Cancelled();  // Ctrl-C at the password prompt
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
        if (Interrupted()) throw Cancelled();
        const fs::path target = encrypt
                                    ? frontend::FSmdcl::EncTargetName(fso, file.folder, file.name)
                                    : frontend::FSmdcl::DecTargetName(fso, file.folder, file.name);
        if (encrypt) {
            jmi.EncryptFile(file.source, target, job);
        } else {
            jmi.DecryptFile(file.source, target, job);
        }
        progress.CFmunload();
        if (progress.CancelSeen()) {
            fs::remove(target, ec);
            throw Cancelled();
        }
        done.push_back(target);
        if (env.report != nullptr) {
            std::fprintf(env.report, "%s -> %s\n", file.source.c_str(), target.c_str());
            std::fflush(env.report);
        }
    }
    return done;
}

}  // namespace velmora::cli
