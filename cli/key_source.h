#pragma once

#include <cstdio>

#include "jmi.h"
#include "job_options.h"

namespace velmora::cli {

// Prepares the engine's key for a command: from a password file or lock file (their first
// 500000 bytes), from one line of `passwordInput` (--password-stdin), or asked on the
// terminal (twice when encrypting). Passwords never come from the command line, where the
// process list would show them.
void PrepareKey(engine::Jmi& jmi, const JobOptions& options, Direction direction,
                std::FILE* passwordInput);

}  // namespace velmora::cli
