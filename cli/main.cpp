// velmora-cli: the suite's encryption engine for scripts and machines without a display.

#include <CLI/CLI.hpp>

#include "cli_errors.h"
#include "commands.h"
#include "interrupt.h"

int main(int argc, char** argv) {
    using namespace velmora::cli;
    CLI::App app{"Encrypts and decrypts files in the .jmw format.", "velmora-cli"};
    app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION);
    app.require_subcommand(1);
    JobOptions encryptOptions;
    JobOptions decryptOptions;
    CommandAction action;
    AddEncryptCommand(app, encryptOptions, action);
    AddDecryptCommand(app, decryptOptions, action);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    InstallInterruptHandler();
    return action.Run ? action.Run() : kExitUsage;
}
