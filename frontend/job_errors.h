#pragma once

#include <string>

#include "error.h"

namespace velmora::frontend {

// A job that cannot start or cannot go on, with a message for the window (it names the file
// and the reason in the window's language).
class JobError : public common::Error {
  public:
    using common::Error::Error;
};

// Throws JobError unless `path` names a file that can be opened for reading.
void CheckSourceFile(const std::string& path);
// Throws JobError unless `folder` is an existing folder.
void CheckTargetFolder(const std::string& folder);
// Throws JobError unless `path` names a readable key file; an empty path means none was chosen.
void CheckKeyFile(const std::string& path);

// Why a data file of the program (settings, noise state) cannot be used: what opening it for
// reading and writing says, as the program opens it (a missing file is created).
std::string WhyUnopenable(const std::string& path);

// Why turning `source` into `target` failed after the engine gave up on it: the source is
// checked again, then whether the target's folder takes new files and has room. The engine's
// own text is never shown, so the answer is what can be found out from outside. `direction` is
// 0 for encryption (the target grows by up to about 16 percent), 1 for decryption.
std::string ExplainFileFailure(const std::string& source, const std::string& target, int direction);

}  // namespace velmora::frontend
