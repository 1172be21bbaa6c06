#include "target_names.h"

#include <cctype>

namespace velmora::frontend::FSmdcl {

namespace {

// The first free "folder + [i] + base + suffix", with i counting from 1 and left out for 0.
std::string FirstFreeName(const common::Fso& fso, const std::string& folder,
                          const std::string& base, const std::string& suffix,
                          const std::set<std::string>& reserved, bool empty) {
    auto taken = [&](const std::string& path) {
        return reserved.count(path) != 0 || (!empty && fso.fileexists(path));
    };
    std::string candidate = folder + base + suffix;
    for (long long i = 1; taken(candidate); ++i) {
        candidate = folder + std::to_string(i) + base + suffix;
    }
    return candidate;
}

}  // namespace

bool EndsWithJmw(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".jmw";
}

std::string EncTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name) {
    return EncTargetName(fso, folder, name, {});
}

std::string DecTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name) {
    return DecTargetName(fso, folder, name, {});
}

std::string EncTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name, const std::set<std::string>& reserved,
                          bool empty) {
    return FirstFreeName(fso, folder, name, ".jmw", reserved, empty);
}

std::string DecTargetName(const common::Fso& fso, const std::string& folder,
                          const std::string& name, const std::set<std::string>& reserved,
                          bool empty) {
    std::string base = name;
    if (EndsWithJmw(name) && name.size() > 4) base = name.substr(0, name.size() - 4);
    return FirstFreeName(fso, folder, base, "", reserved, empty);
}

std::string TargetName(bool decrypt, const common::Fso& fso, const std::string& folder,
                       const std::string& name, const std::set<std::string>& reserved, bool empty) {
    return decrypt ? DecTargetName(fso, folder, name, reserved, empty)
                   : EncTargetName(fso, folder, name, reserved, empty);
}

}  // namespace velmora::frontend::FSmdcl
