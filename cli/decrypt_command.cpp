#include "commands.h"

namespace velmora::cli {

void AddDecryptCommand(CLI::App& app, JobOptions& options, CommandAction& action) {
    CLI::App* command = app.add_subcommand(
        "decrypt", "Decrypt files; NAME.jmw becomes NAME (numbered in front when taken)");
    AddJobOptions(*command, options);
    command->callback(
        [&] { action.Run = [&] { return RunJobCommand(options, Direction::Decrypt); }; });
}

}  // namespace velmora::cli
