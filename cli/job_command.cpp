// What the encrypt and decrypt commands share: their options and how a job's outcome
// becomes a message and an exit status.

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "error.h"
#include "file_job.h"
#include "interrupt.h"
#include "state_folder.h"

namespace velmora::cli {

namespace {

// The processors this process may run on.
int UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
}

}  // namespace

void AddJobOptions(CLI::App& command, JobOptions& options) {
    command
        .add_option("SOURCE", options.sources,
                    "Files and folders to process. A folder's whole tree is mirrored into the "
                    "output folder; a link to a file is processed as that file, links to "
                    "folders are not followed")
        ->required();
    command.add_option("-o,--output", options.outputFolder,
                       "Folder for the new files, made when missing (default: each source's "
                       "folder; a folder's tree goes into the folder itself)");
    options.jobs = UsableCores();
    command
        .add_option("-j,--jobs", options.jobs,
                    "Files processed at a time (default: the number of usable cores)")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str();
    auto* stdinFlag = command.add_flag("--password-stdin", options.passwordStdin,
                                       "Read the password as one line from standard input");
    auto* passwordFile = command.add_option("--password-file", options.passwordFile,
                                            "Use a password file's first 500000 bytes as the key");
    auto* lockFile = command.add_option("--lock-file", options.lockFile,
                                        "Use a lock file's first 500000 bytes as the key");
    stdinFlag->excludes(passwordFile)->excludes(lockFile);
    passwordFile->excludes(lockFile);
    command.add_flag("-q,--quiet", options.quiet, "No progress bar and no report lines");
}

int RunJobCommand(const JobOptions& options, Direction direction) {
    JobEnvironment env;
    env.drawProgress = !options.quiet && isatty(fileno(stderr)) != 0;
    env.report = options.quiet ? nullptr : stdout;
    try {
        env.stateFolder = direction == Direction::Encrypt ? StateFolder() : std::filesystem::path();
        RunFileJob(options, direction, env);
        return kExitOk;
    } catch (const Cancelled& e) {
        const int signal = e.Signal() != 0 ? e.Signal() : SIGINT;
        std::fprintf(stderr, "\nvelmora-cli: Stopped by %s.%s\n", SignalName(signal),
                     e.FileRemoved() ? " The unfinished file was removed." : "");
        return 128 + signal;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "velmora-cli: %s\n", e.what());
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-cli: %s\n", e.what());
        return kExitFailure;
    }
}

}  // namespace velmora::cli
