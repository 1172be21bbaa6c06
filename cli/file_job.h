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
    std::FILE* warnings = stderr;       // folders a walk had to leave out
    bool drawProgress = false;
    std::function<float()> timer;  // "the timer"; empty for the system clock
};

// Encrypts or decrypts every source into a new file named like the window program names it,
// never replacing an existing one. A source folder is walked like the window's folder job: its
// tree is mirrored under the output folder (by default the folder itself), linked folders are
// not entered. Every folder and every name are planned first, in walk order; then `jobs`
// workers code the files. Each new file is written under a temporary name and takes its
// source's permission bits. Files given by name and key files are checked before the first
// file is touched. Throws `UsageError`, `common::Error` (a file failed; every unfinished
// target is removed, finished files stay) or `Cancelled` (a signal; the same).
std::vector<std::filesystem::path> RunFileJob(const JobOptions& options, Direction direction,
                                              const JobEnvironment& env);

}  // namespace velmora::cli
