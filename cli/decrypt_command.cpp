#include "commands.h"

namespace velmora::cli {

void AddDecryptCommand(CLI::App& app, JobOptions& options, CommandAction& action) {
    CLI::App* command = app.add_subcommand(
        "decrypt", "Decrypt files; NAME.jmw becomes NAME (numbered in front when taken)");
    AddJobOptions(*command, options);
    command->add_flag("--only-jmw", options.onlyJmw,
                      "In folders, decrypt only files whose names end in .jmw (in any case)");
    command->callback(
        [&] { action.Run = [&] { return RunJobCommand(options, Direction::Decrypt); }; });
}

}  // namespace velmora::cli
