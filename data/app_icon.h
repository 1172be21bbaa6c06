#pragma once

namespace velmora {

// Gives the application the suite's icon, which every window then carries. Call it once, after
// the QApplication has been created.
void SetApplicationIcon();

}  // namespace velmora
