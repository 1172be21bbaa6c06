#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

enum class Direction { Encrypt = 0, Decrypt = 1 };

// What an encrypt or decrypt command was asked to do.
struct JobOptions {
    std::vector<std::string> sources;
    std::optional<std::string> outputFolder;  // default: each source's own folder
    bool passwordStdin = false;
    std::optional<std::string> passwordFile;
    std::optional<std::string> lockFile;
    bool quiet = false;
    int jobs = 1;          // files coded at a time; the command line's default is every core
    bool onlyJmw = false;  // a decrypting walk leaves out files not ending in ".jmw"
};

}  // namespace velmora::cli
