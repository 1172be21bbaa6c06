#pragma once

#include <functional>
#include <memory>

#include "progress_object.h"

namespace velmora::frontend {

// How start-up makes the one progress object of the run. The program uses the progress server
// on the session bus; window tests install an in-process double.
using ProgressFactory = std::function<std::unique_ptr<engine::ProgressObject>()>;

// Throws ProgressServerError when the server cannot be reached.
std::unique_ptr<engine::ProgressObject> CreateProgressObject();
// An empty factory restores the progress server.
void SetProgressFactory(ProgressFactory factory);

}  // namespace velmora::frontend
