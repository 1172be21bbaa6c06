#pragma once

#include <CLI/CLI.hpp>

#include "job_options.h"

namespace velmora::cli {

// Each command adds itself to the application; `Run` is set to the command's action.
struct CommandAction {
    std::function<int()> Run;
};

void AddJobOptions(CLI::App& command, JobOptions& options);
void AddEncryptCommand(CLI::App& app, JobOptions& options, CommandAction& action);
void AddDecryptCommand(CLI::App& app, JobOptions& options, CommandAction& action);

// Runs a file job from the command line: messages on standard error, the exit status back.
int RunJobCommand(const JobOptions& options, Direction direction);

}  // namespace velmora::cli
