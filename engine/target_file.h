#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <span>
#include <string>

namespace velmora::engine {

// What a cancelled file operation does with its unfinished target: the window program keeps
// it under the target's name, the command line removes it.
enum class OnCancel { KeepPartial, RemovePartial };

// Names the target of a file operation. It is called with the paths found taken so far (none
// on the first call) and returns the next path to try; it must never return a taken one.
using TargetNamer = std::function<std::filesystem::path(const std::set<std::string>& taken)>;

// How a file operation places its target.
struct TargetChoice {
    TargetNamer Namer;
    OnCancel Cancel = OnCancel::RemovePartial;
};

// The target of a file operation while it is written. It lives under a hidden temporary name
// in the target's folder, so no stop of the program (a signal, a full disk, a power loss)
// leaves a file under the final name that looks finished and is not. `Publish` links it under
// its final name without ever replacing an existing file; until then the destructor removes
// it again.
class TargetFile {
  public:
    static constexpr const char* kTemporaryPrefix = ".velmora-unfinished-";

    // Creates the temporary file in the folder of `shown` (the name the target is expected to
    // get, used in messages) with the permission bits `mode`, which the umask narrows further.
    TargetFile(const std::filesystem::path& shown, unsigned mode);
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    // Closes the file and links it under the first path `namer` gives that is not taken; a
    // taken one (by a file, a folder, a dangling link, another program a moment ago) moves on
    // to the next. Returns the final path.
    std::filesystem::path Publish(const TargetNamer& namer);
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

  private:
    void Close();

    std::filesystem::path shown_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool linked_ = false;
};

}  // namespace velmora::engine
