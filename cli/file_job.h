#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "job_options.h"

namespace velmora::cli {

// Where a job gets what is not on its command line; tests replace every part.
struct JobEnvironment {
    std::filesystem::path stateFolder;  // holds the noise state "ZGDcsh.lib"
    std::FILE* passwordInput = stdin;   // for --password-stdin
    std::FILE* report = stdout;         // one "source -> target" line per finished file
    std::FILE* progressOut = stderr;    // the progress bar
    bool drawProgress = false;
    std::function<float()> timer;  // "the timer"; empty for the system clock
};

// Encrypts or decrypts every source file into a new file named like the window program
// names it, never replacing an existing one. Each new file is written under a temporary name
// and takes its source's permission bits. Everything is checked before the first file is
// touched: a missing or unreadable source, a missing output folder, a folder that cannot be
// written into or a bad key file creates nothing. Throws `UsageError`, `common::Error` (a
// file failed; its partial target is removed) or `Cancelled` (a signal; the partial target
// of the file in hand is removed, finished files stay).
std::vector<std::filesystem::path> RunFileJob(const JobOptions& options, Direction direction,
                                              const JobEnvironment& env);

}  // namespace velmora::cli
