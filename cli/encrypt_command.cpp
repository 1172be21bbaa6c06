#include "commands.h"

namespace velmora::cli {

void AddEncryptCommand(CLI::App& app, JobOptions& options, CommandAction& action) {
    CLI::App* command = app.add_subcommand(
        "encrypt", "Encrypt files; each NAME becomes NAME.jmw (numbered in front when taken)");
    AddJobOptions(*command, options);
    command->callback(
        [&] { action.Run = [&] { return RunJobCommand(options, Direction::Encrypt); }; });
}

}  // namespace velmora::cli
