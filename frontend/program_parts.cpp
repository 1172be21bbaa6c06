#include "program_parts.h"

#include "progress_client.h"

namespace velmora::frontend {

namespace {
ProgressFactory& Factory() {
    static ProgressFactory factory;
    return factory;
}
}  // namespace

std::unique_ptr<engine::ProgressObject> CreateProgressObject() {
    if (Factory()) return Factory()();
    return std::make_unique<ProgressClient>();
}

void SetProgressFactory(ProgressFactory factory) {
    Factory() = std::move(factory);
}

}  // namespace velmora::frontend
