// What the encrypt and decrypt commands share: their options and how a job's outcome
// becomes a message and an exit status.

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "error.h"
#include "file_job.h"
#include "interrupt.h"
#include "state_folder.h"

namespace velmora::cli {

void AddJobOptions(CLI::App& command, JobOptions& options) {
    command.add_option("SOURCE", options.sources, "Files to process")->required();
    command.add_option("-o,--output", options.outputFolder,
                       "Folder for the new files (default: each source's folder)");
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
