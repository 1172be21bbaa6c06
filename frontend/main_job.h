#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fso.h"
#include "jmi.h"
#include "main_state.h"

namespace velmora::frontend {

// Files up to this size run with the main window shown and no progress calls.
constexpr std::int64_t kProgressThreshold = 300000;

// What a job needs from the main window: the hand-over to the progress window, the two
// displays it writes, and its message boxes.
class JobWindow {
  public:
    virtual ~JobWindow() = default;
    // Hides the main window and shows the progress window (`FycVisible` = 1).
    virtual void Fyc() = 0;
    // Shows the main window and closes the progress window (`FycVisible` = 0).
    virtual void Fxs() = 0;
    // `Label2`: the target file of a single-file job.
    virtual void ShowTarget(const std::string& path) = 0;
    // `Text4`: the elapsed seconds.
    virtual void ShowElapsed(float seconds) = 0;
    // Empties `Text2` and `Text3` after a failed confirmation.
    virtual void ClearPasswords() = 0;
    virtual void Notice(const std::string& text) = 0;
};

// What the user typed and when: the password boxes and the timer samples.
struct JobInput {
    std::u16string password;      // Text2
    std::u16string confirmation;  // Text3
    bool confirmationShown = false;
    std::array<double, 21> Timb{};  // samples 1..20; index 0 unused
};

enum class JobOutcome {
    kNotStarted,  // no source or no target chosen: nothing happens, nothing is said
    kMismatch,    // the two password entries differ
    kFinished,    // done or cancelled
    kFailed,      // a notice has named the file and the reason
};

// Where a job's parts come from: the program's one engine and file-system object.
struct JobServices {
    engine::Jmi& jmi;
    const common::Fso& fso;
};

// Reads the key file at `path` into `Amwb`. An empty file is refused (JobError) and leaves
// `Amwb` as it was, so a job never runs on the bytes of an earlier key file.
void ReadKeyFile(const std::string& path, std::vector<std::uint8_t>& Amwb);

// The text of `Text4`: the seconds as a single-precision number, up to seven digits.
std::string ElapsedText(float seconds);

// "开始加密" (direction 0) and "开始解密" (direction 1), synchronous, in the window's order:
// key, total, progress window for folders and files above the threshold, the file operation
// or the walk, elapsed time, the noise state saved after encryption, the window back. Every
// failure gives one notice and the window back as `Fxs` leaves it.
JobOutcome RunJob(std::int32_t direction, MainState& s, std::vector<std::uint8_t>& Amwb,
                  const JobInput& input, JobServices& services, JobWindow& window);

}  // namespace velmora::frontend
