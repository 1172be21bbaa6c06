#include "fsmdcl.h"

#include <memory>

#include "error.h"
#include "fso.h"

namespace tools {

namespace {
std::unique_ptr<velmora::common::Fso> shared_fso;
}

void CreateFso() {
    shared_fso = std::make_unique<velmora::common::Fso>();
}

int32_t WenJianCunZai(const std::string& path) {
    if (!shared_fso) throw velmora::common::Error("The file-system object has not been created.");
    return shared_fso->fileexists(path) ? 1 : 0;
}

}  // namespace tools
