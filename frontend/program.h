#pragma once

namespace velmora::frontend {

// Velmora's run: loads the main window (start-up), shows it and runs the event loop until it
// has been closed (shut-down). When start-up fails, most often because the progress server
// cannot be reached, a notice says why and the result is 1 without entering the loop. The
// message boxes are whatever the caller installed.
int RunProgram();

}  // namespace velmora::frontend
